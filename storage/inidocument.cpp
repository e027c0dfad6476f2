#include "inidocument.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <utility>

namespace kv::storage {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view trimLeft(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && isProfileSpace(static_cast<unsigned char>(s[i]))) ++i;
    return s.substr(i);
}

std::string_view trimRight(std::string_view s) {
    std::size_t n = s.size();
    while (n > 0 && isProfileSpace(static_cast<unsigned char>(s[n - 1]))) --n;
    return s.substr(0, n);
}

// Names and values are C strings to Windows: a NUL byte in a line (as a crash
// can leave in a file) ends the name or value it falls in.
std::string untilNul(std::string_view s) {
    return std::string(s.substr(0, s.find('\0')));
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

bool isProfileSpace(unsigned char c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x1A;
}

std::string_view trimProfile(std::string_view s) {
    return trimRight(trimLeft(s));
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (asciiLower(a[i]) != asciiLower(b[i])) return false;
    return true;
}

std::optional<int> parseProfileInteger(std::string_view text) {
    if (text.empty()) return std::nullopt;
    std::string_view hex;
    if (text.front() == '$')
        hex = text.substr(1);
    else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        hex = text.substr(2);
    if (!hex.empty() || text.front() == '$') {
        // Up to 32 bits of hexadecimal, taken as the bit pattern of a signed value.
        if (hex.empty() || hex.size() > 8) return std::nullopt;
        std::uint32_t v = 0;
        for (char c : hex) {
            int d = hexDigit(c);
            if (d < 0) return std::nullopt;
            v = (v << 4) | static_cast<std::uint32_t>(d);
        }
        return static_cast<int>(v);
    }
    std::size_t i = 0;
    bool negative = false;
    if (text[0] == '-' || text[0] == '+') {
        negative = text[0] == '-';
        i = 1;
    }
    if (i == text.size()) return std::nullopt;
    long long v = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
        if (v > static_cast<long long>(std::numeric_limits<int>::max()) + 1) return std::nullopt;
    }
    if (negative) v = -v;
    if (v > std::numeric_limits<int>::max() || v < std::numeric_limits<int>::min())
        return std::nullopt;
    return static_cast<int>(v);
}

std::string trimDefault(std::string_view def) {
    std::size_t n = def.size();
    while (n > 1 && def[n - 1] == ' ') --n;
    return std::string(def.substr(0, n));
}

std::string copyEntry(std::string_view value) {
    // One pair of matching quotes is removed; the buffer limit applies to the
    // text after the opening quote, so a long quoted value keeps its quote.
    char quote = 0;
    if (!value.empty() && (value[0] == '\'' || value[0] == '"') && value.size() >= 2 &&
        value.back() == value[0]) {
        quote = value[0];
        value.remove_prefix(1);
    }
    std::string out(value.substr(0, std::min(value.size(), kMaxValueLength)));
    if (quote && kMaxValueLength + 1 >= value.size() && !out.empty()) out.pop_back();
    return out;
}

std::string unquoteEntry(std::string_view value) {
    if (value.size() >= 2 && (value[0] == '\'' || value[0] == '"') && value.back() == value[0])
        return std::string(value.substr(1, value.size() - 2));
    return std::string(value);
}

std::string protectValue(std::string_view text) {
    if (text.empty()) return {};
    auto exposed = [](char c) {
        return c == '"' || c == '\'' || isProfileSpace(static_cast<unsigned char>(c));
    };
    if (!exposed(text.front()) && !exposed(text.back())) return std::string(text);
    return "\"" + std::string(text) + "\"";
}

IniDocument::IniDocument() {
    m_sections.push_back(IniSection{});
}

IniDocument IniDocument::missing() {
    IniDocument doc;
    doc.m_sections.clear();
    return doc;
}

// Two deliberate differences from the Win32 functions, both about encodings:
// - A file starting with a UTF-8 byte-order mark is still handled as bytes.
//   Windows converts its text to the ANSI code page for the "A" functions and
//   back on writing, which turns bytes that are not UTF-8 into U+FFFD: our
//   logs would lose text typed in another code page. ASCII files are the same.
// - UTF-16 files (FF FE / FE FF) are not decoded. Nothing of ours writes them,
//   and the logs' readers on Linux take bytes.
IniDocument IniDocument::parse(std::string_view bytes) {
    IniDocument doc;
    if (bytes.substr(0, kBom.size()) == kBom) {
        doc.m_bom = true;
        bytes.remove_prefix(kBom.size());
    }
    IniSection* current = &doc.m_sections.front();
    const IniKey* previous = nullptr;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t end = pos;
        while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r') ++end;
        std::string_view line = trimProfile(bytes.substr(pos, end - pos));
        pos = end;
        while (pos < bytes.size() && (bytes[pos] == '\n' || bytes[pos] == '\r')) ++pos;
        if (line.empty()) continue;

        if (line.front() == '[') {
            std::size_t close = line.rfind(']');
            if (close != std::string_view::npos && close > 0) {
                doc.m_sections.push_back(
                    IniSection{untilNul(trimProfile(line.substr(1, close - 1))), {}});
                current = &doc.m_sections.back();
                previous = nullptr;
                continue;
            }
        }

        IniKey key;
        std::size_t eq = line.find('=');
        std::string_view name = eq != std::string_view::npos ? trimRight(line.substr(0, eq)) : line;
        key.name = untilNul(name);
        if (eq != std::string_view::npos) key.value = untilNul(trimLeft(line.substr(eq + 1)));
        // A run of nameless keys keeps only its first one; a name cut short
        // by a NUL still counts as a name here.
        if (!name.empty() || !previous || !previous->name.empty()) {
            current->keys.push_back(std::move(key));
            previous = &current->keys.back();
        }
    }
    return doc;
}

