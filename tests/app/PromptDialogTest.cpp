// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/gui/PromptDialog.h"

#include "tests/TestSupport.h"

#include <gtest/gtest.h>
#include <string>

namespace {

// The pieces every prompt has, as the dialog engine receives them.
const std::string kOpen = "<DLG name=adlg margin='10x10' fontSize=87 xfont='MS Shell Dlg' "
                          "title='%Caption%' xbgColor=skyblue color=black vAlign=bottom "
                          "xalign=center >";
const std::string kField = "<INPUT name='edit'     type='EDIT'  sizeChars='%FieldSize%'  "
                           "text='%Text%' cmd='editField'/>";
const std::string kButtons =
    "<SPSEP n=2/><HALIGN align=right>"
    "<INPUT name='OK'      type='BUTTON'\ttext=OK\t    sizeChars='4x1'\tcmd='@EndDlgOK'/>"
    "<INPUT name='Cancel'  type='BUTTON'\ttext=Cancel\t\tcmd='@EndDlgCancel'/>"
    "</HALIGN></DLG>";

TEST(PromptDialogTest, MarkupHasAnElementForEachGivenTextOnly)
{
    struct Case
    {
        const char* what;
        TextPrompt prompt;
        std::string expected;
    };
    Case cases[] = {
        {"no optional texts", TextPrompt("new name", "New Configuration Name", ""),
         kOpen + "<HALIGN align=left>" + kField + "</HALIGN>" + kButtons},
        {"header only (the calculator's prompt)",
         TextPrompt("new name", "New Configuration Name", "Enter Name of New Configuration"),
         kOpen + "<TEXT name=nix text='%Header%' /><SPSEP />" + "<HALIGN align=left>" + kField +
             "</HALIGN>" + kButtons},
        {"every text", TextPrompt("10", "Caption", "Header", "Prefix", "Suffix", "Footer"),
         kOpen + "<TEXT name=nix text='%Header%' /><SPSEP />" +
             "<HALIGN align=left><TEXT text='%Prefix%' /><SPSEP />" + kField +
             "<SPSEP /><TEXT text='%Suffix%' /></HALIGN>" + "<SPSEP /><TEXT text='%Footer%' />" +
             kButtons},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(S(c.prompt.BuildMarkup().Str()), c.expected) << c.what;
    }
}

} // namespace
