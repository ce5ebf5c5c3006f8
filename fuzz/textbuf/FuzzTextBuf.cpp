// SPDX-License-Identifier: GPL-2.0-or-later
// Edits a ZStringML and a plain string model in step, driven by the input bytes: the first
// byte picks the block limits, the rest the insertions, removals, undos, redos and reads.
// Any disagreement or broken block structure aborts with a description.

#include "tests/edit/TextBufDriver.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) {
        return 0;
    }
    struct Limits
    {
        int32_t lines;
        int32_t chars;
        size_t maxText;
    };
    static const Limits kLimits[] = {
        {1, 1, 200}, {2, 8, 400}, {3, 16, 800}, {4, 40, 1500}, {8, 64, 2000}, {50, 400, 4000},
    };
    const Limits& l = kLimits[data[0] % (sizeof kLimits / sizeof kLimits[0])];
    textbuf::ByteSource in(data + 1, size - 1);
    textbuf::Driver d(l.lines, l.chars, l.maxText);
    while (!in.Empty()) {
        if (!d.Step(in)) {
            std::fprintf(stderr, "limits %d lines, %d chars: %s\n", l.lines, l.chars,
                         d.Failure().c_str());
            std::abort();
        }
    }
    return 0;
}
