#pragma once
// Fault injection for the engine's own tests: a read that fails part-way
// cannot be provoked on a healthy disk.

#include <sys/types.h>

#include <cstddef>
#include <string>

#include "journal.h"

namespace kv::storage {

using ReadFunction = ssize_t (*)(int fd, void* buffer, std::size_t count);

// Replaces the system's read(); nullptr puts it back.
void setReadFunctionForTesting(ReadFunction read);

}  // namespace kv::storage
