// SPDX-License-Identifier: GPL-2.0-or-later
#include "xmldlg/TXMLDlg.h"

#include "platform/Application.h"
#include "platform/Module.h"
#include "platform/SystemColors.h"
#include "xmldlg/TXMLDlgLayout.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr const char* kResModule = "QuillRES";
constexpr const char* kDlgTemplate = "IDD_QUILLRES_TXMLDLGTEMPLATE";
constexpr const char* kDlgTemplateChild = "IDD_QUILLRES_TXMLDLGTEMPLATECHILD";
constexpr const char* kCursorMove = "IDD_QUILL_HMOVE";
constexpr const char* kCursorMovePlus = "IDD_QUILL_HMOVEPLUS";
constexpr int kLineStepX = 10;
constexpr int kLineStepY = 24;

const plat::DialogTemplate* FindTemplate(const char* name)
{
    plat::Module* m = plat::Module::Load(kResModule);
    return m ? m->FindDialog(name) : nullptr;
}

// Text measured outside any window: a one-pixel surface has the same font metrics.
plat::DrawContext& MeasureContext()
{
    static plat::Image* image = new plat::Image(1, 1);
    return image->Context();
}

// Copies what map holds for node into out; false, out unchanged, when it holds nothing.
template <class Map, class Value> bool Lookup(const Map& map, const TXMLNode* node, Value& out)
{
    auto found = map.find(node);
    if (found == map.end()) {
        return false;
    }
    out = found->second;
    return true;
}

} // namespace

TXMLDlg::TXMLDlg()
    : plat::Dialog(static_cast<plat::WindowCB&>(*this))
{
    static const char* const kTypes[] = {"EDIT",     "DRAWOBJ", "BUTTON",  "CHECK", "LISTBOX",
                                         "DROPDOWN", "TXMLDLG", "TABCTRL", "XCHART"};
    for (const char* type : kTypes) {
        m_factories.Insert(type, &m_factory);
    }
    m_styleStack.push_back(TXMLDlgStyle());
}

TXMLDlg::~TXMLDlg()
{
    // The control windows go first, while the dialog window they live in still exists.
    DropControls();
    Destroy();
}

void TXMLDlg::DropControls()
{
    m_factory.Reset();
    m_binder.DropChartBinders();
    // A drag in edit mode ends with the control it moves.
    if (m_moving) {
        m_moving = nullptr;
        ReleaseCapture();
    }
    ++m_ctrlGeneration;
    m_ctrls.clear();
    m_placedNow.clear();
}

bool TXMLDlg::SetMarkup(ZStr text, bool sizeToContent)
{
    DropControls();
    m_refs.RemoveAll();
    m_markup.Assign(text);
    m_layout.clear();
    m_styles.clear();
    m_images.clear();
    m_content = NXRect{};
    m_scroll = NXPoint{};
    m_parsed = m_xml.Parse(m_markup.Str(), TXML::LineBreaks::Keep);
    m_sizeToContent = sizeToContent;
    m_firstLayoutDone = false;
    m_layoutNeeded = true;
    ReadDlgAttributes();
    if (IsCreated()) {
        Invalidate();
    }
    return m_parsed;
}

TXMLNode* TXMLDlg::GetRootElement() const
{
    // A document that failed to parse keeps what was read; it is not shown.
    return m_parsed ? m_xml.GetRoot()->FindChildElement() : nullptr;
}

void TXMLDlg::ReadDlgAttributes()
{
    m_editMode = TXMLDlgEditMode::None;
    TXMLNode* root = GetRootElement();
    if (!root) {
        return;
    }
    ZString mode;
    root->GetAttribute("editMode", mode, "none", TXMLDecode::Raw, &m_binder);
    if (mode == "full") {
        m_editMode = TXMLDlgEditMode::Full;
    } else if (mode == "partial") {
        m_editMode = TXMLDlgEditMode::Partial;
    }
}

