// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/NXGeom.h"
#include "base/ZStr.h"
#include "base/ZString.h"
#include "edit/XFindDlgCB.h"
#include "edit/XME_SText.h"
#include "edit/XMEditCB.h"
#include "edit/ZUndo.h"
#include "menu/XMenuPopUp.h"
#include "platform/Geometry.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class XEvtHdlr;
class XFindDlg;
class XToolTipWnd;
class XMEdit;

/// What a command gets besides its name: the character of "DoChar", the modifier states of
/// the key or click, the pointer position (client coordinates) and, for "DoSelDrag", the
/// editor's read-only state.
struct XMEditCmdParms
{
    uint32_t ch = 0;
    bool shift = false;
    bool ctrl = false;
    NXPoint pos;
    bool readOnly = false;
};

/// The context menu's callback: a chosen entry goes to the editor's owner (XMEditCB).
class XMEditRBMenuCB : public XMenuPopUpCB
{
public:
    explicit XMEditRBMenuCB(XMEdit& edit)
        : m_edit(edit)
    {
    }
    bool OnMenuCmd(XMenuPopUp& menu, const XMenuPopUpEntry& entry, ZStr cmd, ZStr text,
                   ZStr options, int32_t id) override;

private:
    XMEdit& m_edit;
};

/// The find dialog's callback: only a search request is acted upon.
class XMEditFindDlgCB : public XFindDlgCB
{
public:
    explicit XMEditFindDlgCB(XMEdit& edit)
        : m_edit(edit)
    {
    }
    void OnFind(XFindDlg& dlg, ZStr text, bool forward, bool ignoreCase, bool edited, bool fresh,
                bool keepOpen) override;

private:
    XMEdit& m_edit;
};

/// The scroll bars' callback: scroll messages of the editor's window move the view, and
/// while the vertical thumb is dragged a tool tip in the top right corner of the view shows
/// "%d of %d" (first visible line from 1, line count); it goes when the drag ends.
class XMEditScrollerCB
{
public:
    explicit XMEditScrollerCB(XMEdit& edit);
    virtual ~XMEditScrollerCB();
    XMEditScrollerCB(const XMEditScrollerCB&) = delete;
    XMEditScrollerCB& operator=(const XMEditScrollerCB&) = delete;

    /// A scroll message of bar (0 horizontal, 1 vertical) with a ScrollCode and position.
    virtual void OnScroll(int32_t bar, uint32_t code, int32_t pos);
    /// The tip for a scroll position and range: the position rounded half away from zero
    /// plus one, "of", the range rounded.
    static ZString TipText(double pos, double range);

    /// Shows text in the tool-tip window with its top right corner at topRight (screen
    /// coordinates); hides it again.
    virtual void ShowTip(ZStr text, plat::Point topRight);
    virtual void HideTip();
    const ZString& GetTipText() const { return m_tip; }
    bool IsTipShown() const { return m_shown; }
    /// The tool-tip window, once a tip was shown (null before).
    XToolTipWnd* GetTipWnd() const { return m_tipWnd.get(); }

private:
    XMEdit& m_edit;
    ZString m_tip;
    bool m_shown = false;
    std::unique_ptr<XToolTipWnd> m_tipWnd;
};

/// The editor control's logic: commands by name, context menu, search and find dialog,
/// clipboard, read-only mode, and the undo manager of its text buffer.
///
/// Commands (see ExecCmd) are the one vocabulary of keys, the context menu and the owner.
/// The clipboard carries 8-bit text: a copy puts the selection as a NUL-terminated text
/// (readers see it up to its first NUL byte, lines joined by LF), and a paste takes the
/// clipboard text up to its first NUL byte, with CR LF, LF and CR all read as line breaks.
class XMEdit : public XME_SText
{
public:
    static constexpr int32_t kWheelLines = 3; ///< lines (or columns) per wheel step

    /// An editor of buffer (not owned; it must outlive the editor). The editor's undo
    /// manager is installed in the buffer and records from the start.
    explicit XMEdit(ZStringML& buffer, XMEditCB* cb = nullptr);
    /// Takes its undo manager out of the buffer.
    ~XMEdit() override;

