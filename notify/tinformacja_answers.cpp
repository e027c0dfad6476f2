// What the user answers a notification: "Done", "Show me later", "Remind me
// again", and the line that says why the entry is shown today.

#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

#include "elidinglabel.h"
#include "entryview.h"
#include "qtstorage.h"
#include "tinformacja.h"

namespace kv::notify {

namespace {

constexpr const char* kStaticLater =
    "Dla dziennika stałego nie można wykonywać tej operacji. Aby zmienić ten wpis, otwórz "
    "edytor.";
constexpr const char* kEntryChanged =
    "This entry was changed or removed in its log since it was shown. Nothing was removed.";

using desktop::qs;

}  // namespace

void Tinformacja::done_() {
    const std::optional<storage::LogKind> kind = storage::logKindFromKey(m_logKey);
    if (m_files && kind && *kind != storage::LogKind::Static) {
        storage::Profile& log = m_files->log(*kind);
        try {
            // An entry that was never there has nothing to remove.
            bool removable = m_shown.occupied;
            storage::RemovalOrder order = storage::RemovalOrder::DonePrivate;
            if (*kind == storage::LogKind::Public) {
                removable = removable && m_shown.wyswietlanie == "raz";
                order = storage::RemovalOrder::DonePublic;
            }
            if (removable) {
                // The number may name another entry by now (a window opened over
                // this one removed an entry before it): then remove nothing.
                m_answer.removed = storage::removeEntry(log, *kind, m_number, order, m_shown);
                if (!m_answer.removed)
                    m_services.messages.show(this, kEntryChanged, desktop::MessageIcon::Warning);
            }
        } catch (const storage::WriteError& e) {
            m_services.messages.show(this, qs(e.what()), desktop::MessageIcon::Error);
            return;
        }
    }
    m_answer.choice = desktop::NotificationAnswer::Choice::Done;
    closeWindow();
}

void Tinformacja::sendBubble() {
    if (!m_reminders.notifications || !m_shown.occupied) return;
    desktop::Bubble b;
    b.summary = m_tytul->fullText();
    b.body = m_info->toPlainText();
    if (!m_powod->text().isEmpty()) b.body = m_powod->text() + "\n" + b.body;
    b.colour = m_info->palette().color(QPalette::Text);  // the type's font colour
    b.critical = m_reminders.duringDnd;
    // What the window's buttons accept: a static entry cannot be shown later.
    b.actions = QStringList{"done", "snooze"};
    if (m_logKey != "log_staly") b.actions << "later";
    m_bubble = m_services.notifier.show(b, [this](const QString& key) {
        if (key == "done")
            done_();
        else if (key == "snooze")
            snooze(m_reminders.snoozeMinutes);
        else if (key == "later")
            showLater();
    });
}

void Tinformacja::showReason(const std::string& reason) {
    m_powod->setText(qs(reason));
    m_powod->setVisible(!reason.empty());
    setAccessibleName(reason.empty() ? windowTitle() : windowTitle() + ", " + qs(reason));
}

void Tinformacja::offerSnooze(int minutes) {
    QMenu* menu = m_snoozeBtn->menu();
    for (QAction* a : menu->actions())
        if (a->objectName() == QLatin1String(minutes >= 1440 ? "jutro"
                                             : minutes >= 60 ? "za1h"
                                                             : "za10min"))
            menu->setDefaultAction(a);
}

void Tinformacja::snooze(int minutes) {
    m_answer.choice = desktop::NotificationAnswer::Choice::Snooze;
    m_answer.snoozeMinutes = minutes;
    closeWindow();
}

void Tinformacja::showLater() {
    if (m_logKey == "log_staly") {
        m_services.messages.show(this, kStaticLater, desktop::MessageIcon::Information);
        closeWindow();
        return;
    }
    if (m_files) {
        try {
            m_files->exchange().recordActiveEntry(m_number, m_logKey);
        } catch (const storage::WriteError& e) {
            m_services.messages.show(this, qs(e.what()), desktop::MessageIcon::Error);
            return;
        }
    }
    m_answer.choice = desktop::NotificationAnswer::Choice::Later;
    m_opener.openEditEntry(this, {m_number, m_logKey});
    closeWindow();
}

}  // namespace kv::notify
