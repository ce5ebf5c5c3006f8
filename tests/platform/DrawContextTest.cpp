// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/DrawContext.h"

#include "platform/Fonts.h"
#include "platform/Image.h"
#include "platform/MessageText.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace plat;

namespace {

constexpr ColorRef kRed = Rgb(255, 0, 0);
constexpr ColorRef kBlue = Rgb(0, 0, 255);
constexpr ColorRef kWhite = Rgb(255, 255, 255);
constexpr ColorRef kBlack = Rgb(0, 0, 0);

// Counts the pixels (x, y) of rectangle r for which counts(x, y) holds.
template <class Pred> int CountWhere(const Rect& r, Pred counts)
{
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (counts(x, y))
                ++n;
    return n;
}

// Counts the pixels of a rectangle of the image that have exactly the colour c.
int CountColor(const Image& img, const Rect& r, ColorRef c)
{
    return CountWhere(
        r, [&](int x, int y) { return img.GetAlpha(x, y) == 255 && img.GetPixel(x, y) == c; });
}

// Counts the pixels that something was drawn on (alpha above 0).
int CountInk(const Image& img, const Rect& r)
{
    return CountWhere(r, [&](int x, int y) { return img.GetAlpha(x, y) > 0; });
}

// Counts the pixels covered at least half (antialiased edges count by their coverage).
int CountHalfCovered(const Image& img, const Rect& r)
{
    return CountWhere(r, [&](int x, int y) { return img.GetAlpha(x, y) >= 128; });
}

} // namespace

TEST(DrawContextTest, FillRectCoversLeftTopButNotRightBottom)
{
    Image img(20, 20);
    img.Context().FillRect({2, 3, 7, 9}, kRed);
    EXPECT_EQ(CountColor(img, {0, 0, 20, 20}, kRed), 5 * 6);
    EXPECT_EQ(img.GetPixel(2, 3), kRed);
    EXPECT_EQ(img.GetPixel(6, 8), kRed);
    EXPECT_EQ(img.GetAlpha(7, 8), 0);
    EXPECT_EQ(img.GetAlpha(6, 9), 0);
    EXPECT_EQ(img.GetAlpha(1, 3), 0);
}

TEST(DrawContextTest, RectangleFillsWithBrushAndFramesWithPenInsideTheRectangle)
{
    Image img(30, 30);
    DrawContext& dc = img.Context();
    dc.SetPen({kBlue, 2, PenStyle::Solid});
    dc.SetBrush(Brush::Solid(kRed));
    dc.Rectangle({5, 5, 25, 20});
    // Frame: 2-pixel bands inside the rectangle.
    EXPECT_EQ(img.GetPixel(5, 5), kBlue);
    EXPECT_EQ(img.GetPixel(6, 12), kBlue);
    EXPECT_EQ(img.GetPixel(24, 19), kBlue);
    EXPECT_EQ(img.GetPixel(23, 18), kBlue);
    EXPECT_EQ(img.GetPixel(7, 7), kRed);
    EXPECT_EQ(img.GetPixel(22, 17), kRed);
    EXPECT_EQ(CountInk(img, {0, 0, 30, 30}), 20 * 15);
    EXPECT_EQ(CountColor(img, {0, 0, 30, 30}, kRed), 16 * 11);

    // A hollow brush leaves the inside untouched.
    Image hollow(30, 30);
    hollow.Context().SetBrush(Brush::Hollow());
    hollow.Context().Rectangle({5, 5, 25, 20});
    EXPECT_EQ(hollow.GetPixel(5, 5), kBlack);
    EXPECT_EQ(hollow.GetAlpha(10, 10), 0);
    EXPECT_EQ(CountInk(hollow, {0, 0, 30, 30}), 2 * 20 + 2 * 13);
}

