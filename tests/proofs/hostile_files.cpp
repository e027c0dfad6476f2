// hostile_files: logs no program of ours writes - huge, random, malformed,
// unreadable, on a full disk, in a read-only folder. For each, as all three
// logs: the due check finishes (within 2 s outside sanitizer builds) and
// reads defaults where it must, and adding an entry either stores it with every
// earlier entry intact or fails with a clear message leaving the file as it was.
//
//   hostile_files [--seed S]
// The last line says "N files, 0 faults".

#include <grp.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "duecheck.h"
#include "fileset.h"
#include "logbook.h"
#include "notices.h"
#include "sandbox.h"

using namespace kv::storage;
namespace fs = std::filesystem;

namespace {

// A bound against hangs only, a minute, so that no slow, sanitized or busy
// machine trips it; speed is measured by build/bench_logs, not here.
constexpr unsigned kHangBoundSeconds = 60;
constexpr uid_t kOtherUser = 60201;

struct Case {
    std::string name;
    std::function<std::string(std::mt19937&)> bytes;  // the file's content
    // Prepares the folder or file after the bytes are written (may be empty).
    std::function<void(const std::string& folder, const std::string& file)> prepare;
    bool asOtherUser = false;  // root reads everything: act as someone else
    bool fullDisk = false;     // on a file system with no room left
};

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string entries(int count, std::size_t textSize) {
    std::string out;
    for (int n = 0; n < count; ++n)
        out += "[" + std::to_string(n) + "]\r\nTytul=t" + std::to_string(n) +
               "\r\nNumer=" + std::to_string(n) + "\r\nInformacja=" + std::string(textSize, 'x') +
               "\r\nData=2026-05-16\r\nTyp=Default\r\nDzwiek=-choose-\r\n";  // not due: no windows
    return out;
}

std::string randomBytes(std::mt19937& rng, std::size_t size, bool textLike) {
    std::string out(size, '\0');
    const char alphabet[] = "[]=\r\n\t ;\"'0123456789NumerTytulData\x1F\xC4\x85\xFF";
    for (char& c : out)
        c = textLike ? alphabet[rng() % (sizeof alphabet - 1)] : static_cast<char>(rng() & 0xFF);
    return out;
}

// An add: stored with everything else intact, or refused with the file as it was.
std::string addKeepsTheRest(Profile& log, const std::string& logPath, const std::string& before) {
    std::string fault;
    std::vector<StoredEntry> earlier;
    for (int n = 0; n < kSlots; ++n) earlier.push_back(readStoredEntry(log, n));
    EntryData e;
    e.tytul = "added";
    e.informacja = "survives";
    e.data = "2026-05-17";
    try {
        const std::optional<int> slot = addEntry(log, LogKind::Private, e);
        if (slot) {
            if (readStoredEntry(log, *slot).tytul != "added")
                fault = "the added entry reads otherwise";
            for (int n = 0; n < kSlots; ++n)
                if (n != *slot && earlier[static_cast<std::size_t>(n)].occupied &&
                    readStoredEntry(log, n) != earlier[static_cast<std::size_t>(n)])
                    fault = "entry " + std::to_string(n) + " changed when another was added";
        } else if (readBytes(logPath) != before) {
            fault = "a full log changed although nothing was added";
        }
    } catch (const WriteError& err) {
        if (std::string(err.what()).rfind("Unable to write to " + logPath, 0) != 0)
            fault = std::string("unclear message: ") + err.what();
        if (fs::is_regular_file(logPath) && readBytes(logPath) != before)
            fault = "a refused write changed the file";
    }
    return fault;
}

// The case itself, in the child: the due check over the planted file, then an add.
std::string faultOfCase(const Case& c, unsigned seed, const std::string& root) {
    std::mt19937 rng(seed);
    std::string fault;
    setNoticeHandler([](const std::string&) {});
    const std::string folder = root + "/" + c.name;
    chmod(root.c_str(), 0755);
    chmod(folder.c_str(), 0777);
    const std::string bytes = c.bytes(rng);
    const bool switching = c.asOtherUser && kv::testing::canSwitchTo(kOtherUser);
    const std::string user = switching ? "other" : userName();
    const StoreValues store{folder + "/", folder + "/", folder + "/", folder + "/"};
    const FileNames names = buildFileNames(store, user);
    if (!bytes.empty()) std::ofstream(names.log, std::ios::binary) << bytes;
    if (c.prepare) c.prepare(folder, names.log);
    if (c.fullDisk && !fs::exists(folder + "/filler")) {
        // No small file system here: the file size limit stands in for the full disk.
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{static_cast<rlim_t>(bytes.size() + 100),
                           static_cast<rlim_t>(bytes.size() + 100)};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    if (switching) {
        for (const std::string& file : {names.log, names.log_staly})
            if (fs::is_regular_file(file) && chown(file.c_str(), kOtherUser, kOtherUser) != 0)
                fault = "could not give " + file + " to the other user";
        if (setgroups(0, nullptr) != 0 || setgid(kOtherUser) != 0 || setuid(kOtherUser) != 0)
            fault = "could not switch users";
    }
    const std::string before = fs::is_regular_file(names.log) ? readBytes(names.log) : "";
    // The exchange file lies where every user writes, as /tmp is.
    const std::string exchange = root + "/tmp/" + c.name + ".tmp";
    kv::testing::setEnvironment("KALVEX4_EXCHANGE", exchange);
    try {
        FileSet files(Location{user, store, names}, exchange);
        int announced = 0;
        kv::app::DueCheck check(
            files, user,
            {[] { return QDateTime(QDate(2026, 5, 17), QTime(8, 0)); },
             [](bool, int, const std::string&) {},
             [&](int, LogKind, const kv::storage::StoredEntry&, const std::string&) {
                 ++announced;
                 return kv::desktop::NotificationAnswer{};
             }});
        check.dayRound(true);
        check.periodicCheck();
        if (std::string f = addKeepsTheRest(files.log(LogKind::Private), names.log, before);
            !f.empty())
            fault = f;
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.path().filename().string().find(".kv4new.") != std::string::npos)
                fault = "a temporary file was left: " + entry.path().string();
    } catch (const std::exception& err) {
        fault = std::string("unexpected exception: ") + err.what();
    }
    return fault;
}

// Runs one case in its own process, so that a crash or a hang is a fault, not the end.
std::string runCase(const Case& c, unsigned seed, const std::string& root) {
    int out[2];
    if (pipe(out) != 0) return "pipe";
    const pid_t pid = fork();
    if (pid == 0) {
        close(out[0]);
        alarm(kHangBoundSeconds);  // a hang is a fault
        const std::string fault = faultOfCase(c, seed, root);
        (void)!write(out[1], fault.data(), fault.size());
        _exit(0);
    }
    close(out[1]);
    std::string fault;
    char buf[512];
    ssize_t n;
    while ((n = read(out[0], buf, sizeof buf)) > 0) fault.append(buf, static_cast<std::size_t>(n));
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFSIGNALED(status))
        return "the process died with signal " + std::to_string(WTERMSIG(status)) +
               (WTERMSIG(status) == SIGALRM ? " (it hung)" : "");
    return fault;
}

