#pragma once
// The notification window: one due entry, its text in its type's style, its
// sound and actions. "Done" removes a once-only entry.

#include <optional>

#include "fileset.h"
#include "logbook.h"
#include "opener.h"
#include "services.h"
#include "settings.h"
#include "shelltarget.h"
#include "window.h"

class QGroupBox;
class QVBoxLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace kv::desktop {
class ClockLabel;
class ElidingLabel;
class LinkLabel;
}  // namespace kv::desktop

namespace kv::notify {

class Tinformacja final : public desktop::Window {
    Q_OBJECT
public:
    static constexpr const char* kNotLoaded = "Message was NOT loaded properly.";

    // entry: what the opener handed over; without one, the exchange file's active entry.
    Tinformacja(desktop::Services& services, desktop::WindowOpener& opener,
                QWidget* owner = nullptr, std::optional<desktop::HandedEntry> entry = std::nullopt);
    ~Tinformacja() override;
    Tinformacja(const Tinformacja&) = delete;
    Tinformacja& operator=(const Tinformacja&) = delete;

    // Whether "Done" removed the entry from its log.
    bool removedEntry() const { return m_answer.removed; }
    // What the user chose.
    desktop::NotificationAnswer answer() const { return m_answer; }

protected:
    void load() override;
    void resizeEvent(QResizeEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    // The window from the top: the message, its actions, the buttons.
    void buildWindow();
    void buildMessage(QVBoxLayout* layout);
    QGroupBox* buildActions();
    void buildButtons(QVBoxLayout* layout);
    void loadEntry(storage::Profile& log);
    bool applyStyle();
    void enableActions();
    // Starts the program or opens the file; says why when that cannot be done.
    void runAction(const QString& target, desktop::ActionKind kind);
    void done_();
    void showLater();
    void snooze(int minutes);
    void showReason(const std::string& reason);
    // The same entry as a desktop notification, when this user wants one.
    void sendBubble();
    // The menu of "Remind me again" opens on the user's usual choice.
    void offerSnooze(int minutes);

    desktop::Services& m_services;
    desktop::WindowOpener& m_opener;

    QLabel* m_tlo = nullptr;
    desktop::ClockLabel* m_clock = nullptr;
    desktop::ElidingLabel* m_tytul = nullptr;
    QPlainTextEdit* m_info = nullptr;
    QGroupBox* m_groupBox2 = nullptr;
    desktop::LinkLabel* m_email = nullptr;
    desktop::LinkLabel* m_strona = nullptr;
    QPushButton* m_stronabtn = nullptr;
    desktop::ElidingLabel* m_programnazwa = nullptr;
    QPushButton* m_programbtn = nullptr;
    desktop::ElidingLabel* m_plik = nullptr;
    QPushButton* m_plikbtn = nullptr;
    QPushButton* m_doneBtn = nullptr;   // Color95Button1
    QPushButton* m_laterBtn = nullptr;  // Color95Button2
    QPushButton* m_snoozeBtn = nullptr;
    QLabel* m_powod = nullptr;
    QLineEdit* m_edit1 = nullptr;

    std::optional<desktop::HandedEntry> m_handed;
    desktop::NotificationAnswer m_answer;
    storage::ReminderSettings m_reminders;
    std::optional<int> m_bubble;
    std::optional<storage::FileSet> m_files;
    int m_number = -1;
    std::string m_logKey;
    std::string m_type = "Default";
    storage::StoredEntry m_shown;
};

}  // namespace kv::notify
