// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/engine/FilterResponse.h"

#include "app/engine/FilterDesign.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

bool SweepFits(const FilterDesign& d)
{
    return d.NFR >= 0 && d.NFR <= kMaxArrayEntries;
}

} // namespace

double StepSize(double bwmcMHz)
{
    if (200 / bwmcMHz >= 4.0) {
        return 1.0;
    }
    double v = bwmcMHz * 0.02;
    return v > 1.0 ? v : 1.0;
}

void FillSweep(FilterDesign& d)
{
    if (!SweepFits(d)) {
        return;
    }
    // The sweep starts NFR/2 steps below f0 and fills exactly NFR entries. For an odd
    // count the last point lies one step further up rather than being left unset.
    const int first = -(d.NFR / 2);
    for (int k = 0; k < d.NFR; ++k) {
        const int i = first + k;
        d.sweepFreq[k] = i * d.STP * 0.001 + d.fzmc;
    }
}

double AttenuationAt(const FilterDesign& d, double freqGHz)
{
    const double f0 = d.fzmc;
    const int n = d.ele;
    // Normalised lowpass frequency: 1 at the band edges fLow and fHigh (the narrow-band
    // mapping of a bandpass response onto its lowpass prototype).
    double x = 2 * (freqGHz - f0) / (f0 * d.fracBW);
    if (x < 0) {
        x = -x;
    }
    double a;
    if (d.rip == 0.0) {
        a = std::pow(x, static_cast<double>(2 * n));
    } else {
        // Inside the pass band the Chebyshev polynomial is evaluated at 1, so the curve
        // is flat at the ripple level instead of drawing the ripple itself.
        if (x < 1.0) {
            x = 1.0;
        }
        const double u = n * std::log(x + std::sqrt(x * x - 1));
        const double ch = (std::exp(-u) + std::exp(u)) * 0.5;
        const double eps2 = std::pow(10, d.rip * 0.1) - 1;
        a = eps2 * ch * ch;
    }
    return 10 * std::log(1 + a) / std::log(10);
}

void FillAttenuation(FilterDesign& d)
{
    if (!SweepFits(d)) {
        return;
    }
    for (int k = 0; k < d.NFR; ++k) {
        d.attenuation[k] = AttenuationAt(d, d.sweepFreq[k]);
    }
}

void FillResponseArrays(const FilterDesign& d, std::vector<double>& responseX,
                        std::vector<double>& responseY)
{
    const int count = std::clamp(d.NFR, 0, kMaxArrayEntries);
    responseX.resize(static_cast<std::size_t>(count));
    responseY.resize(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        responseX[k] = d.sweepFreq[k] * 1000.0;
        responseY[k] = -d.attenuation[k];
    }
}
