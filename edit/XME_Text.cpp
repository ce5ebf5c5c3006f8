// SPDX-License-Identifier: GPL-2.0-or-later
#include "edit/XME_Text.h"

#include "edit/ZStringML_Blk.h"
#include "platform/SystemColors.h"
#include "platform/Window.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace {

bool IsWordByte(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u == '_' ||
           u >= 0x80;
}

// A line of one-cell characters only: no tab, no byte of 0x80 or above. Its display columns
// are its byte columns.
bool IsPlain(ZStr line)
{
    for (int32_t i = 0; i < line.len; ++i) {
        const auto u = static_cast<unsigned char>(line[i]);
        if (u == '\t' || u >= 0x80) {
            return false;
        }
    }
    return true;
}

// The cells the character at byte i of a line takes after d cells: a tab reaches the next
// tab stop, every other character (a whole UTF-8 sequence or a byte of its own) takes one.
int32_t CellsOf(ZStr line, int32_t i, int32_t d)
{
    if (line[i] == '\t') {
        return XME_Text::kTabWidth - d % XME_Text::kTabWidth;
    }
    return 1;
}

// The cells of display columns [from, from + count) of a line, tabs expanded to blanks, as
// UTF-8. A byte that is a character of its own (8-bit text) is shown as its Latin-1
// character, so that every cell holds exactly one glyph.
std::string VisibleCells(ZStr line, int32_t from, int32_t count)
{
    std::string out;
    if (IsPlain(line)) {
        if (from < line.len) {
            out.assign(line.ptr + from, size_t(std::min(count, line.len - from)));
        }
        return out;
    }
    int32_t d = 0;
    const int32_t to = from + count;
    for (int32_t i = 0; i < line.len && d < to;) {
        const int32_t n = XME_Text::CharLen(line, i);
        const int32_t w = CellsOf(line, i, d);
        const auto u = static_cast<unsigned char>(line[i]);
        if (u == '\t') {
            for (int32_t k = d; k < d + w; ++k) {
                if (k >= from && k < to) {
                    out += ' ';
                }
            }
        } else if (d >= from) {
            if (n == 1 && u >= 0x80) {
                out += char(0xC0 | (u >> 6));
                out += char(0x80 | (u & 0x3F));
            } else {
                out.append(line.ptr + i, size_t(n));
            }
        }
        d += w;
        i += n;
    }
    return out;
}

} // namespace

XME_Text::XME_Text()
    : m_textColor(plat::GetSystemColor(plat::SystemColor::WindowText))
    , m_bkColor(plat::GetSystemColor(plat::SystemColor::Window))
    , m_selTextColor(plat::GetSystemColor(plat::SystemColor::HighlightText))
    , m_selBkColor(plat::GetSystemColor(plat::SystemColor::Highlight))
{
    m_font.face = kDefaultFace;
    m_font.sizeTenths = kDefaultSize;
    Measure();
}

XME_Text::~XME_Text() = default;

// ---------------------------------------------------------------------------------------
// Window and appearance

void XME_Text::AttachWindow(plat::Window* wnd)
{
    m_wnd = wnd;
    if (m_wnd) {
        m_viewSize = {m_wnd->GetClientRect().Width(), m_wnd->GetClientRect().Height()};
        UpdateScrollBars();
        UpdateCaret();
    }
}

void XME_Text::SetViewSize(plat::Size size)
{
    m_viewSize = size;
    ScrollTo(m_firstLine, m_firstCol);
    UpdateScrollBars();
    Redraw();
}

void XME_Text::Measure()
{
    m_info = m_cache.Measure(m_font);
}

void XME_Text::SetFont(ZStr face, int32_t sizeTenths)
{
    m_font.face.assign(face.ptr ? face.ptr : "", size_t(std::max<int32_t>(0, face.len)));
    m_font.sizeTenths = sizeTenths > 0 ? sizeTenths : kDefaultSize;
    Measure();
    if (m_wnd && m_wnd->IsCreated()) {
        m_wnd->DestroyCaret();
        m_wnd->CreateCaret({2, m_info.lineHeight});
    }
    UpdateScrollBars();
    UpdateCaret();
    Redraw();
}

