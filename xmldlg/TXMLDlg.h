// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/NXGeom.h"
#include "base/StringTypeDict.h"
#include "base/XArray.h"
#include "base/XDataBind.h"
#include "platform/Dialog.h"
#include "platform/Image.h"
#include "xml/TXML.h"
#include "xmldlg/TXMLCtrl.h"
#include "xmldlg/TXMLDlgDataBind.h"
#include "xmldlg/TXMLDlgStyle.h"
#include "xmldlg/TXMLDlg_CB.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

/// A dialog whose content is described by markup: texts, images, spacers and lines that it
/// lays out and paints itself, and input controls that become child windows. Values enter
/// through "%NAME%" variables and leave through the controls and registered references.
class TXMLDlg : public plat::WindowCB, public plat::Dialog
{
public:
    /// Identifier of the first control; control i has kFirstCtrlId + i.
    static constexpr int32_t kFirstCtrlId = 1000;

    TXMLDlg();
    ~TXMLDlg() override;

    /// Loads new markup: drops the controls and registered references of the old one, parses
    /// text (line breaks kept) and lays out again at the next paint; sizeToContent makes the
    /// window fit the content then. False when the markup does not parse (the dialog is
    /// then empty; GetXML() has the error).
    bool SetMarkup(ZStr text, bool sizeToContent = false);
    const ZString& GetMarkup() const { return m_markup; }
    const TXML& GetXML() const { return m_xml; }
    bool IsParsed() const { return m_parsed; }

    /// Runs the dialog modally on the library's markup dialog template over parent. Returns 1
    /// after "@EndDlgOK", 0 after "@EndDlgCancel", Escape or the close box, -1 when it
    /// cannot be shown.
    int DoModal(plat::Window* parent = nullptr);
    /// Creates the dialog as a child of parent (first call) and shows or hides it.
    bool CreateChild(plat::Window& parent, bool show);
    /// Where the window goes after the first layout of new markup (client pixels of the
    /// parent for a child, screen pixels for a top-level dialog); without this call it is
    /// centred over its parent.
    void SetWindowRect(const NXRect& rect, bool sizeToContent);

    /// Lays the markup out into the window's client area (or into client when there is no
    /// window) and creates or moves the controls. With size-to-content the window is sized
    /// to the content first.
    void Layout();
    void LayoutIn(const NXRect& client);
    /// Marks the layout as needed and repaints.
    void InvalidateLayout();
    /// The content rectangle of the last layout: the root's natural size with margins.
    const NXRect& GetContentRect() const { return m_content; }
    /// The rectangle an element (or text node) got in the last layout, in client pixels.
    bool GetItemRect(const TXMLNode* node, NXRect& rect) const;
    /// The style in effect for an element in the last layout.
    bool GetItemStyle(const TXMLNode* node, TXMLDlgStyle& style) const;
    /// The root element of the markup, or null.
    TXMLNode* GetRootElement() const;
    /// Paints the dialog into dc (client size size), as on screen.
    void PaintTo(plat::DrawContext& dc, plat::Size size);

    // ---- Controls ----
    int32_t GetCtrlCount() const { return int32_t(m_ctrls.size()); }
    TXMLCtrl* GetCtrl(int32_t index) const;
    TXMLCtrl* FindCtrl(ZStr name) const;
    TXMLCtrl* FindCtrlById(int32_t id) const;
    /// Registers factory (not owned; must outlive the dialog) for a control type name.
    void RegisterFactory(ZStr type, TXMLCtrlFactory& factory);

    // ---- Data binding ----
    TXMLDlgDataBinder& GetBinder() { return m_binder; }
    /// Registers application storage under path (after SetMarkup, before showing).
    void RegisterRef(ZStr path, const XValueRef& ref, bool autoTransfer = false, uint8_t flag = 0);
    const XArray<XData_NamedRef, false>& GetRefs() const { return m_refs; }
    /// Moves the registered references whose control part is ctrlName (all when empty) in
    /// direction dir: all of them with force, else only the automatic ones.
    void TransferValues(XDataDir dir, bool force, ZStr ctrlName = ZStr());
    /// The callback; the default runs only the built-in commands. Not owned.
    void SetNotifyCB(TXMLDlg_CB& cb) { m_cb = &cb; }
    /// Runs the `cmd` of the notifying control: "@EndDlgOK" and "@EndDlgCancel". True when
    /// it was one of them.
    bool RunCommand(const TXMLDlgNotify& n);
    /// Handles a notification (code) of control id as the platform sends it; false when it
    /// belongs to no control or nobody handled it.
    bool HandleCommand(int32_t id, uint32_t code);

    TXMLDlgEditMode GetEditMode() const { return m_editMode; }
    void SetEditMode(TXMLDlgEditMode mode) { m_editMode = mode; }
    const NXPoint& GetScrollOffset() const { return m_scroll; }
    /// Paints done so far.
    int32_t GetPaintCount() const { return m_paintCount; }

    bool OnMessage(plat::Window& wnd, const plat::Message& msg) override;
    bool OnPaint(plat::Window& wnd, plat::DrawContext& dc, const plat::Rect& update) override;

private:
    friend class TXMLDlgLayout;
    const plat::Image* ImageOf(ZStr src);
    bool MeasureInput(const TXMLNode& node, plat::DrawContext& dc, NXRect& rect);
    void PlaceInput(const TXMLNode& node, plat::DrawContext& dc, const NXRect& rect);
    void MoveCtrlWindow(TXMLCtrl& ctrl);
    TXMLCtrlFactory* FactoryOf(ZStr type) const;
    void DropControls();
    void ReadDlgAttributes();
    void AfterFirstLayout();
    void OnScroll(plat::ScrollBar bar, const plat::Message& msg);
    void UpdateScrollBars();
    void PublishPaintStats(double micros);
    bool OnEditMouse(const plat::Message& msg);

    ZString m_markup;
    TXML m_xml;
    bool m_parsed = false;
    bool m_layoutNeeded = true;
    bool m_sizeToContent = false;
    bool m_firstLayoutDone = false;
    bool m_haveWindowRect = false;
    NXRect m_windowRect;
    NXRect m_content;
    NXPoint m_scroll;
    TXMLDlgEditMode m_editMode = TXMLDlgEditMode::None;

    std::unordered_map<const TXMLNode*, NXRect> m_layout;
    std::unordered_map<const TXMLNode*, TXMLDlgStyle> m_styles;
    std::vector<TXMLDlgStyle> m_styleStack;
    std::vector<std::unique_ptr<TXMLCtrl>> m_ctrls;
    TXMLCtrlFactory m_factory;
    StringTypeDict<TXMLCtrlFactory*> m_factories;
    TXMLDlg_CB* m_cb = &TXMLDlg_CB::Default();
    TXMLDlgDataBinder m_binder{*this};
    XArray<XData_NamedRef, false> m_refs;

    std::unordered_map<std::string, std::unique_ptr<plat::Image>> m_images;
    std::vector<bool> m_placedNow;
    int32_t m_paintCount = 0;
    NXRect m_hitRect;
    // Counts the times the control records were dropped, so that a dispatch can tell that
    // a handler replaced them.
    uint64_t m_ctrlGeneration = 0;
    // Moving a control in edit mode.
    TXMLCtrl* m_moving = nullptr;
    plat::Point m_moveFrom;
    NXRect m_moveStart;
};
