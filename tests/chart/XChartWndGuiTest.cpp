// SPDX-License-Identifier: GPL-2.0-or-later
// The chart in a real window: context menu, commands, clipboard, file dialog, the plot-area
// and axis trackers and the cursor-values box, driven through the platform's test support.
#include "base/XToolTipWnd.h"
#include "chart/XChart.h"
#include "chart/XChartExport.h"
#include "chart/XChartMT.h"
#include "chart/XChartWnd.h"
#include "platform/Application.h"
#include "platform/Clipboard.h"
#include "platform/ClipboardImage.h"
#include "platform/Image.h"
#include "platform/Messages.h"
#include "platform/TestSupport.h"
#include "platform/Window.h"
#include "tests/GuiTest.h"
#include "tests/TestSupport.h"
#include "tests/chart/ChartTestUtil.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

using charttest::S;
using plat::test::ModalAnswer;
using plat::test::ModalKind;
using plat::test::ModalRequest;

namespace {

constexpr int kW = 600;
constexpr int kH = 400;

// A host that records what the chart tells it and may take commands over.
struct Host : XChartCB
{
    bool Command(XChart&, ZStr name) override
    {
        seen.emplace_back(name.ptr, size_t(name.len));
        return name.Equals(take.c_str());
    }
    void LineSelected(XChart&, int32_t line) override { selected = line; }
    void PointMoved(XChart&, int32_t line, int32_t row) override
    {
        moved = line;
        movedRow = row;
    }
    std::string take;
    std::vector<std::string> seen;
    int32_t selected = -2;
    int32_t moved = -1;
    int32_t movedRow = -1;
};

bool FileExists(const std::string& path)
{
    return std::ifstream(path).good();
}

class XChartWndGuiTest : public OwnerWindowTest
{
protected:
    XChartWndGuiTest()
        : OwnerWindowTest("chart", plat::Rect::FromXYWH(30, 30, kW, kH))
    {
    }
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(OwnerWindowTest::SetUp());
        ASSERT_TRUE(m_wnd.CreateChild(m_owner, plat::Rect::FromXYWH(0, 0, kW, kH),
                                      plat::WindowStyle::kVisible));
        XChart& chart = m_wnd.Chart();
        chart.SetHost(&m_host);
        chart.Attrs().SetStr("title", "Test");
        AddLine("a", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {0, 1, 4, 9, 16, 25, 36, 49, 64, 81, 100});
        Paint();
    }
    void TearDown() override
    {
        if (m_wnd.GetChart()) {
            m_wnd.GetChart()->SetHost(nullptr);
        }
        OwnerWindowTest::TearDown();
    }

    XChart& Chart() { return *m_wnd.GetChart(); }
    XChartLine& AddLine(const char* name, std::initializer_list<double> x,
                        std::initializer_list<double> y)
    {
        XChartLine& line = *Chart().Line(Chart().GetOrAddLine(name));
        charttest::Fill(line.X(), x);
        charttest::Fill(line.Y(), y);
        line.SetChanged();
        return line;
    }
    void Paint()
    {
        m_wnd.Invalidate();
        plat::test::ProcessUntilIdle();
    }
    plat::Point PlotCentre() const
    {
        const plat::Rect p = m_wnd.GetChart()->GetPlotRect();
        return {(p.left + p.right) / 2, (p.top + p.bottom) / 2};
    }
    // A left drag in client pixels, one move per pixel, the button held.
    void DragLeft(plat::Point from, plat::Point to)
    {
        plat::test::MouseMove(m_wnd, from);
        plat::test::MouseDown(m_wnd, from);
        const int steps = std::max(std::abs(to.x - from.x), std::abs(to.y - from.y));
        for (int i = 1; i <= steps; ++i) {
            plat::test::MouseMove(
                m_wnd, {from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps},
                plat::Keys::kLButton);
        }
        plat::test::MouseUp(m_wnd, to);
        plat::test::ProcessUntilIdle();
    }

    XChartWnd m_wnd;
    Host m_host;
};

} // namespace

