// What one user may not make of a machine others share: the administrator's
// look and log folders stay his (said before anything is written), and a
// public log grown huge costs nobody else a read or a write.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "exchange.h"
#include "logbook.h"
#include "look.h"
#include "machine.h"

using namespace kv::testing::users;

namespace {

TEST_F(Machine, OnlyTheAdministratorChangesTheLookOfAMachine) {
    // Setup lays the manifest out as root's, in the sticky data folder.
    ASSERT_EQ(chosenLook(store.sciezka), Look::Themed);
    EXPECT_EQ(as(kBob, "bob",
                 [&]() -> std::string {
                     const std::string problem = lookChangeProblem(store.sciezka, Look::Classic);
                     if (problem.find("belongs to another user") == std::string::npos)
                         return "the problem was: " + problem;
                     if (changeLook(store.sciezka, Look::Classic) != problem)
                         return "the rename was tried anyway";
                     if (!lookChangeProblem(store.sciezka, Look::Themed).empty())
                         return "the look already had needs no rename";
                     return chosenLook(store.sciezka) == Look::Themed ? "" : "the look changed";
                 }),
              "");
    EXPECT_EQ(changeLook(store.sciezka, Look::Classic), "");  // the administrator may
    EXPECT_EQ(chosenLook(store.sciezka), Look::Classic);
}

TEST_F(Machine, ALogFolderAUserCannotWriteIsNoLogFolder) {
    const std::string closed = root + "/closed/";
    fs::create_directory(closed);
    chmod(closed.c_str(), 0755);
    EXPECT_EQ(as(kAlice, "alice",
                 [&]() -> std::string {
                     if (logFolderProblem(closed) != "cannot be written by this user")
                         return "closed: " + logFolderProblem(closed);
                     if (!logFolderProblem(store.sciezka_log).empty())
                         return "the sticky log folder: " + logFolderProblem(store.sciezka_log);
                     if (logFolderProblem("logs/") != "is not a full path (it must begin with /)")
                         return "relative: " + logFolderProblem("logs/");
                     return logFolderProblem(store.sciezka + "style.ini/") ==
                                    "is a file, not a folder"
                                ? ""
                                : "file: " + logFolderProblem(store.sciezka + "style.ini/");
                 }),
              "");
    EXPECT_EQ(logFolderProblem(closed), "");
}

TEST_F(Machine, AFileOneUserPlantedUnderAnothersNameIsSaidWithItsRemedy) {
    const FileNames alice = filesOf("alice");
    ASSERT_EQ(as(kBob, "bob",
                 [&]() -> std::string {
                     std::ofstream planted(alice.log_staly);
                     return planted ? "" : "could not plant";
                 }),
              "");
    EXPECT_EQ(as(kAlice, "alice",
                 [&]() -> std::string {
                     std::vector<std::string> notices;
                     setNoticeHandler([&](const std::string& n) { notices.push_back(n); });
                     Profile log(alice.log_staly, logAccess(LogKind::Static));
                     (void)log.readString("0", "Numer", "none");
                     if (notices.size() != 1) return "no notice";
                     for (const char* says :
                          {"uid 60002", "only the administrator", "kalvex4-setup --system"})
                         if (notices[0].find(says) == std::string::npos)
                             return "the notice does not say " + std::string(says) + ": " +
                                    notices[0];
                     return "";
                 }),
              "");
    const std::vector<std::string> report = misownedUserFiles(store);
    ASSERT_EQ(report.size(), 1u);
    EXPECT_NE(report[0].find(alice.log_staly + " is named for alice but belongs to"),
              std::string::npos);
    EXPECT_NE(report[0].find("uid 60002"), std::string::npos);
}

TEST_F(Machine, AUsersHandOversAreInAFileNoOtherUserCanOpen) {
    unsetenv("KALVEX4_EXCHANGE");  // the default: each user's own
    const std::string alices = root + "/run-alice/Kalvex4.tmp";
    EXPECT_EQ(as(kAlice, "alice",
                 [&]() -> std::string {
                     if (exchangePath() != alices) return "alice's is " + exchangePath();
                     Exchange().recordActiveEntry(2, "log");
                     return "";
                 }),
              "");
    const std::string before = readBytes(alices);
    EXPECT_EQ(as(kBob, "bob",
                 [&]() -> std::string {
                     // Bob's loop of writes to steer alice's Done reaches nothing of hers.
                     if (open(alices.c_str(), O_RDONLY) >= 0) return "bob could read it";
                     try {
                         Exchange(alices).recordActiveEntry(4, "log");
                     } catch (const WriteError&) {
                     }
                     return Exchange().path() == root + "/run-bob/Kalvex4.tmp"
                                ? ""
                                : "bob's own is " + Exchange().path();
                 }),
              "");
    EXPECT_EQ(readBytes(alices), before);
    EXPECT_EQ(Exchange(alices).activeEntry().number, 2);
}

TEST_F(Machine, AnotherUsersLockOnTheStoreDelaysNobody) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t holder = fork();
    if (holder == 0) {
        // Bob may read the store, so he may lock it, and keep the lock.
        if (setgid(kAlice) != 0 || setuid(kBob) != 0) _exit(1);
        for (const std::string& file : {root + "/Kalvex4.conf", store.sciezka + "config.ini",
                                        store.sciezka_log_glowny + "log4.ini"})
            flock(open(file.c_str(), O_RDONLY), LOCK_EX);
        (void)!write(ready[1], "x", 1);
        for (;;) pause();
    }
    char c;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    const int oldTimeout = lockTimeoutMs();
    setLockTimeoutMs(60000);  // a writer that waited for bob would not be done in time
    EXPECT_EQ(as(kAlice, "alice",
                 [&]() -> std::string {
                     const auto start = std::chrono::steady_clock::now();
                     const std::optional<StoreValues> read = readStore();
                     // A read that waited for the lock would take its second.
                     if (std::chrono::steady_clock::now() - start > std::chrono::milliseconds(900))
                         return "the read waited for bob's lock";
                     return read && read->sciezka == store.sciezka ? "" : "the store was not read";
                 }),
              "");
    StoreValues changed = store;
    changed.sciezka_log_glowny = store.sciezka_log;
    EXPECT_NO_THROW(writeStore(changed));  // the administrator's write locks bob cannot hold
    EXPECT_EQ(readStore()->sciezka_log_glowny, store.sciezka_log);
    struct stat st {};
    ASSERT_EQ(stat((root + "/.Kalvex4.conf.lock").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    setLockTimeoutMs(oldTimeout);
    // The package's setup run, with bob's locks held on every file he can read.
    const std::string setup = std::string(KV_SETUP_BINARY) + " --sandbox " + root + " >/dev/null";
    EXPECT_EQ(std::system(setup.c_str()), 0);
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
}

// log4.ini is root's in a sticky folder, so another user rewrites it in place,
// through its journal; on a nearly full disk that rewrite either stores the
// entry or fails leaving the file as it was, whatever room is left.
TEST_F(Machine, ARewriteInPlaceOnANearlyFullDiskStoresOrLeavesTheLogAsItWas) {
    const std::string disk = root + "/small";
    fs::create_directory(disk);
    if (mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "this system does not let root mount a tmpfs";
    chmod(disk.c_str(), 01777);
    const std::string log = disk + "/log4.ini";
    std::string start;
    for (int n = 0; n < 5; ++n)
        start += "[" + std::to_string(n) + "]\r\nTytul=t" + std::to_string(n) +
                 "\r\nNumer=" + std::to_string(n) + "\r\nInformacja=" + std::string(9000, 'x') +
                 "\r\n";
    int stored = 0, refused = 0;
    // Page by page, from too little room for the new bytes beside the log to plenty.
    for (int freeKb = 40; freeKb <= 160; freeKb += 4) {
        { std::ofstream(log, std::ios::binary | std::ios::trunc) << start; }
        chmod(log.c_str(), 0666);
        struct statvfs room {};
        ASSERT_EQ(statvfs(disk.c_str(), &room), 0);
        const long long fill =
            static_cast<long long>(room.f_bavail) * room.f_frsize - freeKb * 1024LL;
        if (fill > 0) std::ofstream(disk + "/filler", std::ios::binary) << std::string(fill, 'f');
        const std::string before = readBytes(log);
        const std::string outcome = as(kAlice, "alice", [&]() -> std::string {
            Profile pub(log, logAccess(LogKind::Public));
            EntryData e = entry("long", "raz", "wszyscy");
            e.informacja = std::string(8000, 'y');
            try {
                const std::optional<int> slot = addEntry(pub, LogKind::Public, e);
                if (!slot) return "no slot";
                return readStoredEntry(pub, *slot).informacja == e.informacja ? "stored"
                                                                              : "stored wrongly";
            } catch (const WriteError&) {
                return "refused";
            }
        });
        if (outcome == "refused") {
            ++refused;
            EXPECT_EQ(readBytes(log), before)
                << "a refused rewrite changed the log with " << freeKb << " KB free";
        } else {
            EXPECT_EQ(outcome, "stored") << freeKb << " KB free";
            ++stored;
        }
        fs::remove(disk + "/filler");
    }
    umount(disk.c_str());
    EXPECT_GT(stored, 0);   // with room enough it works,
    EXPECT_GT(refused, 0);  // and the band that once stored while failing was tried
}

TEST_F(Machine, APublicLogGrownHugeIsNeitherReadNorWrittenByAnother) {
    const FileNames alice = filesOf("alice");
    ASSERT_EQ(as(kBob, "bob",
                 [&]() -> std::string {
                     // Everyone may write log4.ini: bob fills it with 5 MB in place.
                     std::ofstream out(alice.log_glowny, std::ios::binary | std::ios::app);
                     out << "[0]\r\nNumer=0\r\nTytul=" << std::string(5 << 20, 'b') << "\r\n";
                     return out ? "" : "could not grow the public log";
                 }),
              "");
    const std::string grown = readBytes(alice.log_glowny);
    EXPECT_EQ(as(kAlice, "alice",
                 [&]() -> std::string {
                     std::vector<std::string> notices;
                     setNoticeHandler([&](const std::string& n) { notices.push_back(n); });
                     const Profile log(alice.log_glowny, logAccess(LogKind::Public));
                     if (log.readString("0", "Numer", "none") != "none") return "it was read";
                     if (notices.size() != 1 ||
                         notices[0].find(alice.log_glowny) == std::string::npos ||
                         notices[0].find("more than the 4 MB") == std::string::npos)
                         return "no notice naming it";
                     Profile writable(alice.log_glowny, logAccess(LogKind::Public));
                     if (!throwsWriteError([&] {
                             addEntry(writable, LogKind::Public, entry("mine", "raz", "wszyscy"));
                         }))
                         return "an entry was added to it";
                     return "";
                 }),
              "");
    EXPECT_EQ(readBytes(alice.log_glowny), grown);
}

}  // namespace
