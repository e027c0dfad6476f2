#include "locations.h"

namespace kv::storage {

FileNames buildFileNames(const StoreValues& f, const std::string& user) {
    // Plain concatenation: a folder value without its closing separator glues
    // the user name to the folder's last name, as stored paths always did.
    return FileNames{
        f.sciezka_log + user + ".log",     f.sciezka_log_staly + user + "_staly.log",
        f.sciezka_log_glowny + "log4.ini", f.sciezka + "config.ini",
        f.sciezka + user + "_config.ini",
    };
}

std::string colourFileName(const std::string& dataFolder, const std::string& user) {
    return dataFolder + user + ".col";
}

FileAccess logAccess(LogKind kind) {
    FileAccess access = kind == LogKind::Public ? kSharedFile : kPrivateFile;
    access.maxBytes = kMaxLogBytes;
    return access;
}

std::optional<Location> locate() {
    Location loc;
    loc.user = userName();
    std::optional<StoreValues> store = readStore();
    if (!store) return std::nullopt;
    loc.folders = *store;
    loc.files = buildFileNames(loc.folders, loc.user);
    return loc;
}

}  // namespace kv::storage
