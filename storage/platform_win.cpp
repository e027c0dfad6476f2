#include <windows.h>

#include <vector>

#include "locations.h"
#include "look.h"
#include "profile.h"

namespace kv::storage {

namespace {

constexpr const char* kKey = "Software\\Wendrik\\Kalvex4";

std::string queryValue(HKEY key, const char* name) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return {};
    std::vector<char> buf(size + 1, '\0');
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &size) !=
        ERROR_SUCCESS)
        return {};
    return std::string(buf.data());
}

}  // namespace

std::string storeDescription() {
    return std::string("HKEY_LOCAL_MACHINE\\") + kKey;
}

std::optional<StoreValues> readStore() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    StoreValues v{queryValue(key, "sciezka"), queryValue(key, "sciezka_log"),
                  queryValue(key, "sciezka_log_staly"), queryValue(key, "sciezka_log_glowny")};
    RegCloseKey(key);
    return v;
}

void writeStore(const StoreValues& v) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        throw WriteError(storeDescription());
    auto set = [&](const char* name, const std::string& value) {
        if (RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS) {
            RegCloseKey(key);
            throw WriteError(storeDescription());
        }
    };
    set("sciezka", v.sciezka);
    set("sciezka_log", v.sciezka_log);
    set("sciezka_log_staly", v.sciezka_log_staly);
    set("sciezka_log_glowny", v.sciezka_log_glowny);
    RegCloseKey(key);
}

std::string storeWriteProblem() {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return "the registry key cannot be written by this user";
    RegCloseKey(key);
    return {};
}

std::vector<std::string> misownedUserFiles(const StoreValues&) {
    return {};  // Windows keeps each user's files by its own permissions
}

std::string logFolderProblem(const std::string& folder) {
    const bool full =
        folder.size() >= 3 && folder[1] == ':' && (folder[2] == '\\' || folder[2] == '/');
    const bool share = folder.rfind("\\\\", 0) == 0;
    if (!full && !share) return "is not a full path (it must begin with a drive, as C:\\)";
    std::string path = folder;
    while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return "does not exist";
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return "is a file, not a folder";
    if (attributes & FILE_ATTRIBUTE_READONLY) return "cannot be written by this user";
    return {};
}

std::string renameProblem(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return path + " cannot be found";
    if (attributes & FILE_ATTRIBUTE_READONLY) return path + " is read-only";
    return {};
}

std::string userName() {
    char buf[257];
    DWORD size = sizeof buf;
    if (!GetUserNameA(buf, &size)) return {};
    return std::string(buf);
}

std::string personalExchangePath() {
    char buf[MAX_PATH];
    DWORD n = GetTempPathA(MAX_PATH, buf);
    return (n > 0 && n < MAX_PATH ? std::string(buf, n) : std::string(".\\")) + "Kalvex4.tmp";
}

std::string exchangeProblem(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return {};
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return "it is a link, which is never followed";
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return "it is a folder, not a file";
    if (attributes & FILE_ATTRIBUTE_READONLY) return "it is read-only";
    return {};
}

std::string exchangePath() {
    char buf[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("KALVEX4_EXCHANGE", buf, MAX_PATH);
    if (n > 0 && n < MAX_PATH) return std::string(buf, n);
    // The user's own temporary folder: a shared file would let any user steer the hand-overs.
    return personalExchangePath();
}

}  // namespace kv::storage
