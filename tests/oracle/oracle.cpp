// Differential test of the profile engine against the Win32 profile functions.
//
// Each generated sequence starts from one file (or none), copied twice. Every
// operation goes to one copy through our engine and to the other through
// GetPrivateProfileStringA / WritePrivateProfileStringA; read results, success
// and the file bytes after every change must be identical.
//
//   oracle.exe [--seed S] [--sequences N] [--jobs J] [--only I] [--verbose]
//
// A difference prints the seed, the sequence and both files; --only replays
// one sequence of a seed.
//
// The inputs leave out the two things the engine does differently on purpose
// (written down beside IniDocument::parse):
//  - UTF-16 files, which the engine does not decode.
//  - Bytes 0x80-0xFF in a file that starts with a UTF-8 byte-order mark, which
//    the engine keeps as they are (Windows converts them to the code page).

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "inidocument.h"
#include "oracle_inputs.h"
#include "profile.h"

using kv::storage::Profile;
using kv::storage::WriteError;

using namespace kv::oracle;

namespace {

// ---- running -------------------------------------------------------------

std::optional<std::string> fileBytes(const std::string& path) {
    kv::storage::FileContent content = kv::storage::readFile(path, {});
    if (content.status != kv::storage::ReadStatus::Ok) return std::nullopt;
    return content.bytes;
}

bool putFile(const std::string& path, const std::string& bytes) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    CloseHandle(h);
    return ok;
}

// Wine keeps a parsed file and trusts it while the file's time is unchanged and
// over 2.1 s old. The engine reads the file every time; a stale file gets a new
// time so that a slow machine cannot make Wine answer from its cache.
void freshen(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    SetFileTime(h, nullptr, nullptr, &now);
    CloseHandle(h);
}

