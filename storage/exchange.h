#pragma once
// The exchange file through which windows, runs and users hand each other the
// active entry, the version, the data folder and the timer message.

#include <string>

#include "locations.h"
#include "logkind.h"
#include "profile.h"

namespace kv::storage {

struct ActiveEntry {
    int number = -1;           // -1: none recorded
    std::string log = "none";  // "log", "log_staly", "log_glowny" or anything else
    // Whether a log was recorded at all ("none" is what a missing key reads as).
    bool logRecorded() const { return log != "none"; }
};

inline constexpr const char* kVersion = "4.17";
#ifdef _WIN32
inline constexpr const char* kTimerDefault =
    "Read Error: No input file. Create folder C:\\Windows\\Temp.";
#else
inline constexpr const char* kTimerDefault = "Read Error: No input file. Create folder /tmp.";
#endif

// When the shared file cannot be used (planted by another user, held locked,
// its folder missing) the process switches, once and for the rest of the run,
// to a personal exchange file, and says why once.
class Exchange {
public:
    explicit Exchange(std::string path = exchangePath());

    // The file in use: the shared one, or the personal one that replaced it.
    const std::string& path() const { return m_file.path(); }
    Profile& profile() { return m_file; }

    void recordLogNames(const FileNames& files);
    void recordDataFolder(const std::string& folder);
    void recordVersion(const std::string& version);
    std::string version(std::string_view def) const;
    std::string dataFolder() const;

    // The number first, then the log, as every reader expects.
    void recordActiveEntry(int number, std::string_view log);
    ActiveEntry activeEntry() const;

    void recordTimerMessage(std::string_view text);
    std::string timerMessage(std::string_view def = kTimerDefault) const;

private:
    struct Value {
        std::string_view section, key, text;
    };
    void write(std::initializer_list<Value> values);
    void useFallback(const std::string& reason);

    std::string m_shared;
    Profile m_file;
};

}  // namespace kv::storage
