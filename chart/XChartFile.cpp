// SPDX-License-Identifier: GPL-2.0-or-later
// The chart file: reading a chart from an XCHART element and writing it as XML text.

#include "chart/XChart.h"
#include "chart/XChartData.h"
#include "xml/TXML.h"
#include "xml/TXMLNode.h"

#include <algorithm>
#include <cstring>

namespace {

// A chart text grows by a row at a time; with the string's usual fixed step every row would
// copy the whole text again, and a chart of 100,000 points would take minutes. While the
// chart is written the text grows by its own length instead, and gets its step back after.
class GrowInProportion
{
public:
    explicit GrowInProportion(ZString& out)
        : m_out(out)
        , m_step(out.GrowthStep())
    {
        m_out.SetGrowthStep(-10);
    }
    ~GrowInProportion() { m_out.SetGrowthStep(m_step); }
    GrowInProportion(const GrowInProportion&) = delete;
    GrowInProportion& operator=(const GrowInProportion&) = delete;

private:
    ZString& m_out;
    int32_t m_step;
};

constexpr const char* kCrLf = "\r\n";
constexpr const char* kIndentStep = "     "; // five blanks, one nesting level

// Characters the XML writer escapes in any value, plus those given: "&#x" two hex digits
// ";" as the reader's decoding expects.
void AppendEscapedExtra(ZString& out, ZStr text, const char* extra)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        const bool special = c == '"' || c == '&' || c == '<' || c < 0x20 || c == 0x7F ||
                             (c != 0 && std::strchr(extra, ch) != nullptr);
        if (!special) {
            out.Append(ch);
            continue;
        }
        const char ref[6] = {'&', '#', 'x', kHex[c >> 4], kHex[c & 15], ';'};
        out.Append(ref, 6);
    }
}

// A value written in single quotes: an apostrophe would end it and a backslash before the
// closing quote would hide it from the reader, so both are escaped too.
void AppendSingleQuoted(ZString& out, ZStr text)
{
    out.Append('\'');
    AppendEscapedExtra(out, text, "'\\");
    out.Append('\'');
}

// A name inside a list value (groups, path names), where blanks and ";" separate the names.
void AppendListName(ZString& out, ZStr text)
{
    AppendEscapedExtra(out, text, " ;\\");
}

ZString Decoded(ZStr raw)
{
    ZString out;
    TXML::Decode(raw, out);
    return out;
}

// Splits text at sep into non-empty parts (views of text). A character reference ("&#x3B;")
// ends with ";" but belongs to the name it stands in, so it does not split.
void SplitList(ZStr text, char sep, XArray<ZStr>& parts)
{
    parts.RemoveAll();
    int32_t start = 0;
    int32_t i = 0;
    while (i <= text.len) {
        if (i < text.len && text.ptr[i] == '&' && i + 1 < text.len && text.ptr[i + 1] == '#') {
            const int32_t end = text.FindChar(';', i);
            if (end > i) {
                i = end + 1;
                continue;
            }
        }
        if (i == text.len || text.ptr[i] == sep) {
            if (i > start) {
                parts.Append(ZStr(text.ptr + start, i - start));
            }
            start = i + 1;
        }
        ++i;
    }
}

// Splits at blanks and other white space into the decoded names.
void SplitNames(ZStr text, XTextArray& names)
{
    names.RemoveAll();
    int32_t i = 0;
    while (i < text.len) {
        while (i < text.len && ZStr::IsSpace(text.ptr[i])) {
            ++i;
        }
        const int32_t start = i;
        while (i < text.len && !ZStr::IsSpace(text.ptr[i])) {
            ++i;
        }
        if (i > start) {
            names.Append(Decoded(ZStr(text.ptr + start, i - start)));
        }
    }
}

