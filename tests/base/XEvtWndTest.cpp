// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/XEvtWnd.h"

#include "platform/Application.h"
#include "platform/TestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// An event window that logs what its default handler passes on.
class LoggingWnd : public XEvtWnd
{
public:
    bool OnInput(XEvtInput& evt, int32_t gesture) override
    {
        log.push_back("wnd:" + std::to_string(int(evt.code)) + "/" + std::to_string(gesture));
        lastPos = evt.pos;
        if (evt.code == XInput::Char) {
            lastChar = evt.key;
        }
        return handles;
    }
    std::vector<std::string> log;
    NXPoint lastPos;
    uint32_t lastChar = 0;
    bool handles = true;
};

// A handler that sits in the keyboard slot ahead of the window's own handler.
class KeyProbe : public XEvtHdlr
{
public:
    KeyProbe(XEvtMngr* mngr, std::vector<std::string>& log)
        : XEvtHdlr(mngr)
        , m_log(log)
    {
    }
    bool HandleEvent(XEvt& evt, void*, void*, int64_t&) override
    {
        auto& input = static_cast<XEvtInput&>(evt);
        m_log.push_back("probe:" + std::to_string(int(input.code)));
        return input.code == XInput::Char && input.key == 'x';
    }

private:
    std::vector<std::string>& m_log;
};

class XEvtWndTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!plat::InitDisplay()) {
            GTEST_SKIP() << "no display";
        }
        ASSERT_TRUE(m_top.CreateTopLevel("events", plat::Rect::FromXYWH(50, 50, 300, 200),
                                         plat::WindowStyle::kVisible));
        ASSERT_TRUE(m_wnd.CreateChild(m_top, plat::Rect::FromXYWH(10, 10, 200, 150),
                                      plat::WindowStyle::kVisible, 100));
        plat::test::ProcessUntilIdle();
    }

    plat::Window m_top;
    LoggingWnd m_wnd;
};

TEST_F(XEvtWndTest, MouseGesturesReachTheWindowInOrder)
{
    plat::test::MouseMove(m_wnd, {20, 20});
    plat::test::MouseDown(m_wnd, {20, 20});
    plat::test::MouseMove(m_wnd, {40, 20}, plat::Keys::kLButton);
    plat::test::MouseUp(m_wnd, {40, 20});
    plat::test::ProcessUntilIdle();

    std::vector<std::string> gestures;
    for (const std::string& line : m_wnd.log) {
        if (line.rfind("wnd:0/", 0) == 0 || line.rfind("wnd:1/", 0) == 0 ||
            line.rfind("wnd:2/", 0) == 0) {
            gestures.push_back(line);
        }
    }
    // Press (2), a drag beyond the threshold (5) and the release (3), in that order.
    auto at = [&](const char* entry) {
        return std::find(gestures.begin(), gestures.end(), entry) - gestures.begin();
    };
    ASSERT_LT(size_t(at("wnd:2/3")), gestures.size());
    EXPECT_LT(at("wnd:1/2"), at("wnd:0/5"));
    EXPECT_LT(at("wnd:0/5"), at("wnd:2/3"));
    EXPECT_EQ(m_wnd.lastPos.x, 40);
    EXPECT_FALSE(m_wnd.GetDefaultHandler().IsPressed(XEvtHdlrGUI::kLeft));
}

TEST_F(XEvtWndTest, SlotHolderSeesKeysBeforeTheWindowsHandler)
{
    std::vector<std::string>& log = m_wnd.log;
    KeyProbe probe(&m_wnd.GetMngr(), log);
    m_wnd.SetFocus();
    plat::test::ProcessUntilIdle();
    m_wnd.GetMngr().TakeSlot(&probe, XEvtGUI::kSlotKeyboard);
    log.clear();

    plat::test::TypeText(m_wnd, "x"); // the probe handles it
    plat::test::ProcessUntilIdle();
    std::vector<std::string> expectX;
    for (const std::string& line : log) {
        if (line.find(":13") != std::string::npos) {
            expectX.push_back(line);
        }
    }
    EXPECT_EQ(expectX, (std::vector<std::string>{"probe:13"}));

    log.clear();
    plat::test::TypeText(m_wnd, "y"); // the probe declines: the window's handler gets it
    plat::test::ProcessUntilIdle();
    std::vector<std::string> expectY;
    for (const std::string& line : log) {
        if (line.find(":13") != std::string::npos) {
            expectY.push_back(line);
        }
    }
    EXPECT_EQ(expectY, (std::vector<std::string>{"probe:13", "wnd:13/0"}));
    EXPECT_EQ(m_wnd.lastChar, uint32_t('y'));
    // Keyboard events carry the position of the last pointer message.
    EXPECT_EQ(m_wnd.lastPos.x, 0);
}

} // namespace
