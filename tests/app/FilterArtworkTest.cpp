// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/gui/FilterArtwork.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>
#include <string>

namespace {

// Distinct opaque colours of an image.
size_t ColourCount(const plat::Image& img)
{
    std::set<plat::ColorRef> colours;
    const plat::Size size = img.GetSize();
    for (int y = 0; y < size.cy; ++y) {
        for (int x = 0; x < size.cx; ++x) {
            if (img.GetAlpha(x, y) == 255) {
                colours.insert(img.GetPixel(x, y));
            }
        }
    }
    return colours.size();
}

TEST(FilterArtworkTest, PicturesHaveTheAskedSizeAndAreDrawn)
{
    struct Case
    {
        std::string what;
        plat::Image img;
        plat::Size size;
    };
    Case cases[] = {
        {"picture", DrawFilterPicture(186, 130), {186, 130}},
        {"large picture", DrawFilterPicture(372, 260), {372, 260}},
        {"degenerate picture", DrawFilterPicture(0, -5), {16, 16}},
        {"icon 16", DrawAppIcon(16), {16, 16}},
        {"icon 32", DrawAppIcon(32), {32, 32}},
        {"icon 48", DrawAppIcon(48), {48, 48}},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(c.img.IsValid()) << c.what;
        EXPECT_EQ(c.img.GetSize(), c.size) << c.what;
        // Walls, cavity, rods and outlines at the least.
        EXPECT_GE(ColourCount(c.img), 4u) << c.what;
    }
    // The picture is opaque; the icon's centre is, its very corner is cut away.
    for (const Case& c : cases) {
        const plat::Size s = c.img.GetSize();
        EXPECT_EQ(c.img.GetAlpha(s.cx / 2, s.cy / 2), 255) << c.what;
        const bool icon = c.what.rfind("icon", 0) == 0;
        EXPECT_EQ(c.img.GetAlpha(0, 0), icon ? 0 : 255) << c.what;
    }
}

// Every rod crosses the cavity's middle row: counting the copper runs there counts the rods.
TEST(FilterArtworkTest, PictureShowsTheDesignsNumberOfRods)
{
    for (int rods : {2, 3, 5, 8, 10, 12}) {
        const plat::Image img = DrawFilterPicture(186, 130, rods);
        int runs = 0;
        bool inRod = false;
        for (int x = 0; x < 186; ++x) {
            const plat::ColorRef c = img.GetPixel(x, 65);
            const int r = int(c & 0xFF), g = int((c >> 8) & 0xFF), b = int((c >> 16) & 0xFF);
            const bool copper = r > 120 && r > g + 30 && g > b;
            runs += copper && !inRod;
            inRod = copper;
        }
        EXPECT_EQ(runs, std::min(rods, kMaxPictureRods)) << rods << " rods";
    }
}

} // namespace
