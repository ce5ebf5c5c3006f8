// SPDX-License-Identifier: GPL-2.0-or-later
#include "xmldlg/TXMLDlgDataBind.h"

#include "base/NumberReader.h"
#include "chart/XChartDataBind.h"
#include "chart/XChartWnd.h"
#include "xmldlg/TXMLDlg.h"
#include "xmldlg/XDrawObjWnd.h"
#include "xmldlg/XTabCtrlWnd.h"

#include <cstdlib>

TXMLDlgDataBinder::TXMLDlgDataBinder(TXMLDlg& dlg)
    : m_dlg(dlg)
{
}

TXMLDlgDataBinder::~TXMLDlgDataBinder() = default;

std::unique_ptr<XDataBind> TXMLDlgDataBinder::Lookup(ZStr path)
{
    ZStr name;
    ZStr rest;
    path.Split(".", name, rest);
    if (TXMLCtrl* ctrl = m_dlg.FindCtrl(name)) {
        if (ctrl->kind == TXMLCtrlType::Chart) {
            auto* wnd = dynamic_cast<XChartWnd*>(ctrl->wnd.get());
            if (!wnd || !wnd->IsCreated()) {
                ZString msg;
                msg.Format("Invalid Control %.*s", int(name.len), name.ptr);
                SetErrorPath(msg.Str(), path);
                return nullptr;
            }
            XChartDataBinder& chartBinder = ChartBinderOf(*ctrl, *wnd);
            std::unique_ptr<XDataBind> bind = chartBinder.Lookup(rest);
            if (!bind) {
                SetError(chartBinder.GetError().Str());
            }
            return bind;
        }
        return std::make_unique<TXMLDlgDataBind>(*this, path, m_dlg, *ctrl, rest);
    }
    for (const XData_NamedRef& r : m_dlg.GetRefs()) {
        if (r.path == name) {
            return std::make_unique<XDataBind_DataRef>(*this, path, path, r.ref);
        }
    }
    ZString msg;
    msg.Format("VarRef %.*s not found", int(name.len), name.ptr);
    SetErrorPath(msg.Str(), path);
    return nullptr;
}

XChartDataBinder& TXMLDlgDataBinder::ChartBinderOf(TXMLCtrl& ctrl, XChartWnd& wnd)
{
    for (auto& [owner, binder] : m_chartBinders) {
        if (owner == &ctrl) {
            return *binder;
        }
    }
    m_chartBinders.emplace_back(&ctrl, std::make_unique<XChartDataBinder>(wnd));
    return *m_chartBinders.back().second;
}

void TXMLDlgDataBinder::DropChartBinders()
{
    m_chartBinders.clear();
}

bool TXMLDlgDataBinder::GetVariableText(ZStr name, ZString& text)
{
    std::unique_ptr<XDataBind> bind = Lookup(name);
    return bind && bind->GetText(text);
}

