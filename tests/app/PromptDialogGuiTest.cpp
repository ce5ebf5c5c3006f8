// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/gui/PromptDialog.h"
#include "platform/Application.h"
#include "platform/Messages.h"
#include "platform/TestSupport.h"
#include "tests/TestSupport.h"
#include "tests/platform/GuiFixture.h"
#include "tests/xmldlg/XmlDlgTestSupport.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace {

using plat::test::ModalAnswer;
using plat::test::ModalKind;
using plat::test::ModalRequest;

class PromptDialogGuiTest : public GuiTest
{
protected:
    // Runs the prompt; body acts on its dialog from the modal hook, as a person would, and
    // is told the dialog's caption.
    static bool Run(PromptDialog& prompt,
                    const std::function<void(TXMLDlg&, const std::string&)>& body)
    {
        plat::test::SetModalHook([&](const ModalRequest& req) {
            TXMLDlg* dlg = prompt.GetDialog();
            if (req.kind == ModalKind::Dialog && dlg && req.window == dlg) {
                plat::test::ProcessUntilIdle();
                body(*dlg, req.title);
            }
            return ModalAnswer{};
        });
        return prompt.Run();
    }
};

TEST_F(PromptDialogGuiTest, TypedTextComesBackOnlyWhenConfirmed)
{
    // Each way of ending the prompt, with the text typed into it before.
    struct Case
    {
        const char* how;
        std::function<void(TXMLDlg&)> end;
        bool confirmed;
    };
    const Case cases[] = {
        {"OK button", [](TXMLDlg& d) { ClickCtrl(d, "OK"); }, true},
        {"Enter", [](TXMLDlg& d) { plat::test::PressKey(d, plat::VK::kReturn); }, true},
        {"Cancel button", [](TXMLDlg& d) { ClickCtrl(d, "Cancel"); }, false},
        {"Escape", [](TXMLDlg& d) { plat::test::PressKey(d, plat::VK::kEscape); }, false},
    };
    for (const Case& c : cases) {
        TextPrompt prompt("new name", "New Configuration Name", "Enter Name of New Configuration");
        bool shown = false;
        const bool result = Run(prompt, [&](TXMLDlg& d, const std::string& title) {
            shown = true;
            EXPECT_EQ(title, "New Configuration Name") << c.how;
            const TXMLCtrl* edit = d.FindCtrl("edit");
            ASSERT_NE(edit, nullptr);
            EXPECT_EQ(d.GetText(edit->id), "new name") << c.how;
            // The field is twenty characters wide and one line high in the dialog's font.
            const TXMLNode* field = ItemAt(d, {2, 0});
            TXMLDlgStyle style;
            NXRect r;
            ASSERT_TRUE(d.GetItemStyle(field, style) && d.GetItemRect(field, r));
            const plat::Size q = Extent(style.font, "Q");
            EXPECT_GE(r.width, 20 * q.cx) << c.how;
            EXPECT_LT(r.height, 2 * q.cy) << c.how;

            // The proposed name opens selected: typing replaces it.
            plat::test::TypeText(d, "  Filter 7 ");
            plat::test::ProcessUntilIdle();
            EXPECT_EQ(d.GetText(edit->id), "  Filter 7 ") << c.how;
            c.end(d);
        });
        EXPECT_TRUE(shown) << c.how;
        EXPECT_EQ(result, c.confirmed) << c.how;
        EXPECT_EQ(S(prompt.text.Str()), c.confirmed ? "  Filter 7 " : "new name") << c.how;
        EXPECT_EQ(prompt.GetDialog(), nullptr) << c.how;
    }
}

TEST_F(PromptDialogGuiTest, OptionalTextsAreShownAsWritten)
{
    // Texts with markup characters and percent signs appear literally, each laid out at the
    // width of exactly its own text.
    TextPrompt prompt("5", "Rods", "Number of 'rods' <3..12>", "n =", "100% copper", "& more");
    Run(prompt, [&](TXMLDlg& d, const std::string&) {
        TXMLDlgStyle style;
        ASSERT_TRUE(d.GetItemStyle(ItemAt(d, {0}), style));
        const char* const texts[] = {"Number of 'rods' <3..12>", "n =", "100% copper", "& more"};
        const TXMLNode* const nodes[] = {ItemAt(d, {0}), ItemAt(d, {2, 0}), ItemAt(d, {2, 4}),
                                         ItemAt(d, {4})};
        for (int i = 0; i < 4; ++i) {
            NXRect r;
            ASSERT_TRUE(d.GetItemRect(nodes[i], r)) << texts[i];
            EXPECT_EQ(int(r.width), Extent(style.font, texts[i]).cx) << texts[i];
        }
        ClickCtrl(d, "Cancel");
    });
}

} // namespace
