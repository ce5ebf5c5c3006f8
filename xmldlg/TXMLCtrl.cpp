// SPDX-License-Identifier: GPL-2.0-or-later
#include "xmldlg/TXMLCtrl.h"

#include "base/NumberReader.h"
#include "base/XColor.h"
#include "chart/XChart.h"
#include "chart/XChartWnd.h"
#include "xml/TXMLNode.h"
#include "xmldlg/TXMLDlg.h"
#include "xmldlg/XDrawObjWnd.h"
#include "xmldlg/XTabCtrlWnd.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// Sizes beyond this are not dialogs any more; arbitrary markup is kept drawable.
constexpr double kMaxCtrlSize = 32000.0;

void SplitItems(ZStr text, XArray<ZStr, true>& items)
{
    ZStr rest = text;
    while (true) {
        ZStr item;
        const bool more = rest.Split("|", item, rest);
        items.Append(item);
        if (!more) {
            break;
        }
    }
}

double Clamp(double v)
{
    return v != v ? 0.0 : std::clamp(v, 0.0, kMaxCtrlSize);
}

} // namespace

TXMLCtrlType CtrlTypeOf(ZStr name)
{
    static const struct
    {
        const char* name;
        TXMLCtrlType type;
    } kTypes[] = {
        {"EDIT", TXMLCtrlType::Edit},       {"DRAWOBJ", TXMLCtrlType::DrawObj},
        {"BUTTON", TXMLCtrlType::Button},   {"CHECK", TXMLCtrlType::Check},
        {"LISTBOX", TXMLCtrlType::ListBox}, {"DROPDOWN", TXMLCtrlType::DropDown},
        {"TXMLDLG", TXMLCtrlType::XMLDlg},  {"TABCTRL", TXMLCtrlType::TabCtrl},
        {"XCHART", TXMLCtrlType::Chart},
    };
    for (const auto& t : kTypes) {
        if (name == ZStr(t.name)) {
            return t.type;
        }
    }
    return TXMLCtrlType::Other;
}

uint32_t EditStyleOf(const TXMLNode& node)
{
    uint32_t style = plat::ControlStyle::kAutoHScroll;
    ZString v;
    node.GetAttribute("align", v, "left");
    if (v == "center") {
        style |= plat::ControlStyle::kCenter;
    } else if (v == "right") {
        style |= plat::ControlStyle::kRight;
    }
    // Only the word "false" leaves the field writable.
    if (node.GetAttribute("readOnly", v) && v != "false") {
        style |= plat::ControlStyle::kReadOnly;
    }
    return style;
}

TXMLCtrl::~TXMLCtrl()
{
    if (native && host && host->IsCreated()) {
        host->RemoveControl(id);
    }
}

TXMLCtrlFactory::TXMLCtrlFactory()
{
    const CtrlInfo table[] = {
        {"EDIT", {8, 8}, {-10, -1}, {12, 8}, 1},
        {"BUTTON", {8, 8}, {-5, -1}, {12, 8}, 1},
        {"CHECK", {8, 8}, {-10, -1}, {23, 4}, 1},
        {"DROPDOWN", {8, 8}, {-10, -1}, {12, 8}, 1},
        {"LISTBOX", {8, 8}, {-10, -4}, {4, 4}, 0},
        {"DRAWOBJ", {110, 32}, {110, 32}, {12, 8}, 1},
        {"TABCTRL", {250, 200}, {250, 200}, {0, 0}, 0},
        {"TXMLDLG", {300, 200}, {300, 200}, {0, 0}, 0},
        {"XCHART", {300, 200}, {300, 200}, {0, 0}, 0},
    };
    for (const CtrlInfo& info : table) {
        m_info.Insert(info.type, info);
    }
    m_other = CtrlInfo{"<?>", {300, 200}, {300, 200}, {0, 0}, 0};
}

const CtrlInfo& TXMLCtrlFactory::Info(ZStr type) const
{
    const CtrlInfo* info = m_info.Lookup(type);
    return info ? *info : m_other;
}