// Reads attribute name of e and converts it to the text form of type, as the typed setters
// write it. False when e has no such attribute or its text is not of the type.
bool ReadTyped(const TXMLNode& e, ZStr name, ZStr type, ZString& text)
{
    ZStr raw;
    if (!e.FindAttribute(name, raw)) {
        return false;
    }
    if (type.Equals(XChartType::kBool)) {
        bool b = false;
        e.GetBoolAttribute(name, b, false);
        XChartAttrs::BoolText(b, text);
        return true;
    }
    if (type.Equals(XChartType::kInt)) {
        int v = 0;
        e.GetIntAttribute(name, v, 0);
        XChartAttrs::IntText(v, text);
        return true;
    }
    if (type.Equals(XChartType::kDouble)) {
        double v = 0.0;
        e.GetDoubleAttribute(name, v, 0.0);
        XChartAttrs::DoubleText(v, text);
        return true;
    }
    const ZString value = Decoded(raw);
    ZStr rest;
    if (type.Equals(XChartType::kColor)) {
        XColor c;
        if (!c.FromText(value, rest)) {
            return false; // not a colour: the attribute keeps what it had
        }
        c.ToText(text);
        return true;
    }
    if (type.Equals(XChartType::kPoint)) {
        NXPoint p;
        if (value.Str().Trim().IsEmpty()) {
            text.Clear(); // an empty fixed scale means automatic
            return true;
        }
        if (!p.FromText(value, rest)) {
            return false;
        }
        p.ToText(text);
        return true;
    }
    if (type.Equals(XChartType::kRect)) {
        NXRect r;
        if (!r.FromText(value, rest)) {
            return false;
        }
        r.ToText(text, RectText::Numbers);
        return true;
    }
    text = value;
    return true;
}

// The text content of an element: its text children joined by blanks. The usual single
// child is viewed where the document holds it, since a large chart's data is megabytes of
// text; joined children are kept in storage, which the view then points into.
ZStr TextContent(const TXMLNode& e, ZString& storage)
{
    TXMLNodeList texts;
    e.GetTextChildren(texts);
    if (texts.Count() == 1) {
        return texts[0]->GetValue();
    }
    storage.Clear();
    for (int32_t i = 0; i < texts.Count(); ++i) {
        if (i > 0) {
            storage.Append(' ');
        }
        storage.Append(texts[i]->GetValue());
    }
    return storage.Str();
}

bool IsSelected(const XChartAttrs& attrs, ZStr name, const XChartAttrTable& table, bool changedOnly)
{
    if (!changedOnly) {
        return true;
    }
    const XChartAttrDef* def = table.Find(name);
    if (def == nullptr) {
        return true;
    }
    const ZString* value = attrs.Value(name);
    const ZString* type = attrs.Type(name);
    return value == nullptr || type == nullptr || *value != def->value.Str() || *type != def->type;
}

void AppendAttributes(ZString& out, ZStr indent, const XChartAttrs& attrs,
                      const XChartAttrTable& table, bool changedOnly, ZStr skip)
{
    XArray<ZStr> names;
    attrs.SortedNames(names);
    for (ZStr name : names) {
        if (name.Equals(skip) || !IsSelected(attrs, name, table, changedOnly)) {
            continue;
        }
        out.Append(indent);
        out.Append(name);
        out.Append('=');
        const ZString* value = attrs.Value(name);
        TXML::AppendQuoted(out, value ? value->Str() : ZStr(""));
        out.Append(' ');
        out.Append(kCrLf);
    }
}

void AppendRow(ZString& out, const double* v, int32_t n)
{
    switch (n) {
    case 1:
        out.AppendFormat("%g;\r\n", v[0]);
        break;
    case 2:
        out.AppendFormat("%g %g;\r\n", v[0], v[1]);
        break;
    case 3:
        out.AppendFormat("%g %g %g;\r\n", v[0], v[1], v[2]);
        break;
    case 4:
        out.AppendFormat("%g %g %g %g;\r\n", v[0], v[1], v[2], v[3]);
        break;
    case 5:
        out.AppendFormat("%g %g %g %g %g;\r\n", v[0], v[1], v[2], v[3], v[4]);
        break;
    case 6:
        out.AppendFormat("%g %g %g %g %g %g;\r\n", v[0], v[1], v[2], v[3], v[4], v[5]);
        break;
    default:
        break;
    }
}

// The attributes of a line read after its colours, in the order they are read.
constexpr const char* kLineAttrOrder[] = {
    "showLine",
    "noXData",
    "bins",
    "barWidthPercent",
    "dateAxisX",
    "dateAxisY",
    "logAxisX",
    "logAxisY",
    "axis",
    "axisFont",
    "axisFontSize",
    "axisFontColor",
    "fixedScaleX",
    "fixedScaleY",
    "tickLen",
    "tickLableSep",
    "axisSep",
    "grid",
    "gridColor",
    "gridWidth",
    "axisWidth",
    "lineEditable",
    "lineSelectable",
    "lineZoomable",
    "axisLableX",
    "axisLableY",
    "showAxisLableX",
    "showAxisLableY",
    "axisUnitX",
    "axisUnitY",
    "showAxisUnitX",
    "showAxisUnitY",
    "axisUnitPlaceX",
    "axisUnitPlaceY",
    "closePath",
    // The writer writes these too when they differ from their defaults; reading them keeps
    // a saved axis length and the high-low-close colours.
    "axisLenPrecentX",
    "axisLenPrecentY",
    "lineHighColor",
    "lineLowColor",
};

