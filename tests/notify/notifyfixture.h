#pragma once
// What the notification windows' tests share: a window over a sandbox with a
// recording desktop and opener, and the entry it is to show.

#include <QPlainTextEdit>
#include <QtTest>
#include <memory>
#include <optional>

#include "exchange.h"
#include "findchild.h"
#include "recordingopener.h"
#include "recordingservices.h"
#include "sandbox.h"
#include "tinformacja.h"

namespace kv::testing {

using storage::LogKind;

class NotifyFixture : public QObject {
protected:
    std::optional<testing::RecordingServices> m_s;
    testing::RecordingOpener m_opener;
    std::unique_ptr<testing::Sandbox> m_box;

    void initFixture() {
        m_s.emplace();
        m_opener = testing::RecordingOpener();
        m_box = std::make_unique<testing::Sandbox>();
    }
    void add(LogKind kind, const storage::EntryData& e) {
        storage::Profile log = m_box->log(kind);
        QVERIFY(storage::addEntry(log, kind, e).has_value());
    }
    void activate(int n, const std::string& log) {
        storage::Exchange(m_box->exchangeFile()).recordActiveEntry(n, log);
    }
    // Shows the window as the due check would and waits for its first activation.
    std::unique_ptr<notify::Tinformacja> open() {
        auto w = std::make_unique<notify::Tinformacja>(m_s->services, m_opener);
        w->show();
        if (!QTest::qWaitFor([&] { return w->opened(); })) qFatal("the window never loaded");
        QTest::qWait(0);
        return w;
    }
    QString info(QWidget& w) { return child<QPlainTextEdit>(w, "info")->toPlainText(); }
};

}  // namespace kv::testing
