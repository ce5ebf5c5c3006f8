// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/outputs/TesseraChart.h"

#include "app/engine/ComputedDesign.h"
#include "app/engine/DesignInputs.h"
#include "app/engine/ParmsText.h"
#include "chart/XChart.h"
#include "chart/XChartExport.h"
#include "platform/Image.h"
#include "tests/TestSupport.h"
#include "tests/chart/ChartTestUtil.h"
#include "xml/TXML.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using charttest::S;

bool IsGrey(plat::ColorRef c)
{
    return c == plat::Rgb(128, 128, 128);
}

bool IsYellow(plat::ColorRef c)
{
    return plat::RedOf(c) > 200 && plat::GreenOf(c) > 200 && plat::BlueOf(c) < 60;
}

// The default design's response, as the calculator computes it.
struct Response
{
    std::vector<double> responseX;
    std::vector<double> responseY;
};

Response DefaultDesign()
{
    std::string status;
    const auto design =
        ComputedDesign::Compute(BuildParms(DesignInputs()), LengthUnit::Millimetre, status);
    EXPECT_TRUE(design) << status;
    return design ? Response{design->ResponseX(), design->ResponseY()} : Response{};
}

} // namespace

TEST(TesseraChartTest, SetupChartSetsTheCalculatorsLook)
{
    XChart chart;
    XRealArray x;
    XRealArray y;
    const int32_t index = SetupChart(chart, &x, &y);
    EXPECT_EQ(index, 0);
    ASSERT_EQ(chart.LineCount(), 1);
    XChartLine& line = *chart.Line(0);
    EXPECT_EQ(S(line.GetName()), "BW");
    EXPECT_EQ(S(chart.Attrs().GetStr("title")), "Interdigital Bandpass");
    EXPECT_EQ(chart.Attrs().GetInt("titlePlace"), 5);
    EXPECT_EQ(S(line.GetStr("color")), "yellow");
    EXPECT_EQ(S(line.GetStr("axisFontColor")), "yellow");
    EXPECT_EQ(S(line.GetStr("axis")), "xy");
    EXPECT_EQ(S(line.GetStr("grid")), "xy");
    EXPECT_EQ(S(line.GetStr("axisLableX")), "MHz");
    EXPECT_EQ(S(line.GetStr("axisLableY")), "dB");
    EXPECT_EQ(line.GetColor("gridColor"), XColor::FromRGB(128, 128, 128));
    EXPECT_EQ(S(line.GetStr("fixedScaleY")), "-100 0");
    EXPECT_EQ(S(line.GetStr("showLine")), "1");
    EXPECT_EQ(line.AxisY().Scale().lo, -100.0);
    EXPECT_EQ(line.AxisY().Scale().hi, 0.0);
    // Before any data arrives the chart already shows the loss scale.
    RenderChart(chart, 200, 150);
    EXPECT_EQ(line.AxisY().Scale().shownLo, -100.0);
    EXPECT_EQ(line.AxisY().Scale().shownHi, 0.0);
    // The line reads the caller's arrays; it does not copy them.
    EXPECT_EQ(&line.X(), &x);
    EXPECT_EQ(&line.Y(), &y);
    x.Append(1.0);
    y.Append(-3.0);
    EXPECT_EQ(line.PointCount(), 1);
}

TEST(TesseraChartTest, TheLossScaleStaysFixedWhateverTheData)
{
    XChart chart;
    const double x[3] = {1000.0, 1100.0, 1200.0};
    const double y[3] = {-300.0, -1.0, -50.0};
    SetupChartWithData(chart, x, y, 3);
    RenderChart(chart, 300, 200);
    const XChartScale& s = chart.Line(0)->AxisY().Scale();
    EXPECT_EQ(s.shownLo, -100.0);
    EXPECT_EQ(s.shownHi, 0.0);
    EXPECT_EQ(chart.Line(0)->AxisX().Scale().shownLo, 1000.0);
    EXPECT_EQ(chart.Line(0)->AxisX().Scale().shownHi, 1200.0);
}

