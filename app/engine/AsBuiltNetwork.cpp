// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/engine/AsBuiltNetwork.h"

#include "app/engine/FieldSolver.h"
#include "app/engine/LinearSolve.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <map>

// The model.
//
// Rods. Along the rods (y, from ground wall A to ground wall B) the box falls into
// stretches in which the same rods are present: a rod ends at its open end, and the taps
// split the end rods. In each stretch the k present rods and the box form k coupled TEM
// lines in air (Matthaei, Young and Jones, "Microwave Filters, Impedance-Matching Networks,
// and Coupling Structures", 1964, sec. 5.09 and 10.02). The field solver gives their
// capacitance matrix C per metre; in a homogeneous medium L = C^-1 / c0^2, every mode
// travels at c0, and the stretch of length l is the 2k-port
//
//   [I1]   [ -j Yc cot(bl)   j Yc csc(bl) ] [V1]
//   [I2] = [  j Yc csc(bl)  -j Yc cot(bl) ] [V2],    Yc = c0 C,  b = w / c0,
//
// with currents into the stretch. A rod's grounded end is node 0 V. Dissipation enters as
// the attenuation of every line, b -> b (1 - j / (2 Qu)): a quarter-wave resonator of such
// a line has the unloaded Q Qu.
//
// Open ends. The open end of a rod at the gap g from the opposite wall carries the
// capacitance
//
//   Cend = e0 pi D^2 / (4 g) + C1 a H.
//
// The first term is the end face against the wall as a parallel-plate capacitor. The second
// is the fringing field around the end, written as an extension a H of the line times the
// capacitance per metre of the rod alone between the planes, C1 = 2 pi e0 / ln(4H / (pi D)).
// For the open end of a thin strip centred between planes H apart the extension is
// (ln 2 / pi) H = 0.2206 H (A. A. Oliner, "Equivalent circuits for discontinuities in
// balanced strip transmission line", IRE Trans. MTT-3, 1955), and the synthesis uses the
// same two terms (its fringing polynomial is a fit to that extension). The round rod's end
// fringes further: the full-wave runs in tests/engine/data/openems put every interior
// resonator 0.95 % below the network with the strip's value, and a = 0.248 brings them
// within 0.15 %.
//
// Coupling. The 2D cross-sections hold only the coupling of the uniform stretches; the field
// where a rod ends reaches across to its neighbours. The same runs give couplings 4.2 %
// above the 2D values, the same for every pair, so the mutual (off-diagonal) capacitances
// are scaled by 1.045. Both constants come from one design (5 rods, the wall feed, as
// drawn); the other runs (the cover feed, the corrected designs, 7 rods at another
// frequency and spacing) check them.
//
// Feeds. The connector is a 50 ohm port. Its lead to the tap is a line of its own:
// - wall feed: a square bar of side a at the tap's height, across from the end wall to the
//   rod. Its cross-section is a conductor between the ground planes with ground wall A
//   (or B) at the tap's distance, solved by the field solver with the round conductor of the
//   same capacitance, diameter 1.1803 a (the logarithmic capacity of a square, 0.5902 a, is
//   its equivalent radius; Polya and Szego, "Isoperimetric Inequalities in Mathematical
//   Physics", 1951). Its length is E - D/2.
// - cover feed: the connector's pin of diameter d from the ground plane up to the rod,
//   (H - D) / 2 long, in the corner of the ground wall (at the tap's distance a) and the
//   end wall (at E = b). Three images give
//     Z = eta0 / (2 pi) ln(4 a b / (d sqrt(a^2 + b^2))).

