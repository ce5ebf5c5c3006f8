// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/Geometry.h"

#include <cstdint>

namespace plat {
class Window;
}
class XMenuPopUp;
class XMenuPopUp_CMenu;

/// Tracks a popup menu for an XMenuPopUp and receives the chosen item as a command, as the
/// menu's owner window would: its command handler forwards the item identifier to the popup
/// menu before any default command handling. The platform's menu returns the choice to its
/// caller, so the tracker needs no native window of its own; it is created on the first
/// showing and lives as long as its popup menu.
class XMenuPopUpTracker
{
public:
    XMenuPopUpTracker() = default;
    XMenuPopUpTracker(const XMenuPopUpTracker&) = delete;
    XMenuPopUpTracker& operator=(const XMenuPopUpTracker&) = delete;
    virtual ~XMenuPopUpTracker() = default;

    /// Shows menu at a screen position over owner (may be null) and waits until it closes;
    /// a choice goes to OnCommand. Returns what OnCommand returned, false when nothing was
    /// chosen. The popup menu may be destroyed by its own command handling; the tracker is
    /// then destroyed with it and Track touches nothing of either after the command.
    bool Track(XMenuPopUp& popUp, const XMenuPopUp_CMenu& menu, plat::Point screenPos,
               plat::Window* owner);

    /// A command for the tracked menu: forwards the item identifier to the popup menu and
    /// returns whether it was handled. Without a tracked menu nothing happens (false).
    virtual bool OnCommand(uint32_t id);

    /// Whether a menu is being tracked now.
    bool IsTracking() const { return m_popUp != nullptr; }

private:
    XMenuPopUp* m_popUp = nullptr; ///< the popup menu being tracked (not owned)
};
