#include "xmldlg/TXMLDlgDataBind.h"

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
        const bool textual = m_property.IsEmpty() && (m_ctrl.kind == TXMLCtrlType::Edit ||
                                                      m_ctrl.kind == TXMLCtrlType::Button);
        if (textual) {
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
        int32_t v = read ? 0 : int32_t(d);
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
        return ExchangeTextList(dir, *static_cast<XTextArray*>(ref.ptr));
    case XValueKind::RealArray:
        if (auto* tab = dynamic_cast<XTabCtrlWnd*>(m_ctrl.wnd.get())) {
            XRealArray& values = *static_cast<XRealArray*>(ref.ptr);
            if (read) {
                tab->GetNumbers(values);
            } else {
                tab->SetNumbers(values);
            }
            return true;
        }
        return SetErrorPath("not implemented", GetPath());
    case XValueKind::IntArray:
        return ExchangeIntList(dir, *static_cast<XIntArray*>(ref.ptr));
    case XValueKind::Pair:
    case XValueKind::Rect:
    case XValueKind::PairArray:
        return SetErrorPath("not implemented", GetPath());
    }
    return SetErrorPath("not implemented", GetPath());
}

bool TXMLDlgDataBind::ExchangeInt(XDataDir dir, int32_t& v)
{
    const bool read = dir == XDataDir::Read;
    plat::Dialog* host = m_ctrl.native ? m_ctrl.host : nullptr;
    const int id = m_ctrl.id;
    if (m_property == "enable") {
        if (host) {
            if (read) {
                v = host->IsControlEnabled(id) ? 1 : 0;
            } else {
                host->EnableControl(id, v != 0);
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
    switch (m_ctrl.kind) {
    case TXMLCtrlType::Edit:
    case TXMLCtrlType::Button: {
        if (!m_property.IsEmpty() && m_property != "sel") {
            break;
        }
        ZString text;
        if (read) {
            if (!ExchangeText(dir, text)) {
                return false;
            }
            v = std::atoi(text.Text());
            return true;
        }
        text.Format("%d", v);
        return ExchangeText(dir, text);
    }
    case TXMLCtrlType::Check:
        if (!m_property.IsEmpty() && m_property != "sel") {
            break;
        }
        if (!host) {
            return SetErrorPath("control has no window", GetPath());
        }
        if (read) {
            v = host->GetCheck(id);
        } else {
            host->SetCheck(id, v != 0 ? 1 : 0);
        }
        return true;
    case TXMLCtrlType::ListBox:
    case TXMLCtrlType::DropDown:
        if (!m_property.IsEmpty() && m_property != "curSel") {
            break;
        }
        if (!host) {
            return SetErrorPath("control has no window", GetPath());
        }
        if (m_ctrl.multiSel) {
            if (read) {
                const std::vector<int> sel = host->GetSelItems(id);
                v = sel.empty() ? -1 : sel.front();
            } else {
                for (int i = 0; i < host->GetCount(id); ++i) {
                    host->SetSel(id, i, i == v);
                }
            }
        } else if (read) {
            v = host->GetCurSel(id);
        } else {
            host->SetCurSel(id, v);
        }
        return true;
    case TXMLCtrlType::DrawObj:
        if (auto* obj = dynamic_cast<XDrawObjWnd*>(m_ctrl.wnd.get())) {
            ZString text;
            if (read) {
                v = std::atoi(obj->GetValue().Text());
            } else {
                text.Format("%d", v);
                obj->SetValue(text.Str());
            }
            return true;
        }
        break;
    case TXMLCtrlType::XMLDlg:
    case TXMLCtrlType::TabCtrl:
    case TXMLCtrlType::Chart:
    case TXMLCtrlType::Other:
        break;
    }
    return SetErrorPath("not implemented", GetPath());
}

bool TXMLDlgDataBind::ExchangeText(XDataDir dir, ZString& v)
{
    const bool read = dir == XDataDir::Read;
    plat::Dialog* host = m_ctrl.native ? m_ctrl.host : nullptr;
    const int id = m_ctrl.id;
    const bool main = m_property.IsEmpty();
    auto viaInt = [&]() {
        int32_t n = read ? 0 : std::atoi(v.Text());
        if (!ExchangeInt(dir, n)) {
            return false;
        }
        if (read) {
            v.Format("%d", n);
        }
        return true;
    };
    if (m_property == "enable") {
        return viaInt();
    }
    switch (m_ctrl.kind) {
    case TXMLCtrlType::Edit:
    case TXMLCtrlType::Button:
        if (m_property == "sel") {
            return viaInt();
        }
        if (!main) {
            break;
        }
        if (read) {
            v = host ? ZString(host->GetText(id).c_str()) : m_ctrl.text;
        } else {
            m_ctrl.text = v;
            if (host) {
                host->SetText(id, v.Text());
            }
        }
        return true;
    case TXMLCtrlType::Check:
        if (main || m_property == "sel") {
            return viaInt();
        }
        break;
    case TXMLCtrlType::ListBox:
    case TXMLCtrlType::DropDown:
        if (m_property == "edit" && m_ctrl.kind == TXMLCtrlType::DropDown) {
            if (!host) {
                return SetErrorPath("control has no window", GetPath());
            }
            if (read) {
                v = host->GetText(id).c_str();
            } else {
                host->SetText(id, v.Text());
            }
            return true;
        }
        if (!main && m_property != "curSel") {
            break;
        }
        if (!host) {
            return SetErrorPath("control has no window", GetPath());
        }
        if (read) {
            int sel = host->GetCurSel(id);
            if (m_ctrl.multiSel) {
                const std::vector<int> items = host->GetSelItems(id);
                sel = items.empty() ? -1 : items.front();
            }
            v = sel >= 0 ? host->GetItemText(id, sel).c_str() : "";
            return true;
        }
        for (int i = 0; i < host->GetCount(id); ++i) {
            if (host->GetItemText(id, i) == v.Text()) {
                if (m_ctrl.multiSel) {
                    host->SetSel(id, i, true);
                } else {
                    host->SetCurSel(id, i);
                }
                return true;
            }
        }
        return SetErrorPath("no such item", GetPath());
    case TXMLCtrlType::XMLDlg:
        if (auto* nested = dynamic_cast<TXMLDlg*>(m_ctrl.wnd.get())) {
            if (m_property == "editMode") {
                static const char* const kModes[] = {"none", "partial", "full"};
                if (read) {
                    v = kModes[int(nested->GetEditMode())];
                } else {
                    nested->SetEditMode(v == "full"      ? TXMLDlgEditMode::Full
                                        : v == "partial" ? TXMLDlgEditMode::Partial
                                                         : TXMLDlgEditMode::None);
                }
                return true;
            }
            if (main) {
                if (read) {
                    v = nested->GetMarkup();
                } else {
                    nested->SetMarkup(v.Str());
                }
                return true;
            }
        }
        break;
    case TXMLCtrlType::DrawObj:
        if (auto* obj = dynamic_cast<XDrawObjWnd*>(m_ctrl.wnd.get())) {
            if (read) {
                v = obj->GetValue();
            } else {
                obj->SetValue(v.Str());
            }
            return true;
        }
        break;
    case TXMLCtrlType::TabCtrl:
    case TXMLCtrlType::Chart:
    case TXMLCtrlType::Other:
        break;
    }
    return SetErrorPath("not implemented", GetPath());
}

bool TXMLDlgDataBind::ExchangeIntList(XDataDir dir, XIntArray& v)
{
    plat::Dialog* host = m_ctrl.native ? m_ctrl.host : nullptr;
    if (m_ctrl.kind != TXMLCtrlType::ListBox || !(m_property.IsEmpty() || m_property == "curSel")) {
        return SetErrorPath("not implemented", GetPath());
    }
    if (!host) {
        return SetErrorPath("control has no window", GetPath());
    }
    const int id = m_ctrl.id;
    if (dir == XDataDir::Read) {
        v.RemoveAll();
        if (m_ctrl.multiSel) {
            for (int i : host->GetSelItems(id)) {
                v.Append(i);
            }
        } else if (host->GetCurSel(id) >= 0) {
            v.Append(host->GetCurSel(id));
        }
        return true;
    }
    for (int i = 0; i < host->GetCount(id); ++i) {
        bool on = false;
        for (int32_t k = 0; k < v.Count(); ++k) {
            on = on || v[k] == i;
        }
        if (m_ctrl.multiSel) {
            host->SetSel(id, i, on);
        } else if (on) {
            host->SetCurSel(id, i);
        }
    }
    return true;
}

bool TXMLDlgDataBind::ExchangeTextList(XDataDir dir, XTextArray& v)
{
    if (auto* tab = dynamic_cast<XTabCtrlWnd*>(m_ctrl.wnd.get())) {
        if (dir == XDataDir::Read) {
            tab->GetCells(v);
        } else {
            tab->SetCells(v);
        }
        return true;
    }
    plat::Dialog* host = m_ctrl.native ? m_ctrl.host : nullptr;
    if ((m_ctrl.kind != TXMLCtrlType::ListBox && m_ctrl.kind != TXMLCtrlType::DropDown) ||
        !m_property.IsEmpty()) {
        return SetErrorPath("not implemented", GetPath());
    }
    if (!host) {
        return SetErrorPath("control has no window", GetPath());
    }
    const int id = m_ctrl.id;
    if (dir == XDataDir::Read) {
        v.RemoveAll();
        for (int i = 0; i < host->GetCount(id); ++i) {
            v.Append(ZString(host->GetItemText(id, i).c_str()));
        }
        return true;
    }
    host->ResetContent(id);
    for (const ZString& item : v) {
        host->AddString(id, item.Text());
    }
    return true;
}
