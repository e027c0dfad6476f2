#pragma once
// Throw-away folders for tests, with no Qt so that the engine's tests use them
// on Windows too: a plain temporary folder, and a whole installation (store,
// data folder and log folders) with the store and exchange file pointed at it.

#include <string>

#include "locations.h"
#include "logbook.h"
#include "profile.h"

namespace kv::testing {

// A new empty folder, removed with everything in it afterwards.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }
    void write(const std::string& name, const std::string& bytes) const;
    std::string read(const std::string& name) const;
    bool exists(const std::string& name) const;

private:
    std::string m_path;
};

// Sets (or with an empty value removes) an environment variable of this process.
void setEnvironment(const std::string& name, const std::string& value);

#ifndef _WIN32
// Whether this process may become uid (root on a system that maps it), tried
// in a child so that nothing here changes.
bool canSwitchTo(unsigned uid);
#endif

class Sandbox {
public:
    // withStore false leaves the store missing.
    explicit Sandbox(bool withStore = true);

    const std::string& root() const { return m_dir.path(); }
    std::string dataFolder() const { return root() + "/data/"; }
    std::string exchangeFile() const { return root() + "/Kalvex4.tmp"; }
    storage::FileNames files() const;
    storage::Profile log(storage::LogKind kind) const;
    storage::Profile exchange() const;
    storage::Profile config() const {
        return storage::Profile(files().config, storage::kSharedFile);
    }
    storage::Profile colourFile() const;
    void writeFile(const std::string& relative, const std::string& bytes) const;
    std::string readFile(const std::string& relative) const;

private:
    TempDir m_dir;
};

// An entry as the new-entry window would write it.
storage::EntryData entry(const std::string& title, const std::string& date,
                         const std::string& mode = "", const std::string& receiver = "");

}  // namespace kv::testing