int TXMLDlg::DoModal(plat::Window* parent)
{
    const plat::DialogTemplate* found = FindTemplate(kDlgTemplate);
    if (!found) {
        return -1;
    }
    plat::DialogTemplate tmpl = *found;
    tmpl.style |= plat::DialogStyle::kHScroll | plat::DialogStyle::kVScroll;
    if (TXMLNode* root = GetRootElement()) {
        ZString title;
        root->GetAttribute("title", title, "", TXMLDecode::Decode, &m_binder);
        tmpl.caption = title.Text();
    }
    const int code = plat::Dialog::DoModal(tmpl, parent);
    if (code < 0) {
        return -1;
    }
    // The end codes are 1 and 0 for the commands; Escape and the close box cancel.
    return code == 1 ? 1 : 0;
}

bool TXMLDlg::CreateChild(plat::Window& parent, bool show)
{
    if (!IsCreated()) {
        const plat::DialogTemplate* found = FindTemplate(kDlgTemplateChild);
        if (!found) {
            return false;
        }
        plat::DialogTemplate tmpl = *found;
        tmpl.style |= plat::DialogStyle::kHScroll | plat::DialogStyle::kVScroll;
        if (!CreateModeless(tmpl, &parent)) {
            return false;
        }
    }
    Show(show);
    return true;
}

void TXMLDlg::SetWindowRect(const NXRect& rect, bool sizeToContent)
{
    m_windowRect = rect;
    m_haveWindowRect = true;
    m_sizeToContent = sizeToContent;
    if (IsCreated() && m_firstLayoutDone) {
        Move(rect.ToIntRect());
    }
}

void TXMLDlg::InvalidateLayout()
{
    m_layoutNeeded = true;
    if (IsCreated()) {
        Invalidate();
    }
}

void TXMLDlg::Layout()
{
    const plat::Rect c = IsCreated() ? GetClientRect() : plat::Rect{};
    LayoutIn(NXRect{0.0, 0.0, double(c.Width()), double(c.Height())});
}

void TXMLDlg::LayoutIn(const NXRect& client)
{
    m_layoutNeeded = false;
    m_layout.clear();
    m_styleStack.assign(1, TXMLDlgStyle());
    TXMLNode* root = GetRootElement();
    if (!root || !root->FirstChildNode()) {
        return;
    }
    plat::DrawContext& dc = MeasureContext();
    TXMLDlgLayout layout(*this, dc);
    const NXSize natural = layout.MeasureRoot();
    m_content = NXRect{0.0, 0.0, natural.width, natural.height};
    NXRect box = client;
    if (m_sizeToContent) {
        m_sizeToContent = false;
        box.width = natural.width;
        box.height = natural.height;
        if (IsCreated()) {
            plat::Rect w = GetWindowRect();
            if (!IsTopLevel() && GetParent()) {
                // A child moves in its parent's client coordinates.
                const plat::Point p = GetParent()->ScreenToClient(w.TopLeft());
                w = w.Offset(p.x - w.left, p.y - w.top);
            }
            const plat::Rect fit = NXRect{0, 0, natural.width, natural.height}.ToIntRect();
            plat::Rect r{w.left, w.top, w.left + fit.Width(), w.top + fit.Height()};
            if (IsTopLevel()) {
                // Keep the centre the placement gave the template's size, but the whole
                // window on the screen: larger content is reached by scrolling.
                r = r.Offset((w.Width() - fit.Width()) / 2, (w.Height() - fit.Height()) / 2);
                const plat::Rect screen = plat::GetScreenWorkArea();
                if (!screen.IsEmpty()) {
                    const int cw = std::min(r.Width(), screen.Width());
                    const int ch = std::min(r.Height(), screen.Height());
                    const int x = std::max(screen.left, std::min(r.left, screen.right - cw));
                    const int y = std::max(screen.top, std::min(r.top, screen.bottom - ch));
                    r = plat::Rect::FromXYWH(x, y, cw, ch);
                }
            }
            Move(r);
            const plat::Rect now = GetClientRect();
            box.width = now.Width();
            box.height = now.Height();
        }
    }
    // Content larger than the window extends beyond it and is reached by scrolling.
    box.width = std::max(box.width, natural.width);
    box.height = std::max(box.height, natural.height);
    m_placedNow.assign(m_ctrls.size(), false);
    layout.PlaceRoot(box);
    for (size_t i = 0; i < m_ctrls.size(); ++i) {
        // Controls of a switched-off block stay hidden until it is switched on again.
        const bool placed = i < m_placedNow.size() && m_placedNow[i];
        TXMLCtrl& c = *m_ctrls[i];
        const bool show = placed && c.visible;
        if (c.native && c.host) {
            c.host->ShowControl(c.id, show);
        } else if (c.wnd && c.wnd->IsCreated()) {
            c.wnd->Show(show);
        }
    }
    AfterFirstLayout();
    UpdateScrollBars();
}

