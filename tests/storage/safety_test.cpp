// Nothing is lost on a bad file: a file that cannot be read completely is never
// written over, a removal never cuts what it moves, a held lock never hangs a
// writer, and a killed write leaves nothing behind for long.

#include <gtest/gtest.h>

#include <filesystem>

#include "exchange.h"
#include "locations.h"
#include "logbook.h"
#include "notices.h"
#include "sandbox.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>

#include "fileio_testing.h"
#endif

using namespace kv::storage;
using kv::testing::TempDir;

namespace {

// Collects notices instead of printing them.
struct Notices {
    std::vector<std::string> said;
    NoticeHandler old;
    Notices() : old(setNoticeHandler([this](const std::string& t) { said.push_back(t); })) {}
    ~Notices() { setNoticeHandler(std::move(old)); }
};

struct SafetyTest : ::testing::Test {
    TempDir dir;
    Profile log{dir.file("u.log"), kPrivateFile};
    Notices notices;
    EntryData make(int i, std::size_t textSize = 0) {
        EntryData e;
        e.tytul = "T" + std::to_string(i);
        e.informacja = "I" + std::to_string(i);
        if (textSize) e.informacja.resize(textSize, static_cast<char>('a' + i % 26));
        e.data = "2026-05-17";
        return e;
    }
    void fill(int count, std::size_t textSize = 0) {
        for (int i = 0; i < count; ++i)
            ASSERT_EQ(addEntry(log, LogKind::Private, make(i, textSize)), i);
    }
};

TEST_F(SafetyTest, ARemovalMovesLongAndQuotedValuesWhole) {
    fill(3, 5000);
    log.writeString("2", "strona", "\"https://example.org/a b\"");
    ASSERT_TRUE(removeEntry(log, LogKind::Private, 0, RemovalOrder::DeleteWindow));
    const std::shared_ptr<const IniDocument> doc = log.document();
    EXPECT_EQ(doc->find("0", "Informacja"), make(1, 5000).informacja);
    EXPECT_EQ(doc->find("1", "Informacja"), make(2, 5000).informacja);
    EXPECT_EQ(doc->find("1", "strona"), "\"https://example.org/a b\"");
    // What a caller reads is still cut to the buffer.
    EXPECT_EQ(log.readString("1", "Informacja", "").size(), kMaxValueLength);
}

TEST_F(SafetyTest, ALogOverItsBoundIsNeitherReadNorWritten) {
    Profile bounded(dir.file("u.log"), logAccess(LogKind::Private));
    // 51 entries of 75 KB: a full log well under the bound is used.
    for (int i = 0; i < kSlots; ++i)
        ASSERT_EQ(addEntry(bounded, LogKind::Private, make(i, 75000)), i);
    EXPECT_TRUE(isOccupied(bounded, 50));
    EXPECT_TRUE(notices.said.empty());
    // Grown past 4 MB by hand: read as empty, said once, never written.
    dir.write("u.log", dir.read("u.log") + "[x]\r\nk=" + std::string(1 << 20, 'x') + "\r\n");
    const std::string grown = dir.read("u.log");
    EXPECT_FALSE(isOccupied(bounded, 0));
    ASSERT_EQ(notices.said.size(), 1u);
    EXPECT_NE(notices.said[0].find(dir.file("u.log")), std::string::npos);
    EXPECT_NE(notices.said[0].find("more than the 4 MB such a file can need"), std::string::npos);
    EXPECT_THROW(addEntry(bounded, LogKind::Private, make(0)), WriteError);
    EXPECT_THROW(removeEntry(bounded, LogKind::Private, 0, RemovalOrder::DeleteWindow), WriteError);
    EXPECT_EQ(dir.read("u.log"), grown);
    // Other files know no such bound.
    EXPECT_EQ(log.readString("0", "Numer", "none"), "0");
}

TEST_F(SafetyTest, RemovingNothingReportsNothingRemoved) {
    EXPECT_FALSE(removeEntry(log, LogKind::Private, 0, RemovalOrder::DeleteWindow));  // no file
    EXPECT_FALSE(dir.exists("u.log"));
    fill(2);
    // A gap (as a hand edit leaves) is no entry: the one behind it stays put.
    log.eraseSection("0");
    const std::string before = dir.read("u.log");
    EXPECT_FALSE(removeEntry(log, LogKind::Private, 0, RemovalOrder::DeleteWindow));
    EXPECT_FALSE(removeEntry(log, LogKind::Private, 5, RemovalOrder::DonePrivate));
    EXPECT_EQ(dir.read("u.log"), before);
}

TEST_F(SafetyTest, ALogThatIsAFolderIsNamedOnceAndNeverWritten) {
    std::filesystem::create_directory(dir.file("u.log"));
    EXPECT_EQ(log.readString("0", "Numer", "none"), "none");
    EXPECT_FALSE(log.readable());
    EXPECT_THROW(addEntry(log, LogKind::Private, make(0)), WriteError);
    try {
        removeEntry(log, LogKind::Private, 0, RemovalOrder::DeleteWindow);
        FAIL() << "a removal from a folder succeeded";
    } catch (const WriteError& e) {
        EXPECT_NE(std::string(e.what()).find(dir.file("u.log")), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("folder"), std::string::npos);
    }
    ASSERT_EQ(notices.said.size(), 1u);
    EXPECT_NE(notices.said[0].find(dir.file("u.log")), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("u.log")));
}

