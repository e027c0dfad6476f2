// writers_public_log: four processes, as four different users when run as root,
// add, rewrite and remove their own entries in one public log (and remove in a
// private log of their own, the notification's private order), and record the
// active entry in one shared exchange file; a fifth reads snapshots. Every
// snapshot must parse and be packed, and at the end the public log must hold
// exactly the entries the writers believe are there, key for key.
//
//   writers_public_log [--operations N] [--seed S]
// The last line says "N operations by 4 writers, M snapshots, 0 faults".

#include <grp.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "exchange.h"
#include "locations.h"
#include "logbook.h"
#include "sandbox.h"

using namespace kv::storage;
namespace fs = std::filesystem;

namespace {

void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path) << text;
}

std::string readText(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

constexpr int kWriters = 4;
constexpr uid_t kFirstUid = 60101;
constexpr int kLiveEntries = 8;  // per writer, so that 4 writers never fill the log

EntryData entryFor(const std::string& title, int version) {
    EntryData e;
    e.tytul = title;
    e.informacja = title + " version " + std::to_string(version);
    e.data = "2026-05-" + std::to_string(10 + version % 20);
    e.typ = "Default";
    e.dzwiek = "RingIn";
    e.wyswietlanie = version % 2 ? "rok" : "raz";
    e.odbiorca = "wszyscy";
    e.email = title + "@example.org";
    return e;
}

StoredEntry asStored(const EntryData& e) {
    return StoredEntry{true,           e.tytul,    e.informacja, e.data, e.typ, e.dzwiek,
                       e.wyswietlanie, e.odbiorca, *e.email,     "",     "",    ""};
}

// Where entry title is now, or -1.
int find(const Profile& log, const std::string& title) {
    const std::shared_ptr<const IniDocument> doc = log.document();
    for (int n = 0; n < kSlots; ++n)
        if (doc->read(std::to_string(n), "Tytul", "") == title) return n;
    return -1;
}

// A packed log: occupied slots from 0 without gaps, each with its own Numer.
std::string packedFault(const IniDocument& doc) {
    bool gap = false;
    for (int n = 0; n < kSlots; ++n) {
        const std::string s = std::to_string(n);
        const bool occupied = doc.read(s, "Numer", "none") != "none";
        if (!occupied) gap = true;
        if (occupied && gap) return "slot " + s + " follows an empty slot";
        if (occupied && doc.read(s, "Numer", "") != s) return "slot " + s + " has another Numer";
    }
    return {};
}

bool g_asUsers = false;

void become(int writer) {
    if (!g_asUsers) return;
    const uid_t uid = kFirstUid + static_cast<uid_t>(writer);
    if (setgroups(0, nullptr) != 0 || setgid(uid) != 0 || setuid(uid) != 0) _exit(3);
}

// One writer: its own entries, each known with its current version.
int writer(int w, int operations, unsigned seed, const std::string& pub, const std::string& priv,
           const std::string& report) {
    become(w);
    std::mt19937 rng(seed);
    Profile log(pub, kSharedFile);
    Profile own(priv, kPrivateFile);
    Exchange exchange;
    std::map<std::string, int> mine;  // title -> version
    int next = 0;
    for (int op = 0; op < operations; ++op) {
        const int choice = static_cast<int>(rng() % 4);
        try {
            if (choice == 0 || mine.empty()) {
                if (static_cast<int>(mine.size()) >= kLiveEntries) continue;
                const std::string title = "w" + std::to_string(w) + "-" + std::to_string(next++);
                const std::optional<int> slot = addEntry(log, LogKind::Public, entryFor(title, 0));
                if (!slot) {
                    std::cerr << "writer " << w << ": the public log was full\n";
                    return 1;
                }
                mine[title] = 0;
                exchange.recordActiveEntry(*slot, "log_glowny");
                continue;
            }
            auto it = mine.begin();
            std::advance(it, static_cast<long>(rng() % mine.size()));
            // Others renumber the log meanwhile: find it, act only if it is still there.
            for (int attempt = 0;; ++attempt) {
                if (attempt == 1000) {
                    std::cerr << "writer " << w << ": lost " << it->first << "\n";
                    return 1;
                }
                const int slot = find(log, it->first);
                if (slot < 0) {
                    std::cerr << "writer " << w << ": " << it->first << " vanished\n";
                    return 1;
                }
                const StoredEntry expected = asStored(entryFor(it->first, it->second));
                bool acted = false;
                if (choice == 1) {
                    acted = rewriteEntry(log, LogKind::Public, slot,
                                         entryFor(it->first, it->second + 1), expected);
                    if (acted) ++it->second;
                } else {
                    const RemovalOrder order =
                        choice == 2 ? RemovalOrder::DeleteWindow : RemovalOrder::DonePublic;
                    acted = removeEntry(log, LogKind::Public, slot, order, expected);
                    if (acted) mine.erase(it);
                }
                if (acted) {
                    exchange.recordActiveEntry(slot, "log_glowny");
                    break;
                }
            }
            // The notification's private order, on this writer's own log.
            if (op % 10 == 0) {
                addEntry(own, LogKind::Private, entryFor("own", op));
                addEntry(own, LogKind::Private, entryFor("own2", op));
                if (!removeEntry(own, LogKind::Private, 0, RemovalOrder::DonePrivate) ||
                    readStoredEntry(own, 0).tytul != "own2" ||
                    !removeEntry(own, LogKind::Private, 0, RemovalOrder::DonePrivate)) {
                    std::cerr << "writer " << w << ": its private log went wrong\n";
                    return 1;
                }
            }
        } catch (const std::exception& e) {
            std::cerr << "writer " << w << " at operation " << op << ": " << e.what() << "\n";
            return 1;
        }
    }
    // What this writer believes the log holds of its own.
    std::ostringstream out;
    for (const auto& [title, version] : mine) out << title << " " << version << "\n";
    writeText(report, out.str());
    return 0;
}

// Exactly the writers' entries, key for key, packed; their last hand-over in
// the exchange file.
bool finalLogHoldsTheWriters(const std::string& pub, const std::string& tmp, unsigned seed) {
    Profile log(pub, kSharedFile);
    const std::shared_ptr<const IniDocument> doc = log.document();
    if (const std::string fault = packedFault(*doc); !fault.empty()) {
        std::cout << "FAULT (seed " << seed << "): the final log: " << fault << std::endl;
        return false;
    }
    std::set<std::string> expected, actual;
    for (int w = 0; w < kWriters; ++w) {
        std::istringstream in(readText(tmp + "/report" + std::to_string(w)));
        std::string title;
        int version;
        while (in >> title >> version) {
            expected.insert(title);
            const int slot = find(log, title);
            if (slot < 0 || readStoredEntry(*doc, slot) != asStored(entryFor(title, version))) {
                std::cout << "FAULT (seed " << seed << "): " << title << " version " << version
                          << " is not in the log as written" << std::endl;
                return false;
            }
        }
    }
    for (int s = 0; s < kSlots; ++s)
        if (doc->read(std::to_string(s), "Numer", "none") != "none")
            actual.insert(doc->read(std::to_string(s), "Tytul", ""));
    if (actual != expected) {
        std::cout << "FAULT (seed " << seed << "): the log holds " << actual.size()
                  << " entries, the writers " << expected.size() << std::endl;
        return false;
    }
    const ActiveEntry active = Exchange(tmp + "/Kalvex4.tmp").activeEntry();
    if (active.log != "log_glowny" || active.number < 0 || active.number >= kSlots) {
        std::cout << "FAULT (seed " << seed << "): the exchange file holds no writer's hand-over"
                  << std::endl;
        return false;
    }
    return true;
}

// The fifth process: a snapshot of the public log after another, each packed.
[[noreturn]] void snapshotUntilKilled(const std::string& pub, unsigned seed, volatile long* taken) {
    long snapshots = 0;
    for (;;) {
        const FileContent content = readFile(pub, kSharedFile);
        if (content.status == ReadStatus::Ok) {
            const std::string fault = packedFault(IniDocument::parse(content.bytes));
            if (!fault.empty()) {
                std::cout << "FAULT in snapshot " << snapshots << " (seed " << seed
                          << "): " << fault << "\n"
                          << content.bytes << std::endl;
                _exit(1);
            }
        }
        *taken = ++snapshots;
    }
}

void parseArguments(int argc, char** argv, int& operations, unsigned& seed) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--operations") operations = std::atoi(argv[i + 1]);
        if (a == "--seed") seed = static_cast<unsigned>(std::strtoul(argv[i + 1], nullptr, 10));
    }
}

}  // namespace

