#pragma once
// The few file operations the profile engine needs, one implementation per
// platform: complete reads that tell a missing file from an unreadable one,
// and one locked, atomic read-modify-write.

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

namespace kv::storage {

// A write the system refused, or one that could not safely be made. The text
// starts "Unable to write to <file>" and may say why.
class WriteError : public std::runtime_error {
public:
    explicit WriteError(const std::string& path, const std::string& reason = {});
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

enum class LinkPolicy {
    Follow,  // a link of the user's own or of the administrator is followed
    Refuse,  // a symbolic link is never opened (shared files in public folders)
};

// Who may read and write a file; decides the mode of a file we create and
// whether we trust a file someone else put at the path.
enum class Sharing {
    System,   // the administrator's (the store, shipped files): 0644
    Shared,   // every user reads and writes it (public log, config.ini, exchange file): 0666
    Private,  // the user's alone (own logs, colour file): 0600, refused when another's
};

struct FileAccess {
    LinkPolicy links = LinkPolicy::Follow;
    Sharing sharing = Sharing::System;
    // A file larger than this is neither read nor written (0: any size), so
    // that nobody can make every reader of a shared file load a huge one.
    unsigned long long maxBytes = 0;
};

// Why a file of size bytes is refused by access; empty when it is not.
std::string sizeRefusal(unsigned long long size, const FileAccess& access);

enum class ReadStatus {
    Ok,          // bytes hold the whole file
    Missing,     // no file, its folder exists
    NoFolder,    // the folder that would hold it does not exist
    Unreadable,  // something is there but could not be read completely; see problem
};

struct FileContent {
    ReadStatus status = ReadStatus::Missing;
    std::string bytes;
    std::string problem;  // why an unreadable file could not be read
};

FileContent readFile(const std::string& path, const FileAccess& access);

// The name of the user with this id, with the id ("bob (uid 60002)").
std::string ownerName(unsigned long id);

// The folder that holds path, with its closing separator ("." for a bare name).
std::string folderOf(const std::string& path);

// The new bytes of a file from its current complete content (status Ok or
// Missing), or nothing to leave the file as it is.
using FileChange = std::function<std::optional<std::string>(const FileContent&)>;

// One read-modify-write under the file's exclusive lock; a reader or a crash
// sees either the old or the new bytes. Throws WriteError, leaving the file as
// it was, when the folder is missing, the file cannot be read completely, the
// lock is not had within lockTimeoutMs(), or the system refuses the write.
void modifyFile(const std::string& path, const FileAccess& access, const FileChange& change);

// How long a writer waits for another process's lock before giving up.
int lockTimeoutMs();
void setLockTimeoutMs(int ms);

}  // namespace kv::storage
