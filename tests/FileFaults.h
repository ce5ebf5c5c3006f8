// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

// File-system faults made real for the tests of the file writers: a full disk, and a look at
// what a folder holds afterwards.

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <functional>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace filefaults {

/// The names in dir, sorted, without "." and "..".
inline std::vector<std::string> FolderEntries(const std::string& dir)
{
    std::vector<std::string> names;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (const dirent* e = ::readdir(d)) {
            const std::string name = e->d_name;
            if (name != "." && name != "..") {
                names.push_back(name);
            }
        }
        ::closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

/// Runs prepare and then act in a child process in which the disk holding dir (an empty
/// folder) is full once prepare is done, so that act's writes fail. Where the process may
/// mount (root), dir becomes a tmpfs of one 4 KiB page in a mount namespace of the child's
/// own: the file prepare writes takes it, and writes then fail with ENOSPC. Elsewhere a file
/// size limit makes writes fail part way, after 1 KiB, with EFBIG (SIGXFSZ ignored).
/// A tmpfs and what it holds vanish with the child, so act checks everything itself: it
/// returns "" when all is well, otherwise what went wrong, which RunOnFullDisk returns.
inline std::string RunOnFullDisk(const std::string& dir, const std::function<void()>& prepare,
                                 const std::function<std::string()>& act)
{
    int fds[2];
    if (::pipe(fds) != 0) {
        return "no pipe";
    }
    const pid_t child = ::fork();
    if (child < 0) {
        return "no child process";
    }
    if (child == 0) {
        ::close(fds[0]);
        const bool tmpfs = ::unshare(CLONE_NEWNS) == 0 &&
                           ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                           ::mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=4k,mode=0755") == 0;
        prepare();
        if (!tmpfs) {
            std::signal(SIGXFSZ, SIG_IGN);
            struct rlimit limit;
            ::getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = 1024;
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        const std::string result = act();
        if (!result.empty() && ::write(fds[1], result.data(), result.size()) < 0) {
            ::_exit(2);
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string result;
    char buffer[512];
    ssize_t n = 0;
    while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0) {
        result.append(buffer, size_t(n));
    }
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        result += " (the child process failed with status " + std::to_string(status) + ")";
    }
    return result;
}

} // namespace filefaults
