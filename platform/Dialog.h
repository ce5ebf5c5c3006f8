// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/DrawContext.h"
#include "platform/Geometry.h"
#include "platform/Window.h"

#include <memory>
#include <string>
#include <vector>

namespace plat {

class Image;

/// The most bytes the user can put into a one-line field (an edit field, the edit part of
/// a drop-down): a paste is cut to the room left, at a UTF-8 character boundary; typing
/// stops at this many characters. Text set by the program is not cut.
constexpr int kEditMaxBytes = 32767;

/// The native controls a dialog can hold.
enum class ControlKind {
    Static,       ///< text label
    Picture,      ///< an image (SetPicture)
    Edit,         ///< single-line edit field
    Button,       ///< push button
    DefButton,    ///< the default push button (Enter clicks it)
    CheckBox,     ///< automatic check box
    Slider,       ///< horizontal slider (trackbar) with integer positions
    DropDownList, ///< drop-down list, not editable
    DropDownEdit, ///< drop-down with an edit field
    ListBox,      ///< list box
};

/// Control style flags (ours, not native numbers).
namespace ControlStyle {
constexpr uint32_t kCenter = 0x0001;      ///< text centred (static text)
constexpr uint32_t kRight = 0x0002;       ///< text right-aligned (static text)
constexpr uint32_t kReadOnly = 0x0004;    ///< edit: the user cannot change the text
constexpr uint32_t kAutoHScroll = 0x0008; ///< edit: scrolls horizontally (always on)
constexpr uint32_t kExtendedSel = 0x0010; ///< list box: several items may be selected
constexpr uint32_t kNotify = 0x0020;      ///< buttons: also send BN_SETFOCUS/BN_KILLFOCUS
constexpr uint32_t kDisabled = 0x0040;    ///< created disabled
constexpr uint32_t kHidden = 0x0080;      ///< created hidden
constexpr uint32_t kVScroll = 0x0100;     ///< lists: vertical scroll bar when needed
constexpr uint32_t kBorder = 0x0200;      ///< static: sunken frame
} // namespace ControlStyle

/// One control of a dialog template. The rectangle is in dialog units in templates and in
/// client pixels for Dialog::AddControl.
struct ControlTemplate
{
    ControlKind kind = ControlKind::Static;
    int id = -1;
    std::string text;
    Rect rect;
    uint32_t style = 0;
};

/// A control of a template: kind, id, text, and its place x, y, width, height.
inline ControlTemplate MakeControl(ControlKind kind, int id, const char* text, int x, int y,
                                   int width, int height, uint32_t style = 0)
{
    ControlTemplate c;
    c.kind = kind;
    c.id = id;
    c.text = text;
    c.rect = Rect::FromXYWH(x, y, width, height);
    c.style = style;
    return c;
}

/// Dialog style flags.
namespace DialogStyle {
constexpr uint32_t kSizable = 0x0001; ///< the user may enlarge a top-level dialog
constexpr uint32_t kChild = 0x0002;   ///< created inside a parent window, without a caption
constexpr uint32_t kHidden = 0x0004;  ///< a modeless dialog is not shown at creation
constexpr uint32_t kHScroll = 0x0008; ///< horizontal scroll bar (hidden until ShowScrollBar)
constexpr uint32_t kVScroll = 0x0010; ///< vertical scroll bar (hidden until ShowScrollBar)
} // namespace DialogStyle

/// A dialog as data: caption, font (its metrics give the dialog units), client size in
/// dialog units, controls.
struct DialogTemplate
{
    std::string caption;
    std::string fontFace = "MS Sans Serif";
    int fontPointSize = 8;
    Size size;
    uint32_t style = 0;
    std::vector<ControlTemplate> controls;
};

/// A dialog built from a template: a window with native controls. Its callback receives
/// Msg::InitDialog once the controls exist, Msg::Command (control id, notification code)
/// for control notifications, Msg::HScroll (id = slider id) for sliders, Msg::Notify for
/// NM_RELEASEDCAPTURE, and all other window messages. Enter sends Command(default id,
/// BN_CLICKED) (the focused push button's id when a push button has the focus); Escape and
/// the close box send Command(kIdCancel). A Command kIdOk or kIdCancel with BN_CLICKED that
/// the callback does not handle ends the dialog with that id.
class Dialog : public Window
{
public:
    explicit Dialog(WindowCB& cb = WindowCB::Default());
    ~Dialog() override;

    /// Shows the dialog modally over `owner` (centred on it, or on the screen) and returns
    /// the code given to EndDialog; -1 when it cannot be shown (no display). The owner takes
    /// no input meanwhile; windows the dialog opens itself (a find dialog) do.
    int DoModal(const DialogTemplate& tmpl, Window* owner = nullptr);
    /// Creates the dialog modelessly: a top-level window, or with DialogStyle::kChild a child
    /// of `parent` at its client origin. False without a display or parent, or when the
    /// dialog exists already.
    bool CreateModeless(const DialogTemplate& tmpl, Window* parent);
    /// Ends a modal dialog with `code` (DoModal returns it); hides a modeless one.
    void EndDialog(int code);
    bool IsModal() const;

    /// Pixels per 4 horizontal and per 8 vertical dialog units (the template font's average
    /// character width and height).
    Size GetBaseUnits() const;
    /// Dialog units to pixels.
    Rect MapDialogRect(const Rect& dlu) const;

    /// Adds a control at a rectangle in client pixels; false when the id is in use (ids other
    /// than -1 must be unique) or the dialog does not exist.
    bool AddControl(const ControlTemplate& ctl);
    /// Removes a control (safe from inside its own notification).
    bool RemoveControl(int id);
    bool HasControl(int id) const;
    std::vector<int> GetControlIds() const;
    bool MoveControl(int id, const Rect& rect);
    /// The control's rectangle in client pixels; empty when there is no such control.
    Rect GetControlRect(int id) const;
    void ShowControl(int id, bool show);
    bool IsControlVisible(int id) const;
    void EnableControl(int id, bool enable);
    bool IsControlEnabled(int id) const;

    /// Text of a static, button, check box, edit or editable drop-down (its edit part).
    /// Setting an edit's text sends EN_UPDATE and EN_CHANGE, as native edits do.
    void SetText(int id, const std::string& text);
    std::string GetText(int id) const;
    /// Check box state, 0 or 1.
    void SetCheck(int id, int state);
    int GetCheck(int id) const;
    /// Slider range and position; positions outside the range are clamped to it.
    void SetSliderRange(int id, int min, int max);
    void SetSliderPos(int id, int pos);
    int GetSliderPos(int id) const;
    /// Items of list boxes and drop-downs.
    void ResetContent(int id);
    int AddString(int id, const std::string& text);
    int GetCount(int id) const;
    std::string GetItemText(int id, int index) const;
    /// Single selection (drop-downs and single-selection list boxes): -1 for none.
    void SetCurSel(int id, int index);
    int GetCurSel(int id) const;
    /// Extended-selection list boxes.
    void SetSel(int id, int index, bool select);
    std::vector<int> GetSelItems(int id) const;
    /// The image shown by a picture control (copied).
    void SetPicture(int id, const Image& image);

    /// Gives a control (or a child window with that id) the keyboard focus.
    void SetFocusControl(int id);
    /// The id of the control or child window that has the keyboard focus; 0 when none of
    /// this dialog's has it.
    int GetFocusControl() const;
    void SetDefaultId(int id);
    int GetDefaultId() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_dlg;
};

} // namespace plat
