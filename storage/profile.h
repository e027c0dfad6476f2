#pragma once
// A private-profile (INI) file. Nothing is kept between operations, so other
// windows' and processes' writes are seen at once; within one operation (a
// ReadScope) the file is read once and that parse answers every read.

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "fileio.h"
#include "inidocument.h"

namespace kv::storage {

class Profile {
public:
    explicit Profile(std::string path, FileAccess access = {});
    Profile(const Profile& other);
    Profile& operator=(const Profile& other);

    const std::string& path() const { return m_path; }
    const FileAccess& access() const { return m_access; }

    std::string readString(std::string_view section, std::string_view key,
                           std::string_view def) const;
    // A user's text whole: neither cut to the Win32 buffer nor short of the
    // quotes that protectValue() put around it.
    std::string readText(std::string_view section, std::string_view key,
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
    // when edit reports a change. Throws WriteError when refused, and when the
    // file exists but cannot be read completely (it is then left as it was).
    void update(const std::function<bool(IniDocument&)>& edit);

    // The file as it is now (a missing or unreadable file is an empty document),
    // or as the enclosing scope read it.
    std::shared_ptr<const IniDocument> document() const;
    IniDocument snapshot() const { return *document(); }
    // Whether the file could be read (a missing file counts as read: it is empty).
    bool readable() const;

    // While a scope lives, the file is read at most once; the last scope's end
    // forgets the parse. Writes through this object, and refresh(), make the
    // next read go to the file again.
    class ReadScope {
    public:
        explicit ReadScope(const Profile& profile);
        ~ReadScope();
        ReadScope(const ReadScope&) = delete;
        ReadScope& operator=(const ReadScope&) = delete;

    private:
        const Profile& m_profile;
    };
    [[nodiscard]] ReadScope readScope() const { return ReadScope(*this); }
    void refresh() const { m_cache.reset(); }

private:
    struct Loaded;
    std::shared_ptr<const Loaded> load() const;

    std::string m_path;
    FileAccess m_access;
    mutable std::shared_ptr<const Loaded> m_cache;
    mutable int m_scopes = 0;
};

}  // namespace kv::storage