std::string IniDocument::serialize() const {
    std::string out;
    if (m_bom) out += kBom;
    for (const IniSection& s : m_sections) {
        if (!s.name.empty()) {
            out += '[';
            out += s.name;
            out += "]\r\n";
        }
        for (const IniKey& k : s.keys) {
            out += k.name;
            if (k.value) {
                out += '=';
                out += *k.value;
            }
            out += "\r\n";
        }
    }
    return out;
}

namespace {
constexpr std::size_t kIndexFrom = 64;

std::string lowered(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = asciiLower(c);
    return out;
}
}  // namespace

const IniSection* IniDocument::findSection(std::string_view trimmedName) const {
    if (m_sections.size() < kIndexFrom) {
        for (const IniSection& s : m_sections)
            if (equalsNoCase(s.name, trimmedName)) return &s;
        return nullptr;
    }
    if (m_index.empty())
        for (std::size_t i = 0; i < m_sections.size(); ++i)
            m_index.emplace(lowered(m_sections[i].name), i);
    auto it = m_index.find(lowered(trimmedName));
    return it == m_index.end() ? nullptr : &m_sections[it->second];
}

IniSection* IniDocument::findSection(std::string_view trimmedName) {
    return const_cast<IniSection*>(std::as_const(*this).findSection(trimmedName));
}

bool IniDocument::hasSection(std::string_view section) const {
    return findSection(trimProfile(section)) != nullptr;
}

std::optional<std::string> IniDocument::find(std::string_view section, std::string_view key) const {
    const IniSection* s = findSection(trimProfile(section));
    if (!s) return std::nullopt;
    std::string_view k = trimProfile(key);
    for (const IniKey& entry : s->keys)
        if (equalsNoCase(entry.name, k)) return entry.value;
    return std::nullopt;
}

std::string IniDocument::read(std::string_view section, std::string_view key,
                              std::string_view def) const {
    std::optional<std::string> value = find(section, key);
    return copyEntry(value ? *value : trimDefault(def));
}

std::string IniDocument::readWhole(std::string_view section, std::string_view key,
                                   std::string_view def) const {
    std::optional<std::string> value = find(section, key);
    return unquoteEntry(value ? *value : trimDefault(def));
}

bool IniDocument::write(std::string_view section, std::string_view key, std::string_view value) {
    std::string_view sectionLead = trimLeft(section);
    std::string_view keyLead = trimLeft(key);
    std::string_view storedValue = trimLeft(value);

    IniSection* s = findSection(trimRight(sectionLead));
    if (!s) {
        forgetIndex();
        m_sections.push_back(IniSection{std::string(sectionLead), {}});
        s = &m_sections.back();
    }
    std::string_view keyName = trimRight(keyLead);
    for (IniKey& k : s->keys) {
        if (!equalsNoCase(k.name, keyName)) continue;
        if (k.value && *k.value == storedValue) return false;
        k.value = std::string(storedValue);
        return true;
    }
    s->keys.push_back(IniKey{std::string(keyLead), std::string(storedValue)});
    return true;
}

bool IniDocument::deleteKey(std::string_view section, std::string_view key) {
    // Deleting matches names as given and looks on through later sections of
    // the same name when the first one lacks the key.
    for (IniSection& s : m_sections) {
        if (!equalsNoCase(s.name, section)) continue;
        auto it = std::find_if(s.keys.begin(), s.keys.end(),
                               [&](const IniKey& k) { return equalsNoCase(k.name, key); });
        if (it != s.keys.end()) {
            s.keys.erase(it);
            return true;
        }
    }
    return false;
}

bool IniDocument::eraseSection(std::string_view section) {
    auto it = std::find_if(m_sections.begin(), m_sections.end(),
                           [&](const IniSection& s) { return equalsNoCase(s.name, section); });
    if (it == m_sections.end()) return false;
    forgetIndex();
    m_sections.erase(it);
    return true;
}

}  // namespace kv::storage
