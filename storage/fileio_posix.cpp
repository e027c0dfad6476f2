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

namespace kv::storage {

namespace {

std::atomic<int> g_lockTimeoutMs{5000};
constexpr int kReadWaitMs = 1000;
ReadFunction g_read = ::read;

// Temporary files: those of a locked rewrite, and those of a first creation,
// which is made without a lock and so may be in progress in another process.
constexpr const char* kTempInfix = ".kv4new.";
constexpr const char* kCreateInfix = ".kv4create.";
constexpr time_t kCreateStaleSeconds = 600;

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

std::string errorText(int error) {
    return std::strerror(error);
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
    // A dangling link of the user's own is replaced by the file on writing.
    if (!realpath(path.c_str(), resolved)) return {path, {}};
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

bool writeAll(int fd, const std::string& bytes, off_t at = 0) {
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

void syncFolder(const std::string& path) {
    int dfd = open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd < 0) return;
    fsync(dfd);
    close(dfd);
}

// A write killed between creating its temporary file and renaming it leaves
// the file behind; the next writer, holding the lock, removes ours.
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

// The new bytes beside the target, complete and synced; the temporary name.
std::string writeTemp(const std::string& target, const std::string& bytes, mode_t mode,
                      const char* infix = kTempInfix) {
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

// A rewrite in place first writes the new bytes as a journal behind the old
// ones (and behind the length of the new ones, so that copying them to the
// front never reaches it):
//   "\n\x1Bkv4journal <length>\n" <bytes> "\x1Bkv4end <hash>\n"
// A complete journal at the end of a file is its content; an incomplete one
// (a write cut short) is ignored, and what stands before it is the content.
constexpr std::string_view kJournalBegin = "\n\x1Bkv4journal ";
constexpr std::string_view kJournalEnd = "\x1Bkv4end ";

std::string hashOf(std::string_view bytes) {
    std::uint64_t h = 14695981039346656037ull;  // FNV-1a
    for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
    return text;
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
    if (st.st_nlink != 1) throw WriteError(path, "it has a second name (a hard link)");
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

// Creates the file only if nobody did meanwhile; false when someone did.
bool createExclusively(const std::string& target, const std::string& bytes, mode_t mode) {
    const std::string tmp = writeTemp(target, bytes, mode, kCreateInfix);
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

}  // namespace

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

std::string journalOf(const std::string& bytes) {
    return std::string(kJournalBegin) + std::to_string(bytes.size()) + "\n" + bytes +
           std::string(kJournalEnd) + hashOf(bytes) + "\n";
}

namespace {

// What stands before a journal that was cut short: the old bytes, without the
// gap of NULs a journal written behind a longer length leaves before itself.
std::string beforeJournal(std::string bytes, std::size_t begin) {
    bytes.resize(begin);
    while (!bytes.empty() && bytes.back() == '\0') bytes.pop_back();
    return bytes;
}

bool allDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

enum class Tail { NotJournal, Cut, Complete };

// Reads the tail from a journal marker by the journal's own grammar. Text that
// merely contains the marker (a value, a hand-edited line) is no journal: its
// length is no number on a line of its own, or more follows than it announced.
Tail journalTail(std::string_view tail, std::string_view& content) {
    tail.remove_prefix(kJournalBegin.size());
    const std::size_t newline = tail.find('\n');
    if (newline == std::string_view::npos)  // cut inside the length
        return tail.size() <= 20 && allDigits(tail) ? Tail::Cut : Tail::NotJournal;
    const std::string_view length = tail.substr(0, newline);
    if (length.empty() || length.size() > 20 || !allDigits(length)) return Tail::NotJournal;
    const unsigned long long n = std::strtoull(std::string(length).c_str(), nullptr, 10);
    const std::string_view rest = tail.substr(newline + 1);
    if (n > rest.size()) return Tail::Cut;  // cut inside the new bytes
    content = rest.substr(0, n);
    const std::string trailer = std::string(kJournalEnd) + hashOf(content) + "\n";
    const std::string_view after = rest.substr(n);
    if (after == trailer) return Tail::Complete;
    return after.size() < trailer.size() && trailer.compare(0, after.size(), after) == 0
               ? Tail::Cut
               : Tail::NotJournal;
}

// Where a write cut inside the marker itself left a tail that begins it, or
// npos. After old bytes of ours (ending in CR LF) a lone line break shows only
// behind a gap.
std::size_t cutMarkerAt(std::string_view bytes) {
    const std::size_t partial = bytes.rfind('\n');
    if (partial != std::string_view::npos &&
        kJournalBegin.substr(0, bytes.size() - partial) == bytes.substr(partial) &&
        (partial + 1 < bytes.size() || (partial > 0 && bytes[partial - 1] == '\0')))
        return partial;
    return std::string_view::npos;
}

// Whether bytes would not read back as themselves: they end like a journal.
bool endsLikeJournal(std::string_view bytes) {
    const std::size_t begin = bytes.rfind(kJournalBegin);
    std::string_view content;
    if (begin != std::string_view::npos)
        return journalTail(bytes.substr(begin), content) != Tail::NotJournal;
    return cutMarkerAt(bytes) != std::string_view::npos;
}

}  // namespace

std::string contentOf(std::string bytes) {
    for (;;) {
        const std::size_t begin = bytes.rfind(kJournalBegin);
        if (begin != std::string::npos) {
            std::string_view content;
            switch (journalTail(std::string_view(bytes).substr(begin), content)) {
                case Tail::Complete:
                    return std::string(content);
                case Tail::Cut:
                    bytes =
                        beforeJournal(std::move(bytes), begin);  // an older one may stand before
                    continue;
                case Tail::NotJournal:
                    return bytes;
            }
        }
        const std::size_t partial = cutMarkerAt(bytes);
        return partial == std::string::npos ? bytes : beforeJournal(std::move(bytes), partial);
    }
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

void modifyFile(const std::string& path, const FileAccess& access, const FileChange& change) {
    // Each round either finishes or finds that another process replaced or
    // created the file meanwhile; then the new file is locked and read again.
    for (int round = 0; round < 1000; ++round) {
        const Target target = resolve(path, access.links);
        if (!target.refusal.empty()) throw WriteError(path, target.refusal);
        Fd fd(openForReading(target.path));
        if (fd.get() < 0) {
            const int error = errno;
            if (error == ELOOP) continue;  // a link appeared since resolving
            if (error != ENOENT && error != ENOTDIR)
                throw WriteError(path, "it cannot be read (" + errorText(error) + ")");
            if (!folderExists(target.path)) throw WriteError(path, "its folder does not exist");
            std::optional<std::string> bytes = change(FileContent{ReadStatus::Missing, {}, {}});
            if (!bytes) return;
            if (createExclusively(target.path, *bytes, newMode(access.sharing, nullptr))) return;
            continue;
        }
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
        if (lstat(target.path.c_str(), &now) != 0 || now.st_ino != st.st_ino ||
            now.st_dev != st.st_dev)
            continue;  // replaced while we waited for the lock
        FileContent current;
        if (!readAll(fd.get(), current.bytes, current.problem))
            throw WriteError(path, "it could not be read completely (" + current.problem +
                                       "); it was left as it was");
        const std::string raw = current.bytes;  // what a failed rewrite in place puts back
        current.bytes = contentOf(std::move(current.bytes));
        current.status = ReadStatus::Ok;
        std::optional<std::string> bytes = change(current);
        if (!bytes) return;
        // Only text with raw line breaks in its values can end like a journal;
        // saved, it would read back as something else.
        if (endsLikeJournal(*bytes))
            throw WriteError(path,
                             "its new text ends like an unfinished write and would be "
                             "read back wrongly; it was left as it was");
        removeStaleTemps(target.path);
        const std::string tmp = writeTemp(target.path, *bytes, newMode(access.sharing, &st));
        if (rename(tmp.c_str(), target.path.c_str()) == 0) {
            syncFolder(target.path);
            return;
        }
        const int error = errno;
        unlink(tmp.c_str());
        if ((error == EPERM || error == EACCES) && access.sharing == Sharing::Shared &&
            st.st_uid != geteuid())
            return rewriteInPlace(target.path, fd.get(), st, raw, *bytes);
        throw WriteError(path, errorText(error));
    }
    throw WriteError(path, "it keeps being replaced by another program");
}

}  // namespace kv::storage
