// SPDX-License-Identifier: GPL-2.0-or-later
#include "menu/XMenuPopUpCB.h"

namespace {

bool HasOption(const ZString& options, char letter)
{
    return options.Str().FindChar(letter) >= 0;
}

} // namespace

bool XMenuPopUpEntry::IsChecked() const
{
    return HasOption(options, 'C');
}

bool XMenuPopUpEntry::IsDisabled() const
{
    return HasOption(options, 'D');
}

bool XMenuPopUpEntry::IsGrayed() const
{
    return HasOption(options, 'G');
}

bool XMenuPopUpCB::OnMenuCmd(XMenuPopUp&, const XMenuPopUpEntry&, ZStr, ZStr, ZStr, int32_t)
{
    return false;
}

XMenuPopUpCB& XMenuPopUpCB::Default()
{
    static XMenuPopUpCB s_default;
    return s_default;
}
