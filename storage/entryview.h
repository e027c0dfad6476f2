#pragma once
// One slot of a log as the windows show it: every key named here once, every
// text whole (never cut to 1023 characters), and for a key the slot lacks the
// text the window shows instead.

#include <string>
#include <string_view>

#include "profile.h"

namespace kv::storage {

class EntryView {
public:
    EntryView(const Profile& log, int slot);

    // Whether the slot holds an entry ("Numer" is there).
    bool occupied() const;
    // The subject and the text with their line breaks back; as stored, the
    // breaks are the byte 0x1F.
    std::string subject(std::string_view missing = "") const;
    std::string storedSubject(std::string_view missing = "") const;
    std::string text(std::string_view missing = "") const;
    std::string storedText(std::string_view missing = "") const;
    std::string date(std::string_view missing = "") const;
    std::string type(std::string_view missing = "") const;
    std::string sound(std::string_view missing = "") const;
    // "raz", "rok" or "miesiac"; read as the Win32 profile functions do.
    std::string mode(std::string_view missing = "") const;
    // A user name, or "wszyscy" for every user.
    std::string receiver(std::string_view missing = "") const;
    std::string email(std::string_view missing = "") const;
    std::string page(std::string_view missing = "") const;
    std::string program(std::string_view missing = "") const;
    std::string file(std::string_view missing = "") const;

private:
    std::string whole(const char* key, std::string_view missing) const;

    const Profile& m_log;
    std::string m_section;
};

}  // namespace kv::storage
