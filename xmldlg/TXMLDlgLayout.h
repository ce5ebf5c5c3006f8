// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/NXGeom.h"
#include "xmldlg/TXMLDlgStyle.h"

#include <unordered_map>
#include <vector>

class TXMLDlg;
class TXMLNode;
namespace plat {
class DrawContext;
}

/// The two layout passes and the painting walk of a markup dialog. One object serves one
/// layout or one paint; the dialog keeps the results (rectangles and styles).
class TXMLDlgLayout
{
public:
    TXMLDlgLayout(TXMLDlg& dlg, plat::DrawContext& dc);

    /// The natural size of the root element, margins included.
    NXSize MeasureRoot();
    /// Places the root element in client, recording every rectangle and placing controls.
    void PlaceRoot(const NXRect& client);
    /// Draws the texts, lines and images of the last layout, shifted by -offset.
    void Paint(const NXPoint& offset);

private:
    struct Table
    {
        int32_t cols = 1;
        std::vector<double> colW;
        std::vector<double> rowH;
    };
    NXSize Measure(const TXMLNode* node, bool vertical);
    NXSize MeasureLeaf(const TXMLNode* node, bool vertical);
    NXSize MeasureTable(const TXMLNode* node);
    NXSize MeasureGroup(const TXMLNode* node, bool vertical, double itemSpace);
    NXRect Place(const TXMLNode* node, const NXRect& free, bool vertical, bool useVAlign,
                 const int32_t* hAlign, const int32_t* vAlign);
    void PlaceGroup(const TXMLNode* node, const NXRect& box, bool vertical, double itemSpace);
    void PlaceTable(const TXMLNode* node, const NXRect& box);
    void PlaceInput(const TXMLNode* node, const NXRect& rect);
    void PaintNode(const TXMLNode* node, const NXRect& parent);

    const TXMLDlgStyle& Own(const TXMLNode* node);
    void PushContent(const TXMLNode* node);
    void Pop();
    const TXMLDlgStyle& Top() const { return m_stack.back(); }
    void ApplyFont();
    bool Included(const TXMLNode* node);
    const Table& TableOf(const TXMLNode* node);
    void Content(const TXMLNode* node, std::vector<const TXMLNode*>& out) const;
    NXSize TextSize(const char* text);

    TXMLDlg& m_dlg;
    plat::DrawContext& m_dc;
    std::vector<TXMLDlgStyle>& m_stack;
    std::unordered_map<const TXMLNode*, NXSize> m_sizes;
    std::unordered_map<const TXMLNode*, Table> m_tables;
    NXPoint m_offset;
};
