// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "app/engine/AsBuiltNetwork.h"
#include "app/engine/BuildGeometry.h"
#include "app/engine/ResonatorFit.h"

#include <string>
#include <vector>

struct FilterDesign;

// The design against the box as built: what the as-built network's response is in the
// design's terms, and the dimensions that make it the design's.

/// The as-built response measured as a builder would, and the resonators behind it.
struct AsBuiltSummary
{
    double centreMHz = 0.0; ///< the middle of the 3 dB band
    double lowMHz = 0.0;    ///< outermost -3 dB points of |S21|
    double highMHz = 0.0;
    /// max - min of |S21| in band: between the outermost minima of |S11| in the 3 dB band
    double rippleDb = 0.0;
    double returnLossDb = 0.0;        ///< the worst (smallest) return loss in that band
    std::vector<double> resonatorMHz; ///< each resonator's own frequency
    std::vector<double> coupling;     ///< coupling coefficients of neighbours
    double qe1 = 0.0;                 ///< external Q at port 1 and port 2
    double qen = 0.0;
    double fitRms = 0.0; ///< how closely the resonator model fits the response
};

/// Measures `data` (lossless S-parameters of the filter, measured or modelled) against the
/// design: the band and the match over the design's sweep, the resonators by a fit. False
/// when the fit fails.
bool SummarizeResponse(const FilterDesign& design, const MeasuredResponse& data,
                       AsBuiltSummary& summary);

/// The frequencies the summary and the correction sample: the ripple band widened by one
/// bandwidth on each side, 241 points.
std::vector<double> SummarySweepGHz(const FilterDesign& design);

/// The lossless as-built response of `geometry` over `freqGHz`. False with the reason in
/// `problem` when the geometry cannot be modelled.
bool AsBuiltResponse(const FilterDesign& design, const BuildGeometry& geometry,
                     const std::vector<double>& freqGHz, MeasuredResponse& data,
                     std::string& problem, CrossSectionCache* cache = nullptr);

/// How the correction went.
struct CorrectionResult
{
    int iterations = 0;    ///< Newton steps taken
    double residual = 0.0; ///< the largest relative error left (frequency, coupling, Qe)
    bool converged = false;
};

/// Solves for each rod's length (symmetric about the middle of the row), the spacings
/// (symmetric too) and the tap height such that the as-built network's resonators all
/// resonate at the design's centre, its couplings and external Q are the prototype's.
/// Newton's method on those n + 1 unknowns from the design's dimensions: a difference
/// Jacobian first, then Broyden's updates of it. `corrected` is `drawn` with the new
/// dimensions (box length, rod positions). False with the reason in `problem` when the
/// geometry cannot be modelled or the iteration does not converge.
bool CorrectGeometry(const FilterDesign& design, const BuildGeometry& drawn,
                     BuildGeometry& corrected, CorrectionResult& result, std::string& problem);

/// The as-built summary of `geometry` and, for comparison, the same measures of the ideal
/// lossless coupled-resonator model of the design. False with the reason in `problem`.
bool SummarizeAsBuilt(const FilterDesign& design, const BuildGeometry& geometry,
                      AsBuiltSummary& asBuilt, AsBuiltSummary& ideal, std::string& problem);
