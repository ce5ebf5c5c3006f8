// SPDX-License-Identifier: GPL-2.0-or-later
#include "res/XFindDlgBase.h"

#include "platform/Module.h"
#include "res/QuillRES.h"

#include <new>
#include <utility>

namespace {

// A drop-down's template height includes its open list; closed, the box is one line, as
// high as the buttons beside it (dialog units).
constexpr int kComboClosedHeightDlu = 11;

} // namespace

XFindDlgBaseCB XFindDlgBase::m_CBDef;

XFindDlgBase::XFindDlgBase(plat::Window* parent)
    : plat::Dialog(static_cast<plat::WindowCB&>(*this))
    , m_parent(parent)
{
}

XFindDlgBase::~XFindDlgBase()
{
    *m_alive = false;
    // The window's last messages must reach this object while it is still whole, not after
    // its own members are gone.
    Destroy();
    SetCB(nullptr);
}

// ---------------------------------------------------------------------------------------
// State

void XFindDlgBase::SetCB(XFindDlgBaseCB* cb)
{
    m_cb = cb ? cb : &m_CBDef;
}

XFindDlgBaseCB* XFindDlgBase::CB() const
{
    return m_cb;
}

void XFindDlgBase::SetOption(uint8_t& option, int checkId, bool on)
{
    option = on ? 1 : 0;
    if (IsCreated())
        SetCheck(checkId, option);
}

void XFindDlgBase::SetIgnoreCase(bool ignoreCase)
{
    SetOption(m_ignoreCase, kIdIgnoreCase, ignoreCase);
}

bool XFindDlgBase::GetIgnoreCase() const
{
    return m_ignoreCase != 0;
}

void XFindDlgBase::SetKeepOpen(bool keepOpen)
{
    SetOption(m_keepOpen, kIdKeepOpen, keepOpen);
}

bool XFindDlgBase::GetKeepOpen() const
{
    return m_keepOpen != 0;
}

int32_t XFindDlgBase::AddFind(const char* text)
{
    m_history.emplace_back(text ? text : "");
    return int32_t(m_history.size()) - 1;
}

void XFindDlgBase::SelectFind(int32_t index)
{
    m_selected = index;
}

void XFindDlgBase::RemoveAll()
{
    m_history.clear();
    m_selected = -1;
    m_fresh = 1;
    if (IsCreated()) {
        ResetContent(kIdCombo);
        SetText(kIdCombo, std::string());
    }
}

void XFindDlgBase::Reset()
{
    RemoveAll();
    SetIgnoreCase(false);
}

int32_t XFindDlgBase::GetFindCount() const
{
    return int32_t(m_history.size());
}

std::string XFindDlgBase::GetFind(int32_t index) const
{
    if (index < 0 || index >= int32_t(m_history.size()))
        return std::string();
    return m_history[size_t(index)];
}

int32_t XFindDlgBase::GetSelectedFind() const
{
    return m_selected;
}

bool XFindDlgBase::IsEdited() const
{
    return m_edited != 0;
}

bool XFindDlgBase::IsFresh() const
{
    return m_fresh != 0;
}

// ---------------------------------------------------------------------------------------
// Window

const plat::DialogTemplate* XFindDlgBase::FindTemplate()
{
    // Looked up by module name like every other user of the library's templates; the
    // module is this library itself, so the lookup finds it already loaded.
    const plat::Module* module = plat::Module::Load(kQuillRESModule);
    return module ? module->FindDialog(kQuillRESFindDlg) : nullptr;
}

bool XFindDlgBase::CreateDlg(plat::Window* parent, int /*id*/)
{
    if (IsCreated()) {
        Show(true);
        return true;
    }
    const plat::DialogTemplate* tmpl = FindTemplate();
    if (!tmpl)
        return false;
    if (parent)
        m_parent = parent;
    return CreateModeless(*tmpl, m_parent);
}

bool XFindDlgBase::CreateDlgChild(plat::Window* parent, bool show, int /*id*/)
{
    if (IsCreated()) {
        Show(show);
        return true;
    }
    const plat::DialogTemplate* tmpl = FindTemplate();
    if (!tmpl || !parent)
        return false;
    plat::DialogTemplate child = *tmpl;
    child.style |= plat::DialogStyle::kChild;
    if (!show)
        child.style |= plat::DialogStyle::kHidden;
    m_parent = parent;
    return CreateModeless(child, parent);
}

int XFindDlgBase::DoModal()
{
    const plat::DialogTemplate* tmpl = FindTemplate();
    if (!tmpl)
        return -1;
    return plat::Dialog::DoModal(*tmpl, m_parent);
}

