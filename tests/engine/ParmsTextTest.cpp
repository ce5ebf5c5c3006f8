// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/engine/ParmsText.h"

#include "TestDesigns.h"
#include "app/engine/FilterResponse.h"

#include <climits>
#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr const char* kDefaultParms =
    "ele=5\t&rip=1\t&fzmc=1200&bwmc=70&R=50\t&H=20\t&D=8\t&E=25\t&NFR=200&STP=1.4\t";

TEST(ParmsTextTest, DefaultInputsGiveTheDefaultText)
{
    EXPECT_EQ(BuildParms(DesignInputs{}), kDefaultParms);
}

TEST(ParmsTextTest, RealValuesAreCutToSixSignificantDigits)
{
    DesignInputs in;
    in.fzmc = 1234.5678;
    const std::string text = BuildParms(in);
    EXPECT_NE(text.find("&fzmc=1234.57&"), std::string::npos) << text;
    FilterDesign d;
    ParmsToDesign(text, d);
    EXPECT_DOUBLE_EQ(d.fzmc, 1.23457);

    // A change in the seventh significant digit leaves the text, and so the design, alone.
    DesignInputs nudged = in;
    nudged.fzmc = 1234.5679;
    EXPECT_EQ(BuildParms(nudged), text);
    nudged.rip = 1.0000001;
    nudged.H = 20.000001;
    EXPECT_EQ(BuildParms(nudged), text);
    nudged.H = 20.0001;
    EXPECT_NE(BuildParms(nudged), text);

    in.bwmc = 123.4567;
    EXPECT_NE(BuildParms(in).find("&bwmc=123.457&R=50\t&"), std::string::npos);
    EXPECT_NE(BuildParms(in).find("&STP=2.46913\t"), std::string::npos) << BuildParms(in);
}

TEST(ParmsTextTest, ParsingConvertsUnits)
{
    FilterDesign d;
    EXPECT_EQ(ParmsToDesign(kDefaultParms, d), std::nullopt);
    EXPECT_EQ(d.ele, 5);
    EXPECT_EQ(d.rip, 1.0);
    EXPECT_EQ(d.fzmc, 1200 * 0.001);
    EXPECT_EQ(d.bwmc, 70.0);
    EXPECT_EQ(d.R, 50.0);
    EXPECT_EQ(d.H, 20 * kInchPerMm);
    EXPECT_EQ(d.D, 8 * kInchPerMm);
    EXPECT_EQ(d.E, 25 * kInchPerMm);
    EXPECT_NEAR(d.H, 20 / 25.4, 1e-15);
    EXPECT_EQ(d.NFR, 200);
    EXPECT_EQ(d.STP, 1.4);
}

TEST(ParmsTextTest, RoundTripsThroughTheText)
{
    const DesignInputs cases[] = {
        {2, 0.0, 200.0, 1.0, 1.0, 1.0, 0.5, 1.0},
        {12, 4.0, 5000.0, 200.0, 200.0, 100.0, 50.0, 100.0},
        {7, 0.25, 1296.5, 12.75, 75.0, 31.75, 12.7, 15.875},
        {3, 3.5, 10368.1, 0.125, 93.125, 6.35, 3.175, 4.5},
    };
    for (const DesignInputs& in : cases) {
        const std::string text = BuildParms(in);
        FilterDesign d;
        ASSERT_EQ(ParmsToDesign(text, d), std::nullopt) << text;
        EXPECT_EQ(d.ele, in.ele);
        EXPECT_EQ(d.rip, in.rip);
        EXPECT_DOUBLE_EQ(d.fzmc * 1000, in.fzmc);
        EXPECT_EQ(d.bwmc, in.bwmc);
        EXPECT_EQ(d.R, in.R);
        EXPECT_DOUBLE_EQ(d.H / kInchPerMm, in.H);
        EXPECT_DOUBLE_EQ(d.D / kInchPerMm, in.D);
        EXPECT_DOUBLE_EQ(d.E / kInchPerMm, in.E);
        EXPECT_EQ(d.NFR, 200);
        EXPECT_DOUBLE_EQ(d.STP, StepSize(in.bwmc));
    }
}

