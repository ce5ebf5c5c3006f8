// SPDX-License-Identifier: GPL-2.0-or-later
#include "xmldlg/TXMLDlgLayout.h"

#include "base/NumberReader.h"
#include "base/XColor.h"
#include "platform/DrawContext.h"
#include "platform/Image.h"
#include "platform/SystemColors.h"
#include "xmldlg/TXMLDlg.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace {

// Column counts beyond this are cut: no dialog has that many, and arbitrary markup must not
// make the layout allocate without bound.
constexpr int32_t kMaxTableCols = 256;
constexpr double kMeasureBox = 32000.0;

// The index of v among the keywords, or def for any other text.
int32_t KeywordIndex(ZStr v, std::initializer_list<const char*> keywords, int32_t def)
{
    int32_t i = 0;
    for (const char* k : keywords) {
        if (v == ZStr(k)) {
            return i;
        }
        ++i;
    }
    return def;
}

int32_t HAlignOf(ZStr v, int32_t def)
{
    return KeywordIndex(v, {"left", "center", "right"}, def);
}

int32_t VAlignOf(ZStr v, int32_t def)
{
    return KeywordIndex(v, {"top", "center", "bottom", "baseline"}, def);
}

// Entry i of a space-separated list, repeated from its start when the list is shorter.
bool ListEntry(const TXMLNode& node, const char* attr, int32_t i, ZString& out)
{
    ZString list;
    if (!node.GetAttribute(attr, list)) {
        return false;
    }
    std::vector<ZStr> items;
    ZStr rest = list.Str();
    while (true) {
        rest = rest.TrimLeft();
        if (rest.IsEmpty()) {
            break;
        }
        int32_t n = 0;
        while (n < rest.len && !ZStr::IsSpace(rest[n])) {
            ++n;
        }
        items.push_back(rest.Sub(0, n));
        rest = rest.Sub(n);
    }
    if (items.empty()) {
        return false;
    }
    out.Assign(items[size_t(i) % items.size()]);
    return true;
}

int32_t ListInt(const TXMLNode& node, const char* attr, int32_t i, int32_t def)
{
    ZString v;
    return ListEntry(node, attr, i, v) ? TextToInt(v.Text()) : def;
}

// Line breaks kept by the parser arrive as CR LF; the drawing splits lines at LF only.
void PlainLines(ZString& text)
{
    ZString out;
    for (int32_t i = 0; i < text.Length(); ++i) {
        if (text[i] != '\r') {
            out.Append(text[i]);
        }
    }
    text = out;
}

// A table's cell margins: "cellMargin" sets both, "cellMarginX" and "cellMarginY"
// override one each.
void CellMargins(const TXMLNode& node, double& mx, double& my)
{
    node.GetDoubleAttribute("cellMargin", mx, 0.0);
    my = mx;
    node.GetDoubleAttribute("cellMarginX", mx, mx);
    node.GetDoubleAttribute("cellMarginY", my, my);
}

} // namespace

TXMLDlgLayout::TXMLDlgLayout(TXMLDlg& dlg, plat::DrawContext& dc)
    : m_dlg(dlg)
    , m_dc(dc)
    , m_stack(dlg.m_styleStack)
{
}

const TXMLDlgStyle& TXMLDlgLayout::Own(const TXMLNode* node)
{
    auto found = m_dlg.m_styles.find(node);
    if (found != m_dlg.m_styles.end()) {
        return found->second;
    }
    TXMLDlgStyle s = Top();
    if (node->GetType() == TXMLType::Element) {
        ZString v;
        const bool hasFace = node->GetAttribute("font", v);
        if (hasFace) {
            s.font.face.assign(v.Text(), size_t(std::min<int32_t>(v.Length(), 31)));
        }
        int size = 0;
        const bool hasSize = node->GetIntAttribute("fontSize", size, s.font.sizeTenths);
        if (hasSize) {
            // Sizes beyond a few hundred points are not text any more; keep them drawable.
            s.font.sizeTenths = std::clamp(size, 10, 5000);
        }
        if (hasFace || hasSize) {
            s.font.weight = plat::FontWeight::Normal;
            s.font.italic = false;
        }
        XColor c;
        if (node->GetAttribute("bgColor", v) && c.FromText(v.Str())) {
            s.bgColor = c.Value();
        }
        if (node->GetAttribute("color", v) && c.FromText(v.Str())) {
            s.color = c.IsNone() ? s.color : c.Value();
        }
        if (node->GetAttribute("align", v)) {
            s.hAlign = HAlignOf(v.Str(), s.hAlign);
        }
        if (node->GetAttribute("vAlign", v)) {
            s.vAlign = VAlignOf(v.Str(), s.vAlign);
        }
        int space = 0;
        if (node->GetIntAttribute("itemSpace", space, s.itemSpace)) {
            s.itemSpace = std::clamp(space, -1000, 1000);
        }
    }
    return m_dlg.m_styles.emplace(node, s).first->second;
}

