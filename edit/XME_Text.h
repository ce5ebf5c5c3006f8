// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/NXGeom.h"
#include "base/ZStr.h"
#include "base/ZString.h"
#include "edit/XDrawInfoExt.h"
#include "platform/DrawContext.h"
#include "platform/Geometry.h"

#include <cstdint>

class ZStringML_Blk;

namespace plat {
class Window;
}

/// A place in the text: line and column, both counted from 0. A column counts bytes and may
/// be the line's length (the end of the line). Places order by line first, then column.
struct XME_Pos
{
    int32_t line = 0;
    int32_t col = 0;

    friend bool operator==(XME_Pos a, XME_Pos b) { return a.line == b.line && a.col == b.col; }
    friend bool operator!=(XME_Pos a, XME_Pos b) { return !(a == b); }
    friend bool operator<(XME_Pos a, XME_Pos b)
    {
        return a.line < b.line || (a.line == b.line && a.col < b.col);
    }
    friend bool operator<=(XME_Pos a, XME_Pos b) { return !(b < a); }
};

/// What a pointer position does to the caret and the selection.
enum class XMEMouseAction {
    PlaceCaret,  ///< caret to the position, selection cleared
    Extend,      ///< caret to the position, selection from the anchor
    Finish,      ///< end of a drag: as Extend
    DoubleClick, ///< the word at the position is selected
};

/// The text view: font, colours, caret, selection, scrolling and drawing of a multi-line
/// text. The text itself is reached through the virtual model operations, which a derived
/// class binds to a store (see XME_SText).
///
/// The view draws into the window it is attached to (not owned; may be null, then it only
/// keeps its state and paints when asked, which is how tests and benchmarks use it).
/// Painting reads only the lines in view, so its cost does not grow with the text.
///
/// Tabs are shown up to the next multiple of the tab width; the caret and the mouse
/// work in display columns, and the text in bytes.
class XME_Text
{
public:
    static constexpr const char* kDefaultFace = "Fixedsys";
    static constexpr int32_t kDefaultSize = 90; ///< tenths of a point
    static constexpr int32_t kTabWidth = 8;
    /// Blank pixels left of the text.
    static constexpr int32_t kMargin = 2;

    XME_Text();
    virtual ~XME_Text();
    XME_Text(const XME_Text&) = delete;
    XME_Text& operator=(const XME_Text&) = delete;

    // --- The text model ---------------------------------------------------------------
    /// Number of lines, at least 1.
    virtual int32_t LineCount() const = 0;
    /// The characters of a line without its break; empty outside the text. The view lives
    /// until the next edit.
    virtual ZStr LineText(int32_t line) const = 0;
    /// Length of the longest line in bytes.
    virtual int32_t LongestLine() const = 0;
    /// Inserts lines at `at`; `end` becomes the place after them. False, changing nothing,
    /// when the place is outside the text or memory ran out.
    virtual bool InsertLines(XME_Pos at, const ZStringML_Blk& lines, XME_Pos& end) = 0;
    /// Removes the text from `from` up to `to`. False, changing nothing, on a bad range.
    virtual bool RemoveRange(XME_Pos from, XME_Pos to) = 0;
    /// The text from `from` up to `to` with its line breaks written as sep.
    virtual bool GetRangeText(XME_Pos from, XME_Pos to, ZString& out, ZStr sep) const = 0;
    /// The whole text, lines joined with sep.
    virtual bool GetText(ZString& out, ZStr sep) const = 0;
    /// Replaces the whole text by text split at sep (not undoable).
    virtual bool ReplaceAll(ZStr text, ZStr sep) = 0;

    // --- Window and appearance --------------------------------------------------------
    /// The window drawn into (not owned; null for none).
    void AttachWindow(plat::Window* wnd);
    plat::Window* GetWindow() const { return m_wnd; }
    /// The size of the client area; the window's Msg::Size lands here.
    void SetViewSize(plat::Size size);
    plat::Size GetViewSize() const { return m_viewSize; }
    /// The font: a face name of the design and the size in tenths of a point.
    void SetFont(ZStr face, int32_t sizeTenths);
    /// Back to the default font, "Fixedsys" with size value 90.
    void ResetFont() { SetFont(kDefaultFace, kDefaultSize); }
    const plat::Font& GetFont() const { return m_font; }
    /// Colours of the text and the background (0x00BBGGRR).
    void SetColors(plat::ColorRef text, plat::ColorRef background);
    void SetSelColors(plat::ColorRef text, plat::ColorRef background);
    /// Switches a scroll bar (0 horizontal, 1 vertical) on or off.
    void EnableScrollBar(int32_t bar, bool on);
    bool IsScrollBarEnabled(int32_t bar) const;
    /// Whether the caret is shown (the window has the keyboard focus).
    void SetFocusDisplay(bool on);
    bool HasFocusDisplay() const { return m_focusDisplay; }

    /// Cell width (with its fraction) and line height of the font in pixels.
    double CharWidth() const { return m_info.charWidth; }
    int32_t LineHeight() const { return m_info.lineHeight; }
    /// Number of whole lines in view (at least 1): the page of Page Up and Page Down.
    int32_t PageLines() const;
    /// Number of whole display columns in view (at least 1).
    int32_t PageCols() const;

