// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/engine/ComputedDesign.h"
#include "app/engine/ParmsText.h"
#include "app/gui/DesignDialog.h"
#include "app/gui/DesignTemplate.h"
#include "app/outputs/TesseraChart.h"
#include "chart/XChart.h"
#include "platform/Application.h"
#include "platform/Messages.h"
#include "platform/TestSupport.h"
#include "tests/TestSupport.h"
#include "tests/platform/GuiFixture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using plat::test::ModalAnswer;
using plat::test::ModalKind;
using plat::test::ModalRequest;

// The main dialog shown modelessly in an empty working folder (no Tessera.ini), driven
// through its chart's context menu as a user drives it; the hook answers the menu, the
// file dialog and the message boxes.
class DesignDialogGuiTest : public GuiTest
{
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        m_folder = TempPath("design_dialog");
        std::system(("rm -rf '" + m_folder + "' && mkdir -p '" + m_folder + "'").c_str());
        char cwd[4096];
        ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
        m_oldCwd = cwd;
        ASSERT_EQ(chdir(m_folder.c_str()), 0);
        dlg = std::make_unique<DesignDialog>();
        ASSERT_TRUE(dlg->CreateModeless(DesignDialogTemplate(), nullptr));
        plat::test::ProcessUntilIdle();
    }
    void TearDown() override
    {
        dlg.reset();
        if (!m_oldCwd.empty()) {
            EXPECT_EQ(chdir(m_oldCwd.c_str()), 0);
        }
        GuiTest::TearDown();
    }

    // Right-clicks the chart and chooses the entry called `entry`; `more` answers what the
    // entry opens next.
    void ChooseFromChartMenu(const std::string& entry,
                             std::function<ModalAnswer(const ModalRequest&)> more = nullptr)
    {
        bool offered = false;
        plat::test::SetModalHook([&](const ModalRequest& req) {
            if (req.kind == ModalKind::PopupMenu) {
                const auto it = std::find(req.items.begin(), req.items.end(), entry);
                offered = it != req.items.end();
                return ModalAnswer{true, offered ? int(req.ids[size_t(it - req.items.begin())]) : 0,
                                   ""};
            }
            return more ? more(req) : ModalAnswer{};
        });
        XChartWnd& chart = dlg->ChartWnd();
        const plat::Rect r = chart.GetClientRect();
        plat::test::Click(chart, {r.Width() / 2, r.Height() / 2}, plat::test::Button::Right);
        plat::test::ProcessUntilIdle();
        plat::test::SetModalHook(nullptr);
        EXPECT_TRUE(offered) << entry;
    }

    XChartLine& Line(const char* name)
    {
        XChart& chart = *dlg->ChartWnd().GetChart();
        return *chart.Line(chart.GetOrAddLine(name));
    }

    std::unique_ptr<DesignDialog> dlg;

private:
    std::string m_folder;
    std::string m_oldCwd;
};

