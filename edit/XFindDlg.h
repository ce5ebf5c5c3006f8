// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/ZStr.h"
#include "base/ZString.h"
#include "edit/XFindDlgBaseCBFwd.h"
#include "edit/XFindDlgCB.h"

#include <cstdint>
#include <memory>

namespace plat {
class Window;
}
class XFindDlgBaseAPI;

/// The find dialog of the resource library QuillRES, wrapped for the library's callback
/// style. The resource library is not linked: the constructor loads it by module name and
/// has it make the dialog object. When that fails, the wrapper stays empty (IsLoaded false,
/// GetError says why) and every operation does nothing or reports failure.
class XFindDlg
{
public:
    /// Loads QuillRES (once per process) and makes the dialog object for parent (may be
    /// null; not owned). No window is made yet.
    explicit XFindDlg(plat::Window* parent = nullptr);
    ~XFindDlg();
    XFindDlg(const XFindDlg&) = delete;
    XFindDlg& operator=(const XFindDlg&) = delete;

    /// Whether the dialog object exists.
    bool IsLoaded() const { return m_dlg != nullptr; }
    /// Why loading failed; empty when it did not.
    const ZString& GetError() const { return m_error; }
    /// The dialog object of the resource library, or null.
    XFindDlgBaseAPI* GetBase() const { return m_dlg.get(); }

    /// Sets the callback (not owned); null restores the shared do-nothing callback.
    void SetCB(XFindDlgCB* cb) { m_cb = cb ? cb : &XFindDlgCB::Default(); }
    XFindDlgCB& CB() const { return *m_cb; }

    /// Shows the window, making it on first use; false when it cannot be made.
    bool CreateDlg(int id = 0);
    /// Shows or hides an existing window.
    void Show(bool show);
    bool IsVisible() const;

    /// History and options, as the dialog object has them.
    void RemoveAll();
    void Reset();
    /// Appends text to the history; its index, or -1 without a dialog object.
    int32_t AddFind(ZStr text);
    void SelectFind(int32_t index);
    /// Fills the list from the history and selects the remembered entry.
    void InitDlg();
    /// Replaces out with the text of the box.
    void GetEdit(ZString& out) const;
    void SetIgnoreCase(bool ignoreCase);
    bool GetIgnoreCase() const;
    void SetKeepOpen(bool keepOpen);
    bool GetKeepOpen() const;

private:
    plat::Window* m_parent;
    XFindDlgCB* m_cb = &XFindDlgCB::Default();
    XFindDlgBaseCBFwd m_fwd{*this};
    ZString m_error;
    /// Made by the resource library; deleted through its virtual destructor.
    std::unique_ptr<XFindDlgBaseAPI> m_dlg;
};
