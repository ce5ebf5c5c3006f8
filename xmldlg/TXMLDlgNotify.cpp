// SPDX-License-Identifier: GPL-2.0-or-later
#include "xmldlg/TXMLDlg.h"

namespace {

using Slot = bool (*)(TXMLDlg_CB&, const TXMLDlgNotify&);

// One named notification: the control type it belongs to, its platform code, its name,
// whether it carries the current selection, and the callback operation it reaches.
struct NotifyEntry
{
    TXMLCtrlType type;
    uint32_t code;
    const char* name;
    Slot slot;
};

#define QUILL_SLOT(fn) [](TXMLDlg_CB& cb, const TXMLDlgNotify& n) { return cb.fn(n); }
#define QUILL_SLOT_V(fn) [](TXMLDlg_CB& cb, const TXMLDlgNotify& n) { return cb.fn(n, n.value); }

const NotifyEntry kNotifyTable[] = {
    {TXMLCtrlType::Edit, 0x100, "EN_SETFOCUS", QUILL_SLOT(OnEN_SETFOCUS)},
    {TXMLCtrlType::Edit, 0x200, "EN_KILLFOCUS", QUILL_SLOT(OnEN_KILLFOCUS)},
    {TXMLCtrlType::Edit, 0x300, "EN_CHANGE", QUILL_SLOT(OnEN_CHANGE)},
    {TXMLCtrlType::Edit, 0x400, "EN_UPDATE", QUILL_SLOT(OnEN_UPDATE)},
    {TXMLCtrlType::Button, 0, "BN_CLICKED", QUILL_SLOT_V(OnBN_CLICKED)},
    {TXMLCtrlType::Button, 6, "BN_SETFOCUS", QUILL_SLOT(OnBN_SETFOCUS)},
    {TXMLCtrlType::Button, 7, "BN_KILLFOCUS", QUILL_SLOT(OnBN_KILLFOCUS)},
    {TXMLCtrlType::ListBox, 1, "LBN_SELCHANGE", QUILL_SLOT_V(OnLBN_SELCHANGE)},
    {TXMLCtrlType::ListBox, 2, "LBN_DBLCLK", QUILL_SLOT_V(OnLBN_DBLCLK)},
    {TXMLCtrlType::ListBox, 3, "LBN_SELCANCEL", QUILL_SLOT(OnLBN_SELCANCEL)},
    {TXMLCtrlType::ListBox, 4, "LBN_SETFOCUS", QUILL_SLOT(OnLBN_SETFOCUS)},
    {TXMLCtrlType::ListBox, 5, "LBN_KILLFOCUS", QUILL_SLOT(OnLBN_KILLFOCUS)},
    {TXMLCtrlType::DropDown, 1, "CBN_SELCHANGE", QUILL_SLOT_V(OnCBN_SELCHANGE)},
    {TXMLCtrlType::DropDown, 2, "CBN_DBLCLK", QUILL_SLOT_V(OnCBN_DBLCLK)},
    {TXMLCtrlType::DropDown, 3, "CBN_SETFOCUS", QUILL_SLOT(OnCBN_SETFOCUS)},
    {TXMLCtrlType::DropDown, 4, "CBN_KILLFOCUS", QUILL_SLOT(OnCBN_KILLFOCUS)},
    {TXMLCtrlType::DropDown, 5, "CBN_EDITCHANGE", QUILL_SLOT(OnCBN_EDITCHANGE)},
    {TXMLCtrlType::DropDown, 6, "CBN_EDITUPDATE", QUILL_SLOT(OnCBN_EDITUPDATE)},
    {TXMLCtrlType::DropDown, 7, "CBN_DROPDOWN", QUILL_SLOT(OnCBN_DROPDOWN)},
    {TXMLCtrlType::DropDown, 8, "CBN_CLOSEUP", QUILL_SLOT(OnCBN_CLOSEUP)},
    {TXMLCtrlType::DropDown, 9, "CBN_SELENDOK", QUILL_SLOT_V(OnCBN_SELENDOK)},
    {TXMLCtrlType::DropDown, 10, "CBN_SELENDCANCEL", QUILL_SLOT_V(OnCBN_SELENDCANCEL)},
};

#undef QUILL_SLOT
#undef QUILL_SLOT_V

// Check boxes share the button notifications.
TXMLCtrlType NotifyTypeOf(TXMLCtrlType t)
{
    return t == TXMLCtrlType::Check ? TXMLCtrlType::Button : t;
}

bool CarriesSelection(const char* name)
{
    const ZStr n(name);
    return n == ZStr("LBN_SELCHANGE") || n == ZStr("LBN_DBLCLK") || n == ZStr("CBN_SELCHANGE") ||
           n == ZStr("CBN_DBLCLK") || n == ZStr("CBN_SELENDOK") || n == ZStr("CBN_SELENDCANCEL");
}

} // namespace

