// SPDX-License-Identifier: GPL-2.0-or-later
#include "ChartTestUtil.h"
#include "chart/XChart.h"
#include "chart/XChartExport.h"
#include "platform/Image.h"

#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <initializer_list>
#include <vector>

namespace {

using charttest::Fill;
using charttest::S;
using charttest::V;

constexpr plat::ColorRef kBlack = plat::Rgb(0, 0, 0);
constexpr plat::ColorRef kRed = plat::Rgb(255, 0, 0);
constexpr plat::ColorRef kGreen = plat::Rgb(0, 128, 0);

bool Near(plat::ColorRef a, plat::ColorRef b, int tol = 40)
{
    return std::abs(plat::RedOf(a) - plat::RedOf(b)) <= tol &&
           std::abs(plat::GreenOf(a) - plat::GreenOf(b)) <= tol &&
           std::abs(plat::BlueOf(a) - plat::BlueOf(b)) <= tol;
}

int CountPixels(const plat::Image& image, const plat::Rect& r, plat::ColorRef c, int tol = 40)
{
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            n += Near(image.GetPixel(x, y), c, tol) ? 1 : 0;
        }
    }
    return n;
}

// A chart whose plot area is the whole image: no insets, no title, lines without axes.
class DrawTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        chart.Attrs().SetRect("chartInset", NXRect{0, 0, 0, 0});
        chart.Attrs().SetStr("title", "");
    }
    XChartLine& AddLine(XChartLineType type, std::initializer_list<double> x,
                        std::initializer_list<double> y)
    {
        ZString name;
        name.Format("L%d", int(chart.LineCount()));
        XChartLine& line = *chart.Line(chart.GetOrAddLine(name));
        line.SetLineType(type);
        line.SetStr("axis", "0");
        line.SetColor("color", XColor(kRed));
        Fill(line.X(), x);
        Fill(line.Y(), y);
        return line;
    }
    plat::Image Paint(int w, int h)
    {
        plat::Image image(w, h);
        chart.Paint(image.Context(), NXRect{0, 0, double(w), double(h)});
        return image;
    }
    XChart chart;
};

class DrawingHost : public XChartCB
{
public:
    void Drawing(XChart& chart, int32_t state) override
    {
        calls.Append(state);
        if (repaint) {
            // A paint from inside a paint is skipped rather than deadlocking.
            plat::Image inner(10, 10);
            chart.Paint(inner.Context(), NXRect{0, 0, 10, 10});
        }
    }
    XIntArray calls;
    bool repaint = false;
};

} // namespace

TEST_F(DrawTest, BackgroundNoneLeavesWhatWasThere)
{
    chart.Attrs().SetStr("bgColor", "none");
    plat::Image image(40, 30);
    image.Context().FillRect({0, 0, 40, 30}, plat::Rgb(10, 20, 30));
    chart.Paint(image.Context(), NXRect{0, 0, 40, 30});
    EXPECT_EQ(image.GetPixel(0, 0), plat::Rgb(10, 20, 30));
    EXPECT_EQ(image.GetPixel(39, 29), plat::Rgb(10, 20, 30));

    chart.Attrs().SetStr("bgColor", "blue");
    const plat::Image blue = Paint(40, 30);
    EXPECT_EQ(blue.GetPixel(20, 15), plat::Rgb(0, 0, 255));
}

TEST_F(DrawTest, ALineLeavesOutAPointBeyond8000Pixels)
{
    XChartLine& line = AddLine(XChartLineType::Line, {0, 1000, 10}, {0, 5, 10});
    line.SetInt("width", 3);
    line.SetStr("fixedScaleX", "0 10");
    line.SetStr("fixedScaleY", "0 10");
    // x = 1000 maps to about 10000 pixels: the polyline runs from the first point straight to
    // the third, the diagonal from bottom-left to top-right.
    const plat::Image image = Paint(101, 101);
    EXPECT_TRUE(Near(image.GetPixel(50, 50), kRed)) << std::hex << image.GetPixel(50, 50);
    EXPECT_TRUE(Near(image.GetPixel(25, 75), kRed));
    EXPECT_EQ(image.GetPixel(90, 50), kBlack);

    // Closer points are all drawn: the corner at x = 500 pixels is in the picture.
    Fill(line.X(), {0, 50, 10});
    const plat::Image bent = Paint(101, 101);
    EXPECT_FALSE(Near(bent.GetPixel(50, 50), kRed));
}