TEST(TesseraChartTest, DefaultDesignChart)
{
    const Response out = DefaultDesign();
    ASSERT_EQ(out.responseX.size(), 200u);
    XChart chart;
    SetupChartWithData(chart, out.responseX.data(), out.responseY.data(),
                       int32_t(out.responseX.size()));
    const plat::Image image = RenderChart(chart, 486, 413);
    // Kept beside the test's other files for a person to look at.
    std::string png;
    ASSERT_TRUE(image.Encode(plat::ImageFormat::PNG, png));
    std::ofstream(::testing::TempDir() + "tessera_default_chart.png", std::ios::binary) << png;

    const plat::Rect plot = chart.GetPlotRect();
    int yellow = 0;
    int grey = 0;
    for (int py = plot.top; py < plot.bottom; ++py) {
        for (int px = plot.left; px < plot.right; ++px) {
            yellow += IsYellow(image.GetPixel(px, py)) ? 1 : 0;
            grey += IsGrey(image.GetPixel(px, py)) ? 1 : 0;
        }
    }
    EXPECT_GT(yellow, 600); // the curve
    EXPECT_GT(grey, 2000);  // the grid
    // The pass band is flat at -1 dB: the curve crosses the middle column near the top.
    const XChartAxis& ay = chart.Line(0)->AxisY();
    const XChartAxis& ax = chart.Line(0)->AxisX();
    // A few pixels beside the centre, off the grid line at 1200 MHz, which is drawn over the
    // data.
    const int midX = ax.PixelOf(1200.0) + 4;
    const int passY = ay.PixelOf(-1.0);
    bool found = false;
    for (int py = passY - 2; py <= passY + 2; ++py) {
        found = found || IsYellow(image.GetPixel(midX, py));
    }
    EXPECT_TRUE(found);
    // Axis labels are yellow, beside and below the plot area.
    EXPECT_GT(plot.left, 20);
    EXPECT_LT(plot.bottom, 413 - 30);
    // The title stands at the bottom centre, below the plot area.
    const plat::Rect t = chart.GetTitleRect();
    EXPECT_EQ(t.bottom, 413);
    EXPECT_NEAR((t.left + t.right) / 2.0, 243.0, 1.0);
    EXPECT_GE(t.top, plot.bottom);
    // The captions "MHz" and "dB".
    EXPECT_EQ(S(ax.CaptionText()), "MHz");
    EXPECT_EQ(S(ay.CaptionText()), "dB");
    // Level of the Y axis: 10 dB steps fit into 413 pixels.
    EXPECT_EQ(ay.GetTickStep(), 10.0);
    EXPECT_EQ(ax.GetTickStep(), 50.0);
}

