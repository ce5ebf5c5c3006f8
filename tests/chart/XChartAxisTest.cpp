// SPDX-License-Identifier: GPL-2.0-or-later
#include "chart/XChartAxis.h"

#include "chart/XChartAttrs.h"
#include "chart/XChartCB.h"
#include "chart/XChartDate.h"
#include "platform/Image.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using XChartDate::Date;
using XChartDate::ToFileTime;

double Step(double lo, double hi, int level, bool log = false)
{
    return XChartAxis::NiceStepFor(lo, hi, level, log);
}

// Rounds [lo, hi] out as NiceStepFor does at level 1 and checks the rounded ends.
void ExpectRoundedOut(double lo, double hi, bool log, double wantLo, double wantHi)
{
    XChartAxis::NiceStepFor(lo, hi, 1, log);
    EXPECT_DOUBLE_EQ(lo, wantLo);
    EXPECT_DOUBLE_EQ(hi, wantHi);
}

class AxisTest : public ::testing::Test
{
protected:
    // A horizontal axis over [lo, hi] on pixels 0..width, laid out at level 1 without
    // measuring labels.
    void Lay(double lo, double hi, int level = 1)
    {
        axis.Scale().SetFullRange(lo, hi);
        axis.SetPixels(0.0, 1000.0);
        axis.CalcRangeStep(level);
        axis.BuildTicks();
    }
    std::vector<double> Ticks() const
    {
        std::vector<double> v;
        for (const XChartAxis::Tick& t : axis.GetTicks()) {
            v.push_back(t.value);
        }
        return v;
    }
    std::vector<std::string> Labels() const
    {
        std::vector<std::string> v;
        for (const ZString& s : axis.GetLabels()) {
            v.push_back(s.Text());
        }
        return v;
    }
    XChartAxisX axis{XChartAxisCB::None()};
};

} // namespace

// ---- Nice steps --------------------------------------------------------------------------

TEST(XChartNiceStepTest, TableOfDivisorsByLevelAndBand)
{
    // Ranges [0, m] with the mantissa m in each band: up to 1, 2, 2.5, 5 and above 5. (For
    // m = 5 itself 10^log10(5) comes out a little above 5, beyond the tolerance, so 5 falls
    // into the last band.)
    const double mantissas[5] = {1.0, 2.0, 2.5, 4.0, 7.0};
    const double expected[3][5] = {
        {0.1, 0.2, 0.25, 0.5, 1.0},
        {0.2, 0.4, 0.5, 1.0, 2.0},
        {0.4, 0.5, 1.0, 2.0, 10.0},
    };
    for (int level = 1; level <= 3; ++level) {
        for (int band = 0; band < 5; ++band) {
            EXPECT_DOUBLE_EQ(Step(0.0, mantissas[band], level), expected[level - 1][band])
                << "level " << level << " mantissa " << mantissas[band];
        }
    }
    // Any other level divides by 1.
    EXPECT_DOUBLE_EQ(Step(0.0, 7.0, 4), 1.0);
    // Bands take a rounding error of the mantissa as equal to the bound.
    EXPECT_DOUBLE_EQ(Step(0.0, 2.0000000000000004, 1), 0.2);
}

TEST(XChartNiceStepTest, WorkedCases)
{
    double lo = 0.0;
    double hi = 7.3;
    EXPECT_DOUBLE_EQ(XChartAxis::NiceStepFor(lo, hi, 1, false), 1.0);
    EXPECT_DOUBLE_EQ(lo, 0.0);
    EXPECT_DOUBLE_EQ(hi, 8.0);

    EXPECT_DOUBLE_EQ(Step(0.0, 1.0, 1), 0.1);
    EXPECT_DOUBLE_EQ(Step(0.0, 0.1, 1), 0.01); // L = -1 gives e = -2 and m = 10
    EXPECT_DOUBLE_EQ(Step(0.0, 2.2, 1), 0.25);
    EXPECT_DOUBLE_EQ(Step(0.0, 2.2, 2), 0.5);
    EXPECT_DOUBLE_EQ(Step(0.0, 2.2, 3), 1.0);
    EXPECT_DOUBLE_EQ(Step(1060.0, 1338.6, 1), 50.0);
    EXPECT_DOUBLE_EQ(Step(-100.0, 0.0, 1), 10.0);
    EXPECT_DOUBLE_EQ(Step(0.0, 3e-7, 1), 5e-8);

    ExpectRoundedOut(1062.0, 1338.6, false, 1050.0, 1350.0);
}

