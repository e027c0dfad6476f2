// Several processes write the same files at once: every update survives and
// the files stay well formed.

#include <gtest/gtest.h>

#include <filesystem>

#include "logbook.h"
#include "profile.h"
#include "sandbox.h"

#ifndef _WIN32
#include <sys/wait.h>

#include <set>

using namespace kv::storage;

namespace {

template <typename Work>
void inProcesses(int count, Work work) {
    std::vector<pid_t> children;
    for (int p = 0; p < count; ++p) {
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            int rc = 0;
            try {
                work(p);
            } catch (...) {
                rc = 1;
            }
            _exit(rc);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
}

TEST(Concurrency, EveryWriteOfSeveralProcessesSurvives) {
    kv::testing::TempDir dir;
    const std::string path = dir.file("shared.ini");
    constexpr int kProcesses = 6, kWrites = 40;
    inProcesses(kProcesses, [&](int p) {
        Profile ini(path);
        for (int i = 0; i < kWrites; ++i)
            ini.writeString("P" + std::to_string(p), "k" + std::to_string(i),
                            std::to_string(i * p));
    });
    Profile ini(path);
    for (int p = 0; p < kProcesses; ++p)
        for (int i = 0; i < kWrites; ++i)
            ASSERT_EQ(ini.readString("P" + std::to_string(p), "k" + std::to_string(i), "lost"),
                      std::to_string(i * p));
}

TEST(Concurrency, AddsAndRemovesInOneLogLeaveItPackedWithNothingLost) {
    kv::testing::TempDir dir;
    const std::string path = dir.file("log4.ini");
    constexpr int kProcesses = 4, kAdds = 10;
    inProcesses(kProcesses, [&](int p) {
        Profile log(path);
        for (int i = 0; i < kAdds; ++i) {
            EntryData e;
            e.tytul = "p" + std::to_string(p) + "-" + std::to_string(i);
            e.data = "2026-01-01";
            e.wyswietlanie = "raz";
            e.odbiorca = "wszyscy";
            addEntry(log, LogKind::Public, e);
            // Every process takes back its own even entries. Others may move
            // it down meanwhile: look again, but a lost entry fails, not hangs.
            bool gone = i % 2 != 0;
            for (int round = 0; round < 1000 && !gone; ++round) {
                for (int n = 0; n < kSlots && !gone; ++n) {
                    StoredEntry s = readStoredEntry(log, n);
                    gone = s.tytul == e.tytul &&
                           removeEntry(log, LogKind::Public, n, RemovalOrder::DeleteWindow, s);
                }
            }
            if (!gone) throw std::runtime_error("entry " + e.tytul + " was lost");
        }
    });
    Profile log(path);
    std::set<std::string> titles;
    int count = 0;
    while (count < kSlots && isOccupied(log, count)) {
        EXPECT_EQ(log.readString(std::to_string(count), "Numer", ""), std::to_string(count));
        titles.insert(log.readString(std::to_string(count), "Tytul", ""));
        ++count;
    }
    for (int n = count; n < kSlots; ++n) EXPECT_FALSE(isOccupied(log, n)) << n;
    std::set<std::string> expected;
    for (int p = 0; p < kProcesses; ++p)
        for (int i = 1; i < kAdds; i += 2)
            expected.insert("p" + std::to_string(p) + "-" + std::to_string(i));
    EXPECT_EQ(titles, expected);
}

}  // namespace
#endif