namespace {

// What a control kind did with one exchange: done, failed with a reason, or not offered (the
// binding then fails with "not implemented").
struct KindResult
{
    enum State { Done, Failed, Unsupported } state = Unsupported;
    const char* reason = nullptr;
};
constexpr KindResult kDone{KindResult::Done, nullptr};
constexpr KindResult kUnsupported{KindResult::Unsupported, nullptr};
constexpr KindResult kNoWindow{KindResult::Failed, "control has no window"};

plat::Dialog* HostOf(const TXMLCtrl& ctrl)
{
    return ctrl.native ? ctrl.host : nullptr;
}

// An integer value moved as decimal text: read saturated at the int range, written with "%d".
template <class IntExchange>
KindResult TextThroughInt(XDataDir dir, ZString& v, IntExchange exchangeInt)
{
    int32_t n = dir == XDataDir::Read ? 0 : TextToInt(v.Text());
    const KindResult r = exchangeInt(n);
    if (r.state == KindResult::Done && dir == XDataDir::Read) {
        v.Format("%d", n);
    }
    return r;
}

// Decimal text moved as an integer: written with "%d", read saturated at the int range.
template <class TextExchange>
KindResult IntThroughText(XDataDir dir, int32_t& v, TextExchange exchangeText)
{
    ZString text;
    if (dir == XDataDir::Write) {
        text.Format("%d", v);
    }
    const KindResult r = exchangeText(text);
    if (r.state == KindResult::Done && dir == XDataDir::Read) {
        v = TextToInt(text.Text());
    }
    return r;
}

// The values of one kind of control, as the table of control values gives them: one class per
// kind, each offering the properties its kind has. "enable" belongs to every kind and is
// handled by the binding itself.
class KindValues
{
public:
    virtual ~KindValues() = default;
    virtual KindResult Int(TXMLCtrl&, ZStr /*property*/, XDataDir, int32_t&) const
    {
        return kUnsupported;
    }
    virtual KindResult Text(TXMLCtrl&, ZStr /*property*/, XDataDir, ZString&) const
    {
        return kUnsupported;
    }
    virtual KindResult IntList(TXMLCtrl&, ZStr /*property*/, XDataDir, XIntArray&) const
    {
        return kUnsupported;
    }
    virtual KindResult TextList(TXMLCtrl&, ZStr /*property*/, XDataDir, XTextArray&) const
    {
        return kUnsupported;
    }
    virtual KindResult RealList(TXMLCtrl&, ZStr /*property*/, XDataDir, XRealArray&) const
    {
        return kUnsupported;
    }
    /// Whether the main value is text, so that a real goes through atof and "%g".
    virtual bool TextualMainValue() const { return false; }
};

// EDIT and BUTTON: the window text; "sel" is its integer value as decimal text.
class EditValues final : public KindValues
{
public:
    KindResult Int(TXMLCtrl& c, ZStr property, XDataDir dir, int32_t& v) const override
    {
        if (!property.IsEmpty() && property != "sel") {
            return kUnsupported;
        }
        return IntThroughText(dir, v, [&](ZString& text) { return Text(c, ZStr(), dir, text); });
    }
    KindResult Text(TXMLCtrl& c, ZStr property, XDataDir dir, ZString& v) const override
    {
        if (property == "sel") {
            return TextThroughInt(dir, v, [&](int32_t& n) { return Int(c, property, dir, n); });
        }
        if (!property.IsEmpty()) {
            return kUnsupported;
        }
        if (dir == XDataDir::Read) {
            v = WindowText(c);
        } else {
            SetWindowText(c, v);
        }
        return kDone;
    }
    bool TextualMainValue() const override { return true; }

private:
    // Before the control exists its record holds the text.
    static ZString WindowText(const TXMLCtrl& c)
    {
        const plat::Dialog* host = HostOf(c);
        return host ? ZString(host->GetText(c.id).c_str()) : c.text;
    }
    static void SetWindowText(TXMLCtrl& c, const ZString& text)
    {
        c.text = text;
        if (plat::Dialog* host = HostOf(c)) {
            host->SetText(c.id, text.Text());
        }
    }
};

// CHECK: the check state, also under "sel".
class CheckValues final : public KindValues
{
public:
    KindResult Int(TXMLCtrl& c, ZStr property, XDataDir dir, int32_t& v) const override
    {
        if (!property.IsEmpty() && property != "sel") {
            return kUnsupported;
        }
        plat::Dialog* host = HostOf(c);
        if (!host) {
            return kNoWindow;
        }
        if (dir == XDataDir::Read) {
            v = host->GetCheck(c.id);
        } else {
            host->SetCheck(c.id, v != 0 ? 1 : 0);
        }
        return kDone;
    }
    KindResult Text(TXMLCtrl& c, ZStr property, XDataDir dir, ZString& v) const override
    {
        if (!property.IsEmpty() && property != "sel") {
            return kUnsupported;
        }
        return TextThroughInt(dir, v, [&](int32_t& n) { return Int(c, property, dir, n); });
    }
};

// LISTBOX and DROPDOWN: "curSel" (the main value too) as the selected index or its item's
// text, the items as a list of texts; a DROPDOWN's "edit" is the text of its edit part, a
// LISTBOX's selection also a list of indices.
class ListValues final : public KindValues
{
public:
    explicit ListValues(bool dropDown)
        : m_dropDown(dropDown)
    {
    }
    KindResult Int(TXMLCtrl& c, ZStr property, XDataDir dir, int32_t& v) const override
    {
        if (!property.IsEmpty() && property != "curSel") {
            return kUnsupported;
        }
        plat::Dialog* host = HostOf(c);
        if (!host) {
            return kNoWindow;
        }
        if (dir == XDataDir::Read) {
            v = Selected(c, *host);
        } else if (c.multiSel) {
            for (int i = 0; i < host->GetCount(c.id); ++i) {
                host->SetSel(c.id, i, i == v);
            }
        } else {
            host->SetCurSel(c.id, v);
        }
        return kDone;
    }
    KindResult Text(TXMLCtrl& c, ZStr property, XDataDir dir, ZString& v) const override
    {
        const bool edit = m_dropDown && property == "edit";
        if (!edit && !property.IsEmpty() && property != "curSel") {
            return kUnsupported;
        }
        plat::Dialog* host = HostOf(c);
        if (!host) {
            return kNoWindow;
        }
        if (edit) {
            if (dir == XDataDir::Read) {
                v = host->GetText(c.id).c_str();
            } else {
                host->SetText(c.id, v.Text());
            }
            return kDone;
        }
        if (dir == XDataDir::Read) {
            const int sel = Selected(c, *host);
            v = sel >= 0 ? host->GetItemText(c.id, sel).c_str() : "";
            return kDone;
        }
        for (int i = 0; i < host->GetCount(c.id); ++i) {
            if (host->GetItemText(c.id, i) == v.Text()) {
                if (c.multiSel) {
                    host->SetSel(c.id, i, true);
                } else {
                    host->SetCurSel(c.id, i);
                }
                return kDone;
            }
        }
        return {KindResult::Failed, "no such item"};
    }
    KindResult IntList(TXMLCtrl& c, ZStr property, XDataDir dir, XIntArray& v) const override
    {
        if (m_dropDown || (!property.IsEmpty() && property != "curSel")) {
            return kUnsupported;
        }
        plat::Dialog* host = HostOf(c);
        if (!host) {
            return kNoWindow;
        }
        if (dir == XDataDir::Read) {
            v.RemoveAll();
            if (c.multiSel) {
                for (int i : host->GetSelItems(c.id)) {
                    v.Append(i);
                }
            } else if (host->GetCurSel(c.id) >= 0) {
                v.Append(host->GetCurSel(c.id));
            }
            return kDone;
        }
        for (int i = 0; i < host->GetCount(c.id); ++i) {
            bool on = false;
            for (int32_t k = 0; k < v.Count(); ++k) {
                on = on || v[k] == i;
            }
            if (c.multiSel) {
                host->SetSel(c.id, i, on);
            } else if (on) {
                host->SetCurSel(c.id, i);
            }
        }
        return kDone;
    }
    KindResult TextList(TXMLCtrl& c, ZStr property, XDataDir dir, XTextArray& v) const override
    {
        if (!property.IsEmpty()) {
            return kUnsupported;
        }
        plat::Dialog* host = HostOf(c);
        if (!host) {
            return kNoWindow;
        }
        if (dir == XDataDir::Read) {
            v.RemoveAll();
            for (int i = 0; i < host->GetCount(c.id); ++i) {
                v.Append(ZString(host->GetItemText(c.id, i).c_str()));
            }
            return kDone;
        }
        host->ResetContent(c.id);
        for (const ZString& item : v) {
            host->AddString(c.id, item.Text());
        }
        return kDone;
    }

private:
    // The selected index; for several selected items the first; -1 for none.
    static int Selected(const TXMLCtrl& c, const plat::Dialog& host)
    {
        if (c.multiSel) {
            const std::vector<int> sel = host.GetSelItems(c.id);
            return sel.empty() ? -1 : sel.front();
        }
        return host.GetCurSel(c.id);
    }

