// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Shared by the fuzz targets: how a broken property stops the run, and the check every
// reader's rest must pass.

#include "base/ZStr.h"

#include <cstdio>
#include <cstdlib>

namespace fuzzcheck {

/// Stops the run when `condition` does not hold, so that libFuzzer keeps the input; `what`,
/// when given, names the property on stderr first.
inline void Check(bool condition, const char* what = nullptr)
{
    if (!condition) {
        if (what) {
            std::fprintf(stderr, "fuzz check failed: %s\n", what);
        }
        std::abort();
    }
}

/// Whether `rest`, what a reader left of `text`, is an end part of `text` itself.
inline bool RestIsSuffix(ZStr text, ZStr rest)
{
    return rest.len >= 0 && rest.len <= text.len && rest.ptr == text.ptr + (text.len - rest.len);
}

} // namespace fuzzcheck
