// SPDX-License-Identifier: GPL-2.0-or-later
// The build outputs against the report: the geometry they draw, the DXF read back, the
// dimension texts of the SVG, the file types, and the designs that must write nothing.
#include "app/outputs/BuildSheet.h"

#include "app/cli/CommandLine.h"
#include "app/engine/BuildGeometry.h"
#include "app/engine/ComputedDesign.h"
#include "app/engine/FilterDesign.h"
#include "app/outputs/DxfWriter.h"
#include "app/outputs/SheetCanvas.h"
#include "tests/TestSupport.h"
#include "xml/TXML.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* kDefaultParms =
    "ele=5\t&rip=1\t&fzmc=1200&bwmc=70&R=50\t&H=20\t&D=8\t&E=25\t&NFR=200&STP=1.4\t";
// Twelve rods at 400 MHz in a larger box: a different scale, both end rods on other walls.
constexpr const char* kTwelveRodParms =
    "ele=12&rip=0.5&fzmc=400&bwmc=20&R=50&H=40&D=16&E=40&NFR=200&STP=1";

std::string TempPath(const std::string& name)
{
    return ::testing::TempDir() + "tessera-sheet-" + std::to_string(::getpid()) + "-" + name;
}

bool Exists(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

std::string FileType(const std::string& path)
{
    std::string out;
    FILE* p = popen(("file -b '" + path + "' 2>/dev/null").c_str(), "r");
    if (p == nullptr) {
        return out;
    }
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, p) != nullptr) {
        out += buffer;
    }
    pclose(p);
    return out;
}

int Tessera(const std::vector<std::string>& args, std::string* err = nullptr)
{
    std::ostringstream out, errors;
    const int status = RunCommandLine(args, out, errors);
    if (err != nullptr) {
        *err = errors.str();
    }
    return status;
}

// The number the report prints after `label` (up to the unit).
std::string ReportValue(const std::string& report, const std::string& label)
{
    const size_t at = report.find(label);
    if (at == std::string::npos) {
        return "?";
    }
    std::istringstream line(report.substr(at + label.size()));
    std::string word;
    line >> word;
    return word.substr(0, word.find_first_not_of("0123456789.-"));
}

// The rod table of the report: for each line starting with a rod number, its position and
// spacing texts; the closing "Wall" line's position is the box length.
struct ReportTable
{
    std::vector<std::string> positions, spacings;
    std::string boxLength;
};

ReportTable ReadRodTable(const std::string& report)
{
    ReportTable table;
    std::istringstream lines(report);
    std::string line;
    bool inTable = false;
    auto number = [](const std::string& w) {
        return w.substr(0, w.find_first_not_of("0123456789.-"));
    };
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string first, second, third;
        words >> first >> second >> third;
        if (first == "Rod" && second == "#") {
            inTable = true;
        } else if (inTable && first == "Wall" && second != "0mm" && second != "0\"") {
            table.boxLength = number(second);
            break;
        } else if (inTable && first != "Wall") {
            table.positions.push_back(number(second));
            table.spacings.push_back(number(third));
        }
    }
    return table;
}

struct Design
{
    const char* parms;
    LengthUnit unit;
};

const Design kDesigns[] = {{kDefaultParms, LengthUnit::Millimetre},
                           {kDefaultParms, LengthUnit::Inch},
                           {kTwelveRodParms, LengthUnit::Millimetre},
                           {kTwelveRodParms, LengthUnit::Inch}};

// Runs `test` on the computed design of each test design, each of which can be built.
void ForEachDesign(const std::function<void(const Design&, const ComputedDesign&)>& test)
{
    for (const Design& d : kDesigns) {
        SCOPED_TRACE(std::string(d.parms) + (d.unit == LengthUnit::Inch ? " inch" : " mm"));
        std::string status;
        const auto build = ComputedDesign::Compute(d.parms, d.unit, status);
        ASSERT_TRUE(build && !build->BuildProblem()) << status;
        test(d, *build);
    }
}

