// SPDX-License-Identifier: GPL-2.0-or-later
#include "edit/XMEdit.h"

#include "base/XEvt.h"
#include "base/XEvtHdlr.h"
#include "base/XToolTipWnd.h"
#include "edit/XFindDlg.h"
#include "edit/ZStringML_Blk.h"
#include "platform/Clipboard.h"
#include "platform/FileDialog.h"
#include "platform/Messages.h"
#include "platform/Window.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <sys/stat.h>

namespace {

// The editor's line break on the clipboard, as other programs of the desktop expect it.
constexpr const char* kClipBreak = "\n";

// A pasted or dropped text as lines: CR LF, lone LF and lone CR all break a line.
ZStringML_Blk LinesOf(ZStr text)
{
    if (text.len <= 0 || (std::memchr(text.ptr, '\r', size_t(text.len)) == nullptr)) {
        return ZStringML_Blk::FromText(text, ZStr("\n", 1));
    }
    ZString unified;
    if (!unified.Reserve(text.len)) {
        // No room for the unified copy: the text goes in as it is, its CRs kept in the lines.
        return ZStringML_Blk::FromText(text, ZStr("\n", 1));
    }
    for (int32_t i = 0; i < text.len; ++i) {
        if (text[i] == '\r') {
            unified.Append('\n');
            if (i + 1 < text.len && text[i + 1] == '\n') {
                ++i;
            }
        } else {
            unified.Append(text[i]);
        }
    }
    return ZStringML_Blk::FromText(unified.Str(), ZStr("\n", 1));
}

// Exact forward search for pat in hay from start on.
bool FindExact(ZStr hay, ZStr pat, int32_t start, int32_t& pos)
{
    for (int32_t i = start; i + pat.len <= hay.len; ++i) {
        if (hay[i] == pat[0] && std::memcmp(hay.ptr + i, pat.ptr, size_t(pat.len)) == 0) {
            pos = i;
            return true;
        }
    }
    return false;
}

} // namespace

// ---------------------------------------------------------------------------------------
// Callbacks

bool XMEditCB::OnCommand(XMEdit&, ZStr, const XMEditCmdParms&)
{
    return false;
}

bool XMEditCB::OnUnhandledKey(XMEdit&, uint32_t, uint32_t)
{
    return false;
}

void XMEditCB::OnTextChanged(XMEdit&) {}
void XMEditCB::OnSelChanged(XMEdit&) {}
void XMEditCB::OnScrolled(XMEdit&) {}
void XMEditCB::OnFocus(XMEdit&, bool) {}
void XMEditCB::OnRButtonDown(XMEdit&, NXPoint) {}

void XMEditCB::BuildMenu(XMEdit& edit, ZString& markup, bool sepBefore, bool sepAfter)
{
    edit.BuildEditGroup(markup, sepBefore, true);
    edit.BuildUndoGroup(markup, false, sepAfter);
}

bool XMEditCB::OnMenuCmd(XMEdit& edit, const XMenuPopUpEntry& entry)
{
    return edit.ExecCmd(entry.cmd.Str());
}

void XMEditCB::OnFindWrap(XMEdit&, bool) {}

bool XMEditCB::OnFindFailed(XMEdit&, ZStr)
{
    return false;
}

bool XMEditCB::OnDropFiles(XMEdit&, const std::vector<std::string>&)
{
    return false;
}

void XMEditCB::OnReadOnlyRefused(XMEdit&, ZStr) {}

XMEditCB& XMEditCB::Default()
{
    static XMEditCB* instance = new XMEditCB;
    return *instance;
}

bool XMEditRBMenuCB::OnMenuCmd(XMenuPopUp&, const XMenuPopUpEntry& entry, ZStr, ZStr, ZStr, int32_t)
{
    return m_edit.CB().OnMenuCmd(m_edit, entry);
}

void XMEditFindDlgCB::OnFind(XFindDlg&, ZStr text, bool forward, bool ignoreCase, bool, bool fresh,
                             bool keepOpen)
{
    m_edit.OnFindDlgFind(text, forward, ignoreCase, fresh, keepOpen);
}

