// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/XValueRef.h"
#include "platform/DrawContext.h"
#include "platform/Window.h"

/// The smallest table window a markup dialog needs: a grid of texts in rows and columns,
/// painted with grid lines. Its value is written as a whole (then it repaints) and read back.
class XTabCtrlWnd : public plat::WindowCB, public plat::Window
{
public:
    XTabCtrlWnd();
    ~XTabCtrlWnd() override;
    void SetFont(const plat::Font& font) { m_font = font; }
    /// Rows separated by "|" (or line breaks), cells within a row by tabs or ";".
    void SetText(ZStr text);
    /// Cells row by row; cols cells per row (the first row's count when 0).
    void SetCells(const XTextArray& cells, int32_t cols = 0);
    void GetCells(XTextArray& cells) const;
    /// Numbers written "%g" into the cells, in the current column count.
    void SetNumbers(const XRealArray& values);
    /// The cells read with atof.
    void GetNumbers(XRealArray& values) const;
    int32_t GetCols() const { return m_cols; }
    int32_t GetRows() const;
    void Draw(plat::DrawContext& dc, plat::Size size) const;
    bool OnPaint(plat::Window& wnd, plat::DrawContext& dc, const plat::Rect& update) override;

private:
    void Changed();
    XTextArray m_cells;
    int32_t m_cols = 1;
    plat::Font m_font{"Arial", 95};
};
