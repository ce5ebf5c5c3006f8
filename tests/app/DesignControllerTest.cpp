// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/gui/DesignController.h"

#include "app/engine/ComputedDesign.h"
#include "app/engine/ParmsText.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <string>

namespace {

// The dialog's controls as plain values: edits hold texts, sliders clamp like slider
// controls, one control at a time has the focus, and a changed Elements text recomputes at
// once, as the dialog's notification does.
class FakeControls : public DesignControls
{
public:
    DesignController* controller = nullptr;
    std::map<DesignInput, std::string> edits;
    std::map<DesignInput, int> pos, lo, hi;
    enum class Focus { None, Edit, Slider } focusKind = Focus::None;
    DesignInput focus = DesignInput::Elements;
    int inchCheck = 0;
    std::string status = "(never set)";
    std::string report;
    int reports = 0;
    int responses = 0;
    int elementsChanges = 0;
    bool reenterOnReport = false;

    std::string GetEditText(DesignInput input) const override { return edits.at(input); }
    void SetEditText(DesignInput input, const std::string& text) override
    {
        const bool changed = edits[input] != text;
        edits[input] = text;
        if (changed && input == DesignInput::Elements && controller != nullptr) {
            ++elementsChanges;
            controller->Recompute();
        }
    }
    void SetSliderRange(DesignInput input, int min, int max) override
    {
        lo[input] = min;
        hi[input] = max;
    }
    void SetSliderPos(DesignInput input, int p) override
    {
        pos[input] = std::clamp(p, lo[input], hi[input]);
    }
    int GetSliderPos(DesignInput input) const override { return pos.at(input); }
    bool SliderHasFocus(DesignInput input) const override
    {
        return focusKind == Focus::Slider && focus == input;
    }
    bool EditHasFocus(DesignInput input) const override
    {
        return focusKind == Focus::Edit && focus == input;
    }
    int GetInchCheck() const override { return inchCheck; }
    int GetCorrectedCheck() const override { return 0; }
    void StartTimer(uint32_t id, uint32_t period) override
    {
        timerId = id;
        timerPeriod = period;
    }
    void ShowStatus(const std::string& text) override { status = text; }
    void ShowReport(const std::string& text) override
    {
        report = text;
        ++reports;
        if (reenterOnReport) {
            controller->Recompute(); // a message handled while the computation runs
        }
    }
    void ResponseChanged() override { ++responses; }

    void Type(DesignInput input, const std::string& text)
    {
        focusKind = Focus::Edit;
        focus = input;
        SetEditText(input, text);
    }
    void Drag(DesignInput input, int p)
    {
        focusKind = Focus::Slider;
        focus = input;
        SetSliderPos(input, p);
    }

    uint32_t timerId = 0;
    uint32_t timerPeriod = 0;
};

class DesignControllerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        controls.controller = &controller;
        controller.InitInputs();
        controller.FieldsToControls();
    }
    std::string ReportOf(const DesignInputs& inputs, LengthUnit unit = LengthUnit::Millimetre)
    {
        std::string status;
        const auto design = ComputedDesign::Compute(BuildParms(inputs), unit, status);
        EXPECT_TRUE(design) << status;
        return design ? design->Report() : std::string();
    }

    FakeControls controls;
    DesignController controller{controls};
};

TEST_F(DesignControllerTest, StartsWithTheDefaultDesignSlidersAndTimer)
{
    EXPECT_EQ(controls.timerId, 4711u);
    EXPECT_EQ(controls.timerPeriod, 200u);
    EXPECT_EQ(controls.pos[DesignInput::Elements], 5);
    EXPECT_EQ(controls.pos[DesignInput::Ripple], 10);
    EXPECT_EQ(controls.pos[DesignInput::CentreFrequency], 1200);
    EXPECT_EQ(controls.hi[DesignInput::CentreFrequency], 5000);
    EXPECT_EQ(controls.edits[DesignInput::Ripple], "1");
    EXPECT_EQ(controls.edits[DesignInput::CentreFrequency], "1200");

    // Filling the edits changed the Elements text, which computed the default design at
    // once; the first tick finds nothing new.
    EXPECT_EQ(controller.RecomputeCount(), 1);
    EXPECT_EQ(controls.status, "");
    EXPECT_EQ(controls.report, ReportOf(DesignInputs{}));
    EXPECT_EQ(controller.ResponseX().Count(), 200);
    controller.OnTick();
    EXPECT_EQ(controller.RecomputeCount(), 1);
    EXPECT_FALSE(controller.IsModified());
}