void TXMLDlg::AfterFirstLayout()
{
    if (m_firstLayoutDone) {
        return;
    }
    m_firstLayoutDone = true;
    if (IsCreated() && m_haveWindowRect) {
        Move(m_windowRect.ToIntRect());
    }
    TransferValues(XDataDir::Write, true);
}

bool TXMLDlg::GetItemRect(const TXMLNode* node, NXRect& rect) const
{
    return Lookup(m_layout, node, rect);
}

bool TXMLDlg::GetItemStyle(const TXMLNode* node, TXMLDlgStyle& style) const
{
    return Lookup(m_styles, node, style);
}

const plat::Image* TXMLDlg::ImageOf(ZStr src)
{
    if (src.IsEmpty()) {
        return nullptr;
    }
    const std::string key(src.ptr, size_t(src.len));
    auto found = m_images.find(key);
    if (found == m_images.end()) {
        auto img = std::make_unique<plat::Image>(plat::Image::LoadPNG(key));
        found = m_images.emplace(key, img->IsValid() ? std::move(img) : nullptr).first;
    }
    return found->second.get();
}

TXMLCtrlFactory* TXMLDlg::FactoryOf(ZStr type) const
{
    TXMLCtrlFactory* f = nullptr;
    return m_factories.Lookup(type, f) ? f : nullptr;
}

void TXMLDlg::RegisterFactory(ZStr type, TXMLCtrlFactory& factory)
{
    m_factories.Insert(type, &factory);
}

bool TXMLDlg::MeasureInput(const TXMLNode& node, plat::DrawContext& dc, NXRect& rect)
{
    ZString name;
    ZString type;
    ZString text;
    if (!node.GetAttribute("name", name) || !node.GetAttribute("type", type)) {
        return false;
    }
    TXMLCtrlFactory* f = FactoryOf(type.Str());
    if (!f) {
        return false;
    }
    ZString anchor;
    if (node.GetAttribute("anchor", anchor) && anchor == "float") {
        return false;
    }
    node.GetAttribute("text", text, "", TXMLDecode::Decode, &m_binder);
    NXRect list;
    bool autoSize = true;
    return f->MeasureCtrl(dc, node, type.Str(), text.Str(), rect, list, autoSize, &m_binder);
}

