#pragma once

#include <optional>

#include "services.h"

namespace kv::desktop {

// Start with the session through XDG autostart entries. The package may ship
// one for every user (in $XDG_CONFIG_DIRS/autostart); a user's own entry of
// the same name ($XDG_CONFIG_HOME/autostart) overrides it, and "Hidden=true"
// there turns it off, as desktop sessions do. A change keeps every key the
// desktop wrote, and nothing is written when the entry already says it.
class XdgAutostart final : public Autostart {
public:
    bool setEnabled(bool on) override;
    bool isEnabled() const override;

    static QString userEntryPath();
    // The first entry shipped for every user, or nothing.
    static QString systemEntryPath();
};

// A run on an installation of its own (KALVEX4_STORE) must not change what the
// session starts: its switch is remembered for the run only.
class RememberedAutostart final : public Autostart {
public:
    explicit RememberedAutostart(bool on) : m_on(on) {}
    bool setEnabled(bool on) override {
        m_on = on;
        return true;
    }
    bool isEnabled() const override { return m_on; }

private:
    bool m_on;
};

// The XDG autostart entry that starts program with the session.
QString autostartEntry(const QString& program);
// text with the keys of its [Desktop Entry] group set (a value) or removed
// (nothing); every other line stays, new keys end the group.
QString withEntryKeys(const QString& text,
                      const QList<QPair<QString, std::optional<QString>>>& keys);
// Whether an entry's text starts anything: sessions skip hidden and disabled ones.
bool entryStarts(const QString& text);

}  // namespace kv::desktop
