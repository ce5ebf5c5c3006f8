// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/XEvtWnd.h"
#include "base/ZStr.h"
#include "base/ZString.h"
#include "platform/Geometry.h"

#include <cstdint>
#include <string>
#include <vector>

/// A tool-tip window: a borderless popup above all other windows that shows lines of text in
/// a given font and never takes the focus. The owner moves it where it should stand (screen
/// coordinates) and replaces its text; the box sizes itself to the text.
class XToolTipWnd : public XEvtWnd
{
public:
    /// Blank pixels between the frame and the text.
    static constexpr int32_t kPadding = 3;

    XToolTipWnd();
    ~XToolTipWnd() override;

    /// The font of the text: a face name of the design ("Fixedsys", "Arial", ...) and the size
    /// in tenths of a point.
    void SetFont(ZStr face, int32_t sizeTenths);
    /// Replaces the text; lines are separated by CR LF (a lone LF or CR breaks too). A shown
    /// box is resized and repainted.
    void SetText(ZStr text);
    const ZString& GetText() const { return m_text; }
    /// The lines of the text as they are drawn.
    const std::vector<std::string>& GetLines() const { return m_lines; }
    /// The size of the box for the current text and font, frame and padding included.
    plat::Size GetBoxSize() const;

    /// Shows the box with its top-left corner at screenPos, creating the popup on first use.
    /// False when no window can be made (no display).
    bool ShowAt(plat::Point screenPos);
    /// Hides the box (it keeps its text).
    void Hide();
    bool IsShown() const;

    bool OnPaint(plat::Window& wnd, plat::DrawContext& dc, const plat::Rect& update) override;

private:
    std::string m_face{"MS Sans Serif"};
    int32_t m_sizeTenths = 80;
    ZString m_text;
    std::vector<std::string> m_lines;
    plat::Point m_pos;
};
