// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Clipboard.h"

#include "GuiFixture.h"
#include "platform/Dialog.h"
#include "platform/Image.h"
#include "platform/Messages.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace plat;

namespace {

// Runs a program with `input` on its standard input and returns its standard output, while
// this process keeps handling its messages (it may be the clipboard owner the program asks).
bool RunProgram(const std::vector<std::string>& args, const std::string& input, std::string& out)
{
    int in[2], outp[2];
    if (pipe(in) != 0 || pipe(outp) != 0)
        return false;
    const pid_t pid = fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        dup2(in[0], 0);
        dup2(outp[1], 1);
        close(in[1]);
        close(outp[0]);
        std::vector<char*> argv;
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(in[0]);
    close(outp[1]);
    if (!input.empty() && write(in[1], input.data(), input.size()) < 0)
        return false;
    close(in[1]);
    fcntl(outp[0], F_SETFL, O_NONBLOCK);
    int status = 0;
    bool exited = false;
    auto drain = [&] {
        char buf[4096];
        ssize_t n;
        while ((n = read(outp[0], buf, sizeof buf)) > 0)
            out.append(buf, size_t(n));
    };
    test::RunUntil(
        [&] {
            drain();
            if (!exited && waitpid(pid, &status, WNOHANG) == pid)
                exited = true;
            return exited;
        },
        5000);
    drain();
    close(outp[0]);
    if (!exited) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool HaveXclip()
{
    std::string out;
    return RunProgram({"xclip", "-version"}, "", out) || system("command -v xclip >/dev/null") == 0;
}

} // namespace

using ClipboardTest = GuiTest;

TEST_F(ClipboardTest, TextRoundTripWithoutAnyWindowShown)
{
    ASSERT_TRUE(SetClipboardText("Line 1\r\nLine 2\tTab"));
    std::string text;
    ASSERT_TRUE(GetClipboardText(text));
    EXPECT_EQ(text, "Line 1\r\nLine 2\tTab");
    EXPECT_TRUE(HasClipboardText());
}

TEST_F(ClipboardTest, TextGoesToAndComesFromOtherPrograms)
{
    if (!HaveXclip())
        GTEST_SKIP() << "xclip is not installed";
    // Ours to xclip.
    ASSERT_TRUE(SetClipboardText("report \xc3\xa4 text"));
    std::string out;
    ASSERT_TRUE(RunProgram({"xclip", "-selection", "clipboard", "-o"}, "", out));
    EXPECT_EQ(out, "report \xc3\xa4 text");
    // xclip's to us (it stays in the background as the owner until we take it back).
    // Its background part takes the clipboard a moment after the command returns.
    ASSERT_TRUE(RunProgram({"xclip", "-selection", "clipboard", "-i"}, "from xclip \xc3\xb6", out));
    std::string text;
    EXPECT_TRUE(test::RunUntil(
        [&] { return GetClipboardText(text) && text == "from xclip \xc3\xb6"; }, 3000))
        << text;
    // A large text arrives in pieces (the incremental protocol).
    std::string big;
    for (int i = 0; i < 20000; ++i)
        big += "line " + std::to_string(i) + "\n";
    ASSERT_TRUE(RunProgram({"xclip", "-selection", "clipboard", "-i"}, big, out));
    EXPECT_TRUE(test::RunUntil([&] { return GetClipboardText(text) && text.size() > 100; }, 3000));
    EXPECT_EQ(text.size(), big.size());
    EXPECT_TRUE(text == big);
    ASSERT_TRUE(SetClipboardText("done")); // takes the clipboard back; xclip ends
}

TEST_F(ClipboardTest, ImagesAreOfferedAsBitmaps)
{
    Image img(8, 4);
    img.Context().FillRect({0, 0, 8, 4}, Rgb(255, 0, 0));
    ASSERT_TRUE(SetClipboardImage(img));
    std::string text;
    EXPECT_FALSE(GetClipboardText(text)); // the clipboard now holds no text
    if (!HaveXclip())
        GTEST_SKIP() << "xclip is not installed";
    std::string out;
    ASSERT_TRUE(RunProgram({"xclip", "-selection", "clipboard", "-t", "image/bmp", "-o"}, "", out));
    ASSERT_GT(out.size(), 54u);
    EXPECT_EQ(out.substr(0, 2), "BM");
}

// Any amount of text pasted into a one-line field, from another program or from this one,
// ends as at most kEditMaxBytes bytes, cut between characters; the middle button pastes the
// primary selection.
TEST_F(ClipboardTest, PastesIntoOneLineFieldsAreCutToTheirLimit)
{
    if (!HaveXclip())
        GTEST_SKIP() << "xclip is not installed";
    enum { kEdit = 100, kDropEdit = 101 };
    DialogTemplate t;
    t.caption = "Paste";
    t.size = {200, 60};
    t.controls.push_back({ControlKind::Edit, kEdit, "", Rect::FromXYWH(5, 5, 150, 12), 0});
    t.controls.push_back(
        {ControlKind::DropDownEdit, kDropEdit, "", Rect::FromXYWH(5, 25, 150, 12), 0});
    Recorder rec;
    Dialog dlg(rec);
    ASSERT_TRUE(dlg.CreateModeless(t, nullptr));
    test::ProcessUntilIdle();
    auto pasteInto = [&](int id) {
        const Rect r = dlg.GetControlRect(id);
        test::Click(dlg, {r.left + 5, r.top + r.Height() / 2});
        test::PressKey(dlg, 'A', Keys::kControl);
        test::PressKey(dlg, 'V', Keys::kControl);
        test::ProcessUntilIdle();
        return dlg.GetText(id);
    };
    std::string out;
    std::string text;
    // One mebibyte from another program arrives in pieces.
    const std::string big(1 << 20, '7');
    ASSERT_TRUE(RunProgram({"xclip", "-selection", "clipboard", "-i"}, big, out));
    ASSERT_TRUE(test::RunUntil([&] { return GetClipboardText(text) && text == big; }, 3000));
    for (const int id : {int(kEdit), int(kDropEdit)}) {
        const std::string pasted = pasteInto(id);
        EXPECT_EQ(pasted.size(), size_t(kEditMaxBytes)) << id;
        EXPECT_TRUE(pasted == big.substr(0, pasted.size())) << id;
    }

    // Three-byte characters of our own clipboard, after text already there, with Shift+Insert.
    std::string euros;
    for (int i = 0; i < 20000; ++i)
        euros += "\xE2\x82\xAC";
    ASSERT_TRUE(SetClipboardText(euros));
    dlg.SetText(kEdit, "ab");
    dlg.SetFocusControl(kEdit);
    test::PressKey(dlg, VK::kEnd);
    test::PressKey(dlg, VK::kInsert, Keys::kShift);
    test::ProcessUntilIdle();
    const std::string got = dlg.GetText(kEdit);
    EXPECT_EQ(got.size(), size_t(2 + (kEditMaxBytes - 2) / 3 * 3));
    EXPECT_EQ(got.substr(0, 5), "ab\xE2\x82\xAC");
    EXPECT_EQ(got.substr(got.size() - 3), "\xE2\x82\xAC");

    // The middle button pastes what is selected elsewhere, where it is released.
    ASSERT_TRUE(RunProgram({"xclip", "-selection", "primary", "-i"}, "mid", out));
    dlg.SetText(kEdit, "");
    const Rect r = dlg.GetControlRect(kEdit);
    const Point at{r.left + 5, r.top + r.Height() / 2};
    EXPECT_TRUE(test::RunUntil(
        [&] {
            test::MouseDown(dlg, at, test::Button::Middle);
            test::MouseUp(dlg, at, test::Button::Middle);
            return dlg.GetText(kEdit) == "mid";
        },
        3000))
        << dlg.GetText(kEdit);
    // Text selected with the mouse takes the primary selection back, and xclip ends.
    test::Drag(dlg, {r.left + 2, at.y}, {r.right - 2, at.y});
    test::ProcessUntilIdle();
    ASSERT_TRUE(SetClipboardText("done"));
}