TEST_F(DrawTest, ALongLineDrawsTheSamePixelsAsItsFullPolyline)
{
    // Many points per pixel column, jumping up and down as measured noise does.
    XChartLine& line = AddLine(XChartLineType::Line, {}, {});
    XRealArray x(4000, 4000);
    XRealArray y(4000, 4000);
    for (int i = 0; i < 4000; ++i) {
        x[i] = i;
        y[i] = 40.0 * std::sin(i * 0.003) + 7.0 * std::sin(i * 1.3) + (i % 7 == 0 ? 15 : 0);
    }
    line.BindColumn(XChartColumn::X, &x);
    line.BindColumn(XChartColumn::Y, &y);
    line.SetInt("width", 2);
    const plat::Image image = Paint(120, 90);

    plat::Image full(120, 90);
    plat::DrawContext& dc = full.Context();
    dc.FillRect({0, 0, 120, 90}, kBlack);
    dc.SetPen(plat::Pen{kRed, 2, plat::PenStyle::Solid});
    std::vector<plat::Point> pts;
    for (int i = 0; i < 4000; ++i) {
        pts.push_back({line.AxisX().PixelOf(x[i]), line.AxisY().PixelOf(y[i])});
    }
    dc.Polyline(pts);
    int differing = 0;
    for (int py = 0; py < 90; ++py) {
        for (int px = 0; px < 120; ++px) {
            differing += Near(image.GetPixel(px, py), full.GetPixel(px, py), 8) ? 0 : 1;
        }
    }
    EXPECT_EQ(differing, 0);
}

TEST_F(DrawTest, ALineSkipsValuesItCannotPlace)
{
    AddLine(XChartLineType::Line, {0, 1, 2, 3}, {0, NAN, 10, 10});
    const plat::Image image = Paint(31, 31);
    // From (0, 0) straight to (2, 10): the NaN point is a gap, not a jump to the origin.
    EXPECT_TRUE(Near(image.GetPixel(10, 15), kRed));
}

TEST_F(DrawTest, ABarWithOnePointUsesTheSpacingOne)
{
    XChartLine& bar = AddLine(XChartLineType::Bar, {5}, {3});
    const plat::Image image = Paint(100, 80);
    // X runs from 4.5 to 5.5 and Y from 0 to 3: the bar fills the whole plot area.
    EXPECT_EQ(image.GetPixel(1, 40), kGreen);
    EXPECT_EQ(image.GetPixel(98, 40), kGreen);
    EXPECT_EQ(image.GetPixel(50, 1), kGreen);
    // Half the bar width leaves a quarter of the area free on each side.
    bar.SetDouble("barWidthPercent", 50);
    const plat::Image narrow = Paint(100, 80);
    EXPECT_EQ(narrow.GetPixel(10, 40), kBlack);
    EXPECT_EQ(narrow.GetPixel(50, 40), kGreen);
    EXPECT_EQ(narrow.GetPixel(89, 40), kBlack);
}

TEST_F(DrawTest, BarsBlendFromTheBaseColour)
{
    XChartLine& bar = AddLine(XChartLineType::Bar, {1, 2, 3}, {4, 2, -4});
    bar.SetStr("colorPos", "red");
    bar.SetStr("colorPosBase", "white");
    bar.SetStr("colorNeg", "blue");
    bar.SetStr("colorNegBase", "blue");
    const plat::Image image = Paint(90, 80);
    // Y runs from -4 to 4: the full bar is red, the half bar halfway to white (a light red:
    // white has no hue of its own, so the blend keeps red's), the negative bar hangs from 0
    // in blue.
    EXPECT_EQ(image.GetPixel(15, 20), plat::Rgb(255, 0, 0));
    const plat::ColorRef half = image.GetPixel(45, 35);
    EXPECT_GT(plat::RedOf(half), plat::GreenOf(half)) << std::hex << half;
    EXPECT_EQ(plat::GreenOf(half), plat::BlueOf(half)) << std::hex << half;
    EXPECT_GT(plat::GreenOf(half), 100) << std::hex << half;
    EXPECT_EQ(image.GetPixel(75, 50), plat::Rgb(0, 0, 255));
    EXPECT_EQ(image.GetPixel(75, 20), kBlack);
}

