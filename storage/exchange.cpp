#include "exchange.h"

#include <map>
#include <mutex>

#include "logbook.h"
#include "notices.h"

namespace kv::storage {

std::string_view logKey(LogKind kind) {
    switch (kind) {
        case LogKind::Private:
            return "log";
        case LogKind::Static:
            return "log_staly";
        case LogKind::Public:
            return "log_glowny";
    }
    return "none";
}

std::optional<LogKind> logKindFromKey(std::string_view key) {
    for (LogKind k : {LogKind::Private, LogKind::Static, LogKind::Public})
        if (logKey(k) == key) return k;
    return std::nullopt;
}

namespace {

std::mutex g_mutex;
// Shared exchange file -> the personal file that replaced it in this process.
std::map<std::string, std::string> g_fallbacks;

std::string fallbackFor(const std::string& shared) {
    std::lock_guard<std::mutex> lock(g_mutex);
    auto it = g_fallbacks.find(shared);
    return it == g_fallbacks.end() ? std::string() : it->second;
}

}  // namespace

// Another user can plant a link at the fixed shared path: never follow it.
Exchange::Exchange(std::string path) : m_shared(std::move(path)), m_file(m_shared, kExchangeFile) {
    if (m_shared == personalExchangePath())
        m_file = Profile(m_shared, kPrivateFile);  // the user's own: 0600
    else if (std::string fallback = fallbackFor(m_shared); !fallback.empty())
        m_file = Profile(fallback, kPrivateFile);
    else if (std::string problem = exchangeProblem(m_shared); !problem.empty())
        useFallback(problem);
}

void Exchange::useFallback(const std::string& reason) {
    const std::string personal = personalExchangePath();
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        g_fallbacks[m_shared] = personal;
    }
    m_file = Profile(personal, kPrivateFile);
    noticeOnce("exchange:" + m_shared, "The shared exchange file " + m_shared +
                                           " cannot be used (" + reason + "). Kalvex4 uses " +
                                           personal + " instead until it is restarted.");
}

void Exchange::write(std::initializer_list<Value> values) {
    // The values in their order, in one rewrite of the file.
    const auto edit = [&](IniDocument& doc) {
        bool changed = false;
        for (const Value& v : values) changed |= doc.write(v.section, v.key, v.text);
        return changed;
    };
    try {
        m_file.update(edit);
    } catch (const WriteError& e) {
        // Only a shared file has another to fall back to: the user's own is the last.
        if (m_file.path() != m_shared || m_shared == personalExchangePath()) throw;
        const std::string what = e.what();
        const std::string lead = "Unable to write to " + m_shared + ": ";
        useFallback(what.rfind(lead, 0) == 0 ? what.substr(lead.size()) : what);
        m_file.update(edit);
    }
}

void Exchange::recordLogNames(const FileNames& files) {
    write({{"dzienniki", "log", files.log},
           {"dzienniki", "log_staly", files.log_staly},
           {"dzienniki", "log_glowny", files.log_glowny}});
}

void Exchange::recordDataFolder(const std::string& folder) {
    write({{"kalvex4", "sciezka", folder}});
}

void Exchange::recordVersion(const std::string& version) {
    write({{"kalvex4", "wersja", version}});
}

std::string Exchange::version(std::string_view def) const {
    return m_file.readString("kalvex4", "wersja", def);
}

std::string Exchange::dataFolder() const {
    return m_file.readString("kalvex4", "sciezka", "");
}

void Exchange::recordActiveEntry(int number, std::string_view log) {
    const std::string text = std::to_string(number);
    write({{"log", "aktywny_wpis", text}, {"log", "aktywny_dziennik", log}});
}

ActiveEntry Exchange::activeEntry() const {
    const Profile::ReadScope once(m_file);
    return ActiveEntry{m_file.readInteger("log", "aktywny_wpis", -1),
                       m_file.readString("log", "aktywny_dziennik", "none")};
}

void Exchange::recordTimerMessage(std::string_view text) {
    // One line, like the logs' texts: a line break would start a stray key.
    const std::string stored = protectValue(encodeText(text));
    write({{"timer", "info", stored}});
}

std::string Exchange::timerMessage(std::string_view def) const {
    return decodeText(m_file.readText("timer", "info", def));
}

}  // namespace kv::storage
