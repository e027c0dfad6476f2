// libFuzzer target: the profile parser and writer in memory. Arbitrary file
// bytes, then arbitrary reads, writes, key deletes and section erases: reads
// stay within the buffer, a written value reads back, and serialising and
// parsing again settles (after two rounds at most).

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <iostream>

#include "inidocument.h"

using namespace kv::storage;

namespace {

// Names and values whose read-back the Win32 rules make plain.
bool plainName(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
              c == '_'))
            return false;
    return true;
}

std::string trimLeft(const std::string& s) {
    std::size_t i = 0;
    while (i < s.size() && isProfileSpace(static_cast<unsigned char>(s[i]))) ++i;
    return s.substr(i);
}

bool plainValue(const std::string& s) {
    for (char c : s)
        if (c == '\r' || c == '\n' || c == '\0') return false;
    return true;
}

void fail(const char* what) {
    std::cerr << "fuzz_profile: " << what << "\n";
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    IniDocument doc = IniDocument::parse(in.ConsumeRandomLengthString(1 << 16));
    while (in.remaining_bytes() > 0) {
        const int op = in.ConsumeIntegralInRange(0, 3);
        const std::string section = in.ConsumeRandomLengthString(40);
        const std::string key = in.ConsumeRandomLengthString(40);
        if (op == 0) {
            const std::string def = in.ConsumeRandomLengthString(1100);
            if (doc.read(section, key, def).size() > kMaxValueLength)
                fail("a read passed the buffer");
        } else if (op == 1) {
            const std::string value = in.ConsumeRandomLengthString(1100);
            doc.write(section, key, value);
            // The stored value keeps its trailing blanks until the next rewrite.
            if (plainName(section) && plainName(key) && plainValue(value) &&
                doc.read(section, key, "\x01") != copyEntry(trimLeft(value)))
                fail("a written value did not read back");
        } else if (op == 2) {
            doc.deleteKey(section, key);
        } else {
            doc.eraseSection(section);
        }
    }
    // A line cut to nothing by a NUL byte is written back as a blank line, as
    // Windows writes it, and the next parse drops that: two rounds settle a file.
    const std::string twice =
        IniDocument::parse(IniDocument::parse(doc.serialize()).serialize()).serialize();
    if (IniDocument::parse(twice).serialize() != twice) fail("serialising is not stable");
    return 0;
}