void XME_Text::SetColors(plat::ColorRef text, plat::ColorRef background)
{
    m_textColor = text;
    m_bkColor = background;
    if (m_wnd) {
        m_wnd->SetBkColor(background);
    }
    Redraw();
}

void XME_Text::SetSelColors(plat::ColorRef text, plat::ColorRef background)
{
    m_selTextColor = text;
    m_selBkColor = background;
    Redraw();
}

void XME_Text::EnableScrollBar(int32_t bar, bool on)
{
    if (bar < 0 || bar > 1) {
        return;
    }
    m_scrollBar[bar] = on;
    UpdateScrollBars();
}

bool XME_Text::IsScrollBarEnabled(int32_t bar) const
{
    return bar >= 0 && bar <= 1 && m_scrollBar[bar];
}

void XME_Text::SetFocusDisplay(bool on)
{
    m_focusDisplay = on;
    if (m_wnd && m_wnd->IsCreated() && on) {
        m_wnd->CreateCaret({2, m_info.lineHeight});
    }
    UpdateCaret();
    Redraw();
}

int32_t XME_Text::PageLines() const
{
    return std::max<int32_t>(1, m_viewSize.cy / m_info.lineHeight);
}

int32_t XME_Text::PageCols() const
{
    return std::max<int32_t>(1, int32_t((m_viewSize.cx - kMargin) / m_info.charWidth));
}

// ---------------------------------------------------------------------------------------
// Caret and selection

XME_Pos XME_Text::Clamp(XME_Pos p) const
{
    const int32_t lines = LineCount();
    p.line = std::max<int32_t>(0, std::min(p.line, lines - 1));
    p.col = std::max<int32_t>(0, std::min(p.col, LineText(p.line).len));
    return p;
}

void XME_Text::GetSel(XME_Pos& start, XME_Pos& end) const
{
    start = std::min(m_anchor, m_caret);
    end = std::max(m_anchor, m_caret);
}

void XME_Text::SetSel(XME_Pos anchor, XME_Pos caret)
{
    m_anchor = Clamp(anchor);
    m_caret = Clamp(caret);
    m_wantCol = -1;
    EnsureCaretVisible();
    UpdateCaret();
    Redraw();
    OnSelChanged();
}

void XME_Text::MoveCaret(XME_Pos to, bool extend)
{
    SetSel(extend ? m_anchor : to, to);
}

void XME_Text::SelectAll()
{
    const int32_t last = LineCount() - 1;
    SetSel({0, 0}, {last, LineText(last).len});
}

bool XME_Text::GetSelText(ZString& out, ZStr sep) const
{
    XME_Pos s, e;
    GetSel(s, e);
    if (s == e) {
        out.Clear();
        return true;
    }
    return GetRangeText(s, e, out, sep);
}

void XME_Text::WordAt(XME_Pos pos, XME_Pos& start, XME_Pos& end) const
{
    pos = Clamp(pos);
    const ZStr t = LineText(pos.line);
    int32_t s = pos.col;
    int32_t e = pos.col;
    // The caret just after a word counts as in it, as it does after typing one.
    if ((e >= t.len || !IsWordByte(t[e])) && s > 0 && IsWordByte(t[s - 1])) {
        --s;
        e = s;
    }
    if (e < t.len && IsWordByte(t[e])) {
        while (s > 0 && IsWordByte(t[s - 1])) {
            --s;
        }
        while (e < t.len && IsWordByte(t[e])) {
            ++e;
        }
    } else {
        s = e = pos.col;
    }
    start = {pos.line, s};
    end = {pos.line, e};
}

