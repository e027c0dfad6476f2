#include "soundalias.h"

#include <QHash>

namespace kv::desktop {

QString freedesktopSoundFor(const QString& alias) {
    static const QHash<QString, QString> map{
        {".Default", "bell"},
        {"AppGPFault", "dialog-error"},
        {"Close", "window-close"},
        {"MailBeep", "message-new-email"},
        {"Maximize", "window-maximized"},
        {"MenuCommand", "menu-click"},
        {"MenuPopup", "menu-popup"},
        {"Minimize", "window-minimized"},
        {"Open", "window-new"},
        {"RestoreDown", "window-unmaximized"},
        {"RestoreUp", "window-maximized"},
        {"RingIn", "phone-incoming-call"},
        {"RingOut", "phone-outgoing-calling"},
        {"SystemAsterisk", "dialog-information"},
        {"SystemExclamation", "dialog-warning"},
        {"SystemHand", "dialog-error"},
        {"SystemExit", "service-logout"},
        {"SystemQuestion", "dialog-question"},
        {"SystemStart", "service-login"},
    };
    // Aliases are looked up without regard to case, as the system does.
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        if (it.key().compare(alias, Qt::CaseInsensitive) == 0) return it.value();
    return {};
}

}  // namespace kv::desktop
