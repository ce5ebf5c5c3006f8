// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/outputs/ConfigFile.h"

#include "app/cli/CommandLine.h"
#include "tests/TestSupport.h"
#include "tests/app/RunCommandLine.h"

#include <chrono>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr const char* kParmsA = "ele=5&rip=1&fzmc=1200&bwmc=70&R=50&H=20&D=8&E=25&NFR=200&STP=1.4";
constexpr const char* kParmsB =
    "ele=7&rip=0.1&fzmc=432&bwmc=20&R=50&H=30&D=10&E=30&NFR=200&STP=0.4";

// The names a fresh reader finds in the folder's file, "section=name" in list order.
std::string Listing(const std::string& dir)
{
    ConfigFile file(dir);
    std::string error;
    EXPECT_TRUE(file.Load(error)) << error;
    std::string out;
    for (int i = 0; i < file.Count(); ++i) {
        out += std::string(file.Section(i).Text()) + "=" + file.Name(i) + ";";
    }
    return out;
}

TEST(ConfigFileTest, TwoWritersOnOneFileLoseNothing)
{
    TempFolder folder("tessera-config-");
    ASSERT_TRUE(folder.Made());
    folder.Write("Tessera.ini", std::string("[C_1]\nName=Alpha\nParms=") + kParmsA + "\n");
    std::string error;
    ConfigFile a(folder.Path()), b(folder.Path());
    ASSERT_TRUE(a.Load(error) && b.Load(error)) << error;

    // A creates a configuration; B, which read the file before, then saves its own change.
    ASSERT_FALSE(a.Create("Beta", kParmsB).empty());
    std::string created;
    ASSERT_TRUE(a.Save(error, &created)) << error;
    EXPECT_EQ(created, "C_2");
    b.SetParms(0, kParmsB);
    ASSERT_TRUE(b.Save(error)) << error;
    EXPECT_EQ(Listing(folder.Path()), "C_1=Alpha;C_2=Beta;");
    EXPECT_EQ(b.Count(), 2); // a save lists the file as it now is

    // Both create while each believes C_3 is free: each gets a section of its own.
    EXPECT_EQ(a.Create("Gamma", kParmsA), "C_3");
    EXPECT_EQ(b.Create("Delta", kParmsA), "C_3");
    ASSERT_TRUE(a.Save(error, &created)) << error;
    EXPECT_EQ(created, "C_3");
    ASSERT_TRUE(b.Save(error, &created)) << error;
    EXPECT_EQ(created, "C_4");
    b.SetRecent(b.IndexOf("C_4"));
    ASSERT_TRUE(b.Save(error)) << error;
    EXPECT_EQ(Listing(folder.Path()), "C_1=Alpha;C_2=Beta;C_3=Gamma;C_4=Delta;");
    ConfigFile c(folder.Path());
    ASSERT_TRUE(c.Load(error));
    std::string parms;
    ASSERT_TRUE(c.GetParms(0, parms));
    EXPECT_EQ(parms, kParmsB);
    EXPECT_EQ(c.Recent(), 3);

    // A build choice travels beside the parameter text; a default one adds no keys, so
    // configurations that never left it keep the form older readers know.
    c.SetBuildChoice(1, BuildChoice{});
    ASSERT_TRUE(c.Save(error)) << error;
    EXPECT_EQ(folder.Read("Tessera.ini").find("Feed"), std::string::npos);
    c.SetBuildChoice(1, BuildChoice{FeedKind::Cover, true});
    ASSERT_TRUE(c.Save(error)) << error;
    ConfigFile d(folder.Path());
    ASSERT_TRUE(d.Load(error));
    EXPECT_EQ(d.GetBuildChoice(1).feed, FeedKind::Cover);
    EXPECT_TRUE(d.GetBuildChoice(1).corrected);
    EXPECT_EQ(d.GetBuildChoice(0).feed, FeedKind::Wall);
    EXPECT_FALSE(d.GetBuildChoice(0).corrected);
    d.SetBuildChoice(1, BuildChoice{});
    ASSERT_TRUE(d.Save(error)) << error;
    ConfigFile e(folder.Path());
    ASSERT_TRUE(e.Load(error));
    EXPECT_FALSE(e.GetBuildChoice(1).corrected);
    EXPECT_EQ(e.GetBuildChoice(1).feed, FeedKind::Wall);
}