TEST(BuildGeometryTest, EveryLengthRoundsToTheReportsText)
{
    ForEachDesign([](const Design& d, const ComputedDesign& build) {
        const std::string& report = build.Report();
        const BuildGeometry& g = build.Geometry();
        const auto text = [&](double inches) { return LengthText(inches, d.unit); };

        EXPECT_EQ(text(g.boxDepthInch), ReportValue(report, "Quarter Wavelength = "));
        EXPECT_EQ(text(g.interiorRodLengthInch), ReportValue(report, "Length of interior Rods = "));
        EXPECT_EQ(text(g.endRodLengthInch), ReportValue(report, "Length of end Rods = "));
        EXPECT_EQ(text(g.groundPlaneInch), ReportValue(report, "Ground plane Spaceing H = "));
        EXPECT_EQ(text(g.rodDiameterInch), ReportValue(report, "Rod diameter D = "));
        EXPECT_EQ(text(g.endWallInch), ReportValue(report, "End plates E = "));
        EXPECT_EQ(text(g.tapInch), ReportValue(report, "Feed Tap = "));

        const ReportTable table = ReadRodTable(report);
        ASSERT_EQ(g.rods.size(), table.positions.size());
        ASSERT_EQ(g.spacingInch.size() + 1, g.rods.size());
        EXPECT_EQ(text(g.boxLengthInch), table.boxLength);
        for (size_t k = 0; k < g.rods.size(); ++k) {
            const BuildRod& rod = g.rods[k];
            EXPECT_EQ(text(rod.centreInch), table.positions[k]) << "rod " << rod.number;
            if (k + 1 < g.rods.size()) {
                EXPECT_EQ(text(g.spacingInch[k]), table.spacings[k]) << "rod " << rod.number;
            }
            // Grounded alternately, rod 1 on wall A; the end rods are the fed ones and the
            // only ones of the end rods' length.
            EXPECT_EQ(rod.ground, k % 2 == 0 ? GroundWall::A : GroundWall::B);
            const bool end = k == 0 || k + 1 == g.rods.size();
            EXPECT_EQ(rod.fed, end);
            EXPECT_EQ(rod.lengthInch, end ? g.endRodLengthInch : g.interiorRodLengthInch);
        }
    });
}

// A reader of the DXF entities this program writes: group code and value pairs, entities
// with their layer, points (10/20, 11/21), radius (40) and text (1).
struct DxfEntity
{
    std::string type, layer, text;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0, r = 0;
};

struct DxfFile
{
    std::map<std::string, int> header; // integer header variables
    std::vector<DxfEntity> entities;

    std::vector<DxfEntity> Of(const std::string& layer, const std::string& type) const
    {
        std::vector<DxfEntity> list;
        for (const DxfEntity& e : entities) {
            if (e.layer == layer && e.type == type) {
                list.push_back(e);
            }
        }
        return list;
    }
};

DxfFile ReadDxf(const std::string& text)
{
    DxfFile file;
    std::istringstream in(text);
    std::string code, value, section, variable;
    while (std::getline(in, code) && std::getline(in, value)) {
        const int c = std::stoi(code);
        if (!value.empty() && value.back() == '\r') {
            value.pop_back();
        }
        if (c == 0 && value == "SECTION") {
            std::getline(in, code);
            std::getline(in, section);
            continue;
        }
        if (section == "HEADER") {
            if (c == 9) {
                variable = value;
            } else if (c == 70) {
                file.header[variable] = std::stoi(value);
            }
        } else if (section == "ENTITIES") {
            if (c == 0) {
                file.entities.push_back({value, "", "", 0, 0, 0, 0, 0});
                continue;
            }
            if (file.entities.empty()) {
                continue;
            }
            DxfEntity& e = file.entities.back();
            // Group codes of the values the tests read: texts, then coordinates.
            static const std::pair<int, std::string DxfEntity::*> kTexts[] = {
                {8, &DxfEntity::layer}, {1, &DxfEntity::text}};
            static const std::pair<int, double DxfEntity::*> kNumbers[] = {{10, &DxfEntity::x1},
                                                                           {20, &DxfEntity::y1},
                                                                           {11, &DxfEntity::x2},
                                                                           {21, &DxfEntity::y2},
                                                                           {40, &DxfEntity::r}};
            for (const auto& [group, field] : kTexts) {
                if (c == group) {
                    e.*field = value;
                }
            }
            for (const auto& [group, field] : kNumbers) {
                if (c == group) {
                    e.*field = std::stod(value);
                }
            }
        }
    }
    return file;
}

