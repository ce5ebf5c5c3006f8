// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/engine/FieldSolver.h"

#include "app/engine/LinearSolve.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kEpsilon0 = 8.8541878128e-12; // F/m
constexpr double kLightSpeed = 299792458.0;    // m/s
constexpr double kPiExact = 3.14159265358979323846;

// 2 pi epsilon0 times the potential at (x, y) of a unit line charge at (x0, y0) between two
// grounded planes at y = 0 and y = H, without the end walls. Conformal mapping of the strip
// onto a half plane (w = exp(pi z / H)) with one image charge gives (Smythe, "Static and
// Dynamic Electricity", 3rd ed., 4.20):
//   G = 1/2 ln[(cosh(a) - cos(b+)) / (cosh(a) - cos(b-))],
// a = pi (x - x0) / H, b+ = pi (y + y0) / H, b- = pi (y - y0) / H. It vanishes on both planes
// and behaves as -ln r near the charge. Written with log1p, so that the small value far from
// the charge keeps its digits.
double StripGreen(double dx, double y, double y0, double h)
{
    const double a = kPiExact * dx / h;
    const double cosPlus = std::cos(kPiExact * (y + y0) / h);
    const double cosMinus = std::cos(kPiExact * (y - y0) / h);
    const double den = std::cosh(a) - cosMinus;
    return 0.5 * std::log1p((cosMinus - cosPlus) / den);
}

// The part of StripGreen that stays finite at the charge: G + ln r as r goes to 0, where
// cosh(a) - cos(b-) tends to (pi r / H)^2 / 2.
double StripGreenRegularAtSource(double y0, double h)
{
    const double num = 1.0 - std::cos(2.0 * kPiExact * y0 / h);
    return 0.5 * std::log(num) - 0.5 * std::log(kPiExact * kPiExact / (2.0 * h * h));
}

// The end walls at x = 0 and x = W (when W > 0) as images of the charge at x0: +1 at
// x0 + 2mW and -1 at -x0 + 2mW for every integer m. The strip's Green function falls off as
// exp(-pi |dx| / H), so images further than 6 H from the field point add less than 1e-8 of
// the potential, far below the solution's accuracy.
template <class Fn> void ForEachImage(double x, double x0, double w, double h, Fn fn)
{
    if (!(w > 0.0)) {
        fn(x0, 1.0);
        return;
    }
    const double reach = 6.0 * h;
    const int m0 = int(std::floor((x - reach) / (2.0 * w))) - 1;
    const int m1 = int(std::ceil((x + reach) / (2.0 * w))) + 1;
    for (int m = m0; m <= m1; ++m) {
        for (const auto& [pos, sign] :
             {std::pair{x0 + 2.0 * m * w, 1.0}, std::pair{-x0 + 2.0 * m * w, -1.0}}) {
            if (std::fabs(x - pos) <= reach) {
                fn(pos, sign);
            }
        }
    }
}

// 2 pi epsilon0 times the potential at (x, y) of a unit line charge at (x0, y0) in the
// closed cross-section.
double BoxGreen(double x, double y, double x0, double y0, double w, double h)
{
    double sum = 0.0;
    ForEachImage(x, x0, w, h,
                 [&](double pos, double sign) { sum += sign * StripGreen(x - pos, y, y0, h); });
    return sum;
}

// The same without the source's own -ln r: the limit of BoxGreen + ln r at the source.
double BoxGreenRegularAtSource(double x0, double y0, double w, double h)
{
    double sum = 0.0;
    ForEachImage(x0, x0, w, h, [&](double pos, double sign) {
        if (pos == x0 && sign > 0.0) {
            sum += StripGreenRegularAtSource(y0, h);
        } else {
            sum += sign * StripGreen(x0 - pos, y0, y0, h);
        }
    });
    return sum;
}

// Gauss-Legendre nodes and weights on [-1, 1].
constexpr double kGauss8Nodes[8] = {-0.9602898564975363, -0.7966664774136267, -0.5255324099163290,
                                    -0.1834346424956498, 0.1834346424956498,  0.5255324099163290,
                                    0.7966664774136267,  0.9602898564975363};
constexpr double kGauss8Weights[8] = {0.1012285362903763, 0.2223810344533745, 0.3137066458778873,
                                      0.3626837833783620, 0.3626837833783620, 0.3137066458778873,
                                      0.2223810344533745, 0.1012285362903763};

constexpr double kGauss2Nodes[2] = {-0.5773502691896258, 0.5773502691896258};
constexpr double kGauss2Weights[2] = {1.0, 1.0};
constexpr double kGauss4Nodes[4] = {-0.8611363115940526, -0.3399810435848563, 0.3399810435848563,
                                    0.8611363115940526};
constexpr double kGauss4Weights[4] = {0.3478548451374538, 0.6521451548625461, 0.6521451548625461,
                                      0.3478548451374538};

