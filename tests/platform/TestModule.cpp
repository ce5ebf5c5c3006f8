// SPDX-License-Identifier: GPL-2.0-or-later
// A module for the module tests: exports resources the way the resource library does.
#include "platform/Module.h"

extern "C" void PlatModuleInit(plat::ModuleResources& res)
{
    plat::DialogTemplate t;
    t.caption = "Find";
    t.size = {196, 23};
    t.controls.push_back(
        {plat::ControlKind::Static, -1, "Find", plat::Rect::FromXYWH(3, 3, 14, 8)});
    t.controls.push_back(
        {plat::ControlKind::DefButton, 1003, "Next", plat::Rect::FromXYWH(147, 2, 20, 11)});
    res.AddDialog("IDD_TEST_FIND", t);
    plat::CursorImage c;
    c.width = 32;
    c.height = 32;
    c.rgba.assign(32 * 32 * 4, 255);
    c.hotSpot = {12, 0};
    res.AddCursor("IDC_TEST_POINT", c);
}

extern "C" int PlatTestModuleAnswer()
{
    return 42;
}