TEST(XChartNiceStepTest, LogarithmicSteps)
{
    double lo = 1.0;
    double hi = 1000.0;
    EXPECT_EQ(XChartAxis::NiceStepFor(lo, hi, 1, true), -1.0); // decade mode
    EXPECT_EQ(lo, 1.0);
    EXPECT_EQ(hi, 1000.0);
    // Less than two decades: 10^e times 1, 1.2 or 1.5.
    EXPECT_DOUBLE_EQ(Step(2.0, 50.0, 1, true), 10.0);
    EXPECT_DOUBLE_EQ(Step(2.0, 50.0, 2, true), 12.0);
    EXPECT_DOUBLE_EQ(Step(2.0, 50.0, 3, true), 15.0);
    // A rounded start of 0 is replaced by the minimum cut to its leading digit.
    ExpectRoundedOut(2.7, 50.0, true, 2.0, 50.0);
}

TEST(XChartNiceStepTest, EmptyOrUnusableRangesAreLeftAlone)
{
    double lo = 5.0;
    double hi = 5.0;
    EXPECT_EQ(XChartAxis::NiceStepFor(lo, hi, 1, false), 1.0);
    EXPECT_EQ(lo, 5.0);
    lo = -1e308;
    hi = 1e308;
    EXPECT_EQ(XChartAxis::NiceStepFor(lo, hi, 1, false), 1.0);
}

TEST(XChartNiceStepTest, SanitizedRanges)
{
    auto sanitize = [](double lo, double hi, bool log, bool date) {
        XChartAxis::SanitizeRange(lo, hi, log, date);
        return std::vector<double>{lo, hi};
    };
    EXPECT_EQ(sanitize(3, 1, false, false), (std::vector<double>{1, 3}));
    EXPECT_EQ(sanitize(0, 0, false, false), (std::vector<double>{-1, 1}));
    EXPECT_EQ(sanitize(10, 10, false, false), (std::vector<double>{9, 11}));
    EXPECT_EQ(sanitize(-5, 100, true, false), (std::vector<double>{0.1, 100}));
    EXPECT_EQ(sanitize(-5, -1, true, false), (std::vector<double>{1, 10}));
    EXPECT_EQ(sanitize(NAN, 1, false, false), (std::vector<double>{0, 1}));
    const std::vector<double> day =
        sanitize(10 * XChartDate::kDay, 10 * XChartDate::kDay, false, true);
    EXPECT_EQ(day[1] - day[0], 2 * XChartDate::kDay);
}

// ---- Ticks and labels --------------------------------------------------------------------

TEST_F(AxisTest, LinearTicksStartAtAMultipleOfTheStep)
{
    Lay(1060.0, 1338.6);
    EXPECT_EQ(axis.GetTickStep(), 50.0);
    EXPECT_EQ(Ticks(), (std::vector<double>{1100, 1150, 1200, 1250, 1300}));
    EXPECT_EQ(Labels(), (std::vector<std::string>{"1100", "1150", "1200", "1250", "1300"}));
    // The shown range is the data range itself without nice start.
    EXPECT_EQ(axis.Scale().shownLo, 1060.0);
}

TEST_F(AxisTest, NiceStartRoundsTheShownRange)
{
    axis.SetNiceStart(true);
    Lay(0.0, 7.3);
    EXPECT_EQ(axis.Scale().shownLo, 0.0);
    EXPECT_EQ(axis.Scale().shownHi, 8.0);
    EXPECT_EQ(Ticks().size(), 9u);
    // While zoomed the view is shown as it is.
    axis.Scale().SetView(1.5, 4.5);
    axis.CalcRangeStep(1);
    EXPECT_EQ(axis.Scale().shownLo, 1.5);
    EXPECT_EQ(axis.Scale().shownHi, 4.5);
    // ... and its ticks fall on multiples of the step, not on the view's odd start.
    axis.Scale().SetView(1.3, 5.7);
    axis.CalcRangeStep(1);
    axis.BuildTicks();
    EXPECT_EQ(axis.GetTickStep(), 0.5);
    ASSERT_FALSE(Ticks().empty());
    EXPECT_DOUBLE_EQ(Ticks().front(), 1.5);
    EXPECT_DOUBLE_EQ(Ticks().back(), 5.5);
}