TEST_F(DesignDialogGuiTest, ChartMenuShowsTheNetworkExportsAndTunes)
{
    // At start: the default design, an empty status line, no configuration.
    std::string status;
    const auto defaults =
        ComputedDesign::Compute(BuildParms(DesignInputs{}), LengthUnit::Millimetre, status);
    ASSERT_TRUE(defaults);
    EXPECT_EQ(dlg->Controller().LastParms(), BuildParms(DesignInputs{}));
    EXPECT_EQ(dlg->Configs().Current(), -1);
    EXPECT_FALSE(Line("S21").GetBool("showLine", true));

    // Network Response draws |S21| with loss and |S11| over the design's sweep, and follows
    // the next design.
    ChooseFromChartMenu("Network Response");
    ASSERT_TRUE(dlg->ChartMenu().IsNetworkShown());
    EXPECT_TRUE(Line("S21").GetBool("showLine", false));
    const XRealArray& x = Line("S11").Column(XChartColumn::X);
    ASSERT_EQ(x.Count(), int32_t(defaults->ResponseX().size()));
    EXPECT_DOUBLE_EQ(x[0], defaults->ResponseX().front());
    const XRealArray& s21 = Line("S21").Column(XChartColumn::Y);
    const double atCentre = s21[x.Count() / 2];
    EXPECT_LT(atCentre, -0.2); // the resonators' loss
    EXPECT_GT(atCentre, -1.5);

    plat::Dialog& dialog = *dlg;
    const int slider = InputInfo(DesignInput::Bandwidth).sliderId;
    dialog.SetFocusControl(slider);
    dialog.SetSliderPos(slider, 140);
    dlg->Controller().OnTick();
    EXPECT_LT(Line("S11").Column(XChartColumn::X)[0], defaults->ResponseX().front() - 20.0);

    // Export Touchstone... writes the file the dialog names.
    const std::string s2p = TempPath("design_dialog_export.s2p");
    std::remove(s2p.c_str());
    std::string proposed;
    ChooseFromChartMenu("Export Touchstone...", [&](const ModalRequest& req) {
        proposed = req.text;
        return req.kind == ModalKind::FileDialog ? ModalAnswer{true, 1, s2p} : ModalAnswer{};
    });
    EXPECT_EQ(proposed, "filter.s2p") << "no configuration chosen: the name is 'filter'";
    EXPECT_EQ(std::string(dlg->ChartWnd().GetChart()->GetFileName().Text()), "filter.xch")
        << "the chart's own Save XML proposes the same name";
    const std::string touchstone = ReadFile(s2p);
    EXPECT_NE(touchstone.find("# MHz S RI R 50"), std::string::npos);
    EXPECT_NE(touchstone.find("bwmc=140"), std::string::npos);

    // Tuning Table shows the table in a message box.
    std::string title;
    ChooseFromChartMenu("Tuning Table", [&](const ModalRequest& req) {
        if (req.kind == ModalKind::Dialog || req.kind == ModalKind::MessageBox) {
            title = req.title;
            return ModalAnswer{true, plat::kIdOk, ""};
        }
        return ModalAnswer{};
    });
    EXPECT_EQ(title, "Tuning Table");

    // Save Build Sheet... writes the kind of file the name asks for, in the report's unit.
    const std::string dxf = TempPath("design_dialog_sheet.dxf");
    std::remove(dxf.c_str());
    std::vector<std::string> types;
    ChooseFromChartMenu("Save Build Sheet...", [&](const ModalRequest& req) {
        proposed = req.text;
        types = req.items;
        return req.kind == ModalKind::FileDialog ? ModalAnswer{true, 1, dxf} : ModalAnswer{};
    });
    EXPECT_EQ(proposed, "filter.pdf");
    EXPECT_EQ(types, (std::vector<std::string>{"PDF\t*.pdf", "SVG\t*.svg", "DXF\t*.dxf"}));
    EXPECT_NE(ReadFile(dxf).find("GROUNDWALLS"), std::string::npos);

    // Off again: the lines hide.
    ChooseFromChartMenu("Network Response");
    EXPECT_FALSE(dlg->ChartMenu().IsNetworkShown());
    EXPECT_FALSE(Line("S21").GetBool("showLine", true));
}

