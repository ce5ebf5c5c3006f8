// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Dialog.h"

#include "GuiFixture.h"
#include "platform/Application.h"
#include "platform/Image.h"

#include <algorithm>
#include <string>

using namespace plat;

namespace {

enum Id {
    kEdit = 100,
    kReadOnly = 101,
    kSlider = 102,
    kCheck = 103,
    kDropList = 104,
    kDropEdit = 105,
    kList = 106,
    kMultiList = 107,
    kPicture = 108,
    kApply = 109,
};

DialogTemplate AllControls()
{
    DialogTemplate t;
    t.caption = "All controls";
    t.size = {260, 170};
    auto add = [&](ControlKind k, int id, const char* text, int x, int y, int w, int h,
                   uint32_t style = 0) {
        t.controls.push_back({k, id, text, Rect::FromXYWH(x, y, w, h), style});
    };
    add(ControlKind::Static, -1, "Elements", 5, 7, 30, 8);
    add(ControlKind::Edit, kEdit, "5", 40, 5, 40, 12);
    add(ControlKind::Edit, kReadOnly, "fixed", 90, 5, 40, 12, ControlStyle::kReadOnly);
    add(ControlKind::Slider, kSlider, "", 5, 22, 120, 15);
    add(ControlKind::CheckBox, kCheck, "Inch", 140, 22, 40, 10);
    add(ControlKind::DropDownList, kDropList, "", 5, 42, 80, 12);
    add(ControlKind::DropDownEdit, kDropEdit, "", 95, 42, 80, 12);
    add(ControlKind::ListBox, kList, "", 5, 60, 80, 50, ControlStyle::kVScroll);
    add(ControlKind::ListBox, kMultiList, "", 95, 60, 80, 50, ControlStyle::kExtendedSel);
    add(ControlKind::Picture, kPicture, "", 185, 60, 40, 30);
    add(ControlKind::Button, kApply, "Apply", 5, 150, 40, 14);
    add(ControlKind::DefButton, kIdOk, "OK", 150, 150, 40, 14);
    add(ControlKind::Button, kIdCancel, "Cancel", 200, 150, 40, 14);
    return t;
}

// Records notifications as (id, code) and lets a test react to them.
class DlgRec : public WindowCB
{
public:
    bool OnMessage(Window& wnd, const Message& m) override
    {
        if (m.kind == Msg::InitDialog)
            ++inits;
        if (m.kind == Msg::Command)
            cmds.push_back({int(m.id), m.code});
        if (m.kind == Msg::HScroll)
            scrolls.push_back(m);
        if (m.kind == Msg::Notify)
            notifies.push_back({int(m.id), m.code});
        if (onMessage)
            return onMessage(wnd, m);
        return false;
    }
    std::vector<uint32_t> CodesOf(int id) const
    {
        std::vector<uint32_t> out;
        for (auto& c : cmds)
            if (c.first == id)
                out.push_back(c.second);
        return out;
    }
    std::vector<std::pair<int, uint32_t>> cmds;
    std::vector<std::pair<int, uint32_t>> notifies;
    std::vector<Message> scrolls;
    int inits = 0;
    std::function<bool(Window&, const Message&)> onMessage;
};

class DialogTest : public GuiTest
{
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        ASSERT_TRUE(dlg.CreateModeless(AllControls(), nullptr));
        test::ProcessUntilIdle();
        rec.cmds.clear();
    }
    Point Center(int id) const
    {
        const Rect r = dlg.GetControlRect(id);
        return {r.left + r.Width() / 2, r.top + r.Height() / 2};
    }

    DlgRec rec;
    Dialog dlg{rec};
};

} // namespace

TEST_F(DialogTest, ControlsArePlacedByDialogUnitsOfTheTemplateFont)
{
    const Size b = dlg.GetBaseUnits();
    EXPECT_GE(b.cx, 4);
    EXPECT_GE(b.cy, 10);
    EXPECT_EQ(dlg.MapDialogRect(Rect::FromXYWH(4, 8, 40, 16)),
              Rect::FromXYWH(b.cx, b.cy, 10 * b.cx, 2 * b.cy));
    EXPECT_EQ(dlg.GetControlRect(kEdit), dlg.MapDialogRect(Rect::FromXYWH(40, 5, 40, 12)));
    EXPECT_EQ(dlg.GetClientRect(), dlg.MapDialogRect(Rect::FromXYWH(0, 0, 260, 170)));
    const std::vector<int> ids = dlg.GetControlIds();
    EXPECT_EQ(ids.size(), 13u);
    EXPECT_EQ(rec.inits, 1);
    EXPECT_EQ(dlg.GetText(kEdit), "5");
    EXPECT_EQ(dlg.GetText(kApply), "Apply");
    // The first control that can take the focus has it.
    EXPECT_EQ(dlg.GetFocusControl(), kEdit);
}

