// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

// Out-of-memory checks in the manner of pugixml's tests: an operation is run again and again
// on a fresh object, with the first, the second, ... allocation refused, until it runs
// through without meeting a refusal. Each run must either succeed with the same result as
// an undisturbed run, or fail and leave the object exactly as it was.

#include "base/ZAlloc.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>

namespace allocfail {

/// make() builds a fresh object (held by a pointer-like value), op(object) runs the
/// operation and reports success, show(object) describes everything the object holds.
/// Returns the number of failure points tried.
template <typename Make, typename Op, typename Show>
int64_t CheckEveryFailure(const char* what, Make make, Op op, Show show)
{
    auto reference = make();
    EXPECT_TRUE(op(*reference)) << what << ": fails without any refusal";
    const std::string expected = show(*reference);
    for (int64_t n = 1;; ++n) {
        auto object = make();
        const std::string before = show(*object);
        ZAllocFailFrom(n);
        const bool ok = op(*object);
        ZAllocFailFrom(0);
        const std::string after = show(*object);
        if (ok) {
            EXPECT_EQ(after, expected) << what << ", allocation " << n << " refused";
        } else {
            EXPECT_EQ(after, before) << what << ", allocation " << n << " refused";
        }
        if (ZAllocRefused() == 0 || ::testing::Test::HasFailure()) {
            EXPECT_GT(n, 1) << what << ": allocates nothing, so nothing was tried";
            return n;
        }
    }
}

} // namespace allocfail
