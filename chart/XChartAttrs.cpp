// SPDX-License-Identifier: GPL-2.0-or-later
#include "chart/XChartAttrs.h"

#include "base/NumberReader.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// Builds the chart table; called once, from chartAttrTable().
void BuildChartTable(XChartAttrTable& t)
{
    using namespace XChartType;
    t.Add("bgColor", kColor, "black");
    t.Add("title", kStr, "No Title");
    t.Add("titleFontName", kStr, "Arial");
    t.Add("titleFontSize", kInt, "-1");
    t.Add("titleFontColor", kColor, "white");
    t.Add("titlePlace", kInt, "1");
    t.Add("chartInset", kRect, "15 15 15 15");
    t.Add("linesSelectable", kBool, "0");
    t.Add("cursorValues", kBool, "0");
    t.Add("cursorValuesPos", kPoint, "10 10");
}

void BuildLineTable(XChartAttrTable& t)
{
    using namespace XChartType;
    t.Add("lineType", kStr, "line");
    t.Add("objectType", kStr, "ellipse");
    t.Add("showLine", kBool, "1");
    t.Add("axis", kStr, "xy");
    t.Add("grid", kStr, "0");
    t.Add("fixedScaleX", kPoint, "");
    t.Add("fixedScaleY", kPoint, "");
    t.Add("dateAxisX", kBool, "0");
    t.Add("dateAxisY", kBool, "0");
    t.Add("logAxisX", kBool, "0");
    t.Add("logAxisY", kBool, "0");
    t.Add("axisLenPrecentX", kDouble, "100.0");
    t.Add("axisLenPrecentY", kDouble, "100.0");
    t.Add("axisFont", kStr, "Arial");
    t.Add("axisFontSize", kInt, "100");
    t.Add("axisFontColor", kColor, "green");
    t.Add("tickLen", kInt, "6");
    t.Add("tickLableSep", kInt, "3");
    t.Add("axisSep", kInt, "3");
    t.Add("lineSelectable", kBool, "1");
    t.Add("lineEditable", kBool, "0");
    t.Add("lineZoomable", kBool, "1");
    t.Add("bgColor", kColor, "none");
    t.Add("color", kColor, "green");
    // The bar colours start as copies of the defaults they derive from, so all four are
    // "green" while the line colour keeps its own default.
    t.Add("colorPos", kColor, t.DefaultOf("color"));
    t.Add("colorPosBase", kColor, t.DefaultOf("colorPos"));
    t.Add("colorNeg", kColor, t.DefaultOf("colorPos"));
    t.Add("colorNegBase", kColor, t.DefaultOf("colorNeg"));
    t.Add("gridColor", kColor, "darkgreen");
    t.Add("lineHighColor", kColor, "green");
    t.Add("lineLowColor", kColor, "red");
    t.Add("width", kInt, "2");
    t.Add("gridWidth", kInt, "1");
    t.Add("axisWidth", kInt, "2");
    t.Add("barWidthPercent", kDouble, "100");
    t.Add("noXData", kBool, "0");
    t.Add("closePath", kBool, "0");
    t.Add("bins", kInt, "30");
    t.Add("axisLableX", kStr, "");
    t.Add("axisLableY", kStr, "");
    t.Add("showAxisLableX", kBool, "1");
    t.Add("showAxisLableY", kBool, "1");
    t.Add("axisUnitX", kStr, "");
    t.Add("axisUnitY", kStr, "");
    t.Add("showAxisUnitX", kBool, "1");
    t.Add("showAxisUnitY", kBool, "1");
    t.Add("axisUnitPlaceX", kInt, "1");
    t.Add("axisUnitPlaceY", kInt, "2");
    // The line's name in the chart's legend; a chart draws a legend when a shown line has
    // one. Empty by default, so charts without legends read and write as before.
    t.Add("legend", kStr, "");
}

bool ReadWholeNumber(const ZString* text, double& value)
{
    if (text == nullptr) {
        return false;
    }
    ZStr rest;
    return ReadNumber(text->Str(), value, rest);
}

// The table that Build fills, built on first use; the function-local static makes that safe
// from any thread.
template <void (*Build)(XChartAttrTable&)> const XChartAttrTable& BuiltOnce()
{
    static const XChartAttrTable* table = [] {
        auto* t = new XChartAttrTable; // lives until the process ends
        Build(*t);
        return t;
    }();
    return *table;
}

} // namespace

// ---- Tables ------------------------------------------------------------------------------

const XChartAttrDef* XChartAttrTable::Find(ZStr name) const
{
    const int32_t* i = m_index.Lookup(name);
    return i ? &m_defs[*i] : nullptr;
}

void XChartAttrTable::Add(const char* name, const char* type, ZStr value)
{
    XChartAttrDef def;
    def.name = ZStr(name);
    def.type = ZStr(type);
    def.value.Assign(value);
    m_index.Insert(def.name, m_defs.Append(def));
}

ZStr XChartAttrTable::DefaultOf(ZStr name) const
{
    const XChartAttrDef* def = Find(name);
    return def ? def->value.Str() : ZStr("");
}

const XChartAttrTable& chartAttrTable()
{
    return BuiltOnce<BuildChartTable>();
}

const XChartAttrTable& lineAttrTable()
{
    return BuiltOnce<BuildLineTable>();
}

XColor DefaultLinePalette(int32_t n)
{
    static constexpr uint8_t kPalette[kLinePaletteSize][3] = {
        {144, 238, 144}, // lightgreen
        {255, 0, 0},     // red
        {0, 0, 255},     // blue
        {255, 255, 0},   // yellow
        {255, 0, 255},   // magenta
        {255, 192, 203}, // pink
    };
    int32_t i = n % kLinePaletteSize;
    if (i < 0) {
        i += kLinePaletteSize;
    }
    return XColor::FromRGB(kPalette[i][0], kPalette[i][1], kPalette[i][2]);
}