    /// The owner's callback (not owned); null restores the shared default.
    void SetCB(XMEditCB* cb) { m_cb = cb ? cb : &XMEditCB::Default(); }
    XMEditCB& CB() const { return *m_cb; }
    /// The handler that takes the keyboard after a find (not owned; may be null).
    void SetHandler(XEvtHdlr* handler) { m_handler = handler; }

    // --- Commands ---------------------------------------------------------------------
    /// Runs a command by name after offering it to the owner (XMEditCB::OnCommand); true
    /// when it was handled. Unknown names are not handled. Editing commands of a read-only
    /// editor do nothing and count as handled.
    bool ExecCmd(ZStr cmd, const XMEditCmdParms& parms = XMEditCmdParms());
    /// Runs a command by name without asking the owner.
    bool RunCmd(ZStr cmd, const XMEditCmdParms& parms = XMEditCmdParms());
    /// Whether a command of that name exists.
    static bool IsCommand(ZStr cmd);

    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool IsReadOnly() const { return m_readOnly; }
    ZUndoMngr& GetUndoMngr() { return m_undo; }

    // --- Search -----------------------------------------------------------------------
    void SetFindText(ZStr text) { m_findText = text; }
    const ZString& GetFindText() const { return m_findText; }
    void SetFindIgnoreCase(bool ignoreCase) { m_ignoreCase = ignoreCase; }
    bool GetFindIgnoreCase() const { return m_ignoreCase; }
    /// Whether a search that finds nothing goes on from the other end of the text (on by
    /// default).
    void SetFindWrap(bool wrap) { m_wrap = wrap; }
    /// Whether a search from the find dialog gives the keyboard back to the editor.
    void SetFocusAfterFind(bool focus) { m_focusAfterFind = focus; }
    /// Searches for the current search text with the stored case option; a match becomes
    /// the selection with the caret at its end. When nothing is found the owner is told, or
    /// the message box "Can not find  '...'" captioned "Find" is shown; false then.
    bool Find(bool forward);
    /// The same search for text, without any message; true when found (and selected).
    bool FindText(ZStr text, bool forward, bool ignoreCase);
    /// The first (forward) or last match of text in the range from `from` up to `to`, line
    /// by line; a match never spans a line break.
    bool Search(ZStr text, bool forward, bool ignoreCase, XME_Pos from, XME_Pos to, XME_Pos& start,
                XME_Pos& end) const;
    /// What the find dialog's "Next" and "Prev." do (see XMEditFindDlgCB).
    void OnFindDlgFind(ZStr text, bool forward, bool ignoreCase, bool fresh, bool keepOpen);
    /// The find dialog, once "DoFindDlg" made it; null before.
    XFindDlg* GetFindDlg() const { return m_findDlg.get(); }
    /// The caret position when the current search text was set from the find dialog.
    XME_Pos GetFindStart() const { return m_findStart; }

    // --- Context menu, clipboard, wheel, scroll bars, dropped files ----------------------
    /// The editor's own menu groups: cut, copy and paste, then undo and redo, each
    /// preceded and followed by a separator when asked.
    void BuildEditGroup(ZString& markup, bool sepBefore, bool sepAfter) const;
    void BuildUndoGroup(ZString& markup, bool sepBefore, bool sepAfter) const;
    /// Shows the context menu at a client point; returns when it closes.
    bool ShowMenu(NXPoint clientPt);
    XMenuPopUp& GetMenu() { return m_menu; }
    /// Puts text on the clipboard as the editor does (up to its first NUL byte).
    static bool CopyText(ZStr text);
    /// The clipboard text up to its first NUL byte; false when there is none.
    static bool PasteText(ZString& text);
    /// The wheel turned by delta (multiples of 120, positive away from the user).
    void Wheel(int32_t delta, bool ctrl);
    XMEditScrollerCB& GetScroller() { return *m_scroller; }
    /// Replaces the scroller's callback (owned); null restores the editor's own.
    void SetScroller(std::unique_ptr<XMEditScrollerCB> scroller);
    /// Files dropped on the editor: unless the owner takes them, the first one's text
    /// replaces the editor's text (one undo step for the removal, one for the insertion).
    /// A file that cannot be read or is not text (it holds NUL bytes) changes nothing and
    /// is reported in a message box; false then.
    bool DropFiles(const std::vector<std::string>& paths);
    /// Reads a whole text file. False with a reason in error when it cannot be read, is too
    /// large for the editor, or holds NUL bytes (not text).
    static bool ReadTextFile(const std::string& path, ZString& text, ZString& error);
    /// The line break a text uses: CR LF when its first break is one, else LF.
    static ZStr LineBreakOf(ZStr text);