    bool m_dropDown;
};

// DRAWOBJ: the value the drawing shows.
class DrawObjValues final : public KindValues
{
public:
    KindResult Int(TXMLCtrl& c, ZStr, XDataDir dir, int32_t& v) const override
    {
        return IntThroughText(dir, v, [&](ZString& text) { return Text(c, ZStr(), dir, text); });
    }
    KindResult Text(TXMLCtrl& c, ZStr, XDataDir dir, ZString& v) const override
    {
        XDrawObjWnd* obj = Obj(c);
        if (!obj) {
            return kUnsupported;
        }
        if (dir == XDataDir::Read) {
            v = obj->GetValue();
        } else {
            obj->SetValue(v.Str());
        }
        return kDone;
    }

private:
    static XDrawObjWnd* Obj(TXMLCtrl& c) { return dynamic_cast<XDrawObjWnd*>(c.wnd.get()); }
};

// TXMLDLG: its markup, and "editMode".
class NestedDlgValues final : public KindValues
{
public:
    KindResult Text(TXMLCtrl& c, ZStr property, XDataDir dir, ZString& v) const override
    {
        auto* nested = dynamic_cast<TXMLDlg*>(c.wnd.get());
        if (!nested) {
            return kUnsupported;
        }
        const bool read = dir == XDataDir::Read;
        if (property == "editMode") {
            static const char* const kModes[] = {"none", "partial", "full"};
            if (read) {
                v = kModes[int(nested->GetEditMode())];
            } else {
                nested->SetEditMode(v == "full"      ? TXMLDlgEditMode::Full
                                    : v == "partial" ? TXMLDlgEditMode::Partial
                                                     : TXMLDlgEditMode::None);
            }
            return kDone;
        }
        if (!property.IsEmpty()) {
            return kUnsupported;
        }
        if (read) {
            v = nested->GetMarkup();
        } else {
            nested->SetMarkup(v.Str());
        }
        return kDone;
    }
};

// TABCTRL: a grid of texts, or of numbers; writing repaints it.
class TabValues final : public KindValues
{
public:
    KindResult TextList(TXMLCtrl& c, ZStr, XDataDir dir, XTextArray& v) const override
    {
        return Transfer(c, dir, v);
    }
    KindResult RealList(TXMLCtrl& c, ZStr, XDataDir dir, XRealArray& v) const override
    {
        return Transfer(c, dir, v);
    }

private:
    // Reads the grid into v or writes v into it; the overloads below pick texts or numbers.
    template <class Array> static KindResult Transfer(TXMLCtrl& c, XDataDir dir, Array& v)
    {
        XTabCtrlWnd* tab = Tab(c);
        if (!tab) {
            return kNoWindow;
        }
        if (dir == XDataDir::Read) {
            Get(*tab, v);
        } else {
            Set(*tab, v);
        }
        return kDone;
    }
    static void Get(const XTabCtrlWnd& tab, XTextArray& v) { tab.GetCells(v); }
    static void Get(const XTabCtrlWnd& tab, XRealArray& v) { tab.GetNumbers(v); }
    static void Set(XTabCtrlWnd& tab, const XTextArray& v) { tab.SetCells(v); }
    static void Set(XTabCtrlWnd& tab, const XRealArray& v) { tab.SetNumbers(v); }
    static XTabCtrlWnd* Tab(TXMLCtrl& c) { return dynamic_cast<XTabCtrlWnd*>(c.wnd.get()); }
};

// XCHART controls bind through the chart's own binder; other types have no values.
class NoValues final : public KindValues
{
};

// Done, or the binding's error for a failure or a value the kind does not offer.
bool Report(XDataBind& bind, const KindResult& result)
{
    switch (result.state) {
    case KindResult::Done:
        return true;
    case KindResult::Failed:
        return bind.SetErrorPath(result.reason, bind.GetPath());
    case KindResult::Unsupported:
        return bind.SetErrorPath("not implemented", bind.GetPath());
    }
    return false;
}

const KindValues& ValuesOf(TXMLCtrlType kind)
{
    static const EditValues edit;
    static const CheckValues check;
    static const ListValues listBox(false);
    static const ListValues dropDown(true);
    static const DrawObjValues drawObj;
    static const NestedDlgValues nested;
    static const TabValues tab;
    static const NoValues none;
    switch (kind) {
    case TXMLCtrlType::Edit:
    case TXMLCtrlType::Button:
        return edit;
    case TXMLCtrlType::Check:
        return check;
    case TXMLCtrlType::ListBox:
        return listBox;
    case TXMLCtrlType::DropDown:
        return dropDown;
    case TXMLCtrlType::DrawObj:
        return drawObj;
    case TXMLCtrlType::XMLDlg:
        return nested;
    case TXMLCtrlType::TabCtrl:
        return tab;
    case TXMLCtrlType::Chart:
    case TXMLCtrlType::Other:
        return none;
    }
    return none;
}

} // namespace

