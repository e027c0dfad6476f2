#pragma once
// The typed settings: config.ini's [glowne], shared by every user of the
// machine, and what the program keeps for one user in <user>_config.ini.

#include <optional>

#include "profile.h"

namespace kv::storage {

// config.ini, section "glowne".
struct ProgramSettings {
    bool saved = false;  // "zmienione": the configuration window saved them once
    bool autostart = true;
    bool autolog = false;
    bool classic = false;  // "styl": the classic look was chosen
};

ProgramSettings readProgramSettings(const Profile& config);
// All four, marked as saved; throws WriteError when refused.
void writeProgramSettings(Profile& config, const ProgramSettings& settings);
// The tray's switch: only "autostart" changes.
void writeAutostartSetting(Profile& config, bool on);
// The tray's re-checking switch: only "autolog" changes.
void writeAutologSetting(Profile& config, bool on);

// How one user wants missed and coming dates shown.
struct ReminderSettings {
    bool catchUp = true;     // "nadrabianie": show what fell due while the program was not running
    int snoozeMinutes = 10;  // "drzemka": 10, 60, or 1440 for tomorrow
    int daysAhead = 0;       // "wyprzedzenie": 0 (off) to 30
    bool notifications = true;  // "powiadomienia": also as a desktop notification
    bool duringDnd = false;     // "nie_przeszkadzac": those shown through Do Not Disturb
};

// <user>_config.ini, section "kalvex4": one user's state, never another's.
class UserSettings {
public:
    explicit UserSettings(Profile& file) : m_file(file) {}

    // The day ("YYYY-MM-DD") of this user's last check that ran to its end.
    std::optional<std::string> lastCheck() const;
    void setLastCheck(const std::string& day);

    // Whether this user was told that the desktop has no notification area.
    bool toldNoTray() const;
    void setToldNoTray();

    // Values out of range read as the defaults.
    ReminderSettings reminders() const;
    void setReminders(const ReminderSettings& settings);

private:
    Profile& m_file;
};

}  // namespace kv::storage