constexpr const char* kChartAttrOrder[] = {
    "title",          "bgColor",    "chartInset",      "titleFontName", "titleFontSize",
    "titleFontColor", "titlePlace", "linesSelectable", "cursorValues",  "cursorValuesPos",
};

} // namespace

// ---- Line --------------------------------------------------------------------------------

void XChartLine::ReadAttributes(const TXMLNode& e)
{
    const XChartAttrTable& table = lineAttrTable();
    ZString text;
    auto read = [&](const char* name) {
        const XChartAttrDef* def = table.Find(name);
        if (def != nullptr && ReadTyped(e, name, def->type, text)) {
            m_attrs.Set(name, text, def->type);
            return true;
        }
        return false;
    };

    if (e.GetAttribute("lineType", text, ZStr(), TXMLDecode::Decode)) {
        XChartLineType t = m_type;
        if (LineTypeFromKeyword(text, t, TimeLineKeyword::Refuse)) {
            SetLineType(t);
        }
    }
    if (m_type == XChartLineType::Object &&
        e.GetAttribute("objectType", text, ZStr(), TXMLDecode::Decode) &&
        (text == "rect" || text == "ellipse")) {
        m_attrs.SetStr("objectType", text);
    }
    read("width");
    read("bgColor");
    if (read("color")) {
        // The axes take the line's colour unless the file gives them their own below.
        m_attrs.Set("axisFontColor", m_attrs.GetStr("color"), XChartType::kColor);
    }
    if (m_type == XChartLineType::Bar || m_type == XChartLineType::Histogram ||
        m_type == XChartLineType::Object) {
        // Each bar colour falls back on the one it derives from.
        const struct
        {
            const char* name;
            const char* fallback;
        } kBarColors[] = {{"colorPos", "color"},
                          {"colorPosBase", "colorPos"},
                          {"colorNeg", "colorPos"},
                          {"colorNegBase", "colorNeg"}};
        for (const auto& bar : kBarColors) {
            if (!read(bar.name)) {
                m_attrs.Set(bar.name, m_attrs.GetStr(bar.fallback), XChartType::kColor);
            }
        }
    }
    bool editable = false;
    for (const char* name : kLineAttrOrder) {
        if (ZStr(name).Equals("lineSelectable") || ZStr(name).Equals("lineEditable")) {
            continue;
        }
        read(name);
        if (ZStr(name).Equals("axisWidth")) {
            // lineEditable and lineSelectable follow axisWidth; an editable line must be
            // selectable.
            if (read("lineEditable")) {
                editable = m_attrs.GetBool("lineEditable", false);
            }
            read("lineSelectable");
            if (editable) {
                m_attrs.SetBool("lineSelectable", true);
            }
        }
        if (ZStr(name).Equals("logAxisY")) {
            bool on = false;
            if (e.GetBoolAttribute("niceAxisStartX", on, false)) {
                SetNiceAxisStart(XChartAxis::Orientation::Horizontal, on);
            }
            if (e.GetBoolAttribute("niceAxisStartY", on, false)) {
                SetNiceAxisStart(XChartAxis::Orientation::Vertical, on);
            }
        }
    }
}

