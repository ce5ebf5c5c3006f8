// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/ZAlloc.h"

#include <cstdlib>

namespace {

// The test hook's state. The library runs on one thread, and tests arm the hook around a
// single operation, so plain counters do.
int64_t s_failFrom = 0;
int64_t s_seen = 0;
int64_t s_refused = 0;

} // namespace

bool ZAllocShouldFail()
{
    if (s_failFrom <= 0) {
        return false;
    }
    if (++s_seen < s_failFrom) {
        return false;
    }
    ++s_refused;
    return true;
}

void ZAllocFailFrom(int64_t n)
{
    s_failFrom = n;
    if (n > 0) {
        s_seen = 0;
        s_refused = 0;
    }
}

int64_t ZAllocRefused()
{
    return s_refused;
}

void* ZAllocBytes(size_t n)
{
    if (ZAllocShouldFail()) {
        return nullptr;
    }
    return std::malloc(n);
}

void ZFreeBytes(void* p)
{
    std::free(p);
}
