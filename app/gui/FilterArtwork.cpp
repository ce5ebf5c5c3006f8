// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/gui/FilterArtwork.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

using plat::Brush;
using plat::ColorRef;
using plat::DrawContext;
using plat::Pen;
using plat::PenStyle;
using plat::Point;
using plat::Rect;
using plat::Rgb;

constexpr double kPi = 3.14159265358979323846;

// An engineering drawing's palette: dark ink on light paper, aluminium walls, copper rods
// and brass connectors.
constexpr ColorRef kPaper = Rgb(0xF5, 0xF6, 0xF2);
constexpr ColorRef kInk = Rgb(0x25, 0x2A, 0x33);
constexpr ColorRef kWall = Rgb(0xC9, 0xCE, 0xD4);
constexpr ColorRef kHatch = Rgb(0x7D, 0x86, 0x91);
constexpr ColorRef kCavity = Rgb(0xFF, 0xFF, 0xFC);
constexpr ColorRef kCopper = Rgb(0xC8, 0x76, 0x3A);
constexpr ColorRef kCopperLight = Rgb(0xEE, 0xB0, 0x78);
constexpr ColorRef kCopperDark = Rgb(0x8A, 0x4B, 0x1F);
constexpr ColorRef kBrass = Rgb(0xD9, 0xB2, 0x4C);
constexpr ColorRef kBrassDark = Rgb(0x80, 0x62, 0x18);
constexpr ColorRef kInsulator = Rgb(0xFF, 0xFF, 0xFF);

int Round(double v)
{
    return int(std::lround(v));
}

// Diagonal section hatching over r, as a drawing shows a cut wall.
void Hatch(DrawContext& dc, const Rect& r, int pitch)
{
    dc.FillRect(r, kWall);
    dc.PushClip(r);
    dc.SetPen(Pen{kHatch, 1, PenStyle::Solid});
    const int h = r.Height();
    for (int x = r.left - h; x < r.right; x += pitch) {
        dc.Line({x, r.bottom}, {x + h, r.top});
    }
    dc.PopClip();
}

// Where a rod is grounded; its other end is open.
enum class RodBase {
    Top,
    Bottom,
};

// One rod in plan: a bar of width w from the wall at baseY to an open, rounded end length
// pixels away, shaded as a cylinder lit from the left.
void Rod(DrawContext& dc, double cx, double w, double baseY, double length, RodBase base,
         int outline)
{
    const double r = w / 2;
    const double dir = base == RodBase::Top ? 1.0 : -1.0;
    const double endY = baseY + dir * length;
    const double arcY = endY - dir * r;
    std::vector<Point> pts;
    pts.push_back({Round(cx - r), Round(baseY - dir)});
    pts.push_back({Round(cx - r), Round(arcY)});
    constexpr int kArcSteps = 12;
    for (int i = 1; i < kArcSteps; ++i) {
        const double a = kPi * i / kArcSteps;
        pts.push_back({Round(cx - r * std::cos(a)), Round(arcY + dir * r * std::sin(a))});
    }
    pts.push_back({Round(cx + r), Round(arcY)});
    pts.push_back({Round(cx + r), Round(baseY - dir)});
    dc.SetBrush(Brush::Solid(kCopper));
    dc.SetPen(Pen{kCopper, 1, PenStyle::Solid});
    dc.Polygon(pts);
    if (w >= 5) {
        const int band = std::max(1, Round(w / 5));
        const int stop = Round(arcY);
        dc.SetPen(Pen{kCopperLight, band, PenStyle::Solid});
        dc.Line({Round(cx - r * 0.35), Round(baseY)}, {Round(cx - r * 0.35), stop});
        dc.SetPen(Pen{kCopperDark, band, PenStyle::Solid});
        dc.Line({Round(cx + r * 0.55), Round(baseY)}, {Round(cx + r * 0.55), stop});
    }
    dc.SetBrush(Brush::Hollow());
    dc.SetPen(Pen{kCopperDark, outline, PenStyle::Solid});
    dc.Polygon(pts);
}

// The feed: the centre conductor from x0 to x1 at y, of width lw.
void Conductor(DrawContext& dc, int x0, int x1, int y, int lw)
{
    dc.SetPen(Pen{kInk, lw, PenStyle::Solid});
    dc.Line({x0, y}, {x1, y});
}

// The largest bold sans font, up to the preferred size, in which text fits maxWidth; the
// preferred size is given in tenths of a point.
void FitFont(DrawContext& dc, const std::string& text, int maxWidth, int preferredTenths)
{
    for (int tenths = preferredTenths; tenths >= 50; tenths -= 5) {
        dc.SetFont(plat::Font{"Arial", tenths, plat::FontWeight::Bold, false});
        if (dc.GetTextExtent(text).cx <= maxWidth) {
            return;
        }
    }
}

} // namespace