XME_Pos XME_Text::WordLeft(XME_Pos p) const
{
    p = Clamp(p);
    if (p.col == 0) {
        return p.line > 0 ? XME_Pos{p.line - 1, LineText(p.line - 1).len} : p;
    }
    const ZStr t = LineText(p.line);
    int32_t c = p.col;
    while (c > 0 && !IsWordByte(t[c - 1])) {
        --c;
    }
    while (c > 0 && IsWordByte(t[c - 1])) {
        --c;
    }
    return {p.line, c};
}

XME_Pos XME_Text::WordRight(XME_Pos p) const
{
    p = Clamp(p);
    const ZStr t = LineText(p.line);
    if (p.col >= t.len) {
        return p.line + 1 < LineCount() ? XME_Pos{p.line + 1, 0} : p;
    }
    int32_t c = p.col;
    while (c < t.len && IsWordByte(t[c])) {
        ++c;
    }
    while (c < t.len && !IsWordByte(t[c])) {
        ++c;
    }
    return {p.line, c};
}

// ---------------------------------------------------------------------------------------
// Editing

bool XME_Text::DeleteSel()
{
    XME_Pos s, e;
    GetSel(s, e);
    if (s == e) {
        return true;
    }
    if (!RemoveRange(s, e)) {
        return false;
    }
    m_anchor = m_caret = s;
    TextEdited();
    return true;
}

bool XME_Text::ReplaceSel(const ZStringML_Blk& lines)
{
    if (!DeleteSel()) {
        return false;
    }
    XME_Pos end;
    if (!InsertLines(m_caret, lines, end)) {
        return false;
    }
    m_anchor = m_caret = end;
    TextEdited();
    return true;
}

bool XME_Text::SetText(ZStr text, ZStr sep, bool keepCaret)
{
    if (!ReplaceAll(text, sep)) {
        return false;
    }
    m_caret = keepCaret ? Clamp(m_caret) : XME_Pos{};
    m_anchor = m_caret;
    m_wantCol = -1;
    if (!keepCaret) {
        m_firstLine = m_firstCol = 0;
    }
    ScrollTo(m_firstLine, m_firstCol);
    TextEdited();
    return true;
}

// After an edit the caret stands where the edit left it: the view follows it and the owner
// hears of the new text and selection.
void XME_Text::TextEdited()
{
    m_wantCol = -1;
    UpdateScrollBars();
    EnsureCaretVisible();
    UpdateCaret();
    Redraw();
    OnTextChanged();
    OnSelChanged();
}

// ---------------------------------------------------------------------------------------
// Scrolling

void XME_Text::Scrolled()
{
    UpdateScrollBars();
    UpdateCaret();
    Redraw();
    OnScrolled();
}

void XME_Text::ScrollTo(int32_t firstLine, int32_t firstCol)
{
    const int32_t maxLine = std::max<int32_t>(0, LineCount() - PageLines());
    const int32_t maxCol = std::max<int32_t>(std::max<int32_t>(0, LongestLine() + 1 - PageCols()),
                                             std::min(firstCol, m_firstCol));
    firstLine = std::max<int32_t>(0, std::min(firstLine, maxLine));
    firstCol = std::max<int32_t>(0, std::min(firstCol, maxCol));
    if (firstLine == m_firstLine && firstCol == m_firstCol) {
        return;
    }
    m_firstLine = firstLine;
    m_firstCol = firstCol;
    Scrolled();
}

void XME_Text::EnsureVisible(XME_Pos p)
{
    p = Clamp(p);
    int32_t line = m_firstLine;
    int32_t col = m_firstCol;
    const int32_t pageLines = PageLines();
    if (p.line < line) {
        line = p.line;
    } else if (p.line >= line + pageLines) {
        line = p.line - pageLines + 1;
    }
    const int32_t dcol = DisplayCol(LineText(p.line), p.col);
    const int32_t pageCols = PageCols();
    if (dcol < col) {
        col = std::max<int32_t>(0, dcol - pageCols / 4);
    } else if (dcol >= col + pageCols) {
        col = dcol - pageCols + 1 + pageCols / 4;
    }
    if (line == m_firstLine && col == m_firstCol) {
        return;
    }
    // A caret past the longest line's end (a line of tabs) may need more room than the
    // scroll range offers, so the column is set as asked.
    m_firstLine = std::max<int32_t>(0, line);
    m_firstCol = std::max<int32_t>(0, col);
    Scrolled();
}