void TXMLDlg::PlaceInput(const TXMLNode& node, plat::DrawContext& dc, const NXRect& rect)
{
    int32_t index = -1;
    for (size_t i = 0; i < m_ctrls.size(); ++i) {
        if (m_ctrls[i]->node == &node) {
            index = int32_t(i);
            break;
        }
    }
    if (index < 0) {
        auto ctrl = std::make_unique<TXMLCtrl>();
        if (!node.GetAttribute("name", ctrl->name) || !node.GetAttribute("type", ctrl->type)) {
            return;
        }
        TXMLCtrlFactory* f = FactoryOf(ctrl->type.Str());
        if (!f) {
            return;
        }
        int show = 1;
        node.GetIntAttribute("show", show, 1);
        ctrl->visible = show != 0;
        node.GetAttribute("text", ctrl->text, "", TXMLDecode::Decode, &m_binder);
        ctrl->kind = CtrlTypeOf(ctrl->type.Str());
        ctrl->node = &node;
        ctrl->font = m_styleStack.back().font;
        ctrl->color = m_styleStack.back().color;
        if (!f->MeasureCtrl(dc, node, ctrl->type.Str(), ctrl->text.Str(), ctrl->rect,
                            ctrl->listRect, ctrl->autoSize, &m_binder)) {
            return;
        }
        ZString anchor;
        if (node.GetAttribute("anchor", anchor) && anchor == "float") {
            ctrl->floating = true;
            ctrl->inFlow = false;
            NXPoint pos{10.0, 10.0};
            ZString v;
            ZStr rest;
            if (node.GetAttribute("pos", v)) {
                pos.FromText(v.Str(), rest);
            }
            ctrl->rect.x = pos.x;
            ctrl->rect.y = pos.y;
        }
        ctrl->id = kFirstCtrlId + int32_t(m_ctrls.size());
        index = int32_t(m_ctrls.size());
        m_ctrls.push_back(std::move(ctrl));
        m_placedNow.push_back(false);
    }
    TXMLCtrl& c = *m_ctrls[size_t(index)];
    if (!c.floating) {
        c.placed = NXRect{rect.x, rect.y, c.rect.width, c.rect.height};
    } else {
        c.placed = c.rect;
    }
    if (size_t(index) < m_placedNow.size()) {
        m_placedNow[size_t(index)] = true;
    }
    const bool exists = c.native ? c.host != nullptr : (c.wnd && c.wnd->IsCreated());
    if (!IsCreated()) {
        return;
    }
    if (!exists) {
        TXMLCtrlFactory* f = FactoryOf(c.type.Str());
        plat::Window* out = nullptr;
        if (f) {
            f->CreateCtrl(*this, c, *this, c.id, out);
        }
    } else {
        MoveCtrlWindow(c);
    }
}

void TXMLDlg::MoveCtrlWindow(TXMLCtrl& c)
{
    NXRect r = c.placed;
    r.x -= m_scroll.x;
    r.y -= m_scroll.y;
    if (c.native && c.host) {
        c.host->MoveControl(c.id, r.ToIntRect());
    } else if (c.wnd && c.wnd->IsCreated()) {
        c.wnd->Move(r.ToIntRect());
    }
}

TXMLCtrl* TXMLDlg::GetCtrl(int32_t index) const
{
    return index >= 0 && index < GetCtrlCount() ? m_ctrls[size_t(index)].get() : nullptr;
}

TXMLCtrl* TXMLDlg::FindCtrl(ZStr name) const
{
    for (const auto& c : m_ctrls) {
        if (c->name == name) {
            return c.get();
        }
    }
    return nullptr;
}

TXMLCtrl* TXMLDlg::FindCtrlById(int32_t id) const
{
    return GetCtrl(id - kFirstCtrlId);
}

void TXMLDlg::PaintTo(plat::DrawContext& dc, plat::Size size)
{
    if (m_layoutNeeded) {
        Layout();
    }
    uint32_t bg = plat::GetSystemColor(plat::SystemColor::ButtonFace);
    TXMLNode* root = GetRootElement();
    if (root) {
        TXMLDlgStyle style;
        if (GetItemStyle(root, style) && style.bgColor != XColor::kNone) {
            bg = style.bgColor;
        }
    }
    dc.FillRect(plat::Rect{0, 0, size.cx, size.cy}, bg);
    if (!root) {
        return;
    }
    ZString src;
    root->GetAttribute("imgSrc", src, "", TXMLDecode::Raw, &m_binder);
    if (const plat::Image* img = ImageOf(src.Str())) {
        NXSize margin{15.0, 15.0};
        ZString v;
        ZStr rest;
        if (root->GetAttribute("margin", v)) {
            margin.FromText(v.Str(), rest);
        }
        dc.DrawImage(*img, {RoundHalfAway(margin.width - m_scroll.x),
                            RoundHalfAway(margin.height - m_scroll.y)});
    }
    m_styleStack.assign(1, TXMLDlgStyle());
    TXMLDlgLayout layout(*this, dc);
    layout.Paint(m_scroll);
}

