// SPDX-License-Identifier: GPL-2.0-or-later
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
#include "platform/Cursor.h"
#include "platform/Geometry.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class TXMLNode;
class XChartGraphMT;
class XChartMT;
class XEvtInput;
class XChartRBMenuCB;
class XEvtMngr;
class XMenuPopUp;
class XToolTipWnd;

namespace plat {
class DrawContext;
class Window;
} // namespace plat

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
    /// Executes a command by name. The host sees it first and stops it by handling it;
    /// otherwise "DoCursorValues", "DoCopyIMG", "DoCopyXML" or "DoSaveXML" (exact,
    /// case-sensitive) runs. Returns the host's answer, the command's result, or false for
    /// an unknown name.
    virtual bool ExecCommand(ZStr name);
    /// Appends the chart's context menu entries as menu markup: the copy and save entries,
    /// then the Tools submenu with "Cursor Values". Returns true.
    virtual bool FillMenu(ZString& markup);
    /// Opens the context menu at a point of the window (client pixels): the host fills the
    /// markup (by default the chart's own entries) and, when it reports success, the menu is
    /// shown there; the chosen entry's command is executed. False when nothing was chosen or
    /// the chart has no window.
    virtual bool OpenContextMenu(NXPoint clientPt);
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

    /// Called by a line's callback: tells the observers and the host that the chart changed,
    /// and repaints the window showing it.
    void LineChanged(XChartLine& line);
    /// Called when `axis` of `line` changed its view (a zoom, a scroll, a reset): the lines
    /// that share that axis's scale through a group take the same view, so that every line
    /// read off one scale zooms and resets together.
    void AxisViewChanged(XChartLine& line, XChartAxis& axis);

    // ---- Window and interaction ----
    /// Attaches the chart to the window that shows it and to that window's event manager
    /// (null detaches it): the mouse trackers are made for the manager, the cursor-values
    /// box for the window.
    void AttachWindow(plat::Window* wnd, XEvtMngr* mngr);
    plat::Window* GetWindow() const { return m_wnd; }
    /// Marks the window showing the chart for repainting (nothing without a window).
    void RequestRepaint();
    /// Hands a mouse input of the window to the tracker it concerns: right button to the
    /// chart tracker, left button and wheel over an axis (or its zoom handle) to that axis'
    /// tracker, over the plot area to the plot-area tracker, which also follows the pointer.
    /// True when handled.
    bool RouteInput(XEvtInput& evt);
    /// The pointer the window shows at pt (client pixels); false when the chart has no
    /// opinion there (the window's own pointer stays).
    bool PointerAt(NXPoint pt, plat::Cursor& cursor);
    /// Draws what a gesture in progress shows over the chart: the rubber band, or the
    /// interval being dragged along an axis.
    void PaintFeedback(plat::DrawContext& dc);
    XChartMT* GetChartMT() const { return m_chartMT.get(); }
    XChartGraphMT* GetGraphMT() const { return m_graphMT.get(); }

    /// Copies the chart as a picture of the window's client size to the clipboard.
    bool CopyImage();
    /// Copies the chart text (tag "XCHART", name "aXChart", no indent, changed attributes
    /// only) to the clipboard.
    bool CopyXML();
    /// Asks for a file ("XChart" *.xch, "All" *.*) and writes the chart file there (tag
    /// "XCHART", name "a xchart", two blanks of indent, changed attributes only), replacing
    /// a file safely. False when cancelled (nothing is written, the file name stays) or when
    /// the file cannot be written (the user is told why).
    bool SaveXML();
    /// The folder of the last file saved (empty: the working directory).
    const ZString& GetFileFolder() const { return m_fileFolder; }

    /// Switches the cursor-values box on or off (the attribute cursorValues follows).
    void SetCursorValues(bool on);
    /// The state the next "DoCursorValues" switches to: the menu item's check mark seen by
    /// the user decides it (on when it was not checked).
    void SetCursorValuesFromMenu(bool on) { m_cursorValuesNext = on ? 1 : 0; }
    /// Makes the box agree with the attribute cursorValues (after reading or resetting).
    void RebuildCursorValues();
    /// The text of the box for a point of the window: a line per shown line, its legend text
    /// (else its name) padded to the longest, " x=" and the point's X in the line's data
    /// units, " y=" and the line's own value at that X (linear between its points; the
    /// point's Y where the data do not reach), both "%g" (six significant digits); lines
    /// separated by CR LF.
    ZString CursorValuesText(NXPoint clientPt) const;
    /// Shows the values at clientPt in the box (when it is on).
    void UpdateCursorValues(NXPoint clientPt);
    /// The cursor-values box while it is on, else null.
    XToolTipWnd* GetCursorValuesWnd() const { return m_cursorValuesWnd.get(); }

    // ---- Selection, hit tests and zoom ----
    /// The selected line, or -1.
    int32_t GetSelectedLine() const { return m_selectedLine; }
    /// Selects line (-1: none) when the chart and the line allow it (linesSelectable,
    /// lineSelectable); tells the host of a change. The selected line is drawn thicker.
    void SelectLine(int32_t line);
    /// The point nearest to pt (client pixels) within radius pixels, of any shown line: its
    /// line and row. False when there is none.
    bool HitPoint(NXPoint pt, int32_t radius, int32_t& line, int32_t& row) const;
    /// The same for one line.
    bool HitPointOf(int32_t line, NXPoint pt, int32_t radius, int32_t& row) const;
    /// The shown line whose points or segments pass within radius pixels of pt.
    bool HitLine(NXPoint pt, int32_t radius, int32_t& line) const;
    /// Zooms the X and Y axes of every shown, zoomable line to a rectangle of pixels.
    void ZoomToRect(const plat::Rect& r);

