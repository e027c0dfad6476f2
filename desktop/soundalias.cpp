#include "soundalias.h"

#include <array>

namespace kv::desktop {

namespace {

struct SoundAlias {
    const char* alias;
    const char* themeSound;
};

// The one table: every alias of the sound box, then the spelling a user may type.
constexpr std::array<SoundAlias, 20> kSounds{{
    {".Defaut", "bell"},  // offered so spelt; it plays the default sound
    {"AppGPFault", "dialog-error"},
    {"Close", "device-removed"},
    {"MailBeep", "message"},
    {"Maximize", "audio-volume-change"},
    {"MenuCommand", "audio-volume-change"},
    {"MenuPopup", "audio-volume-change"},
    {"Minimize", "audio-volume-change"},
    {"Open", "device-added"},
    {"RestoreDown", "audio-volume-change"},
    {"RestoreUp", "audio-volume-change"},
    {"RingIn", "phone-incoming-call"},
    {"RingOut", "phone-outgoing-calling"},
    {"SystemAsterisk", "dialog-information"},
    {"SystemExclamation", "dialog-warning"},
    {"SystemHand", "dialog-error"},
    {"SystemExit", "service-logout"},
    {"SystemQuestion", "window-question"},
    {"SystemStart", "service-login"},
    {".Default", "bell"},
}};
constexpr std::size_t kOffered = 19;

}  // namespace

QStringList systemSoundAliases() {
    QStringList out;
    for (std::size_t i = 0; i < kOffered; ++i) out << kSounds[i].alias;
    return out;
}

QString freedesktopSoundFor(const QString& alias) {
    for (const SoundAlias& s : kSounds)
        if (alias.compare(s.alias, Qt::CaseInsensitive) == 0) return s.themeSound;
    return {};
}

}  // namespace kv::desktop
