#include "app/engine/DesignInputs.h"

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

// The field of a real-valued input; works on const and non-const inputs alike. The element
// count is an int and has no such field.
template <class Inputs> auto DoubleField(Inputs& in, DesignInput input) -> decltype(&in.rip)
{
    switch (input) {
    case DesignInput::Elements:
        return nullptr;
    case DesignInput::Ripple:
        return &in.rip;
    case DesignInput::CentreFrequency:
        return &in.fzmc;
    case DesignInput::Bandwidth:
        return &in.bwmc;
    case DesignInput::Impedance:
        return &in.R;
    case DesignInput::GroundPlaneSpacing:
        return &in.H;
    case DesignInput::RodDiameter:
        return &in.D;
    case DesignInput::EndPlate:
        return &in.E;
    }
    return nullptr;
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
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= 2147483647.0) {
        return INT_MAX;
    }
    if (value <= -2147483648.0) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

int SliderPositionFromField(const DesignInputs& in, DesignInput input)
{
    switch (input) {
    case DesignInput::Elements:
        return in.ele;
    case DesignInput::Ripple:
        return TruncateToInt(in.rip * 10);
    case DesignInput::CentreFrequency:
    case DesignInput::Bandwidth:
    case DesignInput::Impedance:
    case DesignInput::GroundPlaneSpacing:
    case DesignInput::RodDiameter:
    case DesignInput::EndPlate:
        return TruncateToInt(*DoubleField(in, input));
    }
    return 0;
}

void SetFieldFromSliderPosition(DesignInputs& in, DesignInput input, int position)
{
    switch (input) {
    case DesignInput::Elements:
        in.ele = position;
        return;
    case DesignInput::Ripple:
        in.rip = position * 0.1;
        return;
    case DesignInput::CentreFrequency:
    case DesignInput::Bandwidth:
    case DesignInput::Impedance:
    case DesignInput::GroundPlaneSpacing:
    case DesignInput::RodDiameter:
    case DesignInput::EndPlate:
        *DoubleField(in, input) = position;
        return;
    }
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
