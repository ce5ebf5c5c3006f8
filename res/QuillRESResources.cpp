// SPDX-License-Identifier: GPL-2.0-or-later
// The dialog templates of the library and their registration with the module loader.
#include "platform/Dialog.h"
#include "platform/Module.h"
#include "res/QuillRES.h"
#include "res/QuillRESCursors.h"
#include "res/XFindDlgBase.h"

namespace {

// The find bar: a popup window with caption, system menu and modal frame, 196 x 23 dialog
// units in "MS Sans Serif" 8.
plat::DialogTemplate FindTemplate()
{
    using plat::ControlKind;
    plat::DialogTemplate t;
    t.caption = "Find";
    t.fontFace = "MS Sans Serif";
    t.fontPointSize = 8;
    t.size = {196, 23};
    t.controls = {
        plat::MakeControl(ControlKind::Static, -1, "Find", 3, 3, 14, 8),
        // Drop-down with an edit field, vertical scroll bar, horizontal auto-scroll, tab
        // stop; the height includes the open list.
        plat::MakeControl(ControlKind::DropDownEdit, XFindDlgBase::kIdCombo, "", 18, 2, 127, 67,
                          plat::ControlStyle::kVScroll | plat::ControlStyle::kAutoHScroll),
        plat::MakeControl(ControlKind::DefButton, XFindDlgBase::kIdNext, "Next", 147, 2, 20, 11),
        plat::MakeControl(ControlKind::Button, XFindDlgBase::kIdPrev, "Prev.", 169, 2, 20, 11),
        plat::MakeControl(ControlKind::CheckBox, XFindDlgBase::kIdIgnoreCase, "Ignore Case", 18, 14,
                          46, 8),
        plat::MakeControl(ControlKind::CheckBox, XFindDlgBase::kIdKeepOpen, "Keep Open", 103, 13,
                          43, 10),
    };
    return t;
}

// The base of top-level markup dialogs: empty, initially visible, with caption "Dialog",
// system menu and sizing border.
plat::DialogTemplate MarkupDlgTemplate()
{
    plat::DialogTemplate t;
    t.caption = "Dialog";
    t.fontFace = "MS Sans Serif";
    t.fontPointSize = 8;
    t.size = {188, 99};
    t.style = plat::DialogStyle::kSizable;
    return t;
}

// The base of markup dialogs embedded in another window: an empty child with sizing
// border and no caption. It starts hidden; its user shows or hides it after creating it.
plat::DialogTemplate MarkupDlgChildTemplate()
{
    plat::DialogTemplate t = MarkupDlgTemplate();
    t.caption.clear();
    t.style = plat::DialogStyle::kChild | plat::DialogStyle::kSizable | plat::DialogStyle::kHidden;
    return t;
}

} // namespace

extern "C" void QuillRES_DummyLoad() {}

extern "C" void PlatModuleInit(plat::ModuleResources& res)
{
    res.AddDialog(kQuillRESFindDlg, FindTemplate());
    res.AddDialog(kQuillRESDlgTemplate, MarkupDlgTemplate());
    res.AddDialog(kQuillRESDlgTemplateChild, MarkupDlgChildTemplate());
    res.AddCursor(kQuillRESCursorPoint, QuillRESPointCursor());
    res.AddCursor(kQuillRESCursorMove, QuillRESMoveCursor(QuillRESMoveKind::Move));
    res.AddCursor(kQuillRESCursorMovePlus, QuillRESMoveCursor(QuillRESMoveKind::MovePlus));
}
