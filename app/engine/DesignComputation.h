#pragma once

#include "app/engine/DesignReport.h"

#include <string>
#include <string_view>
#include <vector>

/// What one recomputation produces for the calculator's views.
struct DesignOutputs
{
    std::string status;            ///< empty, or "Error: " and the first invalid input
    std::string report;            ///< the design report, lines ending in "\r\n"
    std::vector<double> responseX; ///< sweep frequencies, MHz
    std::vector<double> responseY; ///< negated attenuation, dB (zero or negative)
};

/// Recomputes a design from its parameter text: parses it into a fresh record, validates
/// it, synthesises it, writes the report in `unit` and fills the response arrays. Returns
/// true on success. When an input is invalid (or a value in the text is not a number) only
/// `status` changes, to "Error: " and the input's name, so the views keep the last valid
/// results; the function then returns false.
bool RecomputeDesign(std::string_view parms, LengthUnit unit, DesignOutputs& outputs);
