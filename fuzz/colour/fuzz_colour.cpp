// SPDX-License-Identifier: GPL-2.0-or-later
// Feeds arbitrary text to the colour reader and checks what every reader of colour text
// relies on: the rest lies inside the text, a failure gives black, and whatever is read is
// written as a text that reads back as the same colour.
#include "base/XColor.h"
#include "base/ZString.h"
#include "fuzz/FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

using fuzzcheck::Check;
using fuzzcheck::RestIsSuffix;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 4096) {
        return 0;
    }
    const ZStr text(reinterpret_cast<const char*>(data), int32_t(size));
    XColor colour = XColor::FromRGB(1, 2, 3);
    ZStr rest;
    const bool ok = colour.FromText(text, rest);
    if (!ok) {
        Check(colour.Value() == 0);
        Check(rest.ptr == text.ptr && rest.len == text.len);
        return 0;
    }
    Check(RestIsSuffix(text, rest));
    Check((colour.Value() >> 24) == 0 || colour.IsNone());

    ZString written;
    colour.ToText(written);
    XColor back;
    ZStr backRest;
    Check(back.FromText(written, backRest));
    Check(backRest.len == 0);
    Check(back == colour);

    ZString hex("#");
    ZString digits;
    colour.HexText(digits);
    Check(digits.Length() == 6);
    hex.Append(digits);
    Check(back.FromText(hex));
    Check(back.Red() == colour.Red() && back.Green() == colour.Green() &&
          back.Blue() == colour.Blue());

    // Through HLS and back every channel comes out equal or one step lower.
    XColor viaHls(colour.Hue(), colour.Lightness(), colour.Saturation());
    const int dr = colour.Red() - viaHls.Red();
    const int dg = colour.Green() - viaHls.Green();
    const int db = colour.Blue() - viaHls.Blue();
    Check(dr >= 0 && dr <= 1 && dg >= 0 && dg <= 1 && db >= 0 && db <= 1);

    // Mixing with fractions taken from the input, in and beyond [0, 1], yields some real
    // colour without tripping the sanitizers.
    const double f = size > 0 ? (double(data[0]) - 64.0) / 64.0 : 0.5;
    XColor mixed = colour.MixHLS(XColor::FromRGB(0, 128, 255), f, 1.0 - f, f * f);
    Check((mixed.Value() >> 24) == 0);
    return 0;
}
