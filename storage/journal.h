#pragma once
// The journal of a rewrite in place: the new bytes are first written behind
// the old ones, with their length and a hash, so that a write cut short at any
// byte leaves a file whose content is either the old bytes or the new ones.
// Only bytes: the file handling around it is the platform's.

#include <string>
#include <string_view>

namespace kv::storage {

// The journal a rewrite in place appends for bytes.
std::string journalOf(const std::string& bytes);
// A file's content from its bytes: the journal of a rewrite in place that was
// cut short is set aside, a complete one stands for the file.
std::string contentOf(std::string bytes);
// Whether bytes would not read back as themselves: they end like a journal.
bool endsLikeJournal(std::string_view bytes);

}  // namespace kv::storage