// A file system of a few hundred KB: a tmpfs when the system lets us mount one.
bool mountSmallDisk(const std::string& folder) {
    return geteuid() == 0 && mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=300k") == 0;
}

// The files planted where a user's private log belongs.
std::vector<Case> hostileCases() {
    return {
        // Over the bound of a log: neither read nor written. Under it: used.
        {"five-megabytes", [](std::mt19937&) { return entries(51, 100000); }, {}},
        {"under-four-megabytes", [](std::mt19937&) { return entries(51, 75000); }, {}},
        {"random-bytes", [](std::mt19937& r) { return randomBytes(r, 1 << 20, false); }, {}},
        {"random-ini-like", [](std::mt19937& r) { return randomBytes(r, 1 << 20, true); }, {}},
        {"hundred-thousand-sections",
         [](std::mt19937&) {
             std::string s;
             for (int n = 0; n < 100000; ++n)
                 s += "[" + std::to_string(n % 300) + "x" + std::to_string(n) + "]\r\nk=v\r\n";
             return entries(5, 10) + s;
         },
         {}},
        {"megabyte-line",
         [](std::mt19937&) {
             return entries(3, 10) + "[3]\r\nNumer=3\r\nTytul=" + std::string(1 << 20, 'y') +
                    "\r\n[" + std::string(1 << 20, 'z') + "]\r\n";
         },
         {}},
        {"nul-bytes",
         [](std::mt19937& r) {
             std::string s = entries(10, 50);
             for (int i = 0; i < 200; ++i) s[r() % s.size()] = '\0';
             return s;
         },
         {}},
        {"invalid-utf8",
         [](std::mt19937&) {
             return "\xEF\xBB\xBF" + entries(4, 5) +
                    "[4]\r\nNumer=4\r\nTytul=\xC3\x28\xA0\xA1\xF0\x28\x8C\xBC\r\n";
         },
         {}},
        {"log-is-a-folder", [](std::mt19937&) { return std::string(); },
         [](const std::string&, const std::string& file) { fs::create_directory(file); }},
        {"unreadable-log", [](std::mt19937&) { return entries(5, 10); },
         [](const std::string&, const std::string& file) { chmod(file.c_str(), 0); }, true},
        {"read-only-folder", [](std::mt19937&) { return entries(5, 10); },
         [](const std::string& folder, const std::string&) { chmod(folder.c_str(), 0555); }, true},
        {"full-disk", [](std::mt19937&) { return entries(40, 2000); },
         [](const std::string& folder, const std::string&) {
             // Whatever room the small file system has left is taken.
             if (!fs::exists(folder + "/small-disk")) return;
             std::ofstream filler(folder + "/filler", std::ios::binary);
             const std::string block(1024, 'f');
             while (filler.write(block.data(), block.size())) {
             }
         },
         false, true},
    };
}

}  // namespace

