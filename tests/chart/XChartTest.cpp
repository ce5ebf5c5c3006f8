// SPDX-License-Identifier: GPL-2.0-or-later
#include "chart/XChart.h"

#include "ChartTestUtil.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::vector<int32_t> Members(const XChart& chart, XChartGroup kind, int32_t group)
{
    const XIntArray& g = chart.Groups(kind)[group];
    return std::vector<int32_t>(g.begin(), g.end());
}

class ChartWithLines : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char* name : {"a", "b", "c", "d"}) {
            chart.GetOrAddLine(name);
        }
    }
    XChart chart;
};

class CountingObserver : public XObserver
{
public:
    void Notified(const XEvtObserver& evt, XObserver*) override
    {
        if (evt.Is(XEvtObserver::kChanged)) {
            ++changes;
        }
    }
    int changes = 0;
};

class RecordingHost : public XChartCB
{
public:
    void ChartChanged(XChart&) override { ++changes; }
    int changes = 0;
};

} // namespace

TEST_F(ChartWithLines, LinkingAppendsToTheGroupThatHoldsTheFirstLine)
{
    EXPECT_TRUE(chart.Link(0, 1, XChartGroup::X));
    EXPECT_TRUE(chart.Link(1, 2, XChartGroup::X));
    ASSERT_EQ(chart.Groups(XChartGroup::X).Count(), 1);
    EXPECT_EQ(Members(chart, XChartGroup::X, 0), (std::vector<int32_t>{0, 1, 2}));
    EXPECT_EQ(chart.Groups(XChartGroup::Y).Count(), 0);
    // The same pair again changes nothing.
    chart.Link(0, 1, XChartGroup::X);
    EXPECT_EQ(Members(chart, XChartGroup::X, 0), (std::vector<int32_t>{0, 1, 2}));
}

TEST_F(ChartWithLines, GroupsAreNotMerged)
{
    chart.Link(0, 1, XChartGroup::X);
    chart.Link(2, 3, XChartGroup::X);
    ASSERT_EQ(chart.Groups(XChartGroup::X).Count(), 2);
    chart.Link(1, 3, XChartGroup::X);
    ASSERT_EQ(chart.Groups(XChartGroup::X).Count(), 2);
    EXPECT_EQ(Members(chart, XChartGroup::X, 0), (std::vector<int32_t>{0, 1, 3}));
    EXPECT_EQ(Members(chart, XChartGroup::X, 1), (std::vector<int32_t>{2, 3}));
}

TEST_F(ChartWithLines, BothLinksIntoXAndYAndBadIndicesAreRefused)
{
    EXPECT_TRUE(chart.Link(3, 0, XChartGroup::Both));
    EXPECT_EQ(Members(chart, XChartGroup::X, 0), (std::vector<int32_t>{3, 0}));
    EXPECT_EQ(Members(chart, XChartGroup::Y, 0), (std::vector<int32_t>{3, 0}));
    EXPECT_FALSE(chart.Link(0, 4, XChartGroup::X));
    EXPECT_FALSE(chart.Link(-1, 0, XChartGroup::Y));
    EXPECT_EQ(chart.Groups(XChartGroup::X).Count(), 1);
}

TEST_F(ChartWithLines, RemovingAllLinesEmptiesNamesAndGroups)
{
    chart.Link(0, 1, XChartGroup::Both);
    chart.RemoveAllLines();
    EXPECT_EQ(chart.LineCount(), 0);
    EXPECT_EQ(chart.FindLine("a"), -1);
    EXPECT_EQ(chart.Groups(XChartGroup::X).Count(), 0);
    EXPECT_EQ(chart.Groups(XChartGroup::Y).Count(), 0);
    // Numbering (and the palette) starts again.
    EXPECT_EQ(chart.GetOrAddLine("z"), 0);
    EXPECT_EQ(std::string(chart.Line(0)->GetStr("color").Text()), "lightgreen");
}