TEST_F(DesignControllerTest, OnlyTheFocusedControlMovesItsPartner)
{
    // A slider with the focus rewrites its field and edit: position 35 is 3.5 dB.
    controls.Drag(DesignInput::Ripple, 35);
    controller.OnTick();
    EXPECT_EQ(controls.edits[DesignInput::Ripple], "3.5");
    EXPECT_DOUBLE_EQ(controller.Inputs().rip, 3.5);
    EXPECT_TRUE(controller.IsModified());

    // A typed field moves its slider, truncated; the field keeps what was typed. Typing is
    // a change of the configuration as much as dragging is.
    controller.SetModified(false);
    controls.Type(DesignInput::CentreFrequency, "  1296.9MHz");
    controller.OnTick();
    EXPECT_TRUE(controller.IsModified());
    EXPECT_EQ(controls.pos[DesignInput::CentreFrequency], 1296);
    EXPECT_DOUBLE_EQ(controller.Inputs().fzmc, 1296.9);
    EXPECT_EQ(controls.edits[DesignInput::CentreFrequency], "  1296.9MHz");

    // A slider moved without the focus (by the program) is not read back.
    controls.focusKind = FakeControls::Focus::None;
    controls.pos[DesignInput::Bandwidth] = 150;
    controller.OnTick();
    EXPECT_DOUBLE_EQ(controller.Inputs().bwmc, 70.0);

    // Forced, every slider follows its field; the slider clamps, the field does not.
    controls.edits[DesignInput::Impedance] = "500";
    controller.FieldsToSliders(true);
    EXPECT_EQ(controls.pos[DesignInput::Impedance], 200);
    EXPECT_DOUBLE_EQ(controller.Inputs().R, 500.0);
}

// A slider that only takes the focus (Tab from its field) never replaces what was typed:
// values below, above or between its positions stay as typed, also when the focus left the
// field before the tick; a slider moved afterwards writes its position as before.
TEST_F(DesignControllerTest, TypedValuesSurviveTheFocusMovingToTheirSlider)
{
    struct Case
    {
        DesignInput input;
        const char* typed;
        int slider; // where the slider shows it
    };
    const Case cases[] = {{DesignInput::CentreFrequency, "144", 200},
                          {DesignInput::CentreFrequency, "1296.5", 1296},
                          {DesignInput::Elements, "12", 10}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        controls.Type(c.input, c.typed);
        controller.OnTick();
        controls.focusKind = FakeControls::Focus::Slider; // Tab
        controller.OnTick();
        controller.OnTick();
        EXPECT_EQ(controls.edits[c.input], c.typed);
        EXPECT_EQ(controls.pos[c.input], c.slider);
    }
    // Pasted and followed by Tab within one tick: the slider still follows the field.
    controls.Type(DesignInput::Bandwidth, "35");
    controls.focusKind = FakeControls::Focus::Slider;
    controller.OnTick();
    EXPECT_EQ(controls.edits[DesignInput::Bandwidth], "35");
    EXPECT_EQ(controls.pos[DesignInput::Bandwidth], 35);
    // Moved by the user, the slider sets its field.
    controls.Drag(DesignInput::Bandwidth, 50);
    controller.OnTick();
    EXPECT_EQ(controls.edits[DesignInput::Bandwidth], "50");
}

