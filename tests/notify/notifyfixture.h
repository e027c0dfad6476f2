#pragma once
// What the notification windows' tests share: a window over a sandbox with a
// recording desktop and opener, and the entry it is to show.

#include <QPlainTextEdit>
#include <QtTest>
#include <memory>
#include <optional>

#include "exchange.h"
#include "findchild.h"
#include "tinformacja.h"
#include "windowfixture.h"

namespace kv::testing {

class NotifyFixture : public WindowFixture {
protected:
    // Shows the window as the due check would and waits for its first activation.
    std::unique_ptr<notify::Tinformacja> open() {
        auto w = shownAndLoaded(std::make_unique<notify::Tinformacja>(m_s->services, m_opener));
        QTest::qWait(0);
        return w;
    }
    QString info(QWidget& w) { return child<QPlainTextEdit>(w, "info")->toPlainText(); }
};

}  // namespace kv::testing
