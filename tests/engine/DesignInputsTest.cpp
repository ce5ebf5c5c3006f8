// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/engine/DesignInputs.h"

#include <climits>
#include <cmath>
#include <gtest/gtest.h>

namespace {

TEST(DesignInputsTest, DefaultsAndSliderPositions)
{
    const DesignInputs in;
    const int positions[kDesignInputCount] = {5, 10, 1200, 70, 50, 20, 8, 25};
    for (int i = 0; i < kDesignInputCount; ++i) {
        const DesignInput input = DesignInputAt(i);
        EXPECT_EQ(SliderPositionFromField(in, input), positions[i]) << InputInfo(input).label;
        const DesignInputInfo& info = InputInfo(input);
        EXPECT_LE(info.sliderMin, positions[i]);
        EXPECT_GE(info.sliderMax, positions[i]);
    }
    EXPECT_EQ(InputInfo(DesignInput::Elements).sliderMax, 10);
    EXPECT_EQ(InputInfo(DesignInput::CentreFrequency).sliderId, 1010);
    EXPECT_STREQ(InputInfo(DesignInput::EndPlate).errorName, "End plate to rod");
}

TEST(DesignInputsTest, RippleSliderRoundTripsEveryTenth)
{
    // Every ripple the slider can set must give the same position back when typed.
    for (int position = 0; position <= 40; ++position) {
        DesignInputs in;
        SetFieldFromSliderPosition(in, DesignInput::Ripple, position);
        const std::string text = FieldText(in, DesignInput::Ripple);
        DesignInputs typed;
        SetFieldFromText(typed, DesignInput::Ripple, text);
        EXPECT_EQ(SliderPositionFromField(typed, DesignInput::Ripple), position) << text;
        EXPECT_EQ(SliderPositionFromField(in, DesignInput::Ripple), position) << text;
    }
    DesignInputs in;
    SetFieldFromSliderPosition(in, DesignInput::Ripple, 35);
    EXPECT_EQ(FieldText(in, DesignInput::Ripple), "3.5");
}

TEST(DesignInputsTest, OtherSlidersTruncateTheField)
{
    DesignInputs in;
    in.fzmc = 1234.99;
    in.H = 0.5;
    in.E = -2.5;
    EXPECT_EQ(SliderPositionFromField(in, DesignInput::CentreFrequency), 1234);
    EXPECT_EQ(SliderPositionFromField(in, DesignInput::GroundPlaneSpacing), 0);
    EXPECT_EQ(SliderPositionFromField(in, DesignInput::EndPlate), -2);
    in.bwmc = 1e300; // typed text may hold anything
    in.R = std::nan("");
    EXPECT_EQ(SliderPositionFromField(in, DesignInput::Bandwidth), INT_MAX);
    EXPECT_EQ(SliderPositionFromField(in, DesignInput::Impedance), 0);
    SetFieldFromSliderPosition(in, DesignInput::RodDiameter, 17);
    EXPECT_EQ(in.D, 17.0);
    SetFieldFromSliderPosition(in, DesignInput::Elements, 9);
    EXPECT_EQ(in.ele, 9);
}

TEST(DesignInputsTest, FieldTexts)
{
    DesignInputs in;
    in.fzmc = 1234.5678;
    in.D = 0.00001;
    in.H = 1e20;
    EXPECT_EQ(FieldText(in, DesignInput::Elements), "5");
    EXPECT_EQ(FieldText(in, DesignInput::Ripple), "1");
    EXPECT_EQ(FieldText(in, DesignInput::CentreFrequency), "1234.57");
    EXPECT_EQ(FieldText(in, DesignInput::RodDiameter), "1e-05");
    EXPECT_EQ(FieldText(in, DesignInput::GroundPlaneSpacing), "1e+20");
    in.ele = INT_MIN;
    EXPECT_EQ(FieldText(in, DesignInput::Elements), "-2147483648");
}

TEST(DesignInputsTest, EditTextsReadTheirNumericPrefix)
{
    const struct
    {
        const char* text;
        int ele;
        double value;
    } cases[] = {
        {"12", 12, 12.0},
        {"  7abc", 7, 7.0},
        {"3.5dB", 3, 3.5},
        {"", 0, 0.0},
        {"abc", 0, 0.0},
        {"-4", -4, -4.0},
        {"1e3", 1, 1000.0},
        {"99999999999", INT_MAX, 99999999999.0},
        {"-99999999999", INT_MIN, -99999999999.0},
    };
    for (const auto& c : cases) {
        DesignInputs in;
        SetFieldFromText(in, DesignInput::Elements, c.text);
        SetFieldFromText(in, DesignInput::Bandwidth, c.text);
        EXPECT_EQ(in.ele, c.ele) << c.text;
        EXPECT_EQ(in.bwmc, c.value) << c.text;
    }
}

TEST(DesignInputsTest, TruncateToIntSaturates)
{
    EXPECT_EQ(TruncateToInt(2.7), 2);
    EXPECT_EQ(TruncateToInt(-2.7), -2);
    EXPECT_EQ(TruncateToInt(2147483646.9), 2147483646);
    EXPECT_EQ(TruncateToInt(2147483647.5), INT_MAX);
    EXPECT_EQ(TruncateToInt(-2147483648.5), INT_MIN);
    EXPECT_EQ(TruncateToInt(1e300), INT_MAX);
    EXPECT_EQ(TruncateToInt(-INFINITY), INT_MIN);
    EXPECT_EQ(TruncateToInt(std::nan("")), 0);
}

} // namespace
