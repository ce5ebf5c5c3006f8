// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/ZIni.h"

#include "tests/FileFaults.h"
#include "tests/TestSupport.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class ZIniTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_temp.Made()); }

    std::string File(const char* name) const { return m_temp.File(name); }
    void Write(const char* name, const std::string& contents) const
    {
        m_temp.Write(name, contents);
    }
    std::string Read(const char* name) const { return m_temp.Read(name); }

    /// Loads name from the test folder.
    bool Load(ZIni& ini, const char* name, bool keep = false) const
    {
        return ini.Load(ZStr(m_temp.Path().c_str()), ZStr(name), keep);
    }
    /// Writes `contents` to name, loads it, lets `edit` change the model, saves it back and
    /// returns what the file then holds.
    std::string Resave(const char* name, const std::string& contents,
                       const std::function<void(ZIni&)>& edit) const
    {
        Write(name, contents);
        ZIni ini;
        EXPECT_TRUE(Load(ini, name));
        edit(ini);
        EXPECT_TRUE(Save(ini, name));
        return Read(name);
    }
    bool Save(ZIni& ini, const char* name) const
    {
        return ini.Save(ZStr(""), ZStr(File(name).c_str()), true);
    }

    TempFolder m_temp{"zini-test-"};
};

std::string Value(const ZIni& ini, const char* section, const char* key)
{
    ZString v;
    ini.Get(section, key, v, "<none>");
    return v.Text();
}

std::vector<std::string> Sections(const ZIni& ini, bool sort, bool ascending, const char* prefix)
{
    XArray<ZString, false> out;
    ini.ListSections(out, sort, ascending, prefix);
    std::vector<std::string> names;
    for (const ZString& s : out) {
        names.push_back(s.Text());
    }
    return names;
}

TEST_F(ZIniTest, PathForming)
{
    EXPECT_EQ(ZIni::FormPath(".", "Tessera.ini"), "./Tessera.ini");
    EXPECT_EQ(ZIni::FormPath("dir/ \t", "  a.ini "), "dir/a.ini");
    EXPECT_EQ(ZIni::FormPath("", " a.ini"), "a.ini");
    EXPECT_EQ(ZIni::FormPath("/", "a.ini"), "/a.ini");
}

TEST_F(ZIniTest, ParsesSectionsKeysAndComments)
{
    Write("a.ini", "top=1\r\n; comment = x\n[C_1]\n  Name = first one \n"
                   "Parms=ele=5&rip=1\rnovalue\n[ C_2 ]\nName=second\n[C_1]\nName=again\n"
                   "!odd line\n#hash=h\n%pct=p\n");
    ZIni ini;
    ASSERT_TRUE(Load(ini, "a.ini"));
    EXPECT_EQ(ini.path, File("a.ini").c_str());
    EXPECT_EQ(Value(ini, "", "top"), "1");
    EXPECT_EQ(Value(ini, "@Default", "top"), "1");
    EXPECT_EQ(Value(ini, "C_1", "Name"), "again"); // a repeated header continues the section
    EXPECT_EQ(Value(ini, "C_1", "Parms"), "ele=5&rip=1");
    EXPECT_EQ(Value(ini, "C_1", "novalue"), "");
    EXPECT_EQ(Value(ini, "C_1", "#hash"), "h");
    EXPECT_EQ(Value(ini, "C_1", "%pct"), "p");
    EXPECT_EQ(Value(ini, "C_2", "Name"), "second");
    EXPECT_EQ(Value(ini, "C_2", "name"), "<none>"); // keys are case-sensitive
    EXPECT_EQ(Value(ini, ";", "comment"), "<none>");
    EXPECT_TRUE(ini.HasSection("C_2"));
    EXPECT_FALSE(ini.HasSection("c_2"));
    EXPECT_EQ(Sections(ini, false, true, ""), (std::vector<std::string>{"@Default", "C_1", "C_2"}));
}

TEST_F(ZIniTest, EmptyAndMissingFiles)
{
    Write("empty.ini", "");
    ZIni ini;
    EXPECT_TRUE(Load(ini, "empty.ini"));
    EXPECT_EQ(Sections(ini, false, true, ""), (std::vector<std::string>{"@Default"}));

    ini.Set("C_1", "Name", "kept");
    EXPECT_FALSE(Load(ini, "missing.ini"));
    EXPECT_EQ(ini.path, File("missing.ini").c_str());
    EXPECT_EQ(Value(ini, "C_1", "Name"), "kept"); // a failed read leaves the model alone
}