TEST_F(AxisTest, ATickNextToZeroIsZero)
{
    Lay(0.0, 1.0);
    EXPECT_DOUBLE_EQ(axis.GetTickStep(), 0.1);
    // -0.09999999999999999 + 0.1 is about 1.4e-17, which would be labelled as such.
    EXPECT_EQ(axis.NextTick(-0.09999999999999999), 0.0);
    EXPECT_EQ(axis.NextTick(0.1), 0.2);
    // Ten additions of 0.1 fall just short of 1; the tick is kept and labelled "1".
    ASSERT_EQ(Ticks().size(), 11u);
    EXPECT_EQ(Labels()[10], "1");
    Lay(-0.35, 0.35);
    const std::vector<std::string> labels = Labels();
    ASSERT_EQ(labels.size(), 7u);
    EXPECT_EQ(labels[0], "-0.3");
    EXPECT_EQ(labels[3], "0");
    EXPECT_EQ(labels[6], "0.3");
}

TEST_F(AxisTest, LabelsOfIntegersAndFractions)
{
    EXPECT_EQ(std::string(axis.LabelText(3.0, NAN).Text()), "3");
    EXPECT_EQ(std::string(axis.LabelText(2.5, NAN).Text()), "2.5");
    EXPECT_EQ(std::string(axis.LabelText(-0.0, NAN).Text()), "0");
    EXPECT_EQ(std::string(axis.LabelText(-100.0, NAN).Text()), "-100");
    EXPECT_EQ(std::string(axis.LabelText(1e20, NAN).Text()), "1e+20");
    EXPECT_EQ(std::string(axis.LabelText(0.1234567, NAN).Text()), "0.123457");
}

TEST_F(AxisTest, DecadeTicksRunThroughEachDecade)
{
    axis.SetLog(true);
    Lay(1.0, 1000.0);
    const std::vector<double> t = Ticks();
    ASSERT_EQ(t.size(), 28u);
    EXPECT_EQ(t[0], 1);
    EXPECT_EQ(t[8], 9);
    EXPECT_EQ(t[9], 10);
    EXPECT_EQ(t[10], 20);
    EXPECT_EQ(t[18], 100);
    EXPECT_EQ(t[27], 1000);
    // Pixels of a log axis: 10 lies a third of the way.
    EXPECT_NEAR(axis.Scale().ValueToPixel(10.0), 1000.0 / 3.0, 1e-9);
    EXPECT_NEAR(axis.Scale().PixelToValue(500.0), std::sqrt(1000.0), 1e-9);
}

TEST_F(AxisTest, TicksAreBoundedWhateverTheRange)
{
    // A step far below the resolution of the values makes no progress: the list stops.
    Lay(1e17, 1e17 + 64.0);
    EXPECT_LE(axis.GetTicks().Count(), XChartAxis::kMaxTicks);
    axis.SetLog(true);
    Lay(1e-300, 1e300);
    EXPECT_LE(axis.GetTicks().Count(), XChartAxis::kMaxTicks);
    EXPECT_GT(axis.GetTicks().Count(), 0);
}

TEST_F(AxisTest, ValueToPixelAndBack)
{
    Lay(0.0, 10.0);
    EXPECT_EQ(axis.PixelOf(2.5), 250);
    EXPECT_EQ(axis.PixelOf(0.0049), 0);
    EXPECT_EQ(axis.PixelOf(0.005), 1); // rounded half away from zero
    EXPECT_DOUBLE_EQ(axis.Scale().PixelToValue(250.0), 2.5);
    // A vertical axis runs from its bottom pixel up.
    axis.SetPixels(400.0, 0.0);
    EXPECT_EQ(axis.PixelOf(10.0), 0);
    EXPECT_EQ(axis.PixelOf(2.5), 300);
    // An empty range maps everything to the start pixel.
    axis.Scale().SetFullRange(3.0, 3.0);
    EXPECT_EQ(axis.PixelOf(7.0), 400);
}

