#pragma once

#include <QString>

namespace kv::desktop {

// The freedesktop sound-theme event for a system sound alias; empty when the
// alias is unknown, which plays nothing.
QString freedesktopSoundFor(const QString& alias);

}  // namespace kv::desktop
