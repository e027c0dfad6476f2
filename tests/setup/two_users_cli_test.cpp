// The command line as two users of one machine: each one's private log stays
// theirs, what one sends the other goes through the public log, and no export
// replaces a file its user cannot read.

#include <sys/stat.h>

#include "machine.h"

using namespace kv::testing::users;

namespace {

TEST_F(Machine, OneUsersCommandsNeitherReadNorChangeAnothersPrivateLog) {
    const FileNames alice = filesOf("alice");
    const std::string theirs = tmp + "/alice.ics";
    EXPECT_EQ(as(kAlice, "alice",
                 [&]() -> std::string {
                     int status = 0;
                     const std::string out =
                         kalvex4("add --subject 'Alice alone' --date 2099-01-01", status);
                     if (status != 0) return "alice could not add: " + out;
                     std::FILE* f = std::fopen(theirs.c_str(), "w");
                     std::fputs("alice's own calendar", f);
                     std::fclose(f);
                     chmod(theirs.c_str(), 0600);
                     return "";
                 }),
              "");
    const std::string alicesLog = readBytes(alice.log);
    EXPECT_EQ(as(kBob, "bob",
                 [&]() -> std::string {
                     int status = 0;
                     std::string out = kalvex4("list --log private --json", status);
                     if (status != 0 || out.find("Alice alone") != std::string::npos)
                         return "bob's list: " + out;
                     out = kalvex4("remove private 0", status);
                     if (status != 1) return "bob's remove: " + out;
                     out =
                         kalvex4("add --subject 'From bob' --date 2099-01-02 --for alice", status);
                     if (status != 0 || out.find("public log") == std::string::npos)
                         return "bob's message to alice: " + out;
                     out = kalvex4("export --ics " + theirs, status);
                     if (status != 1 || out.find("cannot read it") == std::string::npos)
                         return "bob's export over alice's file: " + out;
                     return "";
                 }),
              "");
    EXPECT_EQ(readBytes(alice.log), alicesLog);
    EXPECT_EQ(readBytes(theirs), "alice's own calendar");
    EXPECT_EQ(as(kAlice, "alice",
                 [&]() -> std::string {
                     int status = 0;
                     const std::string out = kalvex4("list --due 2099-01-02", status);
                     return out.find("From bob") != std::string::npos ? "" : "alice's due: " + out;
                 }),
              "");
}

}  // namespace