TEST_F(DrawTest, AHistogramWithOneBinUsesTwo)
{
    XChartLine& hist = AddLine(XChartLineType::Histogram, {}, {7, 7, 7});
    hist.SetInt("bins", 1);
    const plat::Image image = Paint(100, 60);
    ASSERT_EQ(hist.Column(XChartColumn::Counts).Count(), 2);
    // Bins at 7 and 8, counts 3 and 0: the left half is a full bar, the right half empty but
    // for the one-pixel bar at the base.
    EXPECT_EQ(image.GetPixel(25, 30), kGreen);
    EXPECT_EQ(image.GetPixel(75, 30), kBlack);
    EXPECT_EQ(image.GetPixel(75, 59), kGreen);
}

TEST_F(DrawTest, PointsObjectsAndHighLowClose)
{
    XChartLine& points = AddLine(XChartLineType::Point, {0, 10}, {0, 10});
    points.SetInt("width", 4);
    XChartLine& hlc = AddLine(XChartLineType::HigLowClose, {5}, {});
    Fill(hlc.OwnColumn(XChartColumn::High), {9});
    Fill(hlc.OwnColumn(XChartColumn::Low), {1});
    Fill(hlc.OwnColumn(XChartColumn::Open), {2});
    Fill(hlc.OwnColumn(XChartColumn::Close), {5});
    hlc.SetInt("width", 3);
    chart.Link(0, 1, XChartGroup::Both);
    const plat::Image image = Paint(101, 101);
    EXPECT_EQ(image.GetPixel(1, 99), kRed);    // the point at (0, 0)
    EXPECT_EQ(image.GetPixel(50, 75), kRed);   // low to close in lineLowColor
    EXPECT_EQ(image.GetPixel(50, 25), kGreen); // close to high in lineHighColor

    chart.RemoveAllLines();
    XChartLine& obj = AddLine(XChartLineType::Object, {2, 8}, {5, 5});
    Fill(obj.OwnColumn(XChartColumn::X2), {2, 4});
    Fill(obj.OwnColumn(XChartColumn::Y2), {2, 4});
    obj.SetStr("colorPos", "blue");
    obj.SetStr("colorPosBase", "blue");
    obj.SetStr("fixedScaleX", "0 10");
    obj.SetStr("fixedScaleY", "0 10");
    const plat::Image shapes = Paint(101, 101);
    EXPECT_EQ(shapes.GetPixel(20, 50), plat::Rgb(0, 0, 255)); // ellipse centres
    EXPECT_EQ(shapes.GetPixel(80, 50), plat::Rgb(0, 0, 255));
    EXPECT_EQ(shapes.GetPixel(61, 31), kBlack); // outside the ellipse, inside its box
    obj.SetStr("objectType", "rect");
    const plat::Image rects = Paint(101, 101);
    EXPECT_EQ(rects.GetPixel(61, 31), plat::Rgb(0, 0, 255));
}

// Lines of one group share a scale in every view: a zoom, a scroll or a reset on the axis of
// any member reaches the others, for X and Y alike; an unlinked line keeps its own view.
TEST_F(DrawTest, GroupedLinesZoomScrollAndResetTogether)
{
    XChartLine& ideal = AddLine(XChartLineType::Line, {0, 10}, {0, 10});
    XChartLine& overlay = AddLine(XChartLineType::Line, {0, 10}, {5, 5});
    XChartLine& alone = AddLine(XChartLineType::Line, {0, 10}, {0, 10});
    chart.Link(0, 1, XChartGroup::Both);
    Paint(200, 150); // lays the axes out
    auto view = [](const XChartAxis& axis) {
        const XChartScale& s = axis.Scale();
        return std::vector<double>{double(s.zoomed), s.EffectiveLo(), s.EffectiveHi()};
    };
    ASSERT_TRUE(ideal.AxisX().ZoomToValues(2.0, 4.0));
    EXPECT_EQ(view(overlay.AxisX()), (std::vector<double>{1, 2.0, 4.0}));
    EXPECT_FALSE(alone.AxisX().Scale().zoomed);
    ASSERT_TRUE(overlay.AxisX().ScrollView(0.5)); // from the other member
    EXPECT_EQ(view(ideal.AxisX()), view(overlay.AxisX()));
    ASSERT_TRUE(overlay.AxisY().ZoomAt(75.0, 0.5));
    EXPECT_EQ(view(ideal.AxisY()), view(overlay.AxisY()));
    ideal.AxisX().ZoomFull();
    ideal.AxisY().ZoomFull();
    EXPECT_FALSE(overlay.AxisX().Scale().zoomed || overlay.AxisY().Scale().zoomed);
}

