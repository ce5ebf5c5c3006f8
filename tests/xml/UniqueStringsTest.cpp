// SPDX-License-Identifier: GPL-2.0-or-later
#include "xml/UniqueStrings.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

TEST(UniqueStringsTest, EqualTextsShareOneTerminatedCopy)
{
    UniqueStrings pool;
    char buf[] = "name=value";
    ZStr a = pool.Intern(ZStr(buf, 4));
    ZStr b = pool.Intern(ZStr("name"));
    EXPECT_EQ(a.ptr, b.ptr);
    EXPECT_NE(a.ptr, buf);
    EXPECT_EQ(a.ptr[4], 0);
    EXPECT_EQ(pool.Count(), 1);
    // The copy does not depend on the caller's text.
    buf[0] = 'X';
    EXPECT_TRUE(a.Equals(ZStr("name")));

    ZStr empty = pool.Intern(ZStr());
    EXPECT_NE(empty.ptr, nullptr);
    EXPECT_EQ(empty.len, 0);
    EXPECT_EQ(pool.Count(), 1);
}

TEST(UniqueStringsTest, ViewsStayValidWhileThePoolGrows)
{
    UniqueStrings pool;
    std::vector<ZStr> views;
    std::vector<std::string> texts;
    for (int i = 0; i < 20000; ++i) {
        texts.push_back("value" + std::to_string(i));
    }
    // One string far larger than a block, and a few with embedded NUL bytes.
    texts.push_back(std::string(100000, 'x'));
    texts.push_back(std::string("a\0b", 3));
    texts.push_back(std::string("a\0c", 3));
    for (const std::string& t : texts) {
        views.push_back(pool.Intern(ZStr(t.data(), int32_t(t.size()))));
    }
    // The long text is copied, not shared.
    EXPECT_EQ(pool.Count(), int32_t(texts.size()) - 1);
    for (size_t i = 0; i < texts.size(); ++i) {
        ASSERT_EQ(std::string(views[i].ptr, size_t(views[i].len)), texts[i]);
        ASSERT_EQ(views[i].ptr[views[i].len], 0);
        ZStr again = pool.Intern(ZStr(texts[i].data(), int32_t(texts[i].size())));
        ASSERT_EQ(std::string(again.ptr, size_t(again.len)), texts[i]);
        if (texts[i].size() <= size_t(UniqueStrings::kShareLimit)) {
            ASSERT_EQ(again.ptr, views[i].ptr);
        } else {
            EXPECT_NE(again.ptr, views[i].ptr);
        }
    }
}

} // namespace
