#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "fileio.h"
#include "locations.h"
#include "look.h"
#include "profile.h"

namespace kv::storage {

namespace {

constexpr const char* kSection = "Kalvex4";
constexpr const char* kMissing = "\x01missing";

std::string envOr(const char* name, const char* fallback) {
    const char* v = std::getenv(name);
    return (v && *v) ? std::string(v) : std::string(fallback);
}

}  // namespace

std::string storeDescription() {
    return envOr("KALVEX4_STORE", "/etc/xdg/Wendrik/Kalvex4.conf");
}

std::optional<StoreValues> readStore() {
    Profile store(storeDescription(), kSystemFile);
    IniDocument doc = store.snapshot();
    if (!doc.hasSection(kSection)) return std::nullopt;
    auto value = [&](const char* key) {
        std::string v = doc.read(kSection, key, kMissing);
        return v == kMissing ? std::string() : v;
    };
    return StoreValues{value("sciezka"), value("sciezka_log"), value("sciezka_log_staly"),
                       value("sciezka_log_glowny")};
}

void writeStore(const StoreValues& v) {
    Profile store(storeDescription(), kSystemFile);
    store.update([&](IniDocument& doc) {
        bool changed = doc.write(kSection, "sciezka", v.sciezka);
        changed |= doc.write(kSection, "sciezka_log", v.sciezka_log);
        changed |= doc.write(kSection, "sciezka_log_staly", v.sciezka_log_staly);
        changed |= doc.write(kSection, "sciezka_log_glowny", v.sciezka_log_glowny);
        return changed;
    });
}

std::string storeWriteProblem() {
    const std::string path = storeDescription();
    const std::string folder = folderOf(path);
    // Replacing the file needs its folder; a rewrite in place needs the file.
    if (faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0)
        return "its folder " + folder + " cannot be written by this user";
    try {
        modifyFile(path, kSystemFile,
                   [](const FileContent&) { return std::optional<std::string>(); });
    } catch (const WriteError& e) {
        return e.what();
    }
    return {};
}

std::string ownerName(unsigned long id) {
    const passwd* pw = getpwuid(static_cast<uid_t>(id));
    const std::string uid = "uid " + std::to_string(id);
    return pw && pw->pw_name ? std::string(pw->pw_name) + " (" + uid + ")" : uid;
}

std::vector<std::string> misownedUserFiles(const StoreValues& store) {
    // Longest suffix first: "ann_staly.log" is ann's static log, not "ann_staly"'s.
    const std::pair<const std::string*, std::vector<std::string>> places[] = {
        {&store.sciezka_log, {".log"}},
        {&store.sciezka_log_staly, {"_staly.log"}},
        {&store.sciezka, {"_config.ini", ".col"}}};
    std::vector<std::string> found;
    for (const auto& [folder, suffixes] : places) {
        DIR* dir = opendir(folder->c_str());
        if (!dir) continue;
        while (const dirent* e = readdir(dir)) {
            const std::string name = e->d_name;
            for (const std::string& suffix : suffixes) {
                if (name.size() <= suffix.size() ||
                    name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
                    continue;
                const std::string user = name.substr(0, name.size() - suffix.size());
                struct stat st {};
                const std::string path = *folder + name;
                const passwd* owner = lstat(path.c_str(), &st) == 0 ? getpwuid(st.st_uid) : nullptr;
                // Named for one user, owned by another (or by an id without a name).
                if (st.st_nlink > 0 && !(owner && owner->pw_name && user == owner->pw_name))
                    found.push_back(path + " is named for " + user + " but belongs to " +
                                    ownerName(st.st_uid) + ": remove it (rm '" + path +
                                    "') so that " + user + " can use Kalvex4");
                break;
            }
        }
        closedir(dir);
    }
    return found;
}

std::string logFolderProblem(const std::string& folder) {
    if (folder.empty() || folder.front() != '/') return "is not a full path (it must begin with /)";
    // Without its final slash, so that a file typed as a folder is found as a file.
    std::string path = folder;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return "does not exist";
    if (!S_ISDIR(st.st_mode)) return "is a file, not a folder";
    if (faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0)
        return "cannot be written by this user";
    return {};
}

std::string renameProblem(const std::string& path) {
    const std::string folder = folderOf(path);
    struct stat dir {};
    struct stat file {};
    if (stat(folder.c_str(), &dir) != 0 || stat(path.c_str(), &file) != 0)
        return path + " cannot be found";
    if (faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0)
        return "the folder " + folder + " cannot be written by this user";
    const uid_t me = geteuid();
    if ((dir.st_mode & S_ISVTX) && me != 0 && file.st_uid != me && dir.st_uid != me)
        return path + " belongs to another user, and its folder " + folder +
               " lets only its owner rename it";
    return {};
}

std::string userName() {
    if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_name) return pw->pw_name;
    return envOr("USER", "");
}

std::string exchangePath() {
    // A file of this user's own: a shared one would let any user steer the hand-overs.
    const char* named = std::getenv("KALVEX4_EXCHANGE");
    return named && *named ? std::string(named) : personalExchangePath();
}

std::string personalExchangePath() {
    // The session's runtime folder is the user's alone (0700); the home folder next.
    struct stat st {};
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime && stat(runtime, &st) == 0 && S_ISDIR(st.st_mode) &&
        st.st_uid == geteuid() && (st.st_mode & 0022) == 0)
        return std::string(runtime) + "/Kalvex4.tmp";
    std::string home = envOr("HOME", "");
    if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_dir) home = pw->pw_dir;
    return home + "/.Kalvex4.tmp";
}

std::string exchangeProblem(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) {
        const std::string folder = folderOf(path);
        if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            return "its folder does not exist";
        if (faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0)
            return "its folder cannot be written";
        return {};
    }
    if (S_ISLNK(st.st_mode)) return "it is a symbolic link, which is never followed";
    if (!S_ISREG(st.st_mode)) return "it is not a regular file";
    if (st.st_nlink != 1) return "it has a second name (a hard link)";
    if (faccessat(AT_FDCWD, path.c_str(), R_OK | W_OK, AT_EACCESS) != 0)
        return "it belongs to another user who has not shared it";
    return {};
}

}  // namespace kv::storage