TEST_F(DesignControllerTest, AFieldWithoutANumberIsAnInputError)
{
    controller.OnTick();
    const std::string report = controls.report;
    for (const char* text : {"abc", "", "  x1"}) {
        controls.Type(DesignInput::Ripple, text);
        controller.OnTick();
        EXPECT_EQ(controls.status, "Error: Ripple") << "'" << text << "'";
        EXPECT_EQ(controls.report, report);
        EXPECT_EQ(controller.ParmsToStore(), "") << "nothing valid to store";
    }
    // A number followed by other characters is read as its number.
    controls.Type(DesignInput::Ripple, " 0.5dB");
    controller.OnTick();
    EXPECT_EQ(controls.status, "");
    EXPECT_DOUBLE_EQ(controller.Inputs().rip, 0.5);
}

TEST_F(DesignControllerTest, ElementsRecomputeAtOnceAndErrorsKeepTheLastResults)
{
    controls.Type(DesignInput::Elements, "12");
    EXPECT_EQ(controller.RecomputeCount(), 2); // at once, before any tick
    DesignInputs twelve;
    twelve.ele = 12;
    EXPECT_EQ(controls.report, ReportOf(twelve));
    controller.OnTick();
    EXPECT_EQ(controls.pos[DesignInput::Elements], 10); // the slider's maximum

    const std::string goodReport = controls.report;
    const int responses = controls.responses;
    controls.Type(DesignInput::Elements, "13");
    EXPECT_EQ(controls.status, "Error: Elements");
    EXPECT_EQ(controls.report, goodReport);
    EXPECT_EQ(controls.responses, responses);
    EXPECT_EQ(controller.LastParms(), "");
    EXPECT_EQ(controller.ParmsToStore(), ""); // nothing valid to store

    // An empty field reads as 0, which validation names; the next valid text recovers.
    controls.Type(DesignInput::Elements, "");
    EXPECT_EQ(controls.status, "Error: Elements");
    controls.Type(DesignInput::Elements, "4");
    EXPECT_EQ(controls.status, "");
    EXPECT_EQ(controller.LastParms(), BuildParms(controller.Inputs()));
}

TEST_F(DesignControllerTest, RecomputesOnlyChangedTextsAndIsNotReentered)
{
    const int before = controller.RecomputeCount();
    controller.OnTick();
    controller.Recompute();
    EXPECT_EQ(controller.RecomputeCount(), before);

    // The unit switch forgets the last text: the next tick writes the report in inches and
    // hands the chart the same curve again.
    controls.inchCheck = 1;
    controller.ForgetLastParms();
    EXPECT_EQ(controller.ParmsToStore(), BuildParms(DesignInputs{}));
    controller.OnTick();
    EXPECT_EQ(controls.report, ReportOf(DesignInputs{}, LengthUnit::Inch));
    EXPECT_EQ(controller.RecomputeCount(), before + 1);

    // A recomputation asked for while one runs returns at once.
    controls.reenterOnReport = true;
    controls.Type(DesignInput::Bandwidth, "80");
    controller.OnTick();
    EXPECT_EQ(controls.reports, before + 2);
    EXPECT_FALSE(controller.IsBusy());
}

TEST_F(DesignControllerTest, AppliedFieldsShowTogetherAndClearModified)
{
    controls.Drag(DesignInput::Bandwidth, 90);
    controller.OnTick();
    ASSERT_TRUE(controller.IsModified());

    // A configuration with another element count and centre frequency: the Elements edit
    // recomputes at once when it is refilled, and must see the new frequency with it.
    controls.focusKind = FakeControls::Focus::None;
    DesignInputs stored;
    stored.ele = 7;
    stored.fzmc = 433.0;
    stored.bwmc = 12.0;
    controller.Inputs() = stored;
    controller.FieldsApplied();
    EXPECT_FALSE(controller.IsModified());
    EXPECT_EQ(controls.edits[DesignInput::CentreFrequency], "433");
    EXPECT_EQ(controls.pos[DesignInput::CentreFrequency], 433);
    EXPECT_EQ(controls.pos[DesignInput::Bandwidth], 12);
    EXPECT_EQ(controls.report, ReportOf(stored));
    EXPECT_EQ(controller.LastParms(), BuildParms(stored));
}

} // namespace
