// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

struct FilterDesign;

// Synthesis of an interdigital bandpass filter of round rods between ground planes, in the
// manner of G. L. Matthaei, "Interdigital Band-Pass Filters", IRE Trans. MTT-10 (1962), from
// the lowpass prototypes of Matthaei, Young and Jones, "Microwave Filters, Impedance-Matching
// Networks, and Coupling Structures" (1964); rod spacings, end-rod impedance, tap and
// open-end corrections use closed-form approximations for round rods.

/// Fills g(1)..g(n+1) (entries 0..n of `g`) with the maximally flat lowpass prototype of
/// order n. n must lie in 1..kMaxArrayEntries-1.
void ButterworthPrototype(FilterDesign& design, int n);

/// Fills g(1)..g(n+1) with the equal-ripple lowpass prototype of order n for a pass-band
/// ripple of `rip` dB (above 0), and its work values a(k), b(k) in `chebA` and `chebB`.
/// n must lie in 1..kMaxArrayEntries-1.
void ChebyshevPrototype(FilterDesign& design, int n, double rip);

/// Imaginary part of (a + jb)/(c + jd).
double ImagOfQuotient(double a, double b, double c, double d);

/// Computes every result of a validated design: prototype, bandwidths, couplings,
/// impedances, spacings, tap, Q, loss, delay, rod lengths, and the sweep and attenuation.
/// Returns false, computing nothing, when the element or sweep-point count does not fit
/// the record's arrays (that is, when the design was not validated).
bool Synthesize(FilterDesign& design);

/// How many syntheses `Synthesize` has run in this process (for measurements and tests: a
/// computed design is synthesised once, whatever outputs are made from it).
long SynthesisCount();
