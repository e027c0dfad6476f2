#include "exchange.h"

namespace kv::storage {

std::string_view logKey(LogKind kind) {
    switch (kind) {
    case LogKind::Private: return "log";
    case LogKind::Static: return "log_staly";
    case LogKind::Public: return "log_glowny";
    }
    return "none";
}

std::optional<LogKind> logKindFromKey(std::string_view key) {
    for (LogKind k : {LogKind::Private, LogKind::Static, LogKind::Public})
        if (logKey(k) == key) return k;
    return std::nullopt;
}

// Another user can plant a link at the fixed shared path: never follow it.
Exchange::Exchange(std::string path) : m_file(std::move(path), LinkPolicy::Refuse) {}

void Exchange::recordLogNames(const FileNames& files) {
    m_file.writeString("dzienniki", "log", files.log);
    m_file.writeString("dzienniki", "log_staly", files.log_staly);
    m_file.writeString("dzienniki", "log_glowny", files.log_glowny);
}

void Exchange::recordDataFolder(const std::string& folder) {
    m_file.writeString("kalvex4", "sciezka", folder);
}

void Exchange::recordVersion(const std::string& version) {
    m_file.writeString("kalvex4", "wersja", version);
}

std::string Exchange::version(std::string_view def) const {
    return m_file.readString("kalvex4", "wersja", def);
}

std::string Exchange::dataFolder() const { return m_file.readString("kalvex4", "sciezka", ""); }

void Exchange::recordActiveEntry(int number, std::string_view log) {
    m_file.writeInteger("log", "aktywny_wpis", number);
    m_file.writeString("log", "aktywny_dziennik", log);
}

ActiveEntry Exchange::activeEntry() const {
    return ActiveEntry{m_file.readInteger("log", "aktywny_wpis", -1),
                       m_file.readString("log", "aktywny_dziennik", "none")};
}

void Exchange::recordTimerMessage(std::string_view text) {
    m_file.writeString("timer", "info", text);
}

std::string Exchange::timerMessage() const {
    return m_file.readString("timer", "info", kTimerDefault);
}

}  // namespace kv::storage
