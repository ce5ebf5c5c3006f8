// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/XValueRef.h"
#include "base/ZString.h"

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace charttest {

inline std::string S(const ZString& s)
{
    return std::string(s.Text(), size_t(s.Length()));
}

inline std::vector<double> V(const XRealArray& a)
{
    return std::vector<double>(a.begin(), a.end());
}

/// Replaces the contents of a with values. A fresh array is moved in, which keeps GCC's
/// bounds analysis quiet about growing an emptied array in place.
inline void Fill(XRealArray& a, std::initializer_list<double> values)
{
    XRealArray fresh(int32_t(values.size()), int32_t(values.size()));
    int32_t i = 0;
    for (double v : values) {
        fresh[i++] = v;
    }
    a = std::move(fresh);
}

} // namespace charttest
