// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/NXGeom.h"
#include "base/StringTypeDict.h"
#include "base/ZString.h"
#include "platform/Dialog.h"

#include <cstdint>
#include <memory>

class TXMLBinder;
class TXMLDlg;
class TXMLNode;

/// The control types a markup dialog knows out of the box.
enum class TXMLCtrlType : int32_t {
    Edit,
    DrawObj,
    Button,
    Check,
    ListBox,
    DropDown,
    XMLDlg,
    TabCtrl,
    Chart,
    Other,
};

/// The type of a type name ("EDIT", "BUTTON", ...); Other for names not built in.
TXMLCtrlType CtrlTypeOf(ZStr name);

/// The platform style of an EDIT element: alignment from `align`; read-only unless
/// `readOnly` is absent or exactly "false".
uint32_t EditStyleOf(const TXMLNode& node);

/// One created control of a markup dialog. Native controls (edit, buttons, lists) belong to
/// the dialog window and are removed from it with the record; the other kinds have a child
/// window that the record owns.
class TXMLCtrl
{
public:
    TXMLCtrl() = default;
    virtual ~TXMLCtrl();
    TXMLCtrl(const TXMLCtrl&) = delete;
    TXMLCtrl& operator=(const TXMLCtrl&) = delete;

    ZString name;
    ZString type;
    ZString text;
    uint32_t color = 0;
    plat::Font font{"Arial", 95};
    NXRect rect;     ///< position and size as measured (client pixels)
    NXRect listRect; ///< a drop-down's open list (its rect's height is the list's)
    NXRect placed;   ///< where the window is now, before scrolling
    const TXMLNode* node = nullptr;
    std::unique_ptr<plat::Window> wnd; ///< child window of the custom kinds, or null
    TXMLCtrlType kind = TXMLCtrlType::Other;
    int32_t id = 0;
    bool inFlow = true;
    bool visible = true;
    bool floating = false;
    bool autoSize = true;
    bool multiSel = false;        ///< list box with extended selection
    bool native = false;          ///< a native control of the dialog (dlg->AddControl)
    plat::Dialog* host = nullptr; ///< the dialog window holding a native control
};

/// Size information of one control type: minimum size and added space in pixels; a default
/// size whose negative values count character cells of "Q"; and whether the control's text
/// is measured even when no size-to-content is asked.
struct CtrlInfo
{
    const char* type = "<?>";
    NXSize minSize;
    NXSize defSize;
    NXSize addSpace;
    uint8_t measureText = 0;
};

/// Measures and creates the controls of the built-in types.
class TXMLCtrlFactory
{
public:
    TXMLCtrlFactory();
    virtual ~TXMLCtrlFactory() = default;
    TXMLCtrlFactory(const TXMLCtrlFactory&) = delete;
    TXMLCtrlFactory& operator=(const TXMLCtrlFactory&) = delete;

    /// Housekeeping before the factory's dialog drops its controls. Nothing here.
    virtual void Reset() {}
    /// The size of the control ele describes (type and text already read), as a rectangle
    /// at (10, 10) in client pixels; listRect gets a drop-down's open list, autoSize whether
    /// the size follows the content. dc measures in the current font. False when the type
    /// cannot be measured.
    virtual bool MeasureCtrl(plat::DrawContext& dc, const TXMLNode& ele, ZStr type, ZStr text,
                             NXRect& rect, NXRect& listRect, bool& autoSize, TXMLBinder* binder);
    /// Creates the window of ctrl in parent (the dialog) with identifier id at ctrl.rect.
    /// Custom windows are stored in ctrl.wnd and returned in out; native controls leave out
    /// null. False when nothing could be created.
    virtual bool CreateCtrl(TXMLDlg& dlg, TXMLCtrl& ctrl, plat::Window& parent, int32_t id,
                            plat::Window*& out);

    /// The size information of type ("<?>" for types without their own).
    const CtrlInfo& Info(ZStr type) const;

private:
    StringTypeDict<CtrlInfo> m_info;
    CtrlInfo m_other;
};
