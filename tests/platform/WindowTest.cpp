// SPDX-License-Identifier: GPL-2.0-or-later
#include "GuiFixture.h"

#include <algorithm>

using namespace plat;

namespace {

class WindowTest : public GuiTest
{
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        ASSERT_TRUE(top.CreateTopLevel("Window test", Rect::FromXYWH(50, 60, 400, 300),
                                       WindowStyle::kVisible));
        ASSERT_TRUE(
            a.CreateChild(top, Rect::FromXYWH(10, 10, 150, 100), WindowStyle::kVisible, 11));
        ASSERT_TRUE(b.CreateChild(
            top, Rect::FromXYWH(200, 10, 150, 100),
            WindowStyle::kVisible | WindowStyle::kVScroll | WindowStyle::kAcceptFiles, 12));
        test::ProcessUntilIdle();
        rec.Clear();
    }

    Recorder rec;
    Recorder topRec;
    Window top{topRec};
    Window a{rec};
    Window b{rec};
};

} // namespace

TEST_F(WindowTest, KeysArriveAsKeyDownThenCharacterAsAMessageLoopDeliversThem)
{
    a.SetFocus();
    ASSERT_TRUE(a.HasFocus());
    EXPECT_EQ(Window::GetFocus(), &a);
    rec.Clear();
    test::PressKey(a, 'X', Keys::kControl);
    test::PressKey(a, VK::kReturn);
    test::PressKey(a, VK::kBack);
    test::PressKey(a, 'Q');
    test::PressKey(a, 'Q', Keys::kShift);
    const auto keys = rec.Of({Msg::KeyDown, Msg::Char});
    ASSERT_EQ(keys.size(), 10u);
    struct Expect
    {
        Msg kind;
        uint32_t key;
    };
    const Expect expected[] = {
        {Msg::KeyDown, 'X'},       {Msg::Char, 24}, {Msg::KeyDown, VK::kReturn}, {Msg::Char, 13},
        {Msg::KeyDown, VK::kBack}, {Msg::Char, 8},  {Msg::KeyDown, 'Q'},         {Msg::Char, 'q'},
        {Msg::KeyDown, 'Q'},       {Msg::Char, 'Q'}};
    for (size_t i = 0; i < 10; ++i) {
        EXPECT_EQ(keys[i].kind, expected[i].kind) << i;
        EXPECT_EQ(keys[i].key, expected[i].key) << i;
    }
    EXPECT_TRUE(keys[0].keys & Keys::kControl);
    EXPECT_EQ(keys[0].WParam(), uint32_t('X'));
    EXPECT_EQ(rec.Of({Msg::KeyUp}).size(), 5u);
    // Keys go to the focus window only.
    for (Window* w : rec.windows)
        EXPECT_EQ(w, &a);
}

TEST_F(WindowTest, FocusMovesWithKillFocusBeforeSetFocus)
{
    a.SetFocus();
    rec.Clear();
    b.SetFocus();
    const auto f = rec.Of({Msg::SetFocus, Msg::KillFocus});
    ASSERT_EQ(f.size(), 2u);
    EXPECT_EQ(f[0].kind, Msg::KillFocus);
    EXPECT_EQ(rec.windows[0], &a);
    EXPECT_EQ(f[0].other, &b);
    EXPECT_EQ(f[1].kind, Msg::SetFocus);
    EXPECT_EQ(f[1].other, &a);
    EXPECT_TRUE(b.HasFocus());
    EXPECT_FALSE(a.HasFocus());
}