TXMLDlgDataBind::TXMLDlgDataBind(TXMLDlgDataBinder& binder, ZStr path, TXMLDlg& dlg, TXMLCtrl& ctrl,
                                 ZStr property)
    : XDataBind(binder, path, path)
    , m_dlg(dlg)
    , m_ctrl(ctrl)
    , m_property(property)
{
    // "text" names the main value as well.
    if (m_property == "text") {
        m_property.Clear();
    }
}

bool TXMLDlgDataBind::Exchange(XDataDir dir, const XValueRef& ref)
{
    if (!ref.ptr) {
        return SetErrorPath("no value", GetPath());
    }
    const bool read = dir == XDataDir::Read;
    const KindValues& values = ValuesOf(m_ctrl.kind);
    switch (ref.kind) {
    case XValueKind::Flag: {
        int32_t v = *static_cast<unsigned char*>(ref.ptr) != 0 ? 1 : 0;
        if (!ExchangeInt(dir, v)) {
            return false;
        }
        if (read) {
            *static_cast<unsigned char*>(ref.ptr) = v != 0 ? 1 : 0;
        }
        return true;
    }
    case XValueKind::Int:
        return ExchangeInt(dir, *static_cast<int32_t*>(ref.ptr));
    case XValueKind::Real: {
        double& d = *static_cast<double*>(ref.ptr);
        if (m_property.IsEmpty() && values.TextualMainValue()) {
            ZString text;
            if (read) {
                if (!ExchangeText(dir, text)) {
                    return false;
                }
                d = std::atof(text.Text());
                return true;
            }
            text.Format("%g", d);
            return ExchangeText(dir, text);
        }
        int32_t v = read ? 0 : TruncToInt(d);
        if (!ExchangeInt(dir, v)) {
            return false;
        }
        if (read) {
            d = v;
        }
        return true;
    }
    case XValueKind::Text:
        return ExchangeText(dir, *static_cast<ZString*>(ref.ptr));
    case XValueKind::TextArray:
        return Report(*this, values.TextList(m_ctrl, m_property.Str(), dir,
                                             *static_cast<XTextArray*>(ref.ptr)));
    case XValueKind::RealArray:
        return Report(*this, values.RealList(m_ctrl, m_property.Str(), dir,
                                             *static_cast<XRealArray*>(ref.ptr)));
    case XValueKind::IntArray:
        return Report(*this, values.IntList(m_ctrl, m_property.Str(), dir,
                                            *static_cast<XIntArray*>(ref.ptr)));
    case XValueKind::Pair:
    case XValueKind::Rect:
    case XValueKind::PairArray:
        return SetErrorPath("not implemented", GetPath());
    }
    return SetErrorPath("not implemented", GetPath());
}

