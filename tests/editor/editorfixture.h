#pragma once
// What the editor's tests share: an editor over a sandbox, a recording
// desktop and opener, and the ways a user reaches its lists.

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <QtTest>
#include <memory>
#include <optional>

#include "alarmclock.h"
#include "exchange.h"
#include "findchild.h"
#include "tedytor.h"
#include "windowfixture.h"

namespace kv::testing {

class EditorFixture : public WindowFixture {
protected:
    // Opens the editor and runs the rebuild its opening armed.
    std::unique_ptr<editor::Tedytor> open() {
        auto w = shownAndLoaded(std::make_unique<editor::Tedytor>(m_s->services, m_opener));
        rebuild(*w);
        return w;
    }
    void rebuild(editor::Tedytor& w) {
        if (w.rebuildTimer()->isActive()) QMetaObject::invokeMethod(w.rebuildTimer(), "timeout");
    }
    QStringList lines(editor::Tedytor& w, const char* list) {
        QStringList out;
        auto* tree = child<QTreeWidget>(w, list);
        for (int i = 0; i < tree->topLevelItemCount(); ++i) out << tree->topLevelItem(i)->text(0);
        return out;
    }
    void clickLine(editor::Tedytor& w, const char* list, int row) {
        auto* tree = child<QTreeWidget>(w, list);
        QTreeWidgetItem* item = tree->topLevelItem(row);
        const QRect r = tree->visualItemRect(item);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, r.center());
    }
    storage::ActiveEntry active() { return storage::Exchange(m_box->exchangeFile()).activeEntry(); }

    // The editor's timer page over the resident window's clock.
    struct Timed {
        desktop::AlarmClock zegar;
        editor::Tedytor editor;
        Timed(testing::RecordingServices& s, testing::RecordingOpener& o)
            : zegar(s.services.clock), editor(s.services, o, nullptr, &zegar) {}
    };
    std::unique_ptr<Timed> openTimed() {
        auto t = std::make_unique<Timed>(*m_s, m_opener);
        t->editor.show();
        if (!QTest::qWaitFor([&] { return t->editor.opened(); })) qFatal("the editor never opened");
        return t;
    }
    void setTimer(QWidget& w, const QString& h, const QString& m, const QString& sec,
                  const QString& text) {
        child<QLineEdit>(w, "hh")->setText(h);
        child<QLineEdit>(w, "mm")->setText(m);
        child<QLineEdit>(w, "ss")->setText(sec);
        child<QPlainTextEdit>(w, "timer_info")->setPlainText(text);
    }

    void initFixture() {
        WindowFixture::initFixture();
        m_s->clock = QDateTime(QDate(2026, 12, 8), QTime(10, 0));
    }
};

}  // namespace kv::testing
