// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/TypeDict.h"

#include "base/StringTypeDict.h"

#include <gtest/gtest.h>
#include <map>
#include <random>
#include <string>

namespace {

std::string Key(int i)
{
    return "key" + std::to_string(i);
}

TEST(TypeDictTest, HashFunction)
{
    // n * 596579247 with n = 0, then x = 12345: (12345 >> 16) ^ 12345.
    EXPECT_EQ(DictHash("", 0), 12345u);
    // "a": h = 596579247 + 97.
    uint32_t h = 596579247u + 97u;
    uint32_t x = h * 1103515243u + 12345u;
    EXPECT_EQ(DictHash("a", 1), (x >> 16) ^ (x & 0x7FFFFFFFu));
    // Characters above 0x7F are widened as signed bytes.
    uint32_t h2 = 596579247u + 0xFFFFFFE4u;
    uint32_t x2 = h2 * 1103515243u + 12345u;
    EXPECT_EQ(DictHash("\xe4", 1), (x2 >> 16) ^ (x2 & 0x7FFFFFFFu));
    EXPECT_EQ(DictHash("ABC", 3, true), DictHash("abc", 3));
    EXPECT_NE(DictHash("ABC", 3), DictHash("abc", 3));
}

TEST(TypeDictTest, PrimeCapacities)
{
    EXPECT_EQ(DictNextCapacity(15), 41);
    EXPECT_EQ(DictNextCapacity(41), 127); // 73.8 -> 127
    EXPECT_EQ(DictNextCapacity(5), 17);
    EXPECT_EQ(DictNextCapacity(1073741789), 2147483647);
}

TEST(TypeDictTest, GrowsFrom15To41OnTheTenthKey)
{
    StringTypeDict<int> dict(15);
    for (int i = 0; i < 9; ++i) {
        dict.Insert(ZStr(Key(i).c_str()), i);
    }
    EXPECT_EQ(dict.Capacity(), 15);
    dict.Insert("key0", 100); // an existing key never grows the table
    EXPECT_EQ(dict.Capacity(), 15);
    dict.Insert(ZStr(Key(9).c_str()), 9);
    EXPECT_EQ(dict.Capacity(), 41);
    EXPECT_EQ(dict.Count(), 10);
    for (int i = 0; i < 10; ++i) {
        int v = -1;
        EXPECT_TRUE(dict.Lookup(ZStr(Key(i).c_str()), v));
        EXPECT_EQ(v, i == 0 ? 100 : i);
    }
}

// Keys whose start slot is the last slot of a small table, so their probe run wraps.
std::vector<std::string> KeysStartingAt(int32_t slot, int32_t capacity, int n)
{
    std::vector<std::string> keys;
    for (int i = 0; int(keys.size()) < n; ++i) {
        std::string k = "w" + std::to_string(i);
        if (DictHash(k.data(), int32_t(k.size())) % uint32_t(capacity) == uint32_t(slot)) {
            keys.push_back(k);
        }
    }
    return keys;
}

TEST(TypeDictTest, ProbeRunWrapsPastTheLastSlot)
{
    StringTypeDict<int> dict(17);
    std::vector<std::string> keys = KeysStartingAt(16, 17, 3);
    for (size_t i = 0; i < keys.size(); ++i) {
        dict.Insert(ZStr(keys[i].c_str()), int(i));
    }
    ASSERT_EQ(dict.Capacity(), 17);
    EXPECT_TRUE(dict.IsUsed(16));
    EXPECT_TRUE(dict.IsUsed(0));
    EXPECT_TRUE(dict.IsUsed(1));
    for (size_t i = 0; i < keys.size(); ++i) {
        const int* v = dict.Lookup(ZStr(keys[i].c_str()));
        ASSERT_NE(v, nullptr);
        EXPECT_EQ(*v, int(i));
    }
    EXPECT_FALSE(dict.Contains("absent"));
}

TEST(TypeDictTest, RemovalKeepsLaterProbeRunEntriesReachable)
{
    StringTypeDict<int> dict(17);
    std::vector<std::string> keys = KeysStartingAt(16, 17, 4);
    for (size_t i = 0; i < keys.size(); ++i) {
        dict.Insert(ZStr(keys[i].c_str()), int(i));
    }
    // Removing the entry at the run's start must not cut off the wrapped entries.
    EXPECT_TRUE(dict.Remove(ZStr(keys[0].c_str())));
    EXPECT_FALSE(dict.Remove(ZStr(keys[0].c_str())));
    EXPECT_EQ(dict.Count(), 3);
    for (size_t i = 1; i < keys.size(); ++i) {
        EXPECT_TRUE(dict.Contains(ZStr(keys[i].c_str()))) << keys[i];
    }
    EXPECT_TRUE(dict.IsUsed(16)); // the next entry moved up to its start slot
    EXPECT_FALSE(dict.IsUsed(2));
}

TEST(TypeDictTest, AgreesWithStdMapUnderRandomOperations)
{
    std::mt19937 rng(1234);
    StringTypeDict<int> dict(15);
    std::map<std::string, int> model;
    for (int step = 0; step < 20000; ++step) {
        std::string k = Key(int(rng() % 300));
        switch (rng() % 3) {
        case 0:
        case 1:
            dict.Insert(ZStr(k.c_str()), step);
            model[k] = step;
            break;
        default:
            EXPECT_EQ(dict.Remove(ZStr(k.c_str())), model.erase(k) == 1);
            break;
        }
    }
    EXPECT_EQ(dict.Count(), int32_t(model.size()));
    for (const auto& [k, v] : model) {
        const int* got = dict.Lookup(ZStr(k.c_str()));
        ASSERT_NE(got, nullptr) << k;
        EXPECT_EQ(*got, v);
    }
}

TEST(TypeDictTest, CopiedKeysOutliveTheCallersText)
{
    StringStringDict dict;
    {
        std::string temp = "Parms";
        dict.Set(ZStr(temp.c_str()), "ele=5");
        temp = "XXXXX";
    }
    ASSERT_NE(dict.Get("Parms"), nullptr);
    EXPECT_EQ(*dict.Get("Parms"), "ele=5");
    EXPECT_EQ(dict.Get("parms"), nullptr); // keys are case-sensitive

    StringTypeDict<int> folded(15, DictKeys::Copied, DictCase::Insensitive);
    folded.Insert("Name", 1);
    EXPECT_TRUE(folded.Contains("NAME"));

    StringTypeDict<int> first(15, DictKeys::Copied, DictCase::Sensitive, DictDuplicates::KeepFirst);
    first.Insert("a", 1);
    first.Insert("a", 2);
    EXPECT_EQ(*first.Lookup("a"), 1);
}

TEST(TypeDictTest, IntegerKeysAndSets)
{
    TypeDict<int, int> dict;
    for (int i = 0; i < 1000; ++i) {
        dict.Insert(i * 7, i);
    }
    EXPECT_EQ(dict.Count(), 1000);
    EXPECT_EQ(*dict.Lookup(7 * 999), 999);
    dict.Clear();
    EXPECT_EQ(dict.Count(), 0);
    EXPECT_FALSE(dict.Contains(7));

    TypeSet<ZStr> set;
    EXPECT_TRUE(set.Add("x"));
    EXPECT_FALSE(set.Add("x"));
    EXPECT_TRUE(set.Contains("x"));
}

} // namespace
