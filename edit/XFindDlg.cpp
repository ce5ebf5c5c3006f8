// SPDX-License-Identifier: GPL-2.0-or-later
#include "edit/XFindDlg.h"

#include "platform/Dialog.h"
#include "platform/Module.h"
#include "res/QuillRES.h"
#include "res/XFindDlgBaseAPI.h"

#include <string>

// The dialog object is reached through its interface only, and made by a function looked up
// in the loaded module: this library does not link the resource library.

XFindDlg::XFindDlg(plat::Window* parent)
    : m_parent(parent)
{
    std::string error;
    const plat::Module* module = plat::Module::Load(kQuillRESModule, &error);
    if (!module) {
        m_error.Assign(error.c_str());
        return;
    }
    auto create =
        reinterpret_cast<QuillRESNewFindDlgFn>(module->GetSymbol(kQuillRESNewFindDlgSymbol));
    if (!create) {
        m_error.Format("%s has no %s", module->GetPath().c_str(), kQuillRESNewFindDlgSymbol);
        return;
    }
    m_dlg.reset(create(m_parent));
    if (!m_dlg) {
        m_error = "The find dialog could not be made.";
        return;
    }
    m_dlg->SetCB(&m_fwd);
}

XFindDlg::~XFindDlg()
{
    // The dialog goes first: it holds the forwarder, a member of this object.
    m_dlg.reset();
}

bool XFindDlg::CreateDlg(int id)
{
    return m_dlg && m_dlg->CreateDlg(m_parent, id);
}

void XFindDlg::Show(bool show)
{
    if (m_dlg && m_dlg->GetDialog().IsCreated())
        m_dlg->GetDialog().Show(show);
}

bool XFindDlg::IsVisible() const
{
    return m_dlg && m_dlg->GetDialog().IsCreated() && m_dlg->GetDialog().IsVisible();
}

void XFindDlg::RemoveAll()
{
    if (m_dlg)
        m_dlg->RemoveAll();
}

void XFindDlg::Reset()
{
    if (m_dlg)
        m_dlg->Reset();
}

int32_t XFindDlg::AddFind(ZStr text)
{
    if (!m_dlg)
        return -1;
    // The dialog takes NUL-terminated text.
    const ZString copy(text);
    if (copy.Length() != (text.len > 0 ? text.len : 0))
        return -1; // no memory for the copy
    return m_dlg->AddFind(copy.Text());
}

void XFindDlg::SelectFind(int32_t index)
{
    if (m_dlg)
        m_dlg->SelectFind(index);
}

void XFindDlg::InitDlg()
{
    if (m_dlg)
        m_dlg->InitDlg();
}

void XFindDlg::GetEdit(ZString& out) const
{
    std::string text;
    if (m_dlg)
        m_dlg->GetEdit(text);
    out.Assign(text.data(), int32_t(text.size()));
}

void XFindDlg::SetIgnoreCase(bool ignoreCase)
{
    if (m_dlg)
        m_dlg->SetIgnoreCase(ignoreCase);
}

bool XFindDlg::GetIgnoreCase() const
{
    return m_dlg && m_dlg->GetIgnoreCase();
}

void XFindDlg::SetKeepOpen(bool keepOpen)
{
    if (m_dlg)
        m_dlg->SetKeepOpen(keepOpen);
}

bool XFindDlg::GetKeepOpen() const
{
    return m_dlg && m_dlg->GetKeepOpen();
}