TEST(ConfigFileTest, KillDuringALockedSaveLeavesTheFileWholeAndUnlocked)
{
    TempFolder folder("tessera-config-");
    ASSERT_TRUE(folder.Made());
    folder.Write("Tessera.ini", std::string("[C_1]\nName=Alpha\nParms=") + kParmsA +
                                    "\n[C_2]\nName=Beta\nParms=" + kParmsA + "\n");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Saves as fast as it can until it is killed, somewhere inside a save.
        ConfigFile file(folder.Path());
        std::string error;
        for (int round = 0;; ++round) {
            if (!file.Load(error) || file.Count() < 1) {
                ::_exit(1);
            }
            file.SetParms(0, round % 2 == 0 ? kParmsA : kParmsB);
            file.Save(error);
        }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status)) << "the saving child stopped by itself";

    EXPECT_EQ(Listing(folder.Path()), "C_1=Alpha;C_2=Beta;");
    ConfigFile file(folder.Path());
    std::string error;
    ASSERT_TRUE(file.Load(error)) << error;
    std::string parms;
    ASSERT_TRUE(file.GetParms(0, parms));
    EXPECT_TRUE(parms == kParmsA || parms == kParmsB) << parms;
    // The lock died with its holder: the next save does not wait for it.
    const auto start = std::chrono::steady_clock::now();
    file.SetParms(1, kParmsB);
    EXPECT_TRUE(file.Save(error)) << error;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(ConfigFileTest, FilesThatCannotBeReadAreReportedAndNeverWritten)
{
    struct Case
    {
        const char* what;
        const char* reason;
        std::function<void(const TempFolder&)> make;
    };
    const Case cases[] = {
        {"fifo", "not a regular file",
         [](const TempFolder& f) { ::mkfifo(f.File("Tessera.ini").c_str(), 0644); }},
        {"folder", "not a regular file",
         [](const TempFolder& f) { ::mkdir(f.File("Tessera.ini").c_str(), 0755); }},
        {"link to a device", "not a regular file",
         [](const TempFolder& f) { (void)::symlink("/dev/zero", f.File("Tessera.ini").c_str()); }},
        {"huge file", "larger than 64 MiB",
         [](const TempFolder& f) {
             f.Write("Tessera.ini", "[C_1]\nName=kept\n");
             (void)::truncate(f.File("Tessera.ini").c_str(), ConfigFile::kMaxBytes + 1);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder("tessera-config-");
        ASSERT_TRUE(folder.Made());
        c.make(folder);
        struct stat before;
        ASSERT_EQ(::lstat(folder.File("Tessera.ini").c_str(), &before), 0);
        const std::string message = "Cannot read " + folder.Path() + "/Tessera.ini: " + c.reason;

        ConfigFile file(folder.Path());
        std::string error;
        EXPECT_FALSE(file.Load(error));
        EXPECT_EQ(error, message);
        EXPECT_FALSE(file.Create("new", kParmsA).empty());
        EXPECT_FALSE(file.Save(error));
        EXPECT_EQ(error, message);

        // The command line says the same and exits without waiting on the fifo.
        CommandLineOptions options;
        options.listConfigs = true;
        options.configDir = folder.Path();
        const Outcome run = Execute(options);
        EXPECT_EQ(run.status, kExitFailure);
        EXPECT_EQ(run.err, message + "\n");

        struct stat after;
        ASSERT_EQ(::lstat(folder.File("Tessera.ini").c_str(), &after), 0);
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(after.st_size, before.st_size);
        EXPECT_EQ(after.st_mode, before.st_mode);
    }
}

TEST(ConfigFileTest, ListedNamesKeepToTheirLine)
{
    // A tab, a control character, a NUL or a backslash in a name is printed as an escape, so
    // that each configuration stays one "section TAB name" line and nothing reaches the
    // terminal raw; other text, UTF-8 included, is printed as stored.
    TempFolder folder("tessera-config-");
    ASSERT_TRUE(folder.Made());
    static const char kFile[] = "[C_1]\nName=a\tb\x01"
                                "c\x1b[31m\\d\x7f\n"
                                "[C_2]\nName=\xCE\xA9 \0end\n";
    folder.Write("Tessera.ini", std::string(kFile, sizeof kFile - 1));
    CommandLineOptions options;
    options.listConfigs = true;
    options.configDir = folder.Path();
    const Outcome run = Execute(options);
    EXPECT_EQ(run.status, kExitOk);
    EXPECT_EQ(run.out, "C_1\ta\\tb\\x01"
                       "c\\x1B[31m\\\\d\\x7F\n"
                       "C_2\t\xCE\xA9 \\x00end\n");
}

} // namespace
