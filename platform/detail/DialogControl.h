// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Private to the platform library: the adapters between a dialog and its native controls.
// Each control kind is one class over one toolkit widget; the dialog talks to all of them
// through DialogControl, and CreateDialogControl is the one place that knows which class
// serves which kind. Toolkit classes appear here only as forward declarations.

#include "platform/Dialog.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class Fl_Input_;
class Fl_Widget;

namespace plat::detail {

/// What a control needs from the dialog that holds it.
class DialogHost
{
public:
    /// The dialog window: receives messages, owns drop-down lists, tells whether it lives.
    virtual Dialog& Owner() = 0;
    /// The pixel size of the template font, for control texts.
    virtual int FontPx() const = 0;
    /// Sends Msg::Command (id, code) to the dialog, with its default handling of OK/Cancel.
    virtual void Command(int id, uint32_t code) = 0;

protected:
    ~DialogHost() = default;
};

class DialogControl;

/// Carried by every control widget: the way back to its control. The control clears it when
/// it goes, so that a widget whose deletion is deferred does nothing any more.
struct ControlTag
{
    DialogControl* ctl = nullptr;
    virtual ~ControlTag() = default;
};

/// What '&' means in a label: it underlines the next letter, or it is shown as itself.
enum class Ampersand { Underlines, Literal };

/// `text` in the toolkit's label form, with the characters that are special to the toolkit
/// escaped so that they show as written ('&' as `amp` says).
std::string ToolkitLabel(const std::string& text, Ampersand amp);

/// Prepares a one-line field: at most kEditMaxBytes characters typed.
void LimitOneLineField(Fl_Input_& input);

/// Serves the paste gestures of a one-line field for event `e` of it: Ctrl+V and Shift+Insert
/// paste the clipboard, the middle button's release the primary selection. The text is read
/// by the library itself (the toolkit's own transfer of large selections is unsafe), cut at a
/// character boundary to the room kEditMaxBytes leaves, and given to the field as the
/// toolkit's paste event. True when `e` was such a gesture; then it is handled.
bool HandlePasteGesture(Fl_Input_& input, int e);

/// Sends notification `code` of the control behind `tag` to its dialog. Returns whether the
/// control still exists afterwards (false also when it was gone before).
bool SendNotification(ControlTag* tag, uint32_t code);

/// One control of a dialog over its native widget. The widget belongs to the dialog's toolkit
/// group; destroying the control only detaches it. Operations that do not apply to a kind do
/// nothing and return the empty value (-1 for indexes).
class DialogControl
{
public:
    DialogControl(DialogHost& host, const ControlTemplate& ct);
    virtual ~DialogControl();
    DialogControl(const DialogControl&) = delete;
    DialogControl& operator=(const DialogControl&) = delete;

    int Id() const { return m_id; }
    uint32_t Style() const { return m_style; }
    DialogHost& Host() const { return m_host; }
    Fl_Widget* Widget() const { return m_widget; }

    /// Enter clicks a focused push button instead of running the default command.
    virtual bool IsPushButton() const { return false; }
    /// A default push button becomes the dialog's default id when added.
    virtual bool IsDefaultButton() const { return false; }
    /// Whether the dialog may give it the focus when it opens.
    virtual bool IsTabStop() const { return true; }
    virtual void TakeFocus();

    virtual void SetText(const std::string&) {}
    virtual std::string GetText() const { return {}; }
    virtual void SetCheck(int) {}
    virtual int GetCheck() const { return 0; }
    virtual void SetSliderRange(int, int) {}
    virtual void SetSliderPos(int) {}
    virtual int GetSliderPos() const { return 0; }
    virtual void ResetContent() {}
    virtual int AddString(const std::string&) { return -1; }
    virtual int GetCount() const { return 0; }
    virtual std::string GetItemText(int) const { return {}; }
    virtual void SetCurSel(int) {}
    virtual int GetCurSel() const { return -1; }
    virtual void SetSel(int, bool) {}
    virtual std::vector<int> GetSelItems() const { return {}; }
    virtual void SetPicture(const Image&) {}

protected:
    /// Records the control's widget and points its tag here; each kind's constructor calls it
    /// once with the widget it built.
    void Attach(Fl_Widget* widget, ControlTag* tag);
    /// Redraws the group around the widget (a label or picture may have shrunk).
    void RedrawParent();

private:
    DialogHost& m_host;
    int m_id = -1;
    uint32_t m_style = 0;
    Fl_Widget* m_widget = nullptr;
    ControlTag* m_tag = nullptr;
};

/// A control whose text is its widget's label: statics, push buttons, check boxes. Labels keep
/// '@' and '&' as written ('&' underlines the next letter, as in native dialogs).
class LabelledControl : public DialogControl
{
public:
    LabelledControl(DialogHost& host, const ControlTemplate& ct);
    void SetText(const std::string& text) override;
    std::string GetText() const override { return m_text; }

protected:
    /// The label in the toolkit's form; stays valid until the text changes.
    const char* Label() const { return m_label.c_str(); }

private:
    std::string m_text;
    std::string m_label;
};

/// An owned control, as the makers below return it.
using ControlPtr = std::unique_ptr<DialogControl>;

/// How a control is made: the control for `ct`, its widget built at `area` (pixels in the
/// coordinates of the toolkit window) but not yet added to a group. Never null.
using ControlMaker = ControlPtr(DialogHost& host, const ControlTemplate& ct, const Rect& area);

/// Makes the control that serves `ct.kind`.
ControlMaker CreateDialogControl;

/// The maker of control class C, which is built from the same three arguments.
template <class C>
ControlPtr MakeControl(DialogHost& host, const ControlTemplate& ct, const Rect& area)
{
    return std::make_unique<C>(host, ct, area);
}

// The makers of the kinds, one file each (DialogStatic.cpp, DialogEdit.cpp, ...).
extern ControlMaker* const MakeStatic;
extern ControlMaker* const MakePicture;
extern ControlMaker* const MakeEdit;
extern ControlMaker* const MakePushButton;
extern ControlMaker* const MakeCheckBox;
extern ControlMaker* const MakeSlider;
extern ControlMaker* const MakeDropDownList;
extern ControlMaker* const MakeDropDownEdit;
extern ControlMaker* const MakeListBox;

} // namespace plat::detail
