// SPDX-License-Identifier: GPL-2.0-or-later
#include "ChartTestUtil.h"
#include "chart/XChart.h"
#include "chart/XChartData.h"
#include "chart/XChartExport.h"
#include "xml/TXML.h"

#include <cmath>
#include <gtest/gtest.h>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

using charttest::Fill;
using charttest::S;
using charttest::V;

std::string Clipboard(const XChart& chart)
{
    ZString out;
    chart.WriteXML(out, "XCHART", "aXChart", "XCHART", "", true);
    return S(out);
}

// Parses text and reads its first element into chart; the parser must accept the text.
bool Read(XChart& chart, const std::string& text)
{
    TXML xml;
    EXPECT_TRUE(xml.Parse(ZStr(text.c_str()))) << xml.GetErrorText().Text() << "\n" << text;
    const TXMLNode* e = xml.GetRoot()->FindChildElement();
    EXPECT_NE(e, nullptr);
    return e != nullptr && chart.ReadXML(*e);
}

XChartLine& ReadOneLine(XChart& chart, const std::string& lineElement)
{
    Read(chart, "<XCHART>" + lineElement + "</XCHART>");
    EXPECT_EQ(chart.LineCount(), 1);
    return *chart.Line(0);
}

} // namespace

// ---- Writing -----------------------------------------------------------------------------

TEST(XChartFileTest, ClipboardLayoutByteForByte)
{
    XChart chart;
    chart.Attrs().SetStr("title", "Test");
    XChartLine& line = *chart.Line(chart.GetOrAddLine("L1"));
    Fill(line.X(), {1, 3});
    Fill(line.Y(), {2, 4});
    EXPECT_EQ(Clipboard(chart), "<XCHART name='aXChart' type='XCHART' \r\n"
                                "     title=\"Test\" \r\n"
                                "     >\r\n"
                                "     <CHARTLINE name='L1' lineType=line\r\n"
                                "          color=\"lightgreen\" \r\n"
                                "          >\r\n"
                                "          1 2;\r\n"
                                "          3 4;\r\n"
                                "     </CHARTLINE>\r\n"
                                "</XCHART>");
}

TEST(XChartFileTest, FileTextUsesTwoBlanksAndItsOwnName)
{
    XChart chart;
    const std::string text = S(ChartFileText(chart));
    EXPECT_EQ(text, "  <XCHART name='a xchart' type='XCHART' \r\n"
                    "       >\r\n"
                    "  </XCHART>");
}

TEST(XChartFileTest, AttributeSelection)
{
    XChart chart;
    chart.Attrs().SetStr("bgColor", "black");       // same text, but type ZStr: written
    chart.Attrs().SetStr("titleFontName", "Arial"); // unchanged
    chart.Attrs().SetInt("titlePlace", 5);
    XChartLine& line = *chart.Line(chart.GetOrAddLine("a"));
    line.SetNiceAxisStart(XChartAxis::Orientation::Vertical, true); // not in the table
    const std::string changed = Clipboard(chart);
    EXPECT_NE(changed.find("bgColor=\"black\""), std::string::npos);
    EXPECT_EQ(changed.find("titleFontName"), std::string::npos);
    EXPECT_NE(changed.find("     titlePlace=\"5\" \r\n"), std::string::npos);
    EXPECT_NE(changed.find("          niceAxisStartY=\"1\" \r\n"), std::string::npos);
    EXPECT_LT(changed.find("bgColor"), changed.find("titlePlace"));
    EXPECT_EQ(changed.find("lineType=\""), std::string::npos); // only the bare keyword

    ZString all;
    chart.WriteXML(all, "XCHART", "n", "XCHART", "", false);
    const std::string everything = S(all);
    EXPECT_NE(everything.find("titleFontName=\"Arial\""), std::string::npos);
    EXPECT_NE(everything.find("axisLenPrecentX=\"100.0\""), std::string::npos);
    // Ascending byte order: upper case before lower case, prefixes first.
    EXPECT_LT(everything.find("axisUnitPlaceX"), everything.find("axisUnitX"));
    EXPECT_LT(everything.find(" color="), everything.find("colorNeg="));
}