TEST_F(WindowTest, MouseMessagesCarryClientPositionsButtonsAndDoubleClicks)
{
    test::Click(a, {20, 30});
    test::MouseDown(a, {20, 30}, test::Button::Left, 0, true);
    test::MouseUp(a, {20, 30});
    test::Click(a, {5, 6}, test::Button::Right, Keys::kShift);
    const auto m = rec.Of(
        {Msg::LButtonDown, Msg::LButtonUp, Msg::LButtonDblClk, Msg::RButtonDown, Msg::RButtonUp});
    ASSERT_EQ(m.size(), 6u);
    EXPECT_EQ(m[0].kind, Msg::LButtonDown);
    EXPECT_EQ(m[0].pt, (Point{20, 30}));
    EXPECT_TRUE(m[0].keys & Keys::kLButton);
    EXPECT_EQ(m[0].LParam(), (30u << 16) | 20u);
    EXPECT_EQ(m[0].screenPt, a.ClientToScreen({20, 30}));
    EXPECT_EQ(m[1].kind, Msg::LButtonUp);
    EXPECT_EQ(m[2].kind, Msg::LButtonDblClk);
    EXPECT_EQ(m[4].kind, Msg::RButtonDown);
    EXPECT_EQ(m[4].pt, (Point{5, 6}));
    EXPECT_TRUE(m[4].keys & Keys::kShift);
    EXPECT_TRUE(m[4].keys & Keys::kRButton);
    // The cursor is asked for before a press, with the press as the code.
    auto it = std::find_if(rec.msgs.begin(), rec.msgs.end(),
                           [](const Message& x) { return x.kind == Msg::LButtonDown; });
    ASSERT_NE(it, rec.msgs.begin());
    EXPECT_EQ((it - 1)->kind, Msg::SetCursor);
    EXPECT_EQ((it - 1)->code, uint32_t(Msg::LButtonDown));
    for (Window* w : rec.windows)
        EXPECT_EQ(w, &a);
}

TEST_F(WindowTest, WheelDeltaComesInUnitsOf120)
{
    test::Wheel(a, {40, 40}, 240);
    test::Wheel(a, {40, 40}, -120);
    const auto w = rec.Of({Msg::MouseWheel});
    ASSERT_EQ(w.size(), 2u);
    EXPECT_EQ(w[0].wheelDelta, 240);
    EXPECT_EQ(w[1].wheelDelta, -120);
    EXPECT_EQ(w[0].screenPt, a.ClientToScreen({40, 40}));
    EXPECT_EQ(int16_t(w[0].WParam() >> 16), 240);
}

TEST_F(WindowTest, CaptureRoutesMouseInputAndReportsItsLoss)
{
    a.SetCapture();
    EXPECT_EQ(Window::GetCapture(), &a);
    // A move over b, in top-level coordinates 250,50, reaches a in a's coordinates.
    test::MouseMove(b, {50, 40});
    const auto moves = rec.Of({Msg::MouseMove});
    ASSERT_FALSE(moves.empty());
    EXPECT_EQ(rec.windows.back(), &a);
    EXPECT_EQ(moves.back().pt, (Point{240, 40}));
    EXPECT_TRUE(rec.Of({Msg::SetCursor}).empty()); // no cursor requests while captured
    rec.Clear();
    b.SetCapture(); // a loses it to b
    const auto lost = rec.Of({Msg::CaptureChanged});
    ASSERT_EQ(lost.size(), 1u);
    EXPECT_EQ(rec.windows[0], &a);
    EXPECT_EQ(lost[0].other, &b);
    rec.Clear();
    Window::ReleaseCapture();
    EXPECT_EQ(Window::GetCapture(), nullptr);
    ASSERT_EQ(rec.Of({Msg::CaptureChanged}).size(), 1u);
    EXPECT_EQ(rec.windows[0], &b);
}

TEST_F(WindowTest, PaintSizeAndCoordinateConversion)
{
    a.Invalidate();
    ASSERT_TRUE(test::ProcessUntilIdle());
    EXPECT_GT(rec.paints, 0);
    EXPECT_EQ(rec.lastPaint, (Rect{0, 0, 150, 100}));
    a.Move(Rect::FromXYWH(20, 20, 120, 80));
    const auto s = rec.Of({Msg::Size});
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].size, (Size{120, 80}));
    EXPECT_EQ(a.GetClientRect(), (Rect{0, 0, 120, 80}));
    const Point scr = a.ClientToScreen({3, 4});
    EXPECT_EQ(scr, (Point{50 + 20 + 3, 60 + 20 + 4}));
    EXPECT_EQ(a.ScreenToClient(scr), (Point{3, 4}));
    EXPECT_EQ(a.GetWindowRect(), Rect::FromXYWH(70, 80, 120, 80));
}

