#pragma once

#include "base/NXGeom.h"
#include "base/StringTypeDict.h"
#include "base/XArray.h"
#include "base/XObserver.h"
#include "base/XValueRef.h"
#include "base/ZStr.h"
#include "base/ZString.h"
#include "chart/XChartAttrs.h"
#include "chart/XChartCB.h"
#include "chart/XChartLine.h"
#include "platform/Geometry.h"

#include <cstdint>
#include <memory>
#include <mutex>

class TXMLNode;

namespace plat {
class DrawContext;
}

/// The kinds of axis group two lines can be linked in.
enum class XChartGroup : int32_t {
    X = 0,
    Y = 1,
    Both = 2,
};

/// A chart: its attributes, the defaults for new lines, its lines (in insertion order; a
/// line's index is its identity in the chart), the axis groups, and the routines that read
/// and write the chart file and paint the chart into a drawing context.
///
/// The chart is an observer object: when a line reports a change, the chart notifies its
/// observers ("XObservedChanged") and its host, so that a window showing it repaints.
class XChart : public XObserver
{
public:
    XChart();
    ~XChart() override;

    // ---- Slot operations ----
    /// Reads the chart from an element (see the chart file format): the chart is cleared
    /// first. False when the data text of some line could not be read (what was read stays).
    virtual bool ReadXML(const TXMLNode& element);
    /// Restores the chart attributes, empties the file name and sets the pattern "*.xch".
    virtual void Reset();
    /// Appends the chart as XML: start tag with name and type in single quotes, the chart
    /// attributes (with changedOnly, only those that differ from chartAttrTable), the groups,
    /// each line, the end tag (without a line end). indent is the text of blanks before the
    /// tags.
    virtual void WriteXML(ZString& out, ZStr tag, ZStr name, ZStr type, ZStr indent,
                          bool changedOnly) const;
    /// Removes all lines and restores the attributes; the pattern becomes "*.xch".
    virtual void Clear();
    /// Appends the chart's context menu entries as menu markup: the copy and save entries,
    /// then the Tools submenu with "Cursor Values". Returns true.
    virtual bool FillMenu(ZString& markup);
    /// Appends a separator, "Copy Img", "Copy XML", "Save XML" and a separator.
    virtual void AddCopySaveEntries(ZString& markup);
    /// Appends a separator and the "Tools" submenu with "Cursor Values", checked when the
    /// cursorValues attribute is true.
    virtual void AddCursorValuesEntry(ZString& markup);
    /// The host callback: the one set with SetHost, else a shared instance doing nothing.
    virtual XChartCB* GetHost() { return m_host; }

    /// Sets the host callback (not owned; it must outlive the chart or be reset to null).
    void SetHost(XChartCB* host) { m_host = host ? host : &XChartCB::Default(); }

    // ---- Attributes ----
    XChartAttrs& Attrs() { return m_attrs; }
    const XChartAttrs& Attrs() const { return m_attrs; }
    /// The defaults copied into every new line (open to the names of lineAttrTable).
    XChartAttrs& LineDefaults() { return m_lineDefaults; }
    const XChartAttrs& LineDefaults() const { return m_lineDefaults; }
    /// Replaces the chart attributes by chartAttrTable and empties the line defaults.
    void ResetAttributes();

    bool GetShow() const { return m_show; }
    void SetShow(bool show) { m_show = show; }
    const ZString& GetFileName() const { return m_fileName; }
    void SetFileName(ZStr name) { m_fileName.Assign(name); }
    const ZString& GetFilePattern() const { return m_filePattern; }

    // ---- Lines ----
    int32_t LineCount() const { return m_lines.Count(); }
    /// The line at index (0 to LineCount() - 1).
    XChartLine* Line(int32_t index) const { return m_lines[index]; }
    /// The index of the line called name, or -1.
    int32_t FindLine(ZStr name) const;
    /// The index of the line called name. A new line starts from lineAttrTable with the line
    /// defaults copied over it; without a colour among the defaults it takes the palette
    /// colour of its number (lightgreen, red, blue, yellow, magenta, pink, lightgreen, ...).
    int32_t GetOrAddLine(ZStr name);
    /// Destroys every line and empties the groups.
    void RemoveAllLines();

    // ---- Groups ----
    /// Links lines a and b: the group of that kind holding a (a new one when there is none)
    /// gets b unless it holds it already. Both links into X and Y groups. False for an index
    /// that is no line.
    bool Link(int32_t a, int32_t b, XChartGroup kind);
    /// The X (kind X) or Y (kind Y) groups: each a list of line indices.
    const XArray<XIntArray, false>& Groups(XChartGroup kind) const;

    // ---- Painting ----
    /// Paints the chart into area (pixels) of dc: background, each line's data in the plot
    /// area, the title and each line's axes. Layout, ranges and scales are recomputed on
    /// every paint. A paint started while another runs (from a callback) does nothing.
    void Paint(plat::DrawContext& dc, const NXRect& area);
    /// The plot area of the last paint (where the data is drawn).
    const plat::Rect& GetPlotRect() const { return m_plotRect; }
    /// The title box of the last paint.
    const plat::Rect& GetTitleRect() const { return m_titleRect; }
    /// The font size of the title (tenths of a point) for a chart height: titleFontSize, or
    /// 2/7 of the height when that is negative; at least 80 and at most 10000 (1000 points).
    int32_t TitleFontSize(int32_t chartHeight) const;

    /// Called by a line's callback: tells the observers and the host that the chart changed.
    void LineChanged(XChartLine& line);

private:
    void LayoutAxes(plat::DrawContext& dc, const plat::Rect& area);
    void AssignRanges();
    void DrawTitle(plat::DrawContext& dc, const plat::Rect& area);
    void ReadGroups(const TXMLNode& element, ZStr attribute, XChartGroup kind);
    void WriteGroups(ZString& out, ZStr indent, ZStr attribute, XChartGroup kind) const;

    XChartAttrs m_attrs;
    XChartAttrs m_lineDefaults;
    XChartLineList m_lines;
    XArray<XIntArray, false> m_groups[2];
    bool m_show = true;
    XChartCB* m_host;
    XChartChartLineCB m_lineCB;
    ZString m_fileName;
    ZString m_filePattern{"*.xch"};
    plat::Rect m_plotRect;
    plat::Rect m_titleRect;
    std::mutex m_paintLock;
    bool m_painting = false;
};