// ---------------------------------------------------------------------------------------
// Pointer and drawing

int32_t XME_Text::CharLen(ZStr line, int32_t i)
{
    // A well-formed sequence is one character; every other byte is one of its own.
    const int32_t n = line.Utf8SequenceLength(i);
    return n == 0 ? 1 : n;
}

int32_t XME_Text::DisplayCol(ZStr line, int32_t col)
{
    if (IsPlain(line)) {
        return col;
    }
    int32_t d = 0;
    const int32_t n = std::min(col, line.len);
    int32_t i = 0;
    for (; i < n; i += CharLen(line, i)) {
        d += CellsOf(line, i, d);
    }
    return d + std::max<int32_t>(0, col - line.len);
}

int32_t XME_Text::TextCol(ZStr line, int32_t dcol)
{
    if (dcol <= 0) {
        return 0;
    }
    if (IsPlain(line)) {
        return std::min(dcol, line.len);
    }
    int32_t d = 0;
    for (int32_t i = 0; i < line.len;) {
        const int32_t n = CharLen(line, i);
        const int32_t w = CellsOf(line, i, d);
        if (dcol < d + w) {
            return dcol - d <= w / 2 ? i : i + n;
        }
        d += w;
        i += n;
    }
    return line.len;
}

int32_t XME_Text::PrevCharCol(ZStr line, int32_t col)
{
    col = std::min(col, line.len);
    if (col <= 0) {
        return 0;
    }
    // The character that ends at col: a sequence of two to four bytes whose first byte
    // starts exactly that sequence, else the byte before col on its own.
    for (int32_t k = 2; k <= 4 && k <= col; ++k) {
        if (CharLen(line, col - k) == k) {
            return col - k;
        }
    }
    return col - 1;
}

int32_t XME_Text::NextCharCol(ZStr line, int32_t col)
{
    if (col >= line.len) {
        return line.len;
    }
    return col + CharLen(line, col);
}

XME_Pos XME_Text::HitTest(NXPoint pt) const
{
    const double lh = m_info.lineHeight;
    const int32_t row = int32_t(std::floor(pt.y / lh));
    XME_Pos p;
    p.line = std::max<int32_t>(0, std::min(m_firstLine + row, LineCount() - 1));
    const double cells = (pt.x - kMargin) / m_info.charWidth;
    const int32_t dcol = cells < 0 ? m_firstCol - 1 : m_firstCol + int32_t(std::lround(cells));
    p.col = TextCol(LineText(p.line), std::max<int32_t>(0, dcol));
    return p;
}

plat::Point XME_Text::PosToPoint(XME_Pos p) const
{
    const int32_t dcol = DisplayCol(LineText(p.line), p.col);
    return {kMargin + int32_t(std::lround((dcol - m_firstCol) * m_info.charWidth)),
            (p.line - m_firstLine) * m_info.lineHeight};
}

void XME_Text::MouseAction(NXPoint pt, XMEMouseAction action)
{
    const XME_Pos p = HitTest(pt);
    switch (action) {
    case XMEMouseAction::PlaceCaret:
        MoveCaret(p, false);
        break;
    case XMEMouseAction::Extend:
    case XMEMouseAction::Finish:
        MoveCaret(p, true);
        break;
    case XMEMouseAction::DoubleClick: {
        XME_Pos s, e;
        WordAt(p, s, e);
        SetSel(s, e);
        break;
    }
    }
}