TEST_F(XChartWndGuiTest, ContextMenuOffersTheEntriesInOrderAndSwitchesCursorValues)
{
    std::vector<std::string> offered;
    std::vector<uint32_t> ids;
    int answer = 0;
    plat::test::SetModalHook([&](const ModalRequest& r) {
        EXPECT_EQ(r.kind, ModalKind::PopupMenu);
        offered = r.items;
        ids = r.ids;
        return ModalAnswer{true, answer, {}};
    });
    // Elements in order: sep, Copy Img, Copy XML, Save XML, sep, sep, Tools, Cursor Values.
    answer = 8;
    plat::test::Click(m_wnd, PlotCentre(), plat::test::Button::Right);
    plat::test::ProcessUntilIdle();
    EXPECT_EQ(offered,
              (std::vector<std::string>{"Copy Img", "Copy XML", "Save XML", "Cursor Values"}));
    EXPECT_EQ(ids, (std::vector<uint32_t>{2, 3, 4, 8}));
    EXPECT_EQ(m_host.seen, (std::vector<std::string>{"DoCursorValues"}));
    EXPECT_TRUE(Chart().Attrs().GetBool("cursorValues", false));
    ASSERT_NE(Chart().GetCursorValuesWnd(), nullptr);
    EXPECT_TRUE(Chart().GetCursorValuesWnd()->IsShown());

    // The item is checked now, and choosing it again switches the box off.
    ZString markup;
    Chart().FillMenu(markup);
    EXPECT_NE(S(markup).find("<m s='Cursor Values' c=DoCursorValues o=C />"), std::string::npos);
    plat::test::Click(m_wnd, PlotCentre(), plat::test::Button::Right);
    plat::test::ProcessUntilIdle();
    EXPECT_FALSE(Chart().Attrs().GetBool("cursorValues", true));
    EXPECT_EQ(Chart().GetCursorValuesWnd(), nullptr);

    // Closing the menu without a choice runs nothing.
    answer = 0;
    plat::test::Click(m_wnd, PlotCentre(), plat::test::Button::Right);
    plat::test::ProcessUntilIdle();
    EXPECT_EQ(m_host.seen.size(), 2u);
}

TEST_F(XChartWndGuiTest, CommandsGoToTheHostFirstAndMatchExactly)
{
    ASSERT_TRUE(plat::SetClipboardText("before"));
    std::string text;

    // Not a command: the name is compared case-sensitively.
    EXPECT_FALSE(Chart().ExecCommand("docopyxml"));
    EXPECT_FALSE(Chart().ExecCommand("DoNothing"));
    ASSERT_TRUE(plat::GetClipboardText(text));
    EXPECT_EQ(text, "before");

    // A host that handles a command stops it.
    m_host.take = "DoCopyXML";
    EXPECT_TRUE(Chart().ExecCommand("DoCopyXML"));
    ASSERT_TRUE(plat::GetClipboardText(text));
    EXPECT_EQ(text, "before");
    EXPECT_EQ(m_host.seen.back(), "DoCopyXML");

    // Without the host, Copy XML puts the chart text on the clipboard.
    m_host.take.clear();
    EXPECT_TRUE(Chart().ExecCommand("DoCopyXML"));
    ASSERT_TRUE(plat::GetClipboardText(text));
    ZString expected;
    Chart().WriteXML(expected, "XCHART", "aXChart", "XCHART", "", true);
    EXPECT_EQ(text, S(expected));
    EXPECT_EQ(text.rfind("<XCHART name='aXChart' type='XCHART' \r\n     title=\"Test\" \r\n", 0),
              0u);
    EXPECT_EQ(text.substr(text.size() - 9), "</XCHART>");
}

TEST_F(XChartWndGuiTest, CopyImgPutsAPictureOfTheClientSizeOnTheClipboard)
{
    Chart().Attrs().SetStr("bgColor", "#204060");
    EXPECT_TRUE(Chart().ExecCommand("DoCopyIMG"));
    EXPECT_TRUE(plat::OwnsClipboardImage());
    std::vector<uint8_t> png;
    ASSERT_TRUE(plat::GetOwnClipboardPNG(png));
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(png[1], 'P');
    const std::string path = ::testing::TempDir() + "chart_clipboard.png";
    {
        std::ofstream f(path, std::ios::binary);
        f.write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
    }
    const plat::Image image = plat::Image::LoadPNG(path);
    ASSERT_TRUE(image.IsValid());
    EXPECT_EQ(image.GetSize(), (plat::Size{kW, kH}));
    EXPECT_EQ(image.GetPixel(2, 2), plat::Rgb(0x20, 0x40, 0x60));
    // The picture holds no text, and a text copy takes the clipboard back.
    std::string text;
    EXPECT_FALSE(plat::GetClipboardText(text));
    EXPECT_TRUE(Chart().ExecCommand("DoCopyXML"));
    EXPECT_TRUE(plat::GetClipboardText(text));
    plat::test::ProcessUntilIdle();
    EXPECT_FALSE(plat::OwnsClipboardImage());
}