private:
    void LayoutAxes(plat::DrawContext& dc, const plat::Rect& area);
    void AssignRanges();
    void DrawTitle(plat::DrawContext& dc, const plat::Rect& area);
    /// Draws the legend of the shown lines that carry a "legend" text.
    void DrawLegend(plat::DrawContext& dc);
    /// The title box in area, with the title's lines and line height.
    plat::Rect LayoutTitle(plat::DrawContext& dc, const plat::Rect& area,
                           std::vector<std::string>& lines, int32_t& lineHeight);
    /// The plot area p made to leave room for a title at the top or bottom edge of area.
    plat::Rect TitleRoom(plat::DrawContext& dc, const plat::Rect& area, const plat::Rect& p);
    void ReadGroups(const TXMLNode& element, ZStr attribute, XChartGroup kind);
    void WriteGroups(ZString& out, ZStr indent, ZStr attribute, XChartGroup kind) const;

    XChartAttrs m_attrs;
    XChartAttrs m_lineDefaults;
    XChartLineList m_lines;
    XArray<XIntArray, false> m_groups[2];
    bool m_show = true;
    XChartCB* m_host;
    XChartChartLineCB m_lineCB;
    bool m_syncingViews = false; ///< a group's views are being set from one of its axes
    ZString m_fileName;
    ZString m_filePattern{"*.xch"};
    plat::Rect m_plotRect;
    plat::Rect m_titleRect;
    std::mutex m_paintLock;
    bool m_painting = false;

    plat::Window* m_wnd = nullptr;
    XEvtMngr* m_mngr = nullptr;
    std::unique_ptr<XChartMT> m_chartMT;
    std::unique_ptr<XChartGraphMT> m_graphMT;
    std::unique_ptr<XMenuPopUp> m_menu;
    std::unique_ptr<XChartRBMenuCB> m_menuCB;
    std::unique_ptr<XToolTipWnd> m_cursorValuesWnd;
    int32_t m_cursorValuesNext = -1; ///< from the menu: 1 on, 0 off, -1 switch over
    ZString m_fileFolder;
    int32_t m_selectedLine = -1;
};
