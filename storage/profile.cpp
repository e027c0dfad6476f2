#include "profile.h"

#include "notices.h"

namespace kv::storage {

std::string sizeRefusal(unsigned long long size, const FileAccess& access) {
    if (access.maxBytes == 0 || size <= access.maxBytes) return {};
    return "it holds " + std::to_string(size / (1024 * 1024)) + " MB, more than the " +
           std::to_string(access.maxBytes / (1024 * 1024)) +
           " MB such a file can need; it is neither read nor written";
}

WriteError::WriteError(const std::string& path, const std::string& reason)
    : std::runtime_error("Unable to write to " + path + (reason.empty() ? "" : ": " + reason)),
      m_path(path) {}

struct Profile::Loaded {
    ReadStatus status;
    IniDocument doc;
};

Profile::Profile(std::string path, FileAccess access) : m_path(std::move(path)), m_access(access) {}

// A copy is a new handle on the same file: it shares no parse and no scope.
Profile::Profile(const Profile& other) : m_path(other.m_path), m_access(other.m_access) {}

Profile& Profile::operator=(const Profile& other) {
    m_path = other.m_path;
    m_access = other.m_access;
    m_cache.reset();
    return *this;
}

Profile::ReadScope::ReadScope(const Profile& profile) : m_profile(profile) {
    ++m_profile.m_scopes;
}

Profile::ReadScope::~ReadScope() {
    if (--m_profile.m_scopes == 0) m_profile.m_cache.reset();
}

std::shared_ptr<const Profile::Loaded> Profile::load() const {
    if (m_cache) return m_cache;
    FileContent content = readFile(m_path, m_access);
    if (content.status == ReadStatus::Unreadable)
        noticeOnce("unreadable:" + m_path,
                   "Kalvex4 cannot read the file " + m_path + " (" + content.problem +
                       "). Until it can be read, nothing of it is shown and nothing is written "
                       "to it.");
    else
        forgetNotice("unreadable:" + m_path);
    auto loaded = std::make_shared<const Loaded>(Loaded{
        content.status, IniDocument::parse(content.status == ReadStatus::Ok ? content.bytes : "")});
    if (m_scopes > 0) m_cache = loaded;
    return loaded;
}

std::shared_ptr<const IniDocument> Profile::document() const {
    std::shared_ptr<const Loaded> loaded = load();
    return std::shared_ptr<const IniDocument>(loaded, &loaded->doc);
}

bool Profile::readable() const {
    const ReadStatus status = load()->status;
    return status == ReadStatus::Ok || status == ReadStatus::Missing;
}

std::string Profile::readString(std::string_view section, std::string_view key,
                                std::string_view def) const {
    std::shared_ptr<const Loaded> loaded = load();
    // A missing file reads as an empty one; a file that exists but cannot be
    // read, or a missing folder, gives the default as it is, quotes and all.
    if (loaded->status == ReadStatus::NoFolder || loaded->status == ReadStatus::Unreadable)
        return trimDefault(def).substr(0, kMaxValueLength);
    return loaded->doc.read(section, key, def);
}

std::string Profile::readText(std::string_view section, std::string_view key,
                              std::string_view def) const {
    std::shared_ptr<const Loaded> loaded = load();
    if (loaded->status == ReadStatus::NoFolder || loaded->status == ReadStatus::Unreadable)
        return trimDefault(def);
    return loaded->doc.readWhole(section, key, def);
}

int Profile::readInteger(std::string_view section, std::string_view key, int def) const {
    return parseProfileInteger(readString(section, key, "")).value_or(def);
}

bool Profile::readBool(std::string_view section, std::string_view key, bool def) const {
    return readInteger(section, key, def ? 1 : 0) != 0;
}

void Profile::update(const std::function<bool(IniDocument&)>& edit) {
    m_cache.reset();
    modifyFile(m_path, m_access, [&](const FileContent& content) -> std::optional<std::string> {
        IniDocument doc = content.status == ReadStatus::Ok ? IniDocument::parse(content.bytes)
                                                           : IniDocument::missing();
        if (!edit(doc)) return std::nullopt;  // nothing changed: the file stays byte for byte
        return doc.serialize();
    });
}

void Profile::writeString(std::string_view section, std::string_view key, std::string_view value) {
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