// "Corrected dimensions" puts the corrected dimensions into the report and the box as built
// into the network view, with the correction on its worker: a drag shows the designs' own
// dimensions at once and the corrected ones once the ticks find the inputs settled, asked for
// once. A box that cannot be modelled loses its line and its correction, with the reason in
// the status line, and its build sheet.
TEST_F(DesignDialogGuiTest, CorrectedDimensionsFollowTheCheckBox)
{
    dlg->KillTimer(DesignController::kTimerId); // the ticks come from here
    DesignController& controller = dlg->Controller();
    auto text = [](XMEditWnd& wnd) {
        ZString out;
        wnd.GetEdit().GetText(out, "\n");
        return ToStdString(out.Str());
    };
    auto corrected = [&] { return text(dlg->ReportWnd()).find("Corrected for the box as built"); };
    auto settle = [&] {
        for (int i = 0; i < 1000 && controller.IsCorrecting(); ++i) {
            plat::test::ProcessUntilIdle();
            usleep(10000);
            controller.OnTick();
        }
        EXPECT_FALSE(controller.IsCorrecting());
    };
    // |S21| at the middle of the sweep, as built and with the coupled resonators' loss.
    auto atCentre = [&](const char* line) {
        const XRealArray& y = Line(line).Column(XChartColumn::Y);
        return y.Count() > 0 ? y[y.Count() / 2] : 0.0;
    };

    ChooseFromChartMenu("Network Response");
    ASSERT_TRUE(dlg->ChartMenu().IsAsBuiltShown());
    EXPECT_TRUE(Line(kAsBuiltLine).GetBool("showLine", false));
    EXPECT_EQ(Line(kAsBuiltLine).Column(XChartColumn::Y).Count(),
              Line("S21").Column(XChartColumn::Y).Count());
    EXPECT_GT(std::fabs(atCentre(kAsBuiltLine) - atCentre("S21")), 1.0)
        << "the rods as designed miss the centre as built";
    EXPECT_EQ(corrected(), std::string::npos);

    const plat::Rect box = dlg->GetControlRect(DesignId::kCorrected);
    const plat::Point boxMiddle{box.left + 6, (box.top + box.bottom) / 2};
    plat::test::Click(*dlg, boxMiddle);
    plat::test::ProcessUntilIdle();
    ASSERT_EQ(dlg->GetCheck(DesignId::kCorrected), 1);
    EXPECT_EQ(text(dlg->StatusWnd()), "Correcting the dimensions...");
    settle();
    EXPECT_NE(corrected(), std::string::npos);
    EXPECT_EQ(text(dlg->StatusWnd()), "");
    EXPECT_NEAR(atCentre(kAsBuiltLine), atCentre("S21"), 1.0);

    // A moved slider shows its design at once, uncorrected; the first tick still sees the
    // move, the second finds the inputs settled and asks for their correction, the ticks
    // after it for nothing more.
    plat::Dialog& dialog = *dlg;
    const int slider = InputInfo(DesignInput::Bandwidth).sliderId;
    dialog.SetFocusControl(slider);
    dialog.SetSliderPos(slider, 60);
    dlg->SliderMoved();
    EXPECT_NE(controller.LastParms().find("bwmc=60&"), std::string::npos);
    EXPECT_EQ(corrected(), std::string::npos);
    EXPECT_FALSE(controller.IsCorrecting());
    controller.OnTick();
    EXPECT_FALSE(controller.IsCorrecting());
    controller.OnTick();
    EXPECT_TRUE(controller.IsCorrecting());
    settle();
    EXPECT_NE(corrected(), std::string::npos);
    const int32_t computed = controller.RecomputeCount();
    for (int i = 0; i < 3; ++i) {
        controller.OnTick();
        EXPECT_FALSE(controller.IsCorrecting());
    }
    EXPECT_EQ(controller.RecomputeCount(), computed);

    // Unticked: the report is the design's own again at once.
    plat::test::Click(*dlg, boxMiddle);
    plat::test::ProcessUntilIdle();
    EXPECT_EQ(corrected(), std::string::npos);
    EXPECT_FALSE(controller.IsCorrecting());

    // The cover feed, corrected: the pin's dimensions, a change to the configuration.
    const plat::Rect feed = dlg->GetControlRect(DesignId::kCoverFeed);
    const plat::Point feedMiddle{feed.left + 6, (feed.top + feed.bottom) / 2};
    controller.SetModified(false);
    plat::test::Click(*dlg, feedMiddle);
    plat::test::Click(*dlg, boxMiddle);
    plat::test::ProcessUntilIdle();
    settle();
    EXPECT_NE(text(dlg->ReportWnd()).find("Corrected for the box as built (cover feed)"),
              std::string::npos);
    EXPECT_TRUE(controller.IsModified());
    plat::test::Click(*dlg, boxMiddle);
    plat::test::Click(*dlg, feedMiddle);
    plat::test::ProcessUntilIdle();
    ASSERT_EQ(dlg->GetCheck(DesignId::kCoverFeed), 0);

    // A feed lead too long for the planes: no line as built, and no correction.
    dlg->SetFocusControl(EditIdOf(DesignInput::Elements));
    for (const auto& [input, value] :
         {std::pair{DesignInput::CentreFrequency, "5000"},
          std::pair{DesignInput::GroundPlaneSpacing, "5"}, std::pair{DesignInput::RodDiameter, "3"},
          std::pair{DesignInput::EndPlate, "3"}}) {
        dlg->SetText(EditIdOf(input), value);
    }
    controller.OnTick();
    EXPECT_NE(controller.LastParms().find("fzmc=5000&"), std::string::npos);
    EXPECT_TRUE(dlg->ChartMenu().IsNetworkShown());
    EXPECT_FALSE(Line(kAsBuiltLine).GetBool("showLine", true));
    const std::string noLine = text(dlg->StatusWnd());
    EXPECT_EQ(noLine.rfind("No line as built: the feed lead", 0), 0u) << noLine;
    plat::test::Click(*dlg, boxMiddle);
    plat::test::ProcessUntilIdle();
    settle();
    const std::string notCorrected = text(dlg->StatusWnd());
    EXPECT_EQ(notCorrected.rfind("Not corrected: the feed lead", 0), 0u) << notCorrected;
    EXPECT_EQ(corrected(), std::string::npos);
    EXPECT_NE(text(dlg->ReportWnd()).find("Feed Tap"), std::string::npos)
        << "the design's own dimensions stay";
    // A build sheet of them would pass for a corrected one: none is written, a message says why.
    const std::string sheet = TempPath("design_dialog_uncorrected.svg");
    std::remove(sheet.c_str());
    std::string refused;
    ChooseFromChartMenu("Save Build Sheet...", [&](const ModalRequest& req) {
        if (req.kind == ModalKind::FileDialog) {
            return ModalAnswer{true, 1, sheet};
        }
        refused = req.title;
        return ModalAnswer{true, plat::kIdOk, ""};
    });
    EXPECT_EQ(refused, "Save Build Sheet");
    EXPECT_NE(access(sheet.c_str(), F_OK), 0);
}

