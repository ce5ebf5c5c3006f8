// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Module.h"

#include "platform/Application.h"
#include "platform/Clipboard.h"
#include "platform/Dialog.h"
#include "platform/FileDialog.h"
#include "platform/Menu.h"
#include "platform/TestSupport.h"
#include "platform/Window.h"

#include <cstdlib>
#include <gtest/gtest.h>

using namespace plat;

TEST(ModuleTest, LoadsByModuleNameAndFindsResources)
{
    EXPECT_EQ(Module::FileNameOf("QuillRES.dll"), "libQuillRES.so");
    EXPECT_EQ(Module::FileNameOf("libQuillRES.so"), "libQuillRES.so");
    EXPECT_EQ(Module::FileNameOf("QuillRES"), "libQuillRES.so");

    std::string error;
    Module* m = Module::Load("PlatTestRes.dll", &error);
    ASSERT_NE(m, nullptr) << error;
    EXPECT_EQ(Module::Load("PlatTestRes"), m); // loaded once
    EXPECT_EQ(Module::Find("libPlatTestRes.so"), m);
    EXPECT_EQ(m->GetPath(), GetExecutableDir() + "/libPlatTestRes.so");

    const DialogTemplate* t = m->FindDialog("IDD_TEST_FIND");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->caption, "Find");
    ASSERT_EQ(t->controls.size(), 2u);
    EXPECT_EQ(t->controls[1].id, 1003);
    EXPECT_EQ(m->FindDialog("IDD_NONE"), nullptr);
    const CursorImage* c = m->FindCursor("IDC_TEST_POINT");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->hotSpot, (Point{12, 0}));
    EXPECT_EQ(c->rgba.size(), 32u * 32u * 4u);

    auto answer = reinterpret_cast<int (*)()>(m->GetSymbol("PlatTestModuleAnswer"));
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(), 42);
    EXPECT_EQ(m->GetSymbol("NoSuchSymbol"), nullptr);

    // An installed tree keeps modules in lib/ beside bin/; a module beside the executable
    // (above, though a copy of it lies in lib/ too) comes first.
    const std::string exeDir = GetExecutableDir();
    const std::string libDir = exeDir.substr(0, exeDir.rfind('/')) + "/lib";
    Module* installed = Module::Load("PlatTestLibDir", &error);
    ASSERT_NE(installed, nullptr) << error;
    EXPECT_EQ(installed->GetPath(), libDir + "/libPlatTestLibDir.so");
    EXPECT_NE(installed->FindDialog("IDD_TEST_FIND"), nullptr);
    EXPECT_EQ(installed->GetResources().cursors.size(), 1u);
}

TEST(ModuleTest, MissingModulesAreReportedNotFatal)
{
    std::string error;
    EXPECT_EQ(Module::Load("NoSuchModule123.dll", &error), nullptr);
    EXPECT_NE(error.find("libNoSuchModule123.so"), std::string::npos);
    EXPECT_EQ(Module::Load(""), nullptr);
    EXPECT_EQ(Module::Find("NoSuchModule123"), nullptr);
}

// Everything that needs a display reports failure instead of ending the process, so the
// command-line front end can link this library and run without an X server.
TEST(NoDisplayTest, DisplayFunctionsFailGracefullyAndTimersStillRun)
{
    unsetenv("DISPLAY");
    EXPECT_FALSE(InitDisplay());
    EXPECT_FALSE(HasDisplay());
    Window w;
    EXPECT_FALSE(w.CreateTopLevel("x", Rect::FromXYWH(0, 0, 10, 10), WindowStyle::kVisible));
    EXPECT_FALSE(w.CreatePopup(Rect::FromXYWH(0, 0, 10, 10), 0));
    Dialog d;
    DialogTemplate t;
    t.size = {50, 50};
    EXPECT_EQ(d.DoModal(t), -1);
    EXPECT_FALSE(d.CreateModeless(t, nullptr));
    std::string text = "x";
    EXPECT_FALSE(SetClipboardText("a"));
    EXPECT_FALSE(GetClipboardText(text));
    EXPECT_TRUE(text.empty());
    EXPECT_FALSE(HasClipboardText());
    MenuItem item;
    item.text = "One";
    item.id = 5;
    EXPECT_EQ(TrackPopupMenu({item}, {10, 10}), 0u);
    EXPECT_EQ(ShowMessageBox(nullptr, "text", "caption"), 0);
    std::string path;
    EXPECT_FALSE(SaveFileDialog(nullptr, SaveFileRequest{}, path));
    EXPECT_TRUE(test::ProcessUntilIdle(200));

    struct CB : TimerCB
    {
        int fired = 0;
        void OnTimer(uint32_t, uint32_t) override { ++fired; }
    } cb;
    SetTimerCallback(&cb);
    const uint32_t id = StartTimer(10);
    EXPECT_TRUE(test::RunUntil([&] { return cb.fired >= 2; }, 2000));
    StopTimer(id);
    SetTimerCallback(nullptr);
    EXPECT_EQ(RunLoop(), 0); // nothing to wait for: returns at once
}