    // --- Caret and selection ----------------------------------------------------------
    XME_Pos GetCaret() const { return m_caret; }
    XME_Pos GetAnchor() const { return m_anchor; }
    bool HasSel() const { return m_anchor != m_caret; }
    /// The selection, ordered: start before end. Both equal the caret without selection.
    void GetSel(XME_Pos& start, XME_Pos& end) const;
    /// Selects from anchor to caret (both clamped to the text) and keeps the caret in view.
    void SetSel(XME_Pos anchor, XME_Pos caret);
    /// Moves the caret; extend keeps the anchor (Shift), otherwise the selection goes.
    void MoveCaret(XME_Pos to, bool extend);
    void SelectAll();
    /// The selected text with breaks written as sep; empty without a selection.
    bool GetSelText(ZString& out, ZStr sep) const;
    /// The word around pos (letters, digits, "_" and bytes above 127); start == end when
    /// pos is not in or at the end of a word.
    void WordAt(XME_Pos pos, XME_Pos& start, XME_Pos& end) const;
    /// Clamps a place into the text.
    XME_Pos Clamp(XME_Pos p) const;
    /// The place one word left or right of p (Ctrl+Left, Ctrl+Right).
    XME_Pos WordLeft(XME_Pos p) const;
    XME_Pos WordRight(XME_Pos p) const;

    // --- Editing through the view (not checking any read-only state) --------------------
    /// Deletes the selection, if any; the caret goes to its start.
    bool DeleteSel();
    /// Replaces the selection (or inserts at the caret) by lines; the caret follows them.
    bool ReplaceSel(const ZStringML_Blk& lines);
    /// Replaces the whole text by text split at sep; keepCaret keeps the caret's place
    /// (clamped), otherwise it goes to the start. The view scrolls to the caret.
    bool SetText(ZStr text, ZStr sep, bool keepCaret);

    // --- Scrolling --------------------------------------------------------------------
    int32_t FirstLine() const { return m_firstLine; }
    int32_t FirstCol() const { return m_firstCol; }
    /// Scrolls so that line and display column stand at the top left (clamped).
    void ScrollTo(int32_t firstLine, int32_t firstCol);
    void ScrollBy(int32_t lines, int32_t cols) { ScrollTo(m_firstLine + lines, m_firstCol + cols); }
    /// Scrolls as little as needed to show p.
    void EnsureVisible(XME_Pos p);
    void EnsureCaretVisible() { EnsureVisible(m_caret); }

    // --- Pointer and drawing -----------------------------------------------------------
    /// The place under a client point; points above, below or beside the text give the
    /// nearest line and column next to the view, so a drag outside it scrolls.
    XME_Pos HitTest(NXPoint pt) const;
    /// The client point of the top-left corner of p's cell.
    plat::Point PosToPoint(XME_Pos p) const;
    /// Applies a pointer action at pt (client coordinates).
    virtual void MouseAction(NXPoint pt, XMEMouseAction action);
    /// Paints the lines in view. Cost: the lines in view, not the text.
    virtual void Paint(plat::DrawContext& dc, const plat::Rect& update);

    /// Display column of byte column col in a line (tabs expanded), and back (the byte
    /// whose cell holds display column dcol; the line's end beyond the text).
    static int32_t DisplayCol(ZStr line, int32_t col);
    static int32_t TextCol(ZStr line, int32_t dcol);
    /// The byte column of the character before col, and of the one after the character at
    /// col: a well-formed multi-byte UTF-8 character is passed over whole, any other byte
    /// alone.
    static int32_t PrevCharCol(ZStr line, int32_t col);
    static int32_t NextCharCol(ZStr line, int32_t col);
    /// The length in bytes of the character at byte i (0 <= i < line.len): that of a
    /// well-formed UTF-8 sequence, else 1 (ASCII, and every byte that belongs to no
    /// well-formed sequence: 8-bit text, overlong forms, surrogates, code points above
    /// U+10FFFF, sequences cut short). Each such character takes one cell.
    static int32_t CharLen(ZStr line, int32_t i);

    /// Number of paints so far (diagnostics and tests).
    int64_t PaintCount() const { return m_paints; }

protected:
    /// Called after every change of caret or selection, scroll position and text; derived
    /// classes tell their owner. Nothing here.
    virtual void OnSelChanged() {}
    virtual void OnScrolled() {}
    virtual void OnTextChanged() {}

    /// Marks the window for repainting and moves the platform caret.
    void Redraw();
    void UpdateCaret();
    void UpdateScrollBars();
    /// Follows an edit: view, caret and the owner's notifications.
    void TextEdited();
    /// Follows a change of the scroll position.
    void Scrolled();

    XME_Pos m_caret;
    XME_Pos m_anchor;
    /// Display column kept while moving up and down through shorter lines; -1 for none.
    int32_t m_wantCol = -1;

private:
    void Measure();

    plat::Window* m_wnd = nullptr;
    plat::Size m_viewSize{0, 0};
    plat::Font m_font;
    XDrawInfoExt m_info;
    XDIBCache m_cache;
    plat::ColorRef m_textColor;
    plat::ColorRef m_bkColor;
    plat::ColorRef m_selTextColor;
    plat::ColorRef m_selBkColor;
    bool m_scrollBar[2] = {true, true};
    bool m_focusDisplay = false;
    int32_t m_firstLine = 0;
    int32_t m_firstCol = 0;
    int64_t m_paints = 0;
};