plat::Image DrawFilterPicture(int widthPx, int heightPx, int rods)
{
    const int count = std::clamp(rods, kMinPictureRods, kMaxPictureRods);
    const int w = std::max(16, widthPx);
    const int h = std::max(16, heightPx);
    plat::Image img(w, h);
    DrawContext& dc = img.Context();
    dc.FillRect({0, 0, w, h}, kPaper);

    // The housing leaves room at both sides for the connectors and their labels.
    const int side = std::max(4, Round(w * 0.15));
    const int margin = std::max(2, Round(h * 0.05));
    const Rect outer{side, margin, w - side, h - margin};
    const int endWall = std::max(2, Round(outer.Height() * 0.1));
    const int sideWall = std::max(2, Round(outer.Width() * 0.035));
    const Rect inner{outer.left + sideWall, outer.top + endWall, outer.right - sideWall,
                     outer.bottom - endWall};
    const int lw = std::max(1, Round(h / 60.0));

    const int hatchPitch = std::max(3, Round(h / 28.0));
    Hatch(dc, {outer.left, outer.top, outer.right, inner.top}, hatchPitch);
    Hatch(dc, {outer.left, inner.bottom, outer.right, outer.bottom}, hatchPitch);
    Hatch(dc, {outer.left, inner.top, inner.left, inner.bottom}, hatchPitch);
    Hatch(dc, {inner.right, inner.top, outer.right, inner.bottom}, hatchPitch);
    dc.FillRect(inner, kCavity);

    // The rods, the end rods a little further from the side walls than the rods are from
    // each other, as in a real filter; every other rod is grounded at the lower wall.
    constexpr double kEndGap = 0.85;
    const double pitch = inner.Width() / (count - 1 + 2 * kEndGap);
    // Few rods keep the width they have among five rather than grow into blocks.
    const double pitchOfFive = inner.Width() / (4 + 2 * kEndGap);
    const double rodW = std::max(3.0, std::min(pitch, pitchOfFive) * 0.42);
    const double rodLen = inner.Height() * 0.8;
    for (int i = 0; i < count; ++i) {
        const double cx = inner.left + pitch * (kEndGap + i);
        const bool top = i % 2 == 0;
        Rod(dc, cx, rodW, top ? inner.top : inner.bottom, rodLen,
            top ? RodBase::Top : RodBase::Bottom, lw);
    }

    // The outlines go over the hatching and the rod bases, so each rod stands on its wall.
    dc.SetBrush(Brush::Hollow());
    dc.SetPen(Pen{kInk, lw, PenStyle::Solid});
    dc.Rectangle(outer);
    dc.Rectangle(inner.Inflate(lw > 1 ? lw / 2 : 0, lw > 1 ? lw / 2 : 0));

    // The taps sit near the grounded end of the first and last rod (the last one grounded at
    // the lower wall with an even number of rods), entering through insulated holes in the
    // side walls.
    const int tapTop = inner.top + Round(rodLen * 0.3);
    const int tapBottom = inner.bottom - Round(rodLen * 0.3);
    const int feedW = std::max(2, Round(h / 35.0));
    const int holeH = feedW * 3;
    const int connLen = std::max(3, Round(side * 0.45));
    const int connH = std::max(holeH + 2, Round(h * 0.12));
    const double firstX = inner.left + pitch * kEndGap;
    const double lastX = inner.left + pitch * (kEndGap + count - 1);
    struct Tap
    {
        int wallOuter;
        int wallInner;
        int rodEdge;
        int connFar;
        int y;
    };
    const Tap taps[] = {
        {outer.left, inner.left, Round(firstX - rodW / 2) + 1, outer.left - connLen, tapTop},
        {outer.right, inner.right, Round(lastX + rodW / 2) - 1, outer.right + connLen,
         count % 2 == 1 ? tapTop : tapBottom},
    };
    for (const Tap& t : taps) {
        const int tapY = t.y;
        const int lo = std::min(t.wallOuter, t.wallInner);
        const int hi = std::max(t.wallOuter, t.wallInner);
        dc.FillRect({lo, tapY - holeH / 2, hi, tapY - holeH / 2 + holeH}, kInsulator);
        dc.SetBrush(Brush::Solid(kBrass));
        dc.SetPen(Pen{kBrassDark, 1, PenStyle::Solid});
        dc.Rectangle({std::min(t.wallOuter, t.connFar), tapY - connH / 2,
                      std::max(t.wallOuter, t.connFar) + 1, tapY - connH / 2 + connH});
        const int lineEnd = t.connFar < t.wallOuter ? 1 : w - 1;
        Conductor(dc, lineEnd, t.rodEdge, tapY, feedW);
        // The solder joint on the rod.
        const int joint = feedW;
        dc.SetBrush(Brush::Solid(kInk));
        dc.SetPen(Pen{kInk, 1, PenStyle::Solid});
        dc.Ellipse({t.rodEdge - joint, tapY - joint, t.rodEdge + joint + 1, tapY + joint + 1});
    }

    // The labels over the connectors, when the picture is big enough to read them.
    if (h >= 48) {
        const int room = side - 4;
        FitFont(dc, "OUT", room, std::max(50, Round(h * 0.9)));
        dc.SetTextColor(kInk);
        dc.SetBkMode(plat::BkMode::Transparent);
        dc.SetTextAlign(plat::TextAlign::kCenter | plat::TextAlign::kBottom);
        const int lift = connH / 2 + std::max(1, h / 50);
        dc.TextOut({side / 2, taps[0].y - lift}, "IN");
        dc.TextOut({w - side / 2, taps[1].y - lift}, "OUT");
    }
    return img;
}

