// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

// Helpers shared by the filter tests: designs built the way the calculator builds them
// (field values, parameter text, parse, validate, synthesise) and the reference reports.

#include "app/engine/DesignInputs.h"
#include "app/engine/FilterDesign.h"
#include "app/engine/FilterSynthesis.h"
#include "app/engine/ParmsText.h"

#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

// The record is large; tests keep it on the heap like the calculator does.
inline std::unique_ptr<FilterDesign> ParsedDesign(const DesignInputs& inputs)
{
    auto design = std::make_unique<FilterDesign>();
    EXPECT_FALSE(ParmsToDesign(BuildParms(inputs), *design).has_value());
    return design;
}

inline std::unique_ptr<FilterDesign> SynthesizedDesign(const DesignInputs& inputs)
{
    auto design = ParsedDesign(inputs);
    EXPECT_EQ(ValidateDesign(*design), std::nullopt);
    EXPECT_TRUE(Synthesize(*design));
    return design;
}

inline std::string ReadTestData(const std::string& name)
{
    std::ifstream file(std::string(TESSERA_ENGINE_TEST_DATA) + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// Splits at "\n" (a trailing line end gives no extra empty line).
inline std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}