TEST_F(ZIniTest, ListSectionsSortsByBytes)
{
    Write("s.ini", "[C_2]\n[X]\n[C_10]\n[C_1]\n");
    ZIni ini;
    ASSERT_TRUE(Load(ini, "s.ini"));
    EXPECT_EQ(Sections(ini, true, true, "C_"), (std::vector<std::string>{"C_1", "C_10", "C_2"}));
    EXPECT_EQ(Sections(ini, true, false, "C_"), (std::vector<std::string>{"C_2", "C_10", "C_1"}));
    EXPECT_EQ(Sections(ini, false, true, "C_"), (std::vector<std::string>{"C_2", "C_10", "C_1"}));
    // A section made by Set is listed only after it has been saved and loaded again.
    ini.Set("C_3", "Name", "n");
    EXPECT_EQ(Sections(ini, true, true, "C_").size(), 3u);
    ASSERT_TRUE(Save(ini, "s.ini"));
    ASSERT_TRUE(Load(ini, "s.ini"));
    EXPECT_EQ(Sections(ini, true, true, "C_").size(), 4u);
}

TEST_F(ZIniTest, SaveRegeneratesKeyLinesAndKeepsComments)
{
    EXPECT_EQ(
        Resave("c.ini", "[C_1]\nName=a\n;note\n", [](ZIni& ini) { ini.Set("C_1", "Name", "b"); }),
        "[C_1]\r\n    Name = b\r\n;note\r\n");
}

TEST_F(ZIniTest, NewKeysJoinTheirSectionAndNewSectionsGoLast)
{
    const std::string saved = Resave("k.ini", "; head\n[B]\nzeta=1\n\n[A]\nb=2\n", [](ZIni& ini) {
        ini.Set("B", "alpha", "new");
        ini.Set("Z", "k", "v");
        ini.Set("Y", "longkey", "1");
        ini.Set("Y", "k", "2");
    });
    EXPECT_EQ(saved, "; head\r\n"
                     "[B]\r\n"
                     "    zeta  = 1\r\n" // aligned with the new longer key
                     "\r\n"
                     "    alpha = new\r\n"
                     "[A]\r\n"
                     "    b = 2\r\n"
                     "[Y]\r\n"
                     "    k       = 2\r\n"
                     "    longkey = 1\r\n"
                     "[Z]\r\n"
                     "    k = v\r\n");
}

TEST_F(ZIniTest, EarlierBlocksOfASectionAreCopied)
{
    // The first block of A is copied as loaded; its changed value is written with the last
    // block, where A's keys are regenerated.
    EXPECT_EQ(Resave("m.ini", "[A]\nx=1\n[B]\ny=2\n[A]\nz=3\n",
                     [](ZIni& ini) { ini.Set("A", "x", "changed"); }),
              "[A]\r\n    x=1\r\n[B]\r\n    y = 2\r\n[A]\r\n    z = 3\r\n"
              "    x = changed\r\n");
    ZIni again;
    ASSERT_TRUE(Load(again, "m.ini"));
    EXPECT_EQ(Value(again, "A", "x"), "changed");
}

