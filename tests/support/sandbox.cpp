#include "sandbox.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace kv::testing {

Sandbox::Sandbox(bool withStore) {
    std::string tmpl = (fs::temp_directory_path() / "kv4test.XXXXXX").string();
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp");
    m_root = tmpl;
    for (const char* d : {"data/data", "logs/private", "logs/static", "logs/public"})
        fs::create_directories(fs::path(m_root) / d);
    setenv("KALVEX4_STORE", (m_root + "/Kalvex4.conf").c_str(), 1);
    setenv("KALVEX4_EXCHANGE", exchangeFile().c_str(), 1);
    if (withStore)
        storage::writeStore({dataFolder(), m_root + "/logs/private/", m_root + "/logs/static/",
                             m_root + "/logs/public/"});
}

Sandbox::~Sandbox() {
    std::error_code ec;
    fs::remove_all(m_root, ec);
}

storage::FileNames Sandbox::files() const {
    return storage::buildFileNames({dataFolder(), m_root + "/logs/private/",
                                    m_root + "/logs/static/", m_root + "/logs/public/"},
                                   storage::userName());
}

storage::Profile Sandbox::log(storage::LogKind kind) const {
    const storage::FileNames f = files();
    const storage::FileAccess access = storage::logAccess(kind);
    switch (kind) {
    case storage::LogKind::Private: return storage::Profile(f.log, access);
    case storage::LogKind::Static: return storage::Profile(f.log_staly, access);
    case storage::LogKind::Public: return storage::Profile(f.log_glowny, access);
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
    std::ofstream(m_root + "/" + relative, std::ios::binary) << bytes;
}

std::string Sandbox::readFile(const std::string& relative) const {
    std::ifstream in(m_root + "/" + relative, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

storage::EntryData entry(const std::string& title, const std::string& date,
                         const std::string& mode, const std::string& receiver) {
    storage::EntryData e;
    e.tytul = title;
    e.informacja = "Text of " + title;
    e.data = date;
    e.wyswietlanie = mode;
    e.odbiorca = receiver;
    return e;
}

}  // namespace kv::testing
