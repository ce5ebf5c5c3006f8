// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/ZFile.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// The kernel gives up on a path after this many links (ELOOP); so do we.
constexpr int kMaxLinkHops = 40;

// Temporary names are ".tsr-", eight hexadecimal digits of the target's name and six
// random characters: short enough for a folder that holds a target of the longest name the
// file system allows, and tied to the target so that its next save finds what an
// interrupted one left.
constexpr const char kTempPrefix[] = ".tsr-";
constexpr int kTempRandomChars = 6;
constexpr int kTempAttempts = 100;

// Splits path at its last "/" into the folder ("." when there is none, "/" at the root)
// and the name after it.
void SplitPath(ZStr path, ZString& dir, ZString& name)
{
    int32_t slash = -1;
    for (int32_t i = 0; i < path.len; ++i) {
        if (path.ptr[i] == '/') {
            slash = i;
        }
    }
    if (slash < 0) {
        dir.Assign(".");
        name.Assign(path);
    } else {
        dir.Assign(path.ptr, slash == 0 ? 1 : slash);
        name.Assign(path.Sub(slash + 1));
    }
}

// Follows symbolic links from path to the file they finally name. exists tells whether it
// is there (st then describes it); a dangling link names the file to create. A relative link
// is read from the folder that holds it, as the kernel reads it.
bool ResolveTarget(ZStr path, ZString& target, struct stat& st, bool& exists, int& code)
{
    target.Assign(path);
    for (int hop = 0;; ++hop) {
        if (::lstat(target.Text(), &st) != 0) {
            if (errno != ENOENT) {
                code = errno;
                return false;
            }
            exists = false;
            return true;
        }
        if (!S_ISLNK(st.st_mode)) {
            exists = true;
            return true;
        }
        if (hop == kMaxLinkHops) {
            code = ELOOP;
            return false;
        }
        char link[PATH_MAX];
        const ssize_t n = ::readlink(target.Text(), link, sizeof link);
        if (n < 0) {
            code = errno;
            return false;
        }
        if (size_t(n) == sizeof link) {
            code = ENAMETOOLONG;
            return false;
        }
        if (link[0] == '/') {
            target.Assign(link, int32_t(n));
        } else {
            ZString dir, name;
            SplitPath(target, dir, name);
            dir.Append('/');
            dir.Append(link, int32_t(n));
            target = std::move(dir);
        }
    }
}

// FNV-1a, enough to keep the temporary files of different targets apart.
uint32_t NameHash(ZStr name)
{
    uint32_t h = 2166136261u;
    for (char c : name) {
        h = (h ^ uint8_t(c)) * 16777619u;
    }
    return h;
}

ZString TempPrefix(ZStr name)
{
    ZString prefix;
    prefix.Format("%s%08x-", kTempPrefix, unsigned(NameHash(name)));
    return prefix;
}

bool IsTempName(const char* entry, ZStr prefix)
{
    const ZStr e(entry);
    if (e.len != prefix.len + kTempRandomChars || !e.StartsWith(prefix)) {
        return false;
    }
    for (char c : e.Sub(prefix.len)) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) {
            return false;
        }
    }
    return true;
}

// Six characters from the kernel's random source; the clock and the process id where it
// has none to give, which O_EXCL makes safe, only slower to find a free name.
void AppendRandomChars(ZString& out, int attempt)
{
    static constexpr char kChars[] =
        "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    unsigned char bytes[kTempRandomChars];
    if (::getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != ssize_t(sizeof bytes)) {
        timespec ts{};
        ::clock_gettime(CLOCK_REALTIME, &ts);
        uint64_t x = uint64_t(ts.tv_nsec) ^ (uint64_t(ts.tv_sec) << 30) ^
                     (uint64_t(::getpid()) << 12) ^ uint64_t(attempt) * 0x9E3779B97F4A7C15ull;
        for (unsigned char& b : bytes) {
            x ^= x >> 29;
            x *= 0xBF58476D1CE4E5B9ull;
            b = uint8_t(x >> 56);
        }
    }
    for (unsigned char b : bytes) {
        out.Append(kChars[b % (sizeof kChars - 1)]);
    }
}

bool SameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Removes the temporary files of this target that no save holds locked any more: those of
// a save that was killed or crashed. A save in progress keeps its lock until its file has
// been renamed, so it is never taken for a leftover.
void RemoveStaleTemps(const ZString& dir, ZStr prefix)
{
    DIR* d = ::opendir(dir.Text());
    if (!d) {
        return;
    }
    const int dfd = ::dirfd(d);
    while (const dirent* e = ::readdir(d)) {
        if (!IsTempName(e->d_name, prefix)) {
            continue;
        }
        constexpr int kFlags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
        int fd = ::openat(dfd, e->d_name, O_RDONLY | kFlags);
        if (fd < 0) {
            fd = ::openat(dfd, e->d_name, O_WRONLY | kFlags);
        }
        if (fd < 0) {
            continue;
        }
        struct stat held, named;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &held) == 0 &&
            S_ISREG(held.st_mode) && ::fstatat(dfd, e->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            SameFile(held, named)) {
            ::unlinkat(dfd, e->d_name, 0);
        }
        ::close(fd);
    }
    ::closedir(d);
}

