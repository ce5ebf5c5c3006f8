// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/engine/DesignReport.h"

#include "TestDesigns.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>

namespace {

std::string Report(const DesignInputs& in, LengthUnit unit)
{
    return WriteDesignReport(*SynthesizedDesign(in), unit);
}

void ExpectSameLines(const std::string& actual, const std::string& expected)
{
    const std::vector<std::string> a = SplitLines(actual);
    const std::vector<std::string> e = SplitLines(expected);
    ASSERT_EQ(a.size(), e.size());
    for (std::size_t i = 0; i < e.size(); ++i) {
        EXPECT_EQ(a[i], e[i]) << "line " << i + 1;
    }
}

// Lines 1 to 33 of the default design's report in millimetres, as the calculator has always
// printed them; line 7 is this program's own layout of the fractional bandwidth.
const char* const kDefaultReportStart[] = {
    "                   Elements = 5",
    "            Bandpass ripple = 1.0 dB",
    "           Center Frequency = 1200.0 MHz",
    "           Cutoff Frequency = 1165.0 / 1235.0 MHz",
    "                  Ripple BW = 70.0 MHz",
    "                    3 dB BW = 72.4 MHz",
    "              Fractional BW = 0.05833",
    "                   Filter Q = 16.6",
    "           Est. unloaded Qu = 1897.6",
    "      Loss Based on this Qu = 0.4 dB",
    "       Delay at band center = 21.5 ns",
    "            Line impedances = 69.4 / 69.4 / 50.0 Ext-/IntRods/Feed Ohms",
    "Box Dimensions",
    "         Quarter Wavelength = 62.5mm",
    "    Length of interior Rods = 56.4mm",
    "         Length of end Rods = 56.5mm",
    "    Ground plane Spaceing H = 20.0mm",
    "             Rod diameter D = 8.0mm",
    "               End plates E = 25.0mm from center of end rod.",
    "                   Feed Tap = 5.0mm ",
    "Rod #  Wall to Center    C. to C.        G[k]    Q/Coup",
    " Wall           0mm",
    "    1        25.0mm        25.6mm         2.1         0.6",
    "    2        50.6mm        26.7mm         1.1         0.5",
    "    3        77.3mm        26.7mm         3.0         0.5",
    "    4       104.0mm        25.6mm         1.1         0.6",
    "    5       129.7mm         0.0mm         2.1         2.2",
    " Wall       154.7mm",
    "",
    "Box inside dimensions: 62.5 x 154.7 x 20.0 mm(HxWxT)",
    "                                                                   Freq  DB loss",
    "                                                                 * 1060.0   77.7",
};

TEST(DesignReportTest, DefaultReportInMillimetres)
{
    const std::string report = Report(DesignInputs{}, LengthUnit::Millimetre);
    const std::vector<std::string> lines = SplitLines(CrLfToLf(report));
    ASSERT_EQ(lines.size(), 32u + 199u);
    for (std::size_t i = 0; i < std::size(kDefaultReportStart); ++i) {
        EXPECT_EQ(lines[i], kDefaultReportStart[i]) << "line " << i + 1;
    }
    ExpectSameLines(CrLfToLf(report), ReadTestData("default_report_mm.txt"));
}

TEST(DesignReportTest, DefaultReportInInches)
{
    const std::string report = CrLfToLf(Report(DesignInputs{}, LengthUnit::Inch));
    const std::vector<std::string> lines = SplitLines(report);
    ASSERT_GE(lines.size(), 31u);
    EXPECT_EQ(lines[7], "                   Filter Q = 16.582");
    EXPECT_EQ(lines[13], "         Quarter Wavelength = 2.459\"");
    EXPECT_EQ(lines[22], "    1       0.984\"       1.009\"       2.135       0.634");
    EXPECT_EQ(lines[29], "Box inside dimensions: 2.459 x 6.089 x 0.787 \"(HxWxT)");
    // The plot is in MHz and dB with one decimal whatever the unit.
    EXPECT_EQ(lines[31], kDefaultReportStart[31]);
    ExpectSameLines(report, ReadTestData("default_report_inch.txt"));
}

TEST(DesignReportTest, EveryLineEndsWithCrLf)
{
    const std::string report = Report(DesignInputs{}, LengthUnit::Inch);
    ASSERT_GE(report.size(), 2u);
    EXPECT_EQ(report.substr(report.size() - 2), "\r\n");
    for (std::size_t i = 0; i < report.size(); ++i) {
        if (report[i] == '\n') {
            ASSERT_GT(i, 0u);
            EXPECT_EQ(report[i - 1], '\r') << "at " << i;
        }
        if (report[i] == '\r') {
            ASSERT_LT(i + 1, report.size());
            EXPECT_EQ(report[i + 1], '\n') << "at " << i;
        }
    }
}

TEST(DesignReportTest, PlotLinesAreEightyColumnsWithTheStarAtTheLoss)
{
    DesignInputs in;
    in.bwmc = 10.0; // steep skirts: losses from far above 65 dB down to the ripple
    const auto d = SynthesizedDesign(in);
    const std::vector<std::string> lines =
        SplitLines(CrLfToLf(WriteDesignReport(*d, LengthUnit::Millimetre)));
    const std::size_t first = lines.size() - 200;
    EXPECT_EQ(lines[first - 1].size(), 80u);
    bool sawClamped = false;
    for (int k = 0; k < 200; ++k) {
        const std::string& line = lines[first + k];
        ASSERT_EQ(line.size(), 80u) << k;
        const double a = d->attenuation[k];
        const std::size_t star = line.find('*');
        const std::size_t expectedColumn = a > 65.0 ? 65 : static_cast<std::size_t>(a);
        EXPECT_EQ(star, expectedColumn) << k;
        EXPECT_EQ(line.find_first_not_of(' '), star);
        sawClamped = sawClamped || a > 65.0;
        // The frequency ends at column 73, the loss at column 80.
        EXPECT_NE(line[72], ' ');
        EXPECT_EQ(line[73], ' ');
        char freq[32];
        std::snprintf(freq, sizeof freq, "%.1f", d->sweepFreq[k] * 1000);
        EXPECT_EQ(line.substr(73 - std::strlen(freq), std::strlen(freq)), freq) << k;
        char loss[32];
        std::snprintf(loss, sizeof loss, "%7.1f", a);
        EXPECT_EQ(line.substr(73), loss) << k;
    }
    EXPECT_TRUE(sawClamped);
}

TEST(DesignReportTest, PlotColumnClampsAndTruncates)
{
    EXPECT_EQ(PlotColumn(0.0), 0);
    EXPECT_EQ(PlotColumn(0.4), 0);
    EXPECT_EQ(PlotColumn(3.99), 3);
    EXPECT_EQ(PlotColumn(65.0), 65);
    EXPECT_EQ(PlotColumn(65.5), 65);
    EXPECT_EQ(PlotColumn(1e300), 65);
    EXPECT_EQ(PlotColumn(INFINITY), 65);
    EXPECT_EQ(PlotColumn(std::nan("")), 65);
    EXPECT_EQ(PlotColumn(-0.0), 0);
    EXPECT_EQ(PlotColumn(-3.0), 0);
}

TEST(DesignReportTest, TwoResonatorTable)
{
    DesignInputs in;
    in.ele = 2;
    const auto d = SynthesizedDesign(in);
    const std::vector<std::string> lines =
        SplitLines(CrLfToLf(WriteDesignReport(*d, LengthUnit::Inch)));
    ASSERT_EQ(lines[20].substr(0, 5), "Rod #");
    EXPECT_EQ(lines[21].substr(0, 5), " Wall");
    EXPECT_EQ(lines[22].substr(0, 5), "    1");
    EXPECT_EQ(lines[23].substr(0, 5), "    2");
    EXPECT_EQ(lines[24].substr(0, 5), " Wall");
    EXPECT_EQ(lines[25], "");
    // Rod 2: no following gap, and the last column is the normalised external Q.
    char expected[128];
    std::snprintf(expected, sizeof expected, "    2%12.3f\"%12.3f\"%12.3f%12.3f",
                  d->E + d->spacing[0], 0.0, d->g[1], d->normCoupling[1]);
    EXPECT_EQ(lines[23], expected);
    EXPECT_DOUBLE_EQ(d->normCoupling[1], d->bw3dB / d->bwRipple * d->g[0]);
    char wall[64];
    std::snprintf(wall, sizeof wall, " Wall%12.3f\"", d->E + d->spacing[0] + d->E);
    EXPECT_EQ(lines[24], wall);
}

TEST(DesignReportTest, MaximallyFlatShowsNoRippleBandwidth)
{
    DesignInputs in;
    in.rip = 0.0;
    const std::vector<std::string> lines = SplitLines(CrLfToLf(Report(in, LengthUnit::Millimetre)));
    EXPECT_EQ(lines[1], "            Bandpass ripple = 0.0 dB");
    EXPECT_EQ(lines[4], "                  Ripple BW = 0.0 MHz");
    EXPECT_EQ(lines[5], "                    3 dB BW = 70.0 MHz");
    // A ripple typed as "-0" is the same response and reads the same.
    in.rip = -0.0;
    EXPECT_EQ(SplitLines(CrLfToLf(Report(in, LengthUnit::Millimetre)))[1],
              "            Bandpass ripple = 0.0 dB");
}

TEST(DesignReportTest, UndefinedValuesLeaveTheReportComplete)
{
    DesignInputs in;
    in.R = 5000.0; // cannot be tapped
    const std::string report = CrLfToLf(Report(in, LengthUnit::Millimetre));
    const std::vector<std::string> lines = SplitLines(report);
    ASSERT_EQ(lines.size(), 231u);
    EXPECT_NE(lines[15].find("nan"), std::string::npos) << lines[15];
    EXPECT_NE(lines[19].find("nan"), std::string::npos) << lines[19];
    EXPECT_EQ(lines[14], "    Length of interior Rods = 56.4mm");
    // Everything else, including the table and the plot, is a number.
    for (std::size_t i = 20; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].find("nan"), std::string::npos) << lines[i];
    }
}

TEST(DesignReportTest, HighRippleReportHasNoUndefinedValues)
{
    DesignInputs in;
    in.rip = 3.5;
    const std::string report = Report(in, LengthUnit::Millimetre);
    EXPECT_EQ(report.find("nan"), std::string::npos);
    EXPECT_EQ(report.find("inf"), std::string::npos);
    in.E = 3000.0;
    EXPECT_EQ(Report(in, LengthUnit::Inch).find("nan"), std::string::npos);
}

TEST(DesignReportTest, CrLfToLf)
{
    EXPECT_EQ(CrLfToLf("a\r\nb\r\n"), "a\nb\n");
    EXPECT_EQ(CrLfToLf("a\rb\n\r"), "a\rb\n\r");
    EXPECT_EQ(CrLfToLf(""), "");
}

} // namespace
