// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

// A reader of Touchstone 1.1 two-port files as a circuit simulator reads them, shared by the
// tests of the network outputs and the fuzz target that writes them from hostile input.

#include <complex>
#include <sstream>
#include <string>
#include <vector>

using Complex = std::complex<double>;

// A Touchstone 1.1 two-port file as a simulator reads it: "!" comments, one option line,
// then lines of frequency and four real/imaginary pairs.
struct Touchstone
{
    std::vector<std::string> comments;
    std::vector<std::string> option; // the option line's words after "#"
    std::vector<double> mhz;
    std::vector<Complex> s11, s21, s12, s22;
};

/// Reads `text` into `t`; false with what is wrong in `problem`.
inline bool ParseTouchstone(const std::string& text, Touchstone& t, std::string& problem)
{
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty()) {
            continue;
        }
        if (line[0] == '!') {
            t.comments.push_back(line.substr(1));
            continue;
        }
        std::istringstream words(line);
        if (line[0] == '#') {
            if (!t.option.empty() || !t.mhz.empty()) {
                problem = "a second or late option line";
                return false;
            }
            std::string word;
            words.get(); // '#'
            while (words >> word) {
                t.option.push_back(word);
            }
            continue;
        }
        if (t.option.empty()) {
            problem = "data before the option line";
            return false;
        }
        double v[9];
        for (double& x : v) {
            if (!(words >> x)) {
                problem = "short data line: " + line;
                return false;
            }
        }
        std::string rest;
        if (words >> rest) {
            problem = "long data line: " + line;
            return false;
        }
        t.mhz.push_back(v[0]);
        t.s11.emplace_back(v[1], v[2]);
        t.s21.emplace_back(v[3], v[4]);
        t.s12.emplace_back(v[5], v[6]);
        t.s22.emplace_back(v[7], v[8]);
    }
    return true;
}