TEST(DrawContextTest, EllipseAndPolygonFillTheirInsideOnly)
{
    Image img(40, 40);
    DrawContext& dc = img.Context();
    dc.SetPen({kRed, 1, PenStyle::Null});
    dc.SetBrush(Brush::Solid(kBlue));
    dc.Ellipse({0, 0, 40, 40});
    EXPECT_EQ(img.GetPixel(20, 20), kBlue);
    EXPECT_EQ(img.GetPixel(20, 2), kBlue);
    EXPECT_EQ(img.GetAlpha(1, 1), 0);
    EXPECT_EQ(img.GetAlpha(38, 38), 0);
    // Area of a circle of radius 20: about 1257 pixels.
    EXPECT_NEAR(CountHalfCovered(img, {0, 0, 40, 40}), 1257, 30);

    Image tri(40, 40);
    tri.Context().SetPen({kRed, 1, PenStyle::Null});
    tri.Context().SetBrush(Brush::Solid(kRed));
    tri.Context().Polygon({{0, 0}, {40, 0}, {0, 40}});
    EXPECT_EQ(tri.GetPixel(5, 5), kRed);
    EXPECT_EQ(tri.GetAlpha(35, 35), 0);
    EXPECT_NEAR(CountHalfCovered(tri, {0, 0, 40, 40}), 800, 30);
}

TEST(DrawContextTest, LinesStopBeforeTheirEndPointAndPolylinesConnect)
{
    Image img(20, 20);
    DrawContext& dc = img.Context();
    dc.SetPen({kRed, 1, PenStyle::Solid});
    dc.Line({2, 5}, {10, 5});
    EXPECT_EQ(CountColor(img, {0, 0, 20, 20}, kRed), 8);
    EXPECT_EQ(img.GetPixel(2, 5), kRed);
    EXPECT_EQ(img.GetAlpha(10, 5), 0);
    dc.MoveTo({15, 10});
    dc.LineTo({15, 4});
    EXPECT_EQ(img.GetPixel(15, 10), kRed);
    EXPECT_EQ(img.GetAlpha(15, 4), 0);
    EXPECT_EQ(CountColor(img, {0, 0, 20, 20}, kRed), 14);

    Image poly(20, 20);
    poly.Context().SetPen({kBlue, 1, PenStyle::Solid});
    poly.Context().Polyline({{2, 2}, {17, 2}, {17, 17}});
    EXPECT_EQ(poly.GetPixel(9, 2), kBlue);
    EXPECT_EQ(poly.GetPixel(17, 9), kBlue);
    EXPECT_EQ(poly.GetAlpha(9, 9), 0);
    // A null pen draws nothing.
    Image none(10, 10);
    none.Context().SetPen({kBlue, 1, PenStyle::Null});
    none.Context().Line({0, 0}, {9, 9});
    EXPECT_EQ(CountInk(none, {0, 0, 10, 10}), 0);
}

TEST(DrawContextTest, ClippingNestsAndIsRemovedAgain)
{
    Image img(50, 50);
    DrawContext& dc = img.Context();
    EXPECT_EQ(dc.GetClipBox(), (Rect{0, 0, 50, 50}));
    dc.PushClip({10, 10, 30, 30});
    dc.PushClip({20, 0, 50, 25});
    EXPECT_EQ(dc.GetClipBox(), (Rect{20, 10, 30, 25}));
    dc.FillRect({0, 0, 50, 50}, kRed);
    EXPECT_EQ(CountColor(img, {0, 0, 50, 50}, kRed), 10 * 15);
    dc.PopClip();
    dc.FillRect({0, 0, 50, 50}, kBlue);
    EXPECT_EQ(CountColor(img, {0, 0, 50, 50}, kBlue), 20 * 20);
    EXPECT_EQ(img.GetAlpha(5, 5), 0);
    dc.PopClip();
    dc.PopClip(); // one too many is ignored
    dc.FillRect({0, 0, 5, 5}, kRed);
    EXPECT_EQ(img.GetPixel(0, 0), kRed);
    // Clips that do not overlap leave nothing to draw on.
    dc.PushClip({0, 0, 5, 5});
    dc.PushClip({40, 40, 50, 50});
    EXPECT_TRUE(dc.GetClipBox().IsEmpty());
    dc.FillRect({0, 0, 50, 50}, kBlue);
    dc.PopClip();
    dc.PopClip();
    EXPECT_EQ(img.GetPixel(0, 0), kRed);
}