TEST_F(DialogTest, TypingInAnEditNotifiesAndKeepsTheFocusThere)
{
    test::Click(dlg, Center(kReadOnly));
    test::Click(dlg, Center(kEdit));
    EXPECT_EQ(dlg.GetFocusControl(), kEdit);
    rec.cmds.clear();
    test::PressKey(dlg, VK::kEnd);
    test::TypeText(dlg, "12");
    EXPECT_EQ(dlg.GetText(kEdit), "512");
    const auto codes = rec.CodesOf(kEdit);
    ASSERT_EQ(codes.size(), 4u);
    EXPECT_EQ(codes[0], Notify::kEnUpdate);
    EXPECT_EQ(codes[1], Notify::kEnChange);
    EXPECT_EQ(dlg.GetFocusControl(), kEdit);
    // Setting the text from code notifies as well; a read-only field cannot be typed into.
    rec.cmds.clear();
    dlg.SetText(kEdit, "7");
    EXPECT_EQ(rec.CodesOf(kEdit), (std::vector<uint32_t>{Notify::kEnUpdate, Notify::kEnChange}));
    dlg.SetFocusControl(kReadOnly);
    test::TypeText(dlg, "zz");
    EXPECT_EQ(dlg.GetText(kReadOnly), "fixed");
}

TEST_F(DialogTest, FocusNotificationsOfEdits)
{
    test::Click(dlg, Center(kReadOnly));
    rec.cmds.clear();
    test::Click(dlg, Center(kEdit));
    EXPECT_EQ(rec.CodesOf(kReadOnly), (std::vector<uint32_t>{Notify::kEnKillFocus}));
    EXPECT_EQ(rec.CodesOf(kEdit), (std::vector<uint32_t>{Notify::kEnSetFocus}));
}

TEST_F(DialogTest, TabMovesTheFocusOnWithFocusNotifications)
{
    dlg.SetFocusControl(kEdit);
    rec.cmds.clear();
    test::PressKey(dlg, VK::kTab);
    EXPECT_EQ(dlg.GetFocusControl(), kReadOnly);
    EXPECT_EQ(rec.CodesOf(kEdit), (std::vector<uint32_t>{Notify::kEnKillFocus}));
    EXPECT_EQ(rec.CodesOf(kReadOnly), (std::vector<uint32_t>{Notify::kEnSetFocus}));
    test::PressKey(dlg, VK::kTab);
    EXPECT_EQ(dlg.GetFocusControl(), kSlider);
    test::PressKey(dlg, VK::kTab, Keys::kShift);
    EXPECT_EQ(dlg.GetFocusControl(), kReadOnly);
}

TEST_F(DialogTest, SliderTakesTheFocusReportsMovesAndClampsPositions)
{
    dlg.SetSliderRange(kSlider, 2, 10);
    dlg.SetSliderPos(kSlider, 13);
    EXPECT_EQ(dlg.GetSliderPos(kSlider), 10);
    dlg.SetSliderPos(kSlider, -4);
    EXPECT_EQ(dlg.GetSliderPos(kSlider), 2);
    dlg.SetSliderPos(kSlider, 5);
    EXPECT_TRUE(rec.scrolls.empty()); // positions set by code are not reported

    test::Click(dlg, Center(kEdit));
    EXPECT_EQ(dlg.GetFocusControl(), kEdit);
    const Rect r = dlg.GetControlRect(kSlider);
    test::Drag(dlg, Center(kSlider), {r.right - 3, r.top + r.Height() / 2}, 6);
    // "Which control has the focus" tells a dragged slider from a typed field.
    EXPECT_EQ(dlg.GetFocusControl(), kSlider);
    EXPECT_EQ(dlg.GetSliderPos(kSlider), 10);
    ASSERT_GE(rec.scrolls.size(), 2u);
    EXPECT_EQ(rec.scrolls.front().id, uint32_t(kSlider));
    EXPECT_EQ(rec.scrolls.front().code, uint32_t(ScrollCode::ThumbTrack));
    EXPECT_EQ(rec.scrolls.back().code, uint32_t(ScrollCode::EndScroll));
    EXPECT_EQ(rec.scrolls.back().pos, 10);
    ASSERT_EQ(rec.notifies.size(), 1u);
    EXPECT_EQ(rec.notifies[0], std::make_pair(int(kSlider), Notify::kNmReleasedCapture));
    // Keys move it by one step.
    rec.scrolls.clear();
    test::PressKey(dlg, VK::kLeft);
    EXPECT_EQ(dlg.GetSliderPos(kSlider), 9);
    ASSERT_FALSE(rec.scrolls.empty());
    EXPECT_EQ(rec.scrolls[0].code, uint32_t(ScrollCode::LineUp));
    // Typing in a field moves the focus back.
    test::Click(dlg, Center(kEdit));
    EXPECT_EQ(dlg.GetFocusControl(), kEdit);
}

