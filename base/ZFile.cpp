#include "base/ZFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

ZString ZMakeTempBeside(ZStr path, int& fd)
{
    ZString temp(path);
    temp.Append(".tmp-XXXXXX");
    fd = ::mkstemp(temp.Data());
    if (fd < 0) {
        return ZString("");
    }
    const ZString target(path);
    struct stat st;
    if (::stat(target.Text(), &st) == 0) {
        ::fchmod(fd, st.st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    return temp;
}

bool ZWriteAll(int fd, const char* p, size_t n)
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

bool ZReplaceFile(ZStr path, ZStr contents, int* errorCode)
{
    errno = 0;
    int fd = -1;
    const ZString temp = ZMakeTempBeside(path, fd);
    if (fd < 0) {
        if (errorCode) {
            *errorCode = errno;
        }
        return false;
    }
    bool ok = ZWriteAll(fd, contents.ptr, size_t(contents.len)) && ::fsync(fd) == 0;
    int code = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        code = errno;
    }
    if (ok && ::rename(temp.Text(), ZString(path).Text()) != 0) {
        ok = false;
        code = errno;
    }
    if (!ok) {
        ::unlink(temp.Text());
    }
    if (errorCode) {
        *errorCode = code;
    }
    return ok;
}