TEST_F(SafetyTest, AFreeSlotIsOneThatReadsFreeAfterTheWrite) {
    // A NUL byte after a tab: the name reads "0<tab>" now but "0" once rewritten.
    dir.write("u.log", std::string("[0\t\0]\r\nx=1\r\n", 12));
    ASSERT_EQ(addEntry(log, LogKind::Private, make(0)), 0);
    EXPECT_TRUE(isOccupied(log, 0));
    EXPECT_EQ(addEntry(log, LogKind::Private, make(1)), 1);
    EXPECT_EQ(readStoredEntry(Profile(dir.file("u.log")), 0).tytul, "T0");
    EXPECT_EQ(readStoredEntry(Profile(dir.file("u.log")), 1).tytul, "T1");
    ASSERT_TRUE(removeEntry(log, LogKind::Private, 0, RemovalOrder::DeleteWindow));
    EXPECT_EQ(readStoredEntry(log, 0).tytul, "T1");
    EXPECT_FALSE(isOccupied(log, 1));
}

TEST_F(SafetyTest, ADamagedLogThatARewriteWouldChangeIsNotWritten) {
    // "[\0]" names no section: a rewrite drops its header and its keys join entry 0.
    const std::string damaged("[0]\r\nNumer=0\r\n[\0]\r\nTytul=b\r\n", 28);
    dir.write("u.log", damaged);
    try {
        addEntry(log, LogKind::Private, make(1));
        FAIL() << "wrote a log whose entry 0 would read otherwise";
    } catch (const WriteError& e) {
        EXPECT_NE(std::string(e.what()).find("damaged"), std::string::npos);
    }
    EXPECT_EQ(dir.read("u.log"), damaged);
    EXPECT_EQ(readStoredEntry(log, 0).tytul, "");
}

TEST_F(SafetyTest, AScopeReadsTheFileOnceUntilRefreshedOrWritten) {
    fill(2);
    {
        const Profile::ReadScope scope(log);
        EXPECT_EQ(log.readString("0", "Tytul", ""), "T0");
        dir.write("u.log", "[0]\r\nNumer=0\r\nTytul=changed\r\n");
        EXPECT_EQ(log.readString("0", "Tytul", ""), "T0");  // one consistent state
        EXPECT_EQ(log.readString("1", "Tytul", ""), "T1");
        log.refresh();
        EXPECT_EQ(log.readString("0", "Tytul", ""), "changed");
        log.writeString("0", "Tytul", "mine");
        EXPECT_EQ(log.readString("0", "Tytul", ""), "mine");
    }
    dir.write("u.log", "[0]\r\nTytul=after\r\n");
    EXPECT_EQ(log.readString("0", "Tytul", ""), "after");  // no scope: straight to the file
}