// ---------------------------------------------------------------------------------------
// Scroll bars

ZString XMEditScrollerCB::TipText(double pos, double range)
{
    ZString tip;
    tip.Format("%ld of %ld", std::lround(pos) + 1, std::lround(range));
    return tip;
}

void XMEditScrollerCB::OnScroll(int32_t bar, uint32_t code, int32_t pos)
{
    const bool vert = bar == 1;
    const int32_t page = vert ? m_edit.PageLines() : m_edit.PageCols();
    const int32_t cur = vert ? m_edit.FirstLine() : m_edit.FirstCol();
    int32_t to = cur;
    switch (plat::ScrollCode(code)) {
    case plat::ScrollCode::LineUp:
        to = cur - 1;
        break;
    case plat::ScrollCode::LineDown:
        to = cur + 1;
        break;
    case plat::ScrollCode::PageUp:
        to = cur - page;
        break;
    case plat::ScrollCode::PageDown:
        to = cur + page;
        break;
    case plat::ScrollCode::ThumbTrack:
    case plat::ScrollCode::ThumbPosition:
        to = pos;
        break;
    case plat::ScrollCode::Top:
        to = 0;
        break;
    case plat::ScrollCode::Bottom:
        to = std::numeric_limits<int32_t>::max() / 2;
        break;
    case plat::ScrollCode::EndScroll:
        HideTip();
        return;
    }
    if (vert) {
        m_edit.ScrollTo(to, m_edit.FirstCol());
    } else {
        m_edit.ScrollTo(m_edit.FirstLine(), to);
    }
    if (vert && plat::ScrollCode(code) == plat::ScrollCode::ThumbTrack) {
        // The tip stands in the top right corner of the view, beside the thumb's bar.
        plat::Point at{0, 0};
        if (plat::Window* wnd = m_edit.GetWindow()) {
            at = wnd->ClientToScreen({m_edit.GetViewSize().cx - 2, 2});
        }
        ShowTip(TipText(m_edit.FirstLine(), m_edit.LineCount()).Str(), at);
    }
}

XMEditScrollerCB::XMEditScrollerCB(XMEdit& edit)
    : m_edit(edit)
{
}

XMEditScrollerCB::~XMEditScrollerCB() = default;

void XMEditScrollerCB::ShowTip(ZStr text, plat::Point topRight)
{
    m_tip = text;
    m_shown = true;
    if (!m_tipWnd) {
        m_tipWnd = std::make_unique<XToolTipWnd>();
    }
    m_tipWnd->SetText(text);
    m_tipWnd->ShowAt({topRight.x - m_tipWnd->GetBoxSize().cx, topRight.y});
}

void XMEditScrollerCB::HideTip()
{
    m_shown = false;
    if (m_tipWnd) {
        m_tipWnd->Hide();
    }
}

// ---------------------------------------------------------------------------------------
// Construction

XMEdit::XMEdit(ZStringML& buffer, XMEditCB* cb)
    : XME_SText(buffer)
    , m_cb(cb ? cb : &XMEditCB::Default())
    , m_scroller(std::make_unique<XMEditScrollerCB>(*this))
{
    buffer.SetUndoMngr(&m_undo);
}

XMEdit::~XMEdit()
{
    if (Buffer().UndoMngr() == &m_undo) {
        Buffer().SetUndoMngr(nullptr);
    }
}

void XMEdit::SetScroller(std::unique_ptr<XMEditScrollerCB> scroller)
{
    m_scroller = scroller ? std::move(scroller) : std::make_unique<XMEditScrollerCB>(*this);
}

void XMEdit::OnSelChanged()
{
    // Selected text is the PRIMARY selection, as in every X program: a middle click pastes
    // it elsewhere. Only a selection made by the user counts; clearing it keeps the last.
    ZString selected;
    if (GetSelText(selected, "\n") && !selected.IsEmpty()) {
        plat::SetPrimarySelection(ToStdString(selected.Str()));
    }
    m_cb->OnSelChanged(*this);
}

void XMEdit::OnScrolled()
{
    m_cb->OnScrolled(*this);
}

void XMEdit::OnTextChanged()
{
    m_cb->OnTextChanged(*this);
}