void TXMLDlgLayout::PushContent(const TXMLNode* node)
{
    TXMLDlgStyle s = Own(node);
    if (node->IsElement("DLG")) {
        s.bgColor = XColor::kNone;
    } else if (node->IsElement("HALIGN") || node->IsElement("VALIGN")) {
        s.hAlign = 0;
        s.vAlign = 0;
    }
    m_stack.push_back(s);
    ApplyFont();
}

void TXMLDlgLayout::Pop()
{
    if (m_stack.size() > 1) {
        m_stack.pop_back();
    }
    ApplyFont();
}

void TXMLDlgLayout::ApplyFont()
{
    if (m_dc.GetFont().face != Top().font.face ||
        m_dc.GetFont().sizeTenths != Top().font.sizeTenths) {
        m_dc.SetFont(Top().font);
    }
}

bool TXMLDlgLayout::Included(const TXMLNode* node)
{
    if (!node->IsElement("SWITCH")) {
        return true;
    }
    ZString v;
    node->GetAttribute("include", v, "1", TXMLDecode::Raw, &m_dlg.m_binder);
    return TextToInt(v.Text()) != 0;
}

void TXMLDlgLayout::Content(const TXMLNode* node, std::vector<const TXMLNode*>& out) const
{
    out.clear();
    for (const TXMLNode* c = node->FirstChildNode(); c; c = c->NextSiblingNode()) {
        if (c->GetType() == TXMLType::Element ||
            (c->GetType() == TXMLType::Text && !c->GetValue().IsBlank())) {
            out.push_back(c);
        }
    }
}

NXSize TXMLDlgLayout::TextSize(const char* text)
{
    const plat::Size s = m_dc.GetTextExtent(text);
    return NXSize{double(s.cx), double(s.cy)};
}

NXSize TXMLDlgLayout::MeasureRoot()
{
    TXMLNode* root = m_dlg.GetRootElement();
    if (!root || !root->FirstChildNode()) {
        return NXSize{};
    }
    return Measure(root, true);
}

NXSize TXMLDlgLayout::Measure(const TXMLNode* node, bool vertical)
{
    auto found = m_sizes.find(node);
    if (found != m_sizes.end()) {
        return found->second;
    }
    m_stack.push_back(Own(node));
    ApplyFont();
    NXSize size;
    if (node->GetType() == TXMLType::Text) {
        ZString text(node->GetValue());
        PlainLines(text);
        size = TextSize(text.Text());
    } else if (node == m_dlg.GetRootElement()) {
        NXSize margin{15.0, 15.0};
        ZString v;
        if (node->GetAttribute("margin", v)) {
            ZStr rest;
            margin.FromText(v.Str(), rest);
        }
        Pop();
        PushContent(node);
        size = MeasureGroup(node, true, Top().itemSpace);
        size.width += 2 * margin.width;
        size.height += 2 * margin.height;
    } else if (node->IsElement("HALIGN") || node->IsElement("VALIGN") ||
               node->IsElement("SWITCH")) {
        const bool dir = node->IsElement("HALIGN")   ? false
                         : node->IsElement("VALIGN") ? true
                                                     : vertical;
        const double space = Own(node).itemSpace;
        Pop();
        PushContent(node);
        size = Included(node) ? MeasureGroup(node, dir, space) : NXSize{};
    } else if (node->IsElement("TABLE")) {
        size = MeasureTable(node);
    } else {
        size = MeasureLeaf(node, vertical);
    }
    Pop();
    m_sizes[node] = size;
    return size;
}