int main(int argc, char** argv) {
    unsigned seed = static_cast<unsigned>(std::random_device{}());
    for (int i = 1; i + 1 < argc; i += 2)
        if (std::string(argv[i]) == "--seed")
            seed = static_cast<unsigned>(std::strtoul(argv[i + 1], nullptr, 10));
    std::cout << "seed " << seed << std::endl;
    kv::testing::TempDir dir;
    fs::create_directory(dir.path() + "/tmp");
    chmod((dir.path() + "/tmp").c_str(), 01777);

    const std::vector<Case> cases = hostileCases();

    int faults = 0;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const std::string folder = dir.path() + "/" + cases[i].name;
        fs::create_directories(folder);
        const bool small = cases[i].fullDisk && mountSmallDisk(folder);
        if (small) std::ofstream(folder + "/small-disk") << "a tmpfs of 300 KB\n";
        const std::string fault = runCase(cases[i], seed + static_cast<unsigned>(i), dir.path());
        if (small) umount(folder.c_str());
        if (!fault.empty()) {
            std::cout << "FAULT in " << cases[i].name << " (seed " << seed + i << "): " << fault
                      << std::endl;
            ++faults;
            break;
        }
        std::cout << "ok: " << cases[i].name
                  << (cases[i].fullDisk ? (small ? " (a tmpfs of 300 KB)" : " (RLIMIT_FSIZE)") : "")
                  << std::endl;
    }
    std::error_code ignored;
    for (const auto& e : fs::recursive_directory_iterator(
             dir.path(), fs::directory_options::skip_permission_denied))
        fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    if (faults) return 1;
    std::cout << cases.size() << " files, 0 faults" << std::endl;
    return 0;
}
