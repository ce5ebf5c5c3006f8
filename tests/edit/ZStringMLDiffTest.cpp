// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/edit/TextBufDriver.h"

#include <gtest/gtest.h>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

struct Config
{
    int32_t maxLines;
    int32_t maxChars;
    size_t maxText;
    int steps;
    uint32_t seed;
};

// Readable names for the block-limit settings in test lists and CTest.
void PrintTo(const Config& c, std::ostream* os)
{
    *os << c.maxLines << " lines, " << c.maxChars << " chars";
}

std::string ConfigName(const ::testing::TestParamInfo<Config>& param)
{
    return "Lines" + std::to_string(param.param.maxLines) + "Chars" +
           std::to_string(param.param.maxChars);
}

class ZStringMLDiffTest : public ::testing::TestWithParam<Config>
{
};

// Random insertions, removals, undos and redos on a buffer and a std::string model; after
// every step the texts agree and the block structure holds.
TEST_P(ZStringMLDiffTest, AgreesWithPlainStringModel)
{
    const Config& c = GetParam();
    std::mt19937 rng(c.seed);
    std::vector<uint8_t> bytes(size_t(c.steps) * 24);
    for (uint8_t& x : bytes) {
        x = uint8_t(rng());
    }
    textbuf::ByteSource in(bytes.data(), bytes.size());
    textbuf::Driver d(c.maxLines, c.maxChars, c.maxText);
    int steps = 0;
    while (steps < c.steps && !in.Empty()) {
        ASSERT_TRUE(d.Step(in)) << d.Failure();
        ++steps;
    }
    EXPECT_EQ(steps, c.steps);
}

INSTANTIATE_TEST_SUITE_P(Limits, ZStringMLDiffTest,
                         ::testing::Values(Config{1, 1, 300, 1500, 1}, Config{2, 8, 600, 2000, 2},
                                           Config{3, 16, 1500, 2000, 3},
                                           Config{8, 64, 3000, 2000, 4},
                                           Config{50, 400, 4000, 1500, 5},
                                           Config{10000, 20000, 70000, 300, 6}),
                         ConfigName);

} // namespace
