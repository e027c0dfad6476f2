#pragma once
// The start with the session: config.ini's choice meets the desktop's own switch.

#include <optional>

#include "profile.h"
#include "services.h"

namespace kv::desktop {

// At start-up. config.ini's saved choice is applied only when it changed since
// this user's session entry last followed it; otherwise the desktop's switch
// (the user's own, perhaps set in the desktop's settings) stands. With no saved
// choice nothing is written. Returns whether the session starts the program.
bool followSessionStart(Autostart& session, storage::Profile& userConfig,
                        std::optional<bool> chosen);

// The user changed the setting in this program: the entry follows at once.
// False when the desktop's entry refused the change.
bool changeSessionStart(Autostart& session, storage::Profile& userConfig, bool on);

}  // namespace kv::desktop