TEST_F(ZIniTest, ConfigurationFileRoundTrip)
{
    const std::string parms = "ele=5\t&rip=1\t&fzmc=1200&bwmc=70&R=50\t&H=20\t&D=8\t&E=25\t"
                              "&NFR=200&STP=1.4\t";
    // A new configuration is created in a missing file...
    ZIni ini;
    EXPECT_FALSE(Load(ini, "Tessera.ini"));
    ini.Set("C_1", "Name", "new name");
    ini.Set("C_1", "Parms", parms.c_str());
    ASSERT_TRUE(ini.Save("", ini.path, true));
    EXPECT_EQ(Read("Tessera.ini"),
              "[C_1]\r\n    Name  = new name\r\n    Parms = " + parms + "\r\n");
    // ...then listed, chosen and remembered as the recent one.
    ASSERT_TRUE(Load(ini, "Tessera.ini"));
    ini.Set("", "Recent", "C_1");
    ASSERT_TRUE(ini.Save("", ini.path, true));
    const std::string parmsTrimmed = parms.substr(0, parms.size() - 1);
    EXPECT_EQ(Read("Tessera.ini"), "    Recent = C_1\r\n[C_1]\r\n    Name  = new name\r\n"
                                   "    Parms = " +
                                       parmsTrimmed + "\r\n");
    // Before the first header the key width is 0, so the next save closes the gap.
    ASSERT_TRUE(Load(ini, "Tessera.ini"));
    ASSERT_TRUE(ini.Save("", ini.path, true));
    const std::string stable = "    Recent= C_1\r\n[C_1]\r\n    Name  = new name\r\n"
                               "    Parms = " +
                               parmsTrimmed + "\r\n";
    EXPECT_EQ(Read("Tessera.ini"), stable);
    ASSERT_TRUE(Load(ini, "Tessera.ini"));
    ASSERT_TRUE(ini.Save("", ini.path, true));
    EXPECT_EQ(Read("Tessera.ini"), stable);
    EXPECT_EQ(Value(ini, "C_1", "Parms"), parmsTrimmed);
}

TEST_F(ZIniTest, UnterminatedHeaderKeepsTheRestOfTheFile)
{
    Write("broken.ini", "[C_1]\nName=one\n[C_2\nName=two\n  ; indented note\n[C_3]\nName=three\n");
    ZIni ini;
    EXPECT_FALSE(Load(ini, "broken.ini"));
    EXPECT_EQ(Value(ini, "C_1", "Name"), "one");
    EXPECT_FALSE(ini.HasSection("C_3"));
    ini.Set("C_1", "Name", "uno");
    ini.Set("C_1", "Added", "x");
    ini.Set("C_9", "Name", "nine");
    ASSERT_TRUE(Save(ini, "broken.ini"));
    // Nothing after the faulty header is lost, and what the model adds goes in front of it,
    // where the next load still reads it.
    EXPECT_EQ(Read("broken.ini"),
              "[C_1]\r\n    Name  = uno\r\n    Added = x\r\n"
              "[C_9]\r\n    Name = nine\r\n"
              "[C_2\r\nName=two\r\n  ; indented note\r\n[C_3]\r\nName=three\r\n");
    ZIni again;
    EXPECT_FALSE(Load(again, "broken.ini"));
    EXPECT_EQ(Value(again, "C_1", "Added"), "x");
    EXPECT_EQ(Value(again, "C_9", "Name"), "nine");
}

TEST_F(ZIniTest, ValuesAreTrimmedOnLoad)
{
    ZIni ini;
    ini.Set("S", "k", " \tpadded\t ");
    ASSERT_TRUE(Save(ini, "t.ini"));
    ASSERT_TRUE(Load(ini, "t.ini"));
    EXPECT_EQ(Value(ini, "S", "k"), "padded");
}

TEST_F(ZIniTest, KeepMergesAnotherFile)
{
    Write("one.ini", "[A]\nx=1\n");
    Write("two.ini", "[B]\ny=2\n");
    ZIni ini;
    ASSERT_TRUE(Load(ini, "one.ini"));
    ASSERT_TRUE(Load(ini, "two.ini", true));
    EXPECT_EQ(Value(ini, "A", "x"), "1");
    EXPECT_EQ(Value(ini, "B", "y"), "2");
    ASSERT_TRUE(Load(ini, "two.ini", false));
    EXPECT_FALSE(ini.HasSection("A"));
}

