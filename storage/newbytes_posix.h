#pragma once
// The new bytes of a write beside its file, for the POSIX file layer: the
// temporary files a rewrite renames over its file, or links to its name when
// it creates one, and the clean-up of those a killed write left behind.

#include <sys/types.h>

#include <string>

namespace kv::storage::posix {

std::string errorText(int error);
// All of bytes at offset at; false on a write error (errno tells).
bool writeAll(int fd, const std::string& bytes, off_t at = 0);
void syncFolder(const std::string& path);
// A write killed between creating its temporary file and renaming it leaves
// the file behind; the next writer, holding the lock, removes ours.
void removeStaleTemps(const std::string& target);
// The new bytes beside the target, complete and synced; the temporary name.
std::string writeTemp(const std::string& target, const std::string& bytes, mode_t mode);
// Creates the file only if nobody did meanwhile; false when someone did.
bool createExclusively(const std::string& target, const std::string& bytes, mode_t mode);

}  // namespace kv::storage::posix
