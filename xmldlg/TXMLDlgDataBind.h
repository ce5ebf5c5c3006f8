// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/XDataBind.h"
#include "xml/TXMLBinder.h"

#include <memory>
#include <utility>
#include <vector>

class TXMLCtrl;
class TXMLDlg;
class XChartDataBinder;
class XChartWnd;

/// An application value registered with a dialog under a path.
struct XData_NamedRef
{
    ZString path;
    XValueRef ref;
    uint8_t flag = 0;         ///< kept for the application; the dialog does not read it
    uint8_t autoTransfer = 0; ///< moved out of its control at every notification of it
};

/// The binder of one markup dialog: resolves control names (with a property after ".") and
/// registered references. It also answers the markup's "%NAME%" variables as text.
class TXMLDlgDataBinder : public XDataBinder, public TXMLBinder
{
public:
    explicit TXMLDlgDataBinder(TXMLDlg& dlg);
    ~TXMLDlgDataBinder() override;
    /// A binding for path; null with "VarRef %s not found" or "Invalid Control %s".
    std::unique_ptr<XDataBind> Lookup(ZStr path) override;
    bool GetVariableText(ZStr name, ZString& text) override;
    /// Forgets the binders of chart controls (their windows are going away).
    void DropChartBinders();

private:
    XChartDataBinder& ChartBinderOf(TXMLCtrl& ctrl, XChartWnd& wnd);

    TXMLDlg& m_dlg;
    std::vector<std::pair<const TXMLCtrl*, std::unique_ptr<XChartDataBinder>>> m_chartBinders;
};

/// A binding to one control of a dialog and one of its properties ("curSel", "enable",
/// "sel", "edit", "editMode", or empty for the main value).
class TXMLDlgDataBind : public XDataBind
{
public:
    TXMLDlgDataBind(TXMLDlgDataBinder& binder, ZStr path, TXMLDlg& dlg, TXMLCtrl& ctrl,
                    ZStr property);
    bool Exchange(XDataDir dir, const XValueRef& ref) override;

private:
    // "enable" for every kind; the other properties by the control's kind.
    bool ExchangeInt(XDataDir dir, int32_t& v);
    bool ExchangeText(XDataDir dir, ZString& v);

    TXMLDlg& m_dlg;
    TXMLCtrl& m_ctrl;
    ZString m_property;
};
