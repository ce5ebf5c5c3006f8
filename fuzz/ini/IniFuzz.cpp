// SPDX-License-Identifier: GPL-2.0-or-later
// Loads arbitrary bytes as an INI file, saves the model and loads the saved text again:
// the second model must equal the first, and a second save must give the same text.
#include "base/ZIni.h"
#include "fuzz/FuzzCheck.h"

#include <cstdio>
#include <cstdlib>

namespace {

using fuzzcheck::Check;

void CheckSameModel(const ZIni& a, const ZIni& b)
{
    XArray<ZString, false> sa, sb;
    a.ListSections(sa);
    b.ListSections(sb);
    Check(sa.Count() == sb.Count(), "section count");
    for (int32_t i = 0; i < sa.Count(); ++i) {
        Check(sa[i] == sb[i], "section order");
        XArray<ZString, false> ka, kb;
        a.ListKeys(sa[i], ka);
        b.ListKeys(sb[i], kb);
        Check(ka.Count() == kb.Count(), "key count");
        for (int32_t k = 0; k < ka.Count(); ++k) {
            Check(ka[k] == kb[k], "key names");
            ZString va, vb;
            a.Get(sa[i], ka[k], va);
            b.Get(sb[i], kb[k], vb);
            Check(va == vb, "values");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1 << 20) {
        return 0;
    }
    ZIni first;
    bool ok1 = first.LoadText(ZStr(reinterpret_cast<const char*>(data), int32_t(size)));
    ZString saved = first.BuildText();
    ZIni second;
    bool ok2 = second.LoadText(saved);
    Check(ok1 == ok2, "parse result");
    CheckSameModel(first, second);
    // Setting values and saving again keeps them readable.
    second.Set("C_1", "Parms", "ele=5\t&rip=1");
    second.Set("", "Recent", "C_1");
    ZIni third;
    third.LoadText(second.BuildText());
    ZString v;
    Check(third.Get("C_1", "Parms", v) && v == "ele=5\t&rip=1", "set value survives");
    Check(third.Get("", "Recent", v) && v == "C_1", "default section value survives");
    return 0;
}