void XME_Text::Paint(plat::DrawContext& dc, const plat::Rect& update)
{
    ++m_paints;
    dc.FillRect(update, m_bkColor);
    const int32_t lh = m_info.lineHeight;
    const double cw = m_info.charWidth;
    const int32_t lines = LineCount();
    const int32_t top = std::max<int32_t>(0, update.top) / lh;
    const int32_t bottom = std::max<int32_t>(0, update.bottom - 1) / lh;
    const int32_t first = m_firstLine + top;
    const int32_t last = std::min<int32_t>(lines - 1, m_firstLine + bottom);
    if (first > last) {
        return;
    }
    // One cell more than fits, so that a partly visible last column is drawn too.
    const int32_t cols = std::max<int32_t>(1, int32_t((update.right - kMargin) / cw) + 2);
    XME_Pos s, e;
    GetSel(s, e);
    const bool sel = s != e;
    dc.SetFont(m_font);
    dc.SetBkMode(plat::BkMode::Transparent);
    dc.SetTextAlign(plat::TextAlign::kLeft | plat::TextAlign::kTop);
    dc.SetTextColor(m_textColor);
    for (int32_t line = first; line <= last; ++line) {
        const ZStr t = LineText(line);
        const int32_t y = (line - m_firstLine) * lh;
        const std::string cells = VisibleCells(t, m_firstCol, cols);
        plat::Rect selRect;
        if (sel && line >= s.line && line <= e.line) {
            const int32_t from = line == s.line ? DisplayCol(t, s.col) : 0;
            // A selected line break shows as one selected cell after the line.
            const int32_t to = line == e.line ? DisplayCol(t, e.col) : DisplayCol(t, t.len) + 1;
            const int32_t x0 =
                kMargin + int32_t(std::lround(std::max<int32_t>(-1, from - m_firstCol) * cw));
            const int32_t x1 =
                kMargin + int32_t(std::lround(std::min<int32_t>(cols, to - m_firstCol) * cw));
            if (x1 > x0) {
                selRect = {std::max<int32_t>(0, x0), y, x1, y + lh};
                dc.FillRect(selRect, m_selBkColor);
            }
        }
        if (!cells.empty()) {
            dc.TextOut({kMargin, y}, cells);
            if (!selRect.IsEmpty()) {
                dc.PushClip(selRect);
                dc.SetTextColor(m_selTextColor);
                dc.TextOut({kMargin, y}, cells);
                dc.SetTextColor(m_textColor);
                dc.PopClip();
            }
        }
    }
}

// ---------------------------------------------------------------------------------------
// Window updates

void XME_Text::Redraw()
{
    if (m_wnd) {
        m_wnd->Invalidate();
    }
}

void XME_Text::UpdateCaret()
{
    if (!m_wnd || !m_wnd->IsCreated()) {
        return;
    }
    const plat::Point p = PosToPoint(m_caret);
    const bool inView = p.x >= 0 && p.y >= 0 && p.x < m_viewSize.cx && p.y < m_viewSize.cy;
    m_wnd->SetCaretPos(p);
    m_wnd->ShowCaret(m_focusDisplay && inView);
}

void XME_Text::UpdateScrollBars()
{
    if (!m_wnd || !m_wnd->IsCreated()) {
        return;
    }
    const plat::ScrollBar bars[2] = {plat::ScrollBar::Horizontal, plat::ScrollBar::Vertical};
    // Showing or hiding a bar resizes the view (and comes back here), so the ranges are
    // computed afterwards, from the final size.
    for (int i = 0; i < 2; ++i) {
        if (m_wnd->IsScrollBarVisible(bars[i]) != m_scrollBar[i]) {
            m_wnd->ShowScrollBar(bars[i], m_scrollBar[i]);
        }
    }
    if (m_scrollBar[0]) {
        plat::ScrollInfo h;
        h.min = 0;
        h.max = std::max<int32_t>(LongestLine(), m_firstCol + PageCols() - 1);
        h.page = PageCols();
        h.pos = m_firstCol;
        m_wnd->SetScrollInfo(bars[0], h);
    }
    if (m_scrollBar[1]) {
        plat::ScrollInfo v;
        v.min = 0;
        v.max = LineCount() - 1;
        v.page = PageLines();
        v.pos = m_firstLine;
        m_wnd->SetScrollInfo(bars[1], v);
    }
}
