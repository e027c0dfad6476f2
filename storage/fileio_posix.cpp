#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <thread>

#include "fileio.h"
#include "fileio_testing.h"
#include "journal.h"
#include "newbytes_posix.h"

namespace kv::storage {

using namespace posix;

namespace {

std::atomic<int> g_lockTimeoutMs{5000};
constexpr int kReadWaitMs = 1000;
ReadFunction g_read = ::read;

// Closes a descriptor (and so drops its lock) on every way out.
class Fd {
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd() {
        if (m_fd >= 0) close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    void reset(int fd = -1) {
        if (m_fd >= 0) close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd;
};

bool folderExists(const std::string& path) {
    struct stat st {};
    return stat(folderOf(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A link is followed only when it is the user's own or the administrator's:
// another user's link at one of our paths must not choose where we write.
bool trustedLink(const struct stat& link) {
    return link.st_uid == geteuid() || link.st_uid == 0;
}

struct Target {
    std::string path;     // where the bytes are, links resolved
    std::string refusal;  // set when the path must not be used
};

Target resolve(const std::string& path, LinkPolicy links) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return {path, {}};
    if (links == LinkPolicy::Refuse)
        return {path, "it is a symbolic link, which is never followed"};
    if (!trustedLink(st)) return {path, "it is a symbolic link made by another user"};
    char resolved[PATH_MAX];
    // Nothing is ever created through a link: where it leads was chosen when
    // it was made, and may since have become somebody else's.
    if (!realpath(path.c_str(), resolved))
        return {path, "it is a symbolic link to something that is not there (" + errorText(errno) +
                          "); remove the link or make what it names"};
    return {resolved, {}};
}

// Why an opened file may not be used, or nothing.
std::string refusalOf(const std::string& path, const struct stat& st, const FileAccess& access) {
    if (S_ISDIR(st.st_mode)) return "it is a folder, not a file";
    if (!S_ISREG(st.st_mode)) return "it is not a regular file";
    // Planted before this user's first use, it can only go by the administrator's hand.
    if (access.sharing == Sharing::Private && st.st_uid != geteuid())
        return "it belongs to another user, " + ownerName(st.st_uid) +
               ", and only the administrator can remove it (rm '" + path +
               "'; kalvex4-setup --system lists such files)";
    return sizeRefusal(static_cast<unsigned long long>(st.st_size), access);
}

// Opens without blocking on a planted pipe, then reads in blocking mode.
int openForReading(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

// The whole file or, on a read error, the reason.
bool readAll(int fd, std::string& out, std::string& problem) {
    char buf[65536];
    for (;;) {
        ssize_t n = g_read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            problem = errorText(errno);
            return false;
        }
        if (n == 0) return true;
        out.append(buf, static_cast<std::size_t>(n));
    }
}

bool lockWithin(int fd, int timeoutMs, int kind = LOCK_EX) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (flock(fd, kind | LOCK_NB) == 0) return true;
        if (errno != EWOULDBLOCK && errno != EINTR) return false;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

// The administrator's files are replaced by a rename, and anyone may lock a
// file they can read: their writer locks a file beside them that only the
// owner of a closed folder can open. -1 where the file itself is to be locked.
int systemLockFor(const std::string& path, Sharing sharing) {
    if (sharing != Sharing::System) return -1;
    struct stat dir {};
    const std::string folder = folderOf(path);
    if (stat(folder.c_str(), &dir) != 0 || (dir.st_mode & 0022) != 0 || dir.st_uid != geteuid())
        return -1;
    const std::string name = path.substr(folder.size());
    return open((folder + "." + name + ".lock").c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC,
                0600);
}

mode_t newMode(Sharing sharing, const struct stat* old) {
    switch (sharing) {
        case Sharing::Private:
            return 0600;
        case Sharing::Shared:
            return 0666;
        case Sharing::System:
            return old ? (old->st_mode & 0777) : 0644;
    }
    return 0600;
}

// Claims the room a rewrite will need, without changing the file: on a full
// disk the rewrite then fails before it has written anything. A file system
// that cannot claim room ahead leaves that to the undo of a failed rewrite.
bool reserveRoom(int fd, off_t size) {
#ifdef __linux__
    if (fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, size) == 0) return true;
    return errno == EOPNOTSUPP || errno == ENOSYS;
#else
    (void)fd;
    (void)size;
    return true;
#endif
}

// Where a sticky folder forbids replacing another user's shared file: a
// journaled write into the locked file itself, never into another name of it.
void rewriteInPlace(const std::string& path, int lockedFd, const struct stat& st,
                    const std::string& before, const std::string& bytes) {
    // Another name can make this inode someone else's file that we may write
    // and its planter may not. A file every user may write gives nobody more
    // by a second name, so a link made later to the shared file blocks no one.
    if (st.st_nlink != 1 && (st.st_mode & S_IWOTH) == 0)
        throw WriteError(path,
                         "it has a second name (a hard link) and not every user may write it, so "
                         "it may be another user's file given this name; ask the administrator to "
                         "see whose it is (ls -li) and to remove the name that does not belong");
    Fd fd(open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    if (fd.get() < 0) throw WriteError(path, "it belongs to another user who has not shared it");
    struct stat now {};
    struct stat locked {};
    if (fstat(fd.get(), &now) != 0 || fstat(lockedFd, &locked) != 0 ||
        now.st_ino != locked.st_ino || now.st_dev != locked.st_dev)
        throw WriteError(path, "it was replaced while being written");
    // The new bytes go first behind the old ones - and behind where the copy to
    // the front will reach - complete and synced: a crash while they are copied
    // leaves them there to be read instead.
    const off_t journalAt = std::max(now.st_size, static_cast<off_t>(bytes.size()));
    const std::string journal = journalOf(bytes);
    if (!reserveRoom(fd.get(), journalAt + static_cast<off_t>(journal.size())))
        throw WriteError(path, errorText(errno) + "; it was left as it was");
    bool copying = false;
    if (writeAll(fd.get(), journal, journalAt) && fsync(fd.get()) == 0 &&
        (copying = true, writeAll(fd.get(), bytes)) &&
        ftruncate(fd.get(), static_cast<off_t>(bytes.size())) == 0 && fsync(fd.get()) == 0)
        return;
    // A write reported as failed leaves the file as it was: its old bytes, no journal.
    const int error = errno;
    if (copying) (void)writeAll(fd.get(), before);
    (void)!ftruncate(fd.get(), now.st_size);
    fsync(fd.get());
    throw WriteError(path, errorText(error));
}

}  // namespace

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

void setReadFunctionForTesting(ReadFunction read) {
    g_read = read ? read : ::read;
}

int lockTimeoutMs() {
    return g_lockTimeoutMs;
}
void setLockTimeoutMs(int ms) {
    g_lockTimeoutMs = ms;
}

FileContent readFile(const std::string& path, const FileAccess& access) {
    FileContent out;
    const Target target = resolve(path, access.links);
    if (!target.refusal.empty()) {
        out.status = ReadStatus::Unreadable;
        out.problem = target.refusal;
        return out;
    }
    Fd fd(openForReading(target.path));
    if (fd.get() < 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) {
            out.status = folderExists(target.path) ? ReadStatus::Missing : ReadStatus::NoFolder;
        } else {
            out.status = ReadStatus::Unreadable;
            out.problem = error == ELOOP ? "it is a symbolic link, which is never followed"
                                         : errorText(error);
        }
        return out;
    }
    struct stat st {};
    if (fstat(fd.get(), &st) != 0) {
        out.status = ReadStatus::Unreadable;
        out.problem = errorText(errno);
        return out;
    }
    out.problem = refusalOf(target.path, st, access);
    // A shared file that another user rewrites in place is read between two
    // writes; a lock held on and on delays the read a moment, never stops it.
    // Other files are only ever replaced by a rename: they are read unlocked.
    if (out.problem.empty() && access.sharing == Sharing::Shared)
        lockWithin(fd.get(), std::min(lockTimeoutMs(), kReadWaitMs), LOCK_SH);
    if (out.problem.empty() && readAll(fd.get(), out.bytes, out.problem)) {
        out.bytes = contentOf(std::move(out.bytes));
        out.status = ReadStatus::Ok;
        return out;
    }
    out.status = ReadStatus::Unreadable;
    out.bytes.clear();
    return out;
}

namespace {

// What one round of modifyFile came to: done, or the file changed under it.
enum class Round { Done, Again };

// No file at the path: created only if nobody did meanwhile.
Round createMissing(const std::string& path, const std::string& target, int error,
                    const FileAccess& access, const FileChange& change) {
    if (error == ELOOP) return Round::Again;  // a link appeared since resolving
    if (error != ENOENT && error != ENOTDIR)
        throw WriteError(path, "it cannot be read (" + errorText(error) + ")");
    if (!folderExists(target)) throw WriteError(path, "its folder does not exist");
    std::optional<std::string> bytes = change(FileContent{ReadStatus::Missing, {}, {}});
    if (!bytes) return Round::Done;
    return createExclusively(target, *bytes, newMode(access.sharing, nullptr)) ? Round::Done
                                                                               : Round::Again;
}

// The new bytes over the locked file: beside it and renamed, or in place where
// a sticky folder forbids replacing another user's shared file.
void replaceLocked(const std::string& path, const std::string& target, int fd,
                   const struct stat& st, const std::string& raw, const std::string& bytes,
                   const FileAccess& access) {
    // Only text with raw line breaks in its values can end like a journal;
    // saved, it would read back as something else.
    if (endsLikeJournal(bytes))
        throw WriteError(path,
                         "its new text ends like an unfinished write and would be "
                         "read back wrongly; it was left as it was");
    removeStaleTemps(target);
    const std::string tmp = writeTemp(target, bytes, newMode(access.sharing, &st));
    if (rename(tmp.c_str(), target.c_str()) == 0) {
        syncFolder(target);
        return;
    }
    const int error = errno;
    unlink(tmp.c_str());
    if ((error == EPERM || error == EACCES) && access.sharing == Sharing::Shared &&
        st.st_uid != geteuid())
        return rewriteInPlace(target, fd, st, raw, bytes);
    throw WriteError(path, errorText(error));
}

// One round: the file opened, checked, locked, read, changed and written.
Round modifyRound(const std::string& path, const FileAccess& access, const FileChange& change) {
    const Target target = resolve(path, access.links);
    if (!target.refusal.empty()) throw WriteError(path, target.refusal);
    Fd fd(openForReading(target.path));
    if (fd.get() < 0) return createMissing(path, target.path, errno, access, change);
    struct stat st {};
    if (fstat(fd.get(), &st) != 0) throw WriteError(path, errorText(errno));
    if (std::string refusal = refusalOf(target.path, st, access); !refusal.empty())
        throw WriteError(path, refusal);
    const Fd guard(systemLockFor(target.path, access.sharing));
    if (!lockWithin(guard.get() >= 0 ? guard.get() : fd.get(), lockTimeoutMs()))
        throw WriteError(path, "another program kept it locked for " +
                                   std::to_string((lockTimeoutMs() + 999) / 1000) +
                                   " seconds; try again later");
    struct stat now {};
    if (lstat(target.path.c_str(), &now) != 0 || now.st_ino != st.st_ino || now.st_dev != st.st_dev)
        return Round::Again;  // replaced while we waited for the lock
    FileContent current;
    if (!readAll(fd.get(), current.bytes, current.problem))
        throw WriteError(path, "it could not be read completely (" + current.problem +
                                   "); it was left as it was");
    const std::string raw = current.bytes;  // what a failed rewrite in place puts back
    current.bytes = contentOf(std::move(current.bytes));
    current.status = ReadStatus::Ok;
    const std::optional<std::string> bytes = change(current);
    if (bytes) replaceLocked(path, target.path, fd.get(), st, raw, *bytes, access);
    return Round::Done;
}

}  // namespace

void modifyFile(const std::string& path, const FileAccess& access, const FileChange& change) {
    // Each round either finishes or finds that another process replaced or
    // created the file meanwhile; then the new file is locked and read again.
    for (int round = 0; round < 1000; ++round)
        if (modifyRound(path, access, change) == Round::Done) return;
    throw WriteError(path, "it keeps being replaced by another program");
}

}  // namespace kv::storage
