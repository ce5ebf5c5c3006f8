// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/Dialog.h"
#include "platform/Messages.h"
#include "platform/Window.h"
#include "res/XFindDlgBaseAPI.h"
#include "res/XFindDlgBaseCB.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

/// A small modeless find bar: a drop-down box with a history of search texts, "Next" and
/// "Prev." buttons and the options "Ignore Case" and "Keep Open". It searches nothing
/// itself; every user action goes to its XFindDlgBaseCB.
///
/// The window is made from the template "IDD_QUILLRES_FIND" on the first CreateDlg and is
/// then only shown or hidden (closing it hides it); history and options persist across
/// showings. The fresh flag marks the first search after each change of the text.
///
/// Code that reaches this library only by loading it holds the dialog through
/// XFindDlgBaseAPI (see QuillRES_NewFindDlg).
class XFindDlgBase : public plat::WindowCB, public plat::Dialog, public XFindDlgBaseAPI
{
public:
    /// No window yet; parent (may be null; not owned, it must outlive the window) is where
    /// the dialog is centred.
    explicit XFindDlgBase(plat::Window* parent = nullptr);
    ~XFindDlgBase() override;

    /// Sets the callback (not owned; it must outlive its use); null restores m_CBDef.
    void SetCB(XFindDlgBaseCB* cb) override;
    /// The callback; never null.
    XFindDlgBaseCB* CB() const override;

    /// The options; setting one also sets its check box when the window exists.
    void SetIgnoreCase(bool ignoreCase) override;
    bool GetIgnoreCase() const override;
    void SetKeepOpen(bool keepOpen) override;
    bool GetKeepOpen() const override;

    /// Appends text (null counts as empty) to the history; returns its index.
    int32_t AddFind(const char* text) override;
    /// Remembers the history index to select when the list is filled (InitDlg); -1 for none.
    void SelectFind(int32_t index) override;
    /// Empties the box (list and text) and the history; the selection becomes -1. The text
    /// has changed, so the next search is fresh.
    void RemoveAll() override;
    /// RemoveAll, and ignore case becomes false.
    void Reset() override;

    /// Shows the window if it exists; otherwise loads the template from the QuillRES module
    /// and creates the dialog modelessly, centred on parent (null: the constructor's). id is
    /// accepted and not used. False, with nothing shown, when the template cannot be loaded
    /// or the window cannot be created.
    bool CreateDlg(plat::Window* parent, int id) override;
    /// As CreateDlg, but as a child window inside parent (which must exist), shown only when
    /// show is set and hidden otherwise; an existing window is shown or hidden likewise.
    bool CreateDlgChild(plat::Window* parent, bool show, int id) override;
    /// Runs the same template as a modal dialog and returns its end code (2 when closed);
    /// -1 when the template cannot be loaded, the window already exists or there is no
    /// display.
    int DoModal() override;

    /// Fills the box's list with the history in order and selects the remembered index
    /// (which sets the box's text). Nothing without a window.
    void InitDlg() override;
    /// The current text of the box (empty without a window).
    void GetEdit(std::string& out) const override;
    /// With save set, reads the check boxes into the options; otherwise sets the check boxes
    /// from them. Nothing without a window.
    void DoDataExchange(bool save) override;

    /// The history and state, for hosts and tests.
    int32_t GetFindCount() const override;
    /// History entry index, or an empty text for an index out of range.
    std::string GetFind(int32_t index) const override;
    int32_t GetSelectedFind() const override;
    bool IsEdited() const override;
    bool IsFresh() const override;

    /// Message handlers. OnInitDialog fits the box to one line, sets the check boxes, fills
    /// the list and puts the focus into the box. "Next" and "Prev." read the check boxes and report
    /// a search, after which the text is no longer fresh; choosing a list entry clears the edited
    /// flag and reports the entry; typing sets the edited flag and reports the text. Both mark the
    /// text fresh.
    virtual bool OnInitDialog();
    virtual void OnFindNext();
    virtual void OnFindPrev();
    virtual void OnSelEndOK();
    virtual void OnEditChange();

    plat::Dialog& GetDialog() override { return *this; }

    /// Routes the dialog's messages to the handlers above.
    bool OnMessage(plat::Window& wnd, const plat::Message& msg) override;

    /// The shared callback that does nothing.
    static XFindDlgBaseCB m_CBDef;

private:
    void Find(bool forward);
    /// Keeps an option (1 or 0) and shows it in check box checkId while the dialog is open.
    void SetOption(uint8_t& option, int checkId, bool on);
    /// Makes the drop-down box one line high; its template height includes the open list.
    void FitComboBox();
    /// The find template from the QuillRES module, or null.
    static const plat::DialogTemplate* FindTemplate();

    plat::Window* m_parent = nullptr;
    std::vector<std::string> m_history;
    int32_t m_selected = -1;
    uint8_t m_edited = 0;
    uint8_t m_fresh = 1;
    uint8_t m_ignoreCase = 0;
    uint8_t m_keepOpen = 0;
    XFindDlgBaseCB* m_cb = &m_CBDef;
    /// Cleared when the object dies, so that a handler notices when its callback deleted
    /// the dialog.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
