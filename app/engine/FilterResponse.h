// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <vector>

struct FilterDesign;

// The ideal response of the prototype filter over a sweep around the centre frequency:
// an equal-ripple or maximally flat bandpass response mapped from the lowpass prototype.
// Dissipation and the real geometry do not enter it.

/// Sweep step in MHz for an entered bandwidth in MHz: 1.0 up to 50 MHz, above that 2 % of
/// the bandwidth (never less than 1.0), so that 200 points span four bandwidths.
double StepSize(double bwmcMHz);

/// Fills `sweepFreq[0..NFR-1]` (GHz) with NFR points STP MHz apart, the point at index
/// NFR/2 being the centre frequency. Does nothing unless 0 <= NFR <= the array capacity.
void FillSweep(FilterDesign& design);

/// Fills `attenuation[0..NFR-1]` (dB, zero or positive) at the sweep frequencies; needs
/// `fracBW` and the sweep. Does nothing unless 0 <= NFR <= the array capacity.
void FillAttenuation(FilterDesign& design);

/// Loss in dB of the ideal response at `freqGHz`, as `FillAttenuation` computes it.
double AttenuationAt(const FilterDesign& design, double freqGHz);

/// Resizes the chart's arrays to NFR entries (a negative NFR counts as 0; entries already
/// present survive when an array grows) and fills them: frequency in MHz and the negated
/// attenuation in dB (zero or negative).
void FillResponseArrays(const FilterDesign& design, std::vector<double>& responseX,
                        std::vector<double>& responseY);
