#pragma once

#include <QString>
#include <QStringList>

namespace kv::desktop {

// The system sound event aliases the sound box offers, in its order.
QStringList systemSoundAliases();

// The sound of the freedesktop theme (as Debian's sound-theme-freedesktop
// ships it) that plays for a system sound alias, looked up without regard to
// case; empty when the alias is unknown, which plays nothing.
QString freedesktopSoundFor(const QString& alias);

}  // namespace kv::desktop
