// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/engine/FilterDesign.h"

#include "TestDesigns.h"

#include <functional>
#include <gtest/gtest.h>
#include <limits>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct ValidationCase
{
    const char* what;
    std::function<void(FilterDesign&)> change;
    const char* expected; // nullptr: valid
};

TEST(FilterDesignTest, ValidationNamesTheFirstBadInput)
{
    const ValidationCase cases[] = {
        {"default", [](FilterDesign&) {}, nullptr},
        {"ele 1", [](FilterDesign& d) { d.ele = 1; }, "Elements"},
        {"ele 2", [](FilterDesign& d) { d.ele = 2; }, nullptr},
        {"ele 12", [](FilterDesign& d) { d.ele = 12; }, nullptr},
        {"ele 13", [](FilterDesign& d) { d.ele = 13; }, "Elements"},
        {"rip -0.1", [](FilterDesign& d) { d.rip = -0.1; }, "Ripple"},
        {"rip 0", [](FilterDesign& d) { d.rip = 0.0; }, nullptr},
        {"rip 4", [](FilterDesign& d) { d.rip = 4.0; }, nullptr},
        {"rip 4.01", [](FilterDesign& d) { d.rip = 4.01; }, "Ripple"},
        {"fzmc 0", [](FilterDesign& d) { d.fzmc = 0.0; }, "Frequency"},
        {"bwmc 0", [](FilterDesign& d) { d.bwmc = 0.0; }, "Bandwidth"},
        {"bwmc wider than 2 f0", [](FilterDesign& d) { d.bwmc = 5000.0; }, nullptr},
        {"R 0.5", [](FilterDesign& d) { d.R = 0.5; }, "Impedance"},
        {"R 1", [](FilterDesign& d) { d.R = 1.0; }, nullptr},
        {"H 0", [](FilterDesign& d) { d.H = 0.0; }, "Ground plane space"},
        {"D = H", [](FilterDesign& d) { d.D = d.H; }, "Ground plane space"},
        {"D 0", [](FilterDesign& d) { d.D = 0.0; }, "Rod Dia"},
        {"D negative", [](FilterDesign& d) { d.D = -0.1; }, "Rod Dia"},
        {"E = D/2", [](FilterDesign& d) { d.E = d.D * 0.5; }, "End plate to rod"},
        {"NFR 2", [](FilterDesign& d) { d.NFR = 2; }, "Points to graph"},
        {"NFR 3", [](FilterDesign& d) { d.NFR = 3; }, nullptr},
        {"NFR at capacity", [](FilterDesign& d) { d.NFR = kMaxSweepPoints; }, nullptr},
        {"NFR beyond capacity", [](FilterDesign& d) { d.NFR = kMaxSweepPoints + 1; },
         "Points to graph"},
        {"STP 0", [](FilterDesign& d) { d.STP = 0.0; }, "Step size"},
        // Far beyond any filter that can be built: the arithmetic would overflow.
        {"rip below the smallest", [](FilterDesign& d) { d.rip = 1e-300; }, "Ripple"},
        {"rip smallest", [](FilterDesign& d) { d.rip = kMinRippleDb; }, nullptr},
        {"rip -0", [](FilterDesign& d) { d.rip = -0.0; }, nullptr},
        {"fzmc 1e308 MHz", [](FilterDesign& d) { d.fzmc = 1e308 * 0.001; }, "Frequency"},
        {"fzmc 1e-320 MHz", [](FilterDesign& d) { d.fzmc = 1e-320 * 0.001; }, "Frequency"},
        {"fzmc lowest", [](FilterDesign& d) { d.fzmc = kMinFrequencyMHz * 0.001; }, nullptr},
        {"fzmc highest", [](FilterDesign& d) { d.fzmc = kMaxFrequencyMHz * 0.001; }, nullptr},
        {"fzmc above", [](FilterDesign& d) { d.fzmc = 1.001e6 * 0.001; }, "Frequency"},
        {"bwmc 1e308", [](FilterDesign& d) { d.bwmc = 1e308; }, "Bandwidth"},
        {"bwmc widest", [](FilterDesign& d) { d.bwmc = kMaxBandwidthMHz; }, nullptr},
        {"bwmc narrowest", [](FilterDesign& d) { d.bwmc = kMinBandwidthMHz; }, nullptr},
        {"bwmc below", [](FilterDesign& d) { d.bwmc = 0.0009; }, "Bandwidth"},
        {"R above", [](FilterDesign& d) { d.R = 1.1e6; }, "Impedance"},
        {"H 1e308 mm", [](FilterDesign& d) { d.H = d.E = 1e308 * kInchPerMm; },
         "Ground plane space"},
        {"H and E largest", [](FilterDesign& d) { d.H = d.E = kMaxLengthMm * kInchPerMm; },
         nullptr},
        {"D below", [](FilterDesign& d) { d.D = 0.0009 * kInchPerMm; }, "Rod Dia"},
        {"D smallest", [](FilterDesign& d) { d.D = kMinRodDiameterMm * kInchPerMm; }, nullptr},
        {"E above", [](FilterDesign& d) { d.E = 1.1e6 * kInchPerMm; }, "End plate to rod"},
        {"STP above", [](FilterDesign& d) { d.STP = 1.1e5; }, "Step size"},
        // Order: the first failing test decides.
        {"ele and rip", [](FilterDesign& d) { d.ele = 0, d.rip = -1; }, "Elements"},
        {"rip and R", [](FilterDesign& d) { d.rip = 5, d.R = 0; }, "Ripple"},
        {"H and D", [](FilterDesign& d) { d.H = 0, d.D = 0; }, "Ground plane space"},
        {"E and NFR", [](FilterDesign& d) { d.E = 0, d.NFR = 0; }, "End plate to rod"},
        {"NFR and STP", [](FilterDesign& d) { d.NFR = 0, d.STP = 0; }, "Points to graph"},
        // Values that are not finite numbers never reach the synthesis.
        {"rip NaN", [](FilterDesign& d) { d.rip = kNaN; }, "Ripple"},
        {"fzmc inf", [](FilterDesign& d) { d.fzmc = kInf; }, "Frequency"},
        {"bwmc NaN", [](FilterDesign& d) { d.bwmc = kNaN; }, "Bandwidth"},
        {"R inf", [](FilterDesign& d) { d.R = kInf; }, "Impedance"},
        {"H NaN", [](FilterDesign& d) { d.H = kNaN; }, "Ground plane space"},
        {"D NaN", [](FilterDesign& d) { d.D = kNaN; }, "Rod Dia"},
        {"E NaN", [](FilterDesign& d) { d.E = kNaN; }, "End plate to rod"},
        {"E inf", [](FilterDesign& d) { d.E = kInf; }, "End plate to rod"},
        {"STP inf", [](FilterDesign& d) { d.STP = kInf; }, "Step size"},
    };
    for (const ValidationCase& c : cases) {
        auto d = ParsedDesign(DesignInputs{});
        c.change(*d);
        const std::optional<std::string> result = ValidateDesign(*d);
        if (c.expected == nullptr) {
            EXPECT_EQ(result, std::nullopt) << c.what;
        } else {
            EXPECT_EQ(result, std::optional<std::string>(c.expected)) << c.what;
        }
    }
}

} // namespace