TEST(XChartFileTest, ValuesAreWrittenWithSixDigits)
{
    XChart chart;
    XChartLine& line = *chart.Line(chart.GetOrAddLine("a"));
    Fill(line.X(), {0.1234567});
    Fill(line.Y(), {1e-20});
    EXPECT_NE(Clipboard(chart).find("          0.123457 1e-20;\r\n"), std::string::npos);
}

TEST(XChartFileTest, GroupsAreWrittenAsNameLists)
{
    XChart chart;
    for (const char* name : {"a", "b", "c", "d"}) {
        chart.GetOrAddLine(name);
    }
    chart.Link(0, 1, XChartGroup::X);
    chart.Link(2, 3, XChartGroup::X);
    chart.Link(3, 1, XChartGroup::Y);
    const std::string text = Clipboard(chart);
    EXPECT_NE(text.find("     groupX=\"a b;c d\"\r\n     groupY=\"d b\"\r\n     >\r\n"),
              std::string::npos)
        << text;
}

// ---- The data text -----------------------------------------------------------------------

TEST(XChartDataTest, RowsColumnsAndPadding)
{
    XChartDataTable t;
    ASSERT_TRUE(t.Parse("1 2;3 4;"));
    XRealArray c;
    ASSERT_TRUE(t.Column(0, true, c));
    EXPECT_EQ(V(c), (std::vector<double>{1, 3}));
    ASSERT_TRUE(t.Column(1, true, c));
    EXPECT_EQ(V(c), (std::vector<double>{2, 4}));
    ASSERT_TRUE(t.Column(0, false, c));
    EXPECT_EQ(V(c), (std::vector<double>{1, 2}));
    ASSERT_TRUE(t.Column(1, false, c));
    EXPECT_EQ(V(c), (std::vector<double>{3, 4}));

    ASSERT_TRUE(t.Parse("1 2;3;"));
    EXPECT_EQ(t.ColumnCount(true), 2);
    ASSERT_TRUE(t.Column(1, true, c));
    EXPECT_EQ(V(c), (std::vector<double>{2, 0}));

    // White space of any kind separates numbers; the separator may be another character.
    ASSERT_TRUE(t.Parse("  1\t2\r\n|  -3e2 .5 |", '|'));
    EXPECT_EQ(t.RowCount(), 2);
    EXPECT_EQ(t.At(1, 0), -300);
    EXPECT_EQ(t.At(1, 1), 0.5);
    EXPECT_EQ(t.At(0, 2), 0);

    ASSERT_TRUE(t.Parse("  "));
    EXPECT_TRUE(t.IsEmpty());
    ASSERT_TRUE(t.Parse("1;;2;"));
    EXPECT_EQ(t.RowCount(), 2); // an empty row is no row
}

TEST(XChartDataTest, FailureInsideARow)
{
    XChartDataTable t;
    EXPECT_FALSE(t.Parse("1 2;3 4")); // the last row has no end
    EXPECT_TRUE(t.IsEmpty());
    EXPECT_FALSE(t.Parse("1 2;3 x;")); // not a number
    EXPECT_FALSE(t.Parse("1.5x 2;"));  // a number runs to white space or the separator
    EXPECT_FALSE(t.Parse("1 2,3;"));
    EXPECT_TRUE(t.Parse("1 2;3 4;  \r\n "));
}

TEST(XChartDataTest, NotANumberAndInfinityReadBack)
{
    XChartDataTable t;
    ASSERT_TRUE(t.Parse("nan -nan inf -inf INFINITY;"));
    EXPECT_TRUE(std::isnan(t.At(0, 0)));
    EXPECT_TRUE(std::isnan(t.At(0, 1)));
    EXPECT_EQ(t.At(0, 2), INFINITY);
    EXPECT_EQ(t.At(0, 3), -INFINITY);
    EXPECT_EQ(t.At(0, 4), INFINITY);
    EXPECT_FALSE(t.Parse("nanx;"));
}

