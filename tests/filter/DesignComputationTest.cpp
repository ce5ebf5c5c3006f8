#include "app/filter/DesignComputation.h"

#include "TestDesigns.h"

#include <gtest/gtest.h>

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

} // namespace