TEST(DrawContextTest, TextIsDrawnInTheTextColourAndOpaqueModeFillsTheCell)
{
    Image img(200, 40);
    DrawContext& dc = img.Context();
    dc.SetFont({"Arial", 120, FontWeight::Normal, false});
    dc.SetTextColor(kBlack);
    const Size ext = dc.GetTextExtent("Hello");
    EXPECT_GT(ext.cx, 20);
    EXPECT_EQ(ext.cy, dc.GetTextMetrics().height);
    dc.TextOut({5, 5}, "Hello");
    const int ink = CountInk(img, {5, 5, 5 + ext.cx, 5 + ext.cy});
    EXPECT_GT(ink, 50);
    EXPECT_EQ(CountInk(img, {0, 0, 200, 40}), ink);         // nothing outside the text box
    EXPECT_EQ(CountColor(img, {0, 0, 200, 40}, kWhite), 0); // transparent by default

    Image opaque(200, 40);
    opaque.Context().SetBkMode(BkMode::Opaque);
    opaque.Context().SetBkColor(kRed);
    opaque.Context().SetFont({"Arial", 120, FontWeight::Normal, false});
    opaque.Context().TextOut({5, 5}, "Hello");
    EXPECT_GT(CountColor(opaque, {5, 5, 5 + ext.cx, 5 + ext.cy}, kRed), ext.cx * ext.cy / 2);
}

TEST(DrawContextTest, TextAlignMovesTheReferencePoint)
{
    Image img(200, 60);
    DrawContext& dc = img.Context();
    dc.SetFont({"Arial", 100, FontWeight::Normal, false});
    dc.SetTextAlign(TextAlign::kRight | TextAlign::kBottom);
    dc.TextOut({100, 50}, "WWW");
    EXPECT_EQ(CountInk(img, {100, 0, 200, 60}), 0);
    EXPECT_EQ(CountInk(img, {0, 50, 200, 60}), 0);
    EXPECT_GT(CountInk(img, {0, 0, 100, 50}), 10);
}

TEST(DrawContextTest, DrawTextMeasuresWrapsAndAligns)
{
    Image img(300, 200);
    DrawContext& dc = img.Context();
    dc.SetFont({"MS Sans Serif", 80, FontWeight::Normal, false});
    const int lineH = dc.GetTextMetrics().height;
    Rect r{0, 0, 32000, 32000};
    EXPECT_EQ(dc.DrawText("one\r\ntwo", r, DrawTextFlags::kCalcRect), 2 * lineH);
    EXPECT_EQ(r.Height(), 2 * lineH);
    EXPECT_EQ(r.Width(), dc.GetTextExtent("one\ntwo").cx);
    EXPECT_EQ(CountInk(img, {0, 0, 300, 200}), 0); // measuring draws nothing

    Rect narrow{0, 0, 60, 200};
    Rect calc = narrow;
    const int h = dc.DrawText("alpha beta gamma delta", calc,
                              DrawTextFlags::kWordBreak | DrawTextFlags::kCalcRect);
    EXPECT_GE(h, 2 * lineH);

    Rect box{0, 100, 300, 140};
    dc.DrawText("centre", box,
                DrawTextFlags::kCenter | DrawTextFlags::kVCenter | DrawTextFlags::kSingleLine);
    const int w = dc.GetTextExtent("centre").cx;
    EXPECT_EQ(CountInk(img, {0, 100, 150 - w / 2 - 1, 140}), 0);
    EXPECT_GT(CountInk(img, {150 - w / 2, 100, 150 + w / 2 + 1, 140}), 10);
    // Clipped to the rectangle unless kNoClip.
    Rect tiny{0, 150, 10, 160};
    dc.DrawText("clipped text", tiny, DrawTextFlags::kSingleLine);
    EXPECT_EQ(CountInk(img, {10, 150, 300, 200}), 0);
}

TEST(DrawContextTest, FixedsysIsMonospacedAndSansIsNot)
{
    Image img(10, 10);
    DrawContext& dc = img.Context();
    dc.SetFont({"Fixedsys", 90, FontWeight::Normal, false});
    EXPECT_EQ(dc.GetTextExtent("iiiiiiiiii").cx, dc.GetTextExtent("WWWWWWWWWW").cx);
    dc.SetFont({"MS Sans Serif", 90, FontWeight::Normal, false});
    EXPECT_LT(dc.GetTextExtent("iiiiiiiiii").cx, dc.GetTextExtent("WWWWWWWWWW").cx);
    // Bigger sizes measure bigger, bold wider.
    const Size normal = dc.GetTextExtent("Sample");
    dc.SetFont({"MS Sans Serif", 180, FontWeight::Normal, false});
    EXPECT_GT(dc.GetTextExtent("Sample").cy, normal.cy);
    dc.SetFont({"MS Sans Serif", 90, FontWeight::Bold, false});
    EXPECT_GT(dc.GetTextExtent("Sample").cx, normal.cx);
}

