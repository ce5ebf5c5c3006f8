// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/engine/FilterSynthesis.h"

#include "app/engine/FilterDesign.h"
#include "app/engine/FilterResponse.h"

#include <atomic>
#include <cmath>

namespace {

std::atomic<long> s_syntheses{0};

// Free-space propagation in inches per nanosecond; with f0 in GHz, 11.8028/f0 is a
// wavelength in inches.
constexpr double kInchPerNs = 11.8028;
// Impedance of a line per unit logarithm of the geometry ratio: eta0/(2*pi) in ohms.
constexpr double kLineImpedanceFactor = 59.9585;
// Parallel-plate capacitance of a rod's end face: 0.17655*D*D/gap pF for D and the gap in
// inches (epsilon0*pi/4 expressed in pF per inch).
constexpr double kEndFaceCapacitance = 0.17655;

// tanh(pi*E/H) as (e^x - 1)/(e^x + 1) with x = 2*pi*E/H. When the end wall is far enough
// away for e^x to overflow, the quotient would be inf/inf; the wall then no longer affects
// the end rod, and T is 1, the limit of tanh.
double EndWallFactor(double E, double H)
{
    const double ex = std::exp(2 * kPi * E / H);
    if (std::isinf(ex)) {
        return 1.0;
    }
    return (ex - 1) / (ex + 1);
}

// Ratio of the 3 dB bandwidth to the ripple bandwidth of an equal-ripple response of order
// n: the frequency where eps2*T_n(x)^2 = 1. For a ripple below 3.0103 dB that point lies
// outside the ripple band, x = cosh(acosh(y)/n) with y = 1/sqrt(eps2). For a larger ripple
// the loss passes 3 dB inside the ripple band; the outermost such frequency is
// x = cos(acos(y)/n), the continuation of the same formula for y below 1.
double ChebyshevBandwidthRatio(double rip, int n)
{
    const double eps2 = std::pow(10, rip * 0.1) - 1;
    const double y = 1 / std::sqrt(eps2);
    if (y >= 1.0) {
        const double u = std::log(y + std::sqrt(y * y - 1)) / n;
        return (std::exp(-u) + std::exp(u)) * 0.5;
    }
    return std::cos(std::acos(y) / n);
}

// Root of B(l) = 0 by inverse quadratic (Lagrange) interpolation through three points.
double InterpolateRoot(const double l[3], const double b[3])
{
    return l[2] * b[0] * b[1] / ((b[2] - b[0]) * (b[2] - b[1])) +
           l[1] * b[0] * b[2] / ((b[1] - b[2]) * (b[1] - b[0])) +
           l[0] * b[1] * b[2] / ((b[0] - b[2]) * (b[0] - b[1]));
}

// Centre-to-centre spacing of two round rods between ground planes H apart for a coupling
// exponent: P = coth(pi*D/(4H))^exponent, s = (H/pi)*ln((P + 1)/(P - 1)).
double RodSpacing(double H, double cothD, double exponent)
{
    const double P = std::pow(cothD, exponent);
    // A very wide band couples the rods so strongly that P overflows; the spacing then takes
    // its limit, 0 (ln((P + 1)/(P - 1)) falls as 2/P), rather than inf/inf.
    if (std::isinf(P)) {
        return 0.0;
    }
    return (H / kPi) * std::log((P + 1) / (P - 1));
}

// Rod lengths shortened by the capacitance of the open ends: each length is the root of the
// susceptance seen at the open end, found from three trial lengths.
void ComputeRodLengths(FilterDesign& d)
{
    const double f0 = d.fzmc;
    const double H = d.H;
    const double D = d.D;
    const double qw = d.quarterWave;

    // Fringing capacitance of the open end of a round rod between ground planes, a fitted
    // polynomial in D/H, in pF.
    const double r = D / H;
    const double Cf = (-4.22e-05 + 0.0857397 * r + 0.0067853 * r * r - 0.09092165 * r * r * r +
                       0.169088 * r * r * r * r) *
                      H * kPi * 2.54;
    // Angular frequency times 1e-12, so that omega*C with C in pF is a susceptance in S.
    const double omega = kPi * f0 * 2e9 * 1e-12;
    const double K = kEndFaceCapacitance * D * D;

    const double thetaT = kPi * d.tapHeight / (2 * qw);
    const double G = 1 / d.R;
    const double Bt = -std::cos(thetaT) / (d.zEnd * std::sin(thetaT));

    const double lengths[3] = {0.8 * qw, 0.87 * qw, 0.95 * qw};
    double interiorB[3];
    double endB[3];
    for (int i = 0; i < 3; ++i) {
        const double l = lengths[i];
        const double theta = kPi * l / (2 * qw);
        // The gap between the open end and the opposite wall is quarterWave - l.
        const double Bc = omega * (K / (qw - l) + Cf);
        interiorB[i] = Bc - std::cos(theta) / (d.zInterior * std::sin(theta));
        // The end rod: the section below the tap is a shorted stub in parallel with the
        // source conductance; that admittance is transformed along the section from the tap
        // to the open end.
        const double tau = std::sin(theta - thetaT) / std::cos(theta - thetaT);
        endB[i] =
            ImagOfQuotient(G, Bt + tau / d.zEnd, 1 - d.zEnd * tau * Bt, G * d.zEnd * tau) + Bc;
    }
    d.interiorRodLength = InterpolateRoot(lengths, interiorB);
    d.endRodLength = InterpolateRoot(lengths, endB);
}

} // namespace