// The two lines of a layer's part that bracket a point: for horizontal lines the nearest
// below and above spanning its x; for vertical lines the nearest left and right spanning y.
std::pair<double, double> Bracket(const std::vector<DxfEntity>& lines, double x, double y,
                                  bool horizontal)
{
    double low = -1e300, high = 1e300;
    for (const DxfEntity& l : lines) {
        const bool isHorizontal = std::fabs(l.y1 - l.y2) < 1e-12;
        if (isHorizontal != horizontal) {
            continue;
        }
        const double across = horizontal ? l.y1 : l.x1;
        const double a = horizontal ? std::min(l.x1, l.x2) : std::min(l.y1, l.y2);
        const double b = horizontal ? std::max(l.x1, l.x2) : std::max(l.y1, l.y2);
        const double along = horizontal ? x : y;
        const double at = horizontal ? y : x;
        if (along < a || along > b) {
            continue;
        }
        if (across < at) {
            low = std::max(low, across);
        } else {
            high = std::min(high, across);
        }
    }
    return {low, high};
}

TEST(DxfWriterTest, PartsReadBackAtTheRodsAndTaps)
{
    ForEachDesign([](const Design& d, const ComputedDesign& build) {
        const BuildGeometry& g = build.Geometry();
        std::string bytes, error;
        ASSERT_TRUE(DxfDrawing(build, d.unit, bytes, error)) << error;
        const DxfFile dxf = ReadDxf(bytes);
        const bool inch = d.unit == LengthUnit::Inch;
        EXPECT_EQ(dxf.header.at("$INSUNITS"), inch ? 1 : 4);
        EXPECT_EQ(dxf.header.at("$MEASUREMENT"), inch ? 0 : 1);
        const auto U = [&](double inches) { return LengthInUnit(inches, d.unit); };
        const size_t n = g.rods.size();
        const double tolerance = 1e-9 * U(g.boxLengthInch);

        EXPECT_EQ(dxf.Of("TOP", "LINE").size(), 4 + 4 * n);
        EXPECT_EQ(dxf.Of("TOP", "CIRCLE").size(), 0u);
        EXPECT_EQ(dxf.Of("GROUNDWALLS", "LINE").size(), 8u);
        EXPECT_EQ(dxf.Of("ENDWALLS", "LINE").size(), 8u);
        EXPECT_FALSE(dxf.Of("DIMS", "TEXT").empty());
        EXPECT_FALSE(dxf.Of("DIMS", "LINE").empty());

        // One fixing hole per rod, at its centre and half way up its ground wall.
        const std::vector<DxfEntity> holes = dxf.Of("GROUNDWALLS", "CIRCLE");
        const std::vector<DxfEntity> wallLines = dxf.Of("GROUNDWALLS", "LINE");
        ASSERT_EQ(holes.size(), n);
        std::vector<double> xs;
        for (const DxfEntity& hole : holes) {
            const auto [below, above] = Bracket(wallLines, hole.x1, hole.y1, true);
            EXPECT_NEAR(above - below, U(g.groundPlaneInch), tolerance);
            EXPECT_NEAR(hole.y1, (above + below) / 2, tolerance);
            EXPECT_NEAR(hole.r, U(g.rodDiameterInch) * kFixingHoleOfRod / 2, tolerance);
            xs.push_back(hole.x1);
        }
        std::sort(xs.begin(), xs.end());
        for (size_t k = 0; k < n; ++k) {
            EXPECT_NEAR(xs[k], U(g.rods[k].centreInch), tolerance);
        }

        // The connectors: level with the taps of the top view, half way across the wall.
        const std::vector<DxfEntity> connectors = dxf.Of("ENDWALLS", "CIRCLE");
        ASSERT_EQ(connectors.size(), 2u);
        const double depth = U(g.boxDepthInch), tap = U(g.tapInch);
        for (const DxfEntity& c : connectors) {
            const auto [left, right] = Bracket(dxf.Of("ENDWALLS", "LINE"), c.x1, c.y1, false);
            EXPECT_NEAR(right - left, U(g.groundPlaneInch), tolerance);
            EXPECT_NEAR(c.x1, (left + right) / 2, tolerance);
            const BuildRod& rod = c.x1 < 0 ? g.rods.front() : g.rods.back();
            EXPECT_NEAR(c.y1, rod.ground == GroundWall::A ? tap : depth - tap, tolerance);
        }
    });
}

std::vector<std::string> SvgTexts(const std::string& path)
{
    std::vector<std::string> texts;
    TXML xml;
    EXPECT_TRUE(xml.ParseFile(path.c_str())) << path;
    std::vector<const TXMLNode*> stack{xml.GetRoot()};
    while (!stack.empty()) {
        const TXMLNode* node = stack.back();
        stack.pop_back();
        if (node->IsElement("text")) {
            TXMLNodeList children;
            node->GetTextChildren(children);
            std::string text;
            for (int32_t i = 0; i < children.Count(); ++i) {
                const ZStr v = children[i]->GetValue();
                text.append(v.ptr, size_t(v.len));
            }
            texts.push_back(text);
        }
        for (const TXMLNode* c = node->FirstChildNode(); c; c = c->NextSiblingNode()) {
            stack.push_back(c);
        }
    }
    return texts;
}

