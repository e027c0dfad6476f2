#pragma once
// Each user's eighteen colours (file <user>.col, section `kolory`) and the
// tables that say which control of a window takes which colour.

#include <array>
#include <string>
#include <vector>

#include "profile.h"

namespace kv::storage {

// A colour as the files store it: 0x00BBGGRR, red in the low byte.
using ColourValue = int;

struct ColourKeyInfo {
    const char* key;
    const char* caption;  // the configuration window's label text
    // What the windows paint while the key is unset, and what the configuration
    // window shows and saves then: one value, so a first save changes no colour.
    ColourValue def;
};

// In the order of the configuration window's labels k1..k18.
extern const std::array<ColourKeyInfo, 18> kColourKeys;

inline constexpr const char* kColourSection = "kolory";
inline constexpr ColourValue kNearBlack = 15;
inline constexpr ColourValue kButtonFont = 10840410;
inline constexpr ColourValue kLightFont = 14416381;
inline constexpr ColourValue kStatusFont = 15329769;

// The default of a key (kColourKeys); near black for a key it does not know.
ColourValue paintDefault(std::string_view key);

enum class ColourRole { Background, Font };

// One assignment: the control (empty name: the window itself), the property,
// the key and the default this window reads it with.
struct ColourRule {
    std::string object;
    ColourRole role;
    std::string key;
    ColourValue def;
};

using ColourRules = std::vector<ColourRule>;

// The rules with a background for every control whose text colour they set:
// the window's own `tlo` where they name none, so that no scheme text lands on
// the desktop's background.
ColourRules withBackgrounds(ColourRules rules);

// Reads every rule's key (once per rule, as each window does) from the file.
std::vector<ColourValue> readColours(const Profile& colourFile, const ColourRules& rules);

ColourRules notificationColourRules();
// The new-entry and edit windows; they differ only in their Cancel button's name.
ColourRules entryColourRules(const std::string& cancelButton);
ColourRules deleteColourRules();
ColourRules timerColourRules();
ColourRules editorColourRules();
// The editor's page colours, in page order: log, log_staly, log_glowny, timer.
inline constexpr std::array<const char*, 4> kPageColourKeys{"log_page", "log_staly_page",
                                                            "log_glowny_page", "timer_page"};

}  // namespace kv::storage
