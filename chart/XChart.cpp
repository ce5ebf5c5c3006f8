// SPDX-License-Identifier: GPL-2.0-or-later
#include "chart/XChart.h"

#include "base/XEvt.h"
#include "base/XToolTipWnd.h"
#include "chart/XChartMT.h"
#include "menu/XMenuPopUp.h"

// ---- Callbacks ---------------------------------------------------------------------------

bool XChartCB::FillMenu(XChart& chart, ZString& markup)
{
    return chart.FillMenu(markup);
}

XChartCB& XChartCB::Default()
{
    static XChartCB* instance = new XChartCB; // shared, lives until the process ends
    return *instance;
}

namespace {

class NoLineCB : public XChartLineCB
{
public:
    void LineChanged(XChartLine&) override {}
};

class NoAxisCB : public XChartAxisCB
{
public:
    void AxisChanged(XChartAxis&) override {}
};

} // namespace

XChartLineCB& XChartLineCB::None()
{
    static NoLineCB* instance = new NoLineCB; // shared, lives until the process ends
    return *instance;
}

XChartAxisCB& XChartAxisCB::None()
{
    static NoAxisCB* instance = new NoAxisCB; // shared, lives until the process ends
    return *instance;
}

void XChartChartLineCB::LineChanged(XChartLine& line)
{
    m_chart.LineChanged(line);
}

void XChartLineAxisCB::AxisChanged(XChartAxis& axis)
{
    // A changed view is a change of the line as far as its owner is concerned, and of the
    // lines grouped with it on that axis.
    if (XChart* chart = m_line.GetChart()) {
        chart->AxisViewChanged(m_line, axis);
    }
    m_line.SetChanged();
}

// ---- Chart -------------------------------------------------------------------------------

XChart::XChart()
    : m_lineDefaults(&lineAttrTable())
    , m_host(&XChartCB::Default())
    , m_lineCB(*this)
{
    m_attrs.Reset(chartAttrTable());
}

XChart::~XChart()
{
    // Lines go first: they hold callbacks into this chart.
    RemoveAllLines();
}

void XChart::Reset()
{
    ResetAttributes();
    m_fileName.Clear();
    m_filePattern.Assign("*.xch");
}

void XChart::Clear()
{
    RemoveAllLines();
    ResetAttributes();
    m_filePattern.Assign("*.xch");
}

void XChart::ResetAttributes()
{
    m_attrs.Reset(chartAttrTable());
    m_lineDefaults.Clear();
    RebuildCursorValues();
}

int32_t XChart::FindLine(ZStr name) const
{
    return m_lines.Find(name);
}

int32_t XChart::GetOrAddLine(ZStr name)
{
    return m_lines.FindOrAdd(name, [&] {
        auto line = std::make_unique<XChartLine>(name, this, m_lineCB);
        line->MergeAttributes(m_lineDefaults);
        if (!m_lineDefaults.Has("color")) {
            line->SetColor("color", DefaultLinePalette(m_lines.Count()));
        }
        return line;
    });
}

void XChart::RemoveAllLines()
{
    m_selectedLine = -1;
    m_lines.Clear();
    m_groups[0].RemoveAll();
    m_groups[1].RemoveAll();
}

bool XChart::Link(int32_t a, int32_t b, XChartGroup kind)
{
    if (a < 0 || a >= LineCount() || b < 0 || b >= LineCount()) {
        return false;
    }
    if (kind == XChartGroup::Both) {
        Link(a, b, XChartGroup::X);
        return Link(a, b, XChartGroup::Y);
    }
    XArray<XIntArray, false>& groups = m_groups[int32_t(kind)];
    int32_t g = -1;
    for (int32_t i = 0; i < groups.Count() && g < 0; ++i) {
        for (int32_t member : groups[i]) {
            if (member == a) {
                g = i;
                break;
            }
        }
    }
    if (g < 0) {
        XIntArray group;
        group.Append(a);
        g = groups.Append(group);
    }
    XIntArray& group = groups[g];
    for (int32_t member : group) {
        if (member == b) {
            return true;
        }
    }
    group.Append(b);
    return true;
}

const XArray<XIntArray, false>& XChart::Groups(XChartGroup kind) const
{
    return m_groups[kind == XChartGroup::Y ? 1 : 0];
}

void XChart::LineChanged(XChartLine&)
{
    NotifyAll(XEvtObserver(XEvtObserver::kChanged));
    m_host->ChartChanged(*this);
    RequestRepaint();
}

void XChart::AxisViewChanged(XChartLine& line, XChartAxis& axis)
{
    if (m_syncingViews) {
        return; // a view this function is setting
    }
    const bool isX = &axis == &line.AxisX();
    int32_t index = -1;
    for (int32_t i = 0; i < LineCount(); ++i) {
        if (Line(i) == &line) {
            index = i;
        }
    }
    const XChartScale& view = axis.Scale();
    m_syncingViews = true;
    for (const XIntArray& group : Groups(isX ? XChartGroup::X : XChartGroup::Y)) {
        bool member = false;
        for (int32_t k = 0; k < group.Count(); ++k) {
            member = member || group[k] == index;
        }
        for (int32_t k = 0; member && k < group.Count(); ++k) {
            XChartLine* other = group[k] == index ? nullptr : Line(group[k]);
            if (other == nullptr) {
                continue;
            }
            XChartAxis& same = isX ? static_cast<XChartAxis&>(other->AxisX()) : other->AxisY();
            if (view.zoomed) {
                same.ZoomToValues(view.viewLo, view.viewHi);
            } else {
                same.ZoomFull();
            }
        }
    }
    m_syncingViews = false;
}

// ---- Context menu ------------------------------------------------------------------------

namespace {

void AppendItem(ZString& markup, const char* text, const char* command, const char* options)
{
    markup.Append("<m s='");
    markup.Append(text);
    markup.Append("' c=");
    markup.Append(command);
    if (options[0] != 0) {
        markup.Append(" o=");
        markup.Append(options);
    }
    markup.Append(" />");
}

} // namespace

bool XChart::FillMenu(ZString& markup)
{
    AddCopySaveEntries(markup);
    AddCursorValuesEntry(markup);
    return true;
}

void XChart::AddCopySaveEntries(ZString& markup)
{
    markup.Append("<sep/>");
    AppendItem(markup, "Copy Img", "DoCopyIMG", "");
    AppendItem(markup, "Copy XML", "DoCopyXML", "");
    AppendItem(markup, "Save XML", "DoSaveXML", "");
    markup.Append("<sep/>");
}

void XChart::AddCursorValuesEntry(ZString& markup)
{
    markup.Append("<sep/>");
    markup.Append("<m s='Tools' c=noCmd>");
    AppendItem(markup, "Cursor Values", "DoCursorValues",
               m_attrs.GetBool("cursorValues", false) ? "C" : "");
    markup.Append("</m>");
}
