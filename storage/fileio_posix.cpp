#include "fileio.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kv::storage {

namespace {

class PosixLock final : public FileLock {
public:
    explicit PosixLock(int fd) : m_fd(fd) {}
    ~PosixLock() override {
        flock(m_fd, LOCK_UN);
        close(m_fd);
    }
    PosixLock(const PosixLock&) = delete;
    PosixLock& operator=(const PosixLock&) = delete;

private:
    int m_fd;
};

int openFlags(LinkPolicy links) { return O_CLOEXEC | (links == LinkPolicy::Refuse ? O_NOFOLLOW : 0); }

// Writes go to the file a link names, so that a linked log stays linked.
std::string writeTarget(const std::string& path, LinkPolicy links) {
    if (links == LinkPolicy::Refuse) return path;
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char resolved[PATH_MAX];
    if (!realpath(path.c_str(), resolved)) return path;
    return resolved;
}

bool writeAll(int fd, const std::string& bytes, off_t offset) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = pwrite(fd, bytes.data() + done, bytes.size() - done,
                           offset + static_cast<off_t>(done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Shared files live in folders where every user writes; they are created
// readable and writable by all, whatever the creator's umask.
void shareIfNew(int fd, bool existed, mode_t oldMode) {
    if (existed)
        fchmod(fd, oldMode & 07777);
    else
        fchmod(fd, 0666);
}

// Used only where the folder forbids replacing another user's file (a sticky
// temporary folder): one positioned write under the lock, then the length.
bool rewriteInPlace(const std::string& path, const std::string& bytes, LinkPolicy links) {
    int fd = open(path.c_str(), O_WRONLY | openFlags(links));
    if (fd < 0) return false;
    bool ok = writeAll(fd, bytes, 0) && ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 &&
              fsync(fd) == 0;
    close(fd);
    return ok;
}

}  // namespace

std::unique_ptr<FileLock> lockFile(const std::string& path, LinkPolicy links) {
    std::string lockPath = writeTarget(path, links) + ".lock";
    int fd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) fd = open(lockPath.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return nullptr;
    fchmod(fd, 0666);  // fails harmlessly when another user created it
    while (flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            close(fd);
            return nullptr;
        }
    }
    return std::make_unique<PosixLock>(fd);
}

std::optional<std::string> readWholeFile(const std::string& path, LinkPolicy links) {
    int fd = open(path.c_str(), O_RDONLY | openFlags(links));
    if (fd < 0) return std::nullopt;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return std::nullopt;
    }
    std::string out;
    char buf[16384];
    for (;;) {
        ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        out.append(buf, static_cast<std::size_t>(n));
    }
    close(fd);
    return out;
}

bool folderExists(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    struct stat st {};
    return stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool pathExists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

bool replaceFile(const std::string& path, const std::string& bytes, LinkPolicy links) {
    const std::string target = writeTarget(path, links);
    struct stat old {};
    bool existed = lstat(target.c_str(), &old) == 0;
    if (existed && S_ISLNK(old.st_mode)) return false;  // refused link
    if (existed && !S_ISREG(old.st_mode)) return false;

    std::string tmp = target + ".XXXXXX";
    int fd = mkstemp(tmp.data());
    if (fd < 0) return false;
    bool ok = writeAll(fd, bytes, 0) && fsync(fd) == 0;
    shareIfNew(fd, existed, old.st_mode);
    close(fd);
    if (ok && rename(tmp.c_str(), target.c_str()) == 0) return true;
    int renameError = errno;
    unlink(tmp.c_str());
    if (ok && existed && (renameError == EPERM || renameError == EACCES))
        return rewriteInPlace(target, bytes, links);
    return false;
}

}  // namespace kv::storage