bool TXMLDlg_CB::OnNotify(const TXMLDlgNotify& n)
{
    return n.dlg ? n.dlg->RunCommand(n) : false;
}

TXMLDlg_CB& TXMLDlg_CB::Default()
{
    static TXMLDlg_CB* instance = new TXMLDlg_CB();
    return *instance;
}

bool TXMLDlg::HandleCommand(int32_t id, uint32_t code)
{
    TXMLCtrl* ctrl = FindCtrlById(id);
    if (!ctrl) {
        return false;
    }
    // Automatic references follow their control before anyone hears of the change.
    TransferValues(XDataDir::Read, false, ctrl->name.Str());
    const NotifyEntry* entry = nullptr;
    for (const NotifyEntry& e : kNotifyTable) {
        if (e.type == NotifyTypeOf(ctrl->kind) && e.code == code) {
            entry = &e;
            break;
        }
    }
    if (!entry) {
        return false;
    }
    TXMLDlgNotify n;
    n.dlg = this;
    n.ctrl = ctrl;
    n.ctrlName = ctrl->name;
    n.notifyName = entry->name;
    n.code = code;
    n.id = id;
    if (ctrl->native && ctrl->host) {
        if (ctrl->kind == TXMLCtrlType::Check && ZStr(entry->name) == ZStr("BN_CLICKED")) {
            n.value = ctrl->host->GetCheck(id) & 3;
        } else if (CarriesSelection(entry->name)) {
            n.value = ctrl->host->GetCurSel(id);
        }
    }
    // A handler may end the dialog or load new markup, dropping every record. The later
    // steps then see the copies of name and texts in n and no record: the control the
    // notification came from is gone, and its command is not run for whatever control
    // took its identifier.
    TXMLDlg_CB& cb = *m_cb;
    const uint64_t generation = m_ctrlGeneration;
    if (cb.OnNotify(n)) {
        return true;
    }
    if (m_ctrlGeneration != generation) {
        n.ctrl = nullptr;
    } else if (RunCommand(n)) {
        return true;
    }
    if (m_ctrlGeneration != generation) {
        n.ctrl = nullptr;
    }
    return entry->slot(cb, n);
}

bool TXMLDlg::RunCommand(const TXMLDlgNotify& n)
{
    TXMLCtrl* ctrl = FindCtrlById(n.id);
    if (!ctrl || !ctrl->node || ctrl->name != n.ctrlName) {
        return false;
    }
    ZString cmd;
    if (!ctrl->node->GetAttribute("cmd", cmd, "", TXMLDecode::Raw, &m_binder)) {
        return false;
    }
    if (cmd == "@EndDlgOK") {
        TransferValues(XDataDir::Read, true);
        EndDialog(1);
        return true;
    }
    if (cmd == "@EndDlgCancel") {
        EndDialog(0);
        return true;
    }
    return false;
}

void TXMLDlg::RegisterRef(ZStr path, const XValueRef& ref, bool autoTransfer, uint8_t flag)
{
    XData_NamedRef r;
    r.path.Assign(path);
    r.ref = ref;
    r.flag = flag;
    r.autoTransfer = autoTransfer ? 1 : 0;
    m_refs.Append(r);
}

void TXMLDlg::TransferValues(XDataDir dir, bool force, ZStr ctrlName)
{
    for (int32_t i = 0; i < m_refs.Count(); ++i) {
        const XData_NamedRef r = m_refs[i];
        ZStr ctrlPart;
        ZStr rest;
        r.path.Str().Split(".", ctrlPart, rest);
        if (!ctrlName.IsEmpty() && ctrlPart != ctrlName) {
            continue;
        }
        if (!force && !r.autoTransfer) {
            continue;
        }
        // A reference whose path names its own registration binds to itself; moving it
        // would copy the value onto itself, so only control paths are transferred.
        std::unique_ptr<XDataBind> bind = m_binder.Lookup(r.path.Str());
        if (bind && !dynamic_cast<XDataBind_DataRef*>(bind.get())) {
            // A failure leaves its message with the binding; the other references go on.
            bind->Exchange(dir, r.ref);
        }
    }
}
