#pragma once
// The few file operations the profile engine needs, one implementation per
// platform: whole-file reads, a per-file writer lock and atomic replacement.

#include <memory>
#include <optional>
#include <string>

namespace kv::storage {

enum class LinkPolicy {
    Follow,  // a symbolic link is followed to the file it names
    Refuse,  // a symbolic link is never opened (shared files in public folders)
};

// Holds the writers' lock of one file for its lifetime.
class FileLock {
public:
    virtual ~FileLock() = default;
};

// Takes the exclusive lock that serialises read-modify-write cycles on path;
// nullptr when the lock cannot be had (for example the folder is missing).
std::unique_ptr<FileLock> lockFile(const std::string& path, LinkPolicy links);

// Whole content, or nothing when the file does not exist or cannot be read.
std::optional<std::string> readWholeFile(const std::string& path, LinkPolicy links);

// Whether the folder that would hold path exists.
bool folderExists(const std::string& path);

// Whether anything (a file, a folder, a link) exists at path.
bool pathExists(const std::string& path);

// Replaces the content so that a reader or a crash sees either the old or the
// new bytes. False when the system refuses.
bool replaceFile(const std::string& path, const std::string& bytes, LinkPolicy links);

}  // namespace kv::storage
