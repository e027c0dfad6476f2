#pragma once
// In-memory form of a private-profile file, with the lookup and edit rules
// that keep our files byte-compatible with the Win32 profile functions.

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kv::storage {

struct IniKey {
    std::string name;
    std::optional<std::string> value;  // a line without '=' (comments too) has none
};

struct IniSection {
    std::string name;  // the first section of a document is the nameless one
    std::vector<IniKey> keys;
};

// A profile value read through a 1024-byte buffer never exceeds this.
inline constexpr std::size_t kMaxValueLength = 1023;

class IniDocument {
public:
    static IniDocument parse(std::string_view bytes);
    // A file that does not exist: unlike an empty file it has not even the
    // nameless section, so erasing that changes nothing.
    static IniDocument missing();
    std::string serialize() const;

    // The text a read returns: the stored value, or the default when the
    // section or key is missing; quotes stripped and length capped.
    std::string read(std::string_view section, std::string_view key, std::string_view def) const;
    // The same text whole: what our own windows show and compare, where no
    // 1024-byte buffer of the Win32 functions has to be matched.
    std::string readWhole(std::string_view section, std::string_view key,
                          std::string_view def) const;
    // Raw stored value of the first matching key, if it has one.
    std::optional<std::string> find(std::string_view section, std::string_view key) const;
    bool hasSection(std::string_view section) const;

    // Each edit returns whether the document changed.
    bool write(std::string_view section, std::string_view key, std::string_view value);
    bool deleteKey(std::string_view section, std::string_view key);
    bool eraseSection(std::string_view section);

    const std::vector<IniSection>& sections() const { return m_sections; }

private:
    IniDocument();
    IniSection* findSection(std::string_view trimmedName);
    const IniSection* findSection(std::string_view trimmedName) const;

    void forgetIndex() { m_index.clear(); }

    bool m_bom = false;
    std::vector<IniSection> m_sections;
    // First section of each ASCII-lowercased name, built on the first lookup
    // of a large document so that a 100,000-section file stays fast.
    mutable std::unordered_map<std::string, std::size_t> m_index;
};

// Helpers shared with the readers of numbers.
bool isProfileSpace(unsigned char c);
std::string_view trimProfile(std::string_view s);
bool equalsNoCase(std::string_view a, std::string_view b);
// Decimal, "0x"/"0X" or "$" hexadecimal; anything else is no number.
std::optional<int> parseProfileInteger(std::string_view text);
// A read's default: trailing spaces go, but one of an all-space default stays.
// Not yet capped at the buffer's length: a long quoted default loses its
// quotes first.
std::string trimDefault(std::string_view def);
// What a read returns of a stored value or a trimmed default: one pair of
// matching quotes removed, cut to the buffer's length.
std::string copyEntry(std::string_view value);
// copyEntry without the buffer's limit.
std::string unquoteEntry(std::string_view value);
// The form in which user text is written so that a read, ours or the Win32
// functions', returns it exactly: a value that begins or ends with a blank or
// a quote is wrapped in one more pair of quotes, which the read removes.
std::string protectValue(std::string_view text);

}  // namespace kv::storage
