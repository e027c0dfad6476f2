// libFuzzer target: the log operations on a file. Arbitrary file bytes, then
// adds, rewrites and removals: each leaves the log as it reported - the added
// or rewritten entry readable in its slot, the others as they were, a removal
// moving the later entries down - or fails leaving the file untouched.

#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "locations.h"
#include "logbook.h"

using namespace kv::storage;

namespace {

std::string folder() {
    static const std::string f = [] {
        const std::string base = std::filesystem::exists("/dev/shm") ? "/dev/shm" : "/tmp";
        std::string path = base + "/kv4fuzz-" + std::to_string(getpid());
        std::filesystem::create_directories(path);
        return path;
    }();
    return f;
}

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<StoredEntry> entries(const Profile& log) {
    std::vector<StoredEntry> out;
    const std::shared_ptr<const IniDocument> doc = log.document();
    for (int n = 0; n < kSlots; ++n) out.push_back(readStoredEntry(*doc, n));
    return out;
}

void fail(const char* what, int op) {
    std::cerr << "fuzz_logbook: operation " << op << ": " << what << "\n";
    std::abort();
}

using Entries = std::vector<StoredEntry>;

const StoredEntry& at(const Entries& all, int n) {
    return all[static_cast<std::size_t>(n)];
}

// Every slot but the one named is as it was.
void othersKept(const Entries& before, const Entries& after, int slot, const char* what, int op) {
    for (int n = 0; n < kSlots; ++n)
        if (n != slot && at(after, n) != at(before, n)) fail(what, op);
}

void checkAdd(Profile& log, LogKind kind, const EntryData& e, const std::string& bytes, int op) {
    const Entries before = entries(log);
    const std::optional<int> slot = addEntry(log, kind, e);
    const Entries after = entries(log);
    if (!slot) {
        if (bytesOf(log.path()) != bytes) fail("a full log changed", op);
        return;
    }
    if (!at(after, *slot).occupied || at(after, *slot).tytul != e.tytul)
        fail("the added entry is not in its slot", op);
    othersKept(before, after, *slot, "an add changed another entry", op);
}

void checkRewrite(Profile& log, LogKind kind, int slot, const EntryData& e, int op) {
    const Entries before = entries(log);
    if (!rewriteEntry(log, kind, slot, e)) fail("a plain rewrite was refused", op);
    const Entries after = entries(log);
    if (at(after, slot).tytul != e.tytul) fail("the rewrite did not stick", op);
    othersKept(before, after, slot, "a rewrite changed another entry", op);
}

void checkRemove(Profile& log, LogKind kind, int slot, const std::string& bytes, int op) {
    const Entries before = entries(log);
    const bool removed = removeEntry(log, kind, slot, RemovalOrder::DeleteWindow);
    const Entries after = entries(log);
    if (!removed) {
        if (bytesOf(log.path()) != bytes) fail("a refused removal changed the file", op);
        return;
    }
    for (int n = 0; n < slot; ++n)
        if (at(after, n) != at(before, n)) fail("a removal changed an entry before it", op);
    // An entry without a title (a hand-made file) moves with the delete
    // window's marker "błąd" in its place, as that window always did.
    const std::string marker =
        "b\xC5\x82\xC4\x85"
        "d";
    for (int k = slot + 1; k < kSlots; ++k) {
        const StoredEntry& was = at(before, k);
        const std::string& now = at(after, k - 1).tytul;
        if (was.occupied && now != was.tytul && !(was.tytul.empty() && now == marker))
            fail("a removal lost a later entry", op);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string path = folder() + "/u.log";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << in.ConsumeRandomLengthString(1 << 15);
    }
    const LogKind kind = static_cast<LogKind>(in.ConsumeIntegralInRange(0, 2));
    Profile log(path, logAccess(kind));
    for (int op = 0; in.remaining_bytes() > 0 && op < 16; ++op) {
        const int what = in.ConsumeIntegralInRange(0, 2);
        const int slot = in.ConsumeIntegralInRange(0, kSlots - 1);
        EntryData e;
        e.tytul = "T" + std::to_string(op);
        e.informacja = in.ConsumeRandomLengthString(64);
        e.data = "2026-05-17";
        e.wyswietlanie = "rok";
        e.odbiorca = "wszyscy";
        const std::string bytes = bytesOf(path);
        try {
            if (what == 0)
                checkAdd(log, kind, e, bytes, op);
            else if (what == 1)
                checkRewrite(log, kind, slot, e, op);
            else
                checkRemove(log, kind, slot, bytes, op);
        } catch (const WriteError&) {
            if (bytesOf(path) != bytes) fail("a refused write changed the file", op);
        }
    }
    return 0;
}
