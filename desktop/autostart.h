#pragma once

#include "services.h"

namespace kv::desktop {

// Start with the session through XDG autostart entries. The package may ship
// one for every user (in $XDG_CONFIG_DIRS/autostart); a user's own entry of
// the same name ($XDG_CONFIG_HOME/autostart) overrides it, and "Hidden=true"
// there turns it off, as desktop sessions do.
class XdgAutostart final : public Autostart {
public:
    bool setEnabled(bool on) override;
    bool isEnabled() const override;

    static QString userEntryPath();
    // The first entry shipped for every user, or nothing.
    static QString systemEntryPath();
};

}  // namespace kv::desktop