TEST_F(WindowTest, ScrollBarsShrinkTheClientAreaAndSendScrollCodes)
{
    b.ShowScrollBar(ScrollBar::Vertical, true);
    const int sb = 150 - b.GetClientRect().Width();
    EXPECT_GT(sb, 5);
    b.SetScrollInfo(ScrollBar::Vertical, {0, 99, 10, 500, 0});
    EXPECT_EQ(b.GetScrollInfo(ScrollBar::Vertical).pos, 90); // clamped to max - page + 1
    b.SetScrollInfo(ScrollBar::Vertical, {0, 99, 10, 0, 0});
    test::ProcessUntilIdle();
    rec.Clear();
    const int x = 150 - sb / 2;
    test::Click(b, {x, 80}); // the trough below the thumb
    test::Click(b, {x, 2});  // the up arrow
    const auto v = rec.Of({Msg::VScroll});
    ASSERT_GE(v.size(), 4u);
    EXPECT_EQ(v[0].code, uint32_t(ScrollCode::PageDown));
    EXPECT_EQ(v[1].code, uint32_t(ScrollCode::EndScroll));
    EXPECT_EQ(v[2].code, uint32_t(ScrollCode::LineUp));
    rec.Clear();
    // Dragging the thumb tracks, then reports the final position.
    test::Drag(b, {x, sb + 3}, {x, 90}, 4);
    const auto d = rec.Of({Msg::VScroll});
    ASSERT_GE(d.size(), 3u);
    EXPECT_EQ(d[0].code, uint32_t(ScrollCode::ThumbTrack));
    EXPECT_EQ(d[d.size() - 2].code, uint32_t(ScrollCode::ThumbPosition));
    EXPECT_GT(d[d.size() - 2].pos, 50);
    EXPECT_EQ(d.back().code, uint32_t(ScrollCode::EndScroll));
    // The position stays until the owner sets it, as with native scroll bars.
    EXPECT_EQ(b.GetScrollInfo(ScrollBar::Vertical).pos, 0);
}

TEST_F(WindowTest, DroppedFilesArriveAsPaths)
{
    test::DropFiles(b, {10, 10}, {"/tmp/a file.txt", "/tmp/b.xch"});
    const auto d = rec.Of({Msg::DropFiles});
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(d[0].files, (std::vector<std::string>{"/tmp/a file.txt", "/tmp/b.xch"}));
    // A window that does not accept files gets nothing.
    test::DropFiles(a, {10, 10}, {"/tmp/x"});
    EXPECT_EQ(rec.Of({Msg::DropFiles}).size(), 1u);
}

TEST_F(WindowTest, WindowTimersFireInOrderAndStop)
{
    std::vector<uint32_t> fired;
    struct TimerRec : WindowCB
    {
        std::vector<uint32_t>* out;
        bool OnMessage(Window& w, const Message& m) override
        {
            if (m.kind == Msg::Timer) {
                out->push_back(m.id);
                if (m.id == 7 && std::count(out->begin(), out->end(), 7u) == 3)
                    w.KillTimer(7);
            }
            return true;
        }
    } cb;
    cb.out = &fired;
    a.SetCB(cb);
    ASSERT_TRUE(a.SetTimer(4711, 60));
    ASSERT_TRUE(a.SetTimer(7, 25));
    ASSERT_TRUE(
        test::RunUntil([&] { return std::count(fired.begin(), fired.end(), 4711u) >= 2; }, 3000));
    ASSERT_GE(fired.size(), 3u);
    EXPECT_EQ(fired[0], 7u); // the shorter period fires first
    EXPECT_EQ(std::count(fired.begin(), fired.end(), 7u), 3);
    EXPECT_TRUE(a.KillTimer(4711));
    EXPECT_FALSE(a.KillTimer(4711));
    a.SetCB(rec);
}

