#include "fileio.h"

#include <windows.h>

namespace kv::storage {

namespace {

class WinLock final : public FileLock {
public:
    explicit WinLock(HANDLE h) : m_handle(h) {}
    ~WinLock() override {
        OVERLAPPED ov{};
        UnlockFileEx(m_handle, 0, MAXDWORD, MAXDWORD, &ov);
        CloseHandle(m_handle);
    }
    WinLock(const WinLock&) = delete;
    WinLock& operator=(const WinLock&) = delete;

private:
    HANDLE m_handle;
};

bool isLink(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

}  // namespace

std::unique_ptr<FileLock> lockFile(const std::string& path, LinkPolicy) {
    std::string lockPath = path + ".lock";
    HANDLE h = CreateFileA(lockPath.c_str(), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    OVERLAPPED ov{};
    if (!LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &ov)) {
        CloseHandle(h);
        return nullptr;
    }
    return std::make_unique<WinLock>(h);
}

std::optional<std::string> readWholeFile(const std::string& path, LinkPolicy links) {
    if (links == LinkPolicy::Refuse && isLink(path)) return std::nullopt;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string out;
    char buf[16384];
    DWORD n = 0;
    while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0) out.append(buf, n);
    CloseHandle(h);
    return out;
}

bool folderExists(const std::string& path) {
    std::size_t slash = path.find_last_of("/\\");
    std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    DWORD attributes = GetFileAttributesA(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool pathExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool replaceFile(const std::string& path, const std::string& bytes, LinkPolicy links) {
    if (links == LinkPolicy::Refuse && isLink(path)) return false;
    std::string tmp = path + ".new";
    HANDLE h = CreateFileA(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size() && FlushFileBuffers(h);
    CloseHandle(h);
    if (ok && MoveFileExA(tmp.c_str(), path.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileA(tmp.c_str());
    return false;
}

}  // namespace kv::storage