// A Tessera.ini that cannot be read (here a fifo, which would block a plain read) neither
// hangs the start nor stops it: the window comes up, then says what is wrong.
TEST_F(DesignDialogGuiTest, UnreadableConfigurationFileIsReportedOnceTheWindowIsUp)
{
    dlg.reset();
    ASSERT_EQ(::mkfifo("Tessera.ini", 0644), 0);
    std::vector<std::string> shown;
    bool windowUp = false;
    plat::test::SetModalHook([&](const ModalRequest& req) {
        shown.push_back(req.title);
        windowUp = dlg && dlg->IsVisible();
        return ModalAnswer{true, plat::kIdOk, ""};
    });
    dlg = std::make_unique<DesignDialog>();
    ASSERT_TRUE(dlg->CreateModeless(DesignDialogTemplate(), nullptr));
    for (int i = 0; i < 50 && shown.empty(); ++i) {
        plat::test::ProcessUntilIdle(100);
    }
    plat::test::SetModalHook(nullptr);
    EXPECT_EQ(shown, std::vector<std::string>{"Tessera.ini"});
    EXPECT_TRUE(windowUp) << "the message came before the window";
    EXPECT_EQ(dlg->Configs().LoadError(), "Cannot read ./Tessera.ini: not a regular file");
    EXPECT_EQ(::unlink("Tessera.ini"), 0);
}

// Dragging a slider moves its field, the report and the chart with the drag itself: with the
// tick's timer stopped, only the slider's own notices can have done it.
TEST_F(DesignDialogGuiTest, DraggedSliderUpdatesTheDesignWithoutWaitingForTheTick)
{
    dlg->KillTimer(DesignController::kTimerId);
    const int slider = InputInfo(DesignInput::Bandwidth).sliderId;
    const int edit = EditIdOf(DesignInput::Bandwidth);
    const std::string before = dlg->GetText(edit);
    const int32_t computed = dlg->Controller().RecomputeCount();
    const plat::Rect r = dlg->GetControlRect(slider);
    const int y = (r.top + r.bottom) / 2;
    const int x = r.left + (r.Width() * (70 - 1)) / (200 - 1); // the thumb at 70 MHz
    plat::test::Drag(*dlg, {x, y}, {x + r.Width() / 4, y});
    plat::test::ProcessUntilIdle(100);
    EXPECT_NE(dlg->GetText(edit), before);
    EXPECT_GT(dlg->Controller().RecomputeCount(), computed);
    EXPECT_EQ(dlg->Controller().LastParms().find("bwmc=70&"), std::string::npos);
}

// A larger window gives its room to the report and the chart; every control keeps its place.
TEST_F(DesignDialogGuiTest, ReportAndChartTakeTheRoomOfALargerWindow)
{
    auto placeOf = [](const plat::Window& w) {
        const plat::Rect r = w.GetWindowRect();
        return std::vector<int>{r.left, r.top, r.Width(), r.Height()};
    };
    const std::vector<int> report = placeOf(dlg->ReportWnd());
    const std::vector<int> chart = placeOf(dlg->ChartWnd());
    const plat::Rect ok = dlg->GetControlRect(plat::kIdOk);
    const plat::Rect slider = dlg->GetControlRect(InputInfo(DesignInput::Bandwidth).sliderId);
    const plat::Rect frame = dlg->GetWindowRect();
    dlg->Move({frame.left, frame.top, frame.right + 200, frame.bottom + 100});
    plat::test::ProcessUntilIdle();
    const std::vector<int> bigReport = placeOf(dlg->ReportWnd());
    const std::vector<int> bigChart = placeOf(dlg->ChartWnd());
    EXPECT_EQ(bigReport[2] + bigChart[2], report[2] + chart[2] + 200);
    EXPECT_GT(bigReport[2], report[2]);
    EXPECT_GT(bigChart[2], chart[2]);
    EXPECT_EQ(bigReport[3], report[3] + 100);
    EXPECT_EQ(bigChart[3], chart[3] + 100);
    EXPECT_EQ(dlg->GetControlRect(plat::kIdOk), ok);
    EXPECT_EQ(dlg->GetControlRect(InputInfo(DesignInput::Bandwidth).sliderId), slider);
}

} // namespace
