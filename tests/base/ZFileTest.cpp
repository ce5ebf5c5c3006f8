// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/ZFile.h"

#include "tests/FileFaults.h"
#include "tests/TestSupport.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// While set, flushing a folder fails with EIO, as on a disk that fails under the save.
bool s_failFolderSync = false;

} // namespace

// Takes the place of the C library's fsync for the whole test program.
extern "C" int fsync(int fd)
{
    struct stat st;
    if (s_failFolderSync && ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        errno = EIO;
        return -1;
    }
    return int(::syscall(SYS_fsync, fd));
}

namespace {

using filefaults::FolderEntries;
using Names = std::vector<std::string>;

class ZFileTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_temp.Made()); }

    std::string File(const std::string& name) const { return m_temp.File(name); }

    void Write(const std::string& name, const std::string& contents, mode_t mode = 0644) const
    {
        m_temp.Write(name, contents);
        ::chmod(File(name).c_str(), mode);
    }

    std::string Read(const std::string& name) const { return m_temp.Read(name); }

    /// Replaces name in the test folder; the errno (or kZFileNotRegular) of a failure, 0.
    int Replace(const std::string& name, const std::string& contents) const
    {
        int code = 12345;
        const bool ok =
            ZReplaceFile(ZStr(File(name).c_str()), contents.data(), contents.size(), &code);
        EXPECT_EQ(ok, code == 0) << name;
        return code;
    }

    mode_t Mode(const std::string& name) const
    {
        struct stat st;
        return ::stat(File(name).c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
    }

    bool IsLink(const std::string& name, const std::string& to) const
    {
        char buffer[4096];
        const ssize_t n = ::readlink(File(name).c_str(), buffer, sizeof buffer);
        return n >= 0 && std::string(buffer, size_t(n)) == to;
    }

    TempFolder m_temp{"zfile-test-"};
};

TEST_F(ZFileTest, ReplacesKeepingOwnerAndModeAndNewFilesFollowTheUmask)
{
    const mode_t oldMask = ::umask(022);
    EXPECT_EQ(Replace("new.ini", "first"), 0);
    EXPECT_EQ(Read("new.ini"), "first");
    EXPECT_EQ(Mode("new.ini"), 0644u);
    ::umask(077);
    EXPECT_EQ(Replace("private.ini", ""), 0);
    EXPECT_EQ(Mode("private.ini"), 0600u);
    ::umask(oldMask);

    // A replacement keeps the mode, also an unusual one, and (where the process may give
    // files away) the owner of the file it replaces.
    Write("kept.ini", "old", 0604);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(File("kept.ini").c_str(), 1234, 5678), 0);
    }
    EXPECT_EQ(Replace("kept.ini", "new\r\ntext"), 0);
    EXPECT_EQ(Read("kept.ini"), "new\r\ntext");
    EXPECT_EQ(Mode("kept.ini"), 0604u);
    struct stat st;
    ASSERT_EQ(::stat(File("kept.ini").c_str(), &st), 0);
    if (root) {
        EXPECT_EQ(st.st_uid, 1234u);
        EXPECT_EQ(st.st_gid, 5678u);
    }

    // Any name the file system accepts works: the temporary name does not grow with it.
    const std::string longName = std::string(246, 'n') + ".xch";
    EXPECT_EQ(Replace(longName, "one"), 0);
    EXPECT_EQ(Replace(longName, "two"), 0);
    EXPECT_EQ(Read(longName), "two");
    EXPECT_EQ(Replace(std::string(256, 'n'), "x"), ENAMETOOLONG);

    EXPECT_EQ(FolderEntries(m_temp.Path()),
              (Names{"kept.ini", "new.ini", longName, "private.ini"}));
}

