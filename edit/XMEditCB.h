// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/NXGeom.h"
#include "base/ZStr.h"
#include "base/ZString.h"

#include <cstdint>
#include <string>
#include <vector>

class XMEdit;
struct XMEditCmdParms;
struct XMenuPopUpEntry;

/// What an editor tells its owner. Every operation does nothing or returns false here,
/// except BuildMenu and OnMenuCmd, which carry the editor's own behaviour; an owner
/// overrides what it needs and may call the base version for the default.
class XMEditCB
{
public:
    virtual ~XMEditCB() = default;

    /// A command is about to run (from a key, the menu or the owner). True when the owner
    /// handled it; the editor then does nothing.
    virtual bool OnCommand(XMEdit& edit, ZStr cmd, const XMEditCmdParms& parms);
    /// A key the editor has no command for (vk: virtual key, keys: Keys::* flags). True
    /// when the owner used it.
    virtual bool OnUnhandledKey(XMEdit& edit, uint32_t vk, uint32_t keys);
    /// The text changed (an edit, undo, redo or a replacement of the whole text).
    virtual void OnTextChanged(XMEdit& edit);
    /// The caret or the selection moved.
    virtual void OnSelChanged(XMEdit& edit);
    /// The view scrolled.
    virtual void OnScrolled(XMEdit& edit);
    /// The editor gained or lost the keyboard focus.
    virtual void OnFocus(XMEdit& edit, bool gained);
    /// The right button went down at pos (client coordinates), before the context menu
    /// opens.
    virtual void OnRButtonDown(XMEdit& edit, NXPoint pos);
    /// Writes the context menu as menu markup. The default writes the editor's two groups
    /// (cut, copy and paste; undo and redo) with a separator between them, and one before
    /// and after them when asked.
    virtual void BuildMenu(XMEdit& edit, ZString& markup, bool sepBefore, bool sepAfter);
    /// An entry of the context menu was chosen. The default runs its command by name.
    virtual bool OnMenuCmd(XMEdit& edit, const XMenuPopUpEntry& entry);
    /// A search reached the end (forward) or the start of the text and goes on from the
    /// other end.
    virtual void OnFindWrap(XMEdit& edit, bool forward);
    /// A search found nothing. True when the owner told the user; otherwise the editor
    /// shows its own message box.
    virtual bool OnFindFailed(XMEdit& edit, ZStr text);
    /// Files were dropped on the editor. True when the owner took them; otherwise the
    /// editor loads the first one.
    virtual bool OnDropFiles(XMEdit& edit, const std::vector<std::string>& paths);
    /// An editing command was refused because the editor is read-only.
    virtual void OnReadOnlyRefused(XMEdit& edit, ZStr cmd);

    /// The shared callback with the base behaviour.
    static XMEditCB& Default();
};