TEST(BuildSheetTest, SheetsAreValidFilesWithTheDimensionTexts)
{
    struct Case
    {
        std::vector<std::string> args;
        std::vector<std::string> texts; // the report's numbers, each drawn on the sheet
    };
    const Case cases[] = {
        {{},
         {"25.0", "25.6", "26.7", "50.6", "77.3", "104.0", "129.7", "154.7", "62.5", "56.5", "56.4",
          "5.0", "20.0",
          "\xC3\x98"
          "8.0",
          "Scale 1:1"}},
        {{"--inch"},
         {"0.984", "1.009", "1.052", "1.993", "3.045", "4.096", "5.105", "6.089", "2.459", "2.224",
          "2.220", "0.195", "0.787",
          "\xC3\x98"
          "0.315"}},
    };
    for (const Case& c : cases) {
        const std::string svg = TempPath("sheet.svg"), pdf = TempPath("sheet.pdf");
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"--build-sheet", svg});
        ASSERT_EQ(Tessera(args), kExitOk);
        args.back() = pdf;
        ASSERT_EQ(Tessera(args), kExitOk);
        EXPECT_NE(FileType(pdf).find("PDF document"), std::string::npos) << FileType(pdf);
        EXPECT_NE(FileType(svg).find("SVG"), std::string::npos) << FileType(svg);

        const std::vector<std::string> texts = SvgTexts(svg);
        for (const std::string& expected : c.texts) {
            EXPECT_NE(std::find_if(texts.begin(), texts.end(),
                                   [&](const std::string& t) {
                                       return t == expected || t.rfind(expected, 0) == 0;
                                   }),
                      texts.end())
                << "missing " << expected;
        }
        // The parameter text, escaped for XML, traces the sheet back to its design.
        EXPECT_NE(ReadFile(svg).find("ele=5&amp;rip=1&amp;fzmc=1200"), std::string::npos);
        std::remove(svg.c_str());
        std::remove(pdf.c_str());
    }
}

// The sheet's thin lines (extension and dimension lines, not the dashed centre lines) never
// run through a rod drawn in the top view.
void ExpectNoDimensionLineCrossesARod(const ComputedDesign& build)
{
    SvgSheetCanvas canvas(kSheetWidthPt, kSheetHeightPt);
    DrawBuildSheet(build, build.Unit(), canvas);
    const std::string svg = canvas.Document();
    struct Box
    {
        double x, y, w, h;
    };
    std::vector<Box> rods;
    std::vector<std::array<double, 4>> lines;
    const std::regex rect("<rect x=\"([-0-9.]+)\" y=\"([-0-9.]+)\" width=\"([0-9.]+)\" "
                          "height=\"([0-9.]+)\" fill=\"none\" stroke=\"#000\" "
                          "stroke-width=\"1.4\"/>");
    const std::regex line("<line x1=\"([-0-9.]+)\" y1=\"([-0-9.]+)\" x2=\"([-0-9.]+)\" "
                          "y2=\"([-0-9.]+)\" stroke=\"#000\" stroke-width=\"0.5\"/>");
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), rect); it != std::sregex_iterator();
         ++it) {
        const Box b{std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3]),
                    std::stod((*it)[4])};
        if (b.h > 3 * b.w) { // a rod seen from above, not the box, a lead or a circle's frame
            rods.push_back(b);
        }
    }
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), line); it != std::sregex_iterator();
         ++it) {
        lines.push_back(
            {std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3]), std::stod((*it)[4])});
    }
    ASSERT_EQ(rods.size(), build.Geometry().rods.size());
    ASSERT_GT(lines.size(), 10u);
    for (const auto& l : lines) {
        for (const Box& r : rods) {
            // Axis-aligned lines: one crosses a rod when it enters the rod's inside.
            const double left = std::min(l[0], l[2]), right = std::max(l[0], l[2]);
            const double top = std::min(l[1], l[3]), bottom = std::max(l[1], l[3]);
            const bool crosses = left < r.x + r.w - 0.1 && right > r.x + 0.1 &&
                                 top < r.y + r.h - 0.1 && bottom > r.y + 0.1;
            EXPECT_FALSE(crosses) << "line " << l[0] << "," << l[1] << " " << l[2] << "," << l[3]
                                  << " through the rod at " << r.x;
        }
    }
}

