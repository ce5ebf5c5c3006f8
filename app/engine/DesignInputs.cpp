// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/engine/DesignInputs.h"

#include "base/NumberReader.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// Indexed by DesignInput.
const DesignInputInfo kInputs[kDesignInputCount] = {
    {"Elements", "Elements", 1011, 2, 10},      {"Ripple dB", "Ripple", 1012, 0, 40},
    {"f C. MHz", "Frequency", 1010, 200, 5000}, {"f BW MHz", "Bandwidth", 1013, 1, 200},
    {"Z Ohm", "Impedance", 1014, 1, 200},       {"H mm", "Ground plane space", 1015, 1, 100},
    {"D mm", "Rod Dia", 1016, 1, 50},           {"E mm", "End plate to rod", 1017, 1, 100},
};

// The real-valued fields, indexed by DesignInput; the element count is an int and has none.
double DesignInputs::*const kRealFields[kDesignInputCount] = {
    nullptr,          &DesignInputs::rip, &DesignInputs::fzmc, &DesignInputs::bwmc,
    &DesignInputs::R, &DesignInputs::H,   &DesignInputs::D,    &DesignInputs::E,
};

// The field of a real-valued input; works on const and non-const inputs alike.
template <class Inputs> auto DoubleField(Inputs& in, DesignInput input) -> decltype(&in.rip)
{
    double DesignInputs::*const field = kRealFields[static_cast<int>(input)];
    return field != nullptr ? &(in.*field) : nullptr;
}

} // namespace

const DesignInputInfo& InputInfo(DesignInput input)
{
    return kInputs[static_cast<int>(input)];
}

DesignInput DesignInputAt(int index)
{
    return static_cast<DesignInput>(index);
}

int TruncateToInt(double value)
{
    return TruncToInt(value);
}

int SliderPositionFromField(const DesignInputs& in, DesignInput input)
{
    if (input == DesignInput::Elements) {
        return in.ele;
    }
    // The ripple slider moves in tenths of a dB, the others in whole units.
    const double scale = input == DesignInput::Ripple ? 10.0 : 1.0;
    return TruncateToInt(*DoubleField(in, input) * scale);
}

void SetFieldFromSliderPosition(DesignInputs& in, DesignInput input, int position)
{
    if (input == DesignInput::Elements) {
        in.ele = position;
        return;
    }
    *DoubleField(in, input) = input == DesignInput::Ripple ? position * 0.1 : double(position);
}

std::string FieldText(const DesignInputs& in, DesignInput input)
{
    // "%g" is at most 13 characters ("-1.23457e+308"), "%d" at most 11.
    char buffer[32];
    if (input == DesignInput::Elements) {
        std::snprintf(buffer, sizeof buffer, "%d", in.ele);
    } else {
        std::snprintf(buffer, sizeof buffer, "%g", *DoubleField(in, input));
    }
    return buffer;
}

void SetFieldFromText(DesignInputs& in, DesignInput input, const std::string& text)
{
    if (input == DesignInput::Elements) {
        // strtol rather than atoi: atoi has no defined result for a number beyond the
        // range of int, strtol saturates at the limits of long and is clamped below.
        const long value = std::strtol(text.c_str(), nullptr, 10);
        in.ele = value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
        return;
    }
    *DoubleField(in, input) = std::strtod(text.c_str(), nullptr);
}

bool FieldTextHasNumber(DesignInput input, const std::string& text)
{
    const char* begin = text.c_str();
    char* end = nullptr;
    if (input == DesignInput::Elements) {
        std::strtol(begin, &end, 10);
    } else {
        std::strtod(begin, &end);
    }
    return end != begin;
}
