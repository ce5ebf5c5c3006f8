// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <string>

namespace plat::detail {

/// Gathers the blank-separated words of `line` greedily into lines for which `fits(text)`
/// holds, and hands each to `emit(text)`; a word that does not fit on a line of its own is
/// handed over alone (the caller may cut it further). Stops, returning false, when `emit`
/// returns false.
template <class Fits, class Emit> bool WrapWords(const std::string& line, Fits fits, Emit emit)
{
    std::string cur;
    bool any = false;
    for (size_t i = 0; i <= line.size();) {
        size_t sp = line.find(' ', i);
        if (sp == std::string::npos) {
            sp = line.size();
        }
        const std::string word = line.substr(i, sp - i);
        i = sp + 1;
        std::string trial = any ? cur + " " + word : word;
        if (any && !fits(trial)) {
            if (!emit(cur)) {
                return false;
            }
            trial = word;
        }
        cur = std::move(trial);
        any = true;
    }
    return emit(cur);
}

} // namespace plat::detail
