// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/outputs/DxfWriter.h"

#include "app/engine/BuildGeometry.h"
#include "app/engine/ComputedDesign.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dl_dxf.h>
#include <dl_writer_ascii.h>
#include <fstream>
#include <memory>
#include <sstream>
#include <unistd.h>
#include <vector>

namespace {

// AutoCAD colour numbers of the layers.
constexpr int kColourTop = 7;   // white / black
constexpr int kColourWalls = 5; // blue
constexpr int kColourEnds = 3;  // green
constexpr int kColourDims = 1;  // red
constexpr int kColourCover = 6; // magenta

// The DXF library writes only to a named file: it gets a private temporary file, which is
// read back and removed, so that the caller stores the drawing like every other output.
class TempFile
{
public:
    TempFile()
    {
        const char* dir = std::getenv("TMPDIR");
        std::string pattern = std::string(dir && *dir ? dir : "/tmp") + "/tessera-dxf-XXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        const int fd = mkstemp(name.data());
        if (fd >= 0) {
            close(fd);
            m_path = name.data();
        } else {
            m_error = errno;
        }
    }
    ~TempFile()
    {
        if (!m_path.empty()) {
            std::remove(m_path.c_str());
        }
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::string& Path() const { return m_path; }
    int Error() const { return m_error; }

private:
    std::string m_path;
    int m_error = 0;
};

class DxfOut
{
public:
    DxfOut(DL_Dxf& dxf, DL_WriterA& dw, LengthUnit unit)
        : m_dxf(dxf)
        , m_dw(dw)
        , m_unit(unit)
    {
    }

    /// A length of the design (inch) in the drawing's unit.
    double InUnit(double inches) const { return LengthInUnit(inches, m_unit); }

    void Line(const char* layer, double x1, double y1, double x2, double y2)
    {
        m_dxf.writeLine(m_dw, DL_LineData(x1, y1, 0.0, x2, y2, 0.0), Attr(layer));
    }
    void Rect(const char* layer, double x, double y, double w, double h)
    {
        Line(layer, x, y, x + w, y);
        Line(layer, x + w, y, x + w, y + h);
        Line(layer, x + w, y + h, x, y + h);
        Line(layer, x, y + h, x, y);
    }
    void Circle(const char* layer, double cx, double cy, double r)
    {
        m_dxf.writeCircle(m_dw, DL_CircleData(cx, cy, 0.0, r), Attr(layer));
    }
    // Text of height h; `justify` 0 left, 1 centre, 2 right, on its baseline at (x, y).
    void Text(double x, double y, double h, const std::string& text, int justify = 1,
              double angle = 0.0)
    {
        m_dxf.writeText(
            m_dw, DL_TextData(x, y, 0.0, x, y, 0.0, h, 1.0, 0, justify, 0, text, "Standard", angle),
            Attr("DIMS"));
    }
    // A dimension from (x1, y1) to (x2, y2) drawn with short ticks at both ends and its
    // value beside the middle.
    void Dimension(double x1, double y1, double x2, double y2, double textHeight,
                   const std::string& value)
    {
        const bool horizontal = y1 == y2;
        const double t = textHeight * 0.5;
        Line("DIMS", x1, y1, x2, y2);
        if (horizontal) {
            Line("DIMS", x1, y1 - t, x1, y1 + t);
            Line("DIMS", x2, y2 - t, x2, y2 + t);
            Text((x1 + x2) / 2, y1 + textHeight * 0.4, textHeight, value);
        } else {
            Line("DIMS", x1 - t, y1, x1 + t, y1);
            Line("DIMS", x2 - t, y2, x2 + t, y2);
            Text(x1 - textHeight * 0.4, (y1 + y2) / 2, textHeight, value, 1, 90.0);
        }
    }

private:
    static DL_Attributes Attr(const char* layer)
    {
        return DL_Attributes(layer, 256, -1, "BYLAYER", 1.0);
    }

