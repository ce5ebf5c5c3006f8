// SPDX-License-Identifier: GPL-2.0-or-later
#include "GuiFixture.h"
#include "platform/Application.h"
#include "platform/Dialog.h"
#include "platform/FileDialog.h"
#include "platform/Image.h"
#include "platform/Menu.h"
#include "platform/MessageText.h"

using namespace plat;

namespace {

std::vector<MenuItem> SampleMenu()
{
    auto item = [](const char* text, uint32_t id, bool checked = false, bool disabled = false) {
        MenuItem m;
        m.text = text;
        m.id = id;
        m.checked = checked;
        m.disabled = disabled;
        return m;
    };
    MenuItem tools;
    tools.kind = MenuItem::Kind::Submenu;
    tools.text = "Tools";
    tools.children = {item("Cursor Values", 7, true)};
    MenuItem colour = item("Red", 8);
    colour.colorItem = true;
    colour.color = Rgb(255, 0, 0);
    colour.bgColor = Rgb(255, 255, 255);
    colour.lineWidth = 2;
    return {MenuItem::Separator(),
            item("Copy Img", 2),
            item("Copy XML", 3),
            item("Paste\tCtrl+V", 4, false, true),
            MenuItem::Separator(),
            tools,
            colour};
}

} // namespace

using MenuTest = GuiTest;

TEST_F(MenuTest, HookChoosesItemsAndDisabledOnesCannotBeChosen)
{
    std::vector<std::string> texts;
    std::vector<uint32_t> ids;
    uint32_t answer = 7;
    test::SetModalHook([&](const test::ModalRequest& r) {
        EXPECT_EQ(r.kind, test::ModalKind::PopupMenu);
        texts = r.items;
        ids = r.ids;
        return test::ModalAnswer{true, int(answer), {}};
    });
    EXPECT_EQ(TrackPopupMenu(SampleMenu(), {100, 100}), 7u); // inside the submenu
    EXPECT_EQ(texts, (std::vector<std::string>{"Copy Img", "Copy XML", "Paste\tCtrl+V",
                                               "Cursor Values", "Red"}));
    EXPECT_EQ(ids, (std::vector<uint32_t>{2, 3, 4, 7, 8}));
    answer = 4; // disabled
    EXPECT_EQ(TrackPopupMenu(SampleMenu(), {100, 100}), 0u);
    answer = 99; // no such item
    EXPECT_EQ(TrackPopupMenu(SampleMenu(), {100, 100}), 0u);
    answer = 0; // closed without a choice
    EXPECT_EQ(TrackPopupMenu(SampleMenu(), {100, 100}), 0u);
    EXPECT_EQ(TrackPopupMenu({}, {100, 100}), 0u);
}

TEST_F(MenuTest, RealMenuIsTrackedAndAnsweredByKeys)
{
    // Without a hook the toolkit's menu opens; keys pressed from a timer choose or close it.
    struct Keys : TimerCB
    {
        std::vector<uint32_t> keys;
        size_t next = 0;
        void OnTimer(uint32_t, uint32_t) override
        {
            if (next < keys.size())
                test::PressKeyInActiveWindow(keys[next++]);
        }
    } k;
    SetTimerCallback(&k);
    const uint32_t t = StartTimer(50);
    k.keys = {VK::kDown, VK::kReturn};
    EXPECT_EQ(TrackPopupMenu(SampleMenu(), {200, 200}), 2u);
    k.keys = {VK::kEscape};
    k.next = 0;
    EXPECT_EQ(TrackPopupMenu(SampleMenu(), {200, 200}), 0u);
    // An item of thousands of characters makes no menu wider than the screen.
    std::vector<MenuItem> wide = SampleMenu();
    wide[1].text = std::string(5000, 'W');
    Rect open;
    k.keys = {VK::kEscape};
    k.next = 0;
    struct Look : TimerCB
    {
        Rect* open;
        TimerCB* keys;
        void OnTimer(uint32_t id, uint32_t tick) override
        {
            *open = test::ActiveWindowRect();
            keys->OnTimer(id, tick);
        }
    } look;
    look.open = &open;
    look.keys = &k;
    SetTimerCallback(&look);
    EXPECT_EQ(TrackPopupMenu(wide, {0, 200}), 0u);
    EXPECT_GT(open.Width(), 100);
    EXPECT_LE(open.Width(), GetScreenWorkArea().Width());
    StopTimer(t);
    SetTimerCallback(nullptr);
}

using CommonDialogTest = GuiTest;

TEST_F(CommonDialogTest, SaveFileDialogIsAnsweredByTheHook)
{
    SaveFileRequest req;
    req.fileName = "chart.xch";
    req.filters = {{"XChart", "*.xch"}, {"All", "*.*"}};
    req.defaultExt = "xch";
    std::vector<std::string> filters;
    test::SetModalHook([&](const test::ModalRequest& r) {
        EXPECT_EQ(r.kind, test::ModalKind::FileDialog);
        EXPECT_EQ(r.text, "chart.xch");
        filters = r.items;
        return test::ModalAnswer{true, 1, "/tmp/out"};
    });
    std::string path;
    ASSERT_TRUE(SaveFileDialog(nullptr, req, path));
    EXPECT_EQ(path, "/tmp/out.xch");
    EXPECT_EQ(filters, (std::vector<std::string>{"XChart\t*.xch", "All\t*.*"}));
    test::SetModalHook([](const test::ModalRequest&) { return test::ModalAnswer{true, 0, ""}; });
    path = "unchanged";
    EXPECT_FALSE(SaveFileDialog(nullptr, req, path));
    EXPECT_EQ(path, "unchanged");
}