namespace {

using Complex = std::complex<double>;

constexpr double kMetrePerInch = 0.0254;
constexpr double kLightSpeed = 299792458.0;
constexpr double kEpsilon0 = 8.8541878128e-12;
constexpr double kPiExact = 3.14159265358979323846;
constexpr double kEtaOver2Pi = 59.9584916; // eta0 / (2 pi), ohm
// Equivalent diameter of a square conductor per unit side.
constexpr double kSquareEquivalentDiameter = 1.18034;
// The open end's fringing as an extension of the line, per unit plane spacing (above).
constexpr double kOpenEndExtension = 0.248;
// The scale of the cross-sections' mutual capacitances (above).
constexpr double kMutualFactor = 1.045;
// Surface segments per rod of the field solutions: against 32, 0.02 % on the default
// design's self capacitances and 0.06 % on the mutual ones, far inside the model's accuracy.
constexpr int kPointsPerRod = 12;

struct Extent
{
    double from = 0.0; // metres from ground wall A
    double to = 0.0;
    bool groundedOnA = true;
};

} // namespace

double OpenEndCapacitance(double d, double h, double gap)
{
    const double face = kEpsilon0 * kPiExact * d * d / (4.0 * gap);
    const double line = 2.0 * kPiExact * kEpsilon0 / std::log(4.0 * h / (kPiExact * d));
    return face + line * h * kOpenEndExtension;
}

