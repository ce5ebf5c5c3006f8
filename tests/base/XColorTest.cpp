// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/XColor.h"

#include "base/ZString.h"
#include "platform/SystemColors.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <set>
#include <string>

namespace {

// 0xRRGGBB as the web tables write it, turned into the 0x00BBGGRR colour value.
uint32_t Web(uint32_t rgb)
{
    return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

std::string Text(const XColor& c)
{
    ZString out;
    c.ToText(out);
    return out.Text();
}

TEST(XColorTest, TableHoldsEveryNameWithItsValue)
{
    const StringTypeDict<int>& names = XColor::NameTable();
    EXPECT_EQ(names.Count(), 147);

    // Reference values, including the two entries that differ from the web table.
    const struct
    {
        const char* name;
        uint32_t rgb;
    } cases[] = {
        {"aliceblue", 0xF0F8FF},
        {"black", 0x000000},
        {"cornflower", 0x6495ED},
        {"darkseagreen", 0x8FBC8B},
        {"gray", 0x808080},
        {"green", 0x008000},
        {"lightgoldenrodyellow", 0xFAFAD2},
        {"lime", 0x00FF00},
        {"maroon", 0x800000},
        {"mediumspringgreen", 0x00FA9A},
        {"navajowhite", 0xFFDEAD},
        {"purple", 0x800080},
        {"rebeccapurple", 0}, // not a name of this table
        {"red", 0xFF0000},
        {"teal", 0x008080},
        {"yellowgreen", 0x9ACD32},
        {"white", 0xFFFFFF},
    };
    for (const auto& c : cases) {
        int value = -1;
        bool found = names.Lookup(ZStr(c.name), value);
        if (std::string(c.name) == "rebeccapurple") {
            EXPECT_FALSE(found);
            continue;
        }
        ASSERT_TRUE(found) << c.name;
        EXPECT_EQ(uint32_t(value), Web(c.rgb)) << c.name;
    }
    int none = 0;
    ASSERT_TRUE(names.Lookup(ZStr("none"), none));
    EXPECT_EQ(uint32_t(none), XColor::kNone);
    // Names are case-sensitive, and "grey" is not a spelling of the table.
    EXPECT_FALSE(names.Contains(ZStr("Red")));
    EXPECT_FALSE(names.Contains(ZStr("grey")));
    EXPECT_FALSE(names.Contains(ZStr("cornflowerblue")));
}

TEST(XColorTest, SystemColorsComeFromTheTheme)
{
    const struct
    {
        const char* name;
        plat::SystemColor which;
    } cases[] = {
        {"WindowBg", plat::SystemColor::Window},
        {"WindowText", plat::SystemColor::WindowText},
        {"WindowSelTextBg", plat::SystemColor::Highlight},
        {"WindowSelText", plat::SystemColor::HighlightText},
        {"WindowDlgBg", plat::SystemColor::ButtonFace},
        {"WindowDlgText", plat::SystemColor::WindowText},
    };
    for (const auto& c : cases) {
        XColor colour;
        ASSERT_TRUE(colour.FromText(ZStr(c.name))) << c.name;
        EXPECT_EQ(colour.Value(), plat::GetSystemColor(c.which) & 0xFFFFFFu) << c.name;
        // Written back, a system colour gets whichever name was inserted last for its
        // value; that name must read as the same colour.
        EXPECT_EQ(XColor(ZStr(Text(colour).c_str())), colour) << c.name;
    }
}

TEST(XColorTest, ReverseTableKeepsTheLaterNameOfAValue)
{
    EXPECT_EQ(Text(XColor(ZStr("aqua"))), "cyan");
    EXPECT_EQ(Text(XColor(ZStr("fuchsia"))), "magenta");
    EXPECT_EQ(Text(XColor(ZStr("white"))), "white");
    EXPECT_EQ(Text(XColor(ZStr("none"))), "none");
    EXPECT_EQ(Text(XColor(ZStr("#ff0000"))), "red");

    // Every value of the names table has exactly one written name, and that name stands
    // for the same value.
    const StringTypeDict<int>& names = XColor::NameTable();
    const TypeDict<int, ZStr>& values = XColor::ValueNames();
    std::set<int> distinct;
    for (int32_t i = 0; i < names.Capacity(); ++i) {
        if (!names.IsUsed(i)) {
            continue;
        }
        distinct.insert(names.ValueAt(i));
        ZStr written;
        ASSERT_TRUE(values.Lookup(names.ValueAt(i), written));
        int back = -1;
        ASSERT_TRUE(names.Lookup(written, back));
        EXPECT_EQ(back, names.ValueAt(i));
    }
    EXPECT_EQ(values.Count(), int32_t(distinct.size()));
    // The 140 web colours share two values (aqua/cyan, fuchsia/magenta); "none" adds one,
    // and the theme colours add at most five (two names share the window text colour).
    EXPECT_GE(values.Count(), 139);
    EXPECT_LE(values.Count(), 144);
}

TEST(XColorTest, ReadsNamesAndHexText)
{
    const struct
    {
        const char* text;
        bool ok;
        uint32_t value; // 0x00BBGGRR
        const char* rest;
    } cases[] = {
        {"red", true, 0x0000FF, ""},
        {" red ", true, 0x0000FF, " "},
        {"red blue", true, 0x0000FF, " blue"},
        {"#FF0000", true, 0x0000FF, ""},
        {"#ff0000", true, 0x0000FF, ""},
        {"ff0000", true, 0x0000FF, ""},
        {"FF8000 tail", true, 0x0080FF, " tail"},
        {"#FF0000 blue", true, 0x0000FF, " blue"}, // the word after "#" is hex
        {" #FF8000", true, 0x0080FF, ""},
        {"#red", true, 0x0000FF, ""},                   // not hex, so the word after "#" is a name
        {"deadbeef", true, 0xADDE | (0xBEu << 16), ""}, // extra bytes are ignored
        {"#FF", true, 0x0000FF, ""},                    // missing components are 0
        {"none", true, XColor::kNone, ""},
        {"\tnavy\r\n", true, 0x800000, "\r\n"},
        {"Red", false, 0, "Red"},
        {"RED", false, 0, "RED"},
        {"#GG0000", false, 0, "#GG0000"},
        {"fff", false, 0, "fff"}, // odd number of digits
        {"#", false, 0, "#"},
        {"", false, 0, ""},
        {"   ", false, 0, "   "},
    };
    for (const auto& c : cases) {
        XColor colour = XColor::FromRGB(1, 2, 3); // a failed read must not keep this
        ZStr rest;
        EXPECT_EQ(colour.FromText(ZStr(c.text), rest), c.ok) << '"' << c.text << '"';
        EXPECT_EQ(colour.Value(), c.value) << '"' << c.text << '"';
        EXPECT_EQ(std::string(rest.ptr, size_t(rest.len)), c.rest) << '"' << c.text << '"';
    }
    // A null view reads as nothing.
    XColor colour;
    EXPECT_FALSE(colour.FromText(ZStr()));
}

TEST(XColorTest, WritesUnnamedColoursAsUpperCaseHex)
{
    XColor orange = XColor::FromRGB(0xFF, 0x80, 0x00);
    EXPECT_EQ(Text(orange), "#FF8000");
    ZString hex;
    orange.HexText(hex);
    EXPECT_STREQ(hex.Text(), "FF8000");
    EXPECT_EQ(XColor(ZStr(Text(orange).c_str())), orange);

    // Setting the components of "none" makes it a real colour again.
    XColor none(XColor::kNone);
    EXPECT_TRUE(none.IsNone());
    none.SetRGB(255, 255, 255);
    EXPECT_FALSE(none.IsNone());
    EXPECT_EQ(Text(none), "white");
}

TEST(XColorTest, HlsOfKnownColours)
{
    const struct
    {
        uint8_t r, g, b;
        double hue, lightness, saturation;
    } cases[] = {
        {255, 0, 0, 360, 0.5, 1},
        {255, 255, 0, 60, 0.5, 1},
        {0, 255, 0, 120, 0.5, 1},
        {0, 0, 255, 240, 0.5, 1},
        {255, 0, 255, 300, 0.5, 1},
        {128, 128, 128, 0, 256.0 / 510, 0}, // greys have no hue
        {255, 128, 0, 30.117647058823529, 0.5, 1},
        {0x8B, 0x45, 0x13, 25, 158.0 / 510, 120.0 / 158},               // saddlebrown, dark half
        {0xF5, 0xDE, 0xB3, 39.090909090909093, 424.0 / 510, 66.0 / 86}, // wheat, light half
    };
    for (const auto& c : cases) {
        XColor colour = XColor::FromRGB(c.r, c.g, c.b);
        EXPECT_NEAR(colour.Hue(), c.hue, 1e-9) << int(c.r) << ',' << int(c.g) << ',' << int(c.b);
        EXPECT_NEAR(colour.Lightness(), c.lightness, 1e-12);
        EXPECT_NEAR(colour.Saturation(), c.saturation, 1e-12);
    }

    XColor red(0.0, 0.5, 1.0);
    EXPECT_EQ(red.Red(), 255);
    EXPECT_EQ(red.Green(), 0);
    EXPECT_EQ(red.Blue(), 0);
    EXPECT_EQ(XColor(360.0, 0.5, 1.0), red);
    EXPECT_EQ(XColor(123.0, 1.0, 0.0).Value(), 0xFFFFFFu);
    // Any hue with saturation 0 is the grey trunc(lightness * 255).
    for (double hue : {0.0, 90.0, 359.0}) {
        XColor grey(hue, 0.3, 0.0);
        EXPECT_EQ(grey.Red(), 76);
        EXPECT_EQ(grey.Green(), 76);
        EXPECT_EQ(grey.Blue(), 76);
    }
}

TEST(XColorTest, RepresentationsFollowTheLastChange)
{
    // A colour built from HLS keeps its own numbers; the RGB form is derived from them.
    XColor c(200.5, 0.4, 0.3);
    EXPECT_EQ(c.Hue(), 200.5);
    EXPECT_EQ(c.Lightness(), 0.4);
    uint32_t value = c.Value();
    EXPECT_EQ(c.Saturation(), 0.3); // reading RGB did not disturb the HLS numbers
    EXPECT_EQ(XColor(200.5, 0.4, 0.3).Value(), value);

    // Setting components replaces the HLS form too.
    c.SetRGB(0, 0, 255);
    EXPECT_EQ(c.Hue(), 240.0);
    EXPECT_EQ(c.Lightness(), 0.5);
    c.SetRGB(255, 0, 0);
    EXPECT_EQ(c.Hue(), 360.0);

    // Reading a colour replaces a previous HLS form.
    XColor d(100.0, 0.2, 0.2);
    ASSERT_TRUE(d.FromText(ZStr("blue")));
    EXPECT_EQ(d.Hue(), 240.0);
}

TEST(XColorTest, OutOfRangeHlsGivesRealColours)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct
    {
        double hue, lightness, saturation;
        uint32_t value;
    } cases[] = {
        {0, 2.0, 0, 0xFFFFFF},   // grey above white
        {0, -1.0, 0, 0x000000},  // grey below black
        {0, 0.5, 5.0, 0x0000FF}, // oversaturated red clamps to pure red
        {nan, 0.5, 1.0, 0x000000}, {0, nan, 0.5, 0x000000}, {0, nan, 0.0, 0x000000},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(XColor(c.hue, c.lightness, c.saturation).Value(), c.value)
            << c.hue << ' ' << c.lightness << ' ' << c.saturation;
    }
    // Far-off hues wrap once only and land outside the colour circle: black, not garbage.
    EXPECT_EQ(XColor(1e9, 0.5, 1.0).Value(), 0u);
    EXPECT_EQ(XColor(-1e9, 0.5, 1.0).Value(), 0u);
}

// RGB -> HLS -> RGB: every channel is computed as trunc(value * 255) of a value that equals
// the original channel / 255 up to rounding, so it comes back equal or one less, never more
// and never further off.
TEST(XColorTest, HlsRoundTripLosesAtMostOneStepDownwards)
{
    auto check = [](int r, int g, int b) {
        XColor rgb = XColor::FromRGB(uint8_t(r), uint8_t(g), uint8_t(b));
        XColor back(rgb.Hue(), rgb.Lightness(), rgb.Saturation());
        int dr = r - back.Red();
        int dg = g - back.Green();
        int db = b - back.Blue();
        bool ok = dr >= 0 && dr <= 1 && dg >= 0 && dg <= 1 && db >= 0 && db <= 1;
        EXPECT_TRUE(ok) << r << ',' << g << ',' << b << " -> " << int(back.Red()) << ','
                        << int(back.Green()) << ',' << int(back.Blue());
        return ok;
    };
    int failures = 0;
    // A lattice through the whole cube, with odd strides so that every residue shows up.
    for (int r = 0; r < 256 && failures < 5; r += 7) {
        for (int g = 0; g < 256; g += 5) {
            for (int b = 0; b < 256; b += 3) {
                failures += check(r, g, b) ? 0 : 1;
            }
        }
    }
    for (int v = 0; v < 256; ++v) {
        check(v, v, v);
        check(v, 0, 255);
        check(255, v, 0);
        check(0, 255, v);
    }
    // Colours made of full and empty channels come back exactly.
    for (int mask = 0; mask < 8; ++mask) {
        int r = (mask & 1) ? 255 : 0;
        int g = (mask & 2) ? 255 : 0;
        int b = (mask & 4) ? 255 : 0;
        XColor rgb = XColor::FromRGB(uint8_t(r), uint8_t(g), uint8_t(b));
        EXPECT_EQ(XColor(rgb.Hue(), rgb.Lightness(), rgb.Saturation()), rgb) << mask;
    }
}

TEST(XColorTest, MixInterpolatesEachHlsComponent)
{
    XColor red = XColor::FromRGB(255, 0, 0);  // hue 360
    XColor blue = XColor::FromRGB(0, 0, 255); // hue 240
    // Numeric hue interpolation goes 360 -> 300 (magenta), not the short way through 0.
    XColor mid = red.MixHLS(blue, 0.5, 0.5, 0.5);
    EXPECT_DOUBLE_EQ(mid.Hue(), 300.0);
    EXPECT_EQ(mid.Value(), 0xFF00FFu);

    XColor dark = XColor::FromRGB(0, 0, 128);
    XColor light = XColor::FromRGB(200, 200, 255);
    XColor same = dark.MixHLS(light, 0.0, 0.0, 0.0);
    EXPECT_EQ(same.Hue(), dark.Hue());
    EXPECT_EQ(same.Lightness(), dark.Lightness());
    EXPECT_EQ(same.Saturation(), dark.Saturation());
    // Each fraction acts on its own component only.
    XColor lit = dark.MixHLS(light, 0.0, 1.0, 0.0);
    EXPECT_EQ(lit.Hue(), dark.Hue());
    EXPECT_EQ(lit.Lightness(), light.Lightness());
    EXPECT_EQ(lit.Saturation(), dark.Saturation());
}

} // namespace
