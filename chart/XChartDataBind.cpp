// SPDX-License-Identifier: GPL-2.0-or-later
#include "chart/XChartDataBind.h"

#include "chart/XChart.h"
#include "chart/XChartLine.h"
#include "chart/XChartWnd.h"

#include <vector>

namespace {

std::vector<ZStr> SplitPath(ZStr path)
{
    std::vector<ZStr> parts;
    ZStr rest = path;
    while (true) {
        ZStr part;
        const bool more = rest.Split(".", part, rest);
        parts.push_back(part);
        if (!more) {
            break;
        }
    }
    return parts;
}

bool ColumnOf(ZStr key, XChartColumn& c, bool& ref)
{
    static const struct
    {
        const char* name;
        XChartColumn column;
        bool ref;
    } kColumns[] = {
        {"x", XChartColumn::X, false},    {"y", XChartColumn::Y, false},
        {"w", XChartColumn::X2, false},   {"h", XChartColumn::Y2, false},
        {"xRef", XChartColumn::X, true},  {"yRef", XChartColumn::Y, true},
        {"wRef", XChartColumn::X2, true}, {"hRef", XChartColumn::Y2, true},
    };
    for (const auto& k : kColumns) {
        if (key == ZStr(k.name)) {
            c = k.column;
            ref = k.ref;
            return true;
        }
    }
    return false;
}

} // namespace

std::unique_ptr<XDataBind> XChartDataBinder::Lookup(ZStr path)
{
    return std::make_unique<XChartDataBind>(*this, path, m_wnd);
}

bool XChartDataBind::Exchange(XDataDir dir, const XValueRef& ref)
{
    if (ref.ptr == nullptr || (ref.kind != XValueKind::Text && ref.kind != XValueKind::RealArray)) {
        return SetErrorPath("not implemented", GetPath());
    }
    const bool ok = ExchangeTarget(dir, ref);
    if (ok && dir == XDataDir::Write && m_wnd.IsCreated()) {
        m_wnd.Invalidate();
    }
    return ok;
}

bool XChartDataBind::ExchangeTarget(XDataDir dir, const XValueRef& ref)
{
    const bool read = dir == XDataDir::Read;
    const std::vector<ZStr> parts = SplitPath(GetPath());
    XChart& chart = m_wnd.Chart();
    const bool text = ref.kind == XValueKind::Text;
    if (parts.size() == 2 && parts[0] == ZStr("opt")) {
        if (!text) {
            return SetErrorPath("a chart attribute is text", GetPath());
        }
        ZString& v = *static_cast<ZString*>(ref.ptr);
        if (read) {
            const ZString* value = chart.Attrs().Value(parts[1]);
            if (!value) {
                return SetErrorPath("no such attribute", GetPath());
            }
            v = *value;
            return true;
        }
        const ZString* type = chart.Attrs().Type(parts[1]);
        return chart.Attrs().Set(parts[1], v.Str(), type ? type->Str() : XChartType::kStr)
                   ? true
                   : SetErrorPath("attribute refused", GetPath());
    }
    if (parts.size() < 3 || parts[0] != ZStr("line")) {
        return SetErrorPath("path not known", GetPath());
    }
    // Lines and sub-lines are made on a write, as the chart file makes them when read.
    int32_t index = read ? chart.FindLine(parts[1]) : chart.GetOrAddLine(parts[1]);
    if (index < 0) {
        return SetErrorPath("line not found", GetPath());
    }
    XChartLine* line = chart.Line(index);
    for (size_t i = 2; i + 1 < parts.size(); ++i) {
        const int32_t sub = read ? line->FindSubLine(parts[i]) : line->GetOrAddSubLine(parts[i]);
        if (sub < 0) {
            return SetErrorPath("line not found", GetPath());
        }
        line = line->SubLine(sub);
    }
    const ZStr key = parts.back();
    XChartColumn column = XChartColumn::X;
    bool bindRef = false;
    if (ColumnOf(key, column, bindRef)) {
        if (text) {
            return SetErrorPath("a column is an array of doubles", GetPath());
        }
        XRealArray& data = *static_cast<XRealArray*>(ref.ptr);
        if (read) {
            return ZAssign(data, line->Column(column)) ? true : SetError("out of memory");
        }
        if (bindRef) {
            return line->BindColumn(column, &data) ? true : SetErrorPath("refused", GetPath());
        }
        line->BindColumn(column, nullptr);
        return ZAssign(line->OwnColumn(column), data) ? true : SetError("out of memory");
    }
    if (!text) {
        return SetErrorPath("a line attribute is text", GetPath());
    }
    ZString& v = *static_cast<ZString*>(ref.ptr);
    if (read) {
        const ZString* value = line->Attrs().Value(key);
        if (!value) {
            return SetErrorPath("no such attribute", GetPath());
        }
        v = *value;
        return true;
    }
    const ZString* type = line->Attrs().Type(key);
    return line->SetAttr(key, v.Str(), type ? type->Str() : XChartType::kStr)
               ? true
               : SetErrorPath("attribute refused", GetPath());
}
