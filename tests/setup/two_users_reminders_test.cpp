// What one user did with the reminders (done for today, put off, settings,
// the last check) stays in that user's own file: another user neither sees it,
// changes it, nor plants it.

#include "machine.h"
#include "reminders.h"
#include "settings.h"

namespace kv::testing::users {

namespace {

// The shared public log's birthday, as both users read it.
StoredEntry sharedBirthday(const FileNames& files) {
    return readStoredEntry(Profile(files.log_glowny, logAccess(LogKind::Public)), 0);
}

}  // namespace

TEST_F(Machine, OneUsersRemindersNeitherReachNorBlockAnother) {
    const FileNames alice = filesOf("alice");
    const FileNames bob = filesOf("bob");
    EXPECT_EQ(as(kAlice, "alice",
                 [&]() -> std::string {
                     Profile pub(alice.log_glowny, logAccess(LogKind::Public));
                     if (addEntry(pub, LogKind::Public, entry("birthday", "rok", "wszyscy")) != 0)
                         return "could not add to the public log";
                     Profile mine(alice.userConfig, kPrivateFile);
                     const std::string key = contentKey(LogKind::Public, sharedBirthday(alice));
                     ReminderState(mine).markDone(key, "2026-12-08");
                     ReminderState(mine).snooze(key, LogKind::Public, "2026-12-08T10:00:00");
                     UserSettings(mine).setReminders({false, 1440, 5, true, false});
                     UserSettings(mine).setLastCheck("2026-12-08");
                     return "";
                 }),
              "");
    const std::string alicesBytes = readBytes(alice.userConfig);
    EXPECT_EQ(
        as(kBob, "bob",
           [&]() -> std::string {
               Profile his(bob.userConfig, kPrivateFile);
               const std::string key = contentKey(LogKind::Public, sharedBirthday(bob));
               if (ReminderState(his).doneOn(key, "2026-12-08"))
                   return "alice's done mark reached bob";
               if (!ReminderState(his).snoozes().empty()) return "alice's snooze reached bob";
               if (UserSettings(his).reminders().daysAhead != 0)
                   return "alice's settings reached bob";
               if (UserSettings(his).lastCheck()) return "alice's last check reached bob";
               if (std::ifstream(alice.userConfig).is_open()) return "bob reads alice's file";
               Profile hers(alice.userConfig, kPrivateFile);
               if (!throwsWriteError([&] { ReminderState(hers).markDone("x", "2026-12-09"); }))
                   return "bob wrote alice's reminders";
               return "";
           }),
        "");
    EXPECT_EQ(readBytes(alice.userConfig), alicesBytes);
}

TEST_F(Machine, AReminderFilePlantedForAnotherUserIsNotBelieved) {
    const FileNames alice = filesOf("alice");
    // Bob is first: he puts a file at alice's path saying all is done and checked.
    EXPECT_EQ(as(kBob, "bob",
                 [&]() -> std::string {
                     std::ofstream(alice.userConfig)
                         << "[kalvex4]\r\nostatnie_sprawdzenie=2099-01-01\r\nnadrabianie=0\r\n"
                            "[kalvex4_zrobione]\r\nabc=2026-12-08\r\n";
                     chmod(alice.userConfig.c_str(), 0644);
                     return "";
                 }),
              "");
    EXPECT_EQ(as(kAlice, "alice",
                 [&]() -> std::string {
                     Profile mine(alice.userConfig, kPrivateFile);
                     if (ReminderState(mine).doneOn("abc", "2026-12-08"))
                         return "believed bob's done mark";
                     if (UserSettings(mine).lastCheck()) return "believed bob's last check";
                     if (!UserSettings(mine).reminders().catchUp) return "believed bob's settings";
                     return "";
                 }),
              "");
}

}  // namespace kv::testing::users