bool TXMLDlg::OnPaint(plat::Window&, plat::DrawContext& dc, const plat::Rect&)
{
    const uint64_t start = plat::GetPerformanceCounter();
    if (m_layoutNeeded) {
        Layout();
    }
    const plat::Rect c = GetClientRect();
    // Everything is drawn off screen first and copied in one step, so nothing flickers.
    plat::Image surface(std::max(1, c.Width()), std::max(1, c.Height()));
    PaintTo(surface.Context(), plat::Size{c.Width(), c.Height()});
    dc.DrawImage(surface, {0, 0});
    const uint64_t freq = plat::GetPerformanceFrequency();
    const double micros =
        freq ? double(plat::GetPerformanceCounter() - start) / double(freq) / 0.000001 : 0.0;
    ++m_paintCount;
    PublishPaintStats(micros);
    return true;
}

void TXMLDlg::PublishPaintStats(double micros)
{
    // The statistics go wherever the application registered them; a dialog without such
    // references ignores them, so the lookups must not leave an error behind.
    const ZString keep = m_binder.GetError();
    m_binder.SetReal("PAINTTIME", micros);
    m_binder.SetInt("PAINTCOUNT", m_paintCount);
    ZString hit;
    m_hitRect.ToText(hit, RectText::Integer);
    m_binder.SetText("PAINTHITRECT", hit.Str());
    m_binder.SetError(keep.Str());
}

void TXMLDlg::UpdateScrollBars()
{
    if (!IsCreated()) {
        return;
    }
    const plat::Rect c = GetClientRect();
    const plat::Rect content = m_content.ToIntRect();
    const bool h = content.Width() > c.Width() && c.Width() > 0;
    const bool v = content.Height() > c.Height() && c.Height() > 0;
    ShowScrollBar(plat::ScrollBar::Horizontal, h);
    ShowScrollBar(plat::ScrollBar::Vertical, v);
    if (h) {
        SetScrollInfo(plat::ScrollBar::Horizontal,
                      plat::ScrollInfo{0, content.Width(), c.Width(), int(m_scroll.x), 0});
    } else {
        m_scroll.x = 0;
    }
    if (v) {
        SetScrollInfo(plat::ScrollBar::Vertical,
                      plat::ScrollInfo{0, content.Height(), c.Height(), int(m_scroll.y), 0});
    } else {
        m_scroll.y = 0;
    }
}

void TXMLDlg::OnScroll(plat::ScrollBar bar, const plat::Message& msg)
{
    plat::ScrollInfo si = GetScrollInfo(bar);
    const int line = bar == plat::ScrollBar::Horizontal ? kLineStepX : kLineStepY;
    int pos = si.pos;
    switch (plat::ScrollCode(msg.code)) {
    case plat::ScrollCode::LineUp:
        pos -= line;
        break;
    case plat::ScrollCode::LineDown:
        pos += line;
        break;
    case plat::ScrollCode::PageUp:
        pos -= si.page;
        break;
    case plat::ScrollCode::PageDown:
        pos += si.page;
        break;
    case plat::ScrollCode::ThumbPosition:
    case plat::ScrollCode::ThumbTrack:
        pos = msg.pos;
        break;
    case plat::ScrollCode::Top:
        pos = 0;
        break;
    case plat::ScrollCode::Bottom:
        pos = si.max - si.page;
        break;
    case plat::ScrollCode::EndScroll:
        return;
    }
    pos = std::clamp(pos, si.min, std::max(si.min, si.max - std::max(si.page, 1) + 1));
    si.pos = pos;
    SetScrollInfo(bar, si);
    (bar == plat::ScrollBar::Horizontal ? m_scroll.x : m_scroll.y) = pos;
    for (auto& c : m_ctrls) {
        MoveCtrlWindow(*c);
    }
    Invalidate();
}

