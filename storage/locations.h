#pragma once
// Where every file of the program is: the machine-wide store of four folders,
// the user name, the names built from them, and the exchange file.

#include <optional>
#include <string>
#include <vector>

#include "fileio.h"
#include "logkind.h"

namespace kv::storage {

// The four folder values; each is used exactly as stored (ending with "/").
struct StoreValues {
    std::string sciezka;             // data folder
    std::string sciezka_log;         // private logs
    std::string sciezka_log_staly;   // static logs
    std::string sciezka_log_glowny;  // public log
};

struct FileNames {
    std::string log;         // private log
    std::string log_staly;   // static log
    std::string log_glowny;  // public log
    std::string config;      // config.ini
    std::string userConfig;  // <user>_config.ini
};

struct Location {
    std::string user;
    StoreValues folders;
    FileNames files;
};

// Nothing when the store (its file or its section) is missing.
std::optional<StoreValues> readStore();
// Writes all four values; throws WriteError when refused.
void writeStore(const StoreValues& values);
// Why this user could not write the store now (no permission, held locked), or
// empty; changes nothing.
std::string storeWriteProblem();
// Why folder cannot hold logs for this user: not a full path, missing, a file,
// or not writable by this user; empty when it can.
std::string logFolderProblem(const std::string& folder);
// Files named for a user (their logs, colour and configuration files) that
// another user owns, as planting them before that user's first use leaves
// them: one line each, saying whose they are and how to remove them.
std::vector<std::string> misownedUserFiles(const StoreValues& store);
// Where the store lives on this machine (a file here, a registry key on Windows).
std::string storeDescription();

// The login name of the effective user, full length, case as the system has it.
std::string userName();

// The exchange file of this user's windows: KALVEX4_EXCHANGE, or by default
// the personal one.
std::string exchangePath();
// A file of this user's alone, which nobody else can plant, lock or rewrite:
// $XDG_RUNTIME_DIR/Kalvex4.tmp, or ~/.Kalvex4.tmp. It also stands in for a
// named exchange file that cannot be used.
std::string personalExchangePath();
// Why the shared exchange file at path cannot be used by this user, or empty.
std::string exchangeProblem(const std::string& path);

// Who reads and writes each file: own logs, colour and user configuration
// files are the user's alone; the public log, config.ini and the exchange file
// every user's. A link at the exchange file's public path is never followed.
// 51 entries of texts as long as users write are a few hundred KB: a log of
// more is refused, read and written, with a notice naming it. Every file that
// other users can write has the same bound, so that none of them can make
// this user's program load a huge one.
inline constexpr unsigned long long kMaxLogBytes = 4ull * 1024 * 1024;
inline constexpr FileAccess kPrivateFile{LinkPolicy::Follow, Sharing::Private};
inline constexpr FileAccess kSharedFile{LinkPolicy::Follow, Sharing::Shared, kMaxLogBytes};
inline constexpr FileAccess kExchangeFile{LinkPolicy::Refuse, Sharing::Shared, kMaxLogBytes};
inline constexpr FileAccess kSystemFile{LinkPolicy::Follow, Sharing::System};
FileAccess logAccess(LogKind kind);

FileNames buildFileNames(const StoreValues& folders, const std::string& user);
std::string colourFileName(const std::string& dataFolder, const std::string& user);

// Takes the user name, reads the store and builds every file name.
std::optional<Location> locate();

}  // namespace kv::storage
