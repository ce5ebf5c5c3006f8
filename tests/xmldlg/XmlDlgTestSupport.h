#pragma once

// Helpers shared by the markup dialog tests.

#include "platform/Image.h"
#include "xml/TXMLNode.h"
#include "xmldlg/TXMLDlg.h"

#include <initializer_list>
#include <string>

/// The laid-out item at a path of content indices below the root element (elements and
/// non-blank text nodes count), or null.
inline const TXMLNode* ItemAt(const TXMLDlg& dlg, std::initializer_list<int> path)
{
    const TXMLNode* node = dlg.GetRootElement();
    for (int index : path) {
        if (!node) {
            return nullptr;
        }
        const TXMLNode* c = node->FirstChildNode();
        int i = 0;
        for (; c; c = c->NextSiblingNode()) {
            const bool counts = c->GetType() == TXMLType::Element ||
                                (c->GetType() == TXMLType::Text && !c->GetValue().Trim().IsEmpty());
            if (counts && i++ == index) {
                break;
            }
        }
        node = c;
    }
    return node;
}

/// The rectangle of the item at path as "x y w h".
inline std::string RectAt(const TXMLDlg& dlg, std::initializer_list<int> path)
{
    NXRect r;
    if (!dlg.GetItemRect(ItemAt(dlg, path), r)) {
        return "none";
    }
    char buf[128];
    std::snprintf(buf, sizeof buf, "%g %g %g %g", r.x, r.y, r.width, r.height);
    return buf;
}

/// Width and height of text in font, as the dialog measures it.
inline plat::Size Extent(const plat::Font& font, const std::string& text)
{
    plat::Image img(1, 1);
    img.Context().SetFont(font);
    return img.Context().GetTextExtent(text);
}