bool XChartLine::ReadXML(const TXMLNode& e, int32_t depth)
{
    ReadAttributes(e);

    bool ok = true;
    ZString format;
    e.GetAttribute("format", format, "tuples", TXMLDecode::Decode);
    const bool tuples = format == "tuples";
    ZString sepText;
    e.GetAttribute("dataLineSep", sepText, ";", TXMLDecode::Decode);
    const char sep = sepText.IsEmpty() ? ';' : sepText[0];

    ZString joined;
    const ZStr content = TextContent(e, joined);
    XChartDataTable table;
    if (!content.Trim().IsEmpty()) {
        if (!table.Parse(content, sep)) {
            ok = false; // the data stays as it was; the attributes read above stand
        }
    }
    if (!table.IsEmpty()) {
        using C = XChartColumn;
        const int32_t columns = table.ColumnCount(tuples);
        const int32_t rows = tuples ? table.RowCount() : table.MaxRowLength();
        switch (m_type) {
        case XChartLineType::Line:
        case XChartLineType::Point:
        case XChartLineType::Bar:
        case XChartLineType::Histogram:
        case XChartLineType::Object:
            if (columns == 1) {
                ok = table.Column(0, tuples, Column(C::Y)) && ok;
                XRealArray& x = Column(C::X);
                if (x.SetSize(rows)) {
                    for (int32_t i = 0; i < rows; ++i) {
                        x[i] = double(i + 1);
                    }
                } else {
                    ok = false;
                }
            } else {
                ok = table.Column(0, tuples, Column(C::X)) && ok;
                ok = table.Column(1, tuples, Column(C::Y)) && ok;
            }
            if (m_type == XChartLineType::Object) {
                // Sizes missing from the file are 0, so that every column has a value per row.
                ok = table.Column(2, tuples, Column(C::X2)) && ok;
                ok = table.Column(3, tuples, Column(C::Y2)) && ok;
            }
            break;
        case XChartLineType::DrawPath:
        case XChartLineType::HigLowClose: {
            XChartColumn cols[6];
            const int32_t n = ChartLineColumns(m_type, cols);
            for (int32_t j = 0; j < n; ++j) {
                ok = table.Column(j, tuples, Column(cols[j])) && ok;
            }
            break;
        }
        case XChartLineType::TimeLine:
            break;
        }
    }

    if (m_type == XChartLineType::DrawPath) {
        ZString names;
        if (e.GetAttribute("pathNames", names)) {
            SplitNames(names, m_pathNames);
        }
        TXMLNodeList children;
        e.GetChildElements(children, "CHARTLINE");
        for (int32_t i = 0; i < children.Count(); ++i) {
            ZString name;
            ZString def;
            def.Format("_line%d", int(m_subLines.Count() + 1));
            children[i]->GetAttribute("name", name, def, TXMLDecode::Decode);
            const int32_t index = GetOrAddSubLine(name);
            if (index < 0) {
                ok = false;
                continue;
            }
            ok = m_subLines[index]->ReadXML(*children[i], depth + 1) && ok;
        }
    }
    return ok;
}

void XChartLine::WriteXML(ZString& out, ZStr indent, ZStr name, bool changedOnly) const
{
    const GrowInProportion grow(out);
    ZString inner(indent);
    inner.Append(kIndentStep);

    out.Append(indent);
    out.Append("<CHARTLINE name=");
    AppendSingleQuoted(out, name);
    out.Append(" lineType=");
    out.Append(LineTypeKeyword(m_type));
    out.Append(kCrLf);
    // The type stands in the start tag already.
    AppendAttributes(out, inner, m_attrs, lineAttrTable(), changedOnly, "lineType");
    if (m_type == XChartLineType::DrawPath) {
        out.Append(inner);
        out.Append("pathNames=\"");
        for (int32_t i = 0; i < m_pathNames.Count(); ++i) {
            if (i > 0) {
                out.Append(' ');
            }
            AppendListName(out, m_pathNames[i]);
        }
        out.Append('"');
        out.Append(kCrLf);
    }
    out.Append(inner);
    out.Append('>');
    out.Append(kCrLf);

    XChartColumn cols[6];
    const int32_t n = ChartLineColumns(m_type, cols);
    if (n > 0) {
        // Every point the line has is written; a column that is only stored (open values,
        // path indices) and holds fewer values is written as 0 there.
        const int32_t rows = PointCount();
        const XRealArray* data[6] = {};
        for (int32_t j = 0; j < n; ++j) {
            data[j] = &Column(cols[j]);
        }
        double v[6] = {};
        for (int32_t i = 0; i < rows; ++i) {
            for (int32_t j = 0; j < n; ++j) {
                v[j] = i < data[j]->Count() ? (*data[j])[i] : 0.0;
            }
            out.Append(inner);
            AppendRow(out, v, n);
        }
    }
    if (m_type == XChartLineType::DrawPath) {
        for (int32_t i = 0; i < m_subLines.Count(); ++i) {
            m_subLines[i]->WriteXML(out, inner, m_subLines[i]->GetName(), changedOnly);
        }
    }
    out.Append(indent);
    out.Append("</CHARTLINE>");
    out.Append(kCrLf);
}

// ---- Chart -------------------------------------------------------------------------------