TEST_F(ChartWithLines, ClearAndResetRestoreAttributes)
{
    chart.Attrs().SetStr("title", "T");
    chart.SetFileName("x.xch");
    chart.Reset();
    EXPECT_EQ(chart.LineCount(), 4);
    EXPECT_EQ(std::string(chart.Attrs().GetStr("title").Text()), "No Title");
    EXPECT_TRUE(chart.GetFileName().IsEmpty());
    EXPECT_EQ(std::string(chart.GetFilePattern().Text()), "*.xch");
    chart.Attrs().SetStr("title", "T");
    chart.Clear();
    EXPECT_EQ(chart.LineCount(), 0);
    EXPECT_EQ(std::string(chart.Attrs().GetStr("title").Text()), "No Title");
}

TEST_F(ChartWithLines, AChangedLineNotifiesObserversAndHost)
{
    CountingObserver observer;
    observer.Observe(&chart);
    RecordingHost host;
    chart.SetHost(&host);
    chart.Line(2)->SetChanged();
    EXPECT_TRUE(chart.Line(2)->IsChanged());
    EXPECT_EQ(observer.changes, 1);
    EXPECT_EQ(host.changes, 1);
    // A zoom on an axis reports through the line as well.
    chart.Line(1)->AxisX().Scale().SetView(0.2, 0.4);
    chart.Line(1)->AxisX().ReportChange();
    EXPECT_EQ(observer.changes, 2);
    EXPECT_EQ(host.changes, 2);
    chart.SetHost(nullptr);
    EXPECT_EQ(chart.GetHost(), &XChartCB::Default());
}

TEST_F(ChartWithLines, ColumnsCanReferToTheCallersArrays)
{
    XChartLine& line = *chart.Line(0);
    XRealArray xs;
    XRealArray ys;
    EXPECT_TRUE(line.BindColumn(XChartColumn::X, &xs));
    EXPECT_TRUE(line.BindColumn(XChartColumn::Y, &ys));
    EXPECT_FALSE(line.BindColumn(XChartColumn::Counts, &xs));
    EXPECT_TRUE(line.IsBound(XChartColumn::X));
    xs.Append(1.0);
    xs.Append(2.0);
    ys.Append(5.0);
    // Rows are the shortest of the columns the type uses.
    EXPECT_EQ(line.PointCount(), 1);
    ys.Append(6.0);
    EXPECT_EQ(line.PointCount(), 2);
    EXPECT_EQ(&line.X(), &xs);
    line.BindColumn(XChartColumn::X, nullptr);
    EXPECT_FALSE(line.IsBound(XChartColumn::X));
    EXPECT_EQ(line.PointCount(), 0);
}

TEST_F(ChartWithLines, BoundsOfEachLineType)
{
    XChartLine& line = *chart.Line(0);
    charttest::Fill(line.X(), {1, 4, 2});
    charttest::Fill(line.Y(), {-3, 5, 0.5});
    line.Prepare();
    EXPECT_EQ(line.Bounds().xLo, 1);
    EXPECT_EQ(line.Bounds().xHi, 4);
    EXPECT_EQ(line.Bounds().yLo, -3);
    EXPECT_EQ(line.Bounds().yHi, 5);

    // Bars widen X by half the smallest spacing and always hold 0.
    line.SetLineType(XChartLineType::Bar);
    charttest::Fill(line.Y(), {3, 5, 4});
    line.Prepare();
    // The neighbours 1, 4, 2 are 3 and 2 apart: the spacing is 2.
    EXPECT_EQ(line.Bounds().xLo, 0);
    EXPECT_EQ(line.Bounds().xHi, 5);
    EXPECT_EQ(line.Bounds().yLo, 0);
    EXPECT_EQ(line.Bounds().yHi, 5);

    line.SetLineType(XChartLineType::Object);
    charttest::Fill(line.OwnColumn(XChartColumn::X2), {2, 2, 2});
    charttest::Fill(line.OwnColumn(XChartColumn::Y2), {1, 1, 4});
    line.Prepare();
    EXPECT_EQ(line.Bounds().xLo, 0);
    EXPECT_EQ(line.Bounds().xHi, 5);
    EXPECT_EQ(line.Bounds().yLo, 2); // 4 - 4 / 2
    EXPECT_EQ(line.Bounds().yHi, 6);

    line.SetLineType(XChartLineType::HigLowClose);
    charttest::Fill(line.OwnColumn(XChartColumn::High), {10, 11, 12});
    charttest::Fill(line.OwnColumn(XChartColumn::Low), {7, 6, 8});
    charttest::Fill(line.OwnColumn(XChartColumn::Open), {8, 8, 8});
    charttest::Fill(line.OwnColumn(XChartColumn::Close), {9, 9, 9});
    line.Prepare();
    EXPECT_EQ(line.Bounds().yLo, 6);
    EXPECT_EQ(line.Bounds().yHi, 12);
    EXPECT_EQ(line.Bounds().xLo, 1);

    // Non-finite values are left out of the bounds.
    line.SetLineType(XChartLineType::Line);
    charttest::Fill(line.X(), {1, std::nan(""), 3});
    charttest::Fill(line.Y(), {1, 100, 2});
    line.Prepare();
    EXPECT_EQ(line.Bounds().yHi, 2);
}