bool TXMLDlg::OnMessage(plat::Window&, const plat::Message& msg)
{
    switch (msg.kind) {
    case plat::Msg::InitDialog:
        // Laying out now creates the controls before the dialog is first shown.
        Layout();
        return true;
    case plat::Msg::Size:
        m_layoutNeeded = true;
        Invalidate();
        return false;
    case plat::Msg::Command:
        if (msg.id == uint32_t(plat::kIdOk) && msg.code == plat::Notify::kBnClicked) {
            // Enter confirms like the OK command: the values the user typed are kept.
            TransferValues(XDataDir::Read, true);
            EndDialog(1);
            return true;
        }
        if (msg.id == uint32_t(plat::kIdCancel) && msg.code == plat::Notify::kBnClicked) {
            EndDialog(0);
            return true;
        }
        return HandleCommand(int32_t(msg.id), msg.code);
    case plat::Msg::HScroll:
        if (msg.id == 0) {
            OnScroll(plat::ScrollBar::Horizontal, msg);
            return true;
        }
        return false;
    case plat::Msg::VScroll:
        if (msg.id == 0) {
            OnScroll(plat::ScrollBar::Vertical, msg);
            return true;
        }
        return false;
    case plat::Msg::MouseMove:
    case plat::Msg::LButtonDown:
    case plat::Msg::LButtonUp:
        return OnEditMouse(msg);
    case plat::Msg::Destroy:
        for (auto& c : m_ctrls) {
            // The native controls go with the window; the records stay for the next one.
            c->host = nullptr;
        }
        // Showing the dialog again moves the registered values into the new controls.
        m_firstLayoutDone = false;
        m_layoutNeeded = true;
        return false;
    default:
        return false;
    }
}

bool TXMLDlg::OnEditMouse(const plat::Message& msg)
{
    // Remember the smallest laid-out item under the pointer for "%PAINTHITRECT%".
    const double px = msg.pt.x + m_scroll.x;
    const double py = msg.pt.y + m_scroll.y;
    double best = -1.0;
    for (const auto& [node, r] : m_layout) {
        if (px >= r.x && px < r.Right() && py >= r.y && py < r.Bottom()) {
            const double area = r.width * r.height;
            if (best < 0 || area < best) {
                best = area;
                m_hitRect = r;
            }
        }
    }
    if (m_editMode == TXMLDlgEditMode::None) {
        return false;
    }
    // In edit mode a control is dragged by the frame of a few pixels around its window,
    // since its window takes the clicks inside it for itself.
    constexpr double kGrip = 6.0;
    if (msg.kind == plat::Msg::MouseMove && !m_moving) {
        // Over a control's grip the pointer shows that it can be moved ("full" mode also
        // moves floating controls: the cursor with the plus).
        for (auto& c : m_ctrls) {
            const NXRect& r = c->placed;
            const bool near = px >= r.x - kGrip && px < r.Right() + kGrip && py >= r.y - kGrip &&
                              py < r.Bottom() + kGrip;
            if (!near || (c->floating && m_editMode != TXMLDlgEditMode::Full)) {
                continue;
            }
            plat::Module* m = plat::Module::Load(kResModule);
            const plat::CursorImage* img =
                m ? m->FindCursor(c->floating ? kCursorMovePlus : kCursorMove) : nullptr;
            SetCursor(img ? plat::Cursor::FromImage(*img)
                          : plat::Cursor::Standard(plat::StdCursor::SizeAll));
            return true;
        }
        return false;
    }
    if (msg.kind == plat::Msg::LButtonDown) {
        for (auto& c : m_ctrls) {
            if (c->floating && m_editMode != TXMLDlgEditMode::Full) {
                continue;
            }
            const NXRect& r = c->placed;
            if (px >= r.x - kGrip && px < r.Right() + kGrip && py >= r.y - kGrip &&
                py < r.Bottom() + kGrip) {
                m_moving = c.get();
                m_moveFrom = msg.pt;
                m_moveStart = r;
                SetCapture();
                return true;
            }
        }
        return false;
    }
    if (!m_moving) {
        return false;
    }
    m_moving->placed.x = m_moveStart.x + (msg.pt.x - m_moveFrom.x);
    m_moving->placed.y = m_moveStart.y + (msg.pt.y - m_moveFrom.y);
    MoveCtrlWindow(*m_moving);
    if (msg.kind == plat::Msg::LButtonUp) {
        // A moved control keeps its place: it floats from now on.
        m_moving->floating = true;
        m_moving->inFlow = false;
        m_moving->rect = m_moving->placed;
        m_moving = nullptr;
        ReleaseCapture();
    }
    Invalidate();
    return true;
}