// For every test design in either unit.
TEST(BuildSheetTest, DimensionLinesNeverCrossARod)
{
    ForEachDesign([](const Design&, const ComputedDesign& build) {
        ExpectNoDimensionLineCrossesARod(build);
    });
}

// A corrected design with the cover feed: rods of individual lengths, the connectors in the
// cover. The sheet draws the holes and locates them, and gives every rod its own length; the
// DXF drills them in a cover part, none in the end walls, and cuts every rod to its length.
TEST(BuildSheetTest, CorrectedCoverFeedShowsTheHolesAndEveryRodsLength)
{
    // The default, and six rods in a wide band: its interior rods come out of the correction
    // with lengths of their own, and its last rod stands on wall B.
    const std::pair<const char*, size_t> cases[] = {
        {kDefaultParms, 2}, {"ele=6&rip=0.1&fzmc=400&bwmc=40&R=50&H=20&D=8&E=25&NFR=200&STP=1", 3}};
    for (const auto& [parms, distinctLengths] : cases) {
        SCOPED_TRACE(parms);
        std::string status;
        const auto build =
            ComputedDesign::Compute(parms, LengthUnit::Millimetre, status, {FeedKind::Cover, true});
        ASSERT_TRUE(build && build->Corrected() && !build->BuildProblem()) << status;
        const BuildGeometry& g = build->Geometry();
        const auto text = [](double inches) { return LengthText(inches, LengthUnit::Millimetre); };
        std::set<std::string> lengths;
        for (const BuildRod& rod : g.rods) {
            lengths.insert(text(rod.lengthInch));
        }
        ASSERT_EQ(lengths.size(), distinctLengths);

        const std::string svg = TempPath("cover.svg");
        ASSERT_EQ(WriteBuildSheet(svg, *build, LengthUnit::Millimetre, status),
                  BuildOutputStatus::Written);
        EXPECT_EQ(std::system(("xmllint --noout '" + svg + "'").c_str()), 0);
        const std::vector<std::string> texts = SvgTexts(svg);
        const auto count = [&](const std::string& t) {
            return std::count(texts.begin(), texts.end(), t);
        };
        for (const BuildRod& rod : g.rods) {
            const auto same = [&](const BuildRod& r) {
                return text(r.lengthInch) == text(rod.lengthInch);
            };
            EXPECT_GE(count(text(rod.lengthInch)),
                      std::count_if(g.rods.begin(), g.rods.end(), same))
                << "rod " << rod.number;
        }
        EXPECT_EQ(count("SMA in the cover"), 1);
        EXPECT_EQ(count("corrected for this feed"), 1);
        for (const BuildRod* rod : {&g.rods.front(), &g.rods.back()}) {
            EXPECT_EQ(count(text(rod->centreInch) + " / " + text(g.tapInch)), 1) << rod->number;
        }
        // The holes: thin circles, drawn nowhere else.
        const std::regex hole("<circle [^>]* stroke-width=\"0.5\"/>");
        const std::string doc = ReadFile(svg);
        EXPECT_EQ(std::distance(std::sregex_iterator(doc.begin(), doc.end(), hole),
                                std::sregex_iterator()),
                  2);
        std::remove(svg.c_str());
        ExpectNoDimensionLineCrossesARod(*build);

        std::string bytes, error;
        ASSERT_TRUE(DxfDrawing(*build, LengthUnit::Millimetre, bytes, error)) << error;
        const DxfFile dxf = ReadDxf(bytes);
        const auto U = [](double inches) { return LengthInUnit(inches, LengthUnit::Millimetre); };
        const double tolerance = 1e-9 * U(g.boxLengthInch);
        EXPECT_TRUE(dxf.Of("ENDWALLS", "CIRCLE").empty());
        const std::vector<DxfEntity> holes = dxf.Of("COVER", "CIRCLE");
        const std::vector<DxfEntity> cover = dxf.Of("COVER", "LINE");
        ASSERT_EQ(holes.size(), 2u);
        ASSERT_EQ(cover.size(), 4u);
        EXPECT_NEAR(cover[0].x2 - cover[0].x1, U(g.boxLengthInch), tolerance);
        for (size_t k = 0; k < 2; ++k) {
            const BuildRod& rod = k == 0 ? g.rods.front() : g.rods.back();
            EXPECT_NEAR(holes[k].x1 - cover[0].x1, U(rod.centreInch), tolerance);
            EXPECT_NEAR(holes[k].y1,
                        rod.ground == GroundWall::A ? U(g.tapInch) : U(g.boxDepthInch - g.tapInch),
                        tolerance);
        }
        // Each rod of the top view is its outline of four lines after the box's four; its
        // second line is a long side.
        const std::vector<DxfEntity> top = dxf.Of("TOP", "LINE");
        ASSERT_EQ(top.size(), 4 + 4 * g.rods.size());
        for (size_t k = 0; k < g.rods.size(); ++k) {
            const DxfEntity& side = top[4 + 4 * k + 1];
            EXPECT_NEAR(std::fabs(side.y2 - side.y1), U(g.rods[k].lengthInch), tolerance) << k;
        }
    }
}