// ---------------------------------------------------------------------------------------
// Commands by name

const XMEdit::Command* XMEdit::Commands(int32_t& count)
{
    static const Command table[] = {
        {"DoChar", &XMEdit::DoChar, true},
        {"DoKeyLEFT", &XMEdit::DoKeyLEFT, false},
        {"DoKeyRIGHT", &XMEdit::DoKeyRIGHT, false},
        {"DoKeyUP", &XMEdit::DoKeyUP, false},
        {"DoKeyDOWN", &XMEdit::DoKeyDOWN, false},
        {"DoKeyHOME", &XMEdit::DoKeyHOME, false},
        {"DoKeyEND", &XMEdit::DoKeyEND, false},
        {"DoKeyPRIOR", &XMEdit::DoKeyPRIOR, false},
        {"DoKeyNEXT", &XMEdit::DoKeyNEXT, false},
        {"DoKeyRETURN", &XMEdit::DoKeyRETURN, true},
        {"DoKeyBACK", &XMEdit::DoKeyBACK, true},
        {"DoKeyDELETE", &XMEdit::DoKeyDELETE, true},
        {"DoFind", &XMEdit::DoFind, false},
        {"DoFindDlg", &XMEdit::DoFindDlg, false},
        {"DoCopy", &XMEdit::DoCopy, false},
        {"DoCut", &XMEdit::DoCut, false},
        {"DoCutLine", &XMEdit::DoCutLine, false},
        {"DoPaste", &XMEdit::DoPaste, true},
        {"DoSelAll", &XMEdit::DoSelAll, false},
        // An undo or redo in a read-only editor would change the text the user may not
        // change, so they are refused like the other edits.
        {"DoUndo", &XMEdit::DoUndo, true},
        {"DoRedo", &XMEdit::DoRedo, true},
        {"DoSelDrag", &XMEdit::DoSelDrag, false},
    };
    count = int32_t(sizeof(table) / sizeof(table[0]));
    return table;
}

const XMEdit::Command* XMEdit::FindCommand(ZStr cmd)
{
    int32_t n = 0;
    const Command* table = Commands(n);
    for (int32_t i = 0; i < n; ++i) {
        if (cmd.Equals(table[i].name)) {
            return &table[i];
        }
    }
    return nullptr;
}

bool XMEdit::IsCommand(ZStr cmd)
{
    return FindCommand(cmd) != nullptr;
}

bool XMEdit::ExecCmd(ZStr cmd, const XMEditCmdParms& parms)
{
    if (m_cb->OnCommand(*this, cmd, parms)) {
        return true;
    }
    return RunCmd(cmd, parms);
}

bool XMEdit::RunCmd(ZStr cmd, const XMEditCmdParms& parms)
{
    const Command* c = FindCommand(cmd);
    if (!c) {
        return false;
    }
    if (c->edits && m_readOnly) {
        m_cb->OnReadOnlyRefused(*this, cmd);
        return true;
    }
    if (c->edits && c->run != &XMEdit::DoUndo && c->run != &XMEdit::DoRedo) {
        DropJoins();
    }
    return (this->*(c->run))(parms);
}

// ---------------------------------------------------------------------------------------
// Typing

bool XMEdit::DoChar(const XMEditCmdParms& p)
{
    // Control characters other than Tab (Escape, characters of unbound Ctrl keys) are not
    // text a user means to type.
    if (p.ch < 32 && p.ch != '\t') {
        return false;
    }
    char buf[4];
    int32_t n = 0;
    if (p.ch < 0x80) {
        buf[n++] = char(p.ch);
    } else if (p.ch < 0x800) {
        buf[n++] = char(0xC0 | (p.ch >> 6));
        buf[n++] = char(0x80 | (p.ch & 0x3F));
    } else if (p.ch < 0x10000) {
        buf[n++] = char(0xE0 | (p.ch >> 12));
        buf[n++] = char(0x80 | ((p.ch >> 6) & 0x3F));
        buf[n++] = char(0x80 | (p.ch & 0x3F));
    } else {
        buf[n++] = char(0xF0 | ((p.ch >> 18) & 0x07));
        buf[n++] = char(0x80 | ((p.ch >> 12) & 0x3F));
        buf[n++] = char(0x80 | ((p.ch >> 6) & 0x3F));
        buf[n++] = char(0x80 | (p.ch & 0x3F));
    }
    return Replace(ZStringML_Blk::FromText(ZStr(buf, n), ZStr()));
}