void ButterworthPrototype(FilterDesign& d, int n)
{
    for (int k = 1; k <= n; ++k) {
        d.g[k - 1] = 2 * std::sin((2 * k - 1) * kHalfPi / n);
    }
    d.g[n] = 1.0;
}

void ChebyshevPrototype(FilterDesign& d, int n, double rip)
{
    // Element values of the equal-ripple prototype (Matthaei, Young and Jones, sec. 4.05).
    const double x = 2 * rip * 0.05757052389176741;
    const double beta = std::log((std::exp(x) + 1) / (std::exp(x) - 1));
    const double gamma = (std::exp(beta / (2 * n)) - std::exp(-beta / (2 * n))) * 0.5;

    for (int k = 1; k <= n; ++k) {
        d.chebA[k - 1] = std::sin((2 * k - 1) * kPi * 0.5 / n);
        const double s = std::sin(k * kPi / n);
        d.chebB[k - 1] = s * s + gamma * gamma;
    }
    d.g[0] = 2 * d.chebA[0] / gamma;
    for (int k = 2; k <= n; ++k) {
        d.g[k - 1] = 4 * d.chebA[k - 2] * d.chebA[k - 1] / (d.chebB[k - 2] * d.g[k - 2]);
    }
    if ((n + 1) / 2 - n / 2 > 0) {
        d.g[n] = 1.0;
    } else {
        // An even order ends on a mismatched load: coth^2(beta/4).
        const double e = std::exp(beta / 2);
        const double c = (e + 1) / (e - 1);
        d.g[n] = c * c;
    }
}

double ImagOfQuotient(double a, double b, double c, double d)
{
    return (b * c - a * d) / (c * c + d * d);
}