TEST(DrawContextTest, BadTextNeitherCrashesNorBreaksTheContext)
{
    Image img(100, 30);
    DrawContext& dc = img.Context();
    const std::string latin1 = "Gr\xf6\xdf\x65 \xb5m";
    const std::string withNul("a\0b", 3);
    EXPECT_GT(dc.GetTextExtent(latin1).cx, 0);
    dc.TextOut({0, 0}, latin1);
    dc.TextOut({0, 0}, withNul);
    dc.TextOut({0, 0}, "\xe2\x82"); // truncated UTF-8
    Rect r{0, 0, 100, 30};
    dc.DrawText("\xff\xfe", r, 0);
    dc.FillRect({90, 20, 100, 30}, kRed);
    EXPECT_EQ(img.GetPixel(95, 25), kRed); // the context still works
    // Valid UTF-8 is measured as one character per code point.
    EXPECT_EQ(dc.GetTextExtent("\xc3\xb6").cx, dc.GetTextExtent("\xf6").cx);
}

TEST(DrawContextTest, VectorAndRasterImagesMeasureAndDrawAlike)
{
    Image raster(80, 40);
    Image vector(80, 40, ImageKind::Vector);
    for (Image* img : {&raster, &vector}) {
        DrawContext& dc = img->Context();
        dc.SetFont({"Arial", 100, FontWeight::Normal, false});
        dc.FillRect({0, 0, 40, 40}, kBlue);
        dc.TextOut({42, 10}, "Ab");
    }
    EXPECT_EQ(raster.Context().GetTextExtent("Sample text").cx,
              vector.Context().GetTextExtent("Sample text").cx);
    EXPECT_EQ(vector.GetPixel(10, 10), kBlue);
    EXPECT_EQ(vector.GetAlpha(60, 35), 0);
    EXPECT_EQ(CountInk(raster, {40, 0, 80, 40}), CountInk(vector, {40, 0, 80, 40}));
}

// Message texts wrap at blanks within the width, break a word longer than a line between two
// characters, and are cut to the height with "...".
TEST(MessageTextTest, WrapsBreaksAndCuts)
{
    Image img(1, 1);
    DrawContext& dc = img.Context();
    dc.SetFont({"MS Shell Dlg", 80, FontWeight::Normal, false});
    const int lineH = dc.GetTextMetrics().height;
    const Size room{300, 10 * lineH};
    auto lines = [](const std::string& text) {
        std::vector<std::string> out(1);
        for (char c : text) {
            if (c == '\n')
                out.emplace_back();
            else
                out.back() += c;
        }
        return out;
    };
    std::string words = "Coupling";
    for (int i = 0; i < 100; ++i)
        words += i % 7 ? " gap" : " resonator";
    std::string euros;
    for (int i = 0; i < 200; ++i)
        euros += "\xE2\x82\xAC";
    for (const std::string* text : {&words, &euros}) {
        const std::vector<std::string> wrapped = lines(WrapMessageText(dc, *text, {300, 10000}));
        EXPECT_GT(wrapped.size(), 2u);
        std::string joined;
        for (const std::string& l : wrapped) {
            EXPECT_LE(dc.GetTextExtent(l).cx, 300) << l;
            EXPECT_NE(static_cast<unsigned char>(l[0]) & 0xC0, 0x80) << l;
            joined += (joined.empty() || text == &euros ? "" : " ") + l;
        }
        EXPECT_EQ(joined, *text);
    }
    std::string tall;
    for (int i = 0; i < 100; ++i)
        tall += "line " + std::to_string(i) + "\r\n";
    const std::vector<std::string> cut = lines(WrapMessageText(dc, tall, room));
    ASSERT_EQ(cut.size(), 10u);
    EXPECT_EQ(cut[0], "line 0");
    EXPECT_EQ(cut[9], "line 9...");
    // One long word of a megabyte is cut as quickly as a short text.
    const std::vector<std::string> huge =
        lines(WrapMessageText(dc, std::string(1 << 20, 'x'), room));
    ASSERT_EQ(huge.size(), 10u);
    EXPECT_EQ(huge[9].substr(huge[9].size() - 3), "...");
    EXPECT_LE(dc.GetTextExtent(huge[9]).cx, 300);
}