NXSize TXMLDlgLayout::MeasureGroup(const TXMLNode* node, bool vertical, double itemSpace)
{
    std::vector<const TXMLNode*> children;
    Content(node, children);
    NXSize total;
    bool first = true;
    for (const TXMLNode* c : children) {
        const NXSize s = Measure(c, vertical);
        const double gap = first ? 0.0 : itemSpace;
        first = false;
        if (vertical) {
            total.width = std::max(total.width, s.width);
            total.height += gap + s.height;
        } else {
            total.width += gap + s.width;
            total.height = std::max(total.height, s.height);
        }
    }
    return total;
}

NXSize TXMLDlgLayout::MeasureLeaf(const TXMLNode* node, bool vertical)
{
    ZString v;
    if (node->IsElement("TEXT")) {
        node->GetAttribute("text", v, "", TXMLDecode::Decode, &m_dlg.m_binder);
        PlainLines(v);
        return TextSize(v.Text());
    }
    if (node->IsElement("IMG")) {
        node->GetAttribute("src", v, "", TXMLDecode::Raw, &m_dlg.m_binder);
        const plat::Image* img = m_dlg.ImageOf(v.Str());
        return img ? NXSize{double(img->GetSize().cx), double(img->GetSize().cy)} : NXSize{};
    }
    if (node->IsElement("SPSEP")) {
        int n = 1;
        node->GetIntAttribute("n", n, 1);
        n = std::clamp(n, 0, 6400);
        return vertical ? NXSize{5.0, 5.0 * n} : NXSize{5.0 * n, 5.0};
    }
    if (node->IsElement("SP")) {
        NXSize s{5.0, 5.0};
        ZStr rest;
        if (!(node->GetAttribute("size", v) && s.FromText(v.Str(), rest))) {
            node->GetDoubleAttribute("width", s.width, 5.0);
            node->GetDoubleAttribute("height", s.height, 5.0);
        }
        s.width = std::clamp(s.width, 0.0, kMeasureBox);
        s.height = std::clamp(s.height, 0.0, kMeasureBox);
        if (s.width != s.width || s.height != s.height) {
            return NXSize{};
        }
        return s;
    }
    if (node->IsElement("SPLINE")) {
        int n = 1;
        node->GetIntAttribute("n", n, 1);
        n = std::clamp(n, 0, 1000);
        ZString lines;
        for (int i = 0; i < n; ++i) {
            lines.Append(i ? "\nQ" : "Q");
        }
        plat::Rect box{0, 0, int(kMeasureBox), int(kMeasureBox)};
        if (n > 0) {
            m_dc.DrawText(lines.Text(), box,
                          plat::DrawTextFlags::kCalcRect | plat::DrawTextFlags::kNoClip);
        }
        return NXSize{0.0, n > 0 ? double(box.Height()) : 0.0};
    }
    if (node->IsElement("INPUT")) {
        NXRect rect;
        if (!m_dlg.MeasureInput(*node, m_dc, rect)) {
            return NXSize{};
        }
        return NXSize{rect.width, rect.height};
    }
    // BR and elements the dialog does not know take no room.
    return NXSize{};
}

const TXMLDlgLayout::Table& TXMLDlgLayout::TableOf(const TXMLNode* node)
{
    auto found = m_tables.find(node);
    if (found != m_tables.end()) {
        return found->second;
    }
    Table t;
    int cols = 1;
    node->GetIntAttribute("cols", cols, 1);
    t.cols = std::clamp(cols, 1, kMaxTableCols);
    double mx = 0.0;
    double my = 0.0;
    CellMargins(*node, mx, my);
    t.colW.assign(size_t(t.cols), 0.0);
    TXMLNodeList rows;
    node->GetChildElements(rows);
    std::vector<const TXMLNode*> cells;
    for (const TXMLNode* row : rows) {
        m_stack.push_back(Own(row));
        ApplyFont();
        Content(row, cells);
        double h = 0.0;
        for (size_t i = 0; i < cells.size() && i < size_t(t.cols); ++i) {
            const NXSize s = Measure(cells[i], true);
            t.colW[i] = std::max(t.colW[i], s.width + 2 * mx);
            h = std::max(h, s.height + 2 * my);
        }
        t.rowH.push_back(h);
        Pop();
    }
    for (int32_t i = 0; i < t.cols; ++i) {
        t.colW[size_t(i)] =
            std::max(t.colW[size_t(i)], double(ListInt(*node, "minColWidth", i, 0)));
    }
    return m_tables.emplace(node, std::move(t)).first->second;
}

