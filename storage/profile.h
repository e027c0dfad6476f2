#pragma once
// A private-profile (INI) file. Every call goes to the file: nothing is kept
// between calls, so other windows' and processes' writes are seen at once.

#include "fileio.h"
#include "inidocument.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kv::storage {

// A write the system refused; the text is "Unable to write to <file>".
class WriteError : public std::runtime_error {
public:
    explicit WriteError(const std::string& path);
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

class Profile {
public:
    explicit Profile(std::string path, LinkPolicy links = LinkPolicy::Follow);

    const std::string& path() const { return m_path; }

    std::string readString(std::string_view section, std::string_view key,
                           std::string_view def) const;
    // Decimal or "0x"/"$" hexadecimal; anything else gives def.
    int readInteger(std::string_view section, std::string_view key, int def) const;
    bool readBool(std::string_view section, std::string_view key, bool def) const;

    void writeString(std::string_view section, std::string_view key, std::string_view value);
    void writeInteger(std::string_view section, std::string_view key, int value);
    void writeBool(std::string_view section, std::string_view key, bool value);
    void deleteKey(std::string_view section, std::string_view key);
    void eraseSection(std::string_view section);

    // One read-modify-write under the file's lock, written once and atomically
    // when edit reports a change. Throws WriteError when refused.
    void update(const std::function<bool(IniDocument&)>& edit);

    // The file as it is now (a missing file is an empty document).
    IniDocument snapshot() const;

private:
    std::string m_path;
    LinkPolicy m_links;
};

}  // namespace kv::storage