TEST_F(XChartWndGuiTest, SaveXmlAsksForTheFileAndKeepsItsChoice)
{
    const std::string dir = ::testing::TempDir();
    const std::string path = dir + "saved_chart.xch";
    std::remove(path.c_str());
    Chart().SetFileName("keep.xch");

    ModalRequest asked;
    ModalAnswer answer{true, 0, {}}; // cancel
    bool messageShown = false;
    std::string message;
    plat::test::SetModalHook([&](const ModalRequest& r) {
        if (r.kind == ModalKind::MessageBox) {
            messageShown = true;
            message = r.text;
            return ModalAnswer{true, plat::kIdOk, {}};
        }
        asked = r;
        return answer;
    });
    EXPECT_FALSE(Chart().ExecCommand("DoSaveXML"));
    EXPECT_EQ(asked.kind, ModalKind::FileDialog);
    EXPECT_EQ(asked.text, "keep.xch");
    EXPECT_EQ(asked.items, (std::vector<std::string>{"XChart\t*.xch", "All\t*.*"}));
    EXPECT_EQ(S(Chart().GetFileName()), "keep.xch");
    EXPECT_FALSE(FileExists(path));

    answer = ModalAnswer{true, 1, path};
    EXPECT_TRUE(Chart().ExecCommand("DoSaveXML"));
    EXPECT_EQ(ReadFile(path), S(ChartFileText(Chart())));
    EXPECT_EQ(ReadFile(path).rfind("  <XCHART name='a xchart' type='XCHART' \r\n", 0), 0u);
    EXPECT_EQ(S(Chart().GetFileName()), "saved_chart.xch");
    EXPECT_EQ(S(Chart().GetFileFolder()) + "/", dir.back() == '/' ? dir : dir + "/");
    EXPECT_FALSE(messageShown);

    // The next dialog starts from that choice; a file that cannot be written is reported.
    answer = ModalAnswer{true, 1, dir + "no-such-folder/x.xch"};
    EXPECT_FALSE(Chart().ExecCommand("DoSaveXML"));
    EXPECT_EQ(asked.text, "saved_chart.xch");
    EXPECT_TRUE(messageShown);
    EXPECT_EQ(message, "The chart could not be saved as '" + dir +
                           "no-such-folder/x.xch': No such file or directory.");
    // A fifo (or a device) is never written through, and says so.
    const std::string fifo = dir + "saved_chart_fifo.xch";
    std::remove(fifo.c_str());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    answer = ModalAnswer{true, 1, fifo};
    EXPECT_FALSE(Chart().ExecCommand("DoSaveXML"));
    EXPECT_EQ(message, "The chart could not be saved as '" + fifo + "': not a regular file.");
    std::remove(fifo.c_str());
}

TEST_F(XChartWndGuiTest, PlotAreaDragMovesOnlyBeyondFivePixels)
{
    const plat::Point c = PlotCentre();
    const XChartScale& sx = Chart().Line(0)->AxisX().Scale();
    DragLeft(c, {c.x + 5, c.y + 5});
    EXPECT_FALSE(sx.zoomed);

    // Six pixels are a move: the rubber band zooms both axes to the band.
    const XChartScale& sy = Chart().Line(0)->AxisY().Scale();
    const double x0 = sx.PixelToValue(c.x);
    const double x1 = sx.PixelToValue(c.x + 6);
    const double y0 = sy.PixelToValue(c.y + 6);
    const double y1 = sy.PixelToValue(c.y);
    DragLeft(c, {c.x + 6, c.y + 6});
    EXPECT_TRUE(sx.zoomed);
    EXPECT_NEAR(sx.viewLo, x0, 1e-9);
    EXPECT_NEAR(sx.viewHi, x1, 1e-9);
    EXPECT_TRUE(sy.zoomed);
    EXPECT_NEAR(sy.viewLo, y0, 1e-9);
    EXPECT_NEAR(sy.viewHi, y1, 1e-9);
}