TEST_F(WindowTest, DestroyingAWindowInsideItsOwnHandlerIsSafe)
{
    struct Killer : WindowCB
    {
        bool OnMessage(Window& w, const Message& m) override
        {
            if (m.kind == Msg::LButtonDown)
                w.Destroy();
            return true;
        }
    } killer;
    Window c(killer);
    ASSERT_TRUE(c.CreateChild(top, Rect::FromXYWH(10, 150, 50, 50), WindowStyle::kVisible));
    test::Click(c, {5, 5});
    EXPECT_FALSE(c.IsCreated());
    test::ProcessUntilIdle();
    test::Click(top, {30, 170}); // where the window was
    SUCCEED();
}

TEST_F(WindowTest, ChildWindowsLoseTheirNativePartWithTheParent)
{
    top.Destroy();
    EXPECT_FALSE(a.IsCreated());
    EXPECT_FALSE(b.IsCreated());
    EXPECT_FALSE(a.SetTimer(1, 10));
    a.Invalidate(); // harmless
    EXPECT_EQ(a.GetClientRect(), Rect{});
}

TEST(TimerTest, WindowlessTimersShareOneCallbackAndFireInOrder)
{
    struct CB : TimerCB
    {
        std::vector<uint32_t> ids;
        std::vector<uint32_t> ticks;
        void OnTimer(uint32_t id, uint32_t tick) override
        {
            ids.push_back(id);
            ticks.push_back(tick);
        }
    } cb;
    SetTimerCallback(&cb);
    const uint32_t slow = StartTimer(70);
    const uint32_t fast = StartTimer(20);
    EXPECT_NE(slow, 0u);
    EXPECT_NE(fast, slow);
    ASSERT_TRUE(
        test::RunUntil([&] { return std::count(cb.ids.begin(), cb.ids.end(), slow) >= 1; }, 3000));
    EXPECT_EQ(cb.ids.front(), fast);
    EXPECT_GE(std::count(cb.ids.begin(), cb.ids.end(), fast), 2);
    EXPECT_TRUE(StopTimer(fast));
    EXPECT_TRUE(StopTimer(slow));
    EXPECT_FALSE(StopTimer(slow));
    const size_t n = cb.ids.size();
    test::RunUntil([] { return false; }, 120);
    EXPECT_EQ(cb.ids.size(), n); // stopped timers stay quiet
    SetTimerCallback(nullptr);
}

namespace {
uint32_t s_fakeTick = 0;
uint32_t FakeTick()
{
    return s_fakeTick += 10;
}
} // namespace

TEST(TimerTest, TickCountWrapsThroughAReplacedSource)
{
    struct CB : TimerCB
    {
        std::vector<uint32_t> ticks;
        void OnTimer(uint32_t id, uint32_t tick) override
        {
            ticks.push_back(tick);
            if (ticks.size() == 3)
                StopTimer(id);
        }
    } cb;
    s_fakeTick = 0xFFFFFFF0u - 10;
    SetTickSource(FakeTick);
    SetTimerCallback(&cb);
    const uint32_t start = GetTickCount(); // 0xFFFFFFF0
    StartTimer(5);
    ASSERT_TRUE(test::RunUntil([&] { return cb.ticks.size() >= 3; }, 3000));
    SetTickSource(nullptr);
    SetTimerCallback(nullptr);
    EXPECT_EQ(start, 0xFFFFFFF0u);
    EXPECT_EQ(cb.ticks[0], 0xFFFFFFFAu);
    EXPECT_EQ(cb.ticks[1], 4u); // wrapped
    EXPECT_EQ(TicksBetween(start, cb.ticks[1]), 20u);
    EXPECT_EQ(TicksBetween(cb.ticks[0], cb.ticks[2]), 20u);
    // The real clock is back.
    EXPECT_NE(GetTickCount(), s_fakeTick + 10);
}