bool SoundGeometry(const RodCrossSection& s)
{
    const double r = s.rodDiameter / 2.0;
    if (s.centres.empty() || !(r > 0.0) || !(s.planeSpacing > 2.0 * r) ||
        !std::isfinite(s.planeSpacing)) {
        return false;
    }
    for (size_t i = 0; i < s.centres.size(); ++i) {
        const double x = s.centres[i];
        if (!std::isfinite(x)) {
            return false;
        }
        if (s.wallDistance > 0.0 && !(x > r && x < s.wallDistance - r)) {
            return false;
        }
        if (i > 0 && !(std::fabs(x - s.centres[i - 1]) > 2.0 * r)) {
            return false;
        }
    }
    return true;
}

} // namespace

bool SolveCapacitance(const RodCrossSection& section, int pointsPerRod, CapacitanceMatrix& out)
{
    if (!SoundGeometry(section) || pointsPerRod < 8) {
        return false;
    }
    const int rods = int(section.centres.size());
    const int per = pointsPerRod;
    const int n = rods * per;
    const double h = section.planeSpacing;
    const double w = section.wallDistance;
    const double r = section.rodDiameter / 2.0;
    const double y0 = h / 2.0;
    const double dTheta = 2.0 * kPiExact / per;
    const double arc = r * dTheta; // every segment's length

    // Method of moments with a constant charge density on each segment of each rod's surface
    // and the potential matched at the segment's middle (Harrington, "Field Computation by
    // Moment Methods", ch. 2). Entry (i, j) is 2 pi epsilon0 times the potential at the middle
    // of segment i of a unit density on segment j: Gauss quadrature along the arc, and for a
    // segment on itself the -ln r part integrated exactly over its chord,
    // w (1 - ln(w / 2)), plus the regular part at its middle times w.
    std::vector<double> xs(static_cast<size_t>(n));
    std::vector<double> ys(static_cast<size_t>(n));
    for (int k = 0; k < rods; ++k) {
        for (int s = 0; s < per; ++s) {
            const double t = (s + 0.5) * dTheta;
            xs[size_t(k * per + s)] = section.centres[size_t(k)] + r * std::cos(t);
            ys[size_t(k * per + s)] = y0 + r * std::sin(t);
        }
    }
    std::vector<double> p(size_t(n) * size_t(n));
    for (int j = 0; j < n; ++j) {
        const int rod = j / per;
        const double xc = section.centres[size_t(rod)];
        const double t0 = (j % per + 0.5) * dTheta;
        for (int i = 0; i < n; ++i) {
            double v = 0.0;
            if (i == j) {
                v = arc * (1.0 - std::log(arc / 2.0)) +
                    arc * BoxGreenRegularAtSource(xs[size_t(j)], ys[size_t(j)], w, h);
            } else {
                // Eight points for a segment's near neighbours on its own rod; a segment
                // further round the rod or on the next rod is far enough for four to integrate
                // the smooth kernel as well, and two do for a rod beyond the next.
                const int around = std::abs(i % per - j % per);
                const bool close = i / per == rod && std::min(around, per - around) <= 2;
                const int apart = close ? 0 : std::max(1, std::abs(i / per - rod));
                const int points = apart == 0 ? 8 : apart == 1 ? 4 : 2;
                const double* nodes = apart == 0   ? kGauss8Nodes
                                      : apart == 1 ? kGauss4Nodes
                                                   : kGauss2Nodes;
                const double* weights = apart == 0   ? kGauss8Weights
                                        : apart == 1 ? kGauss4Weights
                                                     : kGauss2Weights;
                for (int g = 0; g < points; ++g) {
                    const double t = t0 + 0.5 * dTheta * nodes[g];
                    const double sx = xc + r * std::cos(t);
                    const double sy = y0 + r * std::sin(t);
                    v += 0.5 * arc * weights[g] *
                         BoxGreen(xs[size_t(i)], ys[size_t(i)], sx, sy, w, h);
                }
            }
            p[size_t(i) * n + j] = v;
        }
    }
    // One right-hand side per rod: that rod at 1 V, every other surface at 0 V. The potential
    // coefficients carry 1 / (2 pi epsilon0); the densities come out in units of 2 pi epsilon0.
    std::vector<double> b(size_t(n) * size_t(rods), 0.0);
    for (int i = 0; i < n; ++i) {
        b[size_t(i) * rods + size_t(i / per)] = 1.0;
    }
    if (!SolveLinear(p, b, n, rods)) {
        return false;
    }
    out.n = rods;
    out.c.assign(size_t(rods) * size_t(rods), 0.0);
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < rods; ++j) {
            out.c[size_t(i / per) * rods + j] +=
                b[size_t(i) * rods + j] * arc * 2.0 * kPiExact * kEpsilon0;
        }
    }
    return true;
}

double AirLineImpedance(double faradPerMetre)
{
    return 1.0 / (kLightSpeed * faradPerMetre);
}