TEST_F(SafetyTest, AHundredThousandSectionsAreLookedUpByName) {
    std::string bytes;
    for (int i = 0; i < 100000; ++i)
        bytes += "[s" + std::to_string(i) + "]\r\nk=" + std::to_string(i) + "\r\n";
    bytes += "[S99999]\r\nk=second\r\n";
    dir.write("u.log", bytes);
    const Profile::ReadScope scope(log);
    EXPECT_EQ(log.readString("S99999", "k", ""), "99999");  // the first of a name wins
    EXPECT_EQ(log.readString("s5", "k", ""), "5");
    EXPECT_EQ(log.readString("nope", "k", "d"), "d");
}

#ifndef _WIN32

TEST(ExchangeTest, ByDefaultEachUsersWindowsHandOverInAFileOfTheirOwn) {
    TempDir dir;
    const char* named = std::getenv("KALVEX4_EXCHANGE");
    const std::string keep = named ? named : "";
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string keepRuntime = runtime ? runtime : "";
    std::filesystem::create_directory(dir.file("run"));
    chmod(dir.file("run").c_str(), 0700);
    kv::testing::setEnvironment("KALVEX4_EXCHANGE", "");
    kv::testing::setEnvironment("XDG_RUNTIME_DIR", dir.file("run"));
    EXPECT_EQ(exchangePath(), dir.file("run") + "/Kalvex4.tmp");
    Exchange exchange;
    exchange.recordActiveEntry(3, "log");
    struct stat st {};
    ASSERT_EQ(stat((dir.file("run") + "/Kalvex4.tmp").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);  // nobody else reads or steers it
    EXPECT_EQ(Exchange().activeEntry().number, 3);
    kv::testing::setEnvironment("XDG_RUNTIME_DIR", keepRuntime);
    kv::testing::setEnvironment("KALVEX4_EXCHANGE", keep);
}

int g_reads = 0;
// A short first read, then an I/O error: what a failing disk does.
ssize_t failingSecondRead(int fd, void* buf, std::size_t count) {
    if (++g_reads == 1) return ::read(fd, buf, std::min<std::size_t>(count, 1000));
    errno = EIO;
    return -1;
}

TEST_F(SafetyTest, AReadErrorPartWayLeavesTheFileAsItWas) {
    fill(40);
    const std::string before = dir.read("u.log");
    g_reads = 0;
    setReadFunctionForTesting(failingSecondRead);
    try {
        addEntry(log, LogKind::Private, make(99));
        ADD_FAILURE() << "a write from half a file succeeded";
    } catch (const WriteError& e) {
        EXPECT_NE(std::string(e.what()).find("could not be read completely"), std::string::npos);
    }
    g_reads = 0;
    EXPECT_EQ(log.readString("39", "Tytul", "default"), "default");
    setReadFunctionForTesting(nullptr);
    EXPECT_EQ(dir.read("u.log"), before);
    ASSERT_EQ(notices.said.size(), 1u);
    EXPECT_NE(notices.said[0].find("Input/output error"), std::string::npos);
    EXPECT_EQ(log.readString("39", "Tytul", ""), "T39");
}

TEST(Journal, ACutJournalIsSetAsideAndACompleteOneIsTheContent) {
    const std::string oldBytes = "[0]\r\nNumer=0\r\nTytul=old\r\n";
    const std::string midBytes = "[0]\r\nNumer=0\r\nTytul=mid\r\n";
    const std::string newBytes = "[0]\r\nNumer=0\r\nTytul=new\r\n[1]\r\nNumer=1\r\n";
    const std::string journal = journalOf(newBytes);
    EXPECT_EQ(contentOf(oldBytes), oldBytes);
    // Killed while appending: the old bytes stand (a lone first line break reads as nothing).
    for (std::size_t cut = 0; cut < journal.size(); ++cut)
        ASSERT_EQ(contentOf(oldBytes + journal.substr(0, cut)),
                  cut == 1 ? oldBytes + "\n" : oldBytes)
            << cut;
    // Killed while copying to the front: the complete journal stands.
    const std::string torn = newBytes.substr(0, 20) + oldBytes.substr(20);
    EXPECT_EQ(contentOf(torn + journal), newBytes);
    // A longer file: its journal lies behind a gap the copy to the front fills.
    const std::string longer = newBytes + std::string(100, ';') + "\r\n";
    const std::string gap(longer.size() - oldBytes.size(), '\0');
    const std::string far = journalOf(longer);
    for (std::size_t cut = 1; cut < far.size(); cut += 5)
        ASSERT_EQ(contentOf(oldBytes + gap + far.substr(0, cut)), oldBytes) << cut;
    for (std::size_t copied = 0; copied <= longer.size(); copied += 9) {
        std::string torn = oldBytes + gap;
        torn.replace(0, copied, longer.substr(0, copied));
        ASSERT_EQ(contentOf(torn + far), longer) << copied;
    }
    // An earlier complete journal, then a later one cut short.
    EXPECT_EQ(contentOf(oldBytes + journalOf(midBytes) + journal.substr(0, 30)), midBytes);
}

TEST(Journal, TextThatOnlyLooksLikeAJournalIsContent) {
    // Lines our writes end in CR LF: a length that is no number on a line of
    // its own, or more text than announced, is no journal.
    for (const std::string tail : {"\n\x1Bkv4journal \\\x9e?\r\n", "\n\x1Bkv4journal 12\r\n",
                                   "\n\x1Bkv4journal 2\nabcdef\r\n", "\n\x1Bkv4journal x"}) {
        const std::string bytes = "[51]\r\n" + tail + "[3]\r\nTytul=T0\r\n";
        EXPECT_EQ(contentOf(bytes), bytes);
    }
}

TEST_F(SafetyTest, ALineLikeAJournalMarkerSurvivesRewrites) {
    dir.write("u.log", "[51]\r\x1A\x1Bkv4journal \\\x9e?\x95\x01\0p\r\n");
    Profile log(dir.file("u.log"), kPrivateFile);
    log.writeString("3", "Tytul", "T0");
    EXPECT_EQ(log.readString("3", "Tytul", ""), "T0");
    log.writeString("4", "Tytul", "T1");
    EXPECT_EQ(log.readString("3", "Tytul", ""), "T0");
    EXPECT_EQ(log.readString("4", "Tytul", ""), "T1");
    // A value with raw line breaks that would end like an unfinished write is refused, not garbled.
    const std::string before = dir.read("u.log");
    EXPECT_THROW(log.writeString("zz", "k", "v\n\x1Bkv4journal 99\nx"), WriteError);
    EXPECT_EQ(dir.read("u.log"), before);
}

TEST_F(SafetyTest, NewFilesAreCreatedWithTheModeOfWhoMayUseThem) {
    auto mode = [&](const std::string& name) {
        struct stat st {};
        stat(dir.file(name).c_str(), &st);
        return st.st_mode & 07777;
    };
    const mode_t oldMask = umask(0);  // the creator's umask must not widen anything
    Profile(dir.file("own.log"), kPrivateFile).writeString("S", "k", "v");
    Profile(dir.file("log4.ini"), kSharedFile).writeString("S", "k", "v");
    Profile(dir.file("store.conf"), kSystemFile).writeString("S", "k", "v");
    umask(077);
    Profile(dir.file("config.ini"), kSharedFile).writeString("S", "k", "v");
    umask(oldMask);
    EXPECT_EQ(mode("own.log"), 0600u);
    EXPECT_EQ(mode("log4.ini"), 0666u);
    EXPECT_EQ(mode("store.conf"), 0644u);
    EXPECT_EQ(mode("config.ini"), 0666u);
    // A private file left readable by all by an older version is closed on its next write.
    chmod(dir.file("own.log").c_str(), 0666);
    Profile(dir.file("own.log"), kPrivateFile).writeString("S", "k", "w");
    EXPECT_EQ(mode("own.log"), 0600u);
}

TEST_F(SafetyTest, TheNextWriteRemovesTemporaryFilesOfAKilledOne) {
    fill(1);
    dir.write("u.log.kv4new.Ab12Cd", "half");
    dir.write("u.log.kv4new.backup", "half");
    dir.write("u.log.backup", "keep");
    dir.write("other.log.kv4new.Ab12Cd", "keep");
    dir.write("u.log.kv4create.Zz99Yy", "recent, maybe in progress");
    addEntry(log, LogKind::Private, make(1));
    EXPECT_FALSE(dir.exists("u.log.kv4new.Ab12Cd"));
    EXPECT_FALSE(dir.exists("u.log.kv4new.backup"));
    EXPECT_TRUE(dir.exists("u.log.backup"));
    EXPECT_TRUE(dir.exists("other.log.kv4new.Ab12Cd"));
    EXPECT_TRUE(dir.exists("u.log.kv4create.Zz99Yy"));
    std::filesystem::last_write_time(
        dir.file("u.log.kv4create.Zz99Yy"),
        std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    addEntry(log, LogKind::Private, make(2));
    EXPECT_FALSE(dir.exists("u.log.kv4create.Zz99Yy"));
}

// Runs hold() in a child that keeps an exclusive lock on path until killed.
pid_t holdLock(const std::string& path) {
    int ready[2];
    if (pipe(ready) != 0) return -1;
    pid_t pid = fork();
    if (pid == 0) {
        int fd = open(path.c_str(), O_RDONLY);
        flock(fd, LOCK_EX);
        (void)!write(ready[1], "x", 1);
        for (;;) pause();
    }
    char c;
    (void)!read(ready[0], &c, 1);
    close(ready[0]);
    close(ready[1]);
    return pid;
}

TEST_F(SafetyTest, AHeldLockEndsTheWaitWithAMessageAndNothingWritten) {
    fill(2);
    const std::string before = dir.read("u.log");
    const pid_t holder = holdLock(dir.file("u.log"));
    ASSERT_GT(holder, 0);
    const int oldTimeout = lockTimeoutMs();
    setLockTimeoutMs(300);
    const auto start = std::chrono::steady_clock::now();
    try {
        addEntry(log, LogKind::Private, make(5));
        ADD_FAILURE() << "wrote past a held lock";
    } catch (const WriteError& e) {
        EXPECT_NE(std::string(e.what()).find("locked"), std::string::npos);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(log.readString("1", "Tytul", ""), "T1");  // reading never waits
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    setLockTimeoutMs(oldTimeout);
    EXPECT_EQ(dir.read("u.log"), before);
    EXPECT_EQ(addEntry(log, LogKind::Private, make(5)), 2);
}

TEST_F(SafetyTest, APipeOrAHardLinkAtTheExchangePathNeverHangsOrRedirects) {
    TempDir runtime;
    const std::string runtimeFolder = runtime.path();
    chmod(runtimeFolder.c_str(), 0700);
    kv::testing::setEnvironment("XDG_RUNTIME_DIR", runtimeFolder);
    ASSERT_EQ(mkfifo(dir.file("pipe.tmp").c_str(), 0666), 0);
    Exchange piped(dir.file("pipe.tmp"));
    EXPECT_EQ(piped.activeEntry().number, -1);
    piped.recordActiveEntry(4, "log");
    EXPECT_EQ(Profile(dir.file("pipe.tmp")).readString("log", "aktywny_wpis", "d"), "d");
    EXPECT_EQ(Profile(dir.file("pipe.tmp"), kSharedFile).readable(), false);

    dir.write("precious", "[keep]\r\nk=v\r\n");
    ASSERT_EQ(link(dir.file("precious").c_str(), dir.file("linked.tmp").c_str()), 0);
    Exchange linked(dir.file("linked.tmp"));
    linked.recordActiveEntry(7, "log_glowny");
    EXPECT_EQ(dir.read("precious"), "[keep]\r\nk=v\r\n");
    EXPECT_EQ(Exchange(dir.file("linked.tmp")).activeEntry().number, 7);
    EXPECT_EQ(notices.said.size(), 3u);  // pipe read, pipe exchange, hard link
    kv::testing::setEnvironment("XDG_RUNTIME_DIR", "");
}

#endif

}  // namespace