TEST(XChartFileTest, DataTextByFormatAndColumnCount)
{
    XChart chart;
    XChartLine& a = ReadOneLine(chart, "<CHARTLINE name=a>1 2;3 4;</CHARTLINE>");
    EXPECT_EQ(V(a.X()), (std::vector<double>{1, 3}));
    EXPECT_EQ(V(a.Y()), (std::vector<double>{2, 4}));
    XChartLine& b = ReadOneLine(chart, "<CHARTLINE name=b format=rows>1 2;3 4;</CHARTLINE>");
    EXPECT_EQ(V(b.X()), (std::vector<double>{1, 2}));
    EXPECT_EQ(V(b.Y()), (std::vector<double>{3, 4}));
    XChartLine& c = ReadOneLine(chart, "<CHARTLINE name=c>5;7;9;</CHARTLINE>");
    EXPECT_EQ(V(c.Y()), (std::vector<double>{5, 7, 9}));
    EXPECT_EQ(V(c.X()), (std::vector<double>{1, 2, 3}));
    XChartLine& d = ReadOneLine(chart, "<CHARTLINE name=d dataLineSep='|'>1 2|3|</CHARTLINE>");
    EXPECT_EQ(V(d.Y()), (std::vector<double>{2, 0}));
}

TEST(XChartFileTest, BrokenDataKeepsTheAttributesReadBeforeIt)
{
    XChart chart;
    XChartLine& line = *chart.Line(chart.GetOrAddLine("a"));
    Fill(line.X(), {1});
    Fill(line.Y(), {2});
    TXML xml;
    ASSERT_TRUE(xml.Parse(ZStr("<CHARTLINE width=7 color=red>1 2;3</CHARTLINE>")));
    EXPECT_FALSE(line.ReadXML(*xml.GetRoot()->FindChildElement()));
    EXPECT_EQ(line.GetInt("width"), 7);
    EXPECT_EQ(V(line.X()), (std::vector<double>{1}));
    EXPECT_EQ(V(line.Y()), (std::vector<double>{2}));
    // No text at all leaves the data as it is too.
    ASSERT_TRUE(xml.Parse(ZStr("<CHARTLINE width=3/>")));
    EXPECT_TRUE(line.ReadXML(*xml.GetRoot()->FindChildElement()));
    EXPECT_EQ(V(line.Y()), (std::vector<double>{2}));
}

// ---- Reading -----------------------------------------------------------------------------

TEST(XChartFileTest, ChartAttributesLineDefaultsAndShow)
{
    XChart chart;
    chart.GetOrAddLine("old");
    Read(chart, "<XCHART name='n' type=XCHART title=\"Hi\" titleFontSize=120 show=0 "
                "bgColor=nonsense width=4 color=blue axis=Xy>"
                "<CHARTLINE name=a /><CHARTLINE color=red /><CHARTLINE/></XCHART>");
    EXPECT_FALSE(chart.GetShow());
    EXPECT_EQ(S(chart.Attrs().GetStr("title")), "Hi");
    EXPECT_EQ(chart.Attrs().GetInt("titleFontSize"), 120);
    EXPECT_EQ(S(chart.Attrs().GetStr("bgColor")), "black"); // not a colour: default stays
    EXPECT_FALSE(chart.Attrs().Has("width"));
    EXPECT_EQ(chart.LineDefaults().GetInt("width"), 4);
    ASSERT_EQ(chart.LineCount(), 3); // the old line went with the clearing
    EXPECT_EQ(S(chart.Line(0)->GetName()), "a");
    EXPECT_EQ(S(chart.Line(1)->GetName()), "_line2");
    EXPECT_EQ(S(chart.Line(2)->GetName()), "_line3");
    EXPECT_EQ(chart.Line(0)->GetInt("width"), 4);
    EXPECT_EQ(S(chart.Line(0)->GetStr("color")), "blue"); // from the defaults, no palette
    EXPECT_EQ(S(chart.Line(1)->GetStr("color")), "red");
    EXPECT_EQ(S(chart.Line(2)->GetStr("axis")), "Xy");

    // Defaults are read by type: what is no colour stays out, numbers are numbers.
    Read(chart, "<XCHART color=nocolour width=wide><CHARTLINE name=a/></XCHART>");
    EXPECT_FALSE(chart.LineDefaults().Has("color"));
    EXPECT_EQ(S(chart.LineDefaults().GetStr("width")), "0");
    EXPECT_EQ(S(chart.Line(0)->GetStr("color")), "lightgreen");
}