TEST(XChartScaleTest, TheViewIsKeptInsideTheFullRange)
{
    XChartScale s;
    s.SetFullRange(0.0, 100.0);
    s.SetView(80.0, 95.0);
    s.SetFullRange(0.0, 50.0); // the view is shifted down into the range
    EXPECT_EQ(s.viewLo, 35.0);
    EXPECT_EQ(s.viewHi, 50.0);
    s.SetFullRange(60.0, 200.0); // and up
    EXPECT_EQ(s.viewLo, 60.0);
    EXPECT_EQ(s.viewHi, 75.0);
    s.SetFullRange(0.0, 5.0); // and clamped when it is wider than the range
    EXPECT_EQ(s.viewLo, 0.0);
    EXPECT_EQ(s.viewHi, 5.0);
    EXPECT_EQ(s.EffectiveLo(), 0.0);
    s.ResetView();
    EXPECT_FALSE(s.zoomed);
}

TEST_F(AxisTest, DenserLevelsAreDroppedWhenLabelsCollide)
{
    plat::Image image(400, 100);
    XChartAttrs attrs;
    attrs.Reset(lineAttrTable());
    axis.LoadAttributes(attrs);
    axis.Scale().SetFullRange(0.0, 2.2);
    axis.SetPixels(0.0, 399.0);
    axis.Layout(&image.Context());
    EXPECT_EQ(axis.GetLevel(), 1); // ten labels of about 25 pixels fit into 400
    axis.SetPixels(0.0, 60.0);
    axis.Layout(&image.Context());
    EXPECT_EQ(axis.GetLevel(), 3); // nothing fits: the sparsest level stands
    EXPECT_EQ(axis.GetTickStep(), 1.0);
    axis.SetPixels(0.0, 150.0);
    axis.Layout(&image.Context());
    EXPECT_EQ(axis.GetLevel(), 2);
}

TEST_F(AxisTest, DecadeLabelsThinOutWhileAllTicksStay)
{
    plat::Image image(400, 100);
    XChartAttrs attrs;
    attrs.Reset(lineAttrTable());
    attrs.SetBool("logAxisX", true);
    axis.LoadAttributes(attrs);
    axis.Scale().SetFullRange(1.0, 100.0);
    axis.SetPixels(0.0, 300.0);
    axis.Layout(&image.Context());
    // 8 and 9 stand 7 pixels apart: level 2 labels only 1, 2 and 5 of each decade.
    EXPECT_EQ(axis.GetLevel(), 2);
    EXPECT_EQ(axis.GetTicks().Count(), 19);
    std::vector<std::string> shown;
    for (const std::string& label : Labels()) {
        if (!label.empty()) {
            shown.push_back(label);
        }
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"1", "2", "5", "10", "20", "50", "100"}));
    axis.SetPixels(0.0, 60.0);
    axis.Layout(&image.Context());
    EXPECT_EQ(axis.GetLevel(), 3);
    EXPECT_EQ(axis.GetTicks().Count(), 19);
    EXPECT_EQ(Labels()[9], "10");
    EXPECT_EQ(Labels()[10], "");
}

// ---- Dates -------------------------------------------------------------------------------

TEST(XChartDateTest, CalendarArithmetic)
{
    using namespace XChartDate;
    EXPECT_EQ(ToFileTime(Date{1601, 1, 1, 0, 0, 0}), 0.0);
    // 1 January 1970 is 11644473600 seconds after 1601.
    EXPECT_EQ(ToFileTime(Date{1970, 1, 1, 0, 0, 0}), 116444736000000000.0);
    const Date d = FromFileTime(ToFileTime(Date{2024, 2, 29, 13, 45, 10}));
    EXPECT_EQ(d.year, 2024);
    EXPECT_EQ(d.month, 2);
    EXPECT_EQ(d.day, 29);
    EXPECT_EQ(d.hour, 13);
    EXPECT_EQ(d.minute, 45);
    EXPECT_EQ(d.second, 10);
    const double leapDay = ToFileTime(Date{2024, 2, 29, 0, 0, 0});
    EXPECT_EQ(AddMonths(leapDay, 12), ToFileTime(Date{2025, 2, 28, 0, 0, 0}));
    EXPECT_EQ(AddMonths(ToFileTime(Date{2024, 1, 31, 0, 0, 0}), 1), leapDay);
    EXPECT_EQ(MonthStart(leapDay), ToFileTime(Date{2024, 2, 1, 0, 0, 0}));
    EXPECT_EQ(MonthCeil(leapDay), ToFileTime(Date{2024, 3, 1, 0, 0, 0}));
    EXPECT_EQ(MonthCeil(ToFileTime(Date{2024, 3, 1, 0, 0, 0})),
              ToFileTime(Date{2024, 3, 1, 0, 0, 0}));
    EXPECT_STREQ(MonthName(12), "Dez");
    EXPECT_STREQ(MonthName(5), "May");
    EXPECT_STREQ(MonthName(13), "");
    // Anything a file may hold gives some date.
    EXPECT_EQ(FromFileTime(-5.0).year, 1601);
    EXPECT_EQ(FromFileTime(NAN).year, 1601);
    EXPECT_EQ(FromFileTime(1e300).year, 30000);
}