TEST_F(ChartWithLines, NoXDataNumbersThePointsFromOne)
{
    XChartLine& line = *chart.Line(0);
    XRealArray external;
    external.Append(9.0);
    line.BindColumn(XChartColumn::X, &external);
    line.Y().Append(4.0);
    line.Y().Append(5.0);
    line.SetBool("noXData", true);
    line.Prepare();
    EXPECT_FALSE(line.IsBound(XChartColumn::X));
    ASSERT_EQ(line.X().Count(), 2);
    EXPECT_EQ(line.X()[0], 1.0);
    EXPECT_EQ(line.X()[1], 2.0);
    EXPECT_EQ(external[0], 9.0);
}

TEST_F(ChartWithLines, HistogramBins)
{
    XChartLine& line = *chart.Line(0);
    line.SetLineType(XChartLineType::Histogram);
    charttest::Fill(line.Y(), {0.0, 1.0, 1.0, 2.5, 4.0});
    line.SetInt("bins", 5);
    line.Prepare();
    const XRealArray& counts = line.Column(XChartColumn::Counts);
    ASSERT_EQ(counts.Count(), 5);
    EXPECT_EQ(counts[0], 1); // 0
    EXPECT_EQ(counts[1], 2); // 1, 1
    EXPECT_EQ(counts[2], 1); // 2.5
    EXPECT_EQ(counts[4], 1); // the maximum lands in the last bin
    EXPECT_EQ(line.X()[3], 3.0);
    // Fewer than two bins count as two; equal values use the width 1.
    charttest::Fill(line.Y(), {7.0, 7.0, 7.0});
    line.SetInt("bins", 1);
    line.Prepare();
    ASSERT_EQ(counts.Count(), 2);
    EXPECT_EQ(counts[0], 3);
    EXPECT_EQ(counts[1], 0);
    EXPECT_EQ(line.X()[0], 7.0);
    EXPECT_EQ(line.X()[1], 8.0);
    // An absurd bin count from a file is cut rather than exhausting memory.
    line.SetInt("bins", 2000000000);
    line.Prepare();
    EXPECT_EQ(counts.Count(), XChartLine::kMaxBins);
}

TEST_F(ChartWithLines, ContextMenuMarkup)
{
    ZString markup;
    EXPECT_TRUE(chart.GetHost()->FillMenu(chart, markup));
    EXPECT_EQ(std::string(markup.Text()),
              "<sep/><m s='Copy Img' c=DoCopyIMG /><m s='Copy XML' c=DoCopyXML />"
              "<m s='Save XML' c=DoSaveXML /><sep/><sep/><m s='Tools' c=noCmd>"
              "<m s='Cursor Values' c=DoCursorValues /></m>");
    chart.Attrs().SetBool("cursorValues", true);
    markup.Clear();
    chart.AddCursorValuesEntry(markup);
    EXPECT_NE(std::string(markup.Text()).find("c=DoCursorValues o=C />"), std::string::npos);
}