NXSize TXMLDlgLayout::MeasureTable(const TXMLNode* node)
{
    Pop();
    PushContent(node);
    const Table& t = TableOf(node);
    NXSize s;
    for (int32_t i = 0; i < t.cols; ++i) {
        s.width += t.colW[size_t(i)];
        if (i + 1 < t.cols) {
            s.width += ListInt(*node, "colSpace", i, 0);
        }
    }
    int rowSpace = 0;
    node->GetIntAttribute("rowSpace", rowSpace, 0);
    for (size_t r = 0; r < t.rowH.size(); ++r) {
        s.height += t.rowH[r] + (r ? rowSpace : 0);
    }
    return s;
}

void TXMLDlgLayout::PlaceRoot(const NXRect& client)
{
    TXMLNode* root = m_dlg.GetRootElement();
    if (!root || !root->FirstChildNode()) {
        return;
    }
    Place(root, client, true, false, nullptr, nullptr);
}

NXRect TXMLDlgLayout::Place(const TXMLNode* node, const NXRect& free, bool vertical, bool useVAlign,
                            const int32_t* hAlign, const int32_t* vAlign)
{
    const NXSize size = Measure(node, vertical);
    const TXMLDlgStyle& own = Own(node);
    const int32_t h = hAlign ? *hAlign : own.hAlign;
    const int32_t va = vAlign ? *vAlign : own.vAlign;
    NXRect r{free.x, free.y, size.width, size.height};
    const bool root = node == m_dlg.GetRootElement();
    if (root) {
        r = free;
    } else {
        if (h == 1) {
            r.x += (free.width - size.width) / 2;
        } else if (h == 2) {
            r.x += free.width - size.width;
        }
        if (useVAlign && va == 1) {
            r.y += (free.height - size.height) / 2;
        } else if (useVAlign && va == 2) {
            r.y += free.height - size.height;
        }
    }
    m_dlg.m_layout[node] = r;
    if (node->GetType() != TXMLType::Element) {
        return r;
    }
    if (root) {
        NXSize margin{15.0, 15.0};
        ZString v;
        if (node->GetAttribute("margin", v)) {
            ZStr rest;
            margin.FromText(v.Str(), rest);
        }
        NXRect box = r;
        box.Deflate(margin.width, margin.height);
        PushContent(node);
        PlaceGroup(node, box, true, Top().itemSpace);
        Pop();
    } else if (node->IsElement("HALIGN") || node->IsElement("VALIGN") ||
               node->IsElement("SWITCH")) {
        if (Included(node)) {
            const bool dir = node->IsElement("HALIGN")   ? false
                             : node->IsElement("VALIGN") ? true
                                                         : vertical;
            PushContent(node);
            PlaceGroup(node, r, dir, own.itemSpace);
            Pop();
        }
    } else if (node->IsElement("TABLE")) {
        PushContent(node);
        PlaceTable(node, r);
        Pop();
    } else if (node->IsElement("INPUT")) {
        m_stack.push_back(own);
        ApplyFont();
        PlaceInput(node, r);
        Pop();
    }
    return r;
}

void TXMLDlgLayout::PlaceGroup(const TXMLNode* node, const NXRect& box, bool vertical,
                               double itemSpace)
{
    std::vector<const TXMLNode*> children;
    Content(node, children);
    NXRect free = box;
    for (const TXMLNode* c : children) {
        const NXRect r = Place(c, free, vertical, !vertical, nullptr, nullptr);
        if (vertical) {
            free.y += r.height + itemSpace;
            free.height -= r.height + itemSpace;
        } else {
            free.x += r.width + itemSpace;
            free.width -= r.width + itemSpace;
        }
    }
}

