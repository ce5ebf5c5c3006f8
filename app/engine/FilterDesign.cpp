// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/engine/FilterDesign.h"

#include <cmath>

namespace {

// Every test is written so that a value which is not a number fails it: a NaN compares
// false with everything, so "x must be above 0" reads !(x > 0.0) rather than x <= 0.0.
// For ordinary numbers both forms give the same answer.
bool IsFinite(double value)
{
    return std::isfinite(value);
}

} // namespace

std::optional<std::string> ValidateDesign(const FilterDesign& d)
{
    if (d.ele < kMinElements || d.ele > kMaxElements) {
        return std::string("Elements");
    }
    if (!IsFinite(d.rip) || d.rip < 0.0) {
        return std::string("Ripple");
    }
    if (d.rip > kMaxRippleDb || (d.rip != 0.0 && d.rip < kMinRippleDb)) {
        return std::string("Ripple");
    }
    // The limits in field units are converted as the parameter text is, so a value at a
    // limit compares equal to it.
    if (!IsFinite(d.fzmc) || !(d.fzmc > 0.0) || d.fzmc < kMinFrequencyMHz * 0.001 ||
        d.fzmc > kMaxFrequencyMHz * 0.001) {
        return std::string("Frequency");
    }
    if (!IsFinite(d.bwmc) || !(d.bwmc > 0.0) || d.bwmc < kMinBandwidthMHz ||
        d.bwmc > kMaxBandwidthMHz) {
        return std::string("Bandwidth");
    }
    if (!IsFinite(d.R) || !(d.R >= 1.0) || d.R > kMaxImpedanceOhm) {
        return std::string("Impedance");
    }
    if (!IsFinite(d.H) || !(d.H > 0.0) || d.H > kMaxLengthMm * kInchPerMm) {
        return std::string("Ground plane space");
    }
    if (d.H <= d.D) {
        return std::string("Ground plane space");
    }
    if (!IsFinite(d.D) || !(d.D > 0.0) || d.D < kMinRodDiameterMm * kInchPerMm) {
        return std::string("Rod Dia");
    }
    if (!IsFinite(d.E) || !(d.D * 0.5 < d.E) || d.E > kMaxLengthMm * kInchPerMm) {
        return std::string("End plate to rod");
    }
    // The sweep is stored in fixed arrays, so a count beyond their capacity is refused
    // like a count too small to draw.
    if (d.NFR < 3 || d.NFR > kMaxSweepPoints) {
        return std::string("Points to graph");
    }
    if (!IsFinite(d.STP) || !(d.STP > 0.0) || d.STP > kMaxStepMHz) {
        return std::string("Step size");
    }
    return std::nullopt;
}

std::string ErrorStatusText(const std::string& inputName)
{
    return "Error: " + inputName;
}
