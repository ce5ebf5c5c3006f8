// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Shared by the GUI tests of every library: the display, and a top-level window to own what a
// test shows.

#include "platform/Application.h"
#include "platform/Geometry.h"
#include "platform/TestSupport.h"
#include "platform/Window.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>

/// A test that needs the display. Afterwards it drops the modal hook the test may have set and
/// lets the pending events run out, so that nothing of one test reaches the next.
class GuiTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(plat::InitDisplay()) << "GUI tests need a display (run under xvfb-run)";
    }
    void TearDown() override
    {
        plat::test::SetModalHook({});
        plat::test::ProcessUntilIdle(500);
    }
};

/// A GUI test with a visible top-level window, m_owner, titled and placed as the test says
/// (screen pixels), that owns the windows, menus and dialogs under test.
class OwnerWindowTest : public GuiTest
{
protected:
    OwnerWindowTest(std::string title, const plat::Rect& area)
        : m_title(std::move(title))
        , m_area(area)
    {
    }
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(GuiTest::SetUp());
        ASSERT_TRUE(m_owner.CreateTopLevel(m_title, m_area, plat::WindowStyle::kVisible));
        plat::test::ProcessUntilIdle();
    }

    plat::Window m_owner;

private:
    std::string m_title;
    plat::Rect m_area;
};
