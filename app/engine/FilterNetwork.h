// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "app/engine/FilterDesign.h"

#include <array>
#include <complex>
#include <vector>

// The synthesised filter as a two-port network of n coupled resonators: scattering
// parameters with the resonators' finite unloaded Q, group delay, and the tuning table for
// adjusting a built filter on a network analyser. Unlike the ideal response this shows the
// pass-band ripple itself, the return loss and the phase.

/// The normalised coupling-matrix model of a synthesised design. A plain record: tests and
/// callers may change any field (detune a resonator, open a port) before evaluating it.
struct NetworkModel
{
    int n = 0;            ///< number of resonators, kMinElements..kMaxElements
    double f0GHz = 0.0;   ///< centre frequency sqrt(fLow * fHigh), GHz
    double fbw = 0.0;     ///< fractional bandwidth (fHigh - fLow) / f0
    double qu = 0.0;      ///< unloaded Q of every resonator; +infinity for a lossless filter
    double qe1 = 0.0;     ///< normalised external Q at port 1, g0*g1
    double qen = 0.0;     ///< normalised external Q at port 2, g(n)*g(n+1); +infinity opens it
    double lineOhm = 0.0; ///< reference impedance of both ports, ohm
    /// Normalised couplings m(i,i+1) of resonators i+1 and i+2 (entries 0..n-2).
    std::array<double, kMaxElements> m{};
    /// Normalised self-couplings m(i,i) (entries 0..n-1): 0 for a resonator tuned to f0; a
    /// large value detunes it far from the band.
    std::array<double, kMaxElements> detune{};
};

/// The network at one frequency.
struct NetworkPoint
{
    double freqGHz = 0.0;
    std::complex<double> s11;
    std::complex<double> s21;
    std::complex<double> s12;
    std::complex<double> s22;
    /// Group delay of S21, ns: -d(arg S21)/d(omega). 0 where S21 is exactly 0.
    double delay21Ns = 0.0;
    /// Group delay of S11 (the reflection at port 1), ns. 0 where S11 is exactly 0.
    double delay11Ns = 0.0;
};

/// Builds the model of a synthesised design (`Synthesize` has run) with unloaded Q `qu`
/// (+infinity for a lossless filter). Returns false, leaving `model` unchanged, when the
/// design's element count lies outside kMinElements..kMaxElements, its band edges or
/// prototype values are not positive finite numbers, or `qu` is not above 0.
bool BuildNetworkModel(const FilterDesign& design, double qu, NetworkModel& model);

/// Evaluates the model at `freqGHz` (above 0). A model that `BuildNetworkModel` accepted
/// gives finite results at every positive frequency.
NetworkPoint EvaluateNetwork(const NetworkModel& model, double freqGHz);

/// Evaluates the model at each frequency of `freqGHz`, in order.
std::vector<NetworkPoint> SweepNetwork(const NetworkModel& model,
                                       const std::vector<double>& freqGHz);

/// The design's own sweep: sweepFreq[0..NFR-1] in GHz (empty unless 0 <= NFR <= capacity).
std::vector<double> DesignSweepGHz(const FilterDesign& design);

/// `points` frequencies from `fromGHz` to `toGHz` inclusive, evenly spaced. Empty when
/// points < 2.
std::vector<double> LinearSweepGHz(double fromGHz, double toGHz, int points);

/// Magnitude in dB, 20*log10|s|, never below kNetworkDbFloor (so a perfect match prints as
/// a number, not as minus infinity).
double MagnitudeDb(std::complex<double> s);

/// The floor of `MagnitudeDb`, dB.
inline constexpr double kNetworkDbFloor = -300.0;

/// The numbers for tuning a built filter resonator by resonator.
struct TuningTable
{
    double f0GHz = 0.0; ///< the frequency at which the delays are measured, GHz
    double qe1 = 0.0;   ///< external Q of resonator 1 loaded by port 1
    double qen = 0.0;   ///< external Q of resonator n loaded by port 2
    /// Entry k-1: group delay of S11 at f0, ns, with resonators 1..k tuned and the others
    /// detuned (for k = n: all tuned, port 2 not yet connected).
    std::vector<double> delayNs;
    /// Entry i: coupling coefficient of resonators i+1 and i+2 (n-1 entries).
    std::vector<double> coupling;
};

/// Computes the tuning table of a synthesised design. Returns false, leaving `table`
/// unchanged, for a design that `BuildNetworkModel` refuses.
bool ComputeTuningTable(const FilterDesign& design, TuningTable& table);