TEST_F(XChartWndGuiTest, DraggingAlongAnAxisZoomsItToTheDraggedValues)
{
    // A logarithmic second line with its X axis at the top and Y axis at the right.
    XChartLine& log = AddLine("log", {1, 10, 100, 1000}, {1, 2, 3, 4});
    log.SetBool("logAxisX", true);
    log.SetStr("axis", "XY");
    Paint();

    XChartAxis& ax = Chart().Line(0)->AxisX();
    XChartAxis& lx = log.AxisX();
    ASSERT_TRUE(ax.IsPlaced());
    ASSERT_TRUE(lx.IsPlaced());
    const plat::Rect plot = Chart().GetPlotRect();

    // Linear: the values at the dragged pixels become the view.
    const int y = ax.GetAxisRect().top + 6;
    const double a = ax.Scale().PixelToValue(plot.left + 50);
    const double b = ax.Scale().PixelToValue(plot.left + 150);
    DragLeft({plot.left + 150, y}, {plot.left + 50, y});
    EXPECT_TRUE(ax.Scale().zoomed);
    EXPECT_NEAR(ax.Scale().viewLo, a, 1e-9);
    EXPECT_NEAR(ax.Scale().viewHi, b, 1e-9);
    EXPECT_FALSE(lx.Scale().zoomed); // another line's axis stays

    // Held beyond the end of the zoomed axis, a drag scrolls the view on (the axis timer)
    // and the interval reaches as far as the view has gone.
    const double anchor = ax.Scale().PixelToValue(plot.left + 100);
    plat::test::MouseMove(m_wnd, {plot.left + 100, y});
    plat::test::MouseDown(m_wnd, {plot.left + 100, y});
    for (int x = plot.left + 100; x <= plot.right + 20; x += 10) {
        plat::test::MouseMove(m_wnd, {x, y}, plat::Keys::kLButton);
    }
    EXPECT_TRUE(plat::test::RunUntil([&] { return ax.Scale().viewHi > b + (b - a) * 0.15; }, 5000));
    plat::test::MouseUp(m_wnd, {plot.right + 20, y});
    plat::test::ProcessUntilIdle();
    EXPECT_TRUE(ax.Scale().zoomed);
    EXPECT_NEAR(ax.Scale().viewLo, anchor, 1e-9);
    EXPECT_GT(ax.Scale().viewHi, b + (b - a) * 0.15);
    EXPECT_FALSE(ax.GetTracker()->Timer().IsRunning());

    // Logarithmic: the pixels map back through the decades.
    const XChartScale& ls = lx.Scale();
    const int ly = lx.GetAxisRect().bottom - 6;
    const double p0 = plot.left + 100.0;
    const double p1 = plot.left + 300.0;
    const double la = std::log10(ls.shownLo);
    const double span = std::log10(ls.shownHi) - la;
    const double e0 =
        std::pow(10.0, la + (p0 - ls.pixelStart) / (ls.pixelEnd - ls.pixelStart) * span);
    const double e1 =
        std::pow(10.0, la + (p1 - ls.pixelStart) / (ls.pixelEnd - ls.pixelStart) * span);
    DragLeft({int(p0), ly}, {int(p1), ly});
    EXPECT_TRUE(ls.zoomed);
    EXPECT_NEAR(ls.viewLo / e0, 1.0, 1e-9);
    EXPECT_NEAR(ls.viewHi / e1, 1.0, 1e-9);

    // The repaint shows the zoomed view; a click on its zoom handle shows the full range.
    EXPECT_NEAR(ls.shownLo / e0, 1.0, 1e-9);
    const plat::Rect handle = lx.GetZoomHandleRect();
    plat::test::Click(m_wnd, {(handle.left + handle.right) / 2, (handle.top + handle.bottom) / 2});
    plat::test::ProcessUntilIdle();
    EXPECT_FALSE(ls.zoomed);
    EXPECT_EQ(ls.shownHi, ls.hi);

    // The wheel over an axis zooms around the pointer.
    plat::test::Wheel(m_wnd, {plot.left + 100, y}, 120);
    plat::test::ProcessUntilIdle();
    EXPECT_TRUE(ax.Scale().zoomed);

    // A line that may not be zoomed keeps its range.
    log.SetBool("lineZoomable", false);
    DragLeft({int(p0), ly}, {int(p1), ly});
    EXPECT_FALSE(ls.zoomed);
    plat::test::Wheel(m_wnd, {int(p0), ly}, 120);
    plat::test::ProcessUntilIdle();
    EXPECT_FALSE(ls.zoomed);
}

