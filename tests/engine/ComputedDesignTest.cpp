// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/engine/ComputedDesign.h"

#include "TestDesigns.h"
#include "app/engine/FilterNetwork.h"
#include "app/engine/FilterSynthesis.h"

#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>

namespace {

std::shared_ptr<const ComputedDesign> Compute(const std::string& parms, LengthUnit unit,
                                              std::string& status)
{
    status = "unchanged";
    return ComputedDesign::Compute(parms, unit, status);
}

TEST(ComputedDesignTest, ValidTextFillsEveryOutputWithOneSynthesis)
{
    std::string status;
    const long before = SynthesisCount();
    const auto design = Compute(BuildParms(DesignInputs{}), LengthUnit::Millimetre, status);
    ASSERT_TRUE(design);
    EXPECT_EQ(SynthesisCount(), before + 1);
    EXPECT_EQ(status, "");
    EXPECT_EQ(design->Parms(), BuildParms(DesignInputs{}));
    EXPECT_EQ(CrLfToLf(design->Report()), ReadTestData("default_report_mm.txt"));
    ASSERT_EQ(design->ResponseX().size(), 200u);
    ASSERT_EQ(design->ResponseY().size(), 200u);
    EXPECT_NEAR(design->ResponseX().front(), 1060.0, 1e-9);
    EXPECT_NEAR(design->ResponseY().front(), -77.7, 0.05);
    // The geometry and the network come from the same synthesis.
    EXPECT_EQ(design->Geometry().rods.size(), 5u);
    EXPECT_FALSE(design->BuildProblem());
    NetworkModel model;
    EXPECT_TRUE(design->Network(std::nullopt, model));
    EXPECT_DOUBLE_EQ(model.qu, design->Design().qUnloaded);
    EXPECT_EQ(SynthesisCount(), before + 1);
}

TEST(ComputedDesignTest, InvalidTextGivesNoDesignButTheInputToBlame)
{
    std::string status;
    DesignInputs bad;
    bad.ele = 13;
    EXPECT_FALSE(Compute(BuildParms(bad), LengthUnit::Inch, status));
    EXPECT_EQ(status, "Error: Elements");
    EXPECT_FALSE(Compute("ele=5&rip=&fzmc=1200", LengthUnit::Inch, status));
    EXPECT_EQ(status, "Error: Ripple");
    EXPECT_FALSE(Compute("", LengthUnit::Inch, status));
    EXPECT_EQ(status, "Error: Elements");
    // A design the report accepts but that cannot be built says which input to change.
    DesignInputs wide;
    wide.bwmc = 3000;
    const auto unbuildable = Compute(BuildParms(wide), LengthUnit::Inch, status);
    ASSERT_TRUE(unbuildable);
    EXPECT_EQ(unbuildable->BuildProblem().value_or(""), "Error: Bandwidth");
    NetworkModel model;
    EXPECT_FALSE(unbuildable->Network(std::nullopt, model));
}

TEST(ComputedDesignTest, UnitChangesOnlyTheReport)
{
    std::string status;
    const auto mm = Compute(BuildParms(DesignInputs{}), LengthUnit::Millimetre, status);
    const auto inch = Compute(BuildParms(DesignInputs{}), LengthUnit::Inch, status);
    ASSERT_TRUE(mm && inch);
    EXPECT_NE(mm->Report(), inch->Report());
    EXPECT_EQ(mm->ResponseX(), inch->ResponseX());
    EXPECT_EQ(mm->ResponseY(), inch->ResponseY());
}

TEST(ComputedDesignTest, DesignsAtTheInputLimitsShowOnlyNumbers)
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
                                std::string status;
                                const auto out =
                                    ComputedDesign::Compute(parms, LengthUnit::Millimetre, status);
                                ASSERT_TRUE(out) << parms << ": " << status;
                                ++designs;
                                EXPECT_EQ(out->Report().find("inf"), std::string::npos) << parms;
                                for (const std::string& line :
                                     SplitLines(CrLfToLf(out->Report()))) {
                                    if (line.find("nan") != std::string::npos) {
                                        EXPECT_TRUE(line.find("Feed Tap") != std::string::npos ||
                                                    line.find("end Rods") != std::string::npos)
                                            << parms << "\n"
                                            << line;
                                    }
                                }
                                for (std::size_t k = 0; k < out->ResponseY().size(); ++k) {
                                    ASSERT_TRUE(std::isfinite(out->ResponseX()[k]) &&
                                                std::isfinite(out->ResponseY()[k]))
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