bool BuildAsBuiltNetwork(const BuildGeometry& g, double portOhm, AsBuiltNetwork& out,
                         std::string& problem, CrossSectionCache* cache)
{
    const int n = int(g.rods.size());
    const double depth = g.boxDepthInch * kMetrePerInch;
    const double h = g.groundPlaneInch * kMetrePerInch;
    const double d = g.rodDiameterInch * kMetrePerInch;
    const double boxLength = g.boxLengthInch * kMetrePerInch;
    const double tap = g.tapInch * kMetrePerInch;
    if (n < 2 || !(depth > 0.0) || !(h > d) || !(d > 0.0) || !(boxLength > 0.0) ||
        !(portOhm > 0.0) || !std::isfinite(depth + h + boxLength + portOhm)) {
        problem = "the box or the rods have no sound size";
        return false;
    }

    // Each rod's extent along y, and the boundaries of the stretches.
    std::vector<Extent> rods;
    std::vector<double> bounds = {0.0, depth};
    for (const BuildRod& rod : g.rods) {
        const double length = rod.lengthInch * kMetrePerInch;
        if (!(length > 0.0) || !(length < depth)) {
            problem = "rod " + std::to_string(rod.number) + " does not fit in the box";
            return false;
        }
        Extent e;
        e.groundedOnA = rod.ground == GroundWall::A;
        e.from = e.groundedOnA ? 0.0 : depth - length;
        e.to = e.groundedOnA ? length : depth;
        bounds.push_back(e.groundedOnA ? e.to : e.from);
        rods.push_back(e);
    }
    if (!(tap > 0.0)) {
        problem = "the tap is not on the end rods";
        return false;
    }
    double tapAt[2];
    for (int end = 0; end < 2; ++end) {
        const Extent& e = rods[end == 0 ? 0 : n - 1];
        tapAt[end] = e.groundedOnA ? tap : depth - tap;
        if (!(tapAt[end] > e.from && tapAt[end] < e.to)) {
            problem = "the tap is not on the end rods";
            return false;
        }
        bounds.push_back(tapAt[end]);
    }
    std::sort(bounds.begin(), bounds.end());
    constexpr double kSame = 1e-9; // metres
    bounds.erase(std::unique(bounds.begin(), bounds.end(),
                             [](double a, double b) { return std::fabs(a - b) < kSame; }),
                 bounds.end());
    const int nb = int(bounds.size());

    // Nodes, boundary by boundary so that the matrix stays banded: -1 where the rod is
    // grounded, -2 where it is absent.
    std::vector<int> node(size_t(n) * size_t(nb), -2);
    int count = 0;
    for (int b = 0; b < nb; ++b) {
        for (int i = 0; i < n; ++i) {
            const Extent& e = rods[size_t(i)];
            const double y = bounds[size_t(b)];
            if (y < e.from - kSame || y > e.to + kSame) {
                continue;
            }
            const bool grounded = e.groundedOnA ? y < kSame : y > depth - kSame;
            node[size_t(i) * nb + b] = grounded ? -1 : count++;
        }
    }
    auto nodeAt = [&](int rod, double y) {
        for (int b = 0; b < nb; ++b) {
            if (std::fabs(bounds[size_t(b)] - y) < kSame) {
                return node[size_t(rod) * nb + b];
            }
        }
        return -2;
    };

    AsBuiltNetwork net;
    CrossSectionCache local;
    // Keyed by the cross-section: the box's length and the centres of the rods present.
    std::map<std::vector<double>, std::vector<double>>& solved =
        cache != nullptr ? cache->solved : local.solved;
    for (int b = 0; b + 1 < nb; ++b) {
        const double y0 = bounds[size_t(b)];
        const double y1 = bounds[size_t(b + 1)];
        AsBuiltNetwork::Stretch s;
        s.length = y1 - y0;
        bool present = false;
        RodCrossSection section;
        section.planeSpacing = h;
        section.rodDiameter = d;
        section.wallDistance = boxLength;
        for (int i = 0; i < n; ++i) {
            const Extent& e = rods[size_t(i)];
            if (e.from <= y0 + kSame && e.to >= y1 - kSame) {
                present = true;
                section.centres.push_back(g.rods[size_t(i)].centreInch * kMetrePerInch);
                s.low.push_back(node[size_t(i) * nb + b]);
                s.high.push_back(node[size_t(i) * nb + b + 1]);
            }
        }
        if (!present) {
            continue;
        }
        std::vector<double> key = section.centres;
        key.push_back(boxLength);
        auto found = solved.find(key);
        if (found == solved.end()) {
            CapacitanceMatrix c;
            if (!SolveCapacitance(section, kPointsPerRod, c)) {
                problem = "the rods touch each other or the walls";
                return false;
            }
            for (size_t q = 0; q < c.c.size(); ++q) {
                c.c[q] *= kLightSpeed * (q % size_t(c.n + 1) == 0 ? 1.0 : kMutualFactor);
            }
            found = solved.emplace(std::move(key), c.c).first;
        }
        s.yc = found->second;
        net.stretches.push_back(std::move(s));
    }

    for (int i = 0; i < n; ++i) {
        const Extent& e = rods[size_t(i)];
        const double open = e.groundedOnA ? e.to : e.from;
        const double gap = e.groundedOnA ? depth - e.to : e.from;
        net.openNode.push_back(nodeAt(i, open));
        net.openFarad.push_back(OpenEndCapacitance(d, h, gap));
    }
    net.tapNode[0] = nodeAt(0, tapAt[0]);
    net.tapNode[1] = nodeAt(n - 1, tapAt[1]);
    net.portNode[0] = count++;
    net.portNode[1] = count++;
    net.nodes = count;
    net.portOhm = portOhm;

    const double lead = g.leadSizeInch * kMetrePerInch;
    net.leadMetre = g.leadLengthInch * kMetrePerInch;
    if (!(lead > 0.0) || !(net.leadMetre > 0.0)) {
        problem = "the feed has no sound size";
        return false;
    }
    if (g.feed == FeedKind::Wall) {
        RodCrossSection section;
        section.planeSpacing = h;
        section.rodDiameter = kSquareEquivalentDiameter * lead;
        section.centres = {tap};
        section.wallDistance = depth;
        CapacitanceMatrix c;
        if (!SolveCapacitance(section, kPointsPerRod, c)) {
            problem = "the feed lead does not fit between the ground wall and the planes";
            return false;
        }
        net.leadOhm = AirLineImpedance(c.At(0, 0));
    } else {
        const double a = tap;
        const double b = g.endWallInch * kMetrePerInch;
        const double ratio = 4.0 * a * b / (lead * std::hypot(a, b));
        if (!(ratio > 1.0)) {
            problem = "the feed pin does not fit beside the walls";
            return false;
        }
        net.leadOhm = kEtaOver2Pi * std::log(ratio);
    }
    out = std::move(net);
    return true;
}

