// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/XEvtHdlr.h"

#include "base/XEvtMngr.h"

#include <gtest/gtest.h>

namespace {

class GestureTest : public ::testing::Test
{
protected:
    int32_t Send(XInput code, double x, double y, uint32_t flags = 0)
    {
        XEvtInput evt(code, NXPoint{x, y});
        evt.flags = flags;
        return m_hdlr.Classify(evt);
    }

    XEvtMngr m_mngr{nullptr};
    XEvtHdlrGUI m_hdlr{&m_mngr};
};

TEST_F(GestureTest, LeftPressDragRelease)
{
    EXPECT_EQ(Send(XInput::MouseMove, 10, 10), 4);
    EXPECT_EQ(Send(XInput::LButtonDown, 10, 10), 2);
    EXPECT_TRUE(m_hdlr.IsPressed(XEvtHdlrGUI::kLeft));
    // The press takes the keyboard and then the pointer slot.
    EXPECT_TRUE(m_hdlr.HoldsSlot(XEvtGUI::kSlotPointer));
    EXPECT_TRUE(m_hdlr.HoldsSlot(XEvtGUI::kSlotKeyboard));

    EXPECT_EQ(Send(XInput::MouseMove, 15, 5), 5); // 5 pixels: not a move yet
    EXPECT_TRUE(m_hdlr.NotMoved(XEvtHdlrGUI::kLeft));
    EXPECT_EQ(Send(XInput::MouseMove, 16, 10), 5); // 6 pixels in x
    EXPECT_TRUE(m_hdlr.MovedBeyondThreshold(XEvtHdlrGUI::kLeft));
    EXPECT_EQ(Send(XInput::MouseMove, 10, 10), 5); // back at the start: stays moved
    EXPECT_TRUE(m_hdlr.MovedBeyondThreshold(XEvtHdlrGUI::kLeft));
    EXPECT_EQ(m_hdlr.PreviousPoint(XEvtHdlrGUI::kLeft).x, 16);
    EXPECT_EQ(m_hdlr.CurrentPoint(XEvtHdlrGUI::kLeft).x, 10);
    EXPECT_EQ(m_hdlr.PressPoint(XEvtHdlrGUI::kLeft).y, 10);

    EXPECT_EQ(Send(XInput::LButtonUp, 12, 30), 3);
    EXPECT_FALSE(m_hdlr.IsPressed(XEvtHdlrGUI::kLeft));
    EXPECT_EQ(m_hdlr.CurrentPoint(XEvtHdlrGUI::kLeft).y, 30);
    EXPECT_FALSE(m_hdlr.HoldsSlot(XEvtGUI::kSlotPointer)); // capture released
    EXPECT_TRUE(m_hdlr.HoldsSlot(XEvtGUI::kSlotKeyboard)); // focus kept
}

TEST_F(GestureTest, VerticalThresholdAndNegativeThreshold)
{
    m_hdlr.SetThreshold(-5); // compared by its absolute value
    Send(XInput::LButtonDown, 0, 0);
    Send(XInput::MouseMove, 0, -5);
    EXPECT_TRUE(m_hdlr.NotMoved(XEvtHdlrGUI::kLeft));
    Send(XInput::MouseMove, 0, -6);
    EXPECT_TRUE(m_hdlr.MovedBeyondThreshold(XEvtHdlrGUI::kLeft));
}

TEST_F(GestureTest, RightDragAndLeftWins)
{
    EXPECT_EQ(Send(XInput::RButtonDown, 0, 0), 7);
    EXPECT_EQ(Send(XInput::MouseMove, 20, 0), 9);
    EXPECT_EQ(Send(XInput::LButtonDown, 20, 0), 2);
    EXPECT_EQ(Send(XInput::MouseMove, 30, 0), 5); // both pressed: the left button wins
    EXPECT_EQ(Send(XInput::LButtonUp, 30, 0), 3);
    EXPECT_EQ(Send(XInput::MouseMove, 40, 0), 9);
    EXPECT_EQ(Send(XInput::RButtonUp, 40, 0), 8);
    EXPECT_EQ(Send(XInput::MouseMove, 50, 0), 4);
}

TEST_F(GestureTest, ResetsAndOtherCodes)
{
    EXPECT_EQ(Send(XInput::LButtonUp, 0, 0), 1); // release without press
    EXPECT_EQ(Send(XInput::LButtonDown, 0, 0), 2);
    EXPECT_EQ(Send(XInput::LButtonDblClk, 0, 0), 1); // pressed again: reset
    EXPECT_FALSE(m_hdlr.IsPressed(XEvtHdlrGUI::kLeft));
    EXPECT_EQ(Send(XInput::LButtonDblClk, 0, 0), 2); // a double click presses when up
    EXPECT_EQ(Send(XInput::MouseWheel, 0, 0), 11);
    EXPECT_EQ(Send(XInput::KeyDown, 0, 0), 0);
    EXPECT_EQ(Send(XInput::SetCursor, 0, 0), 0);
    Send(XInput::MouseMove, 1, 1, 0x0008 | 0x0004);
    EXPECT_TRUE(m_hdlr.CtrlDown());
    EXPECT_TRUE(m_hdlr.ShiftDown());
}

// A handler that records what reaches it and handles what it is told to.
class Probe : public XEvtHdlr
{
public:
    using XEvtHdlr::XEvtHdlr;
    bool HandleEvent(XEvt& evt, void*, void*, int64_t&) override
    {
        seen.push_back(static_cast<XEvtInput&>(evt).code);
        return handles;
    }
    std::vector<XInput> seen;
    bool handles = true;
};

TEST(XEvtMngrTest, DispatchGoesToTheSlotHolder)
{
    XEvtMngr mngr(nullptr);
    Probe keyboard(&mngr), pointer(&mngr);
    int64_t result = 0;
    XEvtInput key(XInput::Char, NXPoint{});
    EXPECT_FALSE(mngr.Dispatch(key, nullptr, nullptr, result)); // empty slot

    mngr.TakeSlot(&keyboard, XEvtGUI::kSlotKeyboard);
    mngr.TakeSlot(&pointer, XEvtGUI::kSlotPointer);
    EXPECT_TRUE(mngr.Dispatch(key, nullptr, nullptr, result));
    XEvtInput move(XInput::MouseMove, NXPoint{});
    EXPECT_TRUE(mngr.Dispatch(move, nullptr, nullptr, result));
    EXPECT_EQ(keyboard.seen, std::vector<XInput>{XInput::Char});
    EXPECT_EQ(pointer.seen, std::vector<XInput>{XInput::MouseMove});

    // A new keyboard holder: the old one hears that it lost the focus.
    Probe other(&mngr);
    mngr.TakeSlot(&other, XEvtGUI::kSlotKeyboard);
    EXPECT_EQ(keyboard.seen.back(), XInput::KillFocus);

    XEvtObserver notice(XEvtObserver::kChanged);
    EXPECT_EQ(mngr.FindHandler(notice), nullptr); // only GUI events have handlers
    XEvtGUI farSlot(7);
    EXPECT_EQ(mngr.FindHandler(farSlot), nullptr);

    {
        Probe shortLived(&mngr);
        mngr.TakeSlot(&shortLived, 5); // the table grows on demand
        EXPECT_EQ(mngr.SlotHolder(5), &shortLived);
    }
    EXPECT_EQ(mngr.SlotHolder(5), nullptr); // a destroyed handler leaves its slots
}

} // namespace