std::string shown(const std::optional<std::string>& s) {
    if (!s) return "(no file)";
    std::string out = "\"";
    const std::string& t = *s;
    for (std::size_t i = 0; i < t.size();) {
        unsigned char c = static_cast<unsigned char>(t[i]);
        std::size_t run = 1;
        while (i + run < t.size() && t[i + run] == t[i]) ++run;
        if (run >= 8) {  // the long values: say how long instead
            out += std::string(1, static_cast<char>(c)) + "{" + std::to_string(run) + "}";
            i += run;
            continue;
        }
        ++i;
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (c == '"' || c == '\\' || c == '{')
            out += std::string("\\") + static_cast<char>(c);
        else if (c < 0x20 || c >= 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else
            out += static_cast<char>(c);
    }
    return out + "\"";
}

std::string describe(const Op& o) {
    switch (o.kind) {
        case Kind::Read:
            return "read [" + shown(o.section) + "] " + shown(o.key) + " default " + shown(o.value);
        case Kind::Write:
            return "write [" + shown(o.section) + "] " + shown(o.key) + " = " + shown(o.value);
        case Kind::DeleteKey:
            return "delete [" + shown(o.section) + "] " + shown(o.key);
        case Kind::EraseSection:
            return "erase [" + shown(o.section) + "]";
    }
    return {};
}

struct Outcome {
    bool ok = true;
    std::string text;  // what a read returned
};

Outcome viaEngine(const Op& o, const std::string& path) {
    Profile ini(path);
    Outcome r;
    try {
        switch (o.kind) {
            case Kind::Read:
                r.text = ini.readString(o.section, o.key, o.value);
                break;
            case Kind::Write:
                ini.writeString(o.section, o.key, o.value);
                break;
            case Kind::DeleteKey:
                ini.deleteKey(o.section, o.key);
                break;
            case Kind::EraseSection:
                ini.eraseSection(o.section);
                break;
        }
    } catch (const WriteError&) {
        r.ok = false;
    }
    return r;
}

Outcome viaWindows(const Op& o, const std::string& path) {
    Outcome r;
    const char* file = path.c_str();
    switch (o.kind) {
        case Kind::Read: {
            char buf[1024];
            DWORD n = GetPrivateProfileStringA(o.section.c_str(), o.key.c_str(), o.value.c_str(),
                                               buf, sizeof buf, file);
            r.text.assign(buf, n);
            break;
        }
        case Kind::Write:
            r.ok = WritePrivateProfileStringA(o.section.c_str(), o.key.c_str(), o.value.c_str(),
                                              file) != 0;
            break;
        case Kind::DeleteKey:
            r.ok = WritePrivateProfileStringA(o.section.c_str(), o.key.c_str(), nullptr, file) != 0;
            break;
        case Kind::EraseSection:
            // Never both names NULL: that is the cache flush, and it crashes Wine 8.
            r.ok = WritePrivateProfileStringA(o.section.c_str(), nullptr, nullptr, file) != 0;
            break;
    }
    return r;
}

std::string g_root;
std::uint64_t g_reported = 0;
constexpr std::uint64_t kReportLimit = 5;
constexpr DWORD kSetupFailed = 0x7FFFFFFF;

std::uint64_t sequenceSeed(std::uint64_t seed, std::uint64_t index) {
    // splitmix64: neighbouring indexes give unrelated sequences.
    std::uint64_t z = seed * 0x9E3779B97F4A7C15ull + index + 0x632BE59BD9B4E019ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// Runs one sequence; returns false (after printing why) on the first difference.
bool run(std::uint64_t seed, std::uint64_t index, bool verbose) {
    Sequence s = generateSequence(sequenceSeed(seed, index));
    std::string tag = std::to_string(index);
    std::string folder = g_root + (s.folder ? "" : "missing" + tag + "\\");
    std::string ours = folder + "e" + tag + ".ini";
    std::string theirs = folder + "w" + tag + ".ini";
    if (s.start && (!putFile(ours, *s.start) || !putFile(theirs, *s.start))) {
        std::printf("cannot set up %s\n", ours.c_str());
        return false;
    }

    auto report = [&](std::size_t failing, const std::string& what) {
        if (++g_reported > kReportLimit) return;
        // One write per report, so that reports of parallel parts do not mix.
        std::string r = "DIFFERENCE seed " + std::to_string(seed) + " sequence " +
                        std::to_string(index) + ": " + what + "\n";
        r += std::string("  start: ") + (s.folder ? "" : "(folder missing) ") + shown(s.start) +
             "\n";
        for (std::size_t i = 0; i <= failing; ++i)
            r += std::string("  ") + (i == failing ? "=> " : "   ") + describe(s.ops[i]) + "\n";
        r += "  engine file:  " + shown(fileBytes(ours)) + "\n";
        r += "  windows file: " + shown(fileBytes(theirs)) + "\n";
        std::fwrite(r.data(), 1, r.size(), stdout);
        std::fflush(stdout);
    };

    bool same = true;
    ULONGLONG lastCall = GetTickCount64();
    for (std::size_t i = 0; i < s.ops.size() && same; ++i) {
        const Op& o = s.ops[i];
        Outcome a = viaEngine(o, ours);
        if (GetTickCount64() - lastCall > 1000) freshen(theirs);
        Outcome b = viaWindows(o, theirs);
        lastCall = GetTickCount64();
        if (verbose) std::printf("  %s -> %s\n", describe(o).c_str(), shown(b.text).c_str());
        if (a.ok != b.ok) {
            report(i, std::string("engine ") + (a.ok ? "succeeded" : "failed") + ", windows " +
                          (b.ok ? "succeeded" : "failed"));
            same = false;
        } else if (a.text != b.text) {
            report(i, "read gave engine " + shown(a.text) + ", windows " + shown(b.text));
            same = false;
        } else if (o.kind != Kind::Read && fileBytes(ours) != fileBytes(theirs)) {
            report(i, "files differ");
            same = false;
        }
    }
    DeleteFileA(ours.c_str());
    DeleteFileA(theirs.c_str());
    DeleteFileA((ours + ".lock").c_str());
    return same;
}

// Runs sequences [first, last) in this process; the number of differences.
std::uint64_t runRange(std::uint64_t seed, std::uint64_t first, std::uint64_t last, bool verbose) {
    char temp[MAX_PATH];
    DWORD n = GetTempPathA(MAX_PATH, temp);
    g_root = std::string(temp, n) + "kv4oracle-" + std::to_string(GetCurrentProcessId()) + "\\";
    if (n == 0 || n >= MAX_PATH || !CreateDirectoryA(g_root.c_str(), nullptr)) {
        std::printf("cannot create a folder in the temporary folder\n");
        std::exit(static_cast<int>(kSetupFailed));
    }
    std::uint64_t differences = 0;
    for (std::uint64_t i = first; i < last; ++i)
        if (!run(seed, i, verbose)) ++differences;
    RemoveDirectoryA(g_root.c_str());
    return differences;
}

// Splits the sequences over worker processes (this program again, one range
// each); their exit codes are their numbers of differences.
std::uint64_t runInParts(std::uint64_t seed, std::uint64_t count, unsigned jobs) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::vector<PROCESS_INFORMATION> workers;
    for (unsigned j = 0; j < jobs; ++j) {
        std::uint64_t first = count * j / jobs;
        std::uint64_t last = count * (j + 1) / jobs;
        std::string command = std::string("\"") + self + "\" --seed " + std::to_string(seed) +
                              " --range " + std::to_string(first) + " " + std::to_string(last);
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                            &si, &pi)) {
            std::printf("cannot start %s\n", command.c_str());
            std::exit(2);
        }
        CloseHandle(pi.hThread);
        workers.push_back(pi);
    }
    std::uint64_t differences = 0;
    bool failed = false;
    for (PROCESS_INFORMATION& pi : workers) {
        WaitForSingleObject(pi.hProcess, INFINITE);
        DWORD code = kSetupFailed;
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hProcess);
        if (code == kSetupFailed)
            failed = true;
        else
            differences += code;
    }
    if (failed) std::exit(2);
    return differences;
}

