// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/ZString.h"

#include <cstdint>

class TXMLDlg;
class TXMLCtrl;

/// One named notification of a control of a markup dialog.
struct TXMLDlgNotify
{
    TXMLDlg* dlg = nullptr;
    /// The control's record; null once an earlier handler of the same notification loaded
    /// new markup (look the identifier up again then: it may name another control now).
    TXMLCtrl* ctrl = nullptr;
    ZString ctrlName;   ///< the control's `name`
    ZString notifyName; ///< "EN_CHANGE", "BN_CLICKED", ...
    uint32_t code = 0;  ///< the platform's notification code
    int32_t id = 0;     ///< the control's identifier (1000 + index)
    int32_t value = 0;  ///< the selection or the button's check state, where given
};

/// What a markup dialog tells its application. Each operation returns true when it handled
/// the notification; the dialog stops asking at the first that did. The defaults handle
/// nothing except OnNotify, which runs the built-in commands ("@EndDlgOK", "@EndDlgCancel").
class TXMLDlg_CB
{
public:
    virtual ~TXMLDlg_CB() = default;
    /// Every notification first; the default runs the control's `cmd`.
    virtual bool OnNotify(const TXMLDlgNotify& n);
    /// A further hook, asked by nothing in the dialog itself.
    virtual bool OnNotifyHook(const TXMLDlgNotify&) { return false; }
    virtual bool OnEN_SETFOCUS(const TXMLDlgNotify&) { return false; }
    virtual bool OnEN_KILLFOCUS(const TXMLDlgNotify&) { return false; }
    virtual bool OnEN_CHANGE(const TXMLDlgNotify&) { return false; }
    virtual bool OnEN_UPDATE(const TXMLDlgNotify&) { return false; }
    /// state: the check state of a check box (0 for push buttons).
    virtual bool OnBN_CLICKED(const TXMLDlgNotify&, int32_t /*state*/) { return false; }
    virtual bool OnBN_SETFOCUS(const TXMLDlgNotify&) { return false; }
    virtual bool OnBN_KILLFOCUS(const TXMLDlgNotify&) { return false; }
    virtual bool OnLBN_SELCHANGE(const TXMLDlgNotify&, int32_t /*sel*/) { return false; }
    virtual bool OnLBN_DBLCLK(const TXMLDlgNotify&, int32_t /*sel*/) { return false; }
    virtual bool OnLBN_SELCANCEL(const TXMLDlgNotify&) { return false; }
    virtual bool OnLBN_SETFOCUS(const TXMLDlgNotify&) { return false; }
    virtual bool OnLBN_KILLFOCUS(const TXMLDlgNotify&) { return false; }
    virtual bool OnCBN_SELCHANGE(const TXMLDlgNotify&, int32_t /*sel*/) { return false; }
    virtual bool OnCBN_DBLCLK(const TXMLDlgNotify&, int32_t /*sel*/) { return false; }
    virtual bool OnCBN_SETFOCUS(const TXMLDlgNotify&) { return false; }
    virtual bool OnCBN_KILLFOCUS(const TXMLDlgNotify&) { return false; }
    virtual bool OnCBN_EDITCHANGE(const TXMLDlgNotify&) { return false; }
    virtual bool OnCBN_EDITUPDATE(const TXMLDlgNotify&) { return false; }
    virtual bool OnCBN_DROPDOWN(const TXMLDlgNotify&) { return false; }
    virtual bool OnCBN_CLOSEUP(const TXMLDlgNotify&) { return false; }
    virtual bool OnCBN_SELENDOK(const TXMLDlgNotify&, int32_t /*sel*/) { return false; }
    virtual bool OnCBN_SELENDCANCEL(const TXMLDlgNotify&, int32_t /*sel*/) { return false; }

    /// The shared instance that only runs the built-in commands.
    static TXMLDlg_CB& Default();
};
