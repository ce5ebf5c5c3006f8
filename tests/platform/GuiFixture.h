// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Shared by the platform GUI tests: records the messages a window receives.

#include "platform/DrawContext.h"
#include "platform/TestSupport.h"
#include "platform/Window.h"
#include "tests/GuiTest.h"

#include <gtest/gtest.h>
#include <vector>

/// Records every message and paint of the windows it serves.
class Recorder : public plat::WindowCB
{
public:
    bool OnMessage(plat::Window& wnd, const plat::Message& msg) override
    {
        msgs.push_back(msg);
        windows.push_back(&wnd);
        if (msg.kind == plat::Msg::SetCursor && setCursor) {
            wnd.SetCursor(plat::Cursor::Standard(plat::StdCursor::Cross));
            return true;
        }
        return handleAll;
    }
    bool OnPaint(plat::Window&, plat::DrawContext& dc, const plat::Rect& update) override
    {
        ++paints;
        lastPaint = update;
        dc.FillRect(update, plat::Rgb(0, 0, 255));
        return true;
    }
    /// The messages of the given kinds, in order.
    std::vector<plat::Message> Of(std::initializer_list<plat::Msg> kinds) const
    {
        std::vector<plat::Message> out;
        for (const plat::Message& m : msgs)
            for (plat::Msg k : kinds)
                if (m.kind == k)
                    out.push_back(m);
        return out;
    }
    void Clear()
    {
        msgs.clear();
        windows.clear();
    }

    std::vector<plat::Message> msgs;
    std::vector<plat::Window*> windows;
    int paints = 0;
    plat::Rect lastPaint;
    bool handleAll = true;
    bool setCursor = false;
};