TEST(TesseraChartTest, NetworkChartDrawsReflectionOnTheSameScale)
{
    // Transmission near 0 dB in the middle, reflection below it; one point far below the
    // scale, as a perfect match gives.
    const double x[5] = {1100.0, 1150.0, 1200.0, 1250.0, 1300.0};
    const double s21[5] = {-60.0, -3.0, -0.5, -3.0, -60.0};
    const double s11[5] = {-0.01, -3.0, -300.0, -20.0, -0.01};
    const double ideal[5] = {-70.0, -2.0, 0.0, -2.0, -70.0};
    NetworkCurves curves;
    curves.idealX = x;
    curves.idealY = ideal;
    curves.idealN = 5;
    curves.x = x;
    curves.s21Db = s21;
    curves.s11Db = s11;
    curves.n = 5;
    XChart chart;
    EXPECT_EQ(SetupNetworkChart(chart, curves), 0);
    ASSERT_EQ(chart.LineCount(), 3);
    XChartLine& bw = *chart.Line(0);
    XChartLine& s21Line = *chart.Line(1);
    XChartLine& s11Line = *chart.Line(2);
    EXPECT_EQ(S(s11Line.GetName()), "S11");
    EXPECT_EQ(S(bw.GetStr("color")), "yellow");
    EXPECT_NE(S(s11Line.GetStr("color")), "yellow");
    // Each line named in the legend, all three in one group on both axes.
    EXPECT_EQ(S(bw.GetStr("legend")), "ideal");
    EXPECT_EQ(S(s21Line.GetStr("legend")), "|S21| with loss");
    EXPECT_EQ(S(s11Line.GetStr("legend")), "|S11|");
    ASSERT_EQ(chart.Groups(XChartGroup::X).Count(), 1);
    EXPECT_EQ(chart.Groups(XChartGroup::X)[0].Count(), 3);
    EXPECT_EQ(bw.Y()[2], 0.0);
    EXPECT_EQ(s21Line.Y()[2], -0.5);
    EXPECT_EQ(s11Line.Y()[3], -20.0);
    EXPECT_EQ(s11Line.X()[4], 1300.0);

    const plat::Image image = RenderChart(chart, 486, 413);
    std::string png;
    ASSERT_TRUE(image.Encode(plat::ImageFormat::PNG, png));
    std::ofstream(::testing::TempDir() + "tessera_network_chart.png", std::ios::binary) << png;
    // The reflection shares the loss scale and draws no axis of its own.
    for (const XChartLine* line : {&bw, &s11Line}) {
        EXPECT_EQ(line->AxisY().Scale().shownLo, -100.0);
        EXPECT_EQ(line->AxisY().Scale().shownHi, 0.0);
        EXPECT_EQ(line->AxisX().Scale().shownLo, 1100.0);
        EXPECT_EQ(line->AxisX().Scale().shownHi, 1300.0);
    }
    EXPECT_EQ(s11Line.AxisY().PixelOf(-20.0), bw.AxisY().PixelOf(-20.0));
    // The S11 line passes -20 dB at 1250 MHz in its own colour.
    const XColor cyan = s11Line.GetColor("color");
    const int px = bw.AxisX().PixelOf(1250.0);
    const int py = bw.AxisY().PixelOf(-20.0);
    bool found = false;
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            found = found || image.GetPixel(px + dx, py + dy) ==
                                 plat::Rgb(cyan.Red(), cyan.Green(), cyan.Blue());
        }
    }
    EXPECT_TRUE(found);
    // Without points both lines stay empty.
    XChart empty;
    curves.s11Db = nullptr;
    EXPECT_EQ(SetupNetworkChart(empty, curves), 0);
    EXPECT_EQ(empty.Line(1)->PointCount(), 0);
    EXPECT_EQ(empty.Line(2)->PointCount(), 0);
}

TEST(TesseraChartTest, TitleLabelsAndCaptionsKeepApartAtEverySize)
{
    const Response out = DefaultDesign();
    XChart chart;
    SetupChartWithData(chart, out.responseX.data(), out.responseY.data(),
                       int32_t(out.responseX.size()));
    for (const plat::Size size : {plat::Size{900, 560}, plat::Size{640, 400}, plat::Size{486, 413},
                                  plat::Size{400, 260}, plat::Size{300, 200}}) {
        SCOPED_TRACE(std::to_string(size.cx) + "x" + std::to_string(size.cy));
        RenderChart(chart, size.cx, size.cy);
        const plat::Rect plot = chart.GetPlotRect();
        const plat::Rect title = chart.GetTitleRect();
        const XChartAxis& ax = chart.Line(0)->AxisX();
        const XChartAxis& ay = chart.Line(0)->AxisY();
        // The X axis with its labels and the "MHz" caption row ends above the title at the
        // bottom centre.
        EXPECT_LE(plot.bottom + ax.Thickness(), title.top);
        EXPECT_EQ(title.bottom, size.cy);
        for (const plat::Rect& label : ax.GetLabelRects()) {
            EXPECT_TRUE(label.Intersect(title).IsEmpty());
        }
        for (const plat::Rect& label : ay.GetLabelRects()) {
            EXPECT_TRUE(label.Intersect(title).IsEmpty());
            EXPECT_GE(label.top, 0);
        }
        // Neighbouring labels of an axis do not touch.
        const XArray<plat::Rect>& xl = ax.GetLabelRects();
        for (int32_t i = 1; i < xl.Count(); ++i) {
            EXPECT_LT(xl[i - 1].right, xl[i].left);
        }
    }
    // A title that fits into the margin leaves the plot area where it was.
    chart.Attrs().SetInt("titleFontSize", 80);
    chart.Attrs().SetRect("chartInset", NXRect{15, 15, 15, 40});
    RenderChart(chart, 600, 400);
    const plat::Rect a = chart.GetPlotRect();
    chart.Attrs().SetStr("title", "");
    RenderChart(chart, 600, 400);
    EXPECT_EQ(chart.GetPlotRect(), a);
}

