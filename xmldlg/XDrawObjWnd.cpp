// SPDX-License-Identifier: GPL-2.0-or-later
#include "xmldlg/XDrawObjWnd.h"

#include "base/NumberReader.h"
#include "base/XColor.h"
#include "platform/Image.h"
#include "platform/SystemColors.h"
#include "xml/TXML.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr plat::ColorRef kLight = plat::Rgb(255, 255, 255);
constexpr plat::ColorRef kShadow = plat::Rgb(128, 128, 128);
constexpr plat::ColorRef kDark = plat::Rgb(64, 64, 64);

void Frame(plat::DrawContext& dc, const plat::Rect& r, plat::ColorRef topLeft,
           plat::ColorRef bottomRight)
{
    dc.SetPen(plat::Pen{topLeft, 1});
    dc.Line({r.left, r.bottom - 1}, {r.left, r.top});
    dc.Line({r.left, r.top}, {r.right - 1, r.top});
    dc.SetPen(plat::Pen{bottomRight, 1});
    dc.Line({r.right - 1, r.top}, {r.right - 1, r.bottom - 1});
    dc.Line({r.right - 1, r.bottom - 1}, {r.left - 1, r.bottom - 1});
}

void Text(plat::DrawContext& dc, const ZString& text, plat::Rect r, unsigned align)
{
    dc.SetBkMode(plat::BkMode::Transparent);
    dc.DrawText(text.Text(), r,
                align | plat::DrawTextFlags::kVCenter | plat::DrawTextFlags::kSingleLine);
}

// The texts of dialog markup as they would show: the `text` of its TEXT elements and its
// text nodes, in document order. Markup that does not parse is shown as written.
void CollectTexts(const TXMLNode* node, ZString& out)
{
    for (; node; node = node->NextSiblingNode()) {
        ZString text;
        if (node->GetType() == TXMLType::Text) {
            text.Assign(node->GetValue().Trim());
        } else if (node->IsElement("TEXT")) {
            node->GetAttribute("text", text, "", TXMLDecode::Decode);
        }
        if (!text.IsEmpty()) {
            if (!out.IsEmpty()) {
                out.Append(' ');
            }
            out.Append(text);
        }
        CollectTexts(node->FirstChildNode(), out);
    }
}

ZString MarkupTexts(ZStr markup)
{
    TXML xml;
    if (!xml.Parse(markup)) {
        return ZString(markup);
    }
    ZString out;
    CollectTexts(xml.GetRoot()->FirstChildNode(), out);
    return out;
}

} // namespace

XDrawType DrawTypeOf(ZStr name)
{
    static const struct
    {
        const char* name;
        XDrawType type;
    } kTypes[] = {
        {"Solid", XDrawType::Solid},           {"String", XDrawType::String},
        {"FString", XDrawType::FString},       {"BString", XDrawType::BString},
        {"Box3D", XDrawType::Box3D},           {"PButton", XDrawType::PButton},
        {"CheckBox", XDrawType::CheckBox},     {"PercentBar", XDrawType::PercentBar},
        {"ColorWell", XDrawType::ColorWell},   {"DIBString", XDrawType::DIBString},
        {"CWndString", XDrawType::CWndString}, {"TXMLDlgString", XDrawType::TXMLDlgString},
    };
    for (const auto& t : kTypes) {
        if (name == ZStr(t.name)) {
            return t.type;
        }
    }
    return XDrawType::String;
}

XDrawObjWnd::XDrawObjWnd()
    : plat::Window(static_cast<plat::WindowCB&>(*this))
{
}

XDrawObjWnd::~XDrawObjWnd()
{
    Destroy();
}

void XDrawObjWnd::SetValue(ZStr value)
{
    m_value.Assign(value);
    if (IsCreated()) {
        Invalidate();
    }
}

bool XDrawObjWnd::OnPaint(plat::Window&, plat::DrawContext& dc, const plat::Rect&)
{
    const plat::Rect c = GetClientRect();
    Draw(dc, plat::Size{c.Width(), c.Height()});
    return true;
}

