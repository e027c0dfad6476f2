#include "journal.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace kv::storage {

namespace {

// A rewrite in place first writes the new bytes as a journal behind the old
// ones (and behind the length of the new ones, so that copying them to the
// front never reaches it):
//   "\n\x1Bkv4journal <length>\n" <bytes> "\x1Bkv4end <hash>\n"
// A complete journal at the end of a file is its content; an incomplete one
// (a write cut short) is ignored, and what stands before it is the content.
constexpr std::string_view kJournalBegin = "\n\x1Bkv4journal ";
constexpr std::string_view kJournalEnd = "\x1Bkv4end ";

std::string hashOf(std::string_view bytes) {
    std::uint64_t h = 14695981039346656037ull;  // FNV-1a
    for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
    return text;
}

// What stands before a journal that was cut short: the old bytes, without the
// gap of NULs a journal written behind a longer length leaves before itself.
std::string beforeJournal(std::string bytes, std::size_t begin) {
    bytes.resize(begin);
    while (!bytes.empty() && bytes.back() == '\0') bytes.pop_back();
    return bytes;
}

bool allDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

enum class Tail { NotJournal, Cut, Complete };

// Reads the tail from a journal marker by the journal's own grammar. Text that
// merely contains the marker (a value, a hand-edited line) is no journal: its
// length is no number on a line of its own, or more follows than it announced.
Tail journalTail(std::string_view tail, std::string_view& content) {
    tail.remove_prefix(kJournalBegin.size());
    const std::size_t newline = tail.find('\n');
    if (newline == std::string_view::npos)  // cut inside the length
        return tail.size() <= 20 && allDigits(tail) ? Tail::Cut : Tail::NotJournal;
    const std::string_view length = tail.substr(0, newline);
    if (length.empty() || length.size() > 20 || !allDigits(length)) return Tail::NotJournal;
    const unsigned long long n = std::strtoull(std::string(length).c_str(), nullptr, 10);
    const std::string_view rest = tail.substr(newline + 1);
    if (n > rest.size()) return Tail::Cut;  // cut inside the new bytes
    content = rest.substr(0, n);
    const std::string trailer = std::string(kJournalEnd) + hashOf(content) + "\n";
    const std::string_view after = rest.substr(n);
    if (after == trailer) return Tail::Complete;
    return after.size() < trailer.size() && trailer.compare(0, after.size(), after) == 0
               ? Tail::Cut
               : Tail::NotJournal;
}

// Where a write cut inside the marker itself left a tail that begins it, or
// npos. After old bytes of ours (ending in CR LF) a lone line break shows only
// behind a gap.
std::size_t cutMarkerAt(std::string_view bytes) {
    const std::size_t partial = bytes.rfind('\n');
    if (partial != std::string_view::npos &&
        kJournalBegin.substr(0, bytes.size() - partial) == bytes.substr(partial) &&
        (partial + 1 < bytes.size() || (partial > 0 && bytes[partial - 1] == '\0')))
        return partial;
    return std::string_view::npos;
}

}  // namespace

std::string journalOf(const std::string& bytes) {
    return std::string(kJournalBegin) + std::to_string(bytes.size()) + "\n" + bytes +
           std::string(kJournalEnd) + hashOf(bytes) + "\n";
}

bool endsLikeJournal(std::string_view bytes) {
    const std::size_t begin = bytes.rfind(kJournalBegin);
    std::string_view content;
    if (begin != std::string_view::npos)
        return journalTail(bytes.substr(begin), content) != Tail::NotJournal;
    return cutMarkerAt(bytes) != std::string_view::npos;
}

std::string contentOf(std::string bytes) {
    for (;;) {
        const std::size_t begin = bytes.rfind(kJournalBegin);
        if (begin != std::string::npos) {
            std::string_view content;
            switch (journalTail(std::string_view(bytes).substr(begin), content)) {
                case Tail::Complete:
                    return std::string(content);
                case Tail::Cut:
                    bytes =
                        beforeJournal(std::move(bytes), begin);  // an older one may stand before
                    continue;
                case Tail::NotJournal:
                    return bytes;
            }
        }
        const std::size_t partial = cutMarkerAt(bytes);
        return partial == std::string::npos ? bytes : beforeJournal(std::move(bytes), partial);
    }
}

}  // namespace kv::storage
