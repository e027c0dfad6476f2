#pragma once
// A throw-away installation: store, data folder and log folders in a temporary
// folder, with the store and exchange file pointed at it for this process.

#include "locations.h"
#include "logbook.h"
#include "profile.h"

#include <string>

namespace kv::testing {

class Sandbox {
public:
    // withStore false leaves the store missing.
    explicit Sandbox(bool withStore = true);
    ~Sandbox();
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    const std::string& root() const { return m_root; }
    std::string dataFolder() const { return m_root + "/data/"; }
    std::string exchangeFile() const { return m_root + "/Kalvex4.tmp"; }
    storage::FileNames files() const;
    storage::Profile log(storage::LogKind kind) const;
    storage::Profile exchange() const;
    storage::Profile config() const { return storage::Profile(files().config, storage::kSharedFile); }
    storage::Profile colourFile() const;
    void writeFile(const std::string& relative, const std::string& bytes) const;
    std::string readFile(const std::string& relative) const;

private:
    std::string m_root;
};

// An entry as the new-entry window would write it.
storage::EntryData entry(const std::string& title, const std::string& date,
                         const std::string& mode = "", const std::string& receiver = "");

}  // namespace kv::testing
