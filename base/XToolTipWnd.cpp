// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/XToolTipWnd.h"

#include "platform/DrawContext.h"
#include "platform/Image.h"

#include <algorithm>

namespace {

// The usual tool-tip look: black text on pale yellow in a thin dark frame.
constexpr plat::ColorRef kBackground = plat::Rgb(255, 255, 225);
constexpr plat::ColorRef kText = plat::Rgb(0, 0, 0);
constexpr plat::ColorRef kFrame = plat::Rgb(100, 100, 100);

} // namespace

XToolTipWnd::XToolTipWnd() = default;

XToolTipWnd::~XToolTipWnd() = default;

void XToolTipWnd::SetFont(ZStr face, int32_t sizeTenths)
{
    m_face.assign(face.ptr, size_t(face.len));
    m_sizeTenths = std::max<int32_t>(10, std::min<int32_t>(sizeTenths, 1000));
    SetText(m_text.Str());
}

void XToolTipWnd::SetText(ZStr text)
{
    ZString copy(text); // text may view m_text itself
    m_text = std::move(copy);
    m_lines.clear();
    std::string line;
    const ZStr t = m_text.Str();
    for (int32_t i = 0; i < t.len; ++i) {
        const char c = t.ptr[i];
        if (c == '\r' || c == '\n') {
            m_lines.push_back(line);
            line.clear();
            if (c == '\r' && i + 1 < t.len && t.ptr[i + 1] == '\n') {
                ++i;
            }
        } else {
            line += c;
        }
    }
    m_lines.push_back(line);
    if (IsShown()) {
        const plat::Size s = GetBoxSize();
        Move(plat::Rect::FromXYWH(m_pos.x, m_pos.y, s.cx, s.cy));
        Invalidate();
    }
}

plat::Size XToolTipWnd::GetBoxSize() const
{
    // Text is measured in an image context: the same fonts and metrics as on screen, and no
    // window needed.
    plat::Image scratch(1, 1);
    plat::DrawContext& dc = scratch.Context();
    plat::Font font;
    font.face = m_face;
    font.sizeTenths = m_sizeTenths;
    dc.SetFont(font);
    const int lineHeight = dc.GetTextMetrics().height;
    int width = 0;
    for (const std::string& line : m_lines) {
        width = std::max(width, dc.GetTextExtent(line).cx);
    }
    const int frame = 1;
    return plat::Size{width + 2 * (kPadding + frame),
                      lineHeight * int(m_lines.size()) + 2 * (kPadding + frame)};
}

bool XToolTipWnd::ShowAt(plat::Point screenPos)
{
    m_pos = screenPos;
    const plat::Size s = GetBoxSize();
    const plat::Rect r = plat::Rect::FromXYWH(screenPos.x, screenPos.y, s.cx, s.cy);
    if (!IsCreated()) {
        if (!CreatePopup(r, 0)) {
            return false;
        }
    } else if (GetWindowRect() != r) {
        Move(r);
    }
    if (!IsVisible()) {
        Show(true);
    }
    Invalidate();
    return true;
}

void XToolTipWnd::Hide()
{
    if (IsCreated()) {
        Show(false);
    }
}

bool XToolTipWnd::IsShown() const
{
    return IsCreated() && IsVisible();
}

bool XToolTipWnd::OnPaint(plat::Window&, plat::DrawContext& dc, const plat::Rect&)
{
    const plat::Rect client = GetClientRect();
    dc.FillRect(client, kBackground);
    dc.SetPen(plat::Pen{kFrame, 1, plat::PenStyle::Solid});
    dc.SetBrush(plat::Brush::Hollow());
    dc.Rectangle(client);
    plat::Font font;
    font.face = m_face;
    font.sizeTenths = m_sizeTenths;
    dc.SetFont(font);
    dc.SetTextColor(kText);
    dc.SetBkMode(plat::BkMode::Transparent);
    dc.SetTextAlign(plat::TextAlign::kLeft | plat::TextAlign::kTop);
    const int lineHeight = dc.GetTextMetrics().height;
    int y = 1 + kPadding;
    for (const std::string& line : m_lines) {
        dc.TextOut({1 + kPadding, y}, line);
        y += lineHeight;
    }
    return true;
}
