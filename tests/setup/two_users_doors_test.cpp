// What one user can plant for another through the command line's exports, the
// texts of the public log, the shared files and their names: none of it writes
// where the planter chose, hangs, swells or blocks the other user's program.

#include <sys/mount.h>
#include <sys/resource.h>

#include <csignal>
#include <ctime>

#include "machine.h"

using namespace kv::testing::users;

namespace {

std::string today() {
    char text[16];
    const std::time_t now = std::time(nullptr);
    std::strftime(text, sizeof text, "%Y-%m-%d", std::localtime(&now));
    return text;
}

// The resident program of the calling user, on no display; its pid.
pid_t startProgram(const std::string& argument = {}) {
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        if (argument.empty())
            execl(KV_PROGRAM, KV_PROGRAM, static_cast<char*>(nullptr));
        else
            execl(KV_PROGRAM, KV_PROGRAM, argument.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

// Waits up to tenths of a second for the file to hold text.
bool waitForText(const std::string& path, const std::string& text, int tenths) {
    for (int k = 0; k < tenths; ++k) {
        if (readBytes(path).find(text) != std::string::npos) return true;
        usleep(100'000);
    }
    return false;
}

// The exit status of pid once it ended within tenths of a second; -1 after
// killing it when it did not. Its use of the machine goes to usage.
int waitForEnd(pid_t pid, int tenths, rusage* usage = nullptr) {
    int status = 0;
    rusage ignored{};
    for (int k = 0; k < tenths; ++k) {
        if (wait4(pid, &status, WNOHANG, usage ? usage : &ignored) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        usleep(100'000);
    }
    kill(pid, SIGKILL);
    wait4(pid, &status, 0, usage ? usage : &ignored);
    return -1;
}

// Ends the resident program and gives what it used.
rusage stopProgram(pid_t pid) {
    rusage usage{};
    kill(pid, SIGTERM);
    waitForEnd(pid, 300, &usage);
    return usage;
}

TEST_F(Machine, AnExportNeverWritesThroughAnotherUsersLink) {
    const std::string home = root + "/run-alice/";
    EXPECT_EQ(as(kAlice, "alice",
                 [&]() -> std::string {
                     std::ofstream(home + ".profile") << "alice's start-up file\n";
                     std::ofstream(home + "own.ics") << "old\n";
                     return "";
                 }),
              "");
    EXPECT_EQ(as(kBob, "bob",
                 [&]() -> std::string {
                     if (symlink((home + ".profile").c_str(), (tmp + "/dates.ics").c_str()) != 0 ||
                         symlink((home + "fresh").c_str(), (tmp + "/new.ics").c_str()) != 0)
                         return "could not plant the links";
                     return "";
                 }),
              "");
    EXPECT_EQ(
        as(kAlice, "alice",
           [&]() -> std::string {
               int status = 0;
               for (const char* planted : {"/dates.ics", "/new.ics"}) {
                   const std::string out = kalvex4("export --ics " + tmp + planted, status);
                   if (status != 1 || out.find(tmp + planted) == std::string::npos ||
                       out.find("symbolic link made by another user") == std::string::npos)
                       return std::string("bob's link ") + planted + ": " + out;
               }
               // Her own links: followed to a file, never through to one that is not there.
               if (symlink((home + "own.ics").c_str(), (tmp + "/mine.ics").c_str()) != 0 ||
                   symlink((home + "gone.ics").c_str(), (tmp + "/gone.ics").c_str()) != 0)
                   return "could not make her own links";
               std::string out = kalvex4("export --ics " + tmp + "/mine.ics", status);
               if (status != 0 || readBytes(home + "own.ics").rfind("BEGIN:VCALENDAR", 0) != 0)
                   return "her own link: " + out;
               out = kalvex4("export --ics " + tmp + "/gone.ics", status);
               if (status != 1 || out.find("not there") == std::string::npos)
                   return "her own dangling link: " + out;
               return "";
           }),
        "");
    EXPECT_EQ(readBytes(home + ".profile"), "alice's start-up file\n");
    EXPECT_FALSE(fs::exists(home + "fresh"));
    EXPECT_FALSE(fs::exists(home + "gone.ics"));
    EXPECT_TRUE(fs::is_symlink(tmp + "/mine.ics"));
}

TEST_F(Machine, AnExportThatCannotBeWrittenSaysSoAndKeepsTheOldFile) {
    const std::string full = root + "/full";
    fs::create_directory(full);
    if (mount("kv4full", full.c_str(), "tmpfs", 0, "size=256k,mode=1777") != 0)
        GTEST_SKIP() << "this machine lets no test mount a small file system";
    struct Unmount {
        std::string at;
        ~Unmount() { umount(at.c_str()); }
    } unmount{full};
    EXPECT_EQ(as(kAlice, "alice",
                 [&]() -> std::string {
                     std::ofstream(full + "/dates.ics") << "old calendar\n";
                     std::ofstream filler(full + "/filler");
                     const std::string block(4096, 'x');
                     while (filler.write(block.data(), block.size())) {
                     }
                     filler.close();
                     int status = 0;
                     const std::string out = kalvex4("export --ics " + full + "/dates.ics", status);
                     if (status != 1 ||
                         out.find("Unable to write to " + full + "/dates.ics") == std::string::npos)
                         return "the export on a full disk: " + out;
                     return readBytes(full + "/dates.ics") == "old calendar\n"
                                ? ""
                                : "the old file changed";
                 }),
              "");
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(full)) ++files;
    EXPECT_EQ(files, 2u);  // no half-written copy left beside it
}

TEST_F(Machine, MarkupInAnotherUsersEntryNeitherHangsNorLoadsAFile) {
    const std::string fifo = tmp + "/fifo";
    const std::string image = "<img src=\"" + fifo + "\">";
    EXPECT_EQ(as(kBob, "bob",
                 [&]() -> std::string {
                     if (mkfifo(fifo.c_str(), 0666) != 0) return "mkfifo";
                     int status = 0;
                     const std::string out =
                         kalvex4("add --everyone --subject '" + image + "Lunch' --text '" + image +
                                     "' --url 'https://x.example/" + image + "' --date " + today(),
                                 status);
                     return status == 0 ? "" : "bob's entry: " + out;
                 }),
              "");
    EXPECT_EQ(as(kAlice, "alice",
                 [&]() -> std::string {
                     const pid_t first = startProgram();
                     // Recorded as the message window for bob's entry opens.
                     if (!waitForText(tmp + "/Kalvex4.tmp", "aktywny_dziennik=log_glowny", 600)) {
                         stopProgram(first);
                         return "no message window for the public entry";
                     }
                     // A window stuck opening the pipe would leave a second start unanswered.
                     const int second = waitForEnd(startProgram("--editor"), 600);
                     stopProgram(first);
                     return second == 0 ? "" : "the running program did not answer a second start";
                 }),
              "");
}

TEST_F(Machine, AHugeSharedConfigurationFileSlowsNobodysStart) {
    EXPECT_EQ(as(kBob, "bob",
                 [&]() -> std::string {
                     const int fd = open((store.sciezka + "config.ini").c_str(), O_WRONLY);
                     if (fd < 0 || ftruncate(fd, 1ll << 30) != 0) return "bob could not grow it";
                     close(fd);
                     return "";
                 }),
              "");
    const FileNames alice = filesOf("alice");
    EXPECT_EQ(as(kAlice, "alice",
                 [&]() -> std::string {
                     const pid_t pid = startProgram();
                     // Written when the start's round of the logs has ended.
                     const bool started =
                         waitForText(alice.userConfig, "ostatnie_sprawdzenie", 900);
                     const rusage used = stopProgram(pid);
                     if (!started) return "the start did not end";
                     // Reading the file even once would take a gigabyte.
                     if (used.ru_maxrss > 600 * 1024)
                         return "the start took " + std::to_string(used.ru_maxrss / 1024) + " MB";
                     return "";
                 }),
              "");
}

TEST_F(Machine, ASecondNameOfThePublicLogBlocksNobody) {
    const FileNames bob = filesOf("bob");
    EXPECT_EQ(as(kAlice, "alice",
                 [&]() -> std::string {
                     // Every user may name the shared file again, in a folder of their choosing.
                     return link(bob.log_glowny.c_str(), (tmp + "/keep").c_str()) == 0 ? ""
                                                                                       : "link";
                 }),
              "");
    EXPECT_EQ(as(kBob, "bob",
                 [&]() -> std::string {
                     int status = 0;
                     const std::string out = kalvex4(
                         "add --everyone --subject 'After the link' --date 2099-03-03", status);
                     return status == 0 ? "" : "bob's add: " + out;
                 }),
              "");
    EXPECT_NE(readBytes(bob.log_glowny).find("After the link"), std::string::npos);
}

TEST_F(Machine, APublicLogThatIsAnotherNameOfAUsersFileIsNotWritten) {
    // Alice's notes, which her group may write. A planter on a machine without
    // protected hard links (root stands in) gives them the public log's name.
    const std::string notes = root + "/run-alice/notes";
    EXPECT_EQ(as(kAlice, "alice",
                 [&]() -> std::string {
                     std::ofstream(notes) << "[0]\r\nTytul=alice's notes\r\n";
                     return chmod(notes.c_str(), 0660) == 0 ? "" : "chmod";
                 }),
              "");
    const FileNames bob = filesOf("bob");
    ASSERT_EQ(unlink(bob.log_glowny.c_str()), 0);
    ASSERT_EQ(link(notes.c_str(), bob.log_glowny.c_str()), 0);
    EXPECT_EQ(as(kBob, "bob",
                 [&]() -> std::string {
                     int status = 0;
                     const std::string out = kalvex4(
                         "add --everyone --subject 'Into her notes' --date 2099-03-03", status);
                     if (status != 1 || out.find("second name") == std::string::npos)
                         return "bob's add: " + out;
                     return "";
                 }),
              "");
    EXPECT_EQ(readBytes(notes), "[0]\r\nTytul=alice's notes\r\n");
}

}  // namespace
