// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <array>
#include <optional>
#include <string>

// The design record of an interdigital bandpass filter and the checks its inputs must pass
// before synthesis. Internal units: frequencies in GHz, bandwidth and sweep step in MHz,
// lengths in inches, impedances in ohms, capacitances in pF, delay in ns.

/// Capacity of every result array of a `FilterDesign`, in entries.
inline constexpr int kMaxArrayEntries = 2000;
/// Number of `spacing` entries cleared before each synthesis.
inline constexpr int kClearedSpacings = 200;
/// Range of resonator counts that validation accepts.
inline constexpr int kMinElements = 2;
inline constexpr int kMaxElements = 12;
/// Largest number of sweep points that validation accepts (the arrays' capacity).
inline constexpr int kMaxSweepPoints = kMaxArrayEntries;

// Limits of the real-valued inputs, in the units of the dialog's fields. They lie far
// beyond any filter that can be built (every design from 1 MHz to 100 GHz in any sensible
// box is inside them) and keep every result a finite number: past them the arithmetic
// overflows or underflows and the report would show "inf" and "nan".
/// Smallest ripple of the equal-ripple response, dB (0 itself selects the maximally flat one).
inline constexpr double kMinRippleDb = 0.0001;
/// Largest ripple, dB.
inline constexpr double kMaxRippleDb = 4.0;
/// Centre frequency range, MHz.
inline constexpr double kMinFrequencyMHz = 0.001;
inline constexpr double kMaxFrequencyMHz = 1e6;
/// Bandwidth range, MHz.
inline constexpr double kMinBandwidthMHz = 0.001;
inline constexpr double kMaxBandwidthMHz = 1e6;
/// Largest feed line impedance, ohm (the smallest is 1).
inline constexpr double kMaxImpedanceOhm = 1e6;
/// Largest ground-plane spacing and end-plate distance, mm.
inline constexpr double kMaxLengthMm = 1e6;
/// Smallest rod diameter, mm.
inline constexpr double kMinRodDiameterMm = 0.001;
/// Largest sweep step, MHz.
inline constexpr double kMaxStepMHz = 1e5;
/// The value of pi used throughout the design arithmetic (eight decimals, as the
/// design formulas have always been evaluated).
inline constexpr double kPi = 3.14159265;
/// pi/2 to eight decimals, used by the maximally flat prototype.
inline constexpr double kHalfPi = 1.57079633;
/// Millimetres to inches (1/25.4).
inline constexpr double kInchPerMm = 0.03937007874015748;

/// One filter design: the inputs as parsed from a parameter text, and every result that
/// `Synthesize` computes. A plain record; a value-initialised record has every field 0.
struct FilterDesign
{
    using Array = std::array<double, kMaxArrayEntries>;

    // Inputs.
    int ele = 0;       ///< number of resonators n
    double rip = 0.0;  ///< pass-band ripple, dB; 0.0 selects the maximally flat response
    double fzmc = 0.0; ///< centre frequency f0, GHz
    double bwmc = 0.0; ///< bandwidth, MHz (ripple bandwidth; 3 dB bandwidth when rip is 0)
    double R = 0.0;    ///< source and load resistance, ohm
    double H = 0.0;    ///< ground-plane spacing, inch
    double D = 0.0;    ///< rod diameter, inch
    double E = 0.0;    ///< end wall to the centre of the end rod, inch
    int NFR = 0;       ///< number of sweep points
    double STP = 0.0;  ///< sweep step, MHz

    // Result scalars.
    double fLow = 0.0;              ///< lower band edge, GHz
    double fHigh = 0.0;             ///< upper band edge, GHz
    double bw3dB = 0.0;             ///< 3 dB bandwidth, GHz
    double bwRipple = 0.0;          ///< ripple bandwidth, GHz; 0.0 for the maximally flat response
    double fracBW = 0.0;            ///< fractional bandwidth 2*(fHigh - fLow)/(fLow + fHigh)
    double filterQ = 0.0;           ///< f0 / bw3dB
    double qUnloaded = 0.0;         ///< estimated unloaded Q of one resonator
    double lossDb = 0.0;            ///< pass-band loss at band centre due to qUnloaded, dB
    double delayNs = 0.0;           ///< group delay at band centre, ns
    double quarterWave = 0.0;       ///< free-space quarter wavelength at f0, inch
    double endRodLength = 0.0;      ///< physical length of an end rod, inch
    double interiorRodLength = 0.0; ///< physical length of an interior rod, inch
    double tapHeight = 0.0;         ///< feed tap above the grounded end of the end rod, inch
    double zInterior = 0.0;         ///< line impedance of an interior rod, ohm
    double zEnd = 0.0;              ///< line impedance of an end rod, ohm

    // Result arrays (zero-based; n = ele).
    Array g{};            ///< entries 0..n: g1..g(n+1); entry n is the load value
    Array spacing{};      ///< entries 0..n-2: centre-to-centre spacing of rods i+1, i+2, inch
    Array coupling{};     ///< entries 0..n-2: coupling coefficient of rods i+1, i+2
    Array normCoupling{}; ///< 0..n-2 normalised couplings, n-1 normalised external Q, n 0.0
    Array sweepFreq{};    ///< entries 0..NFR-1: sweep frequencies, GHz
    Array attenuation{};  ///< entries 0..NFR-1: ideal response at each sweep frequency, dB
    Array chebA{};        ///< entries 0..n-1: work values a(k) of the equal-ripple prototype
    Array chebB{};        ///< entries 0..n-1: work values b(k) of the equal-ripple prototype
};

/// Checks the inputs of `design` in a fixed order and returns the name of the first
/// unacceptable input ("Elements", "Ripple", "Frequency", "Bandwidth", "Impedance",
/// "Ground plane space", "Rod Dia", "End plate to rod", "Points to graph", "Step size"),
/// or nothing when the design can be synthesised. Values that are not finite numbers are
/// unacceptable.
std::optional<std::string> ValidateDesign(const FilterDesign& design);

/// The status-line text for an input that failed validation: "Error: " and its name.
std::string ErrorStatusText(const std::string& inputName);