TEST(ParmsTextTest, TokenRules)
{
    FilterDesign d;
    // Runs of "&" are one separator; leading white space before a value is skipped;
    // unknown keys are ignored.
    EXPECT_EQ(ParmsToDesign("&&ele=  7\t&&&junk=3&rip=0.5&", d), std::nullopt);
    EXPECT_EQ(d.ele, 7);
    EXPECT_EQ(d.rip, 0.5);

    // Only the first "=" ends the key; text after the number is ignored.
    EXPECT_EQ(ParmsToDesign("R=75ohm=9", d), std::nullopt);
    EXPECT_EQ(d.R, 75.0);

    // Counts are truncated toward zero.
    EXPECT_EQ(ParmsToDesign("ele=5.9&NFR=-3.7", d), std::nullopt);
    EXPECT_EQ(d.ele, 5);
    EXPECT_EQ(d.NFR, -3);
}

TEST(ParmsTextTest, UnreadableValueRepeatsThePreviousOneAndIsNamed)
{
    FilterDesign d;
    EXPECT_EQ(ParmsToDesign("ele=5&rip=abc&R=x", d), std::optional<std::string>("Ripple"));
    EXPECT_EQ(d.rip, 5.0);
    EXPECT_EQ(d.R, 5.0);
    EXPECT_EQ(ParmsToDesign("H=20&D", d), std::optional<std::string>("Rod Dia"));
    EXPECT_EQ(d.D, 20 * kInchPerMm);
    // Unknown keys are no error, however they look.
    EXPECT_EQ(ParmsToDesign("note=none&=&ele=3", d), std::nullopt);
    EXPECT_EQ(d.ele, 3);
}

TEST(ParmsTextTest, HostileCountsAreBoundedBeforeUse)
{
    auto d = std::make_unique<FilterDesign>();
    ParmsToDesign("ele=5&rip=1&fzmc=1200&bwmc=70&R=50&H=20&D=8&E=25&NFR=1e12&STP=1", *d);
    EXPECT_EQ(d->NFR, INT_MAX);
    EXPECT_EQ(ValidateDesign(*d), std::optional<std::string>("Points to graph"));
    EXPECT_FALSE(Synthesize(*d));

    ParmsToDesign("NFR=200&ele=-1e300", *d);
    EXPECT_EQ(d->ele, INT_MIN);
    EXPECT_EQ(ValidateDesign(*d), std::optional<std::string>("Elements"));
    ParmsToDesign("ele=nan", *d);
    EXPECT_EQ(d->ele, 0);
    ParmsToDesign("ele=inf", *d);
    EXPECT_EQ(d->ele, INT_MAX);

    // A value that is not a number reaches the record but not the synthesis.
    ParmsToDesign("ele=5&rip=nan", *d);
    EXPECT_TRUE(std::isnan(d->rip));
    EXPECT_EQ(ValidateDesign(*d), std::optional<std::string>("Ripple"));
}

TEST(ParmsTextTest, ExtremeFieldValuesStillFormat)
{
    DesignInputs in;
    in.ele = INT_MIN;
    in.fzmc = -1.7976931348623157e308;
    in.bwmc = std::nan("");
    in.R = INFINITY;
    const std::string text = BuildParms(in);
    EXPECT_NE(text.find("ele=-2147483648\t&"), std::string::npos) << text;
    EXPECT_NE(text.find("&fzmc=-1.79769e+308&"), std::string::npos) << text;
    EXPECT_NE(text.find("&R=inf\t&"), std::string::npos) << text;
    FilterDesign d;
    ParmsToDesign(text, d);
    EXPECT_EQ(ValidateDesign(d), std::optional<std::string>("Elements"));
}

} // namespace
