// crash_kill: a child adds, rewrites and removes entries in a private, a static
// and a public log and is killed with SIGKILL at random moments. After each
// kill every log parses, is packed, and holds exactly the entries of the last
// finished operation, or of the one that was running (each change is atomic);
// the next write leaves no temporary file behind. Run as root, the child is
// another user and the public log root's in a sticky folder, as setup lays it
// out: the child then rewrites that log in place, through its journal.
//
//   crash_kill [--kills N] [--seed S]
// The last line says "N kills, 0 faults"; a fault prints the seed and the
// operations since the last kill, and exits 1.

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "locations.h"
#include "logbook.h"
#include "sandbox.h"

using namespace kv::storage;
namespace fs = std::filesystem;

namespace {

struct Log {
    LogKind kind;
    std::string path;
};

EntryData entryFor(LogKind kind, const std::string& title) {
    EntryData e;
    e.tytul = title;
    e.informacja = "Text of " + title + std::string(200, '.');
    e.data = "2026-05-17";
    e.wyswietlanie = kind == LogKind::Private ? "" : "rok";
    e.odbiorca = kind == LogKind::Public ? "wszyscy" : "";
    return e;
}

// The titles of the occupied slots, or an explanation when the log is not packed.
constexpr unsigned kChildUid = 60301;
bool g_otherUser = false;  // the child runs as kChildUid

void becomeChildUser() {
    if (g_otherUser &&
        (setgroups(0, nullptr) != 0 || setgid(kChildUid) != 0 || setuid(kChildUid) != 0))
        _exit(3);
}

std::vector<std::string> titles(const Log& log, std::string& fault) {
    // Read as the files' owner would; whoever reads, the bytes are the same.
    const Profile p(log.path, g_otherUser ? kSystemFile : logAccess(log.kind));
    const std::shared_ptr<const IniDocument> doc = p.document();
    std::vector<std::string> out;
    bool gap = false;
    for (int n = 0; n < kSlots; ++n) {
        const std::string s = std::to_string(n);
        if (doc->read(s, "Numer", "none") == "none") {
            gap = true;
            continue;
        }
        if (gap) fault = "slot " + s + " follows an empty slot";
        if (doc->read(s, "Numer", "") != s)
            fault = "slot " + s + " has Numer " + doc->read(s, "Numer", "");
        out.push_back(doc->read(s, "Tytul", "?"));
    }
    // What the windows write has one section per slot and nothing else: a torn
    // write shows as a second copy of a section, or as lines of no section.
    std::set<std::string> seen;
    for (const IniSection& section : doc->sections())
        if (!seen.insert(section.name).second || (section.name.empty() && !section.keys.empty()))
            fault = "the file holds a damaged section \"" + section.name + "\"";
    return out;
}

// One operation as the child announces it: "a <log> <title>", "r <log> <slot> <title>", "d <log>
// <slot>".
struct Op {
    char kind = 0;
    int log = 0;
    int slot = -1;
    std::string title;
    bool done = false;
};

void apply(std::vector<std::string>& model, const Op& op) {
    if (op.kind == 'a' && model.size() < static_cast<std::size_t>(kSlots))
        model.push_back(op.title);
    if (op.kind == 'r' && op.slot < static_cast<int>(model.size()))
        model[static_cast<std::size_t>(op.slot)] = op.title;
    if (op.kind == 'd' && op.slot < static_cast<int>(model.size()))
        model.erase(model.begin() + op.slot);
}

[[noreturn]] void child(const std::vector<Log>& logs, unsigned seed, int out) {
    becomeChildUser();
    std::mt19937 rng(seed);
    for (int counter = 0;; ++counter) {
        const int which = static_cast<int>(rng() % logs.size());
        const Log& log = logs[static_cast<std::size_t>(which)];
        Profile p(log.path, logAccess(log.kind));
        std::string dummy;
        const int count = static_cast<int>(titles(log, dummy).size());
        const int choice = static_cast<int>(rng() % 3);
        std::ostringstream line;
        const std::string title = "t" + std::to_string(seed % 1000) + "-" + std::to_string(counter);
        if (choice == 0 || count < 3) {
            line << "a " << which << " " << title << "\n";
        } else if (choice == 1) {
            line << "r " << which << " " << rng() % count << " " << title << "\n";
        } else {
            line << "d " << which << " " << rng() % count << "\n";
        }
        const std::string text = line.str();
        (void)!write(out, text.data(), text.size());
        std::istringstream in(text);
        char kind;
        int l, slot = -1;
        in >> kind >> l;
        if (kind != 'a') in >> slot;
        bool ok = true;
        if (kind == 'a') ok = addEntry(p, log.kind, entryFor(log.kind, title)).has_value();
        if (kind == 'r') ok = rewriteEntry(p, log.kind, slot, entryFor(log.kind, title));
        if (kind == 'd') ok = removeEntry(p, log.kind, slot, RemovalOrder::DeleteWindow);
        (void)!write(out, ok ? "ok\n" : "no\n", 3);
    }
}

std::vector<Op> readOps(int fd) {
    std::string text;
    char buf[4096];
    ssize_t n;
    while ((n = read(fd, buf, sizeof buf)) > 0) text.append(buf, static_cast<std::size_t>(n));
    std::vector<Op> ops;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (line == "ok" || line == "no") {
            if (!ops.empty()) ops.back().done = line == "ok";
            if (!ops.empty() && line == "no") ops.back().kind = 0;  // reported as not changed
            continue;
        }
        if (in.eof() && text.back() != '\n') break;  // the announcement was cut by the kill
        Op op;
        std::istringstream l(line);
        l >> op.kind >> op.log;
        if (op.kind != 'a') l >> op.slot;
        if (op.kind != 'd') l >> op.title;
        ops.push_back(op);
    }
    return ops;
}

