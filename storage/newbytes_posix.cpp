#include "newbytes_posix.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "fileio.h"

namespace kv::storage::posix {

namespace {

// Temporary files: those of a locked rewrite, and those of a first creation,
// which is made without a lock and so may be in progress in another process.
constexpr const char* kTempInfix = ".kv4new.";
constexpr const char* kCreateInfix = ".kv4create.";
constexpr time_t kCreateStaleSeconds = 600;

std::string writeTempAs(const std::string& target, const std::string& bytes, mode_t mode,
                        const char* infix);

}  // namespace

std::string errorText(int error) {
    return std::strerror(error);
}

bool writeAll(int fd, const std::string& bytes, off_t at) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n =
            pwrite(fd, bytes.data() + done, bytes.size() - done, at + static_cast<off_t>(done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

void syncFolder(const std::string& path) {
    int dfd = open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd < 0) return;
    fsync(dfd);
    close(dfd);
}

void removeStaleTemps(const std::string& target) {
    const std::string folder = folderOf(target);
    const std::string base = target.substr(target.find_last_of('/') + 1);
    const std::string rewrite = base + kTempInfix;
    const std::string create = base + kCreateInfix;
    const time_t now = time(nullptr);
    DIR* dir = opendir(folder.c_str());
    if (!dir) return;
    while (const dirent* e = readdir(dir)) {
        const std::string name = e->d_name;
        auto named = [&](const std::string& prefix) {
            return name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0;
        };
        const bool ofRewrite = named(rewrite);
        if (!ofRewrite && !named(create)) continue;
        struct stat st {};
        const std::string full = folder + name;
        if (lstat(full.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid())
            continue;
        if (ofRewrite || now - st.st_mtime > kCreateStaleSeconds) unlink(full.c_str());
    }
    closedir(dir);
}

bool createExclusively(const std::string& target, const std::string& bytes, mode_t mode) {
    const std::string tmp = writeTempAs(target, bytes, mode, kCreateInfix);
    if (link(tmp.c_str(), target.c_str()) == 0) {
        unlink(tmp.c_str());
        syncFolder(target);
        return true;
    }
    const int error = errno;
    if (error == EEXIST) {
        unlink(tmp.c_str());
        return false;
    }
    // A file system without hard links: the plain rename still never tears the file.
    if ((error == EPERM || error == ENOSYS || error == EOPNOTSUPP) &&
        rename(tmp.c_str(), target.c_str()) == 0) {
        syncFolder(target);
        return true;
    }
    unlink(tmp.c_str());
    throw WriteError(target, errorText(error));
}

std::string writeTemp(const std::string& target, const std::string& bytes, mode_t mode) {
    return writeTempAs(target, bytes, mode, kTempInfix);
}

namespace {

std::string writeTempAs(const std::string& target, const std::string& bytes, mode_t mode,
                        const char* infix) {
    std::string tmp = target + infix + "XXXXXX";
    int fd = mkostemp(tmp.data(), O_CLOEXEC);
    if (fd < 0) throw WriteError(target, errorText(errno));
    const bool ok = writeAll(fd, bytes) && fchmod(fd, mode) == 0 && fsync(fd) == 0;
    const int error = errno;
    close(fd);
    if (!ok) {
        unlink(tmp.c_str());
        throw WriteError(target, errorText(error));
    }
    return tmp;
}

}  // namespace

}  // namespace kv::storage::posix