TEST_F(DialogTest, CheckBoxAndButtonsSendClicked)
{
    test::Click(dlg, Center(kCheck));
    EXPECT_EQ(dlg.GetCheck(kCheck), 1);
    test::Click(dlg, Center(kApply));
    EXPECT_EQ(rec.CodesOf(kCheck), (std::vector<uint32_t>{Notify::kBnClicked}));
    EXPECT_EQ(rec.CodesOf(kApply), (std::vector<uint32_t>{Notify::kBnClicked}));
    dlg.SetCheck(kCheck, 0);
    EXPECT_EQ(dlg.GetCheck(kCheck), 0);
    EXPECT_EQ(rec.CodesOf(kCheck).size(), 1u);
    // A disabled button sends nothing.
    dlg.EnableControl(kApply, false);
    EXPECT_FALSE(dlg.IsControlEnabled(kApply));
    test::Click(dlg, Center(kApply));
    EXPECT_EQ(rec.CodesOf(kApply).size(), 1u);
    // Labels keep '@' and '&' as written.
    dlg.SetText(kApply, "Save @ &Home");
    EXPECT_EQ(dlg.GetText(kApply), "Save @ &Home");
}

TEST_F(DialogTest, DropDownNotifiesBeforeOpeningAndAfterTheChoice)
{
    for (const char* s : {"alpha", "beta"})
        dlg.AddString(kDropList, s);
    // The list is refilled when it is about to drop down, as the configuration list is.
    rec.onMessage = [&](Window&, const Message& m) {
        if (m.kind == Msg::Command && m.id == kDropList && m.code == Notify::kCbnDropDown) {
            dlg.ResetContent(kDropList);
            for (const char* s : {"one", "two", "three"})
                dlg.AddString(kDropList, s);
        }
        return false;
    };
    std::vector<std::string> seen;
    test::SetModalHook([&](const test::ModalRequest& r) {
        EXPECT_EQ(r.kind, test::ModalKind::DropDownList);
        EXPECT_EQ(r.controlId, kDropList);
        seen = r.items;
        return test::ModalAnswer{true, 1, {}};
    });
    test::Click(dlg, Center(kDropList));
    EXPECT_EQ(seen, (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_EQ(
        rec.CodesOf(kDropList),
        (std::vector<uint32_t>{Notify::kCbnSetFocus, Notify::kCbnDropDown, Notify::kCbnSelEndOk,
                               Notify::kCbnCloseUp, Notify::kCbnSelChange}));
    EXPECT_EQ(dlg.GetCurSel(kDropList), 1);
    EXPECT_EQ(dlg.GetText(kDropList), "two");
    EXPECT_EQ(dlg.GetFocusControl(), kDropList);
    // Closing without a choice cancels and keeps the selection.
    rec.onMessage = nullptr;
    rec.cmds.clear();
    test::SetModalHook([](const test::ModalRequest&) { return test::ModalAnswer{true, -1, {}}; });
    test::Click(dlg, Center(kDropList));
    EXPECT_EQ(rec.CodesOf(kDropList),
              (std::vector<uint32_t>{Notify::kCbnDropDown, Notify::kCbnSelEndCancel,
                                     Notify::kCbnCloseUp}));
    EXPECT_EQ(dlg.GetCurSel(kDropList), 1);
    // Arrow keys change the selection of a closed list.
    rec.cmds.clear();
    test::PressKey(dlg, VK::kDown);
    EXPECT_EQ(dlg.GetCurSel(kDropList), 2);
    EXPECT_EQ(rec.CodesOf(kDropList), (std::vector<uint32_t>{Notify::kCbnSelChange}));
}

TEST_F(DialogTest, AChoiceFromAListRefilledWhileOpenCountsAsNone)
{
    // The toolkit's list opens (no hook); while it is open a timer refills the items, as a
    // recomputation may, and then Enter chooses the highlighted entry of the list as shown.
    for (const char* s : {"alpha", "beta"})
        dlg.AddString(kDropList, s);
    dlg.SetCurSel(kDropList, 1);
    constexpr uint32_t kRefill = 77;
    int refills = 0;
    rec.onMessage = [&](Window& w, const Message& m) {
        if (m.kind == Msg::Timer && m.id == kRefill) {
            w.KillTimer(kRefill);
            ++refills;
            dlg.ResetContent(kDropList);
            for (int i = 0; i < 40; ++i)
                dlg.AddString(kDropList, "item " + std::to_string(i));
            test::PressKeyInActiveWindow(VK::kReturn);
        }
        return false;
    };
    // The open list takes the focus for a while; only the list's own codes matter here.
    auto listCodes = [&] {
        std::vector<uint32_t> out;
        for (uint32_t c : rec.CodesOf(kDropList))
            if (c != Notify::kCbnSetFocus && c != Notify::kCbnKillFocus)
                out.push_back(c);
        return out;
    };
    ASSERT_TRUE(dlg.SetTimer(kRefill, 50));
    test::Click(dlg, Center(kDropList));
    EXPECT_EQ(refills, 1);
    EXPECT_EQ(listCodes(), (std::vector<uint32_t>{Notify::kCbnDropDown, Notify::kCbnSelEndCancel,
                                                  Notify::kCbnCloseUp}));
    EXPECT_EQ(dlg.GetCurSel(kDropList), -1);
    EXPECT_EQ(dlg.GetText(kDropList), "");
    EXPECT_EQ(dlg.GetCount(kDropList), 40);

    // The same list left alone: Down and Enter choose the entry after the selected one.
    rec.cmds.clear();
    dlg.SetCurSel(kDropList, 3);
    rec.onMessage = [&](Window& w, const Message& m) {
        if (m.kind == Msg::Timer && m.id == kRefill) {
            w.KillTimer(kRefill);
            test::PressKeyInActiveWindow(VK::kDown);
            test::PressKeyInActiveWindow(VK::kReturn);
        }
        return false;
    };
    ASSERT_TRUE(dlg.SetTimer(kRefill, 50));
    test::Click(dlg, Center(kDropList));
    EXPECT_EQ(dlg.GetCurSel(kDropList), 4);
    EXPECT_EQ(dlg.GetText(kDropList), "item 4");
    EXPECT_EQ(listCodes(), (std::vector<uint32_t>{Notify::kCbnDropDown, Notify::kCbnSelEndOk,
                                                  Notify::kCbnCloseUp, Notify::kCbnSelChange}));
}

// Filling a list costs time in proportion to its length: a hundred thousand items build their
// labels once. The long list opens on the screen, no higher than it, at the selected item.
TEST_F(DialogTest, LongDropDownListsFillOnceAndOpenOnTheScreen)
{
    const uint64_t before = test::DropDownLabelBuilds();
    for (int i = 0; i < 100000; ++i)
        dlg.AddString(kDropList, "entry " + std::to_string(i));
    dlg.SetCurSel(kDropList, 4999);
    test::ProcessUntilIdle();
    EXPECT_EQ(dlg.GetCount(kDropList), 100000);
    EXPECT_EQ(dlg.GetText(kDropList), "entry 4999");
    EXPECT_LE(test::DropDownLabelBuilds() - before, 2u);

    Rect list;
    constexpr uint32_t kLook = 78;
    rec.onMessage = [&](Window& w, const Message& m) {
        if (m.kind == Msg::Timer && m.id == kLook) {
            w.KillTimer(kLook);
            list = test::ActiveWindowRect();
            test::PressKeyInActiveWindow(VK::kDown);
            test::PressKeyInActiveWindow(VK::kReturn);
        }
        return false;
    };
    ASSERT_TRUE(dlg.SetTimer(kLook, 50));
    test::Click(dlg, Center(kDropList));
    const Rect screen = GetScreenWorkArea();
    EXPECT_GE(list.top, screen.top);
    EXPECT_LE(list.bottom, screen.bottom);
    EXPECT_GT(list.Height(), 10 * dlg.GetBaseUnits().cy);
    EXPECT_EQ(dlg.GetText(kDropList), "entry 5000");
}

TEST_F(DialogTest, EditableDropDownReportsTypingAndChoices)
{
    dlg.AddString(kDropEdit, "first");
    dlg.AddString(kDropEdit, "second");
    dlg.SetFocusControl(kDropEdit);
    rec.cmds.clear();
    test::TypeText(dlg, "ab");
    EXPECT_EQ(dlg.GetText(kDropEdit), "ab");
    EXPECT_EQ(rec.CodesOf(kDropEdit),
              (std::vector<uint32_t>{Notify::kCbnEditUpdate, Notify::kCbnEditChange,
                                     Notify::kCbnEditUpdate, Notify::kCbnEditChange}));
    test::SetModalHook([](const test::ModalRequest&) { return test::ModalAnswer{true, 1, {}}; });
    const Rect r = dlg.GetControlRect(kDropEdit);
    test::Click(dlg, {r.right - 3, r.top + r.Height() / 2}); // the arrow
    EXPECT_EQ(dlg.GetText(kDropEdit), "second");
    EXPECT_EQ(dlg.GetCurSel(kDropEdit), 1);
}

TEST_F(DialogTest, ListBoxesSelectSingleAndExtended)
{
    for (const char* s : {"a", "b", "c"}) {
        dlg.AddString(kList, s);
        dlg.AddString(kMultiList, s);
    }
    EXPECT_EQ(dlg.GetCount(kList), 3);
    EXPECT_EQ(dlg.GetItemText(kList, 2), "c");
    test::ProcessUntilIdle();
    const Rect r = dlg.GetControlRect(kList);
    test::Click(dlg, {r.left + 10, r.top + 6});
    EXPECT_EQ(dlg.GetCurSel(kList), 0);
    EXPECT_EQ(rec.CodesOf(kList),
              (std::vector<uint32_t>{Notify::kLbnSetFocus, Notify::kLbnSelChange}));
    test::PressKey(dlg, VK::kDown);
    EXPECT_EQ(dlg.GetCurSel(kList), 1);
    EXPECT_EQ(dlg.GetText(kList), "b");
    rec.cmds.clear();
    test::MouseDown(dlg, {r.left + 10, r.top + 6}, test::Button::Left, 0, true);
    test::MouseUp(dlg, {r.left + 10, r.top + 6});
    const auto codes = rec.CodesOf(kList);
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes.back(), Notify::kLbnDblClk);

    dlg.SetSel(kMultiList, 0, true);
    dlg.SetSel(kMultiList, 2, true);
    EXPECT_EQ(dlg.GetSelItems(kMultiList), (std::vector<int>{0, 2}));
    dlg.SetSel(kMultiList, -1, false);
    EXPECT_TRUE(dlg.GetSelItems(kMultiList).empty());
    dlg.ResetContent(kList);
    EXPECT_EQ(dlg.GetCount(kList), 0);
    EXPECT_EQ(dlg.GetCurSel(kList), -1);
}

TEST_F(DialogTest, EnterRunsTheDefaultCommandAndEscapeCancels)
{
    test::Click(dlg, Center(kEdit));
    rec.cmds.clear();
    test::PressKey(dlg, VK::kReturn);
    ASSERT_EQ(rec.cmds.size(), 1u);
    EXPECT_EQ(rec.cmds[0], std::make_pair(int(kIdOk), Notify::kBnClicked));
    test::PressKey(dlg, VK::kEscape);
    ASSERT_EQ(rec.cmds.size(), 2u);
    EXPECT_EQ(rec.cmds[1], std::make_pair(int(kIdCancel), Notify::kBnClicked));
    // Enter on a focused push button clicks that button.
    dlg.SetFocusControl(kApply);
    test::PressKey(dlg, VK::kReturn);
    EXPECT_EQ(rec.cmds.back(), std::make_pair(int(kApply), Notify::kBnClicked));
}

TEST_F(DialogTest, ControlsCanBeAddedMovedAndRemovedAtRunTime)
{
    ASSERT_TRUE(
        dlg.AddControl({ControlKind::Button, 2000, "Run", Rect::FromXYWH(300, 10, 60, 24)}));
    EXPECT_FALSE(dlg.AddControl({ControlKind::Button, 2000, "Twice", Rect::FromXYWH(0, 0, 9, 9)}));
    EXPECT_EQ(dlg.GetControlRect(2000), Rect::FromXYWH(300, 10, 60, 24));
    ASSERT_TRUE(dlg.MoveControl(2000, Rect::FromXYWH(310, 20, 50, 20)));
    EXPECT_EQ(dlg.GetControlRect(2000), Rect::FromXYWH(310, 20, 50, 20));
    // A control removed from inside its own notification.
    rec.onMessage = [&](Window&, const Message& m) {
        if (m.kind == Msg::Command && m.id == 2000)
            dlg.RemoveControl(2000);
        return true;
    };
    test::Click(dlg, {330, 30});
    EXPECT_FALSE(dlg.HasControl(2000));
    test::ProcessUntilIdle();
    test::Click(dlg, {330, 30});
    EXPECT_EQ(rec.CodesOf(2000).size(), 1u);
    // Child windows with ids take part in focus queries.
    Recorder childRec;
    Window child(childRec);
    ASSERT_TRUE(
        child.CreateChild(dlg, Rect::FromXYWH(400, 10, 50, 50), WindowStyle::kVisible, 1009));
    dlg.SetFocusControl(1009);
    EXPECT_TRUE(child.HasFocus());
    EXPECT_EQ(dlg.GetFocusControl(), 1009);
}

TEST_F(DialogTest, PictureShowsItsImageCentredInTheControl)
{
    const Rect r = dlg.GetControlRect(kPicture);
    ASSERT_GT(r.Width(), 24);
    ASSERT_GT(r.Height(), 24);
    const Point mid{r.left + r.Width() / 2, r.top + r.Height() / 2};
    ASSERT_TRUE(test::ProcessUntilIdle());
    const Image before = test::CaptureWindow(dlg);
    ASSERT_TRUE(before.IsValid());
    const ColorRef face = before.GetPixel(mid.x, mid.y);

    // Left half red, right half blue: the picture must be shown the right way round.
    Image img(20, 20);
    img.Context().FillRect({0, 0, 10, 20}, Rgb(255, 0, 0));
    img.Context().FillRect({10, 0, 20, 20}, Rgb(0, 0, 255));
    dlg.SetPicture(kPicture, img);
    ASSERT_TRUE(test::ProcessUntilIdle());
    const Image after = test::CaptureWindow(dlg);
    ASSERT_TRUE(after.IsValid());
    EXPECT_EQ(after.GetSize(), before.GetSize());
    EXPECT_EQ(after.GetPixel(mid.x - 5, mid.y), Rgb(255, 0, 0));
    EXPECT_EQ(after.GetPixel(mid.x + 5, mid.y - 8), Rgb(0, 0, 255));
    EXPECT_EQ(after.GetPixel(mid.x - 8, mid.y + 8), Rgb(255, 0, 0));
    // Outside the image, inside the control and beyond it, the dialog shows as before.
    for (const Point p :
         {Point{r.left + 1, r.top + 1}, Point{r.right - 2, r.bottom - 2}, Point{mid.x - 13, mid.y},
          Point{mid.x, mid.y + 13}, Point{r.right + 2, mid.y}}) {
        EXPECT_EQ(after.GetPixel(p.x, p.y), before.GetPixel(p.x, p.y)) << p.x << "," << p.y;
        EXPECT_EQ(after.GetPixel(p.x, p.y), face) << p.x << "," << p.y;
    }
    // A hidden window cannot be read back.
    dlg.Show(false);
    EXPECT_FALSE(test::CaptureWindow(dlg).IsValid());
}

TEST(ModalDialogTest, HookAnswersAModalDialogAfterItIsInitialised)
{
    ASSERT_TRUE(InitDisplay());
    DlgRec rec;
    Dialog dlg(rec);
    rec.onMessage = [&](Window& w, const Message& m) {
        if (m.kind == Msg::InitDialog)
            static_cast<Dialog&>(w).SetText(kEdit, "from init");
        return false;
    };
    std::string textSeen;
    test::SetModalHook([&](const test::ModalRequest& r) {
        EXPECT_EQ(r.kind, test::ModalKind::Dialog);
        EXPECT_EQ(r.title, "All controls");
        auto& d = *static_cast<Dialog*>(r.window);
        textSeen = d.GetText(kEdit);
        d.SetFocusControl(kEdit);
        test::TypeText(d, "!");
        test::PressKey(d, VK::kReturn); // OK, unhandled by the callback, ends the dialog
        return test::ModalAnswer{};
    });
    EXPECT_EQ(dlg.DoModal(AllControls()), kIdOk);
    EXPECT_EQ(textSeen, "from init");
    EXPECT_FALSE(dlg.IsCreated());
    EXPECT_EQ(rec.CodesOf(kIdOk), (std::vector<uint32_t>{Notify::kBnClicked}));

    // Escape cancels; an answered hook ends with its code; the dialog can run again.
    test::SetModalHook([&](const test::ModalRequest& r) {
        test::PressKey(*r.window, VK::kEscape);
        return test::ModalAnswer{};
    });
    EXPECT_EQ(dlg.DoModal(AllControls()), kIdCancel);
    test::SetModalHook([](const test::ModalRequest&) { return test::ModalAnswer{true, 42, {}}; });
    EXPECT_EQ(dlg.DoModal(AllControls()), 42);

    // A dialog that handles OK itself decides when to end.
    int okClicks = 0;
    rec.onMessage = [&](Window& w, const Message& m) {
        if (m.kind == Msg::Command && m.id == kIdOk && ++okClicks == 2)
            static_cast<Dialog&>(w).EndDialog(7);
        return m.kind == Msg::Command && m.id == kIdOk;
    };
    test::SetModalHook([&](const test::ModalRequest& r) {
        test::PressKey(*r.window, VK::kReturn);
        EXPECT_TRUE(r.window->IsVisible());
        test::PressKey(*r.window, VK::kReturn);
        return test::ModalAnswer{};
    });
    EXPECT_EQ(dlg.DoModal(AllControls()), 7);
    test::SetModalHook({});
}

TEST(ModalDialogTest, NestedModalDialogsAreAnsweredInTurn)
{
    ASSERT_TRUE(InitDisplay());
    DlgRec outerRec, innerRec;
    Dialog outer(outerRec), inner(innerRec);
    int innerResult = 0;
    std::vector<std::string> order;
    test::SetModalHook([&](const test::ModalRequest& r) {
        order.push_back(r.window == &outer ? "outer" : "inner");
        if (r.window == &outer) {
            innerResult = inner.DoModal(AllControls(), &outer);
            return test::ModalAnswer{true, 3, {}};
        }
        return test::ModalAnswer{true, 4, {}};
    });
    EXPECT_EQ(outer.DoModal(AllControls()), 3);
    EXPECT_EQ(innerResult, 4);
    EXPECT_EQ(order, (std::vector<std::string>{"outer", "inner"}));
    test::SetModalHook({});
}

TEST(DialogScrollTest, DialogsCanScrollTheirOwnClientArea)
{
    ASSERT_TRUE(InitDisplay());
    DlgRec rec;
    Dialog dlg(rec);
    DialogTemplate t = AllControls();
    t.style = DialogStyle::kVScroll | DialogStyle::kSizable;
    ASSERT_TRUE(dlg.CreateModeless(t, nullptr));
    const int width = dlg.GetClientRect().Width();
    dlg.ShowScrollBar(ScrollBar::Vertical, true);
    EXPECT_LT(dlg.GetClientRect().Width(), width);
    dlg.SetScrollInfo(ScrollBar::Vertical, {0, 999, 100, 0, 0});
    test::ProcessUntilIdle();
    std::vector<Message> v;
    rec.onMessage = [&](Window&, const Message& m) {
        if (m.kind == Msg::VScroll)
            v.push_back(m);
        return false;
    };
    const Rect c = dlg.GetClientRect();
    test::Click(dlg, {c.right + 4, c.bottom - 30}); // the trough below the thumb
    ASSERT_FALSE(v.empty());
    EXPECT_EQ(v[0].code, uint32_t(ScrollCode::PageDown));
    EXPECT_EQ(v[0].id, 0u); // the dialog's own bar, not a control
    // Resizing reports the new client size.
    Image icon(16, 16);
    icon.Context().FillRect({0, 0, 16, 16}, Rgb(0, 128, 255));
    dlg.SetIcon(icon);
    rec.onMessage = nullptr;
    const Rect wr = dlg.GetWindowRect();
    dlg.Move(Rect::FromXYWH(wr.left, wr.top, wr.Width() + 40, wr.Height()));
    EXPECT_EQ(dlg.GetClientRect().Width(), c.Width() + 40);
}
