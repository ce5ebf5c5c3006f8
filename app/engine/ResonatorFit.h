// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "app/engine/FilterNetwork.h"

#include <complex>
#include <vector>

// What a measured or modelled two-port filter is, in the terms the design speaks: the
// frequency of each resonator, the couplings of neighbours and the external Q at both ends,
// found by fitting the coupled-resonator model to its S11 and S21.

/// A response to fit: frequencies in GHz and S11, S21 at each.
struct MeasuredResponse
{
    std::vector<double> freqGHz;
    std::vector<std::complex<double>> s11;
    std::vector<std::complex<double>> s21;
};

/// The fitted model and the phase it needed besides: the ports of a real filter sit behind
/// feed lines, so the fit allows each of S11 and S21 a constant phase and both a common
/// delay.
struct ResonatorFit
{
    NetworkModel model; ///< detune, m, qe1 and qen fitted; f0, fbw and qu as given
    double phase11 = 0.0;
    double phase21 = 0.0;
    double delayNs = 0.0;
    double rms = 0.0; ///< the root mean square of the complex misfit over the points
};

/// Fits `start` (a design's model, lossless or with its Qu) to `data` over the points whose
/// frequency lies within [fromGHz, toGHz]. Levenberg-Marquardt from `start`, after a search
/// for the phases and delay. False when fewer points than unknowns lie in the window or the
/// fit does not come within `tolerance` rms of the data.
bool FitResonators(const NetworkModel& start, const MeasuredResponse& data, double fromGHz,
                   double toGHz, ResonatorFit& fit, double tolerance = 0.05);

/// The frequency, GHz, at which resonator i of `model` resonates alone (its detune).
double ResonatorFrequencyGHz(const NetworkModel& model, int i);

/// The coupling coefficient of resonators i+1 and i+2: fbw m(i).
double CouplingCoefficient(const NetworkModel& model, int i);

/// External Q of resonator 1 (port 1) or n (port 2).
double ExternalQ(const NetworkModel& model, int port);