bool TXMLDlgDataBind::ExchangeInt(XDataDir dir, int32_t& v)
{
    if (m_property == "enable") {
        const bool read = dir == XDataDir::Read;
        if (plat::Dialog* host = HostOf(m_ctrl)) {
            if (read) {
                v = host->IsControlEnabled(m_ctrl.id) ? 1 : 0;
            } else {
                host->EnableControl(m_ctrl.id, v != 0);
            }
        } else if (m_ctrl.wnd && m_ctrl.wnd->IsCreated()) {
            if (read) {
                v = m_ctrl.wnd->IsEnabled() ? 1 : 0;
            } else {
                m_ctrl.wnd->Enable(v != 0);
            }
        } else {
            return SetErrorPath("control has no window", GetPath());
        }
        return true;
    }
    return Report(*this, ValuesOf(m_ctrl.kind).Int(m_ctrl, m_property.Str(), dir, v));
}

bool TXMLDlgDataBind::ExchangeText(XDataDir dir, ZString& v)
{
    if (m_property == "enable") {
        int32_t n = dir == XDataDir::Read ? 0 : TextToInt(v.Text());
        if (!ExchangeInt(dir, n)) {
            return false;
        }
        if (dir == XDataDir::Read) {
            v.Format("%d", n);
        }
        return true;
    }
    return Report(*this, ValuesOf(m_ctrl.kind).Text(m_ctrl, m_property.Str(), dir, v));
}
