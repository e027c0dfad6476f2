// The editor's hover help: the status field says what the control under the
// mouse does, the program's version over itself, and the notice elsewhere.

#include <QAbstractScrollArea>
#include <QApplication>
#include <QEnterEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTimer>

#include "editortexts.h"
#include "tedytor.h"

namespace kv::editor {

void Tedytor::installHoverHelp() {
    const std::pair<const char*, const char*> table[] = {
        {"btn1", "Add and configure a new entry to one of the logs."},
        {"btn2", "Edit one of the existing entries (entry must be selected first)."},
        {"btn3", "Delete ont of the existing entries (must be selected first)."},
        {"btn4", "Refresh all the lists in Kalvex."},
        {"Button1", "Display details of a private user log."},
        {"Button2", "Display details of a steady user log"},
        {"Button3", "Display details of a public log."},
        {"Button4", "Display timer page: start/ stop timer, set up a timer message."},
        {"btn5", "Modify program options: colors, access paths, autostart."},
        {"btn6", "Open Kalvex4 documentation (html)."},
        {"btn7", "Close this editor (NOT all the program)."},
        {"lista", "Displays all entries in the private log."},
        {"podglad", "Details of a selected item (entry)."},
        {"logo2", "Current program status."},
        {"zegar2", "Clock."},
        {"hh", "Timer will set off at this hour..."},
        {"mm", "..with this many minutes..."},
        {"ss", "...and this many seconds."},
        {"timer_info", "Information to be displayed when timer set off."},
        {"btn8",
         "Starts/ Stops the timer. When text \"Start the timer\" is visible - turns the "
         "timer on."},
    };
    for (auto [name, text] : table) {
        QWidget* control = findChild<QWidget*>(name);
        // A scrolled control gets the mouse on its viewport.
        if (auto* area = qobject_cast<QAbstractScrollArea*>(control)) {
            m_hoverTexts.insert(area->viewport(), text);
            area->viewport()->installEventFilter(this);
        }
        m_hoverTexts.insert(control, text);
        control->installEventFilter(this);
    }
    m_status->installEventFilter(this);
    // The window's background, the title, the page area and the group boxes.
    m_noticeAreas << this << findChild<QWidget*>("logo") << m_notatnik;
    for (int i = 0; i < m_notatnik->count(); ++i) m_noticeAreas << m_notatnik->widget(i);
    for (QGroupBox* group : findChildren<QGroupBox*>()) m_noticeAreas << group;
    for (QObject* area : m_noticeAreas) {
        static_cast<QWidget*>(area)->setMouseTracking(true);
        area->installEventFilter(this);
    }
    findChild<QWidget*>("logo3")->installEventFilter(this);
}

bool Tedytor::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::Enter || e->type() == QEvent::MouseMove) {
        if (const auto it = m_hoverTexts.constFind(watched); it != m_hoverTexts.constEnd()) {
            if (e->type() == QEvent::Enter) setStatus(*it);
        } else if (watched == m_status) {
            if (e->type() == QEvent::Enter) setStatus("Program version: " + m_version + ".");
        } else if (m_noticeAreas.contains(watched)) {
            // Only the area itself: over a label the field keeps what it had.
            const QPoint at = e->type() == QEvent::Enter
                                  ? static_cast<QEnterEvent*>(e)->globalPosition().toPoint()
                                  : static_cast<QMouseEvent*>(e)->globalPosition().toPoint();
            QWidget* under = QApplication::widgetAt(at);
            if (!under || under == watched) setStatus(kNoticeLine);
        }
    }
    if (e->type() == QEvent::MouseButtonRelease && watched == findChild<QObject*>("logo3"))
        setStatus(kNoticeLine);
    if (e->type() == QEvent::MouseButtonRelease)
        for (LogPage& page : m_pages)
            if (watched == page.preview->viewport() &&
                static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
                // Deferred: the edit window opens after the click is done.
                LogPage* p = &page;
                QTimer::singleShot(0, this, [this, p] { editSelected(*p); });
            }
    return QDialog::eventFilter(watched, e);
}

}  // namespace kv::editor