// Links lead to the file that is replaced; files nobody may write, devices, fifos, folders
// and link cycles are refused (a read-only file even for root, who could write it), the old
// file stays, and nothing is created or left behind.
TEST_F(ZFileTest, LinksAreWrittenThroughAndUnwritableTargetsRefused)
{
    ASSERT_EQ(::mkdir(File("sub").c_str(), 0755), 0);
    Write("real.ini", "old", 0640);
    ASSERT_EQ(::symlink("real.ini", File("link.ini").c_str()), 0);
    ASSERT_EQ(::symlink("link.ini", File("chain.ini").c_str()), 0);
    ASSERT_EQ(::symlink("../real.ini", File("sub/up.ini").c_str()), 0);
    ASSERT_EQ(::symlink(File("real.ini").c_str(), File("sub/abs.ini").c_str()), 0);
    EXPECT_EQ(Replace("chain.ini", "one"), 0);
    EXPECT_EQ(Replace("sub/up.ini", "two"), 0);
    EXPECT_EQ(Replace("sub/abs.ini", "three"), 0);
    EXPECT_TRUE(IsLink("chain.ini", "link.ini"));
    EXPECT_TRUE(IsLink("link.ini", "real.ini"));
    EXPECT_TRUE(IsLink("sub/up.ini", "../real.ini"));
    EXPECT_EQ(Read("real.ini"), "three");
    EXPECT_EQ(Mode("real.ini"), 0640u);

    // A dangling link creates the file it names, as a new file.
    const mode_t oldMask = ::umask(022);
    ASSERT_EQ(::symlink("sub/made.csv", File("dangling.csv").c_str()), 0);
    EXPECT_EQ(Replace("dangling.csv", "made"), 0);
    ::umask(oldMask);
    EXPECT_TRUE(IsLink("dangling.csv", "sub/made.csv"));
    EXPECT_EQ(Read("sub/made.csv"), "made");
    EXPECT_EQ(Mode("sub/made.csv"), 0644u);

    Write("ro.xch", "old chart", 0444);
    Write("none.png", "", 0);
    ASSERT_EQ(::symlink("ro.xch", File("ro-link.xch").c_str()), 0);
    ASSERT_EQ(::symlink("/dev/full", File("full.png").c_str()), 0);
    ASSERT_EQ(::mkfifo(File("pipe.csv").c_str(), 0644), 0);
    ASSERT_EQ(::symlink("loop2", File("loop1").c_str()), 0);
    ASSERT_EQ(::symlink("loop1", File("loop2").c_str()), 0);
    EXPECT_EQ(Replace("ro.xch", "new"), EACCES);
    EXPECT_EQ(Replace("ro-link.xch", "new"), EACCES);
    EXPECT_EQ(Replace("none.png", "new"), EACCES);
    EXPECT_EQ(ZFileErrorText(EACCES), "Permission denied");
    EXPECT_EQ(Read("ro.xch"), "old chart");
    EXPECT_EQ(Mode("ro.xch"), 0444u);
    EXPECT_EQ(Replace("full.png", "x"), kZFileNotRegular);
    EXPECT_EQ(Replace("pipe.csv", "x"), kZFileNotRegular);
    EXPECT_EQ(ZFileErrorText(kZFileNotRegular), "not a regular file");
    EXPECT_TRUE(IsLink("full.png", "/dev/full"));
    EXPECT_EQ(Replace("sub", "x"), EISDIR);
    EXPECT_EQ(Replace("loop1", "x"), ELOOP);
    EXPECT_EQ(Replace("no/such/folder.ini", "x"), ENOENT);
    EXPECT_EQ(FolderEntries(m_temp.Path()),
              (Names{"chain.ini", "dangling.csv", "full.png", "link.ini", "loop1", "loop2",
                     "none.png", "pipe.csv", "real.ini", "ro-link.xch", "ro.xch", "sub"}));
    EXPECT_EQ(FolderEntries(File("sub")), (Names{"abs.ini", "made.csv", "up.ini"}));
}

// Runs a save of 1 MB to path in a child process that is stopped (SIGSTOP) or killed
// (SIGXFSZ) when its write hits a file size limit: a save interrupted half way, its
// temporary file still on the disk.
pid_t StartInterruptedSave(const std::string& path, bool stop)
{
    const pid_t child = ::fork();
    if (child == 0) {
        struct rlimit none = {0, 0};
        ::setrlimit(RLIMIT_CORE, &none);
        if (stop) {
            std::signal(SIGXFSZ, [](int) { ::raise(SIGSTOP); });
        }
        struct rlimit limit;
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = 4096;
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const std::string big(1 << 20, 'x');
        const bool saved = ZReplaceFile(ZStr(path.c_str()), big.data(), big.size());
        ::_exit(saved ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, stop ? WUNTRACED : 0);
    EXPECT_TRUE(stop ? WIFSTOPPED(status) : WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ)
        << status;
    return child;
}

// Once the new file has its name the save has happened: a folder that cannot be flushed
// afterwards does not turn it into a failure.
TEST_F(ZFileTest, AFailedFlushOfTheFolderAfterTheRenameIsStillASave)
{
    Write("Tessera.ini", "old");
    s_failFolderSync = true;
    const int code = Replace("Tessera.ini", "new");
    s_failFolderSync = false;
    EXPECT_EQ(code, 0);
    EXPECT_EQ(Read("Tessera.ini"), "new");
    EXPECT_EQ(FolderEntries(m_temp.Path()), (Names{"Tessera.ini"}));
}

TEST_F(ZFileTest, LeftoversOfInterruptedSavesGoWithTheNextSaveOfTheirTarget)
{
    Write("Tessera.ini", "old");
    Write("other.ini", "other");
    // Each save removes what the one before it left: one leftover per target at most.
    for (int i = 0; i < 3; ++i) {
        StartInterruptedSave(File("Tessera.ini"), false);
    }
    StartInterruptedSave(File("other.ini"), false);
    Names names = FolderEntries(m_temp.Path());
    ASSERT_EQ(names.size(), 4u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(names[i].rfind(".tsr-", 0), 0u) << names[i];
        EXPECT_EQ(names[i].size(), 20u) << names[i];
    }
    EXPECT_EQ(Read("Tessera.ini"), "old");

    // A save in progress (stopped half way) holds on to its file: another save of the same
    // target leaves it alone.
    const pid_t running = StartInterruptedSave(File("Tessera.ini"), true);
    EXPECT_EQ(Replace("Tessera.ini", "new"), 0);
    EXPECT_EQ(Read("Tessera.ini"), "new");
    EXPECT_EQ(FolderEntries(m_temp.Path()).size(), 4u)
        << "the running save's and the other target's";

    // Once the running save is gone, its file is a leftover too; the other target's file
    // waits for its own next save.
    ::kill(running, SIGKILL);
    ::waitpid(running, nullptr, 0);
    EXPECT_EQ(Replace("Tessera.ini", "newer"), 0);
    EXPECT_EQ(FolderEntries(m_temp.Path()).size(), 3u);
    EXPECT_EQ(Replace("other.ini", "more"), 0);
    EXPECT_EQ(FolderEntries(m_temp.Path()), (Names{"Tessera.ini", "other.ini"}));
    EXPECT_EQ(Read("Tessera.ini"), "newer");
}

} // namespace