bool XMEdit::DoKeyRETURN(const XMEditCmdParms&)
{
    return Replace(ZStringML_Blk::FromText(ZStr("\n", 1), ZStr("\n", 1)));
}

bool XMEdit::DoKeyBACK(const XMEditCmdParms&)
{
    if (HasSel()) {
        return DeleteSel();
    }
    const XME_Pos c = m_caret;
    if (c.line == 0 && c.col == 0) {
        return true;
    }
    const XME_Pos from = c.col > 0 ? XME_Pos{c.line, PrevCharCol(LineText(c.line), c.col)}
                                   : XME_Pos{c.line - 1, LineText(c.line - 1).len};
    SetSel(from, c);
    return DeleteSel();
}

bool XMEdit::DoKeyDELETE(const XMEditCmdParms&)
{
    if (HasSel()) {
        return DeleteSel();
    }
    const XME_Pos c = m_caret;
    const int32_t len = LineText(c.line).len;
    if (c.col >= len && c.line + 1 >= LineCount()) {
        return true;
    }
    const XME_Pos to = c.col < len ? XME_Pos{c.line, NextCharCol(LineText(c.line), c.col)}
                                   : XME_Pos{c.line + 1, 0};
    SetSel(c, to);
    return DeleteSel();
}

// ---------------------------------------------------------------------------------------
// Movement

bool XMEdit::CollapseSel(const XMEditCmdParms& p, SelSide side)
{
    XME_Pos s, e;
    GetSel(s, e);
    if (s == e || p.shift) {
        return false;
    }
    MoveCaret(side == SelSide::Start ? s : e, false);
    return true;
}

bool XMEdit::DoKeyLEFT(const XMEditCmdParms& p)
{
    if (CollapseSel(p, SelSide::Start)) {
        return true;
    }
    XME_Pos c = m_caret;
    if (p.ctrl) {
        c = WordLeft(c);
    } else if (c.col > 0) {
        c.col = PrevCharCol(LineText(c.line), c.col);
    } else if (c.line > 0) {
        c = {c.line - 1, LineText(c.line - 1).len};
    }
    MoveCaret(c, p.shift);
    return true;
}

bool XMEdit::DoKeyRIGHT(const XMEditCmdParms& p)
{
    if (CollapseSel(p, SelSide::End)) {
        return true;
    }
    XME_Pos c = m_caret;
    if (p.ctrl) {
        c = WordRight(c);
    } else if (c.col < LineText(c.line).len) {
        c.col = NextCharCol(LineText(c.line), c.col);
    } else if (c.line + 1 < LineCount()) {
        c = {c.line + 1, 0};
    }
    MoveCaret(c, p.shift);
    return true;
}

void XMEdit::MoveLines(int32_t delta, bool extend)
{
    const int32_t want =
        m_wantCol >= 0 ? m_wantCol : DisplayCol(LineText(m_caret.line), m_caret.col);
    XME_Pos c;
    c.line = std::max<int32_t>(0, std::min(m_caret.line + delta, LineCount() - 1));
    c.col = TextCol(LineText(c.line), want);
    MoveCaret(c, extend);
    m_wantCol = want;
}

bool XMEdit::DoKeyUP(const XMEditCmdParms& p)
{
    if (p.ctrl) {
        ScrollBy(-1, 0);
        return true;
    }
    MoveLines(-1, p.shift);
    return true;
}

bool XMEdit::DoKeyDOWN(const XMEditCmdParms& p)
{
    if (p.ctrl) {
        ScrollBy(1, 0);
        return true;
    }
    MoveLines(1, p.shift);
    return true;
}

bool XMEdit::DoKeyHOME(const XMEditCmdParms& p)
{
    MoveCaret(p.ctrl ? XME_Pos{0, 0} : XME_Pos{m_caret.line, 0}, p.shift);
    return true;
}