int main(int argc, char** argv) {
    int operations = 4000;
    unsigned seed = static_cast<unsigned>(std::random_device{}());
    parseArguments(argc, argv, operations, seed);
    g_asUsers = kv::testing::canSwitchTo(kFirstUid) && kv::testing::canSwitchTo(kFirstUid + 3);
    std::cout << "seed " << seed
              << (g_asUsers ? ", as 4 users"
                            : ", as one user (not root, or root may not switch uids)")
              << std::endl;
    kv::testing::TempDir dir;
    chmod(dir.path().c_str(), 0755);
    const std::string folder = dir.file("public");
    const std::string privateFolder = dir.file("private");
    const std::string tmp = dir.file("tmp");
    for (const std::string& f : {folder, tmp, privateFolder}) {
        fs::create_directory(f);
        chmod(f.c_str(), 01777);
    }
    kv::testing::setEnvironment("KALVEX4_EXCHANGE", tmp + "/Kalvex4.tmp");
    const std::string pub = folder + "/log4.ini";
    // As setup lays it out: nobody's but root's, so every writer rewrites it in place.
    Profile(pub, kSharedFile).update([](IniDocument&) { return true; });

    std::vector<pid_t> writers;
    for (int w = 0; w < kWriters; ++w) {
        const pid_t pid = fork();
        if (pid == 0)
            _exit(writer(w, operations / kWriters, seed + static_cast<unsigned>(w), pub,
                         privateFolder + "/w" + std::to_string(w) + ".log",
                         tmp + "/report" + std::to_string(w)));
        writers.push_back(pid);
    }
    // The fifth process: snapshots while the writers work, counted in shared memory.
    auto* taken = static_cast<volatile long*>(
        mmap(nullptr, sizeof(long), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0));
    if (taken == static_cast<volatile long*>(MAP_FAILED)) return 2;
    *taken = 0;
    const pid_t reader = fork();
    if (reader == 0) snapshotUntilKilled(pub, seed, taken);
    bool ok = true;
    for (pid_t pid : writers) {
        int status = 0;
        waitpid(pid, &status, 0);
        ok = ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    int readerStatus = 0;
    const bool readerFailed = waitpid(reader, &readerStatus, WNOHANG) == reader;
    kill(reader, SIGKILL);
    waitpid(reader, nullptr, 0);
    const long snapshots = *taken;
    if (!ok || readerFailed) {
        std::cout << "FAULT (seed " << seed << "): a writer or the reader failed" << std::endl;
        return 1;
    }

    if (!finalLogHoldsTheWriters(pub, tmp, seed)) return 1;
    std::cout << operations << " operations by " << kWriters << " writers, " << snapshots
              << " snapshots, 0 faults" << std::endl;
    return 0;
}