// Every user text, written protected by the Win32 function, reads back whole
// through the Win32 function and through the engine's text read.
std::uint64_t checkUserTexts() {
    char temp[MAX_PATH];
    const DWORD n = GetTempPathA(MAX_PATH, temp);
    const std::string file =
        std::string(temp, n) + "kv4oracle-texts-" + std::to_string(GetCurrentProcessId()) + ".ini";
    std::uint64_t differences = 0;
    for (const std::string& text : kUserTexts) {
        DeleteFileA(file.c_str());
        const std::string stored = kv::storage::protectValue(text);
        char buf[4096];
        const bool written = WritePrivateProfileStringA("0", "Tytul", stored.c_str(), file.c_str());
        const DWORD got = GetPrivateProfileStringA("0", "Tytul", "", buf, sizeof buf, file.c_str());
        const std::string windows(buf, got);
        const std::string ours = Profile(file).readText("0", "Tytul", "");
        if (!written || windows != text || ours != text) {
            ++differences;
            std::printf("USER TEXT %s: windows read %s, engine read %s\n", shown(text).c_str(),
                        shown(windows).c_str(), shown(ours).c_str());
        }
    }
    DeleteFileA(file.c_str());
    std::printf("%llu user texts written protected, %llu read back otherwise\n",
                static_cast<unsigned long long>(kUserTexts.size()),
                static_cast<unsigned long long>(differences));
    return differences;
}

}  // namespace

int main(int argc, char** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    std::uint64_t seed = 1;
    std::uint64_t count = 20000;
    std::optional<std::uint64_t> only;
    std::optional<std::pair<std::uint64_t, std::uint64_t>> range;
    unsigned jobs = 0;
    bool verbose = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--seed" && i + 1 < argc)
            seed = std::strtoull(argv[++i], nullptr, 10);
        else if (a == "--sequences" && i + 1 < argc)
            count = std::strtoull(argv[++i], nullptr, 10);
        else if (a == "--only" && i + 1 < argc)
            only = std::strtoull(argv[++i], nullptr, 10);
        else if (a == "--jobs" && i + 1 < argc)
            jobs = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
        else if (a == "--range" && i + 2 < argc) {
            range = {std::strtoull(argv[i + 1], nullptr, 10),
                     std::strtoull(argv[i + 2], nullptr, 10)};
            i += 2;
        } else if (a == "--verbose")
            verbose = true;
        else {
            std::printf(
                "usage: oracle.exe [--seed S] [--sequences N] [--jobs J] [--only I] [--verbose]\n");
            return 2;
        }
    }

    if (range) {  // a worker
        std::uint64_t d = runRange(seed, range->first, range->second, false);
        std::fflush(stdout);
        return static_cast<int>(std::min<std::uint64_t>(d, kSetupFailed - 1));
    }
    if (jobs == 0) {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        jobs = std::clamp<unsigned>(info.dwNumberOfProcessors, 1, 4);
    }
    std::uint64_t differences = only ? 0 : checkUserTexts();
    std::uint64_t sequences = only ? 1 : count;
    if (only)
        differences += runRange(seed, *only, *only + 1, verbose);
    else if (jobs == 1 || count < 100)
        differences += runRange(seed, 0, count, verbose);
    else
        differences += runInParts(seed, count, jobs);
    if (differences > kReportLimit && !only)
        std::printf("(the first %llu differences of each part are shown)\n",
                    static_cast<unsigned long long>(kReportLimit));
    std::printf("%llu sequences, %llu differences\n", static_cast<unsigned long long>(sequences),
                static_cast<unsigned long long>(differences));
    return differences == 0 ? 0 : 1;
}