TEST(XChartFileTest, LineAttributesAndTheirRules)
{
    XChart chart;
    XChartLine& a = ReadOneLine(chart, "<CHARTLINE lineType=bar color=red lineEditable=1 "
                                       "lineSelectable=0 colorNeg=blue bins=12 "
                                       "fixedScaleY='-100 0' niceAxisStartX=1 />");
    EXPECT_EQ(a.GetLineType(), XChartLineType::Bar);
    EXPECT_EQ(S(a.GetStr("axisFontColor")), "red"); // follows the colour
    EXPECT_EQ(S(a.GetStr("colorPos")), "red");
    EXPECT_EQ(S(a.GetStr("colorPosBase")), "red");
    EXPECT_EQ(S(a.GetStr("colorNeg")), "blue");
    EXPECT_EQ(S(a.GetStr("colorNegBase")), "blue");
    EXPECT_TRUE(a.GetBool("lineSelectable")); // an editable line is selectable
    EXPECT_EQ(a.GetInt("bins"), 12);
    EXPECT_EQ(S(a.GetStr("fixedScaleY")), "-100 0");
    EXPECT_TRUE(a.GetBool("niceAxisStartX"));

    XChartLine& b = ReadOneLine(chart, "<CHARTLINE color=red axisFontColor=white "
                                       "lineType=timeLine objectType=rect/>");
    EXPECT_EQ(S(b.GetStr("axisFontColor")), "white");
    EXPECT_EQ(b.GetLineType(), XChartLineType::Line); // timeLine is not read
    EXPECT_EQ(S(b.GetStr("objectType")), "ellipse");  // only for object lines
    EXPECT_EQ(S(b.GetStr("colorPos")), "green");      // only for bars and objects

    XChartLine& c = ReadOneLine(chart, "<CHARTLINE lineType=object objectType=rect>"
                                       "1 2 3 4;5 6;</CHARTLINE>");
    EXPECT_EQ(S(c.GetStr("objectType")), "rect");

    EXPECT_EQ(V(c.Column(XChartColumn::X2)), (std::vector<double>{3, 0}));
    EXPECT_EQ(V(c.Column(XChartColumn::Y2)), (std::vector<double>{4, 0}));

    // Attributes the writer writes when changed are all read back.
    XChartLine& d = ReadOneLine(chart, "<CHARTLINE axisLenPrecentX=50 axisLenPrecentY='75.5' "
                                       "lineHighColor=blue lineLowColor='#102030'/>");
    EXPECT_EQ(d.GetDouble("axisLenPrecentX"), 50.0);
    EXPECT_EQ(d.GetDouble("axisLenPrecentY"), 75.5);
    EXPECT_EQ(S(d.GetStr("lineHighColor")), "blue");
    EXPECT_EQ(S(d.GetStr("lineLowColor")), "#102030");
}

TEST(XChartFileTest, GroupsAreReadBetweenExistingLines)
{
    XChart chart;
    Read(chart, "<XCHART groupX=\"a b c;d\" groupY='c nosuch a' groupXY=\"b d\">"
                "<CHARTLINE name=a/><CHARTLINE name=b/><CHARTLINE name=c/>"
                "<CHARTLINE name=d/></XCHART>");
    const auto& x = chart.Groups(XChartGroup::X);
    ASSERT_EQ(x.Count(), 1);
    EXPECT_EQ(std::vector<int32_t>(x[0].begin(), x[0].end()), (std::vector<int32_t>{0, 1, 2, 3}));
    const auto& y = chart.Groups(XChartGroup::Y);
    ASSERT_EQ(y.Count(), 2);
    EXPECT_EQ(std::vector<int32_t>(y[0].begin(), y[0].end()), (std::vector<int32_t>{2, 0}));
    EXPECT_EQ(std::vector<int32_t>(y[1].begin(), y[1].end()), (std::vector<int32_t>{1, 3}));
}

// ---- Round trips -------------------------------------------------------------------------

