#include "profile.h"

namespace kv::storage {

WriteError::WriteError(const std::string& path)
    : std::runtime_error("Unable to write to " + path), m_path(path) {}

Profile::Profile(std::string path, LinkPolicy links) : m_path(std::move(path)), m_links(links) {}

IniDocument Profile::snapshot() const {
    return IniDocument::parse(readWholeFile(m_path, m_links).value_or(std::string()));
}

std::string Profile::readString(std::string_view section, std::string_view key,
                                std::string_view def) const {
    std::optional<std::string> bytes = readWholeFile(m_path, m_links);
    // A missing file reads as an empty one; a file that exists but cannot be
    // opened, or a missing folder, gives the default as it is, quotes and all.
    if (!bytes && (pathExists(m_path) || !folderExists(m_path)))
        return trimDefault(def).substr(0, kMaxValueLength);
    return IniDocument::parse(bytes.value_or(std::string())).read(section, key, def);
}

int Profile::readInteger(std::string_view section, std::string_view key, int def) const {
    return parseProfileInteger(readString(section, key, "")).value_or(def);
}

bool Profile::readBool(std::string_view section, std::string_view key, bool def) const {
    return readInteger(section, key, def ? 1 : 0) != 0;
}

void Profile::update(const std::function<bool(IniDocument&)>& edit) {
    std::unique_ptr<FileLock> lock = lockFile(m_path, m_links);
    // Even a change-free call fails when the file's folder is missing.
    if (!lock && !folderExists(m_path)) throw WriteError(m_path);
    std::optional<std::string> bytes = readWholeFile(m_path, m_links);
    IniDocument doc = bytes ? IniDocument::parse(*bytes) : IniDocument::missing();
    if (!edit(doc)) return;  // nothing changed: the file stays byte for byte
    if (!lock || !replaceFile(m_path, doc.serialize(), m_links)) throw WriteError(m_path);
}

void Profile::writeString(std::string_view section, std::string_view key,
                          std::string_view value) {
    update([&](IniDocument& doc) { return doc.write(section, key, value); });
}

void Profile::writeInteger(std::string_view section, std::string_view key, int value) {
    writeString(section, key, std::to_string(value));
}

void Profile::writeBool(std::string_view section, std::string_view key, bool value) {
    writeString(section, key, value ? "1" : "0");
}

void Profile::deleteKey(std::string_view section, std::string_view key) {
    update([&](IniDocument& doc) { return doc.deleteKey(section, key); });
}

void Profile::eraseSection(std::string_view section) {
    update([&](IniDocument& doc) { return doc.eraseSection(section); });
}

}  // namespace kv::storage
