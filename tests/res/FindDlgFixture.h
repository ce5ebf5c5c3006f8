// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Shared by the find dialog tests: an owner window, and clicks on controls.

#include "platform/Application.h"
#include "platform/Dialog.h"
#include "platform/TestSupport.h"
#include "platform/Window.h"
#include "tests/GuiTest.h"

#include <gtest/gtest.h>

class FindDlgTest : public OwnerWindowTest
{
protected:
    FindDlgTest()
        : OwnerWindowTest("find owner", plat::Rect::FromXYWH(30, 30, 500, 300))
    {
    }

    /// Clicks the middle of a control as a user would.
    static void ClickControl(plat::Dialog& dlg, int id)
    {
        const plat::Rect r = dlg.GetControlRect(id);
        ASSERT_FALSE(r.IsEmpty()) << "no control " << id;
        plat::test::Click(dlg, {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        plat::test::ProcessUntilIdle();
    }
    /// Types into the drop-down box.
    static void TypeIntoBox(plat::Dialog& dlg, const char* text)
    {
        dlg.SetFocusControl(1001);
        plat::test::TypeText(dlg, text);
        plat::test::ProcessUntilIdle();
    }
    /// Opens the box's list with the keyboard and answers it with entry index.
    static void ChooseFromList(plat::Dialog& dlg, int index)
    {
        plat::test::SetModalHook([index](const plat::test::ModalRequest& r) {
            EXPECT_EQ(r.kind, plat::test::ModalKind::DropDownList);
            EXPECT_EQ(r.controlId, 1001);
            return plat::test::ModalAnswer{true, index, {}};
        });
        dlg.SetFocusControl(1001);
        plat::test::PressKey(dlg, plat::VK::kDown, plat::Keys::kAlt);
        plat::test::ProcessUntilIdle();
        plat::test::SetModalHook({});
    }
};
