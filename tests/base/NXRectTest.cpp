// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/NXGeom.h"
#include "base/ZString.h"

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <string>

namespace {

TEST(NXRectTest, RoundsHalvesAwayFromZero)
{
    const struct
    {
        double v;
        int32_t expected;
    } cases[] = {
        {0.5, 1},
        {-0.5, -1},
        {1.5, 2},
        {-1.5, -2},
        {2.5, 3},
        {-2.5, -3},
        {2.49, 2},
        {-2.49, -2},
        {-0.0, 0},
        // The largest double below one half: adding 0.5 to it would round up to 1.
        {0.49999999999999994, 0},
        {-0.49999999999999994, 0},
        {2147483646.5, 2147483647},
        {-2147483647.5, -2147483647 - 1},
        // Beyond the int range the nearest int; NaN is no position at all.
        {1e300, INT32_MAX},
        {-1e300, INT32_MIN},
        {std::numeric_limits<double>::infinity(), INT32_MAX},
        {std::numeric_limits<double>::quiet_NaN(), 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RoundHalfAway(c.v), c.expected) << c.v;
    }
}

TEST(NXRectTest, TextForms)
{
    ZString out;
    NXRect r{-0.5, 0.5, 1.5, 2.49};
    r.ToText(out, RectText::Integer);
    EXPECT_STREQ(out.Text(), "-1@1,2x2");
    NXRect{10, 20, 30, 40}.ToText(out, RectText::Integer);
    EXPECT_STREQ(out.Text(), "10@20,30x40");
    NXRect{10, 20.5, 30, 0.1}.ToText(out, RectText::Exact);
    EXPECT_STREQ(out.Text(), "10@20.5,30x0.10000000000000000555");
    NXRect{15, 15, 15, 15}.ToText(out, RectText::Numbers);
    EXPECT_STREQ(out.Text(), "15 15 15 15");
}

TEST(NXRectTest, EveryWrittenFormReadsBackExactly)
{
    const double tiny = std::numeric_limits<double>::denorm_min();
    const double huge = std::numeric_limits<double>::max();
    const NXRect rects[] = {
        {0.1, 1.0 / 3.0, -2.5e-300, 7},
        {-huge, huge, tiny, -tiny},
        {-0.0, 1e22, 123456789.123456789, -1e-5},
    };
    for (const NXRect& r : rects) {
        for (RectText form : {RectText::Exact, RectText::Numbers}) {
            ZString text;
            r.ToText(text, form);
            NXRect back;
            ZStr rest;
            ASSERT_TRUE(back.FromText(text, rest)) << text.Text();
            EXPECT_EQ(back, r) << text.Text();
            EXPECT_EQ(std::signbit(back.x), std::signbit(r.x)) << text.Text();
            EXPECT_EQ(rest.len, 0);
        }
    }
    // The integer form reads back as the rounded numbers.
    NXRect back;
    ZStr rest;
    ASSERT_TRUE(back.FromText(ZStr("-1@1,2x2 tail"), rest));
    EXPECT_EQ(back, (NXRect{-1, 1, 2, 2}));
    EXPECT_EQ(std::string(rest.ptr, size_t(rest.len)), " tail");

    NXPoint p;
    ASSERT_TRUE(p.FromText(ZStr("10, -10"), rest));
    EXPECT_EQ(p, (NXPoint{10, -10}));
    NXSize s;
    ASSERT_TRUE(s.FromText(ZStr("15x15"), rest));
    EXPECT_EQ(s, (NXSize{15, 15}));
}

TEST(NXRectTest, FailedReadLeavesTheValueAlone)
{
    const NXRect before{1, 2, 3, 4};
    for (const char* text : {"", "10@20,30x", "10 20 30 -", "@,x", "inf 1 2 3"}) {
        NXRect r = before;
        ZStr rest;
        EXPECT_FALSE(r.FromText(ZStr(text), rest)) << text;
        EXPECT_EQ(r, before) << text;
        EXPECT_EQ(rest.ptr, text);
    }
    NXSize s{7, 8};
    ZStr rest;
    EXPECT_FALSE(s.FromText(ZStr("15x"), rest));
    EXPECT_EQ(s, (NXSize{7, 8}));
}

TEST(NXRectTest, IntegerRectangleRoundsTheEdges)
{
    // Edges, not sizes, are rounded: a 0.4 wide rectangle at 0.4 still covers a pixel.
    plat::Rect a = NXRect{0.4, 0.4, 0.4, 0.4}.ToIntRect();
    EXPECT_EQ(a, (plat::Rect{0, 0, 1, 1}));
    plat::Rect b = NXRect{-0.5, -1.5, 1.0, 1.0}.ToIntRect();
    EXPECT_EQ(b, (plat::Rect{-1, -2, 1, -1}));
    // Neighbours that share an edge in doubles share it in pixels.
    NXRect left{0.3, 0, 10.4, 5};
    NXRect right{left.Right(), 0, 9.9, 5};
    EXPECT_EQ(left.ToIntRect().right, right.ToIntRect().left);
}

TEST(NXRectTest, DeflateLimitsShrinkingToTheCentre)
{
    NXRect r{10, 20, 100, 50};
    r.Deflate(5, 10);
    EXPECT_EQ(r, (NXRect{15, 30, 90, 30}));

    // Too much inset meets in the middle instead of turning the rectangle inside out.
    NXRect small{0, 0, 10, 4};
    small.Deflate(8, 3);
    EXPECT_EQ(small, (NXRect{5, 2, 0, 0}));

    // Negative values grow the rectangle without limit; zero changes nothing.
    NXRect grow{0, 0, 2, 2};
    grow.Deflate(-10, 0);
    EXPECT_EQ(grow, (NXRect{-10, 0, 22, 2}));
}

} // namespace
