// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/gui/References.h"

#include <gtest/gtest.h>
#include <string>

namespace {

TEST(ReferencesTest, TextIsHeadedAndEveryLineEndsInCrLf)
{
    const std::string text = ReferencesText();
    EXPECT_EQ(text.rfind("Based on Works of\r\n\r\n", 0), 0u);
    ASSERT_GE(text.size(), 2u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    // A lone line feed or carriage return would show as a broken line in the box.
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            EXPECT_EQ(text[i + 1], '\n') << "at " << i;
        } else if (text[i] == '\n') {
            EXPECT_EQ(i > 0 ? text[i - 1] : 0, '\r') << "at " << i;
        }
    }
    EXPECT_NE(text.find("https://doi.org/10.1109/TMTT.1962.1125540\r\n"), std::string::npos);
}

} // namespace