NetworkPoint EvaluateAsBuilt(const AsBuiltNetwork& net, double qu, double freqGHz)
{
    NetworkPoint point;
    point.freqGHz = freqGHz;
    const int n = net.nodes;
    if (n <= 0 || !(freqGHz > 0.0)) {
        return point;
    }
    const double omega = 2.0 * kPiExact * freqGHz * 1e9;
    const double loss = std::isinf(qu) || !(qu > 0.0) ? 0.0 : 1.0 / (2.0 * qu);
    const Complex beta = omega / kLightSpeed * Complex(1.0, -loss);

    std::vector<Complex> y(size_t(n) * size_t(n));
    auto add = [&](int i, int j, Complex v) {
        if (i >= 0 && j >= 0) {
            y[size_t(i) * n + j] += v;
        }
    };
    const Complex j(0.0, 1.0);
    for (const AsBuiltNetwork::Stretch& s : net.stretches) {
        const Complex theta = beta * s.length;
        const Complex sine = std::sin(theta);
        const Complex cot = std::cos(theta) / sine;
        const Complex csc = 1.0 / sine;
        const int k = int(s.low.size());
        for (int p = 0; p < k; ++p) {
            for (int q = 0; q < k; ++q) {
                const double yc = s.yc[size_t(p) * k + q];
                const Complex self = -j * yc * cot;
                const Complex mutual = j * yc * csc;
                add(s.low[size_t(p)], s.low[size_t(q)], self);
                add(s.high[size_t(p)], s.high[size_t(q)], self);
                add(s.low[size_t(p)], s.high[size_t(q)], mutual);
                add(s.high[size_t(p)], s.low[size_t(q)], mutual);
            }
        }
    }
    for (size_t i = 0; i < net.openNode.size(); ++i) {
        add(net.openNode[i], net.openNode[i], j * omega * net.openFarad[i]);
    }
    const Complex thetaLead = beta * net.leadMetre;
    const Complex leadSelf = -j / net.leadOhm * std::cos(thetaLead) / std::sin(thetaLead);
    const Complex leadMutual = j / net.leadOhm / std::sin(thetaLead);
    for (int end = 0; end < 2; ++end) {
        add(net.portNode[end], net.portNode[end], leadSelf);
        add(net.tapNode[end], net.tapNode[end], leadSelf);
        add(net.portNode[end], net.tapNode[end], leadMutual);
        add(net.tapNode[end], net.portNode[end], leadMutual);
    }

    std::vector<Complex> x(size_t(n) * 2, 0.0);
    x[size_t(net.portNode[0]) * 2 + 0] = 1.0;
    x[size_t(net.portNode[1]) * 2 + 1] = 1.0;
    if (!SolveLinear(y, x, n, 2)) {
        return point;
    }
    // The open-circuit impedance matrix of the two ports, and from it S with both ports
    // referred to the connectors' impedance: S = (Z - R)(Z + R)^-1.
    const Complex z11 = x[size_t(net.portNode[0]) * 2 + 0];
    const Complex z12 = x[size_t(net.portNode[0]) * 2 + 1];
    const Complex z21 = x[size_t(net.portNode[1]) * 2 + 0];
    const Complex z22 = x[size_t(net.portNode[1]) * 2 + 1];
    const double r = net.portOhm;
    const Complex det = (z11 + r) * (z22 + r) - z12 * z21;
    point.s11 = ((z11 - r) * (z22 + r) - z12 * z21) / det;
    point.s22 = ((z11 + r) * (z22 - r) - z12 * z21) / det;
    point.s21 = 2.0 * r * z21 / det;
    point.s12 = 2.0 * r * z12 / det;
    return point;
}

std::vector<NetworkPoint> SweepAsBuilt(const AsBuiltNetwork& net, double qu,
                                       const std::vector<double>& freqGHz)
{
    std::vector<NetworkPoint> points;
    points.reserve(freqGHz.size());
    for (double f : freqGHz) {
        points.push_back(EvaluateAsBuilt(net, qu, f));
    }
    return points;
}