bool TXMLCtrlFactory::MeasureCtrl(plat::DrawContext& dc, const TXMLNode& ele, ZStr type, ZStr text,
                                  NXRect& rect, NXRect& listRect, bool& autoSize,
                                  TXMLBinder* binder)
{
    const CtrlInfo& info = Info(type);
    const bool dropDown = type == ZStr("DROPDOWN");
    const plat::Size cell = dc.GetTextExtent("Q");
    const double cw = cell.cx;
    const double ch = cell.cy;
    rect = NXRect{10.0, 10.0, 0.0, 0.0};
    autoSize = true;
    ZString v;
    ZStr rest;
    NXSize size;
    double closed = -1.0;
    if (ele.GetAttribute("size", v) && size.FromText(v.Str(), rest)) {
        autoSize = false;
    } else if (ele.GetAttribute("sizeChars", v, "", TXMLDecode::Raw, binder) &&
               size.FromText(v.Str(), rest)) {
        size.width = RoundHalfAway(Clamp(size.width) * cw + info.addSpace.width);
        size.height =
            RoundHalfAway((Clamp(size.height) + (dropDown ? 1 : 0)) * ch + info.addSpace.height);
    } else {
        ZString w;
        ZString h;
        ZString fit;
        const bool hasW = ele.GetAttribute("width", w, "default");
        const bool hasH = ele.GetAttribute("height", h, "default");
        const bool hasFit = ele.GetAttribute("sizeToContent", fit);
        const bool fitX = hasFit && fit.Str().FindChar('x') >= 0;
        const bool fitY = hasFit && fit.Str().FindChar('y') >= 0;
        NXSize ext;
        if (info.measureText || hasFit) {
            // A list's width is that of its widest item.
            XArray<ZStr, true> items;
            if (dropDown || type == ZStr("LISTBOX")) {
                SplitItems(text, items);
            } else {
                items.Append(text);
            }
            for (const ZStr& item : items) {
                const plat::Size s = dc.GetTextExtent(std::string(item.ptr, size_t(item.len)));
                ext.width = std::max(ext.width, double(s.cx));
                ext.height = std::max(ext.height, double(s.cy));
            }
        }
        const double defW = info.defSize.width < 0 ? -info.defSize.width * cw : info.defSize.width;
        const double defH =
            info.defSize.height < 0 ? -info.defSize.height * ch : info.defSize.height;
        if (w != "default") {
            size.width = TextToInt(w.Text());
        } else {
            size.width = RoundHalfAway(
                std::max((fitX ? ext.width : std::max(defW, ext.width)) + info.addSpace.width,
                         info.minSize.width));
        }
        if (h != "default") {
            size.height = TextToInt(h.Text());
        } else {
            size.height = RoundHalfAway(
                std::max((fitY ? ext.height : std::max(defH, ext.height)) + info.addSpace.height,
                         info.minSize.height));
        }
        autoSize = !(hasW && hasH && w != "default" && h != "default");
        closed = RoundHalfAway(std::max(ext.height, ch) + info.addSpace.height);
    }
    rect.width = Clamp(size.width);
    rect.height = Clamp(size.height);
    listRect = rect;
    if (dropDown) {
        // The measured height is the open list; the box itself is one line high.
        rect.height = closed >= 0 ? closed : RoundHalfAway(ch + info.addSpace.height);
    }
    return true;
}

