// SPDX-License-Identifier: GPL-2.0-or-later
#include "menu/XMenuPopUpTracker.h"

#include "menu/XMenuPopUp.h"
#include "platform/Menu.h"

bool XMenuPopUpTracker::Track(XMenuPopUp& popUp, const XMenuPopUp_CMenu& menu,
                              plat::Point screenPos, plat::Window* owner)
{
    m_popUp = &popUp;
    const uint32_t id = plat::TrackPopupMenu(menu.BuildTree(), screenPos, owner);
    if (id == 0) {
        m_popUp = nullptr;
        return false;
    }
    // A menu shown from inside this one (by a timer, say) has cleared the field meanwhile.
    m_popUp = &popUp;
    // The command may destroy the popup menu and with it this tracker: nothing of either
    // is touched after it.
    return OnCommand(id);
}

bool XMenuPopUpTracker::OnCommand(uint32_t id)
{
    XMenuPopUp* popUp = m_popUp;
    m_popUp = nullptr;
    if (!popUp || id > uint32_t(INT32_MAX))
        return false;
    return popUp->OnMenuCommand(int32_t(id));
}