    /// Replaces the whole text by text split at sep; keepCaret keeps the caret's place.
    /// The undo history starts afresh.
    bool SetText(ZStr text, ZStr sep, bool keepCaret = false)
    {
        m_joined.clear();
        return XME_Text::SetText(text, sep, keepCaret);
    }

protected:
    void OnSelChanged() override;
    void OnScrolled() override;
    void OnTextChanged() override;

private:
    using Handler = bool (XMEdit::*)(const XMEditCmdParms&);
    struct Command
    {
        const char* name;
        Handler run;
        bool edits; ///< refused when read-only
    };
    static const Command* FindCommand(ZStr cmd);
    static const Command* Commands(int32_t& count);

    bool DoChar(const XMEditCmdParms& p);
    bool DoKeyLEFT(const XMEditCmdParms& p);
    bool DoKeyRIGHT(const XMEditCmdParms& p);
    bool DoKeyUP(const XMEditCmdParms& p);
    bool DoKeyDOWN(const XMEditCmdParms& p);
    bool DoKeyHOME(const XMEditCmdParms& p);
    bool DoKeyEND(const XMEditCmdParms& p);
    bool DoKeyPRIOR(const XMEditCmdParms& p);
    bool DoKeyNEXT(const XMEditCmdParms& p);
    bool DoKeyRETURN(const XMEditCmdParms& p);
    bool DoKeyBACK(const XMEditCmdParms& p);
    bool DoKeyDELETE(const XMEditCmdParms& p);
    bool DoFind(const XMEditCmdParms& p);
    bool DoFindDlg(const XMEditCmdParms& p);
    bool DoCopy(const XMEditCmdParms& p);
    bool DoCut(const XMEditCmdParms& p);
    bool DoCutLine(const XMEditCmdParms& p);
    bool DoPaste(const XMEditCmdParms& p);
    bool DoSelAll(const XMEditCmdParms& p);
    bool DoUndo(const XMEditCmdParms& p);
    bool DoRedo(const XMEditCmdParms& p);
    bool DoSelDrag(const XMEditCmdParms& p);

    enum class SelSide { Start, End };
    /// Without Shift, an arrow key on a selection drops it and leaves the caret at its start
    /// or end, instead of moving; true when it did so.
    bool CollapseSel(const XMEditCmdParms& p, SelSide side);
    /// Moves up or down by lines, keeping the display column of the first move.
    void MoveLines(int32_t delta, bool extend);
    /// The selected text up to its first line break, or else the word at the caret (which
    /// select sets as the selection).
    void TakeSearchText(ZString& text, bool select);
    /// After an undo or redo: the caret goes where the buffer's last edit was.
    void AfterUndo();
    /// Replaces the selection by lines as one undo step: the removal of the selection and
    /// the insertion are two records of the buffer, joined here.
    bool Replace(const ZStringML_Blk& lines);
    bool IsJoined(int32_t record) const;
    /// Forgets joins of records that a new edit drops from the redo history.
    void DropJoins();
    void ReportNotFound(ZStr text);
    void ShowMessage(const ZString& text, const char* caption);

    ZUndoMngr m_undo;
    /// Undo records that are undone and redone together with the record before them.
    std::vector<int32_t> m_joined;
    XMEditCB* m_cb;
    XEvtHdlr* m_handler = nullptr;
    bool m_readOnly = false;
    ZString m_findText;
    bool m_ignoreCase = false;
    bool m_wrap = true;
    bool m_focusAfterFind = true;
    XME_Pos m_findStart;
    XMenuPopUp m_menu;
    XMEditRBMenuCB m_rbMenuCB{*this};
    XMEditFindDlgCB m_findCB{*this};
    std::unique_ptr<XMEditScrollerCB> m_scroller;
    std::unique_ptr<XFindDlg> m_findDlg;
};
