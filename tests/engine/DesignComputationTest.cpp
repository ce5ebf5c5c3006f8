#include "app/engine/DesignComputation.h"

#include "TestDesigns.h"

#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>

namespace {

TEST(DesignComputationTest, ValidTextFillsEveryOutput)
{
    DesignOutputs out;
    out.status = "Error: Elements";
    ASSERT_TRUE(RecomputeDesign(BuildParms(DesignInputs{}), LengthUnit::Millimetre, out));
    EXPECT_EQ(out.status, "");
    EXPECT_EQ(CrLfToLf(out.report), ReadTestData("default_report_mm.txt"));
    ASSERT_EQ(out.responseX.size(), 200u);
    ASSERT_EQ(out.responseY.size(), 200u);
    EXPECT_NEAR(out.responseX.front(), 1060.0, 1e-9);
    EXPECT_NEAR(out.responseY.front(), -77.7, 0.05);
}

TEST(DesignComputationTest, InvalidTextKeepsTheLastResults)
{
    DesignOutputs out;
    ASSERT_TRUE(RecomputeDesign(BuildParms(DesignInputs{}), LengthUnit::Inch, out));
    const std::string report = out.report;
    const std::vector<double> x = out.responseX;

    DesignInputs bad;
    bad.ele = 13;
    EXPECT_FALSE(RecomputeDesign(BuildParms(bad), LengthUnit::Inch, out));
    EXPECT_EQ(out.status, "Error: Elements");
    EXPECT_EQ(out.report, report);
    EXPECT_EQ(out.responseX, x);

    EXPECT_FALSE(RecomputeDesign("ele=5&rip=&fzmc=1200", LengthUnit::Inch, out));
    EXPECT_EQ(out.status, "Error: Ripple");
    EXPECT_FALSE(RecomputeDesign("", LengthUnit::Inch, out));
    EXPECT_EQ(out.status, "Error: Elements");
    EXPECT_EQ(out.report, report);
}

TEST(DesignComputationTest, UnitChangesOnlyTheReport)
{
    DesignOutputs mm;
    DesignOutputs inch;
    ASSERT_TRUE(RecomputeDesign(BuildParms(DesignInputs{}), LengthUnit::Millimetre, mm));
    ASSERT_TRUE(RecomputeDesign(BuildParms(DesignInputs{}), LengthUnit::Inch, inch));
    EXPECT_NE(mm.report, inch.report);
    EXPECT_EQ(mm.responseX, inch.responseX);
    EXPECT_EQ(mm.responseY, inch.responseY);
}

TEST(DesignComputationTest, DesignsAtTheInputLimitsShowOnlyNumbers)
{
    // Every corner of the accepted inputs (and the sweep a parameter text may ask for) gives a
    // report without "inf" and a response of finite numbers; the only undefined values are
    // those of a tap that does not fit on the rod (its height and the end rod's length).
    const double ripples[] = {0.0, kMinRippleDb, kMaxRippleDb};
    const double frequencies[] = {kMinFrequencyMHz, kMaxFrequencyMHz};
    const double bandwidths[] = {kMinBandwidthMHz, kMaxBandwidthMHz};
    const double impedances[] = {1.0, kMaxImpedanceOhm};
    struct Box
    {
        double H, D, E;
    };
    const Box boxes[] = {{kMaxLengthMm, kMinRodDiameterMm, kMaxLengthMm},
                         {0.002, kMinRodDiameterMm, 0.000501},
                         {kMaxLengthMm, kMaxLengthMm * 0.999, kMaxLengthMm}};
    const char* sweeps[] = {"NFR=200&STP=1", "NFR=2000&STP=100000", "NFR=3&STP=1e-9"};
    int designs = 0;
    for (int ele : {kMinElements, kMaxElements}) {
        for (double rip : ripples) {
            for (double fc : frequencies) {
                for (double bw : bandwidths) {
                    for (double R : impedances) {
                        for (const Box& box : boxes) {
                            for (const char* sweep : sweeps) {
                                char parms[256];
                                std::snprintf(
                                    parms, sizeof parms,
                                    "ele=%d&rip=%g&fzmc=%g&bwmc=%g&R=%g&H=%g&D=%g&E=%g&%s", ele,
                                    rip, fc, bw, R, box.H, box.D, box.E, sweep);
                                DesignOutputs out;
                                ASSERT_TRUE(RecomputeDesign(parms, LengthUnit::Millimetre, out))
                                    << parms << ": " << out.status;
                                ++designs;
                                EXPECT_EQ(out.report.find("inf"), std::string::npos) << parms;
                                for (const std::string& line : SplitLines(CrLfToLf(out.report))) {
                                    if (line.find("nan") != std::string::npos) {
                                        EXPECT_TRUE(line.find("Feed Tap") != std::string::npos ||
                                                    line.find("end Rods") != std::string::npos)
                                            << parms << "\n"
                                            << line;
                                    }
                                }
                                for (std::size_t k = 0; k < out.responseY.size(); ++k) {
                                    ASSERT_TRUE(std::isfinite(out.responseX[k]) &&
                                                std::isfinite(out.responseY[k]))
                                        << parms << " point " << k;
                                }
                            }
                        }
                    }
                }
            }
        }
    }
    EXPECT_EQ(designs, 2 * 3 * 2 * 2 * 2 * 3 * 3);
}

} // namespace