TEST(XChartFileTest, EveryLineTypeSurvivesAWriteAndARead)
{
    using C = XChartColumn;
    XChart chart;
    chart.Attrs().SetStr("title", "All types");
    auto add = [&chart](const char* name, XChartLineType type) -> XChartLine& {
        XChartLine& l = *chart.Line(chart.GetOrAddLine(name));
        l.SetLineType(type);
        return l;
    };
    XChartLine& line = add("line", XChartLineType::Line);
    Fill(line.X(), {1, 2, 3});
    Fill(line.Y(), {-1.5, 2.25, 1e6});
    line.SetBool("closePath", true);
    XChartLine& point = add("point", XChartLineType::Point);
    Fill(point.X(), {4, 5});
    Fill(point.Y(), {6, 7});
    XChartLine& bar = add("bar", XChartLineType::Bar);
    Fill(bar.X(), {1, 2});
    Fill(bar.Y(), {3, -4});
    bar.SetStr("colorPos", "blue");
    XChartLine& hist = add("hist", XChartLineType::Histogram);
    Fill(hist.Y(), {1, 1, 2, 3, 5, 8});
    hist.SetInt("bins", 4);
    XChartLine& obj = add("obj", XChartLineType::Object);
    Fill(obj.X(), {1, 2});
    Fill(obj.Y(), {3, 4});
    Fill(obj.OwnColumn(C::X2), {0.5, 1});
    Fill(obj.OwnColumn(C::Y2), {2, 2.5});
    obj.SetStr("objectType", "rect");
    XChartLine& hlc = add("hlc", XChartLineType::HigLowClose);
    Fill(hlc.X(), {1, 2});
    Fill(hlc.OwnColumn(C::High), {10, 11});
    Fill(hlc.OwnColumn(C::Low), {5, 6});
    Fill(hlc.OwnColumn(C::Open), {7, 8});
    Fill(hlc.OwnColumn(C::Close), {9, 9.5});
    XChartLine& path = add("path", XChartLineType::DrawPath);
    Fill(path.OwnColumn(C::PathCode), {0, 1});
    Fill(path.X(), {0, 5});
    Fill(path.Y(), {0, 5});
    Fill(path.OwnColumn(C::X2), {4, 4});
    Fill(path.OwnColumn(C::Y2), {4, 4});
    Fill(path.OwnColumn(C::PathIndex), {0, 1});
    path.PathNames().Append(ZString("first"));
    path.PathNames().Append(ZString("second one"));
    XChartLine& sub0 = *path.SubLine(path.GetOrAddSubLine("s0"));
    Fill(sub0.X(), {0, 1});
    Fill(sub0.Y(), {0, 1});
    XChartLine& sub1 = *path.SubLine(path.GetOrAddSubLine("s1"));
    sub1.SetLineType(XChartLineType::Bar);
    Fill(sub1.X(), {1});
    Fill(sub1.Y(), {2});
    chart.Link(0, 1, XChartGroup::X);
    chart.Link(2, 3, XChartGroup::Y);

    const std::string first = Clipboard(chart);
    XChart copy;
    ASSERT_TRUE(Read(copy, first));
    ASSERT_EQ(copy.LineCount(), chart.LineCount());
    for (int32_t i = 0; i < chart.LineCount(); ++i) {
        const XChartLine& a = *chart.Line(i);
        const XChartLine& b = *copy.Line(i);
        EXPECT_EQ(S(b.GetName()), S(a.GetName()));
        EXPECT_EQ(b.GetLineType(), a.GetLineType()) << S(a.GetName());
        XChartColumn cols[6];
        const int32_t n = ChartLineColumns(a.GetLineType(), cols);
        for (int32_t j = 0; j < n; ++j) {
            EXPECT_EQ(V(b.Column(cols[j])), V(a.Column(cols[j])))
                << S(a.GetName()) << " column " << int(cols[j]);
        }
    }
    const XChartLine& path2 = *copy.Line(copy.FindLine("path"));
    ASSERT_EQ(path2.SubLineCount(), 2);
    EXPECT_EQ(S(path2.SubLine(1)->GetName()), "s1");
    EXPECT_EQ(path2.SubLine(1)->GetLineType(), XChartLineType::Bar);
    EXPECT_EQ(V(path2.SubLine(0)->Y()), (std::vector<double>{0, 1}));
    ASSERT_EQ(path2.PathNames().Count(), 2);
    EXPECT_EQ(S(path2.PathNames()[1]), "second one");
    EXPECT_EQ(S(copy.Line(copy.FindLine("obj"))->GetStr("objectType")), "rect");
    EXPECT_TRUE(copy.Line(0)->GetBool("closePath"));
    EXPECT_EQ(copy.Groups(XChartGroup::X).Count(), 1);
    EXPECT_EQ(copy.Groups(XChartGroup::Y).Count(), 1);

    // Reading sets the bar colours of bars and objects, so the second text may carry more
    // attributes than the first; from then on the text is stable.
    const std::string second = Clipboard(copy);
    XChart third;
    ASSERT_TRUE(Read(third, second));
    EXPECT_EQ(Clipboard(third), second);
}