plat::Image DrawAppIcon(int sizePx, plat::ImageKind kind)
{
    const int s = std::max(16, sizePx);
    plat::Image img(s, s, kind);
    DrawContext& dc = img.Context();

    // The housing fills the icon, its corners cut off so that it does not read as a plain
    // square on a desktop of any colour. The border is the housing's shape in ink with the
    // walls laid over it one pen width inside, so nothing spills past the cut corners.
    const int cut = std::max(2, s / 16);
    const int lw = s >= 40 ? 2 : 1;
    const auto octagon = [s, cut](int in) {
        return std::vector<Point>{
            {cut + in, in},         {s - cut - in, in}, {s - in, cut + in}, {s - in, s - cut - in},
            {s - cut - in, s - in}, {cut + in, s - in}, {in, s - cut - in}, {in, cut + in}};
    };
    dc.SetPen(Pen{kInk, 1, PenStyle::Null});
    dc.SetBrush(Brush::Solid(kInk));
    dc.Polygon(octagon(0));
    dc.SetBrush(Brush::Solid(kWall));
    dc.Polygon(octagon(lw));
    const int endWall = std::max(2, Round(s * 0.14));
    const int sideWall = std::max(1, Round(s * 0.08));
    const Rect inner{sideWall, endWall, s - sideWall, s - endWall};
    if (s >= 32) {
        const int pitch = std::max(3, s / 10);
        Hatch(dc, {cut + lw, lw, s - cut - lw, endWall}, pitch);
        Hatch(dc, {cut + lw, s - endWall, s - cut - lw, s - lw}, pitch);
    }
    dc.FillRect(inner, kCavity);

    // Three rods at the smallest size, where four would merge into a block; four above.
    const int rods = s >= 32 ? 4 : 3;
    const double endGap = 0.7;
    const double pitch = inner.Width() / (rods - 1 + 2 * endGap);
    const double rodW = std::max(2.0, pitch * 0.5);
    const double rodLen = inner.Height() * 0.78;
    for (int i = 0; i < rods; ++i) {
        const double cx = inner.left + pitch * (endGap + i);
        const bool top = i % 2 == 0;
        if (s < 32) {
            // At 16 pixels shading and rounding only blur: plain copper bars.
            const int x0 = Round(cx - rodW / 2);
            const int len = Round(rodLen);
            const Rect bar = top ? Rect{x0, inner.top, x0 + Round(rodW), inner.top + len}
                                 : Rect{x0, inner.bottom - len, x0 + Round(rodW), inner.bottom};
            dc.FillRect(bar, kCopperDark);
            continue;
        }
        Rod(dc, cx, rodW, top ? inner.top : inner.bottom, rodLen,
            top ? RodBase::Top : RodBase::Bottom, 1);
    }

    if (s >= 32) {
        // The taps: from the side walls to the first rod near its grounded (upper) end and
        // to the last rod near its grounded (lower) end.
        const int feedW = std::max(2, s / 20);
        const int tapIn = inner.top + Round(rodLen * 0.3);
        const int tapOut = inner.bottom - Round(rodLen * 0.3);
        const double firstX = inner.left + pitch * endGap;
        const double lastX = inner.left + pitch * (endGap + rods - 1);
        Conductor(dc, 0, Round(firstX - rodW / 2), tapIn, feedW);
        Conductor(dc, s, Round(lastX + rodW / 2), tapOut, feedW);
    }

    dc.SetBrush(Brush::Hollow());
    dc.SetPen(Pen{kInk, 1, PenStyle::Solid});
    dc.Rectangle(inner);
    return img;
}