TEST_F(XChartWndGuiTest, CursorValuesShowEachLineAtThePointer)
{
    // Each line shows its own value at the pointer's X, interpolated between its points; a
    // line whose data end before that X shows the pointer's height on its scale.
    AddLine("longer", {0, 10}, {-5, 5});
    AddLine("short", {0, 1}, {3, 3}).SetStr("fixedScaleX", "0 10");
    Paint();
    const plat::Point c = PlotCentre();
    XChartLine& a = *Chart().Line(0);
    const XChartLine& b = *Chart().Line(1);
    const XChartLine& s = *Chart().Line(2);
    const double ax = a.AxisX().Scale().PixelToValue(c.x);
    const int32_t below = int32_t(std::floor(ax));
    const double ay = a.Y()[below] + (a.Y()[below + 1] - a.Y()[below]) * (ax - below);
    const double bx = b.AxisX().Scale().PixelToValue(c.x);
    const double sx = s.AxisX().Scale().PixelToValue(c.x);
    ASSERT_GT(sx, 1.0);
    char expected[256];
    std::snprintf(expected, sizeof expected,
                  "a      x=%g y=%g\r\nlonger x=%g y=%g\r\nshort  x=%g y=%g", ax, ay, bx, -5.0 + bx,
                  sx, s.AxisY().Scale().PixelToValue(c.y));
    EXPECT_EQ(S(Chart().CursorValuesText({double(c.x), double(c.y)})), expected);
    Chart().Line(2)->SetBool("showLine", false);
    std::snprintf(expected, sizeof expected, "a      x=%g y=%g\r\nlonger x=%g y=%g", ax, ay, bx,
                  -5.0 + bx);

    // Switched on, the box follows the pointer over the plot area.
    EXPECT_TRUE(Chart().ExecCommand("DoCursorValues"));
    plat::test::MouseMove(m_wnd, c);
    plat::test::ProcessUntilIdle();
    XToolTipWnd* box = Chart().GetCursorValuesWnd();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(S(box->GetText()), expected);
    ASSERT_EQ(box->GetLines().size(), 2u);
    // A line with a legend text goes by it.
    Chart().Line(1)->SetStr("legend", "|S11|");
    EXPECT_EQ(S(Chart().CursorValuesText({double(c.x), double(c.y)})).find("|S11| x="),
              S(Chart().CursorValuesText({double(c.x), double(c.y)})).find("\r\n") + 2);
    Chart().Line(1)->SetStr("legend", "");
    const plat::Rect p = Chart().GetPlotRect();
    EXPECT_EQ(box->GetWindowRect().left, m_wnd.ClientToScreen({p.left + 10, 0}).x);
    EXPECT_EQ(box->GetWindowRect().Width(), box->GetBoxSize().cx);

    // A hidden line has no values.
    Chart().Line(1)->SetBool("showLine", false);
    EXPECT_EQ(S(Chart().CursorValuesText({double(c.x), double(c.y)})).find("longer"),
              std::string::npos);
}

TEST_F(XChartWndGuiTest, ClickSelectsALineAndDraggingMovesAPointOfIt)
{
    XChartLine& line = *Chart().Line(0);
    const plat::Point on{line.AxisX().PixelOf(5.0), line.AxisY().PixelOf(25.0)};
    // The chart does not let lines be selected by default.
    plat::test::Click(m_wnd, on);
    plat::test::ProcessUntilIdle();
    EXPECT_EQ(Chart().GetSelectedLine(), -1);

    Chart().Attrs().SetBool("linesSelectable", true);
    line.SetBool("lineEditable", true);
    plat::test::Click(m_wnd, {on.x + 2, on.y - 1});
    plat::test::ProcessUntilIdle();
    EXPECT_EQ(Chart().GetSelectedLine(), 0);
    EXPECT_EQ(m_host.selected, 0);
    EXPECT_TRUE(line.IsSelected());

    const plat::Point to{on.x + 1, line.AxisY().PixelOf(60.0)};
    const double yTo = line.AxisY().Scale().PixelToValue(to.y);
    DragLeft(on, to);
    EXPECT_EQ(m_host.moved, 0);
    EXPECT_EQ(m_host.movedRow, 5);
    EXPECT_NEAR(line.Y()[5], yTo, 1e-9);
    EXPECT_FALSE(line.AxisX().Scale().zoomed); // a point drag is no rubber band

    // Escape during a point drag puts the point back.
    const double y6 = line.Y()[6];
    const plat::Point six{line.AxisX().PixelOf(6.0), line.AxisY().PixelOf(y6)};
    plat::test::MouseMove(m_wnd, six);
    plat::test::MouseDown(m_wnd, six);
    for (int d = 1; d <= 20; ++d) {
        plat::test::MouseMove(m_wnd, {six.x, six.y + d}, plat::Keys::kLButton);
    }
    EXPECT_NE(line.Y()[6], y6);
    plat::test::PressKey(m_wnd, plat::VK::kEscape);
    plat::test::MouseUp(m_wnd, {six.x, six.y + 20});
    plat::test::ProcessUntilIdle();
    EXPECT_EQ(line.Y()[6], y6);
    EXPECT_EQ(m_host.movedRow, 5);

    // A click on empty plot area clears the selection.
    const plat::Rect p = Chart().GetPlotRect();
    plat::test::Click(m_wnd, {p.right - 5, p.bottom - 5});
    plat::test::ProcessUntilIdle();
    EXPECT_EQ(Chart().GetSelectedLine(), -1);
}