TEST(BuildSheetTest, DesignsThatCannotBeBuiltWriteNothing)
{
    struct Case
    {
        std::vector<std::string> inputs;
        const char* status;
    };
    const Case cases[] = {
        {{"--elements", "13"}, "Error: Elements\n"},
        // The tap formula has no value for a feed this far above the rods' impedance.
        {{"--z", "100000"}, "Error: Impedance\n"},
        // Couplings so strong that the rods would stand closer than their diameter.
        {{"--bw", "3000"}, "Error: Bandwidth\n"},
    };
    const std::string pdf = TempPath("bad.pdf"), dxf = TempPath("bad.dxf");
    for (const Case& c : cases) {
        for (const std::vector<std::string>& output :
             {std::vector<std::string>{"--build-sheet", pdf},
              std::vector<std::string>{"--dxf", dxf, "--report"}}) {
            std::vector<std::string> args = c.inputs;
            args.insert(args.end(), output.begin(), output.end());
            std::string err;
            EXPECT_EQ(Tessera(args, &err), kExitUsage) << c.status;
            EXPECT_EQ(err, c.status);
            EXPECT_FALSE(Exists(pdf) || Exists(dxf)) << c.status;
        }
    }
    // The function the calculator calls says the same, and a wrong type is refused.
    std::string error;
    const auto unbuildable = ComputedDesign::Compute(
        "ele=5&rip=1&fzmc=1200&bwmc=70&R=100000&H=20&D=8&E=25&NFR=200&STP=1.4",
        LengthUnit::Millimetre, error);
    ASSERT_TRUE(unbuildable);
    EXPECT_EQ(WriteBuildSheet(dxf, *unbuildable, LengthUnit::Millimetre, error),
              BuildOutputStatus::InvalidDesign);
    EXPECT_EQ(error, "Error: Impedance");
    const auto design = ComputedDesign::Compute(kDefaultParms, LengthUnit::Millimetre, error);
    ASSERT_TRUE(design);
    EXPECT_EQ(WriteBuildSheet(TempPath("sheet.png"), *design, LengthUnit::Millimetre, error),
              BuildOutputStatus::CannotWrite);
    EXPECT_EQ(Tessera({"--build-sheet", "sheet.dxf"}), kExitUsage);
    EXPECT_EQ(Tessera({"--dxf", "parts.pdf"}), kExitUsage);
    EXPECT_FALSE(Exists(dxf));
}

TEST(BuildSheetTest, UnwritableFileFailsAndKeepsNothing)
{
    std::string err;
    EXPECT_EQ(Tessera({"--dxf", "/nonexistent-folder/parts.dxf"}, &err), kExitFailure);
    EXPECT_NE(err.find("cannot write '/nonexistent-folder/parts.dxf'"), std::string::npos) << err;

    // Under a file size limit below the drawing's size the library's own temporary file is
    // cut short without a word; the drawing must not be stored as if it were whole.
    for (const char* name : {"limited.dxf", "limited.svg"}) {
        const std::string path = TempPath(name);
        std::remove(path.c_str());
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            struct rlimit limit;
            ::getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = 20 * 1024;
            ::setrlimit(RLIMIT_FSIZE, &limit);
            const bool dxf = std::string(name).find(".dxf") != std::string::npos;
            std::string errors;
            const int status =
                Tessera({dxf ? "--dxf" : "--build-sheet", path, "--elements", "12"}, &errors);
            ::_exit(status == kExitFailure && errors.find("cannot write") != std::string::npos
                        ? 0
                        : 10 + status);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << name << ": exit " << WEXITSTATUS(status);
        EXPECT_FALSE(Exists(path)) << name;
    }
}

} // namespace