// Creates and locks a new temporary file in dir. Returns its descriptor, or -1 with code.
int CreateTemp(const ZString& dir, ZStr prefix, mode_t mode, ZString& temp, int& code)
{
    for (int attempt = 0; attempt < kTempAttempts; ++attempt) {
        temp.Assign(dir);
        temp.Append('/');
        temp.Append(prefix);
        AppendRandomChars(temp, attempt);
        const int fd =
            ::open(temp.Text(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd < 0) {
            if (errno == EEXIST) {
                continue;
            }
            code = errno;
            return -1;
        }
        // Without locks (some network file systems) the file is still written safely; it is
        // only not recognised as a leftover should this save be interrupted.
        ::flock(fd, LOCK_EX);
        // Another save may have taken the file for a leftover in the moment between its
        // creation and the lock, and removed it.
        struct stat held, named;
        if (::fstat(fd, &held) == 0 && ::lstat(temp.Text(), &named) == 0 && SameFile(held, named)) {
            return fd;
        }
        ::close(fd);
    }
    code = EEXIST;
    return -1;
}

bool WriteAll(int fd, const char* p, size_t n)
{
    while (n > 0) {
        const ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        p += w;
        n -= size_t(w);
    }
    return true;
}

// Gives the temporary file the owner and mode of the file it replaces, as far as the
// process may: the owner first, since changing it clears the set-id bits.
void CopyOwnerAndMode(int fd, const struct stat& old)
{
    struct stat now;
    if (::fstat(fd, &now) == 0 && (now.st_uid != old.st_uid || now.st_gid != old.st_gid)) {
        if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
            // Keeping the group alone is allowed to a member of it.
            [[maybe_unused]] const int ignored = ::fchown(fd, uid_t(-1), old.st_gid);
        }
    }
    ::fchmod(fd, old.st_mode & 07777);
}

bool Fail(int* errorCode, int code)
{
    if (errorCode) {
        *errorCode = code;
    }
    return false;
}

} // namespace

ZString ZFileErrorText(int code)
{
    if (code == kZFileNotRegular) {
        return ZString("not a regular file");
    }
    return ZString(std::strerror(code));
}

ZString ZWriteErrorText(ZStr path, int code)
{
    ZString message("cannot write '");
    message.Append(path);
    message.Append("'");
    if (code != 0) {
        message.Append(": ");
        message.Append(ZFileErrorText(code));
    }
    return message;
}

bool ZReplaceFile(ZStr path, const char* data, size_t size, ZString& message)
{
    int code = 0;
    if (ZReplaceFile(path, data, size, &code)) {
        return true;
    }
    message = ZWriteErrorText(path, code);
    return false;
}

bool ZReplaceFile(ZStr path, const char* data, size_t size, int* errorCode)
{
    ZString target;
    struct stat st;
    bool exists = false;
    int code = 0;
    if (!ResolveTarget(path, target, st, exists, code)) {
        return Fail(errorCode, code);
    }
    ZString dir, name;
    SplitPath(target, dir, name);
    if (name.IsEmpty() || name == "." || name == "..") {
        return Fail(errorCode, EISDIR);
    }
    if (exists) {
        if (S_ISDIR(st.st_mode)) {
            return Fail(errorCode, EISDIR);
        }
        if (!S_ISREG(st.st_mode)) {
            return Fail(errorCode, kZFileNotRegular);
        }
        // A file that nobody may write is left alone even by a process that could replace
        // it (root), as a user would expect of a file made read-only.
        if ((st.st_mode & 0222) == 0) {
            return Fail(errorCode, EACCES);
        }
        if (::faccessat(AT_FDCWD, target.Text(), W_OK, AT_EACCESS) != 0) {
            return Fail(errorCode, errno);
        }
    }

    const ZString prefix = TempPrefix(name);
    RemoveStaleTemps(dir, prefix);
    ZString temp;
    // A new file is created with 0666 for the umask (and a default ACL) to narrow; a
    // replacement is private until it carries the old file's owner and mode.
    const int fd = CreateTemp(dir, prefix, exists ? 0600 : 0666, temp, code);
    if (fd < 0) {
        return Fail(errorCode, code);
    }
    bool ok = WriteAll(fd, data, size);
    if (ok && exists) {
        CopyOwnerAndMode(fd, st);
    }
    ok = ok && ::fsync(fd) == 0;
    ok = ok && ::rename(temp.Text(), target.Text()) == 0;
    code = ok ? 0 : errno;
    if (!ok) {
        ::unlink(temp.Text());
    }
    // The lock is held until the name is gone, so that no other save takes the file for a
    // leftover while it is still wanted.
    ::close(fd);
    if (ok) {
        // The rename itself is only durable once the folder is on the disk. The new file is
        // in place whatever the flush of the folder says (some file systems cannot flush a
        // folder at all), and a failure reported now would make the caller believe the old
        // file still stands: the save has succeeded.
        const int dfd = ::open(dir.Text(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dfd >= 0) {
            [[maybe_unused]] const int synced = ::fsync(dfd);
            ::close(dfd);
        }
    }
    if (errorCode) {
        *errorCode = code;
    }
    return ok;
}