void TXMLDlgLayout::PlaceTable(const TXMLNode* node, const NXRect& box)
{
    const Table& t = TableOf(node);
    double mx = 0.0;
    double my = 0.0;
    CellMargins(*node, mx, my);
    int rowSpace = 0;
    node->GetIntAttribute("rowSpace", rowSpace, 0);
    std::vector<double> colX(size_t(t.cols), box.x);
    for (int32_t i = 1; i < t.cols; ++i) {
        colX[size_t(i)] =
            colX[size_t(i - 1)] + t.colW[size_t(i - 1)] + ListInt(*node, "colSpace", i - 1, 0);
    }
    TXMLNodeList rows;
    node->GetChildElements(rows);
    std::vector<const TXMLNode*> cells;
    double y = box.y;
    for (int32_t r = 0; r < rows.Count() && size_t(r) < t.rowH.size(); ++r) {
        const TXMLNode* row = rows[r];
        const double rowH = t.rowH[size_t(r)];
        m_dlg.m_layout[row] = NXRect{box.x, y, box.width, rowH};
        m_stack.push_back(Own(row));
        ApplyFont();
        Content(row, cells);
        for (size_t i = 0; i < cells.size() && i < size_t(t.cols); ++i) {
            ZString v;
            const TXMLDlgStyle& cs = Own(cells[i]);
            const int32_t h = ListEntry(*node, "colAlign", int32_t(i), v)
                                  ? HAlignOf(v.Str(), cs.hAlign)
                                  : cs.hAlign;
            const int32_t va = ListEntry(*node, "colVAlign", int32_t(i), v)
                                   ? VAlignOf(v.Str(), cs.vAlign)
                                   : cs.vAlign;
            const NXRect cell{colX[i] + mx, y + my, t.colW[i] - 2 * mx, rowH - 2 * my};
            Place(cells[i], cell, true, true, &h, &va);
        }
        Pop();
        y += rowH + rowSpace;
    }
}

void TXMLDlgLayout::PlaceInput(const TXMLNode* node, const NXRect& rect)
{
    m_dlg.PlaceInput(*node, m_dc, rect);
}

void TXMLDlgLayout::Paint(const NXPoint& offset)
{
    m_offset = offset;
    TXMLNode* root = m_dlg.GetRootElement();
    if (!root) {
        return;
    }
    PaintNode(root, m_dlg.m_content);
}

void TXMLDlgLayout::PaintNode(const TXMLNode* node, const NXRect& parent)
{
    auto found = m_dlg.m_layout.find(node);
    if (found == m_dlg.m_layout.end()) {
        return;
    }
    NXRect r = found->second;
    r.x -= m_offset.x;
    r.y -= m_offset.y;
    const uint32_t enclosingBg = Top().bgColor;
    const TXMLDlgStyle& own = Own(node);
    m_stack.push_back(own);
    ApplyFont();
    const bool root = node == m_dlg.GetRootElement();
    // An element fills its own rectangle only where its background differs from the one
    // around it; inherited backgrounds are already there.
    if (!root && own.bgColor != XColor::kNone && own.bgColor != enclosingBg) {
        m_dc.FillRect(r.ToIntRect(), own.bgColor);
    }
    if (node->GetType() == TXMLType::Text || node->IsElement("TEXT")) {
        ZString text;
        if (node->GetType() == TXMLType::Text) {
            text.Assign(node->GetValue());
        } else {
            node->GetAttribute("text", text, "", TXMLDecode::Decode, &m_dlg.m_binder);
        }
        PlainLines(text);
        m_dc.SetBkMode(plat::BkMode::Transparent);
        m_dc.SetTextColor(own.color);
        plat::Rect box = r.ToIntRect();
        m_dc.DrawText(text.Text(), box, plat::DrawTextFlags::kLeft | plat::DrawTextFlags::kNoClip);
    } else if (node->IsElement("SPLINE")) {
        // The line runs across the enclosing group at the middle of the item's height.
        const int y = RoundHalfAway(r.y + r.height / 2);
        m_dc.SetPen(plat::Pen{plat::GetSystemColor(plat::SystemColor::WindowText), 1});
        m_dc.Line({RoundHalfAway(parent.x - m_offset.x), y},
                  {RoundHalfAway(parent.Right() - m_offset.x), y});
    } else if (node->IsElement("IMG")) {
        ZString src;
        node->GetAttribute("src", src, "", TXMLDecode::Raw, &m_dlg.m_binder);
        if (const plat::Image* img = m_dlg.ImageOf(src.Str())) {
            m_dc.DrawImage(*img, r.ToIntRect().TopLeft());
        }
    } else if (node->GetType() == TXMLType::Element && !node->IsElement("INPUT")) {
        Pop();
        PushContent(node);
        const NXRect me = found->second;
        for (const TXMLNode* c = node->FirstChildNode(); c; c = c->NextSiblingNode()) {
            PaintNode(c, me);
        }
    }
    Pop();
}
