// What an ordinary user may not change of the administrator's layout, said
// before anything is written: the look's manifest and the log folders.

#include <sys/stat.h>

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

}  // namespace