// ---- Store -------------------------------------------------------------------------------

XChartAttrs::XChartAttrs(const XChartAttrTable* openTo)
    : m_openTo(openTo)
{
}

void XChartAttrs::Reset(const XChartAttrTable& table)
{
    Clear();
    for (int32_t i = 0; i < table.Count(); ++i) {
        const XChartAttrDef& def = table.At(i);
        m_values.Set(def.name, def.value.Str());
        m_types.Set(def.name, def.type);
    }
    m_modified = 0;
}

void XChartAttrs::Clear()
{
    m_values.Clear();
    m_types.Clear();
    m_modified = 0;
}

void XChartAttrs::Merge(const XChartAttrs& other)
{
    for (int32_t i = 0; i < other.m_types.Capacity(); ++i) {
        if (!other.m_types.IsUsed(i)) {
            continue;
        }
        const ZStr name = other.m_types.KeyAt(i);
        const ZString* value = other.m_values.Get(name);
        m_types.Set(name, other.m_types.ValueAt(i).Str());
        m_values.Set(name, value ? value->Str() : ZStr(""));
    }
}

void XChartAttrs::SortedNames(XArray<ZStr>& names) const
{
    names.RemoveAll();
    for (int32_t i = 0; i < m_types.Capacity(); ++i) {
        if (m_types.IsUsed(i)) {
            names.Append(m_types.KeyAt(i));
        }
    }
    std::sort(names.begin(), names.end(), [](ZStr a, ZStr b) { return a.Compare(b) < 0; });
}

bool XChartAttrs::Set(ZStr name, ZStr text, ZStr type)
{
    if (!Has(name)) {
        const XChartAttrDef* def = m_openTo ? m_openTo->Find(name) : nullptr;
        if (def == nullptr) {
            return false;
        }
        // A store opened to a table takes the table's type for a name it did not hold.
        type = def->type;
    }
    m_values.Set(name, text);
    m_types.Set(name, type);
    m_modified = 1;
    return true;
}

void XChartAttrs::Define(ZStr name, ZStr text, ZStr type)
{
    m_values.Set(name, text);
    m_types.Set(name, type);
    m_modified = 1;
}

ZStr XChartAttrs::Encode(bool value, ZString& text)
{
    BoolText(value, text);
    return XChartType::kBool;
}

ZStr XChartAttrs::Encode(int32_t value, ZString& text)
{
    IntText(value, text);
    return XChartType::kInt;
}

ZStr XChartAttrs::Encode(double value, ZString& text)
{
    DoubleText(value, text);
    return XChartType::kDouble;
}

ZStr XChartAttrs::Encode(const NXPoint& value, ZString& text)
{
    value.ToText(text);
    return XChartType::kPoint;
}

ZStr XChartAttrs::Encode(const NXRect& value, ZString& text)
{
    value.ToText(text, RectText::Numbers);
    return XChartType::kRect;
}

ZStr XChartAttrs::Encode(const XColor& value, ZString& text)
{
    value.ToText(text);
    return XChartType::kColor;
}

ZString XChartAttrs::GetStr(ZStr name) const
{
    const ZString* v = m_values.Get(name);
    return v ? *v : ZString("");
}

bool XChartAttrs::GetBool(ZStr name, bool def) const
{
    double v = 0.0;
    if (!ReadWholeNumber(m_values.Get(name), v)) {
        return def;
    }
    return v != 0.0;
}

int32_t XChartAttrs::GetInt(ZStr name, int32_t def) const
{
    double v = 0.0;
    if (!ReadWholeNumber(m_values.Get(name), v) || std::isnan(v)) {
        return def;
    }
    v = std::trunc(v);
    if (v >= 2147483647.0) {
        return INT32_MAX;
    }
    if (v <= -2147483648.0) {
        return INT32_MIN;
    }
    return int32_t(v);
}

double XChartAttrs::GetDouble(ZStr name, double def) const
{
    double v = 0.0;
    return ReadWholeNumber(m_values.Get(name), v) ? v : def;
}

bool XChartAttrs::GetPoint(ZStr name, NXPoint& out) const
{
    const ZString* v = m_values.Get(name);
    if (v == nullptr || v->Str().Trim().IsEmpty()) {
        return false;
    }
    NXPoint p;
    ZStr rest;
    if (!p.FromText(v->Str(), rest)) {
        return false;
    }
    out = p;
    return true;
}

bool XChartAttrs::GetRect(ZStr name, NXRect& out) const
{
    const ZString* v = m_values.Get(name);
    if (v == nullptr) {
        return false;
    }
    NXRect r;
    ZStr rest;
    if (!r.FromText(v->Str(), rest)) {
        return false;
    }
    out = r;
    return true;
}

XColor XChartAttrs::GetColor(ZStr name, const XColor& def) const
{
    const ZString* v = m_values.Get(name);
    if (v == nullptr) {
        return def;
    }
    XColor c;
    return c.FromText(v->Str()) ? c : def;
}

void XChartAttrs::BoolText(bool value, ZString& out)
{
    out.Assign(value ? "1" : "0");
}

void XChartAttrs::IntText(int32_t value, ZString& out)
{
    out.Format("%d", int(value));
}

void XChartAttrs::DoubleText(double value, ZString& out)
{
    // The shortest of the usual precisions that reads back to the same double, so that
    // stored files show 0.1 rather than 0.10000000000000001.
    char buf[40];
    for (int digits : {15, 16, 17}) {
        std::snprintf(buf, sizeof buf, "%.*g", digits, value);
        if (std::strtod(buf, nullptr) == value || std::isnan(value)) {
            break;
        }
    }
    out.Assign(buf);
}