    DL_Dxf& m_dxf;
    DL_WriterA& m_dw;
    LengthUnit m_unit;
};

// The layer table lists the layers the drawing uses: the cover only with the cover feed.
void WriteTables(DL_Dxf& dxf, DL_WriterA& dw, FeedKind feed)
{
    dw.sectionTables();
    dxf.writeVPort(dw);
    dw.tableLinetypes(3);
    dxf.writeLinetype(dw, DL_LinetypeData("BYBLOCK", "BYBLOCK", 0, 0, 0.0));
    dxf.writeLinetype(dw, DL_LinetypeData("BYLAYER", "BYLAYER", 0, 0, 0.0));
    dxf.writeLinetype(dw, DL_LinetypeData("CONTINUOUS", "Continuous", 0, 0, 0.0));
    dw.tableEnd();
    std::vector<std::pair<const char*, int>> layers = {{"0", kColourTop},
                                                       {"TOP", kColourTop},
                                                       {"GROUNDWALLS", kColourWalls},
                                                       {"ENDWALLS", kColourEnds},
                                                       {"DIMS", kColourDims}};
    if (feed == FeedKind::Cover) {
        layers.emplace_back("COVER", kColourCover);
    }
    dw.tableLayers(int(layers.size()));
    for (const auto& layer : layers) {
        dxf.writeLayer(dw, DL_LayerData(layer.first, 0),
                       DL_Attributes("", layer.second, 100, "CONTINUOUS", 1.0));
    }
    dw.tableEnd();
    dw.tableStyle(1);
    dxf.writeStyle(dw, DL_StyleData("Standard", 0, 0.0, 1.0, 0.0, 0, 2.5, "txt", ""));
    dw.tableEnd();
    dxf.writeView(dw);
    dxf.writeUcs(dw);
    dw.tableAppid(1);
    dxf.writeAppid(dw, "ACAD");
    dw.tableEnd();
    dxf.writeDimStyle(dw, 1, 1, 1, 1, 1);
    dxf.writeBlockRecord(dw);
    dw.tableEnd();
    dw.sectionEnd();
    dw.sectionBlocks();
    for (const char* block : {"*Model_Space", "*Paper_Space", "*Paper_Space0"}) {
        dxf.writeBlock(dw, DL_BlockData(block, 0, 0.0, 0.0, 0.0));
        dxf.writeEndBlock(dw, block);
    }
    dw.sectionEnd();
}

void WriteEntities(DxfOut& out, const BuildGeometry& geometry, LengthUnit unit)
{
    const double boxLength = out.InUnit(geometry.boxLengthInch);
    const double boxDepth = out.InUnit(geometry.boxDepthInch);
    const double height = out.InUnit(geometry.groundPlaneInch);
    const double rodDiameter = out.InUnit(geometry.rodDiameterInch);
    const double tap = out.InUnit(geometry.tapInch);
    // Text and the gaps between the parts grow with the drawing, so it reads alike at any
    // size; the gap leaves room for a row of texts and a dimension between parts.
    const double textHeight = std::max(boxLength, boxDepth) * 0.025;
    const double gap = 5.0 * textHeight;
    const auto lengthText = [unit](double inches) { return LengthText(inches, unit); };
    const double fixingHole = rodDiameter * kFixingHoleOfRod;
    const double connectorHole = std::min(out.InUnit(kConnectorHoleInch), height / 2);

    // Top view.
    out.Rect("TOP", 0.0, 0.0, boxLength, boxDepth);
    for (const BuildRod& rod : geometry.rods) {
        const double x = out.InUnit(rod.centreInch);
        const double length = out.InUnit(rod.lengthInch);
        const double y = rod.ground == GroundWall::A ? 0.0 : boxDepth - length;
        out.Rect("TOP", x - rodDiameter / 2, y, rodDiameter, length);
    }

    // Ground walls, as if folded down (A) and up (B) from the top view.
    const double wallY[] = {-gap - height, boxDepth + gap};
    for (int w = 0; w < 2; ++w) {
        const GroundWall wall = w == 0 ? GroundWall::A : GroundWall::B;
        out.Rect("GROUNDWALLS", 0.0, wallY[w], boxLength, height);
        int holes = 0;
        for (const BuildRod& rod : geometry.rods) {
            if (rod.ground == wall) {
                const double x = out.InUnit(rod.centreInch);
                out.Circle("GROUNDWALLS", x, wallY[w] + height / 2, fixingHole / 2);
                // The hole's distance from the end wall, beside the hole.
                out.Text(x, wallY[w] + height + textHeight * 0.4, textHeight,
                         lengthText(rod.centreInch));
                ++holes;
            }
        }
        out.Text(0.0, wallY[w] - textHeight * 1.6, textHeight,
                 std::string("GROUND WALL ") + (w == 0 ? "A" : "B") + "  " +
                     lengthText(geometry.boxLengthInch) + " x " +
                     lengthText(geometry.groundPlaneInch) + ", " + std::to_string(holes) +
                     " fixing holes %%c" + FixedText(fixingHole, unit == LengthUnit::Inch ? 3 : 1),
                 0);
    }
    out.Dimension(0.0, wallY[0] - textHeight * 3.5, boxLength, wallY[0] - textHeight * 3.5,
                  textHeight, lengthText(geometry.boxLengthInch));

    // End walls, folded out to the left and right; the wall feed's connector level with the
    // tap.
    const BuildRod& first = geometry.rods.front();
    const BuildRod& last = geometry.rods.back();
    const auto tapY = [&](const BuildRod& rod) {
        return rod.ground == GroundWall::A ? tap : boxDepth - tap;
    };
    const auto wallName = [](const BuildRod& rod) {
        return rod.ground == GroundWall::A ? "A" : "B";
    };
    const std::string holeText = "%%c" + FixedText(connectorHole, unit == LengthUnit::Inch ? 3 : 1);
    const bool wallFeed = geometry.feed == FeedKind::Wall;
    const double endX[] = {-gap - height, boxLength + gap};
    const BuildRod* fedRod[] = {&first, &last};
    for (int e = 0; e < 2; ++e) {
        out.Rect("ENDWALLS", endX[e], 0.0, height, boxDepth);
        if (wallFeed) {
            out.Circle("ENDWALLS", endX[e] + height / 2, tapY(*fedRod[e]), connectorHole / 2);
        }
        out.Text(endX[e] + height / 2, -textHeight * 1.6, textHeight,
                 std::string("END WALL ") + (e == 0 ? "1" : "2"));
        out.Text(endX[e] + height / 2, -textHeight * 3.0, textHeight,
                 lengthText(geometry.boxDepthInch) + " x " + lengthText(geometry.groundPlaneInch));
        if (wallFeed) {
            out.Text(endX[e] + height / 2, -textHeight * 4.4, textHeight,
                     "connector " + holeText + " " + lengthText(geometry.tapInch) + " from " +
                         wallName(*fedRod[e]));
        }
    }
    // The depth at the left, the height across the first end wall, the tap beside it.
    out.Dimension(endX[0] - textHeight * 1.5, 0.0, endX[0] - textHeight * 1.5, boxDepth, textHeight,
                  lengthText(geometry.boxDepthInch));
    out.Dimension(endX[0], boxDepth + textHeight * 1.5, endX[0] + height,
                  boxDepth + textHeight * 1.5, textHeight, lengthText(geometry.groundPlaneInch));
    const double tapFrom = first.ground == GroundWall::A ? 0.0 : boxDepth;
    out.Dimension(endX[0] + height + textHeight * 1.5, tapFrom, endX[0] + height + textHeight * 1.5,
                  tapY(first), textHeight, lengthText(geometry.tapInch));
    if (wallFeed) {
        return;
    }

    // The cover feed's connectors go through a ground plane, drawn as a part of its own
    // right of the second end wall, level with the top view: inside length by depth, each
    // hole under its end rod's tap, its texts above the part where no other part stands.
    const double coverX = boxLength + 2 * gap + height;
    out.Rect("COVER", coverX, 0.0, boxLength, boxDepth);
    std::string holes;
    for (const BuildRod* rod : fedRod) {
        out.Circle("COVER", coverX + out.InUnit(rod->centreInch), tapY(*rod), connectorHole / 2);
        holes += std::string(holes.empty() ? "" : "; ") + "rod " + std::to_string(rod->number) +
                 ": " + lengthText(rod->centreInch) + " from end wall 1, " +
                 lengthText(geometry.tapInch) + " from " + wallName(*rod);
    }
    out.Text(coverX, boxDepth + textHeight * 3.8, textHeight,
             "COVER  " + lengthText(geometry.boxLengthInch) + " x " +
                 lengthText(geometry.boxDepthInch) + ", 2 connector holes " + holeText,
             0);
    out.Text(coverX, boxDepth + textHeight * 2.4, textHeight, holes, 0);
    const double tapTo = last.ground == GroundWall::A ? 0.0 : boxDepth;
    out.Dimension(coverX + boxLength + textHeight * 1.5, tapTo,
                  coverX + boxLength + textHeight * 1.5, tapY(last), textHeight,
                  lengthText(geometry.tapInch));
}

} // namespace

bool DxfDrawing(const ComputedDesign& build, LengthUnit unit, std::string& bytes,
                std::string& error)
{
    bytes.clear();
    error.clear();
    TempFile file;
    if (file.Path().empty()) {
        error = std::string("no temporary file: ") + std::strerror(file.Error());
        return false;
    }
    {
        DL_Dxf dxf;
        std::unique_ptr<DL_WriterA> dw(dxf.out(file.Path().c_str(), DL_Codes::AC1015));
        if (!dw || dw->openFailed()) {
            error = "the temporary file could not be opened";
            return false;
        }
        dxf.writeHeader(*dw);
        // Units: $INSUNITS 4 millimetres or 1 inches; $MEASUREMENT 1 metric, 0 imperial.
        const bool inch = unit == LengthUnit::Inch;
        dw->dxfString(9, "$INSUNITS");
        dw->dxfInt(70, inch ? 1 : 4);
        dw->dxfString(9, "$MEASUREMENT");
        dw->dxfInt(70, inch ? 0 : 1);
        dw->sectionEnd();
        WriteTables(dxf, *dw, build.Geometry().feed);
        dw->sectionEntities();
        DxfOut out(dxf, *dw, unit);
        WriteEntities(out, build.Geometry(), unit);
        dw->sectionEnd();
        dxf.writeObjects(*dw);
        dxf.writeObjectsEnd(*dw);
        dw->dxfEOF();
        dw->close();
    }
    std::ifstream in(file.Path(), std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    if (!in.good() && !in.eof()) {
        error = "the temporary file could not be read";
        return false;
    }
    bytes = contents.str();
    // The library does not say when a write fails: a full disk or a file size limit leaves
    // a drawing cut short, which only its missing end marker tells.
    static const std::string kEnd = "\n  0\nEOF\n";
    if (bytes.size() < kEnd.size() ||
        bytes.compare(bytes.size() - kEnd.size(), kEnd.size(), kEnd) != 0) {
        bytes.clear();
        error = "the drawing could not be written in full (the disk is full or a file size "
                "limit was reached)";
        return false;
    }
    return true;
}