TEST_F(DrawTest, DrawPathDrawsSubLinesIntoTheirRectangles)
{
    XChartLine& path = AddLine(XChartLineType::DrawPath, {0, 5, 0}, {0, 5, 0});
    Fill(path.OwnColumn(XChartColumn::PathCode), {0, 0, 7}); // 7 is no sub-line
    Fill(path.OwnColumn(XChartColumn::X2), {5, 5, 10});
    Fill(path.OwnColumn(XChartColumn::Y2), {5, 5, 10});
    XChartLine& sub = *path.SubLine(path.GetOrAddSubLine("box"));
    sub.SetLineType(XChartLineType::Bar);
    Fill(sub.X(), {1});
    Fill(sub.Y(), {1});
    sub.SetStr("colorPos", "red");
    const plat::Image image = Paint(100, 100);
    // The data covers (0, 0) to (10, 10); each row draws the bar over its quarter.
    EXPECT_EQ(image.GetPixel(25, 75), kRed);
    EXPECT_EQ(image.GetPixel(75, 25), kRed);
    EXPECT_EQ(image.GetPixel(75, 75), kBlack);
    EXPECT_EQ(image.GetPixel(25, 25), kBlack);
}

TEST_F(DrawTest, AHiddenLineDrawsNeitherDataNorAxes)
{
    XChartLine& line = AddLine(XChartLineType::Point, {0, 1}, {0, 1});
    line.SetStr("axis", "xy");
    line.SetStr("grid", "xy");
    line.SetBool("showLine", false);
    chart.Attrs().SetRect("chartInset", NXRect{15, 15, 15, 15});
    const plat::Image image = Paint(120, 100);
    EXPECT_EQ(CountPixels(image, {0, 0, 120, 100}, kBlack, 0), 120 * 100);
}

TEST_F(DrawTest, AxesAndGridsFollowTheirLetters)
{
    chart.Attrs().SetRect("chartInset", NXRect{10, 10, 10, 10});
    XChartLine& line = AddLine(XChartLineType::Line, {0, 10}, {0, 10});
    line.SetColor("color", XColor(XColor::kNone));
    line.SetColor("axisFontColor", XColor(plat::Rgb(255, 255, 0)));
    line.SetColor("gridColor", XColor(plat::Rgb(0, 0, 255)));
    const plat::ColorRef yellow = plat::Rgb(255, 255, 0);
    const plat::ColorRef blue = plat::Rgb(0, 0, 255);

    // Paints with the line's axis and grid letters; the plot rectangle comes back.
    plat::Rect plot;
    auto paintWith = [&](const char* axis, const char* grid) {
        line.SetStr("axis", axis);
        line.SetStr("grid", grid);
        plat::Image painted = Paint(200, 150);
        plot = chart.GetPlotRect();
        return painted;
    };
    plat::Image image = paintWith("Y", "XY");
    EXPECT_EQ(plot.left, 10); // nothing at the left
    EXPECT_LT(plot.right, 190);
    EXPECT_EQ(plot.bottom, 140); // nor below
    EXPECT_GT(CountPixels(image, {plot.right, 10, 190, 140}, yellow), 20);
    EXPECT_EQ(CountPixels(image, {0, 0, plot.left, 150}, yellow), 0);
    EXPECT_EQ(CountPixels(image, plot, blue), 0); // upper-case grid letters draw nothing

    image = paintWith("xy", "xy");
    EXPECT_GT(plot.left, 10);
    EXPECT_LT(plot.bottom, 140);
    EXPECT_EQ(plot.right, 190);
    EXPECT_GT(CountPixels(image, {10, 10, plot.left, 140}, yellow), 20);
    EXPECT_GT(CountPixels(image, {10, plot.bottom, 190, 140}, yellow), 20);
    EXPECT_GT(CountPixels(image, plot, blue), 100);
    // A grid line stands at the tick of 4 in both directions.
    const XChartAxis& x = line.AxisX();
    const int gx = x.PixelOf(4.0);
    EXPECT_GT(CountPixels(image, {gx, plot.top, gx + 1, plot.bottom}, blue, 0),
              plot.Height() * 8 / 10);

    image = paintWith("X", "x");
    EXPECT_GT(plot.top, 10);
    EXPECT_EQ(plot.bottom, 140);
    EXPECT_GT(CountPixels(image, {10, 0, 190, plot.top}, yellow), 20);
}

