#pragma once
// Fault injection for the engine's own tests: a read that fails part-way
// cannot be provoked on a healthy disk.

#include <sys/types.h>

#include <cstddef>
#include <string>

namespace kv::storage {

using ReadFunction = ssize_t (*)(int fd, void* buffer, std::size_t count);

// Replaces the system's read(); nullptr puts it back.
void setReadFunctionForTesting(ReadFunction read);

// A file's content from its bytes: the journal of a rewrite in place that was
// cut short is set aside, a complete one stands for the file.
std::string contentOf(std::string bytes);
// The journal a rewrite in place appends for bytes.
std::string journalOf(const std::string& bytes);

}  // namespace kv::storage
