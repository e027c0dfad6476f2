#include "sandbox.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#ifdef _WIN32
#include <process.h>
#define KV_PID _getpid()
#else
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>
#define KV_PID getpid()
#endif

namespace fs = std::filesystem;

namespace kv::testing {

TempDir::TempDir() {
    static std::atomic<int> counter = 0;
    static const unsigned salt = std::random_device{}();
    for (;;) {
        const fs::path candidate =
            fs::temp_directory_path() /
            ("kv4test-" + std::to_string(KV_PID) + "-" + std::to_string(salt % 100000) + "-" +
             std::to_string(++counter));
        // create_directory is false when it exists already: never share a folder.
        if (fs::create_directory(candidate)) {
            m_path = candidate.generic_string();
            return;
        }
    }
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(m_path, ec);
}

void TempDir::write(const std::string& name, const std::string& bytes) const {
    std::ofstream(file(name), std::ios::binary) << bytes;
}

std::string TempDir::read(const std::string& name) const {
    std::ifstream in(file(name), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool TempDir::exists(const std::string& name) const {
    return fs::exists(file(name));
}

void setEnvironment(const std::string& name, const std::string& value) {
#ifdef _WIN32
    _putenv_s(name.c_str(), value.c_str());
#else
    if (value.empty())
        unsetenv(name.c_str());
    else
        setenv(name.c_str(), value.c_str(), 1);
#endif
}

#ifndef _WIN32
bool canSwitchTo(unsigned uid) {
    if (geteuid() != 0) return false;
    const pid_t pid = fork();
    if (pid == 0) _exit(setgroups(0, nullptr) == 0 && setgid(uid) == 0 && setuid(uid) == 0 ? 0 : 1);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
#endif

Sandbox::Sandbox(bool withStore) {
    for (const char* d : {"data/data", "logs/private", "logs/static", "logs/public"})
        fs::create_directories(fs::path(root()) / d);
    setEnvironment("KALVEX4_STORE", root() + "/Kalvex4.conf");
    setEnvironment("KALVEX4_EXCHANGE", exchangeFile());
    if (withStore)
        storage::writeStore({dataFolder(), root() + "/logs/private/", root() + "/logs/static/",
                             root() + "/logs/public/"});
}

storage::FileNames Sandbox::files() const {
    return storage::buildFileNames({dataFolder(), root() + "/logs/private/",
                                    root() + "/logs/static/", root() + "/logs/public/"},
                                   storage::userName());
}

storage::Profile Sandbox::log(storage::LogKind kind) const {
    const storage::FileNames f = files();
    const storage::FileAccess access = storage::logAccess(kind);
    switch (kind) {
        case storage::LogKind::Private:
            return storage::Profile(f.log, access);
        case storage::LogKind::Static:
            return storage::Profile(f.log_staly, access);
        case storage::LogKind::Public:
            return storage::Profile(f.log_glowny, access);
    }
    return storage::Profile(f.log, access);
}

storage::Profile Sandbox::exchange() const {
    return storage::Profile(exchangeFile(), storage::kExchangeFile);
}

storage::Profile Sandbox::colourFile() const {
    return storage::Profile(storage::colourFileName(dataFolder(), storage::userName()),
                            storage::kPrivateFile);
}

void Sandbox::writeFile(const std::string& relative, const std::string& bytes) const {
    m_dir.write(relative, bytes);
}

std::string Sandbox::readFile(const std::string& relative) const {
    return m_dir.read(relative);
}

storage::EntryData entry(const std::string& title, const std::string& date, const std::string& mode,
                         const std::string& receiver) {
    storage::EntryData e;
    e.tytul = title;
    e.informacja = "Text of " + title;
    e.data = date;
    e.wyswietlanie = mode;
    e.odbiorca = receiver;
    return e;
}

}  // namespace kv::testing