TEST_F(DrawTest, CaptionsGetTheirRoom)
{
    chart.Attrs().SetRect("chartInset", NXRect{10, 10, 10, 10});
    XChartLine& line = AddLine(XChartLineType::Line, {0, 10}, {0, 10});
    line.SetStr("axis", "xy");
    Paint(300, 200);
    const plat::Rect bare = chart.GetPlotRect();
    // A long caption over the vertical axis widens its column and takes a strip at the top;
    // a caption under the horizontal axis takes a row below its labels.
    line.SetStr("axisLableY", "A rather long caption");
    line.SetStr("axisLableX", "Hz");
    plat::Image image = Paint(300, 200);
    const plat::Rect plot = chart.GetPlotRect();
    EXPECT_GT(plot.top, bare.top);
    EXPECT_GT(plot.left, bare.left);
    EXPECT_LT(plot.bottom, bare.bottom);
    EXPECT_GT(CountPixels(image, {10, 10, plot.left, plot.top}, plat::Rgb(0, 128, 0)), 10);
    EXPECT_GT(CountPixels(image, {plot.left, plot.bottom + 10, 290, 190}, plat::Rgb(0, 128, 0)), 5);
    // The unit at place 2 of a vertical axis stands over the plot area, beside the caption.
    line.SetStr("axisLableY", "");
    line.SetStr("axisUnitY", "dB");
    image = Paint(300, 200);
    EXPECT_GT(CountPixels(image, {chart.GetPlotRect().left, 10, 290, chart.GetPlotRect().top},
                          plat::Rgb(0, 128, 0)),
              5);
}

TEST_F(DrawTest, TitleSizeAndPlace)
{
    EXPECT_EQ(chart.TitleFontSize(210), 80); // 60, raised to the minimum
    EXPECT_EQ(chart.TitleFontSize(700), 200);
    chart.Attrs().SetInt("titleFontSize", 120);
    EXPECT_EQ(chart.TitleFontSize(210), 120);
    chart.Attrs().SetInt("titleFontSize", 20);
    EXPECT_EQ(chart.TitleFontSize(210), 80);
    chart.Attrs().SetInt("titleFontSize", -1);

    chart.Attrs().SetStr("title", "Title");
    chart.Attrs().SetInt("titlePlace", 5);
    plat::Image image = Paint(300, 210);
    plat::Rect t = chart.GetTitleRect();
    EXPECT_EQ(t.bottom, 210);
    EXPECT_NEAR((t.left + t.right) / 2.0, 150.0, 1.0);
    EXPECT_GT(t.Width(), 20);
    EXPECT_GT(CountPixels(image, t, plat::Rgb(255, 255, 255), 60), 10);
    EXPECT_EQ(CountPixels(image, {0, 0, 300, 100}, plat::Rgb(255, 255, 255), 60), 0);

    const struct
    {
        int place;
        int left;
        int top;
    } cases[] = {{0, 0, 0}, {-4, 0, 0}, {2, 300 - t.Width(), 0}, {6, 0, 210 - t.Height()}};
    for (const auto& c : cases) {
        chart.Attrs().SetInt("titlePlace", c.place);
        Paint(300, 210);
        EXPECT_EQ(chart.GetTitleRect().left, c.left) << c.place;
        EXPECT_EQ(chart.GetTitleRect().top, c.top) << c.place;
    }
    chart.Attrs().SetInt("titlePlace", 9);
    Paint(300, 210);
    t = chart.GetTitleRect();
    EXPECT_NEAR((t.top + t.bottom) / 2.0, 105.0, 1.0);
    EXPECT_NEAR((t.left + t.right) / 2.0, 150.0, 1.0);
}

TEST_F(DrawTest, HostHearsOfDrawingAndAPaintInsideAPaintIsSkipped)
{
    DrawingHost host;
    host.repaint = true;
    chart.SetHost(&host);
    Paint(50, 50);
    ASSERT_EQ(host.calls.Count(), 2);
    EXPECT_EQ(host.calls[0], 1);
    EXPECT_EQ(host.calls[1], 0);
    chart.SetShow(false);
    Paint(50, 50);
    EXPECT_EQ(host.calls.Count(), 2);
    chart.SetHost(nullptr);
}

TEST_F(DrawTest, PaintingClearsTheChangedFlag)
{
    XChartLine& line = AddLine(XChartLineType::Line, {0, 1}, {0, 1});
    line.SetChanged();
    Paint(20, 20);
    EXPECT_FALSE(line.IsChanged());
}
