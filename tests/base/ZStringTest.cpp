// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/ZString.h"

#include "base/XArray.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>
#include <string>

namespace {

TEST(ZStringTest, ConstructionSizes)
{
    ZString def;
    EXPECT_EQ(def.Length(), 0);
    EXPECT_EQ(def.Capacity(), 50);
    EXPECT_STREQ(def.Text(), "");

    ZString fromNull(static_cast<const char*>(nullptr));
    EXPECT_EQ(fromNull.Length(), 0);
    EXPECT_EQ(fromNull.Capacity(), 50);

    ZString exact("hello");
    EXPECT_EQ(exact.Length(), 5);
    EXPECT_EQ(exact.Capacity(), 5);

    ZString bytes("a\0b", 3);
    EXPECT_EQ(bytes.Length(), 3);
    EXPECT_EQ(bytes[1], '\0');
    EXPECT_EQ(bytes.Text()[3], '\0');

    ZString copy(exact);
    EXPECT_EQ(copy, "hello");
    EXPECT_EQ(copy.Capacity(), 5);
    EXPECT_EQ(copy.GrowthStep(), 50);
}

TEST(ZStringTest, AppendingCharactersReallocatesEveryFiftyCharacters)
{
    ZString s;
    const char* buffer = s.Text();
    int reallocations = 0;
    for (int i = 0; i < 200; ++i) {
        s.Append(char('a' + i % 26));
        if (s.Text() != buffer) {
            ++reallocations;
            buffer = s.Text();
            // A growing request reserves the growth step beyond the new length.
            EXPECT_EQ(s.Capacity(), s.Length() + 50);
        }
    }
    // Capacities 50 -> 101 -> 152 -> 203.
    EXPECT_EQ(reallocations, 3);
    EXPECT_EQ(s.Length(), 200);
}

TEST(ZStringTest, GrowthRules)
{
    ZString proportional;
    proportional.SetGrowthStep(-5);
    proportional.Assign(std::string(60, 'x').c_str()); // exact: 60 + 1
    EXPECT_EQ(proportional.Capacity(), 61);
    proportional.Append("yy"); // growing to 62: half of 62 extra
    EXPECT_EQ(proportional.Capacity(), 62 + 31);

    ZString tiny;
    tiny.SetGrowthStep(0);
    tiny.Assign(std::string(50, 'x').c_str());
    tiny.Append("y"); // extra room below 2 becomes 1
    EXPECT_EQ(tiny.Capacity(), 52);

    ZString fits("abcdef");
    const char* before = fits.Text();
    EXPECT_TRUE(fits.Assign("abc"));
    EXPECT_EQ(fits.Text(), before);
    EXPECT_EQ(fits, "abc");
    EXPECT_FALSE(fits.SetLength(-1));
}

TEST(ZStringTest, EditingOperations)
{
    ZString s("world");
    s.InsertFront("hello ", 6);
    EXPECT_EQ(s, "hello world");
    s.FillUp(14, '.');
    EXPECT_EQ(s, "hello world...");
    s.FillUp(3, '!'); // shorter: unchanged
    EXPECT_EQ(s, "hello world...");
    s.SetLength(5);
    EXPECT_EQ(s, "hello");
    s.Append(s.Str()); // appending its own text
    EXPECT_EQ(s, "hellohello");
    s.Assign(s.Str().Sub(5)); // assigning a view of itself
    EXPECT_EQ(s, "hello");
    s.AppendFormat(" %d-%.2f", 42, 1.5);
    EXPECT_EQ(s, "hello 42-1.50");
    s.Format("%s", "x");
    EXPECT_EQ(s, "x");

    ZString moved(std::move(s));
    EXPECT_EQ(moved, "x");
    s = "again"; // a moved-from string is usable
    EXPECT_EQ(s, "again");
}

TEST(ZStrTest, FindCaseInsensitive)
{
    ZStr text("Hello World, hello");
    int32_t pos = -1;
    EXPECT_TRUE(text.FindI("WORLD", 5, 0, pos));
    EXPECT_EQ(pos, 6);
    EXPECT_TRUE(text.FindI("hello", 5, 1, pos));
    EXPECT_EQ(pos, 13);
    EXPECT_FALSE(text.FindI("hello", 5, -1, pos));
    EXPECT_TRUE(text.FindI("", 0, 4, pos));
    EXPECT_EQ(pos, 4);
    EXPECT_FALSE(text.FindI("xyz", 3, 0, pos));
}

TEST(ZStrTest, FindLast)
{
    ZStr text("abcabcABC");
    int32_t pos = -1;
    EXPECT_TRUE(text.FindLast("abc", 3, -1, pos));
    EXPECT_EQ(pos, 3);
    EXPECT_TRUE(text.FindLastI("abc", 3, -1, pos));
    EXPECT_EQ(pos, 6);
    EXPECT_TRUE(text.FindLast("abc", 3, 5, pos)); // must end by position 5
    EXPECT_EQ(pos, 0);
    EXPECT_FALSE(text.FindLast("abc", 3, 2, pos));
}

TEST(ZStrTest, SplitAtDelimiter)
{
    ZStr before, after;
    EXPECT_TRUE(ZStr("key=value=x").Split("=", before, after));
    EXPECT_EQ(S(before), "key");
    EXPECT_EQ(S(after), "value=x");
    EXPECT_FALSE(ZStr("novalue").Split("=", before, after));
    EXPECT_EQ(S(before), "novalue");
    EXPECT_EQ(after.len, 0);
}

TEST(ZStrTest, SplitLines)
{
    struct Case
    {
        const char* text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"a\r\nb\n", {"a", "b"}},
        {"a\n\nb", {"a", "", "b"}},
        {"", {""}},
        {"a\rb\r\rc", {"a", "b", "", "c"}},
        {"\n", {""}},
        {"x", {"x"}},
        {"a\n\r\nb", {"a", "", "b"}},
    };
    for (const Case& c : cases) {
        XArray<ZStr, true> lines;
        EXPECT_TRUE(ZStr(c.text).SplitLines(lines)) << c.text;
        std::vector<std::string> got;
        for (ZStr line : lines) {
            got.push_back(S(line));
        }
        EXPECT_EQ(got, c.lines) << "text: " << c.text;
    }
    XArray<ZStr, true> none;
    EXPECT_FALSE(ZStr().SplitLines(none));
    EXPECT_EQ(none.Count(), 0);
}

TEST(ZStrTest, TrimCompareAndIdentifiers)
{
    EXPECT_EQ(S(ZStr(" \t a b \r\n").Trim()), "a b");
    EXPECT_EQ(ZStr("   ").Trim().len, 0);
    EXPECT_LT(ZStr("C_1").Compare("C_10"), 0);
    EXPECT_LT(ZStr("C_10").Compare("C_2"), 0);
    EXPECT_GT(ZStr("\xe4").Compare("z"), 0); // unsigned bytes
    EXPECT_TRUE(ZStr::IsIdentStart('$'));
    EXPECT_TRUE(ZStr::IsIdentStart('@'));
    EXPECT_TRUE(ZStr::IsIdentStart('_'));
    EXPECT_TRUE(ZStr::IsIdentStart('q'));
    EXPECT_FALSE(ZStr::IsIdentStart('1'));
    EXPECT_FALSE(ZStr::IsIdentStart('#'));
}

} // namespace
