#include <windows.h>

#include <atomic>

#include "fileio.h"

namespace kv::storage {

namespace {

std::atomic<int> g_lockTimeoutMs{5000};

class Handle {
public:
    explicit Handle(HANDLE h) : m_h(h) {}
    ~Handle() {
        if (valid()) CloseHandle(m_h);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return m_h != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return m_h; }

private:
    HANDLE m_h;
};

bool isLink(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool folderExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(folderOf(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string errorText(DWORD error) {
    char buf[256] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                   buf, sizeof buf, nullptr);
    std::string text = buf;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == '.'))
        text.pop_back();
    return text.empty() ? "error " + std::to_string(error) : text;
}

FileContent readOpen(HANDLE h) {
    FileContent out;
    char buf[65536];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(h, buf, sizeof buf, &n, nullptr)) {
            out.status = ReadStatus::Unreadable;
            out.problem = errorText(GetLastError());
            out.bytes.clear();
            return out;
        }
        if (n == 0) break;
        out.bytes.append(buf, n);
    }
    out.status = ReadStatus::Ok;
    return out;
}

FileContent openFailure(const std::string& path, DWORD error) {
    FileContent out;
    if (error == ERROR_FILE_NOT_FOUND)
        out.status = ReadStatus::Missing;
    else if (error == ERROR_PATH_NOT_FOUND || !folderExists(path))
        out.status = ReadStatus::NoFolder;
    else {
        out.status = ReadStatus::Unreadable;
        out.problem = errorText(error);
    }
    return out;
}

HANDLE openForReading(const std::string& path) {
    return CreateFileA(path.c_str(), GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

int lockTimeoutMs() {
    return g_lockTimeoutMs;
}
void setLockTimeoutMs(int ms) {
    g_lockTimeoutMs = ms;
}

FileContent readFile(const std::string& path, const FileAccess& access) {
    if (access.links == LinkPolicy::Refuse && isLink(path))
        return FileContent{ReadStatus::Unreadable, {}, "it is a link, which is never followed"};
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return FileContent{ReadStatus::Unreadable, {}, "it is a folder, not a file"};
    Handle h(openForReading(path));
    if (!h.valid()) return openFailure(path, GetLastError());
    LARGE_INTEGER size{};
    if (GetFileSizeEx(h.get(), &size))
        if (std::string refusal =
                sizeRefusal(static_cast<unsigned long long>(size.QuadPart), access);
            !refusal.empty())
            return FileContent{ReadStatus::Unreadable, {}, refusal};
    return readOpen(h.get());
}

void modifyFile(const std::string& path, const FileAccess& access, const FileChange& change) {
    if (access.links == LinkPolicy::Refuse && isLink(path))
        throw WriteError(path, "it is a link, which is never followed");
    Handle lock(CreateFileA((path + ".lock").c_str(), GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr));
    if (!lock.valid()) {
        if (!folderExists(path)) throw WriteError(path, "its folder does not exist");
        throw WriteError(path, errorText(GetLastError()));
    }
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(lockTimeoutMs());
    for (;;) {
        OVERLAPPED ov{};
        if (LockFileEx(lock.get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                       MAXDWORD, &ov))
            break;
        if (GetTickCount64() >= deadline)
            throw WriteError(path, "another program kept it locked; try again later");
        Sleep(5);
    }
    struct Unlock {
        HANDLE h;
        ~Unlock() {
            OVERLAPPED ov{};
            UnlockFileEx(h, 0, MAXDWORD, MAXDWORD, &ov);
        }
    } unlock{lock.get()};

    FileContent current = readFile(path, access);
    if (current.status == ReadStatus::NoFolder) throw WriteError(path, "its folder does not exist");
    if (current.status == ReadStatus::Unreadable)
        throw WriteError(path, "it could not be read completely (" + current.problem +
                                   "); it was left as it was");
    std::optional<std::string> bytes = change(current);
    if (!bytes) return;

    const std::string tmp = path + ".new";
    {
        Handle h(CreateFileA(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!h.valid()) throw WriteError(path, errorText(GetLastError()));
        DWORD written = 0;
        if (!WriteFile(h.get(), bytes->data(), static_cast<DWORD>(bytes->size()), &written,
                       nullptr) ||
            written != bytes->size() || !FlushFileBuffers(h.get())) {
            const DWORD error = GetLastError();
            DeleteFileA(tmp.c_str());
            throw WriteError(path, errorText(error));
        }
    }
    if (!MoveFileExA(tmp.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        DeleteFileA(tmp.c_str());
        throw WriteError(path, errorText(error));
    }
}

}  // namespace kv::storage
