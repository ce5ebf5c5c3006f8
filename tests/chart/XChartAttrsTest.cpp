// SPDX-License-Identifier: GPL-2.0-or-later
#include "chart/XChartAttrs.h"

#include "ChartTestUtil.h"
#include "chart/XChart.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using charttest::S;

std::string Value(const XChartAttrs& attrs, const char* name)
{
    const ZString* v = attrs.Value(name);
    return v ? S(*v) : "<absent>";
}

std::string Type(const XChartAttrs& attrs, const char* name)
{
    const ZString* v = attrs.Type(name);
    return v ? S(*v) : "<absent>";
}

} // namespace

TEST(XChartAttrsTest, NewChartHasTheTableDefaults)
{
    XChart chart;
    const XChartAttrs& a = chart.Attrs();
    EXPECT_EQ(Value(a, "title"), "No Title");
    EXPECT_EQ(Value(a, "bgColor"), "black");
    EXPECT_EQ(Value(a, "chartInset"), "15 15 15 15");
    EXPECT_EQ(Value(a, "titleFontSize"), "-1");
    EXPECT_EQ(Value(a, "titlePlace"), "1");
    EXPECT_EQ(Type(a, "chartInset"), "NXRect");
    EXPECT_EQ(Type(a, "cursorValuesPos"), "NXPoint");
    EXPECT_EQ(a.Count(), chartAttrTable().Count());
    EXPECT_EQ(a.GetInt("titleFontSize"), -1);
    NXRect inset;
    ASSERT_TRUE(a.GetRect("chartInset", inset));
    EXPECT_EQ(inset, (NXRect{15, 15, 15, 15}));
    EXPECT_FALSE(a.IsModified());
}

TEST(XChartAttrsTest, LineTableDefaultsAndDerivedBarColours)
{
    const XChartAttrTable& t = lineAttrTable();
    auto def = [&t](const char* name) { return S(t.Find(name)->value); };
    const char* const defaults[][2] = {
        {"lineType", "line"},
        {"axis", "xy"},
        {"grid", "0"},
        {"fixedScaleX", ""},
        {"axisLenPrecentY", "100.0"},
        {"barWidthPercent", "100"},
        {"gridColor", "darkgreen"},
        {"lineLowColor", "red"},
        {"axisUnitPlaceX", "1"},
        {"axisUnitPlaceY", "2"},
    };
    for (const auto& d : defaults) {
        EXPECT_EQ(def(d[0]), d[1]) << d[0];
    }
    // The four bar colours are copies of the colour default.
    for (const char* name : {"colorPos", "colorPosBase", "colorNeg", "colorNegBase"}) {
        EXPECT_EQ(def(name), "green") << name;
        EXPECT_EQ(S(ZString(t.Find(name)->type)), "XColor") << name;
    }
    EXPECT_EQ(t.Find("niceAxisStartX"), nullptr);
    EXPECT_EQ(t.Find("nosuch"), nullptr);
}

TEST(XChartAttrsTest, SettingIsRestrictedToKnownNames)
{
    XChart chart;
    XChartLine& line = *chart.Line(chart.GetOrAddLine("L"));
    const int32_t before = line.Attrs().Count();
    EXPECT_FALSE(line.SetStr("colour", "red"));
    EXPECT_FALSE(line.SetInt("title", 3)); // a chart attribute, not a line attribute
    EXPECT_EQ(line.Attrs().Count(), before);
    EXPECT_EQ(Value(line.Attrs(), "colour"), "<absent>");

    EXPECT_TRUE(line.SetColor("color", XColor::FromRGB(255, 0, 0)));
    EXPECT_EQ(Value(line.Attrs(), "color"), "red");
    EXPECT_TRUE(line.SetStr("color", "red"));
    EXPECT_EQ(Value(line.Attrs(), "color"), "red");

    EXPECT_FALSE(chart.Attrs().SetStr("color", "red"));
    EXPECT_TRUE(chart.Attrs().SetStr("title", "T"));
    EXPECT_TRUE(chart.Attrs().IsModified());
}

TEST(XChartAttrsTest, TypedSettersWriteTextAndRecordTheirType)
{
    XChart chart;
    XChartAttrs& a = chart.Attrs();
    EXPECT_TRUE(a.SetBool("cursorValues", true));
    EXPECT_EQ(Value(a, "cursorValues"), "1");
    EXPECT_TRUE(a.SetInt("titlePlace", -7));
    EXPECT_EQ(Value(a, "titlePlace"), "-7");
    EXPECT_TRUE(a.SetPoint("cursorValuesPos", NXPoint{-100, 0.5}));
    EXPECT_EQ(Value(a, "cursorValuesPos"), "-100 0.5");
    EXPECT_TRUE(a.SetRect("chartInset", NXRect{1, 2, 3, 4}));
    EXPECT_EQ(Value(a, "chartInset"), "1 2 3 4");
    EXPECT_TRUE(a.SetColor("bgColor", XColor::FromRGB(1, 2, 3)));
    EXPECT_EQ(Value(a, "bgColor"), "#010203");
    // The setter's type replaces the stored one.
    EXPECT_TRUE(a.SetInt("title", 42));
    EXPECT_EQ(Type(a, "title"), "int");
    EXPECT_EQ(S(a.GetStr("title")), "42");

    XChartLine& line = *chart.Line(chart.GetOrAddLine("L"));
    EXPECT_TRUE(line.SetDouble("barWidthPercent", 0.1));
    EXPECT_EQ(Value(line.Attrs(), "barWidthPercent"), "0.1");
    EXPECT_DOUBLE_EQ(line.GetDouble("barWidthPercent"), 0.1);
}

