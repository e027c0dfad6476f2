// Two users on one machine, as laid out by kalvex4-setup: each process below
// runs as an unprivileged uid and tries what a careless or hostile second
// user could. Needs root to switch uids; skipped otherwise.

#include "machine.h"

using namespace kv::testing::users;

namespace {

TEST_F(Machine, SetupLeavesTheStoreAndShippedFilesToTheAdministrator) {
    struct stat st {};
    ASSERT_EQ(stat((root + "/Kalvex4.conf").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
    ASSERT_EQ(stat((store.sciezka + "style.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
    ASSERT_EQ(stat(store.sciezka.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 01777u);
    ASSERT_EQ(stat(store.sciezka_log.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 01777u);
    EXPECT_EQ(
        as(kBob, "bob",
           [&]() -> std::string {
               const std::string before = readBytes(store.sciezka + "style.ini");
               if (unlink((store.sciezka + "style.ini").c_str()) == 0)
                   return "deleted a shipped file";
               if (open((store.sciezka + "style.ini").c_str(), O_WRONLY) >= 0)
                   return "opened a shipped file for writing";
               if (rename((store.sciezka + "config.ini").c_str(), (store.sciezka + "x").c_str()) ==
                   0)
                   return "moved config.ini away";
               if (storeWriteProblem().empty()) return "the store looks writable to bob";
               if (!throwsWriteError([&] { writeStore({"/tmp/", "/tmp/", "/tmp/", "/tmp/"}); }))
                   return "rewrote the store";
               if (readStore()->sciezka != store.sciezka) return "store changed";
               // config.ini is everyone's: bob may change it, in place.
               Profile(store.sciezka + "config.ini", kSharedFile)
                   .writeBool("glowne", "autolog", true);
               return readBytes(store.sciezka + "style.ini") == before ? "" : "style.ini changed";
           }),
        "");
    EXPECT_EQ(Profile(store.sciezka + "config.ini").readString("glowne", "autolog", ""), "1");
    EXPECT_EQ(storeWriteProblem(), "");  // the administrator may
}

TEST_F(Machine, APrivateLogIsReadAndChangedByItsUserAlone) {
    const FileNames alice = filesOf("alice");
    EXPECT_EQ(as(kAlice, "alice",
                 [&]() -> std::string {
                     Profile log(alice.log, logAccess(LogKind::Private));
                     if (addEntry(log, LogKind::Private, entry("doctor")) != 0) return "first add";
                     if (addEntry(log, LogKind::Private, entry("dentist")) != 1)
                         return "second add";
                     return "";
                 }),
              "");
    struct stat st {};
    ASSERT_EQ(stat(alice.log.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_EQ(st.st_uid, kAlice);
    const std::string before = readBytes(alice.log);

    EXPECT_EQ(as(kBob, "bob",
                 [&]() -> std::string {
                     Profile log(alice.log, logAccess(LogKind::Private));
                     if (open(alice.log.c_str(), O_RDONLY) >= 0) return "opened alice's log";
                     if (log.readString("0", "Tytul", "none") != "none")
                         return "read alice's entry";
                     if (!throwsWriteError([&] { addEntry(log, LogKind::Private, entry("mine")); }))
                         return "added to alice's log";
                     if (!throwsWriteError([&] {
                             removeEntry(log, LogKind::Private, 0, RemovalOrder::DeleteWindow);
                         }))
                         return "removed from alice's log";
                     if (unlink(alice.log.c_str()) == 0) return "deleted alice's log";
                     std::ofstream(alice.log + ".x") << "[0]\r\nNumer=0\r\nTytul=planted\r\n";
                     if (rename((alice.log + ".x").c_str(), alice.log.c_str()) == 0)
                         return "replaced alice's log";
                     return "";
                 }),
              "");
    EXPECT_EQ(readBytes(alice.log), before);

    // Alice made her log unreadable to herself: nothing she does writes over it.
    EXPECT_EQ(as(kAlice, "alice",
                 [&]() -> std::string {
                     chmod(alice.log.c_str(), 0);
                     Profile log(alice.log, logAccess(LogKind::Private));
                     if (log.readable()) return "an unreadable log counted as read";
                     if (!throwsWriteError([&] { addEntry(log, LogKind::Private, entry("new")); }))
                         return "wrote over a log it could not read";
                     chmod(alice.log.c_str(), 0600);
                     return "";
                 }),
              "");
    EXPECT_EQ(readBytes(alice.log), before);
}

TEST_F(Machine, ThePublicLogIsEveryonesToAddToAndRemoveFrom) {
    const std::string pub = filesOf("alice").log_glowny;
    EXPECT_EQ(as(kAlice, "alice",
                 [&]() -> std::string {
                     Profile log(pub, logAccess(LogKind::Public));
                     return addEntry(log, LogKind::Public, entry("meeting", "raz", "wszyscy")) == 0
                                ? ""
                                : "alice could not add";
                 }),
              "");
    EXPECT_EQ(as(kBob, "bob",
                 [&]() -> std::string {
                     Profile log(pub, logAccess(LogKind::Public));
                     if (addEntry(log, LogKind::Public, entry("lunch", "raz", "ALICE")) != 1)
                         return "bob could not add";
                     const StoredEntry meeting = readStoredEntry(log, 0);
                     if (!removeEntry(log, LogKind::Public, 0, RemovalOrder::DonePublic, meeting))
                         return "bob could not remove alice's entry";
                     return "";
                 }),
              "");
    EXPECT_EQ(as(kAlice, "alice",
                 [&]() -> std::string {
                     Profile log(pub, logAccess(LogKind::Public));
                     if (readStoredEntry(log, 0).tytul != "lunch")
                         return "alice does not see bob's entry";
                     return addEntry(log, LogKind::Public, entry("again", "rok", "wszyscy")) == 1
                                ? ""
                                : "alice could not add after bob";
                 }),
              "");
    struct stat st {};
    ASSERT_EQ(stat(pub.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666u);
}

TEST_F(Machine, APlantedLinkNeverRedirectsAWrite) {
    const FileNames alice = filesOf("alice");
    const std::string bait = tmp + "/bait.log";  // where alice could write, were she led there
    const std::string rootFile = root + "/rootfile";
    std::ofstream(rootFile) << "[root]\r\nk=v\r\n";
    chmod(rootFile.c_str(), 0666);
    EXPECT_EQ(as(kBob, "bob",
                 [&]() -> std::string {
                     std::ofstream(bait) << "[bait]\r\n";
                     chmod(bait.c_str(), 0666);
                     if (symlink(bait.c_str(), alice.log_staly.c_str()) != 0)
                         return "no link at static";
                     if (symlink(bait.c_str(), (tmp + "/Kalvex4.tmp").c_str()) != 0)
                         return "no link at exchange";
                     // The public log is setup's, in a sticky folder: bob can neither
                     // remove it nor put a link or a file of his in its place.
                     if (unlink(alice.log_glowny.c_str()) == 0) return "removed the public log";
                     if (symlink(bait.c_str(), alice.log_glowny.c_str()) == 0)
                         return "put a link at the public log";
                     if (rename(bait.c_str(), alice.log_glowny.c_str()) == 0)
                         return "put his file at the public log";
                     return "";
                 }),
              "");
    EXPECT_EQ(
        as(kAlice, "alice",
           [&]() -> std::string {
               Profile stat(alice.log_staly, logAccess(LogKind::Static));
               if (!throwsWriteError([&] { addEntry(stat, LogKind::Static, entry("x", "rok")); }))
                   return "wrote through bob's link at her static log";
               Profile pub(alice.log_glowny, logAccess(LogKind::Public));
               if (addEntry(pub, LogKind::Public, entry("x", "raz", "wszyscy")) != 0)
                   return "could not add to the public log";
               Exchange ex;
               ex.recordActiveEntry(3, "log");
               if (Exchange().activeEntry().number != 3) return "exchange lost";
               return "";
           }),
        "");
    EXPECT_EQ(readBytes(bait), "[bait]\r\n");

    // A hard link to a file of the administrator's at the exchange path.
    fs::remove(tmp + "/Kalvex4.tmp");
    EXPECT_EQ(as(kBob, "bob",
                 [&]() -> std::string {
                     return link(rootFile.c_str(), (tmp + "/Kalvex4.tmp").c_str()) == 0
                                ? ""
                                : "no hard link";
                 }),
              "");
    EXPECT_EQ(as(kAlice, "alice",
                 [&]() -> std::string {
                     Exchange ex;
                     ex.recordVersion("4.17");
                     return Exchange().version("") == "4.17" ? "" : "version lost";
                 }),
              "");
    EXPECT_EQ(readBytes(rootFile), "[root]\r\nk=v\r\n");
}

TEST_F(Machine, APlantedExchangeFileNeverStopsAnotherUser) {
    const FileNames alice = filesOf("alice");
    // Bob plants an exchange file that only he can write.
    EXPECT_EQ(as(kBob, "bob",
                 [&]() -> std::string {
                     std::ofstream(tmp + "/Kalvex4.tmp") << "[log]\r\naktywny_wpis=9\r\n";
                     chmod((tmp + "/Kalvex4.tmp").c_str(), 0644);
                     return "";
                 }),
              "");
    EXPECT_EQ(as(kAlice, "alice",
                 [&]() -> std::string {
                     std::vector<std::string> said;
                     setNoticeHandler([&](const std::string& t) { said.push_back(t); });
                     FileSet files(*locate());  // what every window does on opening
                     files.exchange().recordVersion("4.17");
                     files.exchange().recordActiveEntry(1, "log");
                     if (Exchange().activeEntry().number != 1) return "hand-off lost";
                     if (said.size() != 1) return "said " + std::to_string(said.size()) + " times";
                     return "";
                 }),
              "");
    EXPECT_EQ(readBytes(tmp + "/Kalvex4.tmp"), "[log]\r\naktywny_wpis=9\r\n");
}

TEST_F(Machine, AHeldLockNeverHangsAnotherUser) {
    const FileNames alice = filesOf("alice");
    // Bob holds the lock of a shared exchange file and of the public log.
    EXPECT_EQ(as(kAlice, "alice",
                 [&]() -> std::string {
                     Exchange().recordVersion("4.17");
                     Profile pub(alice.log_glowny, logAccess(LogKind::Public));
                     addEntry(pub, LogKind::Public, entry("standup", "raz", "wszyscy"));
                     return "";
                 }),
              "");
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t holder = fork();
    if (holder == 0) {
        if (setgid(kAlice) != 0 || setuid(kBob) != 0) _exit(1);
        const int a = open((tmp + "/Kalvex4.tmp").c_str(), O_RDONLY);
        const int b = open(alice.log_glowny.c_str(), O_RDONLY);
        flock(a, LOCK_EX);
        flock(b, LOCK_EX);
        (void)!write(ready[1], "x", 1);
        for (;;) pause();
    }
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(as(kAlice, "alice",
                 [&]() -> std::string {
                     setLockTimeoutMs(500);
                     FileSet files(*locate());
                     files.exchange().recordVersion("4.17");
                     Profile& pub = files.log(LogKind::Public);
                     if (readStoredEntry(pub, 0).tytul != "standup")
                         return "reading waited or failed";
                     try {
                         addEntry(pub, LogKind::Public, entry("late", "raz", "wszyscy"));
                         return "wrote past bob's lock";
                     } catch (const WriteError& e) {
                         if (std::string(e.what()).find("locked") == std::string::npos)
                             return std::string("unclear message: ") + e.what();
                     }
                     return "";
                 }),
              "");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    EXPECT_EQ(Profile(alice.log_glowny).readString("1", "Tytul", "none"), "none");
}

}  // namespace
