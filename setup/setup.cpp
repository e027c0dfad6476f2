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
// Run again (every upgrade runs it) setup adds only what is missing: the
// store's values, the types, frames, look and config.ini stay as they are,
// and the help page and click sound are links to the installed version's.
//
//   kalvex4-setup --system              machine-wide (as root)
//   kalvex4-setup --sandbox DIR [--demo] a private installation in DIR

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "locations.h"
#include "logbook.h"
#include "look.h"
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

bool ownedBySetup(const fs::path& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && st.st_uid == geteuid();
}

bool sameBytes(const fs::path& a, const fs::path& b) {
    std::ifstream x(a, std::ios::binary), y(b, std::ios::binary);
    return x && y &&
           std::equal(std::istreambuf_iterator<char>(x), std::istreambuf_iterator<char>(),
                      std::istreambuf_iterator<char>(y), std::istreambuf_iterator<char>());
}

// The help page and the click sound belong to the installed version: the data
// folder links to them instead of holding a second copy. A copy an earlier
// version left is replaced, unless the administrator changed the sound.
void linkProgramFile(const fs::path& shipped, const fs::path& at) {
    const fs::file_status here = fs::symlink_status(at);
    if (fs::is_symlink(here) && fs::read_symlink(at) == shipped) return;
    if (fs::exists(here)) {
        if (!ownedBySetup(at)) return;
        if (fs::is_regular_file(here) && !sameBytes(at, shipped)) return;
        fs::remove_all(at);
    }
    fs::create_symlink(shipped, at);
}

// Types, frames and the look are the administrator's once they are there: only
// what is missing is copied, readable by everyone and written by setup only.
void copyMissing(const fs::path& from, const fs::path& to) {
    const bool there = fs::exists(fs::symlink_status(to));
    if (fs::is_directory(from)) {
        if (there && !fs::is_directory(fs::symlink_status(to))) return;
        if (!there) {
            fs::create_directory(to);
            fs::permissions(to, kReadOnlyFolder, fs::perm_options::replace);
        }
        for (const fs::directory_entry& e : fs::directory_iterator(from))
            copyMissing(e.path(), to / e.path().filename());
    } else if (!there) {
        fs::copy_file(from, to);
        fs::permissions(to, kReadOnlyFile, fs::perm_options::replace);
    }
}

void layOutData(const fs::path& share, const fs::path& data) {
    // The manifest's name is the look the administrator chose: either name is a choice.
    const bool lookChosen = fs::exists(fs::symlink_status(data / kThemedManifest)) ||
                            fs::exists(fs::symlink_status(data / kClassicManifest));
    for (const fs::directory_entry& e : fs::directory_iterator(share)) {
        const std::string name = e.path().filename().string();
        if (name == "help" || name == "click.wav")
            linkProgramFile(e.path(), data / name);
        else if (name != kThemedManifest || !lookChosen)
            copyMissing(e.path(), data / name);
    }
}

// A folder setup makes gets its mode; one that is there is the administrator's,
// and is only told about when users could not use it or could remove each other's files.
void layOutFolder(const fs::path& p, fs::perms mode) {
    if (!fs::exists(p)) {
        fs::create_directories(p);
        fs::permissions(p, mode, fs::perm_options::replace);
        return;
    }
    const fs::perms have = fs::status(p).permissions();
    const bool everyone = (have & fs::perms::others_write) != fs::perms::none;
    if (everyone && (have & fs::perms::sticky_bit) == fs::perms::none) {
        fs::permissions(p, fs::perms::sticky_bit, fs::perm_options::add);
        std::cout << "kalvex4-setup: " << p.string()
                  << " was open to every user without the sticky bit; added it, so no user "
                     "can remove another's files\n";
    } else if (!everyone && mode == kStickyFolder) {
        std::cout << "kalvex4-setup: " << p.string()
                  << " is not writable by every user, so users cannot create their files "
                     "there (chmod 1777 it to let them)\n";
    }
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

constexpr const char* kUsage = "usage: kalvex4-setup --system | --sandbox DIR [--demo]\n";

int usage() {
    std::cerr << kUsage;
    return 2;
}

int help() {
    std::cout << kUsage
              << "Lays out the store, the data folder and the log folders of an installation.\n"
                 "Run again, on an upgrade, it adds only what is missing: the store's folders,\n"
                 "the information types, frames, look and config.ini stay as they are.\n"
                 "  --system       the machine's installation (as root)\n"
                 "  --sandbox DIR  a private installation in DIR (KALVEX4_STORE=DIR/Kalvex4.conf)\n"
                 "  --demo         with it, three example entries for the user running setup\n";
    return 0;
}

// The store's values where it has them, the defaults where it has none.
StoreValues storeOrDefaults(const StoreValues& defaults) {
    StoreValues v = readStore().value_or(defaults);
    for (auto [have, def] : {std::pair{&v.sciezka, &defaults.sciezka},
                             {&v.sciezka_log, &defaults.sciezka_log},
                             {&v.sciezka_log_staly, &defaults.sciezka_log_staly},
                             {&v.sciezka_log_glowny, &defaults.sciezka_log_glowny}})
        if (have->empty()) *have = *def;
    return v;
}

// Lays out the installation whose defaults are given; the store's own values win.
void install(const StoreValues& defaults, bool demo) {
    const StoreValues values = storeOrDefaults(defaults);
    layOutFolder(values.sciezka, kStickyFolder);
    layOutData(shareFolder(), values.sciezka);
    for (const std::string* logs :
         {&values.sciezka_log, &values.sciezka_log_staly, &values.sciezka_log_glowny})
        layOutFolder(*logs, kStickyFolder);
    // Created here so that no user owns them and none can take them from the others.
    // One that is already setup's is left alone: a user's lock on it delays nothing,
    // and a user's one keeps its content under setup's name.
    for (const std::string& shared :
         {values.sciezka + "config.ini", values.sciezka_log_glowny + "log4.ini"})
        if (!ownedBySetup(shared))
            Profile(shared, kSharedFile).update([](IniDocument&) { return true; });
    writeStore(values);  // only the values it lacked
    if (demo) addDemoEntries(values);
    std::cout << "Kalvex4 installed: store " << storeDescription() << ", data " << values.sciezka
              << "\n";
    for (const std::string& file : misownedUserFiles(values))
        std::cout << "kalvex4-setup: " << file << "\n";
}

StoreValues defaultsIn(const fs::path& data, const fs::path& logs) {
    return {withSlash(data), withSlash(logs / "private"), withSlash(logs / "static"),
            withSlash(logs / "public")};
}

}  // namespace

int main(int argc, char** argv) {
    std::string mode, dir;
    bool demo = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") return help();
        if (a == "--system") {
            mode = a;
        } else if (a == "--sandbox" && i + 1 < argc) {
            mode = a;
            dir = argv[++i];
        } else if (a == "--demo") {
            demo = true;
        } else {
            std::cerr << "kalvex4-setup: unknown argument \"" << a << "\"\n";
            return usage();
        }
    }
    if (mode.empty()) return usage();
    try {
        if (mode == "--system") {
            fs::create_directories("/etc/xdg/Wendrik");
            install(defaultsIn("/var/lib/kalvex4", "/var/lib/kalvex4/logs"), demo);
        } else {
            const fs::path root = fs::absolute(dir);
            fs::create_directories(root);
            setenv("KALVEX4_STORE", (root / "Kalvex4.conf").c_str(), 1);
            install(defaultsIn(root / "data", root / "logs"), demo);
        }
    } catch (const std::exception& e) {
        std::cerr << "kalvex4-setup: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
