// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <string>

// The eight design inputs as the calculator's dialog holds them (in the units of its
// labels), their defaults, their sliders, and the conversions between a field, its edit
// text and its slider position. Pure computation: the dialog only shows the results.

/// The dialog's field values, initialised to the default design.
struct DesignInputs
{
    int ele = 5;          ///< number of resonators
    double rip = 1.0;     ///< pass-band ripple, dB (0 gives the maximally flat response)
    double fzmc = 1200.0; ///< centre frequency, MHz
    double bwmc = 70.0;   ///< bandwidth, MHz
    double R = 50.0;      ///< feed line impedance, ohm
    double H = 20.0;      ///< ground-plane spacing, mm
    double D = 8.0;       ///< rod diameter, mm
    double E = 25.0;      ///< end plate to the centre of the end rod, mm
};

/// One of the eight inputs, in the order of their validation.
enum class DesignInput {
    Elements,
    Ripple,
    CentreFrequency,
    Bandwidth,
    Impedance,
    GroundPlaneSpacing,
    RodDiameter,
    EndPlate,
};

inline constexpr int kDesignInputCount = 8;

/// What the dialog shows for an input.
struct DesignInputInfo
{
    const char* label;     ///< the dialog's label: "Elements", "Ripple dB", "f C. MHz", ...
    const char* errorName; ///< the name validation reports for it: "Elements", "Ripple", ...
    int sliderId;          ///< control id of the input's slider
    int sliderMin;         ///< slider range, inclusive
    int sliderMax;
};

/// The fixed description of `input`.
const DesignInputInfo& InputInfo(DesignInput input);

/// The input at `index` (0..kDesignInputCount-1) in validation order.
DesignInput DesignInputAt(int index);

/// `value` truncated toward zero to a 32-bit integer, saturating at the limits of int;
/// a value that is not a number gives 0.
int TruncateToInt(double value);

/// Slider position that shows the field: the value truncated (the ripple times 10
/// truncated). The slider control itself clamps the position to its range.
int SliderPositionFromField(const DesignInputs& inputs, DesignInput input);

/// Sets the field from a slider position: the position itself (the ripple position * 0.1).
void SetFieldFromSliderPosition(DesignInputs& inputs, DesignInput input, int position);

/// Edit text of a field: "%d" for the element count, "%g" (six significant digits) for
/// the others.
std::string FieldText(const DesignInputs& inputs, DesignInput input);

/// Reads an edit text into its field as the C library reads numbers: leading white space
/// skipped, the longest numeric prefix used, 0 when there is none. An element count beyond
/// the range of int saturates at its limit.
void SetFieldFromText(DesignInputs& inputs, DesignInput input, const std::string& text);

/// Whether an edit text starts with a number as SetFieldFromText reads it (after leading
/// white space): false for an empty text or one like "abc", which the field reads as 0 but
/// which is no value the user gave.
bool FieldTextHasNumber(DesignInput input, const std::string& text);
