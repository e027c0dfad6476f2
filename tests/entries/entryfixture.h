#pragma once
// What the entry windows' tests share: a window over a sandbox and a recording
// desktop, and the ways a user types into it.

#include <QLineEdit>
#include <QtTest>
#include <memory>
#include <optional>

#include "datepicker.h"
#include "exchange.h"
#include "findchild.h"
#include "windowfixture.h"

namespace kv::testing {

// The keys of one section in the order the file holds them.
inline QStringList keysOf(const storage::Profile& log, int slot) {
    QStringList keys;
    const std::shared_ptr<const storage::IniDocument> doc = log.document();
    for (const storage::IniSection& s : doc->sections())
        if (s.name == std::to_string(slot))
            for (const storage::IniKey& k : s.keys) keys << QString::fromStdString(k.name);
    return keys;
}

class EntryFixture : public WindowFixture {
protected:
    template <typename W>
    std::unique_ptr<W> open() {
        return shownAndLoaded(std::make_unique<W>(m_s->services));
    }
    void type(QWidget& w, const char* name, const QString& text) {
        QWidget* field = child<QWidget>(w, name);
        if (auto* line = qobject_cast<QLineEdit*>(field)) {
            line->clear();
            QTest::keyClicks(line, text);
        } else {
            QTest::keyClicks(field, text);
        }
    }
    void date(QWidget& w, const QString& digits) {
        auto* picker = child<desktop::DatePicker>(w, "kalendarz");
        picker->edit()->setFocus();
        picker->edit()->home(false);
        QTest::keyClicks(picker->edit(), digits);
    }
};

}  // namespace kv::testing