bool Synthesize(FilterDesign& d)
{
    const int n = d.ele;
    if (n < 2 || n >= kMaxArrayEntries || d.NFR < 0 || d.NFR > kMaxArrayEntries) {
        return false;
    }
    s_syntheses.fetch_add(1, std::memory_order_relaxed);
    const double f0 = d.fzmc;
    const double H = d.H;
    const double D = d.D;
    const double E = d.E;

    for (int i = 0; i < kClearedSpacings; ++i) {
        d.spacing[i] = 0.0;
    }
    FillSweep(d);

    // bwmc in MHz times 0.0005 is half the bandwidth in GHz.
    d.fLow = f0 - d.bwmc * 0.0005;
    d.fHigh = d.bwmc * 0.0005 + f0;

    double bwRatio;
    if (d.rip == 0.0) {
        d.bwRipple = 0.0;
        d.bw3dB = d.fHigh - d.fLow;
        bwRatio = 1.0;
        ButterworthPrototype(d, n);
    } else {
        bwRatio = ChebyshevBandwidthRatio(d.rip, n);
        ChebyshevPrototype(d, n, d.rip);
        d.bwRipple = d.fHigh - d.fLow;
        d.bw3dB = d.bwRipple * bwRatio;
    }

    d.fracBW = 2 * (d.fHigh - d.fLow) / (d.fLow + d.fHigh);
    d.filterQ = f0 / d.bw3dB;
    d.quarterWave = kInchPerNs / (4 * f0);

    // Couplings between neighbouring resonators, k = 1/(q*sqrt(g(i)g(i+1))) with the
    // normalised values relative to the 3 dB bandwidth.
    for (int i = 0; i <= n - 2; ++i) {
        d.normCoupling[i] = 1 / (std::sqrt(d.g[i] * d.g[i + 1]) * bwRatio);
        d.coupling[i] = d.normCoupling[i] / d.filterQ;
    }
    d.normCoupling[n - 1] = bwRatio * d.g[0];
    d.normCoupling[n] = 0.0;
    // External Q of the end resonators.
    const double Qe = bwRatio * d.g[0] * d.filterQ;

    // Characteristic impedance of a round rod centred between ground planes,
    // Z = 59.9585*ln(4H/(pi*D)); the end wall at distance E reduces it by tanh(pi*E/H).
    const double T = EndWallFactor(E, H);
    d.zInterior = kLineImpedanceFactor * std::log(4 * H / (kPi * D));
    d.zEnd = kLineImpedanceFactor * std::log(4 * H * T / (kPi * D));

    const double cothD = (std::exp(kPi * D / (2 * H)) + 1) / (std::exp(kPi * D / (2 * H)) - 1);
    // The first gap sees the end rod's different impedance; the last gap mirrors the first
    // so that the filter stays symmetric, and is not computed from the last coupling.
    d.spacing[0] =
        RodSpacing(H, cothD, std::sqrt(d.zInterior / d.zEnd) * d.coupling[0] * kPi * 0.25);
    for (int j = 1; j <= n - 3; ++j) {
        d.spacing[j] = RodSpacing(H, cothD, kPi * d.coupling[j] * 0.25);
    }
    d.spacing[n - 2] = d.spacing[0];

    // Tap height that loads the end resonator to its external Q:
    // sin^2(pi*h/(2*quarterWave)) = pi*R/(4*Qe*zEnd). Without a solution (right side above
    // 1) the tap height is not a number: that design cannot be tapped.
    const double s = std::sqrt(kPi * d.R / (4 * Qe * d.zEnd));
    d.tapHeight = (2 * d.quarterWave / kPi) * std::atan(s / std::sqrt(1 - s * s));

    // Unloaded Q of one resonator, an empirical estimate that grows with the ground-plane
    // spacing and the square root of the frequency.
    d.qUnloaded = 2200 * H * std::sqrt(f0);

    double sumG = 0.0;
    for (int i = 0; i < n; ++i) {
        sumG += d.g[i];
    }
    // Dissipation loss at band centre (S. B. Cohn, "Dissipation Loss in Multiple-Coupled-
    // Resonator Filters", Proc. IRE 47, 1959) and group delay at band centre, both from the
    // bandwidth entered.
    d.lossDb = 4.34 * f0 * sumG / ((d.fHigh - d.fLow) * d.qUnloaded);
    d.delayNs = sumG / (2 * kPi * (d.fHigh - d.fLow));

    FillAttenuation(d);
    ComputeRodLengths(d);
    return true;
}

long SynthesisCount()
{
    return s_syntheses.load(std::memory_order_relaxed);
}