bool XMEdit::DoKeyEND(const XMEditCmdParms& p)
{
    const int32_t line = p.ctrl ? LineCount() - 1 : m_caret.line;
    MoveCaret({line, LineText(line).len}, p.shift);
    return true;
}

bool XMEdit::DoKeyPRIOR(const XMEditCmdParms& p)
{
    // The view moves by a page and the caret keeps its place in the view.
    const int32_t page = PageLines();
    ScrollBy(-page, 0);
    MoveLines(-page, p.shift);
    return true;
}

bool XMEdit::DoKeyNEXT(const XMEditCmdParms& p)
{
    const int32_t page = PageLines();
    ScrollBy(page, 0);
    MoveLines(page, p.shift);
    return true;
}

bool XMEdit::DoSelAll(const XMEditCmdParms&)
{
    SelectAll();
    return true;
}

bool XMEdit::DoSelDrag(const XMEditCmdParms& p)
{
    // Dragging extends the selection in both modes; the text itself is never dragged.
    MouseAction(p.pos, XMEMouseAction::Extend);
    EnsureCaretVisible();
    return true;
}

// ---------------------------------------------------------------------------------------
// Clipboard

bool XMEdit::CopyText(ZStr text)
{
    // The copy is a NUL-terminated text: whoever reads it sees it up to its first NUL.
    const void* nul = text.len > 0 ? std::memchr(text.ptr, 0, size_t(text.len)) : nullptr;
    const size_t n = nul ? size_t(static_cast<const char*>(nul) - text.ptr)
                         : size_t(std::max<int32_t>(0, text.len));
    return plat::SetClipboardText(std::string(text.ptr ? text.ptr : "", n));
}

bool XMEdit::PasteText(ZString& text)
{
    std::string clip;
    if (!plat::GetClipboardText(clip)) {
        text.Clear();
        return false;
    }
    return text.Assign(clip.c_str(), int32_t(std::strlen(clip.c_str())));
}

bool XMEdit::DoCopy(const XMEditCmdParms&)
{
    if (!HasSel()) {
        return true;
    }
    ZString text;
    return GetSelText(text, kClipBreak) && CopyText(text.Str());
}

bool XMEdit::DoCut(const XMEditCmdParms& p)
{
    // Text that did not reach the clipboard is not deleted either.
    if (!HasSel() || !DoCopy(p)) {
        return true;
    }
    if (m_readOnly) {
        m_cb->OnReadOnlyRefused(*this, "DoCut");
        return true;
    }
    return DeleteSel();
}

bool XMEdit::DoCutLine(const XMEditCmdParms& p)
{
    XME_Pos s, e;
    GetSel(s, e);
    if (e.line > s.line) {
        const XME_Pos from{s.line, 0};
        const XME_Pos to{e.line, LineText(e.line).len};
        if (m_anchor <= m_caret) {
            SetSel(from, to);
        } else {
            SetSel(to, from);
        }
        return true;
    }
    // The caret's line with its line break, so that cutting lines one after another
    // leaves no empty lines behind; the last line has no break of its own.
    const int32_t line = m_caret.line;
    const XME_Pos to =
        line + 1 < LineCount() ? XME_Pos{line + 1, 0} : XME_Pos{line, LineText(line).len};
    SetSel({line, 0}, to);
    return DoCut(p);
}

bool XMEdit::DoPaste(const XMEditCmdParms&)
{
    ZString text;
    if (!PasteText(text) || text.IsEmpty()) {
        return true;
    }
    return Replace(LinesOf(text.Str()));
}

// ---------------------------------------------------------------------------------------
// Undo

void XMEdit::AfterUndo()
{
    XME_Pos c;
    Buffer().CurrentPos(c.line, c.col);
    UpdateScrollBars();
    SetSel(c, c);
    OnTextChanged();
}

bool XMEdit::IsJoined(int32_t record) const
{
    return std::find(m_joined.begin(), m_joined.end(), record) != m_joined.end();
}