std::string describe(const std::vector<Op>& ops) {
    std::string out;
    for (const Op& op : ops)
        out += std::string("  ") + (op.kind ? op.kind : '-') + " log " + std::to_string(op.log) +
               " slot " + std::to_string(op.slot) + " " + op.title +
               (op.done ? " done" : " running") + "\n";
    return out;
}

// The next write (by the same user) removes what the killed one left.
bool nextWriteCleansUp(const std::vector<Log>& logs, const std::string& folder, int kill,
                       unsigned seed) {
    const pid_t writer = fork();
    if (writer == 0) {
        becomeChildUser();
        for (const Log& log : logs) {
            Profile p(log.path, logAccess(log.kind));
            p.writeString("check", "k", std::to_string(kill));
            p.eraseSection("check");
        }
        _exit(0);
    }
    int status = 0;
    waitpid(writer, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::cout << "FAULT after kill " << kill << " (seed " << seed << "): the next write failed"
                  << std::endl;
        return false;
    }
    for (const auto& e : fs::directory_iterator(folder))
        if (e.path().filename().string().find(".kv4new.") != std::string::npos) {
            std::cout << "FAULT after kill " << kill << " (seed " << seed
                      << "): a temporary file survived the next write: " << e.path() << std::endl;
            return false;
        }
    return true;
}

// The run's length and seed, said with who the child is.
void parseArguments(int argc, char** argv, int& kills, unsigned& seed) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--kills") kills = std::atoi(argv[i + 1]);
        if (a == "--seed") seed = static_cast<unsigned>(std::strtoul(argv[i + 1], nullptr, 10));
    }
    g_otherUser = kv::testing::canSwitchTo(kChildUid);
    std::cout << "seed " << seed
              << (g_otherUser ? ", the child another user: the public log is rewritten in place"
                              : ", as one user")
              << std::endl;
}

// Ten entries in each log, the private and static ones the child user's.
bool startLogs(const std::vector<Log>& logs, std::vector<std::vector<std::string>>& model) {
    for (std::size_t l = 0; l < logs.size(); ++l)
        for (int i = 0; i < 10; ++i) {
            Profile p(logs[l].path, logAccess(logs[l].kind));
            addEntry(p, logs[l].kind, entryFor(logs[l].kind, "start" + std::to_string(i)));
            model[l].push_back("start" + std::to_string(i));
        }
    if (g_otherUser)
        for (const Log& log : logs)
            if (log.kind != LogKind::Public && chown(log.path.c_str(), kChildUid, kChildUid) != 0)
                return false;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    int kills = 1000;
    unsigned seed = static_cast<unsigned>(std::random_device{}());
    parseArguments(argc, argv, kills, seed);
    std::mt19937 rng(seed);
    kv::testing::TempDir dir;
    if (g_otherUser) chmod(dir.path().c_str(), 01777);
    const std::vector<Log> logs{{LogKind::Private, dir.file("u.log")},
                                {LogKind::Static, dir.file("u_staly.log")},
                                {LogKind::Public, dir.file("log4.ini")}};
    std::vector<std::vector<std::string>> model(logs.size());
    if (!startLogs(logs, model)) return 2;

    for (int kill = 1; kill <= kills; ++kill) {
        int pipeFds[2];
        if (pipe(pipeFds) != 0) return 2;
        const unsigned childSeed = static_cast<unsigned>(rng());
        const pid_t pid = fork();
        if (pid == 0) {
            close(pipeFds[0]);
            child(logs, childSeed, pipeFds[1]);
        }
        close(pipeFds[1]);
        std::this_thread::sleep_for(std::chrono::microseconds(rng() % 4000));
        ::kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        const std::vector<Op> ops = readOps(pipeFds[0]);
        close(pipeFds[0]);

        // Every finished operation happened; the running one happened or not.
        for (const Op& op : ops)
            if (op.done) apply(model[static_cast<std::size_t>(op.log)], op);
        for (std::size_t l = 0; l < logs.size(); ++l) {
            std::string fault;
            const std::vector<std::string> actual = titles(logs[l], fault);
            std::vector<std::string> after = model[l];
            const bool running = !ops.empty() && !ops.back().done && ops.back().kind &&
                                 ops.back().log == static_cast<int>(l);
            if (running) apply(after, ops.back());
            if (fault.empty() && actual != model[l] && !(running && actual == after))
                fault = "the log holds other entries than the operations left";
            if (!fault.empty()) {
                std::cout << "FAULT after kill " << kill << " (seed " << seed << ", child seed "
                          << childSeed << ") in " << logs[l].path << ": " << fault
                          << "\noperations since the last kill:\n"
                          << describe(ops) << "file:\n"
                          << dir.read(fs::path(logs[l].path).filename().string()) << std::endl;
                return 1;
            }
            model[l] = actual;
        }
        if (!nextWriteCleansUp(logs, dir.path(), kill, seed)) return 1;
    }
    std::cout << kills << " kills, 0 faults" << std::endl;
    return 0;
}
