#include "sessionstart.h"

#include "settings.h"

namespace kv::desktop {

namespace {

// What was followed is a memory only: a refused write costs one more
// application of config.ini's choice at a later start, nothing else.
void remember(storage::Profile& userConfig, bool on) {
    try {
        storage::UserSettings(userConfig).setFollowedAutostart(on);
    } catch (const storage::WriteError&) {
    }
}

}  // namespace

bool followSessionStart(Autostart& session, storage::Profile& userConfig,
                        std::optional<bool> chosen) {
    if (chosen) {
        const bool changedSince = storage::UserSettings(userConfig).followedAutostart() != chosen;
        if (!changedSince || session.isEnabled() == *chosen || session.setEnabled(*chosen))
            remember(userConfig, *chosen);
    }
    return session.isEnabled();
}

bool changeSessionStart(Autostart& session, storage::Profile& userConfig, bool on) {
    if (!session.setEnabled(on)) return false;
    remember(userConfig, on);
    return true;
}

}  // namespace kv::desktop
