// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/XArray.h"

#include "base/ZString.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

TEST(XArrayTest, ConstructorNormalisesArguments)
{
    XArray<int> a(0, 0, 0, 0.5);
    EXPECT_EQ(a.Capacity(), 1);
    EXPECT_EQ(a.GrowthStep(), 1);
    EXPECT_EQ(a.GrowthFactor(), 1.0);

    XArray<int> b(4, 0);
    EXPECT_EQ(b.Count(), 4);
    EXPECT_EQ(b.Capacity(), 4);
    EXPECT_EQ(b[3], 0);
}

TEST(XArrayTest, AppendGrowsByStepOrFactor)
{
    XArray<int> byStep; // 0, 10, 10, 1.0
    std::vector<int> capacities;
    for (int i = 0; i < 35; ++i) {
        int before = byStep.Capacity();
        byStep.Append(i);
        if (byStep.Capacity() != before) {
            capacities.push_back(byStep.Capacity());
        }
    }
    EXPECT_EQ(capacities, (std::vector<int>{20, 30, 40}));
    for (int i = 0; i < 35; ++i) {
        EXPECT_EQ(byStep[i], i);
    }

    XArray<int> byFactor(0, 10, 1, 2.0);
    for (int i = 0; i < 11; ++i) {
        byFactor.Append(i);
    }
    EXPECT_EQ(byFactor.Capacity(), 20);
}

// Counts how elements are made, so a test can tell a move from a copy.
struct Counted
{
    static int s_copies;
    int value = 0;
    Counted() = default;
    explicit Counted(int v)
        : value(v)
    {
    }
    Counted(const Counted& other)
        : value(other.value)
    {
        ++s_copies;
    }
    Counted(Counted&&) noexcept = default;
    Counted& operator=(const Counted& other)
    {
        value = other.value;
        ++s_copies;
        return *this;
    }
    Counted& operator=(Counted&&) noexcept = default;
};
int Counted::s_copies = 0;

TEST(XArrayTest, LargeAppendsGrowGeometricallyAndMoveElements)
{
    // Small arrays keep their step (above); past a few hundred elements each growth adds at
    // least half, so a million appends reallocate a few dozen times, not a hundred thousand.
    XArray<int> numbers;
    int reallocations = 0;
    for (int i = 0; i < 1000000; ++i) {
        int before = numbers.Capacity();
        numbers.Append(i);
        reallocations += numbers.Capacity() != before;
    }
    EXPECT_LE(reallocations, 60);
    EXPECT_EQ(numbers.Count(), 1000000);
    EXPECT_EQ(numbers[999999], 999999);
    EXPECT_EQ(numbers[123456], 123456);

    // Growth moves the elements of an owning array; none is copied.
    Counted::s_copies = 0;
    XArray<Counted, false> owned;
    for (int i = 0; i < 20000; ++i) {
        owned.Append(Counted(i));
    }
    EXPECT_EQ(Counted::s_copies, 0);
    EXPECT_EQ(owned[19999].value, 19999);
}

TEST(XArrayTest, SetSizeAllocatesExactly)
{
    XArray<double> a;
    ASSERT_TRUE(a.SetSize(5));
    EXPECT_EQ(a.Capacity(), 10);
    ASSERT_TRUE(a.SetSize(25));
    EXPECT_EQ(a.Capacity(), 25);
    EXPECT_EQ(a.Count(), 25);
    ASSERT_TRUE(a.SetSize(-3));
    EXPECT_EQ(a.Count(), 0);
    EXPECT_EQ(a.Capacity(), 25);
}

TEST(XArrayTest, InsertRemoveKeepOrderForOwningElements)
{
    XArray<ZString, false> names;
    names.Append(ZString("b"));
    names.Append(ZString("d"));
    ASSERT_TRUE(names.Insert(0, ZString("a")));
    ASSERT_TRUE(names.Insert(2, ZString("c")));
    ASSERT_TRUE(names.Insert(99, ZString("e")));
    ASSERT_EQ(names.Count(), 5);
    const char* expected[] = {"a", "b", "c", "d", "e"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(names[i], expected[i]);
    }
    ASSERT_TRUE(names.Insert(1, names[4])); // an element of the array itself
    EXPECT_EQ(names[1], "e");
    names.Remove(1, 2);
    EXPECT_EQ(names[1], "c");
    names.Remove(3, 10);
    EXPECT_EQ(names.Count(), 3);

    XArray<ZString, false> copy(names);
    names.RemoveAll();
    EXPECT_EQ(copy.Count(), 3);
    EXPECT_EQ(copy[2], "d");

    XArray<XArray<int>, false> nested;
    nested.Append(XArray<int>(3));
    ASSERT_TRUE(nested.SetSize(40));
    EXPECT_EQ(nested[0].Count(), 3);
}

} // namespace