void XMEdit::DropJoins()
{
    const int32_t current = m_undo.Current();
    m_joined.erase(std::remove_if(m_joined.begin(), m_joined.end(),
                                  [current](int32_t r) { return r >= current; }),
                   m_joined.end());
}

bool XMEdit::Replace(const ZStringML_Blk& lines)
{
    // A block without lines is what building one makes when memory ran out: nothing to
    // put in place of the selection, so the selection stays.
    if (lines.LineCount() == 0) {
        return false;
    }
    const bool sel = HasSel();
    const int32_t before = m_undo.Current();
    if (!DeleteSel()) {
        return false;
    }
    const int32_t afterRemoval = m_undo.Current();
    if (!ReplaceSel(lines)) {
        // The insertion failed after the selection went: take the removal back, so that
        // the edit changes nothing.
        if (sel && afterRemoval > before && m_undo.Current() == afterRemoval && m_undo.Undo()) {
            m_undo.DropRedo();
            AfterUndo();
        }
        return false;
    }
    // The insertion follows a removal record, so it never merges into it: a new record.
    if (sel && m_undo.Current() == afterRemoval + 1 && afterRemoval > 0) {
        m_joined.push_back(afterRemoval);
    }
    return true;
}

bool XMEdit::DoUndo(const XMEditCmdParms&)
{
    if (m_undo.Undo()) {
        while (IsJoined(m_undo.Current()) && m_undo.Undo()) {
        }
        AfterUndo();
    }
    return true;
}

bool XMEdit::DoRedo(const XMEditCmdParms&)
{
    if (m_undo.Redo()) {
        while (IsJoined(m_undo.Current()) && m_undo.Redo()) {
        }
        AfterUndo();
    }
    return true;
}

// ---------------------------------------------------------------------------------------
// Search

bool XMEdit::Search(ZStr text, bool forward, bool ignoreCase, XME_Pos from, XME_Pos to,
                    XME_Pos& start, XME_Pos& end) const
{
    if (text.len <= 0 || to < from) {
        return false;
    }
    from = Clamp(from);
    to = Clamp(to);
    const int32_t step = forward ? 1 : -1;
    for (int32_t line = forward ? from.line : to.line;
         forward ? line <= to.line : line >= from.line; line += step) {
        const ZStr t = LineText(line);
        const int32_t lo = line == from.line ? from.col : 0;
        const int32_t hi = line == to.line ? to.col : t.len;
        if (hi - lo < text.len) {
            continue;
        }
        const ZStr part(t.ptr + lo, hi - lo);
        int32_t pos = -1;
        bool hit;
        if (forward) {
            hit =
                ignoreCase ? part.FindI(text.ptr, text.len, 0, pos) : FindExact(part, text, 0, pos);
        } else {
            hit = ignoreCase ? part.FindLastI(text.ptr, text.len, -1, pos)
                             : part.FindLast(text.ptr, text.len, -1, pos);
        }
        if (hit) {
            start = {line, lo + pos};
            end = {line, lo + pos + text.len};
            return true;
        }
    }
    return false;
}

bool XMEdit::FindText(ZStr text, bool forward, bool ignoreCase)
{
    XME_Pos s, e;
    GetSel(s, e);
    const int32_t last = LineCount() - 1;
    const XME_Pos textEnd{last, LineText(last).len};
    XME_Pos ms, me;
    bool found = forward ? Search(text, true, ignoreCase, e, textEnd, ms, me)
                         : Search(text, false, ignoreCase, {0, 0}, s, ms, me);
    if (!found && m_wrap) {
        m_cb->OnFindWrap(*this, forward);
        // The rest of the text: forward from its start up to where the search began,
        // backward from its end down to there.
        found = forward ? Search(text, true, ignoreCase, {0, 0}, e, ms, me)
                        : Search(text, false, ignoreCase, s, textEnd, ms, me);
    }
    if (found) {
        SetSel(ms, me);
        EnsureVisible(ms);
        EnsureVisible(me);
    }
    return found;
}

void XMEdit::ShowMessage(const ZString& text, const char* caption)
{
    plat::ShowMessageBox(GetWindow(), text.Text(), caption);
}

