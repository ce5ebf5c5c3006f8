// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/StringTypeDict.h"
#include "base/TypeDict.h"
#include "base/XArray.h"
#include "base/ZString.h"
#include "tests/base/AllocFailure.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

using allocfail::CheckEveryFailure;

std::string Show(const ZString& s)
{
    return std::to_string(s.Length()) + ":" + std::string(s.Text(), size_t(s.Length()));
}

std::string Show(const XArray<ZString, false>& a)
{
    std::string out = std::to_string(a.Count());
    for (const ZString& s : a) {
        out += "|" + Show(s);
    }
    return out;
}

template <typename Dict> std::string ShowDict(const Dict& d)
{
    std::vector<std::string> entries;
    for (int32_t i = 0; i < d.Capacity(); ++i) {
        if (d.IsUsed(i)) {
            ZStr k = d.KeyAt(i);
            entries.push_back(std::string(k.ptr, size_t(k.len)) + "=" + Show(d.ValueAt(i)));
        }
    }
    std::sort(entries.begin(), entries.end());
    std::string out = std::to_string(d.Count());
    for (const std::string& e : entries) {
        out += "|" + e;
    }
    return out;
}

// Strings, arrays and dictionaries keep what they hold when memory runs out in the middle
// of growing, and report it.
TEST(OutOfMemoryTest, ContainersFailWithoutLosingTheirContents)
{
    const std::string longText(300, 'x');
    CheckEveryFailure(
        "string append",
        [] {
            auto s = std::make_unique<ZString>("abc");
            return s;
        },
        [&](ZString& s) { return s.Append(longText.c_str()) && s.InsertFront("<", 1); },
        [](const ZString& s) { return Show(s); });

    auto makeArray = [] {
        auto a = std::make_unique<XArray<ZString, false>>(0, 3, 2);
        a->Append(ZString("one"));
        a->Append(ZString("two"));
        a->Append(ZString("three")); // full: the next insertion grows
        return a;
    };
    CheckEveryFailure(
        "array insert with growth", makeArray,
        [](XArray<ZString, false>& a) { return a.Insert(1, ZString("new")); },
        [](const XArray<ZString, false>& a) { return Show(a); });
    CheckEveryFailure(
        "array insert of its own element", makeArray,
        [](XArray<ZString, false>& a) { return a.Insert(0, a[2]); },
        [](const XArray<ZString, false>& a) { return Show(a); });
    CheckEveryFailure(
        "array append", makeArray,
        [](XArray<ZString, false>& a) { return a.Append(ZString("four")) == 3; },
        [](const XArray<ZString, false>& a) { return Show(a); });
    auto source = makeArray();
    ASSERT_TRUE(source->SetSize(5));
    (*source)[4] = ZString(longText.c_str());
    CheckEveryFailure(
        "array copy", makeArray, [&](XArray<ZString, false>& a) { return a.Assign(*source); },
        [](const XArray<ZString, false>& a) { return Show(a); });

    // Nine keys in 15 slots: the tenth grows the table to 41 slots.
    auto makeDict = [] {
        auto d = std::make_unique<StringStringDict>(15);
        for (int i = 0; i < 9; ++i) {
            std::string k = "key" + std::to_string(i);
            EXPECT_TRUE(d->Set(ZStr(k.c_str()), ZStr(k.c_str())));
        }
        return d;
    };
    CheckEveryFailure(
        "dictionary insert with growth", makeDict,
        [](StringStringDict& d) { return d.Set("tenth", "value 10") && d.Capacity() == 41; },
        [](const StringStringDict& d) { return ShowDict(d); });
    CheckEveryFailure(
        "dictionary replace", makeDict,
        [&](StringStringDict& d) { return d.Set("key3", ZStr(longText.c_str())); },
        [](const StringStringDict& d) { return ShowDict(d); });
}

// A key type with padding bytes: the table must compare keys by their members, so two
// equal keys whose padding differs are still the same key.
struct Padded
{
    char tag;
    int32_t value;
    bool operator==(const Padded& o) const { return tag == o.tag && value == o.value; }
};

struct PaddedTraits
{
    uint32_t Hash(const Padded& k) const
    {
        char bytes[5] = {k.tag};
        std::memcpy(bytes + 1, &k.value, 4);
        return DictHash(bytes, 5);
    }
    bool Equal(const Padded& a, const Padded& b) const { return a == b; }
    bool Store(Padded&) { return true; }
    void Release(Padded&) {}
};

TEST(OutOfMemoryTest, TraitsDecideKeyEqualityAndOwnership)
{
    TypeDict<Padded, int, PaddedTraits> dict;
    Padded a;
    std::memset(&a, 0xAA, sizeof a);
    a.tag = 'x';
    a.value = 7;
    Padded b;
    std::memset(&b, 0x55, sizeof b);
    b.tag = 'x';
    b.value = 7;
    dict.Insert(a, 1);
    EXPECT_EQ(dict.Insert(b, 2), dict.Insert(a, 2));
    EXPECT_EQ(dict.Count(), 1);
    EXPECT_EQ(*dict.Lookup(b), 2);

    // Copied keys are freed by the table's own destructor (the leak checker of the
    // sanitizer build sees it); a failed key copy leaves the table as it was.
    auto keys = std::make_unique<StringTypeDict<int>>(15);
    ZAllocFailFrom(1);
    EXPECT_EQ(keys->Insert("lost", 1), -1);
    ZAllocFailFrom(0);
    EXPECT_EQ(keys->Count(), 0);
    EXPECT_FALSE(keys->Contains("lost"));
    EXPECT_GE(keys->Insert("kept", 1), 0);
    keys.reset();
}

} // namespace
