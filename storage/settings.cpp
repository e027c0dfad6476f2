#include "settings.h"

namespace kv::storage {

namespace {

constexpr const char* kProgram = "glowne";
constexpr const char* kUser = "kalvex4";
constexpr const char* kFollowedAutostart = "autostart_zastosowany";

const char* flag(bool on) {
    return on ? "1" : "0";
}

}  // namespace

ProgramSettings readProgramSettings(const Profile& config) {
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

std::optional<bool> UserSettings::followedAutostart() const {
    const int v = m_file.readInteger(kUser, kFollowedAutostart, -1);
    if (v < 0) return std::nullopt;
    return v != 0;
}

void UserSettings::setFollowedAutostart(bool on) {
    m_file.update([&](IniDocument& doc) { return doc.write(kUser, kFollowedAutostart, flag(on)); });
}

}  // namespace kv::storage