void XFindDlgBase::InitDlg()
{
    if (!IsCreated())
        return;
    // Filled afresh each time, so that calling it again does not repeat the history.
    ResetContent(kIdCombo);
    for (const std::string& text : m_history)
        AddString(kIdCombo, text);
    if (m_selected >= 0 && m_selected < int32_t(m_history.size()))
        SetCurSel(kIdCombo, m_selected);
}

void XFindDlgBase::GetEdit(std::string& out) const
{
    out = IsCreated() ? GetText(kIdCombo) : std::string();
}

void XFindDlgBase::DoDataExchange(bool save)
{
    if (!IsCreated())
        return;
    if (save) {
        m_ignoreCase = GetCheck(kIdIgnoreCase) ? 1 : 0;
        m_keepOpen = GetCheck(kIdKeepOpen) ? 1 : 0;
    } else {
        SetCheck(kIdIgnoreCase, m_ignoreCase);
        SetCheck(kIdKeepOpen, m_keepOpen);
    }
}

// ---------------------------------------------------------------------------------------
// Messages

bool XFindDlgBase::OnMessage(plat::Window&, const plat::Message& msg)
{
    if (msg.kind == plat::Msg::InitDialog)
        return OnInitDialog();
    if (msg.kind != plat::Msg::Command)
        return false;
    const int id = int(msg.id);
    if (id == kIdNext && msg.code == plat::Notify::kBnClicked) {
        OnFindNext();
        return true;
    }
    if (id == kIdPrev && msg.code == plat::Notify::kBnClicked) {
        OnFindPrev();
        return true;
    }
    if (id == kIdCombo && msg.code == plat::Notify::kCbnSelEndOk) {
        OnSelEndOK();
        return true;
    }
    if (id == kIdCombo && msg.code == plat::Notify::kCbnEditChange) {
        OnEditChange();
        return true;
    }
    // Cancel, Escape and the close box end (hide) the dialog by default.
    return false;
}

void XFindDlgBase::FitComboBox()
{
    const plat::Rect box = GetControlRect(kIdCombo);
    const int height = MapDialogRect({0, 0, 0, kComboClosedHeightDlu}).bottom;
    if (box.IsEmpty() || box.Height() <= height)
        return;
    // The platform lays a drop-down out for the height it is made with, so the box is made
    // again at its closed height rather than shrunk. It then comes last among the controls;
    // as the label before it takes no focus, the Tab cycle stays that of the template.
    plat::ControlTemplate combo;
    combo.kind = plat::ControlKind::DropDownEdit;
    combo.id = kIdCombo;
    combo.rect = {box.left, box.top, box.right, box.top + height};
    combo.style = plat::ControlStyle::kVScroll | plat::ControlStyle::kAutoHScroll;
    RemoveControl(kIdCombo);
    AddControl(combo);
}

bool XFindDlgBase::OnInitDialog()
{
    FitComboBox();
    DoDataExchange(false);
    InitDlg();
    // The search text is what the user came to type.
    SetFocusControl(kIdCombo);
    return true;
}

void XFindDlgBase::Find(bool forward)
{
    DoDataExchange(true);
    std::string text;
    GetEdit(text);
    std::shared_ptr<bool> alive = m_alive;
    m_cb->OnFind(this, text.c_str(), forward, m_ignoreCase != 0, m_edited != 0, m_fresh != 0,
                 m_keepOpen != 0);
    if (*alive)
        m_fresh = 0;
}

void XFindDlgBase::OnFindNext()
{
    Find(true);
}

void XFindDlgBase::OnFindPrev()
{
    Find(false);
}

void XFindDlgBase::OnSelEndOK()
{
    m_edited = 0;
    const int index = GetCurSel(kIdCombo);
    std::shared_ptr<bool> alive = m_alive;
    if (index >= 0) {
        // The chosen entry becomes the one a later InitDlg selects.
        m_selected = index;
        const std::string text = GetItemText(kIdCombo, index);
        m_cb->OnSelected(this, text.c_str(), index);
    }
    if (*alive)
        m_fresh = 1;
}

void XFindDlgBase::OnEditChange()
{
    m_edited = 1;
    DoDataExchange(true);
    std::string text;
    GetEdit(text);
    std::shared_ptr<bool> alive = m_alive;
    m_cb->OnEditChange(this, text.c_str());
    if (*alive)
        m_fresh = 1;
}

// ---------------------------------------------------------------------------------------
// Exports

extern "C" XFindDlgBaseAPI* QuillRES_NewFindDlg(plat::Window* parent) noexcept
{
    // Ownership passes to the caller across the module boundary. No exception may cross it:
    // without memory for the dialog or anything its construction allocates, the caller gets
    // null.
    try {
        return new (std::nothrow) XFindDlgBase(parent);
    } catch (...) {
        return nullptr;
    }
}