TEST(XChartAttrsTest, TypedGettersFallBackOnUnreadableText)
{
    XChart chart;
    XChartLine& line = *chart.Line(chart.GetOrAddLine("L"));
    line.SetStr("width", "wide");
    EXPECT_EQ(line.GetInt("width", 2), 2);
    line.SetStr("width", "3.9");
    EXPECT_EQ(line.GetInt("width", 2), 3);
    line.SetStr("width", "1e30");
    EXPECT_EQ(line.GetInt("width", 2), INT32_MAX);
    line.SetStr("showLine", "0");
    EXPECT_FALSE(line.GetBool("showLine", true));
    line.SetStr("showLine", "yes");
    EXPECT_TRUE(line.GetBool("showLine", true));
    line.SetStr("color", "not a colour");
    EXPECT_EQ(line.GetColor("color", XColor::FromRGB(9, 9, 9)), XColor::FromRGB(9, 9, 9));
    NXPoint p{7, 7};
    EXPECT_FALSE(line.GetPoint("fixedScaleX", p)); // empty: automatic
    EXPECT_EQ(p, (NXPoint{7, 7}));
}

TEST(XChartAttrsTest, LineTypeTextAndNumberStayInStep)
{
    XChart chart;
    XChartLine& line = *chart.Line(chart.GetOrAddLine("L"));
    EXPECT_EQ(line.GetLineType(), XChartLineType::Line);
    EXPECT_TRUE(line.SetStr("lineType", "bar"));
    EXPECT_EQ(line.GetLineType(), XChartLineType::Bar);
    EXPECT_FALSE(line.SetStr("lineType", "pie"));
    EXPECT_EQ(line.GetLineType(), XChartLineType::Bar);
    EXPECT_EQ(S(line.GetStr("lineType")), "bar");
    line.SetLineType(XChartLineType::TimeLine);
    EXPECT_EQ(S(line.GetStr("lineType")), "timeLine");
    line.ResetAttributes();
    EXPECT_EQ(line.GetLineType(), XChartLineType::Line);
    EXPECT_EQ(Value(line.Attrs(), "color"), "green");
}

TEST(XChartAttrsTest, PaletteGivesColoursInTurn)
{
    XChart chart;
    const char* expected[] = {"lightgreen", "red",  "blue",      "yellow",
                              "magenta",    "pink", "lightgreen"};
    for (int i = 0; i < 7; ++i) {
        ZString name;
        name.Format("L%d", i);
        const int32_t index = chart.GetOrAddLine(name);
        EXPECT_EQ(index, i);
        EXPECT_EQ(Value(chart.Line(index)->Attrs(), "color"), expected[i]) << i;
    }
    EXPECT_EQ(chart.GetOrAddLine("L3"), 3); // an existing name gives its line
    EXPECT_EQ(chart.LineCount(), 7);
    EXPECT_EQ(DefaultLinePalette(13), XColor::FromRGB(255, 0, 0));
}

TEST(XChartAttrsTest, LineDefaultsAreCopiedIntoNewLines)
{
    XChart chart;
    XChartAttrs& defaults = chart.LineDefaults();
    EXPECT_FALSE(defaults.SetStr("title", "x")); // not a line attribute
    EXPECT_TRUE(defaults.SetInt("width", 5));
    EXPECT_EQ(Type(defaults, "width"), "int");
    EXPECT_TRUE(defaults.SetStr("lineType", "point"));

    XChartLine& a = *chart.Line(chart.GetOrAddLine("a"));
    EXPECT_EQ(a.GetInt("width"), 5);
    EXPECT_EQ(a.GetLineType(), XChartLineType::Point);
    EXPECT_EQ(Value(a.Attrs(), "color"), "lightgreen"); // no colour among the defaults

    defaults.SetColor("color", XColor::FromRGB(0, 0, 255));
    XChartLine& b = *chart.Line(chart.GetOrAddLine("b"));
    EXPECT_EQ(Value(b.Attrs(), "color"), "blue");

    chart.ResetAttributes();
    EXPECT_EQ(chart.LineDefaults().Count(), 0);
    EXPECT_EQ(Value(chart.Attrs(), "title"), "No Title");
}

TEST(XChartAttrsTest, SortedNamesUseByteOrderWithPrefixesFirst)
{
    XChartAttrTable table;
    table.Add("ab", "ZStr", "");
    table.Add("B", "ZStr", "");
    table.Add("a", "ZStr", "");
    table.Add("abc", "ZStr", "");
    XChartAttrs attrs;
    attrs.Reset(table);
    XArray<ZStr> names;
    attrs.SortedNames(names);
    ASSERT_EQ(names.Count(), 4);
    EXPECT_EQ(std::string(names[0].ptr, size_t(names[0].len)), "B");
    EXPECT_EQ(std::string(names[1].ptr, size_t(names[1].len)), "a");
    EXPECT_EQ(std::string(names[2].ptr, size_t(names[2].len)), "ab");
    EXPECT_EQ(std::string(names[3].ptr, size_t(names[3].len)), "abc");
}
