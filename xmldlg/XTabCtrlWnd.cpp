// SPDX-License-Identifier: GPL-2.0-or-later
#include "xmldlg/XTabCtrlWnd.h"

#include "platform/SystemColors.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kRowPad = 6;
constexpr int kMaxCols = 256;

} // namespace

XTabCtrlWnd::XTabCtrlWnd()
    : plat::Window(static_cast<plat::WindowCB&>(*this))
{
}

XTabCtrlWnd::~XTabCtrlWnd()
{
    Destroy();
}

void XTabCtrlWnd::Changed()
{
    if (IsCreated()) {
        Invalidate();
    }
}

void XTabCtrlWnd::SetText(ZStr text)
{
    XTextArray cells;
    int32_t cols = 0;
    ZStr rest = text;
    while (!rest.IsEmpty()) {
        ZStr row;
        int32_t end = 0;
        while (end < rest.len && rest[end] != '|' && rest[end] != '\n' && rest[end] != '\r') {
            ++end;
        }
        row = rest.Sub(0, end);
        rest = rest.Sub(end + 1);
        if (row.Trim().IsEmpty()) {
            continue;
        }
        int32_t n = 0;
        ZStr cellRest = row;
        while (true) {
            int32_t e = 0;
            while (e < cellRest.len && cellRest[e] != '\t' && cellRest[e] != ';') {
                ++e;
            }
            cells.Append(ZString(cellRest.Sub(0, e).Trim()));
            ++n;
            if (e >= cellRest.len) {
                break;
            }
            cellRest = cellRest.Sub(e + 1);
        }
        if (cols == 0) {
            cols = n;
        }
        // Short rows are filled up so every row has the first row's cells.
        while (n < cols) {
            cells.Append(ZString());
            ++n;
        }
        while (n > cols && cells.Count() > 0) {
            cells.Remove(cells.Count() - 1);
            --n;
        }
    }
    SetCells(cells, cols);
}

void XTabCtrlWnd::SetCells(const XTextArray& cells, int32_t cols)
{
    m_cells = cells;
    if (cols > 0) {
        m_cols = std::min(cols, kMaxCols);
    }
    Changed();
}

void XTabCtrlWnd::GetCells(XTextArray& cells) const
{
    cells = m_cells;
}

void XTabCtrlWnd::SetNumbers(const XRealArray& values)
{
    XTextArray cells;
    for (double v : values) {
        ZString text;
        text.Format("%g", v);
        cells.Append(text);
    }
    SetCells(cells, m_cols);
}

void XTabCtrlWnd::GetNumbers(XRealArray& values) const
{
    values.RemoveAll();
    for (const ZString& c : m_cells) {
        values.Append(std::atof(c.Text()));
    }
}

int32_t XTabCtrlWnd::GetRows() const
{
    return m_cols > 0 ? (m_cells.Count() + m_cols - 1) / m_cols : 0;
}

bool XTabCtrlWnd::OnPaint(plat::Window&, plat::DrawContext& dc, const plat::Rect&)
{
    const plat::Rect c = GetClientRect();
    Draw(dc, plat::Size{c.Width(), c.Height()});
    return true;
}

void XTabCtrlWnd::Draw(plat::DrawContext& dc, plat::Size size) const
{
    const plat::ColorRef ink = plat::GetSystemColor(plat::SystemColor::WindowText);
    dc.FillRect(plat::Rect{0, 0, size.cx, size.cy},
                plat::GetSystemColor(plat::SystemColor::Window));
    dc.SetFont(m_font);
    dc.SetTextColor(ink);
    dc.SetBkMode(plat::BkMode::Transparent);
    const int rowH = dc.GetTextMetrics().height + kRowPad;
    const int colW = std::max(1, size.cx / std::max(1, m_cols));
    dc.SetPen(plat::Pen{plat::Rgb(192, 192, 192), 1});
    const int rows = GetRows();
    for (int r = 0; r < rows && r * rowH < size.cy; ++r) {
        for (int c = 0; c < m_cols; ++c) {
            const int32_t i = r * m_cols + c;
            if (i >= m_cells.Count()) {
                break;
            }
            plat::Rect cell = plat::Rect::FromXYWH(c * colW, r * rowH, colW, rowH);
            dc.DrawText(m_cells[i].Text(), cell = cell.Inflate(-3, 0),
                        plat::DrawTextFlags::kLeft | plat::DrawTextFlags::kVCenter |
                            plat::DrawTextFlags::kSingleLine);
        }
        dc.Line({0, (r + 1) * rowH - 1}, {size.cx, (r + 1) * rowH - 1});
    }
    for (int c = 1; c < m_cols; ++c) {
        dc.Line({c * colW, 0}, {c * colW, std::min(size.cy, rows * rowH)});
    }
}
