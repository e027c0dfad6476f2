// Lays out a complete installation: the store with its four folders, the data
// folder with the shipped types, help page and manifest, and the log folders.
//
// Who may touch what:
//   store                    the administrator's: 0644, written by setup only
//   data folder              1777: users add their colour and configuration files,
//                            nobody removes or replaces another's; what setup
//                            ships there is 0644 (folders 0755), users read it only
//   config.ini, log4.ini     0666, created here: shared by every user, owned by none of them
//   private and static logs  1777 folders; each log is its user's alone (0600)
//   public log folder        1777
//
//   kalvex4-setup --system              machine-wide (as root)
//   kalvex4-setup --sandbox DIR [--demo] a private installation in DIR

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <string>

#include "locations.h"
#include "logbook.h"
#include "profile.h"

namespace fs = std::filesystem;
using namespace kv::storage;

namespace {

fs::path shareFolder() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    for (const fs::path& candidate :
         {exe.parent_path() / "share/kalvex4", exe.parent_path().parent_path() / "share/kalvex4"})
        if (fs::exists(candidate / "style.ini")) return candidate;
    throw std::runtime_error("cannot find share/kalvex4 beside " + exe.string());
}

std::string withSlash(const fs::path& p) {
    std::string s = p.string();
    if (s.empty() || s.back() != '/') s += '/';
    return s;
}

constexpr fs::perms kReadOnlyFile = static_cast<fs::perms>(0644);
constexpr fs::perms kReadOnlyFolder = static_cast<fs::perms>(0755);
constexpr fs::perms kStickyFolder = static_cast<fs::perms>(01777);

// What setup ships is read by everyone and written by the administrator only.
void copyTree(const fs::path& from, const fs::path& to) {
    fs::create_directories(to);
    fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    for (const fs::directory_entry& e : fs::directory_iterator(from)) {
        const fs::path copied = to / e.path().filename();
        fs::permissions(copied, kReadOnlyFile, fs::perm_options::replace);
        if (fs::is_directory(copied))
            for (const fs::directory_entry& inner : fs::recursive_directory_iterator(copied))
                fs::permissions(inner.path(),
                                inner.is_directory() ? kReadOnlyFolder : kReadOnlyFile,
                                fs::perm_options::replace);
        if (fs::is_directory(copied))
            fs::permissions(copied, kReadOnlyFolder, fs::perm_options::replace);
    }
}

void makeFolder(const fs::path& p, fs::perms mode) {
    fs::create_directories(p);
    fs::permissions(p, mode, fs::perm_options::replace);
}

std::string dateText(int addYears) {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", tm.tm_year + 1900 + addYears, tm.tm_mon + 1,
                  tm.tm_mday);
    return buf;
}

void addDemoEntries(const StoreValues& v) {
    const std::string user = userName();
    const FileNames files = buildFileNames(v, user);
    Profile priv(files.log, logAccess(LogKind::Private));
    Profile stat(files.log_staly, logAccess(LogKind::Static));
    Profile pub(files.log_glowny, logAccess(LogKind::Public));

    EntryData call;
    call.tytul = "Call the dentist";
    call.informacja = "Call the dentist before noon.\nThe number is in the address book.";
    call.data = dateText(0);
    call.typ = "Urgent";
    call.dzwiek = "SystemExclamation";
    call.email = "reception@dentist.example";
    addEntry(priv, LogKind::Private, call);

    EntryData birthday;
    birthday.tytul = "Anniversary";
    birthday.informacja = "Buy flowers.";
    birthday.data = dateText(-20);
    birthday.typ = "Birthday";
    birthday.dzwiek = "RingIn";
    birthday.wyswietlanie = "rok";
    birthday.strona = "https://flowers.example/";
    addEntry(stat, LogKind::Static, birthday);

    EntryData backup;
    backup.tytul = "Backup";
    backup.informacja = "Everyone: the monthly backup of the shared folder runs tonight.";
    backup.data = dateText(0);
    backup.typ = "Travel";
    backup.dzwiek = "SystemAsterisk";
    backup.wyswietlanie = "raz";
    backup.odbiorca = "wszyscy";
    backup.program = "/usr/bin/xterm";
    addEntry(pub, LogKind::Public, backup);
}

bool ownedBySetup(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid();
}

int usage() {
    std::cerr << "usage: kalvex4-setup --system | --sandbox DIR [--demo]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string mode, dir;
    bool demo = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--system") {
            mode = a;
        } else if (a == "--sandbox" && i + 1 < argc) {
            mode = a;
            dir = argv[++i];
        } else if (a == "--demo") {
            demo = true;
        } else {
            return usage();
        }
    }
    if (mode.empty()) return usage();
    try {
        const fs::path share = shareFolder();
        fs::path data, logs;
        if (mode == "--system") {
            data = "/var/lib/kalvex4";
            logs = "/var/lib/kalvex4/logs";
            fs::create_directories("/etc/xdg/Wendrik");
        } else {
            const fs::path root = fs::absolute(dir);
            data = root / "data";
            logs = root / "logs";
            fs::create_directories(root);
            setenv("KALVEX4_STORE", (root / "Kalvex4.conf").c_str(), 1);
        }
        copyTree(share, data);
        const StoreValues values{withSlash(data), withSlash(logs / "private"),
                                 withSlash(logs / "static"), withSlash(logs / "public")};
        makeFolder(data, kStickyFolder);
        makeFolder(logs, kReadOnlyFolder);
        makeFolder(logs / "private", kStickyFolder);
        makeFolder(logs / "static", kStickyFolder);
        makeFolder(logs / "public", kStickyFolder);
        // Created here so that no user owns them and none can take them from the others.
        // One that is already setup's is left alone: a user's lock on it delays nothing.
        for (const std::string& shared :
             {values.sciezka + "config.ini", values.sciezka_log_glowny + "log4.ini"})
            if (!ownedBySetup(shared))
                Profile(shared, kSharedFile).update([](IniDocument&) { return true; });
        writeStore(values);
        if (demo) addDemoEntries(values);
        std::cout << "Kalvex4 installed: store " << storeDescription() << ", data "
                  << values.sciezka << "\n";
        for (const std::string& file : misownedUserFiles(values))
            std::cout << "kalvex4-setup: " << file << "\n";
    } catch (const std::exception& e) {
        std::cerr << "kalvex4-setup: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