TEST(XChartFileTest, TextsWithMarkupCharactersSurvive)
{
    const char* title = "Tom & Jerry <\"quoted\"> 'single' back\\slash\r\nsecond line\\";
    const char* name = "it's a \"line\" & <more>\\";
    XChart chart;
    chart.Attrs().SetStr("title", title);
    XChartLine& a = *chart.Line(chart.GetOrAddLine(name));
    a.SetStr("axisLableX", "f; [MHz]\t&#x41;");
    XChartLine& b = *chart.Line(chart.GetOrAddLine("b c;d"));
    chart.Link(0, 1, XChartGroup::X);
    b.SetLineType(XChartLineType::DrawPath);
    b.PathNames().Append(ZString("p q"));
    b.PathNames().Append(ZString("r;s\\"));

    const std::string text = Clipboard(chart);
    XChart copy;
    ASSERT_TRUE(Read(copy, text));
    EXPECT_EQ(S(copy.Attrs().GetStr("title")), title);
    ASSERT_EQ(copy.LineCount(), 2);
    EXPECT_EQ(S(copy.Line(0)->GetName()), name);
    EXPECT_EQ(S(copy.Line(0)->GetStr("axisLableX")), "f; [MHz]\t&#x41;");
    EXPECT_EQ(S(copy.Line(1)->GetName()), "b c;d");
    ASSERT_EQ(copy.Groups(XChartGroup::X).Count(), 1);
    EXPECT_EQ(copy.Groups(XChartGroup::X)[0].Count(), 2);
    ASSERT_EQ(copy.Line(1)->PathNames().Count(), 2);
    EXPECT_EQ(S(copy.Line(1)->PathNames()[0]), "p q");
    EXPECT_EQ(S(copy.Line(1)->PathNames()[1]), "r;s\\");
}

TEST(XChartFileTest, NotANumberSurvivesTheFile)
{
    XChart chart;
    XChartLine& line = *chart.Line(chart.GetOrAddLine("a"));
    Fill(line.X(), {1, 2, 3});
    Fill(line.Y(), {1, NAN, -INFINITY});
    XChart copy;
    ASSERT_TRUE(Read(copy, Clipboard(chart)));
    ASSERT_EQ(copy.Line(0)->Y().Count(), 3);
    EXPECT_TRUE(std::isnan(copy.Line(0)->Y()[1]));
    EXPECT_EQ(copy.Line(0)->Y()[2], -INFINITY);
}

TEST(XChartFileTest, ARawAmpersandFromAnOlderFileIsKept)
{
    XChart chart;
    Read(chart, "<XCHART title='R & D'/>");
    EXPECT_EQ(S(chart.Attrs().GetStr("title")), "R & D");
}

TEST(XChartFileTest, ALargeChartIsWrittenAndReadBack)
{
    // 300,000 rows: writing them a row at a time must not copy the text for every row (that
    // took minutes), and the caller's string keeps its own growth step.
    constexpr int32_t kRows = 300000;
    XChart chart;
    XChartLine& line = *chart.Line(chart.GetOrAddLine("big"));
    XRealArray xs(kRows, kRows);
    XRealArray ys(kRows, kRows);
    for (int32_t i = 0; i < kRows; ++i) {
        xs[i] = i;
        ys[i] = (i % 1000) * 0.5;
    }
    line.X() = std::move(xs);
    line.Y() = std::move(ys);
    ZString out;
    out.SetGrowthStep(50);
    chart.WriteXML(out, "XCHART", "aXChart", "XCHART", "", true);
    EXPECT_EQ(out.GrowthStep(), 50);

    XChart back;
    ASSERT_TRUE(Read(back, S(out)));
    ASSERT_EQ(back.LineCount(), 1);
    const XChartLine& big = *back.Line(0);
    ASSERT_EQ(big.PointCount(), kRows);
    EXPECT_EQ(big.Column(XChartColumn::X)[kRows - 1], kRows - 1);
    EXPECT_EQ(big.Column(XChartColumn::Y)[1999], 499.5);
}