TEST(XChartDateTest, DateSteps)
{
    const double day = XChartDate::kDay;
    double lo = ToFileTime(Date{2024, 3, 25, 0, 0, 0});
    double hi = lo + 20 * day;
    EXPECT_DOUBLE_EQ(XChartAxis::DateStepFor(lo, hi, 1), 0.02); // two days
    EXPECT_EQ(lo, ToFileTime(Date{2024, 3, 1, 0, 0, 0}));
    EXPECT_EQ(hi, ToFileTime(Date{2024, 5, 1, 0, 0, 0}));

    lo = ToFileTime(Date{2023, 1, 10, 0, 0, 0});
    hi = ToFileTime(Date{2023, 6, 10, 0, 0, 0});
    EXPECT_EQ(XChartAxis::DateStepFor(lo, hi, 2), 2.0); // months

    lo = ToFileTime(Date{2020, 2, 10, 0, 0, 0});
    hi = ToFileTime(Date{2021, 6, 10, 0, 0, 0});
    EXPECT_EQ(XChartAxis::DateStepFor(lo, hi, 1), 3.0);
    EXPECT_EQ(lo, ToFileTime(Date{2020, 1, 1, 0, 0, 0})); // back to a quarter

    lo = ToFileTime(Date{2020, 2, 10, 0, 0, 0});
    hi = ToFileTime(Date{2023, 6, 10, 0, 0, 0});
    EXPECT_EQ(XChartAxis::DateStepFor(lo, hi, 1), 6.0);
    hi = ToFileTime(Date{2030, 6, 10, 0, 0, 0});
    lo = ToFileTime(Date{2020, 2, 10, 0, 0, 0});
    EXPECT_EQ(XChartAxis::DateStepFor(lo, hi, 2), 24.0);
}

TEST_F(AxisTest, DayTicksAndLabels)
{
    axis.SetDate(true);
    const double lo = ToFileTime(Date{2024, 3, 25, 0, 0, 0});
    Lay(lo, lo + 20 * XChartDate::kDay);
    const std::vector<std::string> labels = Labels();
    ASSERT_GE(labels.size(), 6u);
    EXPECT_EQ(labels[0], "25.Mar.24"); // the first label carries the whole date
    EXPECT_EQ(labels[1], "27");
    EXPECT_EQ(labels[3], "31");
    EXPECT_EQ(labels[4], "2.Apr");
    EXPECT_EQ(labels[5], "4");
    EXPECT_EQ(Ticks()[0], lo);
}

TEST_F(AxisTest, MonthTicksAndLabels)
{
    axis.SetDate(true);
    Lay(ToFileTime(Date{2023, 11, 1, 0, 0, 0}), ToFileTime(Date{2024, 2, 1, 0, 0, 0}));
    EXPECT_EQ(Labels(), (std::vector<std::string>{"Nov.23", "Dez", "24", "Feb"}));
    EXPECT_EQ(axis.GetTicks()[0].rank, 1);
    EXPECT_EQ(axis.GetTicks()[2].rank, 3); // the start of a year
    EXPECT_EQ(axis.TickRank(ToFileTime(Date{2024, 4, 1, 0, 0, 0})), 2);
    EXPECT_EQ(axis.TickRank(ToFileTime(Date{2024, 4, 2, 0, 0, 0})), 1);
    EXPECT_EQ(std::string(axis.LabelText(ToFileTime(Date{1999, 5, 1, 0, 0, 0}), NAN).Text()),
              "May.99");
}
