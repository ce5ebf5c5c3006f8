// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The texts the editor benchmarks load and edit.

#include <map>
#include <random>
#include <string>

/// `lines` lines of 30 to 70 lower-case letters (about 50 on average), one in seven of them
/// a blank when `blanks` is set, each line ending in "\n"; the same for every run.
inline const std::string& BenchSourceText(int lines, bool blanks)
{
    static std::map<std::pair<int, bool>, std::string> texts;
    std::string& t = texts[{lines, blanks}];
    if (t.empty()) {
        std::mt19937 rng(blanks ? 4711 : 12345);
        t.reserve(size_t(lines) * 52);
        for (int i = 0; i < lines; ++i) {
            const int len = 30 + int(rng() % 41);
            for (int k = 0; k < len; ++k) {
                t += blanks && rng() % 7 == 0 ? ' ' : char('a' + rng() % 26);
            }
            t += '\n';
        }
    }
    return t;
}