TEST(TesseraChartTest, ExportWritesEachFormat)
{
    const Response out = DefaultDesign();
    XChart chart;
    SetupChartWithData(chart, out.responseX.data(), out.responseY.data(),
                       int32_t(out.responseX.size()));
    ZString error;
    const std::string png = TempPath("c.PNG");
    ASSERT_TRUE(ExportChart(chart, png.c_str(), 320, 240, error)) << error.Text();
    const plat::Image back = plat::Image::LoadPNG(png);
    ASSERT_TRUE(back.IsValid());
    EXPECT_EQ(back.GetSize().cx, 320);
    EXPECT_EQ(back.GetSize().cy, 240);

    const std::string svg = TempPath("c.svg");
    ASSERT_TRUE(ExportChart(chart, svg.c_str(), 320, 240, error)) << error.Text();
    EXPECT_NE(ReadFile(svg).find("<svg"), std::string::npos);
    const std::string pdf = TempPath("c.pdf");
    ASSERT_TRUE(ExportChart(chart, pdf.c_str(), 320, 240, error)) << error.Text();
    EXPECT_EQ(ReadFile(pdf).substr(0, 5), "%PDF-");

    const std::string xch = TempPath("c.xch");
    ASSERT_TRUE(ExportChart(chart, xch.c_str(), 0, 0, error)) << error.Text();
    const std::string text = ReadFile(xch);
    EXPECT_EQ(text.substr(0, 40), "  <XCHART name='a xchart' type='XCHART' ");
    EXPECT_NE(text.find("            1060 -77.7251;\r\n"), std::string::npos);
    // The file reads back into the same chart.
    TXML xml;
    ASSERT_TRUE(xml.Parse(ZStr(text.c_str())));
    XChart copy;
    ASSERT_TRUE(copy.ReadXML(*xml.GetRoot()->FindChildElement("XCHART")));
    EXPECT_EQ(copy.Line(0)->X().Count(), 200);
    EXPECT_EQ(S(ChartFileText(copy)), text);
    for (const std::string& p : {png, svg, pdf, xch}) {
        std::remove(p.c_str());
    }
}

TEST(TesseraChartTest, ExportReportsFailuresAndKeepsTheOldFile)
{
    XChart chart;
    ZString error;
    EXPECT_FALSE(ExportChart(chart, "chart.gif", 100, 100, error));
    EXPECT_EQ(S(error), "unknown chart file type 'chart.gif' (use .png, .svg, .pdf or .xch)");
    EXPECT_FALSE(ExportChart(chart, "chart.png", 0, 100, error));
    EXPECT_EQ(S(error), "chart size 0x100 is not between 1x1 and 20000x20000");
    EXPECT_FALSE(ExportChart(chart, "/nonexistent-dir/c.png", 100, 100, error));
    EXPECT_EQ(S(error).rfind("cannot write '/nonexistent-dir/c.png': ", 0), 0u) << S(error);

    // A failed write leaves an existing file as it was.
    if (geteuid() != 0) {
        const std::string dir = TempPath("ro");
        ::mkdir(dir.c_str(), 0755);
        const std::string path = dir + "/kept.xch";
        std::ofstream(path) << "old";
        ::chmod(dir.c_str(), 0555);
        EXPECT_FALSE(ExportChart(chart, path.c_str(), 1, 1, error));
        EXPECT_EQ(ReadFile(path), "old");
        ::chmod(dir.c_str(), 0755);
        std::remove(path.c_str());
        ::rmdir(dir.c_str());
    }
}