void XMEdit::ReportNotFound(ZStr text)
{
    if (m_cb->OnFindFailed(*this, text)) {
        return;
    }
    ZString msg;
    msg.Format("Can not find  '%.*s'", int(text.len), text.ptr ? text.ptr : "");
    ShowMessage(msg, "Find");
}

bool XMEdit::Find(bool forward)
{
    if (m_findText.IsEmpty()) {
        return false;
    }
    const ZString text = m_findText;
    if (FindText(text.Str(), forward, m_ignoreCase)) {
        return true;
    }
    ReportNotFound(text.Str());
    return false;
}

void XMEdit::TakeSearchText(ZString& text, bool select)
{
    XME_Pos s, e;
    GetSel(s, e);
    if (s == e) {
        WordAt(m_caret, s, e);
        if (select && s != e) {
            SetSel(s, e);
        }
    }
    if (e.line > s.line) {
        e = {s.line, LineText(s.line).len};
    }
    const ZStr line = LineText(s.line);
    text.Assign(line.ptr + s.col, e.col - s.col);
}

bool XMEdit::DoFind(const XMEditCmdParms& p)
{
    if (p.ctrl) {
        ZString text;
        TakeSearchText(text, true);
        if (!text.IsEmpty()) {
            m_findText = text;
        }
    }
    Find(!p.shift);
    return true;
}

bool XMEdit::DoFindDlg(const XMEditCmdParms&)
{
    ZString text;
    TakeSearchText(text, false);
    if (!m_findDlg) {
        m_findDlg = std::make_unique<XFindDlg>(GetWindow());
        m_findDlg->SetCB(&m_findCB);
    }
    if (!m_findDlg->CreateDlg()) {
        ZString msg;
        msg.Format("The find dialog is not available: %s", m_findDlg->GetError().IsEmpty()
                                                               ? "it could not be created"
                                                               : m_findDlg->GetError().Text());
        ShowMessage(msg, "Find");
        return true;
    }
    m_findDlg->RemoveAll();
    m_findDlg->SelectFind(m_findDlg->AddFind(text.Str()));
    m_findDlg->InitDlg();
    m_findDlg->Show(true);
    return true;
}

void XMEdit::OnFindDlgFind(ZStr text, bool forward, bool ignoreCase, bool fresh, bool keepOpen)
{
    if (m_focusAfterFind && m_handler) {
        m_handler->ActivateSlot(true, nullptr, XEvtGUI::kSlotKeyboard);
    }
    const bool hide = !keepOpen && m_findDlg;
    if (hide) {
        m_findDlg->Show(false);
    }
    if (fresh) {
        m_findText = text;
        m_findStart = m_caret;
    }
    m_ignoreCase = ignoreCase;
    const ZString searched(text);
    if (FindText(searched.Str(), forward, ignoreCase)) {
        return;
    }
    if (hide && m_findDlg) {
        m_findDlg->Show(true);
    }
    ReportNotFound(searched.Str());
}

// ---------------------------------------------------------------------------------------
// Context menu, wheel, dropped files

void XMEdit::BuildEditGroup(ZString& markup, bool sepBefore, bool sepAfter) const
{
    if (sepBefore) {
        XMenuPopUp::AddSeparator(markup);
    }
    const bool sel = HasSel();
    XMenuPopUp::AddItem(markup, "Cut\tCtrl+X", "DoCut", sel && !m_readOnly, false);
    XMenuPopUp::AddItem(markup, "Copy\tCtrl+C", "DoCopy", sel, false);
    // Paste in a read-only editor would do nothing, so it is not offered.
    XMenuPopUp::AddItem(markup, "Paste\tCtrl+V", "DoPaste", !m_readOnly && plat::HasClipboardText(),
                        false);
    if (sepAfter) {
        XMenuPopUp::AddSeparator(markup);
    }
}

void XMEdit::BuildUndoGroup(ZString& markup, bool sepBefore, bool sepAfter) const
{
    if (sepBefore) {
        XMenuPopUp::AddSeparator(markup);
    }
    XMenuPopUp::AddItem(markup, "Undo\tCtrl+Z", "DoUndo", !m_readOnly && m_undo.CanUndo(), false);
    XMenuPopUp::AddItem(markup, "Redo\tCtrl+Y", "DoRedo", !m_readOnly && m_undo.CanRedo(), false);
    if (sepAfter) {
        XMenuPopUp::AddSeparator(markup);
    }
}

