// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

// Helpers shared by the markup dialog tests.

#include "platform/Image.h"
#include "platform/TestSupport.h"
#include "xml/TXMLNode.h"
#include "xmldlg/TXMLDlg.h"

#include <gtest/gtest.h>
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

/// Clicks the middle of the control named `name`, as a person would, and lets the dialog
/// handle it.
inline void ClickCtrl(TXMLDlg& dlg, ZStr name)
{
    const TXMLCtrl* c = dlg.FindCtrl(name);
    ASSERT_NE(c, nullptr);
    const plat::Rect r = dlg.GetControlRect(c->id);
    plat::test::Click(dlg, {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    plat::test::ProcessUntilIdle();
}