TEST_F(CommonDialogTest, MessageBoxReturnsTheButtonPressed)
{
    test::SetModalHook([](const test::ModalRequest& r) {
        EXPECT_EQ(r.title, "Find");
        EXPECT_EQ(r.text, "Can not find  'abc'");
        return test::ModalAnswer{true, kIdOk, {}};
    });
    EXPECT_EQ(ShowMessageBox(nullptr, "Can not find  'abc'", "Find"), kIdOk);

    // Not answered as a message box: the box itself is shown and driven like a dialog.
    int pressed = kIdNo;
    test::SetModalHook([&](const test::ModalRequest& r) {
        if (r.kind != test::ModalKind::Dialog)
            return test::ModalAnswer{};
        auto& d = *static_cast<Dialog*>(r.window);
        EXPECT_TRUE(d.HasControl(kIdYes));
        const Rect b = d.GetControlRect(pressed);
        test::Click(d, {b.left + 5, b.top + 5});
        return test::ModalAnswer{};
    });
    EXPECT_EQ(ShowMessageBox(nullptr, "Parameters changed.\nSave?", "Parameters Changed",
                             MessageBoxButtons::YesNoCancel),
              kIdNo);
    // Escape answers Cancel, or OK in a box that has only OK.
    test::SetModalHook([&](const test::ModalRequest& r) {
        if (r.kind == test::ModalKind::Dialog)
            test::PressKey(*r.window, VK::kEscape);
        return test::ModalAnswer{};
    });
    EXPECT_EQ(ShowMessageBox(nullptr, "a", "b", MessageBoxButtons::OkCancel), kIdCancel);
    EXPECT_EQ(ShowMessageBox(nullptr, "a", "b", MessageBoxButtons::Ok), kIdOk);
}

// A long line is wrapped to a readable width, a long word broken, a tall text cut with an
// ellipsis: the box and its buttons stay on the screen. No window grows past the X limit.
TEST_F(CommonDialogTest, LongMessagesFitTheScreen)
{
    const Rect screen = GetScreenWorkArea();
    ASSERT_FALSE(screen.IsEmpty());
    std::string words;
    while (words.size() < 4500)
        words += "resonator ";
    std::string tall;
    for (int i = 0; i < 2000; ++i)
        tall += "line " + std::to_string(i) + "\r\n";
    const std::string oneWord(4500, 'x');
    const std::string* const texts[] = {&words, &tall, &oneWord};
    for (const std::string* text : texts) {
        SCOPED_TRACE(text->substr(0, 12));
        Rect box, ok;
        test::SetModalHook([&](const test::ModalRequest& r) {
            if (r.kind != test::ModalKind::Dialog)
                return test::ModalAnswer{};
            auto& d = *static_cast<Dialog*>(r.window);
            box = d.GetWindowRect();
            const Rect b = d.GetControlRect(kIdOk);
            const Point tl = d.ClientToScreen(b.TopLeft());
            ok = b.Offset(tl.x - b.left, tl.y - b.top);
            return test::ModalAnswer{true, kIdOk, {}};
        });
        EXPECT_EQ(ShowMessageBox(nullptr, *text, "Long"), kIdOk);
        EXPECT_GE(box.left, screen.left);
        EXPECT_GE(box.top, screen.top);
        EXPECT_LE(box.right, screen.right);
        EXPECT_LE(box.bottom, screen.bottom);
        EXPECT_LE(box.Width(), screen.Width() * 2 / 3 + 60);
        EXPECT_GE(ok.left, box.left);
        EXPECT_LE(ok.bottom, box.bottom);
    }

    Recorder rec;
    Window wide{rec};
    ASSERT_TRUE(wide.CreateTopLevel("Wide", Rect::FromXYWH(0, 0, 40000, 100), 0));
    EXPECT_LE(wide.GetWindowRect().Width(), kMaxWindowExtent);
    wide.Move(Rect::FromXYWH(0, 0, 100, 50000));
    wide.Show(true);
    test::ProcessUntilIdle();
    EXPECT_LE(wide.GetWindowRect().Height(), kMaxWindowExtent);
}

TEST_F(CommonDialogTest, PopupWindowsShowAtScreenPositionsAndPaint)
{
    Recorder rec;
    Window tip(rec);
    ASSERT_TRUE(tip.CreatePopup(Rect::FromXYWH(300, 200, 120, 40), WindowStyle::kVisible));
    test::ProcessUntilIdle();
    EXPECT_TRUE(tip.IsVisible());
    EXPECT_EQ(tip.ClientToScreen({0, 0}), (Point{300, 200}));
    EXPECT_GT(rec.paints, 0);
    tip.Move(Rect::FromXYWH(320, 220, 200, 60));
    EXPECT_EQ(tip.GetClientRect(), (Rect{0, 0, 200, 60}));
    tip.Show(false);
    EXPECT_FALSE(tip.IsVisible());
}

TEST_F(CommonDialogTest, CursorsAreSetFromShapesAndImages)
{
    Recorder rec;
    rec.setCursor = true;
    Window w(rec);
    ASSERT_TRUE(
        w.CreateTopLevel("cursor", Rect::FromXYWH(10, 10, 100, 100), WindowStyle::kVisible));
    test::MouseMove(w, {10, 10});
    EXPECT_FALSE(rec.Of({Msg::SetCursor}).empty());
    CursorImage img;
    img.width = img.height = 16;
    img.rgba.assign(16 * 16 * 4, 200);
    img.hotSpot = {8, 8};
    w.SetCursor(Cursor::FromImage(img));
    w.SetClassCursor(Cursor::Standard(StdCursor::IBeam));
    CursorImage broken; // too little data: falls back to the shape
    broken.width = 16;
    broken.height = 16;
    w.SetCursor(Cursor::FromImage(broken));
    EXPECT_TRUE(test::ProcessUntilIdle());
}
