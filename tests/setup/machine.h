#pragma once
// A machine laid out by kalvex4-setup in a sandbox, and a way to run checks as
// one of two unprivileged users on it. Needs root to switch uids.

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "exchange.h"
#include "fileset.h"
#include "locations.h"
#include "logbook.h"
#include "notices.h"
#include "sandbox.h"

namespace kv::testing::users {

namespace fs = std::filesystem;
using namespace kv::storage;

inline constexpr uid_t kAlice = 60001;
inline constexpr uid_t kBob = 60002;

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

struct Machine : ::testing::Test {
    std::string root;
    StoreValues store;
    std::string tmp;  // stands for /tmp: sticky, every user writes there

    void SetUp() override {
        if (geteuid() != 0) GTEST_SKIP() << "switching to two users needs root";
        if (!kv::testing::canSwitchTo(kAlice) || !kv::testing::canSwitchTo(kBob))
            GTEST_SKIP() << "this system does not let root become uids " << kAlice << " and "
                         << kBob;
        std::string tmpl = (fs::temp_directory_path() / "kv4users.XXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        root = tmpl;
        chmod(root.c_str(), 0755);
        const std::string command =
            std::string(KV_SETUP_BINARY) + " --sandbox " + root + " >/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0);
        setenv("KALVEX4_STORE", (root + "/Kalvex4.conf").c_str(), 1);
        store = *readStore();
        tmp = root + "/tmp";
        fs::create_directory(tmp);
        chmod(tmp.c_str(), 01777);
        setenv("KALVEX4_EXCHANGE", (tmp + "/Kalvex4.tmp").c_str(), 1);
        for (const char* user : {"alice", "bob"}) {
            const std::string runtime = root + "/run-" + user;
            fs::create_directory(runtime);
            chmod(runtime.c_str(), 0700);
            if (chown(runtime.c_str(), std::string(user) == "alice" ? kAlice : kBob, kAlice) != 0)
                FAIL() << "chown";
        }
    }
    void TearDown() override {
        if (!root.empty()) fs::remove_all(root);
    }

    FileNames filesOf(const std::string& user) const { return buildFileNames(store, user); }

    // Runs check as uid in a child process; its text is empty when every
    // expectation held, otherwise it says which failed.
    template <typename Check>
    std::string as(uid_t uid, const std::string& user, Check check) {
        int out[2];
        if (pipe(out) != 0) return "pipe";
        const pid_t pid = fork();
        if (pid == 0) {
            close(out[0]);
            std::string failure;
            if (setgroups(0, nullptr) != 0 || setgid(kAlice) != 0 || setuid(uid) != 0) {
                failure = "could not switch to uid " + std::to_string(uid);
            } else {
                setenv("USER", user.c_str(), 1);
                setenv("HOME", (root + "/run-" + user).c_str(), 1);
                setenv("XDG_RUNTIME_DIR", (root + "/run-" + user).c_str(), 1);
                setNoticeHandler([](const std::string&) {});
                try {
                    failure = check();
                } catch (const std::exception& e) {
                    failure = std::string("unexpected exception: ") + e.what();
                }
            }
            (void)!write(out[1], failure.data(), failure.size());
            _exit(0);
        }
        close(out[1]);
        std::string text;
        char buf[512];
        ssize_t n;
        while ((n = read(out[0], buf, sizeof buf)) > 0)
            text.append(buf, static_cast<std::size_t>(n));
        close(out[0]);
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status)) return "child died: " + text;
        return text;
    }
};

inline EntryData entry(const std::string& title, const std::string& mode = "",
                       const std::string& receiver = "") {
    EntryData e;
    e.tytul = title;
    e.informacja = "Text of " + title;
    e.data = "2026-12-08";
    e.wyswietlanie = mode;
    e.odbiorca = receiver;
    return e;
}

// Runs the program with words (shell-quoted by the caller); its output, and its
// exit status in status.
inline std::string kalvex4(const std::string& words, int& status) {
    FILE* pipe = popen((std::string(KV_PROGRAM) + " " + words + " 2>&1").c_str(), "r");
    if (!pipe) return "popen";
    std::string out;
    char buf[512];
    while (std::size_t n = fread(buf, 1, sizeof buf, pipe)) out.append(buf, n);
    const int raw = pclose(pipe);
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return out;
}

template <typename F>
bool throwsWriteError(F f) {
    try {
        f();
    } catch (const WriteError&) {
        return true;
    }
    return false;
}

}  // namespace kv::testing::users