bool TXMLCtrlFactory::CreateCtrl(TXMLDlg& dlg, TXMLCtrl& ctrl, plat::Window& parent, int32_t id,
                                 plat::Window*& out)
{
    out = nullptr;
    const TXMLNode* node = ctrl.node;
    if (!node) {
        return false;
    }
    NXRect r = ctrl.placed;
    r.x -= dlg.GetScrollOffset().x;
    r.y -= dlg.GetScrollOffset().y;
    const plat::Rect rect = r.ToIntRect();
    plat::ControlTemplate t;
    t.id = id;
    t.rect = rect;
    t.text = ctrl.text.Text();
    t.style = ctrl.visible ? 0 : plat::ControlStyle::kHidden;
    ZString v;
    bool list = false;
    switch (ctrl.kind) {
    case TXMLCtrlType::Edit:
        t.kind = plat::ControlKind::Edit;
        t.style |= EditStyleOf(*node);
        break;
    case TXMLCtrlType::Button:
        t.kind = plat::ControlKind::Button;
        break;
    case TXMLCtrlType::Check:
        t.kind = plat::ControlKind::CheckBox;
        break;
    case TXMLCtrlType::ListBox: {
        t.kind = plat::ControlKind::ListBox;
        t.style |= plat::ControlStyle::kVScroll;
        int multi = 0;
        node->GetIntAttribute("multiLineSel", multi, 0);
        ctrl.multiSel = multi != 0;
        if (ctrl.multiSel) {
            t.style |= plat::ControlStyle::kExtendedSel;
        }
        t.text.clear();
        list = true;
        break;
    }
    case TXMLCtrlType::DropDown: {
        int edit = 0;
        node->GetIntAttribute("dropEdit", edit, 0);
        t.kind = edit ? plat::ControlKind::DropDownEdit : plat::ControlKind::DropDownList;
        t.style |= plat::ControlStyle::kVScroll;
        t.text.clear();
        list = true;
        break;
    }
    case TXMLCtrlType::DrawObj: {
        auto wnd = std::make_unique<XDrawObjWnd>();
        node->GetAttribute("drawType", v, "String");
        wnd->SetDrawType(v.Str());
        node->GetAttribute("border", v, "non");
        wnd->SetBorder(v.Str());
        wnd->SetValue(ctrl.text.Str());
        wnd->SetFont(ctrl.font);
        if (!wnd->CreateChild(parent, rect, ctrl.visible ? plat::WindowStyle::kVisible : 0, id)) {
            return false;
        }
        out = wnd.get();
        ctrl.wnd = std::move(wnd);
        return true;
    }
    case TXMLCtrlType::XMLDlg: {
        auto nested = std::make_unique<TXMLDlg>();
        nested->SetMarkup(ctrl.text.Str());
        node->GetAttribute("editMode", v, "none");
        if (!nested->CreateChild(parent, ctrl.visible)) {
            return false;
        }
        nested->SetEditMode(v == "full"      ? TXMLDlgEditMode::Full
                            : v == "partial" ? TXMLDlgEditMode::Partial
                                             : TXMLDlgEditMode::None);
        nested->Move(rect);
        out = nested.get();
        ctrl.wnd = std::move(nested);
        return true;
    }
    case TXMLCtrlType::TabCtrl: {
        auto wnd = std::make_unique<XTabCtrlWnd>();
        wnd->SetFont(ctrl.font);
        if (!wnd->CreateChild(parent, rect,
                              plat::WindowStyle::kBorder |
                                  (ctrl.visible ? plat::WindowStyle::kVisible : 0),
                              id)) {
            return false;
        }
        wnd->SetText(ctrl.text.Str());
        out = wnd.get();
        ctrl.wnd = std::move(wnd);
        return true;
    }
    case TXMLCtrlType::Chart: {
        auto wnd = std::make_unique<XChartWnd>();
        XChart& chart = wnd->Chart();
        // Every attribute of the element the chart knows becomes the chart's attribute.
        for (const TXMLAttribute& a : node->GetAttributes()) {
            if (const ZString* type = chart.Attrs().Type(a.name)) {
                chart.Attrs().Set(a.name, a.value, type->Str());
            }
        }
        if (!wnd->CreateChild(parent, rect,
                              plat::WindowStyle::kBorder |
                                  (ctrl.visible ? plat::WindowStyle::kVisible : 0),
                              id)) {
            return false;
        }
        out = wnd.get();
        ctrl.wnd = std::move(wnd);
        return true;
    }
    case TXMLCtrlType::Other:
        return false;
    }
    if (!dlg.AddControl(t)) {
        return false;
    }
    ctrl.native = true;
    ctrl.host = &dlg;
    if (list && !ctrl.text.IsEmpty()) {
        XArray<ZStr, true> items;
        SplitItems(ctrl.text.Str(), items);
        for (const ZStr& item : items) {
            dlg.AddString(id, std::string(item.ptr, size_t(item.len)));
        }
    }
    return true;
}
