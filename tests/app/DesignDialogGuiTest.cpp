// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/engine/ComputedDesign.h"
#include "app/engine/ParmsText.h"
#include "app/gui/DesignDialog.h"
#include "app/gui/DesignTemplate.h"
#include "chart/XChart.h"
#include "platform/Application.h"
#include "platform/Messages.h"
#include "platform/TestSupport.h"
#include "tests/TestSupport.h"
#include "tests/platform/GuiFixture.h"

#include <algorithm>
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
