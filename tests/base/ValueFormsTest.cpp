// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/NumberReader.h"
#include "base/XValueRef.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <string>

namespace {

std::string Str(ZStr s)
{
    return std::string(s.ptr, size_t(s.len));
}

TEST(ValueFormsTest, NumberReader)
{
    const struct
    {
        const char* text;
        bool ok;
        double value;
        const char* rest;
    } cases[] = {
        {"12", true, 12, ""},
        {"  -3.5e2xyz", true, -350, "xyz"},
        {"+.5", true, 0.5, ""},
        {"5.", true, 5, ""},
        {"5.x", true, 5, "x"},
        {"2E-3 4", true, 0.002, " 4"},
        {"\r\n\t7", true, 7, ""},
        {"1e", true, 1, "e"}, // an "e" without digits is not an exponent
        {"1e+", true, 1, "e+"},
        {"1e+x", true, 1, "e+x"},
        {"0x10", true, 0, "x10"},
        {"007", true, 7, ""},
        {"1.5.5", true, 1.5, ".5"},
        {"1e-400", true, 0, ""}, // below the smallest double
        {"0.001e-322", true, 0, ""},
        {"0e999999999999", true, 0, ""},
        {"0.0001e310", true, 1e306, ""},
        {"1000e-326", true, 1e-323, ""},
        {"1e400", false, 0, "1e400"}, // beyond the largest double
        {"1e99999999999999999999", false, 0, "1e99999999999999999999"},
        {"", false, 0, ""},
        {".", false, 0, "."},
        {"-", false, 0, "-"},
        {"+-5", false, 0, "+-5"},
        {"- 5", false, 0, "- 5"},
        {"e5", false, 0, "e5"},
        {"inf", false, 0, "inf"},
        {"nan", false, 0, "nan"},
        {"x1", false, 0, "x1"},
    };
    for (const auto& c : cases) {
        double v = -99;
        ZStr rest;
        EXPECT_EQ(ReadNumber(ZStr(c.text), v, rest), c.ok) << '"' << c.text << '"';
        EXPECT_EQ(v, c.ok ? c.value : -99) << '"' << c.text << '"';
        EXPECT_EQ(Str(rest), c.rest) << '"' << c.text << '"';
    }
    double v = 1;
    ZStr rest;
    ASSERT_TRUE(ReadNumber(ZStr("-1e-400"), v, rest));
    EXPECT_TRUE(v == 0.0 && std::signbit(v));
    EXPECT_FALSE(ReadNumber(ZStr(), v, rest));
}

TEST(ValueFormsTest, NumbersReadBackExactly)
{
    std::mt19937_64 gen(12345);
    int mismatches = 0;
    for (int i = 0; i < 2000 && mismatches < 5; ++i) {
        uint64_t bits = gen();
        double d = 0;
        std::memcpy(&d, &bits, sizeof d);
        if (!std::isfinite(d)) {
            continue;
        }
        char text[64];
        std::snprintf(text, sizeof text, i % 2 ? "%.17g" : "%.20g", d);
        double back = 0;
        ZStr rest;
        ASSERT_TRUE(ReadNumber(ZStr(text), back, rest)) << text;
        if (std::memcmp(&back, &d, sizeof d) != 0) {
            ADD_FAILURE() << text;
            ++mismatches;
        }
    }
    // Ordinary decimals are the nearest double, as a compiler reads them.
    const struct
    {
        const char* text;
        double value;
    } cases[] = {{"0.1", 0.1},
                 {"0.3", 0.3},
                 {"123.456", 123.456},
                 {"2.2250738585072014e-308", 2.2250738585072014e-308}};
    for (const auto& c : cases) {
        double back = 0;
        ZStr rest;
        ASSERT_TRUE(ReadNumber(ZStr(c.text), back, rest));
        EXPECT_EQ(back, c.value) << c.text;
    }
}

TEST(ValueFormsTest, PairReader)
{
    const struct
    {
        const char* text;
        PairSeparator sep;
        bool ok;
        double a, b;
        const char* rest;
    } cases[] = {
        {"10 10", PairSeparator::Blank, true, 10, 10, ""},
        {" 1\r\n2;", PairSeparator::Blank, true, 1, 2, ";"},
        {"15x15", PairSeparator::Blank, false, 0, 0, "15x15"},
        {"15x15", PairSeparator::Any, true, 15, 15, ""},
        {"15, 15", PairSeparator::Any, true, 15, 15, ""},
        {"10 10", PairSeparator::Any, true, 10, 10, ""},
        {"10@-2.5e1 z", PairSeparator::Any, true, 10, -25, " z"},
        {"3 by .5", PairSeparator::Any, true, 3, 0.5, ""},
        {"1e2x3", PairSeparator::Any, true, 100, 3, ""},
        {"1ex3", PairSeparator::Any, true, 1, 3, ""},
        {"15x", PairSeparator::Any, false, 0, 0, "15x"},
        {"15x-", PairSeparator::Any, false, 0, 0, "15x-"},
        {"x15 15", PairSeparator::Any, false, 0, 0, "x15 15"},
        {"15", PairSeparator::Blank, false, 0, 0, "15"},
    };
    for (const auto& c : cases) {
        double a = -1;
        double b = -1;
        ZStr rest;
        EXPECT_EQ(ReadPair(ZStr(c.text), a, b, rest, c.sep), c.ok) << '"' << c.text << '"';
        EXPECT_EQ(a, c.ok ? c.a : -1) << '"' << c.text << '"';
        EXPECT_EQ(b, c.ok ? c.b : -1) << '"' << c.text << '"';
        EXPECT_EQ(Str(rest), c.rest) << '"' << c.text << '"';
    }
}

// Integers read from text or truncated from doubles saturate at the int range.
TEST(ValueFormsTest, IntegersSaturate)
{
    const struct
    {
        const char* text;
        int32_t value;
    } texts[] = {
        {" \t+12 dB", 12},
        {"-0", 0},
        {"2147483647", INT32_MAX},
        {"2147483648", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"-2147483649", INT32_MIN},
        {"99999999999999999999999", INT32_MAX},
        {"x12", 0},
        {"-", 0},
    };
    for (const auto& c : texts) {
        EXPECT_EQ(TextToInt(c.text), c.value) << '"' << c.text << '"';
    }
    const double inf = std::numeric_limits<double>::infinity();
    const struct
    {
        double v;
        int32_t value;
    } reals[] = {
        {2.9, 2},         {-2.9, -2},        {1e12, INT32_MAX}, {-1e12, INT32_MIN},
        {inf, INT32_MAX}, {-inf, INT32_MIN}, {std::nan(""), 0}, {2147483646.5, 2147483646}};
    for (const auto& c : reals) {
        EXPECT_EQ(TruncToInt(c.v), c.value) << c.v;
    }
}

TEST(ValueFormsTest, NumbersConvertAmongThemselves)
{
    double real = 2.9;
    int32_t integer = 0;
    bool flag = false;
    EXPECT_TRUE(Convert(&integer, &real, KindChange::Allow));
    EXPECT_EQ(integer, 2);
    EXPECT_TRUE(Convert(&flag, &real, KindChange::Allow));
    EXPECT_TRUE(flag);
    real = -2.9;
    EXPECT_TRUE(Convert(&integer, &real, KindChange::Allow));
    EXPECT_EQ(integer, -2); // truncated toward zero
    real = -0.0;
    EXPECT_TRUE(Convert(&flag, &real, KindChange::Allow));
    EXPECT_FALSE(flag);
    EXPECT_TRUE(Convert(&real, &flag, KindChange::Allow));
    EXPECT_EQ(real, 0.0);
    flag = true;
    EXPECT_TRUE(Convert(&integer, &flag, KindChange::Allow));
    EXPECT_EQ(integer, 1);
    integer = -7;
    EXPECT_TRUE(Convert(&real, &integer, KindChange::Allow));
    EXPECT_EQ(real, -7.0);

    // A real that no int can hold fails and leaves the integer alone.
    integer = 42;
    for (double bad : {3e9, -3e9, std::numeric_limits<double>::quiet_NaN(),
                       std::numeric_limits<double>::infinity()}) {
        real = bad;
        EXPECT_FALSE(Convert(&integer, &real, KindChange::Allow)) << bad;
        EXPECT_EQ(integer, 42);
    }
    real = 2147483647.9;
    EXPECT_TRUE(Convert(&integer, &real, KindChange::Allow));
    EXPECT_EQ(integer, INT32_MAX);
    real = -2147483648.9;
    EXPECT_TRUE(Convert(&integer, &real, KindChange::Allow));
    EXPECT_EQ(integer, INT32_MIN);

    // A flag byte other than 0 or 1 reads as 1, and a bool only ever receives 0 or 1.
    unsigned char odd = 2;
    EXPECT_TRUE(Convert(&integer, XValueRef(XValueKind::Flag, &odd), KindChange::Allow));
    EXPECT_EQ(integer, 1);
    unsigned char copy = 9;
    EXPECT_TRUE(Convert(XValueRef(XValueKind::Flag, &copy), XValueRef(XValueKind::Flag, &odd),
                        KindChange::Forbid));
    EXPECT_EQ(copy, 1);
}

TEST(ValueFormsTest, ValuesWriteAsText)
{
    ZString text("old");
    bool flag = true;
    int32_t integer = -12;
    double real = 1234567.0;
    NXPoint point{0.5, -2};
    NXSize size{3, 4};
    NXRect rect{1, 2, 3, 0.1};

    EXPECT_TRUE(Convert(&text, &flag, KindChange::Allow));
    EXPECT_STREQ(text.Text(), "1");
    EXPECT_TRUE(Convert(&text, &integer, KindChange::Allow));
    EXPECT_STREQ(text.Text(), "-12");
    EXPECT_TRUE(Convert(&text, &real, KindChange::Allow));
    EXPECT_STREQ(text.Text(), "1.23457e+06"); // six significant digits
    EXPECT_TRUE(Convert(&text, &point, KindChange::Allow));
    EXPECT_STREQ(text.Text(), "0.5 -2");
    EXPECT_TRUE(Convert(&text, &size, KindChange::Allow));
    EXPECT_STREQ(text.Text(), "3 4");
    EXPECT_TRUE(Convert(&text, &rect, KindChange::Allow));
    EXPECT_STREQ(text.Text(), "1 2 3 0.10000000000000000555");

    // Without permission to change kind nothing is written.
    EXPECT_FALSE(Convert(&text, &integer, KindChange::Forbid));
    EXPECT_STREQ(text.Text(), "1 2 3 0.10000000000000000555");
}

TEST(ValueFormsTest, ConversionsThatFailLeaveTheTargetAlone)
{
    ZString text("12");
    int32_t integer = 5;
    double real = 1.5;
    bool flag = true;
    NXPoint point{1, 2};
    NXRect rect{1, 2, 3, 4};
    XRealArray reals;
    reals.Append(1.0);
    XIntArray ints;

    // Text is never parsed here.
    EXPECT_FALSE(Convert(&integer, &text, KindChange::Allow));
    EXPECT_FALSE(Convert(&real, &text, KindChange::Allow));
    EXPECT_FALSE(Convert(&flag, &text, KindChange::Allow));
    EXPECT_FALSE(Convert(&point, &text, KindChange::Allow));
    EXPECT_FALSE(Convert(&rect, &text, KindChange::Allow));
    // Pairs and rectangles change kind only into text.
    EXPECT_FALSE(Convert(&integer, &point, KindChange::Allow));
    EXPECT_FALSE(Convert(&point, &integer, KindChange::Allow));
    EXPECT_FALSE(Convert(&rect, &point, KindChange::Allow));
    EXPECT_FALSE(Convert(&point, &rect, KindChange::Allow));
    // Arrays never change kind, not even into text.
    EXPECT_FALSE(Convert(&ints, &reals, KindChange::Allow));
    EXPECT_FALSE(Convert(&text, &reals, KindChange::Allow));
    EXPECT_FALSE(Convert(&real, &reals, KindChange::Allow));
    // Numbers need permission to change kind.
    EXPECT_FALSE(Convert(&integer, &real, KindChange::Forbid));
    // Missing storage and unknown kinds.
    EXPECT_FALSE(Convert(XValueRef(XValueKind::Int, nullptr), &integer, KindChange::Allow));
    EXPECT_FALSE(Convert(&integer, XValueRef(XValueKind::Int, nullptr), KindChange::Allow));
    EXPECT_FALSE(Convert(XValueRef(XValueKind(10), &integer), &integer, KindChange::Allow));
    EXPECT_FALSE(Convert(&integer, XValueRef(XValueKind(-1), &integer), KindChange::Allow));

    EXPECT_STREQ(text.Text(), "12");
    EXPECT_EQ(integer, 5);
    EXPECT_EQ(real, 1.5);
    EXPECT_TRUE(flag);
    EXPECT_EQ(point, (NXPoint{1, 2}));
    EXPECT_EQ(rect, (NXRect{1, 2, 3, 4}));
    EXPECT_EQ(ints.Count(), 0);
}

TEST(ValueFormsTest, SameKindCopies)
{
    // Points and sizes are both pairs.
    NXPoint point{1.5, -2.5};
    NXSize size;
    EXPECT_TRUE(Convert(&size, &point, KindChange::Forbid));
    EXPECT_EQ(size, (NXSize{1.5, -2.5}));
    NXRect rect{1, 2, 3, 4};
    NXRect rect2;
    EXPECT_TRUE(Convert(&rect2, &rect, KindChange::Forbid));
    EXPECT_EQ(rect2, rect);

    ZString text("same");
    EXPECT_TRUE(Convert(&text, &text, KindChange::Forbid));
    EXPECT_STREQ(text.Text(), "same");

    // Arrays take the source's count and independent copies of its elements.
    XTextArray words;
    words.Append(ZString("alpha"));
    words.Append(ZString("beta"));
    XTextArray copy;
    for (int i = 0; i < 5; ++i) {
        copy.Append(ZString("stale"));
    }
    EXPECT_TRUE(Convert(&copy, &words, KindChange::Forbid));
    ASSERT_EQ(copy.Count(), 2);
    words[0].Assign("changed");
    EXPECT_STREQ(copy[0].Text(), "alpha");
    EXPECT_STREQ(copy[1].Text(), "beta");

    XPairArray points;
    for (int i = 0; i < 25; ++i) {
        points.Append(NXPoint{double(i), -double(i)});
    }
    XPairArray points2;
    EXPECT_TRUE(Convert(&points2, &points, KindChange::Forbid));
    ASSERT_EQ(points2.Count(), 25);
    EXPECT_EQ(points2[24], (NXPoint{24, -24}));
    EXPECT_TRUE(Convert(&points2, &points2, KindChange::Forbid));
    EXPECT_EQ(points2.Count(), 25);
}

} // namespace