bool XMEdit::ShowMenu(NXPoint clientPt)
{
    ZString markup;
    m_cb->BuildMenu(*this, markup, false, false);
    NXPoint screen = clientPt;
    if (plat::Window* wnd = GetWindow()) {
        const plat::Point origin = wnd->ClientToScreen({0, 0});
        screen = NXPoint{clientPt.x + origin.x, clientPt.y + origin.y};
    }
    return m_menu.Show(markup.Str(), GetWindow(), screen, XMenuButton::Right, &m_rbMenuCB);
}

void XMEdit::Wheel(int32_t delta, bool ctrl)
{
    const int32_t steps = -(delta / 120);
    if (ctrl) {
        ScrollBy(0, steps * kWheelLines);
    } else {
        ScrollBy(steps * kWheelLines, 0);
    }
}

ZStr XMEdit::LineBreakOf(ZStr text)
{
    const int32_t lf = text.FindChar('\n');
    return lf > 0 && text[lf - 1] == '\r' ? ZStr("\r\n", 2) : ZStr("\n", 1);
}

bool XMEdit::ReadTextFile(const std::string& path, ZString& text, ZString& error)
{
    text.Clear();
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        error.Format("Can not open '%s': %s", path.c_str(), std::strerror(errno));
        return false;
    }
    struct stat st;
    if (fstat(fileno(f), &st) != 0 || !S_ISREG(st.st_mode)) {
        error.Format("Can not open '%s': it is not a file", path.c_str());
        std::fclose(f);
        return false;
    }
    bool ok = std::fseek(f, 0, SEEK_END) == 0;
    const long size = ok ? std::ftell(f) : -1;
    ok = ok && size >= 0 && std::fseek(f, 0, SEEK_SET) == 0;
    if (!ok) {
        error.Format("Can not read '%s': %s", path.c_str(), std::strerror(errno));
        std::fclose(f);
        return false;
    }
    if (size > long(std::numeric_limits<int32_t>::max() - 16)) {
        error.Format("Can not open '%s': the file is too large", path.c_str());
        std::fclose(f);
        return false;
    }
    if (!text.SetLength(int32_t(size))) {
        error.Format("Can not open '%s': not enough memory", path.c_str());
        std::fclose(f);
        return false;
    }
    const size_t got = size > 0 ? std::fread(text.Data(), 1, size_t(size), f) : 0;
    const bool readError = std::ferror(f) != 0;
    std::fclose(f);
    if (readError || got != size_t(size)) {
        error.Format("Can not read '%s'%s%s", path.c_str(), readError ? ": " : "",
                     readError ? std::strerror(EIO) : "");
        text.Clear();
        return false;
    }
    if (size > 0 && std::memchr(text.Text(), 0, size_t(size)) != nullptr) {
        error.Format("Can not open '%s': it is not a text file", path.c_str());
        text.Clear();
        return false;
    }
    return true;
}

bool XMEdit::DropFiles(const std::vector<std::string>& paths)
{
    if (paths.empty()) {
        return false;
    }
    if (m_cb->OnDropFiles(*this, paths)) {
        return true;
    }
    if (m_readOnly) {
        m_cb->OnReadOnlyRefused(*this, "DropFiles");
        return false;
    }
    ZString text;
    ZString error;
    if (!ReadTextFile(paths.front(), text, error)) {
        ShowMessage(error, "Open");
        return false;
    }
    const ZStr sep = LineBreakOf(text.Str());
    // Replaced through the undo manager, so that a drop on the wrong window can be taken
    // back.
    DropJoins();
    SelectAll();
    if (!Replace(ZStringML_Blk::FromText(text.Str(), sep))) {
        ZString msg;
        msg.Format("Can not load '%s': not enough memory", paths.front().c_str());
        ShowMessage(msg, "Open");
        return false;
    }
    SetSel({0, 0}, {0, 0});
    return true;
}