void XDrawObjWnd::Draw(plat::DrawContext& dc, plat::Size size) const
{
    const plat::Rect all{0, 0, size.cx, size.cy};
    const plat::ColorRef face = plat::GetSystemColor(plat::SystemColor::ButtonFace);
    const plat::ColorRef ink = plat::GetSystemColor(plat::SystemColor::WindowText);
    dc.FillRect(all, face);
    dc.SetFont(m_font);
    dc.SetTextColor(ink);
    plat::Rect inner = all.Inflate(-3, -2);
    switch (m_type) {
    case XDrawType::Solid: {
        XColor color;
        dc.FillRect(all, color.FromText(m_value.Str()) && !color.IsNone() ? color.Value() : face);
        break;
    }
    case XDrawType::String:
        Text(dc, m_value, inner, plat::DrawTextFlags::kLeft);
        break;
    case XDrawType::FString:
        dc.SetPen(plat::Pen{ink, 1});
        dc.SetBrush(plat::Brush::Hollow());
        dc.Rectangle(all.Inflate(-1, -1));
        Text(dc, m_value, all.Inflate(-5, -2), plat::DrawTextFlags::kLeft);
        break;
    case XDrawType::BString: {
        plat::Font bold = m_font;
        bold.weight = plat::FontWeight::Bold;
        dc.SetFont(bold);
        Text(dc, m_value, inner, plat::DrawTextFlags::kLeft);
        break;
    }
    case XDrawType::Box3D:
        Frame(dc, all, kLight, kShadow);
        Frame(dc, all.Inflate(-1, -1), kLight, kShadow);
        Text(dc, m_value, inner, plat::DrawTextFlags::kCenter);
        break;
    case XDrawType::PButton:
        Frame(dc, all, kLight, kDark);
        Frame(dc, all.Inflate(-1, -1), face, kShadow);
        Text(dc, m_value, inner, plat::DrawTextFlags::kCenter);
        break;
    case XDrawType::CheckBox: {
        const int box = std::min(13, std::max(5, size.cy - 4));
        const plat::Rect b = plat::Rect::FromXYWH(3, (size.cy - box) / 2, box, box);
        dc.FillRect(b, kLight);
        Frame(dc, b, kShadow, kLight);
        if (TextToInt(m_value.Text()) != 0) {
            dc.SetPen(plat::Pen{ink, 2});
            dc.Polyline({{b.left + 3, b.top + box / 2},
                         {b.left + box / 2 - 1, b.bottom - 4},
                         {b.right - 3, b.top + 3}});
        }
        break;
    }
    case XDrawType::PercentBar: {
        // Text that is not a number (NaN) shows an empty bar.
        const double read = std::atof(m_value.Text());
        const double pct = std::isnan(read) ? 0.0 : std::clamp(read, 0.0, 100.0);
        const plat::Rect well = all.Inflate(-2, -2);
        dc.FillRect(well, kLight);
        Frame(dc, well, kShadow, kLight);
        const plat::Rect bar{well.left + 1, well.top + 1,
                             well.left + 1 + int((well.Width() - 2) * pct / 100.0 + 0.5),
                             well.bottom - 1};
        dc.FillRect(bar, plat::GetSystemColor(plat::SystemColor::Highlight));
        ZString text;
        text.Format("%d %%", int(pct + 0.5));
        // The number sits in the middle: over the bar once the bar reaches it.
        dc.SetTextColor(pct >= 50.0 ? plat::GetSystemColor(plat::SystemColor::HighlightText) : ink);
        Text(dc, text, well, plat::DrawTextFlags::kCenter);
        break;
    }
    case XDrawType::ColorWell: {
        XColor color;
        const bool ok = color.FromText(m_value.Str()) && !color.IsNone();
        const plat::Rect swatch =
            plat::Rect::FromXYWH(3, 3, std::max(4, size.cy - 6), std::max(4, size.cy - 6));
        dc.FillRect(swatch, ok ? color.Value() : face);
        dc.SetPen(plat::Pen{ink, 1});
        dc.SetBrush(plat::Brush::Hollow());
        dc.Rectangle(swatch);
        Text(dc, m_value, plat::Rect{swatch.right + 5, 0, size.cx - 2, size.cy},
             plat::DrawTextFlags::kLeft);
        break;
    }
    case XDrawType::DIBString: {
        const plat::Image img = plat::Image::LoadPNG(m_value.Text());
        if (img.IsValid()) {
            dc.DrawImage(img, {(size.cx - img.GetSize().cx) / 2, (size.cy - img.GetSize().cy) / 2});
        } else {
            Text(dc, m_value, inner, plat::DrawTextFlags::kLeft);
        }
        break;
    }
    case XDrawType::CWndString:
        dc.FillRect(all, plat::GetSystemColor(plat::SystemColor::Window));
        Frame(dc, all, kShadow, kLight);
        Text(dc, m_value, inner, plat::DrawTextFlags::kLeft);
        break;
    case XDrawType::TXMLDlgString:
        Text(dc, MarkupTexts(m_value.Str()), inner, plat::DrawTextFlags::kLeft);
        break;
    }
    if (m_border == "flat") {
        dc.SetPen(plat::Pen{ink, 1});
        dc.SetBrush(plat::Brush::Hollow());
        dc.Rectangle(all);
    } else if (m_border == "sunken") {
        Frame(dc, all, kShadow, kLight);
    } else if (m_border == "raised") {
        Frame(dc, all, kLight, kShadow);
    }
}
