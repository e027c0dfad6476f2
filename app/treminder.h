#pragma once
// The resident main window: start-up window, tray icon and menu, the hidden
// clock with the timer alarm, and the start-up and periodic checks.

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "alarmclock.h"
#include "clocklabel.h"
#include "duecheck.h"
#include "fileset.h"
#include "notices.h"
#include "opener.h"
#include "services.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QTimer;

namespace kv::desktop {
class DayWatch;
class Tray;
}  // namespace kv::desktop

namespace kv::app {

class Treminder final : public QWidget {
    Q_OBJECT
public:
    Treminder(desktop::Services& services, desktop::WindowOpener& opener,
              QWidget* parent = nullptr);
    ~Treminder() override;
    Treminder(const Treminder&) = delete;
    Treminder& operator=(const Treminder&) = delete;

    desktop::AlarmClock& zegar() { return *m_zegar; }
    desktop::Tray& tray() { return *m_tray; }
    QMenu* popup() const { return m_popup; }
    // Runs the start-up sequence now (it runs at most once per run).
    void runStartupSequence();
    // Started again from the menu: the editor opens, or the window already
    // waiting for the user comes forward.
    // command: "new" or "configuration" open those windows, anything else the editor.
    void answerSecondStart(const QString& command = {});
    void status(bool reset, int add, const QString& text);

signals:
    // The program should end with this exit status.
    void quitRequested(int exitCode);

protected:
    void showEvent(QShowEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void buildWindow();
    QWidget* buildBanner();
    void buildMenu();
    void applyConfiguration();
    void toggleAutorun();
    void terminate();
    void toggleAutolog();
    void periodicCheck();
    // On any wake-up: a date that moved since the last round gets its round.
    void followTheDate();
    void armSnooze();
    // Runs one of the checks; what the files refused is said.
    void guarded(const std::function<void()>& check);
    void onAlarm();
    desktop::NotificationAnswer announce(int n, storage::LogKind kind,
                                         const storage::StoredEntry& entry,
                                         const std::string& reason);
    void reportWriteError(const std::exception& e);
    // A desktop without a notification area: said once to each user, where it
    // is seen without a click (the status line and a desktop notification).
    void tellNoTray(const QString& why);

    desktop::Services& m_services;
    desktop::WindowOpener& m_opener;

    QLabel* m_version = nullptr;  // pasek_wersji
    QLabel* m_akcja = nullptr;
    QProgressBar* m_postep = nullptr;
    QCheckBox* m_startup = nullptr;
    QLineEdit* m_edit1 = nullptr;
    desktop::ClockLabel* m_data = nullptr;
    desktop::AlarmClock* m_zegar = nullptr;
    QTimer* m_timer1 = nullptr;
    QTimer* m_timer2 = nullptr;
    QTimer* m_snooze = nullptr;  // to the next entry put off
    desktop::DayWatch* m_dayWatch = nullptr;
    QMenu* m_popup = nullptr;
    QAction* m_autorunbtn = nullptr;
    QAction* m_autologbtn = nullptr;
    desktop::Tray* m_tray = nullptr;

    storage::NoticeHandler m_previousNotices;
    std::optional<storage::FileSet> m_files;
    std::unique_ptr<DueCheck> m_check;
};

}  // namespace kv::app