bool XChart::ReadXML(const TXMLNode& e)
{
    Clear();
    bool show = true;
    e.GetBoolAttribute("show", show, true);
    m_show = show;

    const XChartAttrTable& chartTable = chartAttrTable();
    ZString text;
    for (const char* name : kChartAttrOrder) {
        const XChartAttrDef* def = chartTable.Find(name);
        if (def != nullptr && ReadTyped(e, name, def->type, text)) {
            m_attrs.Set(name, text, def->type);
        }
    }
    // Line attributes on the chart element are the defaults of every line in it. They are
    // read by type like a line's own, so that a value that is no colour or number does not
    // travel into every line (and from there into the next file).
    const XChartAttrTable& lineTable = lineAttrTable();
    for (int32_t i = 0; i < lineTable.Count(); ++i) {
        const XChartAttrDef& def = lineTable.At(i);
        if (chartTable.Find(def.name) == nullptr && ReadTyped(e, def.name, def.type, text)) {
            m_lineDefaults.Set(def.name, text, def.type);
        }
    }

    bool ok = true;
    TXMLNodeList children;
    e.GetChildElements(children, "CHARTLINE");
    for (int32_t i = 0; i < children.Count(); ++i) {
        ZString name;
        ZString def;
        def.Format("_line%d", int(LineCount() + 1));
        children[i]->GetAttribute("name", name, def, TXMLDecode::Decode);
        const int32_t index = GetOrAddLine(name);
        if (index < 0) {
            continue;
        }
        ok = Line(index)->ReadXML(*children[i]) && ok;
    }

    ReadGroups(e, "groupX", XChartGroup::X);
    ReadGroups(e, "groupY", XChartGroup::Y);
    ReadGroups(e, "groupXY", XChartGroup::Both);
    RebuildCursorValues();
    return ok;
}

void XChart::ReadGroups(const TXMLNode& e, ZStr attribute, XChartGroup kind)
{
    ZStr raw;
    if (!e.FindAttribute(attribute, raw)) {
        return;
    }
    XArray<ZStr> groups;
    SplitList(raw, ';', groups);
    XTextArray names;
    for (ZStr group : groups) {
        SplitNames(group, names);
        // Names that match no line are left out; the lines that remain are linked in turn.
        int32_t previous = -1;
        for (const ZString& name : names) {
            const int32_t index = FindLine(name);
            if (index < 0) {
                continue;
            }
            if (previous >= 0) {
                Link(previous, index, kind);
            }
            previous = index;
        }
    }
}

void XChart::WriteGroups(ZString& out, ZStr indent, ZStr attribute, XChartGroup kind) const
{
    const XArray<XIntArray, false>& groups = Groups(kind);
    if (groups.Count() == 0) {
        return;
    }
    out.Append(indent);
    out.Append(attribute);
    out.Append("=\"");
    for (int32_t g = 0; g < groups.Count(); ++g) {
        if (g > 0) {
            out.Append(';');
        }
        for (int32_t i = 0; i < groups[g].Count(); ++i) {
            if (i > 0) {
                out.Append(' ');
            }
            const int32_t index = groups[g][i];
            if (index >= 0 && index < LineCount()) {
                AppendListName(out, Line(index)->GetName());
            }
        }
    }
    out.Append('"');
    out.Append(kCrLf);
}

void XChart::WriteXML(ZString& out, ZStr tag, ZStr name, ZStr type, ZStr indent,
                      bool changedOnly) const
{
    const GrowInProportion grow(out);
    ZString inner(indent);
    inner.Append(kIndentStep);

    out.Append(indent);
    out.Append('<');
    out.Append(tag);
    out.Append(" name=");
    AppendSingleQuoted(out, name);
    out.Append(" type=");
    AppendSingleQuoted(out, type);
    out.Append(' ');
    out.Append(kCrLf);
    AppendAttributes(out, inner, m_attrs, chartAttrTable(), changedOnly, ZStr());
    WriteGroups(out, inner, "groupX", XChartGroup::X);
    WriteGroups(out, inner, "groupY", XChartGroup::Y);
    out.Append(inner);
    out.Append('>');
    out.Append(kCrLf);
    for (int32_t i = 0; i < LineCount(); ++i) {
        Line(i)->WriteXML(out, inner, Line(i)->GetName(), changedOnly);
    }
    out.Append(indent);
    out.Append("</");
    out.Append(tag);
    out.Append('>');
}
