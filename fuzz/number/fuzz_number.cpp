// SPDX-License-Identifier: GPL-2.0-or-later
// Feeds arbitrary text to the number and pair readers and to the rectangle text forms. A
// number read must be the value the C library reads from the same characters; a rectangle
// read and written exactly must read back bit for bit.
#include "base/NXGeom.h"
#include "base/NumberReader.h"
#include "base/XValueRef.h"
#include "base/ZString.h"
#include "fuzz/FuzzCheck.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using fuzzcheck::Check;
using fuzzcheck::RestIsSuffix;

bool SameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void CheckNumber(ZStr text)
{
    double value = 12345.0;
    ZStr rest;
    if (!ReadNumber(text, value, rest)) {
        Check(value == 12345.0);
        Check(rest.ptr == text.ptr && rest.len == text.len);
        return;
    }
    Check(RestIsSuffix(text, rest));
    Check(rest.len < text.len);
    Check(std::isfinite(value));
    // The C library, in this process's "C" locale, must read the consumed characters to the
    // same double: both round correctly. It never sees a number beyond the double range,
    // since the reader refuses those.
    std::string consumed(text.ptr, size_t(text.len - rest.len));
    char* end = nullptr;
    double expected = std::strtod(consumed.c_str(), &end);
    Check(end == consumed.c_str() + consumed.size());
    Check(SameBits(value, expected));
}

void CheckRect(ZStr text)
{
    NXRect rect;
    ZStr rest;
    if (!rect.FromText(text, rest)) {
        Check(rect == NXRect{});
        return;
    }
    Check(RestIsSuffix(text, rest));
    for (RectText form : {RectText::Exact, RectText::Numbers}) {
        ZString written;
        rect.ToText(written, form);
        NXRect back;
        ZStr backRest;
        Check(back.FromText(written, backRest));
        Check(backRest.len == 0);
        Check(SameBits(back.x, rect.x) && SameBits(back.y, rect.y) &&
              SameBits(back.width, rect.width) && SameBits(back.height, rect.height));
    }
    ZString integer;
    rect.ToText(integer, RectText::Integer);
    plat::Rect pixels = rect.ToIntRect();
    (void)pixels;
    NXRect inner = rect;
    inner.Deflate(rect.width, rect.height);

    // Text conversions of what was read.
    ZString asText;
    Check(Convert(&asText, &rect, KindChange::Allow));
    int32_t asInt = 0;
    double x = rect.x;
    Convert(&asInt, &x, KindChange::Allow);
    Check(Convert(&asText, &x, KindChange::Allow));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 4096) {
        return 0;
    }
    const ZStr text(reinterpret_cast<const char*>(data), int32_t(size));
    CheckNumber(text);
    for (PairSeparator sep : {PairSeparator::Blank, PairSeparator::Any}) {
        double a = 7.0;
        double b = 8.0;
        ZStr rest;
        if (ReadPair(text, a, b, rest, sep)) {
            Check(RestIsSuffix(text, rest));
            Check(std::isfinite(a) && std::isfinite(b));
        } else {
            Check(a == 7.0 && b == 8.0);
            Check(rest.ptr == text.ptr && rest.len == text.len);
        }
    }
    CheckRect(text);
    return 0;
}
