#include "settings.h"

namespace kv::storage {

namespace {

constexpr const char* kProgram = "glowne";
constexpr const char* kUser = "kalvex4";
constexpr const char* kLastCheck = "ostatnie_sprawdzenie";
constexpr const char* kCatchUp = "nadrabianie";
constexpr const char* kSnooze = "drzemka";
constexpr const char* kAhead = "wyprzedzenie";
constexpr const char* kNotifications = "powiadomienia";
constexpr const char* kDuringDnd = "nie_przeszkadzac";
constexpr const char* kToldNoTray = "bez_zasobnika";

const char* flag(bool on) {
    return on ? "1" : "0";
}

}  // namespace

ProgramSettings readProgramSettings(const Profile& config) {
    const Profile::ReadScope once(config);
    ProgramSettings s;
    s.saved = config.readString(kProgram, "zmienione", "nie") != "nie";
    s.autostart = config.readBool(kProgram, "autostart", true);
    s.autolog = config.readBool(kProgram, "autolog", false);
    s.classic = config.readBool(kProgram, "styl", false);
    return s;
}

void writeProgramSettings(Profile& config, const ProgramSettings& s) {
    config.update([&](IniDocument& doc) {
        bool any = doc.write(kProgram, "styl", flag(s.classic));
        any |= doc.write(kProgram, "autostart", flag(s.autostart));
        any |= doc.write(kProgram, "autolog", flag(s.autolog));
        any |= doc.write(kProgram, "zmienione", "tak");
        return any;
    });
}

void writeAutostartSetting(Profile& config, bool on) {
    config.writeBool(kProgram, "autostart", on);
}

void writeAutologSetting(Profile& config, bool on) {
    config.writeBool(kProgram, "autolog", on);
}

bool UserSettings::toldNoTray() const {
    return m_file.readBool(kUser, kToldNoTray, false);
}

void UserSettings::setToldNoTray() {
    m_file.update([&](IniDocument& doc) { return doc.write(kUser, kToldNoTray, "1"); });
}

std::optional<std::string> UserSettings::lastCheck() const {
    std::string day = m_file.readString(kUser, kLastCheck, "");
    if (day.empty()) return std::nullopt;
    return day;
}

void UserSettings::setLastCheck(const std::string& day) {
    m_file.update([&](IniDocument& doc) { return doc.write(kUser, kLastCheck, day); });
}

ReminderSettings UserSettings::reminders() const {
    ReminderSettings s;
    s.catchUp = m_file.readBool(kUser, kCatchUp, true);
    const int snooze = m_file.readInteger(kUser, kSnooze, s.snoozeMinutes);
    if (snooze == 10 || snooze == 60 || snooze == 1440) s.snoozeMinutes = snooze;
    const int ahead = m_file.readInteger(kUser, kAhead, s.daysAhead);
    if (ahead >= 0 && ahead <= 30) s.daysAhead = ahead;
    s.notifications = m_file.readBool(kUser, kNotifications, true);
    s.duringDnd = m_file.readBool(kUser, kDuringDnd, false);
    return s;
}

void UserSettings::setReminders(const ReminderSettings& s) {
    m_file.update([&](IniDocument& doc) {
        bool any = doc.write(kUser, kCatchUp, flag(s.catchUp));
        any |= doc.write(kUser, kSnooze, std::to_string(s.snoozeMinutes));
        any |= doc.write(kUser, kAhead, std::to_string(s.daysAhead));
        any |= doc.write(kUser, kNotifications, flag(s.notifications));
        any |= doc.write(kUser, kDuringDnd, flag(s.duringDnd));
        return any;
    });
}

}  // namespace kv::storage
