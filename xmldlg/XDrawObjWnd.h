// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/ZString.h"
#include "platform/DrawContext.h"
#include "platform/Window.h"

/// How an XDrawObjWnd shows its value.
enum class XDrawType : int32_t {
    Solid,         ///< the value is a colour; the window is filled with it
    String,        ///< the value as plain text
    FString,       ///< text in a frame
    BString,       ///< bold text
    Box3D,         ///< raised box with the text centred
    PButton,       ///< looks like a push button with the text as caption
    CheckBox,      ///< a check box, checked when the value's number is not 0
    PercentBar,    ///< a bar filled to the value (0 to 100) with the percentage on it
    ColorWell,     ///< a framed colour swatch with the colour's name
    DIBString,     ///< the value is a PNG file shown as a picture (its name when unreadable)
    CWndString,    ///< text on a sunken white field, like a read-only edit
    TXMLDlgString, ///< markup: its texts without the tags
};

/// Draw type of a name ("Solid", "String", ...); String for names it does not know.
XDrawType DrawTypeOf(ZStr name);

/// A picture window that draws its value (a text) in one of the draw types. `border` "non"
/// draws no frame; "flat", "sunken" and "raised" draw that frame.
class XDrawObjWnd : public plat::WindowCB, public plat::Window
{
public:
    XDrawObjWnd();
    ~XDrawObjWnd() override;
    void SetDrawType(ZStr name) { m_type = DrawTypeOf(name); }
    XDrawType GetDrawType() const { return m_type; }
    void SetBorder(ZStr border) { m_border.Assign(border); }
    void SetFont(const plat::Font& font) { m_font = font; }
    /// Sets the value and repaints.
    void SetValue(ZStr value);
    const ZString& GetValue() const { return m_value; }
    /// Draws into dc over a client area of size size (used by painting and tests).
    void Draw(plat::DrawContext& dc, plat::Size size) const;
    bool OnPaint(plat::Window& wnd, plat::DrawContext& dc, const plat::Rect& update) override;

private:
    XDrawType m_type = XDrawType::String;
    ZString m_border{"non"};
    ZString m_value;
    plat::Font m_font{"Arial", 95};
};