TEST_F(ZIniTest, LargeFilesLoadAndSaveWhole)
{
    // A file of many sections, one section of many keys ahead of them (whose written-key
    // record must not be swept again for every later header) and many repeated headers of
    // that section (whose key width must not be recounted for each): each part once was
    // quadratic, and the whole still has to come back exactly.
    const int kSections = 30000;
    const int kKeys = 30000;
    std::string file = "[Big]\r\n";
    for (int k = 0; k < kKeys; ++k) {
        file += "    key" + std::to_string(k) + " = v" + std::to_string(k) + "\r\n";
    }
    for (int s = 0; s < kSections; ++s) {
        file += "[S" + std::to_string(s) + "]\r\n    k = " + std::to_string(s) + "\r\n";
        if (s % 3 == 0) {
            file += "[Big]\r\n";
        }
    }
    Write("big.ini", file);
    ZIni ini;
    ASSERT_TRUE(Load(ini, "big.ini"));
    EXPECT_EQ(Sections(ini, false, true, "").size(), size_t(kSections + 2));
    EXPECT_EQ(Value(ini, "S29999", "k"), "29999");
    EXPECT_EQ(Value(ini, "Big", "key29999"), "v29999");

    // The loaded text is the caller's: changing it must not disturb a later save.
    ini.text = "[Other]\r\n";
    ini.Set("Big", "key7", "changed");
    ASSERT_TRUE(Save(ini, "big.ini"));
    ZIni again;
    ASSERT_TRUE(Load(again, "big.ini"));
    EXPECT_EQ(Sections(again, false, true, ""), Sections(ini, false, true, ""));
    EXPECT_EQ(Value(again, "Big", "key7"), "changed");
    EXPECT_EQ(Value(again, "Big", "key29999"), "v29999");
    EXPECT_EQ(Value(again, "S0", "k"), "0");
    ASSERT_TRUE(Save(again, "copy.ini"));
    EXPECT_EQ(Read("copy.ini"), Read("big.ini"));
}

TEST_F(ZIniTest, FailedWriteLeavesTheOldFileIntact)
{
    Write("keep.ini", "[C_1]\nName=precious\n");
    ZIni ini;
    ASSERT_TRUE(Load(ini, "keep.ini"));
    for (int i = 0; i < 200; ++i) {
        ini.Set("C_1", ("Key" + std::to_string(i)).c_str(), "a long value to fill the disk");
    }
    // A file size limit makes the write fail part way, as a full disk would.
    struct rlimit old;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    struct rlimit small = old;
    small.rlim_cur = 512;
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    bool saved = Save(ini, "keep.ini");
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(saved);
    EXPECT_EQ(ini.path, File("keep.ini").c_str());
    EXPECT_EQ(Read("keep.ini"), "[C_1]\nName=precious\n");
    EXPECT_EQ(std::system(("test $(ls '" + m_temp.Path() + "' | wc -l) -eq 1").c_str()), 0)
        << "the temporary file is removed";

    EXPECT_FALSE(ini.Save("", (m_temp.Path() + "/no/such/dir/x.ini").c_str(), true));

    // The reason reaches a caller that asks for it.
    int code = -99;
    EXPECT_FALSE(ini.Save("", (m_temp.Path() + "/no/such/dir/x.ini").c_str(), true, &code));
    EXPECT_EQ(code, ENOENT);
    ASSERT_TRUE(ini.Save("", File("keep.ini").c_str(), true, &code));
    EXPECT_EQ(code, 0);
}

// Saves killed at random moments (the child saves two versions in turn until it is killed):
// the file always holds exactly one of the two texts, and each save removes what the one
// killed before it left, so temporary files never pile up.
TEST_F(ZIniTest, SavesKilledAtRandomMomentsLoseNothing)
{
    ZIni first;
    ZIni second;
    for (int i = 0; i < 2000; ++i) {
        const std::string key = "Key" + std::to_string(i);
        first.Set("C_1", key.c_str(), "first value");
        second.Set(("C_" + std::to_string(i % 7)).c_str(), key.c_str(), "second, longer value");
    }
    const std::string texts[] = {first.BuildText().Text(), second.BuildText().Text()};
    ASSERT_TRUE(Save(first, "Tessera.ini"));

    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> delayUs(0, 15000);
    int seenSecond = 0;
    for (int round = 0; round < 40; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (;;) {
                (void)Save(second, "Tessera.ini");
                (void)Save(first, "Tessera.ini");
            }
        }
        ::usleep(useconds_t(delayUs(random)));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        const std::string now = Read("Tessera.ini");
        EXPECT_TRUE(now == texts[0] || now == texts[1])
            << "round " << round << ": " << now.size() << " bytes";
        seenSecond += now == texts[1] ? 1 : 0;
        EXPECT_LE(filefaults::FolderEntries(m_temp.Path()).size(), 2u) << "round " << round;
    }
    ASSERT_TRUE(Save(first, "Tessera.ini"));
    EXPECT_EQ(filefaults::FolderEntries(m_temp.Path()), std::vector<std::string>{"Tessera.ini"});
    RecordProperty("roundsEndingWithTheSecondText", seenSecond);
}

} // namespace
