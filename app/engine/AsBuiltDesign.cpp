// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/engine/AsBuiltDesign.h"

#include "app/engine/FilterDesign.h"
#include "app/engine/FilterNetwork.h"
#include "app/engine/LinearSolve.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The window the resonators are fitted over: the ripple band widened by half a bandwidth
// on each side, where the coupled-resonator model describes a filter of this kind well.
void FitWindow(const FilterDesign& d, double& fromGHz, double& toGHz)
{
    const double bw = d.fHigh - d.fLow;
    fromGHz = d.fLow - 0.5 * bw;
    toGHz = d.fHigh + 0.5 * bw;
}

// Linear interpolation of the frequency where the dB value crosses `level` between two
// points.
double Crossing(double f0, double v0, double f1, double v1, double level)
{
    if (v1 == v0) {
        return f0;
    }
    return f0 + (f1 - f0) * (level - v0) / (v1 - v0);
}

// The unknowns of the correction and the geometry they make: L lengths shared by rods i and
// n-1-i, S spacings shared by gaps j and n-2-j, and the tap.
struct Unknowns
{
    int n = 0;
    int lengths = 0;
    int spacings = 0;
    int Count() const { return lengths + spacings + 1; }
};

std::vector<double> FromGeometry(const Unknowns& u, const BuildGeometry& g)
{
    std::vector<double> x;
    for (int i = 0; i < u.lengths; ++i) {
        x.push_back(g.rods[size_t(i)].lengthInch);
    }
    for (int j = 0; j < u.spacings; ++j) {
        x.push_back(g.spacingInch[size_t(j)]);
    }
    x.push_back(g.tapInch);
    return x;
}

BuildGeometry ToGeometry(const Unknowns& u, const BuildGeometry& drawn,
                         const std::vector<double>& x)
{
    BuildGeometry g = drawn;
    const int n = u.n;
    double position = g.endWallInch;
    for (int i = 0; i < n; ++i) {
        if (i > 0) {
            const double s = x[size_t(u.lengths + std::min(i - 1, n - 1 - i))];
            g.spacingInch[size_t(i - 1)] = s;
            position += s;
        }
        g.rods[size_t(i)].centreInch = position;
        g.rods[size_t(i)].lengthInch = x[size_t(std::min(i, n - 1 - i))];
    }
    g.boxLengthInch = position + g.endWallInch;
    g.tapInch = x.back();
    g.endRodLengthInch = g.rods.front().lengthInch;
    g.interiorRodLengthInch = n > 2 ? g.rods[1].lengthInch : g.endRodLengthInch;
    return g;
}

double LargestMagnitude(const std::vector<double>& r)
{
    double m = 0.0;
    for (double v : r) {
        m = std::max(m, std::fabs(v));
    }
    return m;
}

// The correction's residuals for one geometry: relative error of each resonator's
// frequency, of each coupling and of the external Q, averaged over the resonators that
// mirror each other.
class CorrectionProblem
{
public:
    CorrectionProblem(const FilterDesign& d, const BuildGeometry& drawn, const Unknowns& u)
        : m_design(d)
        , m_drawn(drawn)
        , m_u(u)
        , m_freq(SummarySweepGHz(d))
    {
        BuildNetworkModel(d, std::numeric_limits<double>::infinity(), m_target);
        m_start = m_target;
        FitWindow(d, m_from, m_to);
    }

    bool Residuals(const std::vector<double>& x, std::vector<double>& r, std::string& problem,
                   bool keepStart)
    {
        MeasuredResponse data;
        if (!AsBuiltResponse(m_design, ToGeometry(m_u, m_drawn, x), m_freq, data, problem,
                             &m_cache)) {
            return false;
        }
        ResonatorFit fit;
        if (!FitResonators(m_start, data, m_from, m_to, fit, 0.2)) {
            problem = "the resonator model does not fit the as-built response";
            return false;
        }
        if (keepStart) {
            m_start = fit.model;
        }
        const int n = m_u.n;
        const NetworkModel& m = fit.model;
        r.clear();
        for (int i = 0; i < m_u.lengths; ++i) {
            const double detune = 0.5 * (m.detune[size_t(i)] + m.detune[size_t(n - 1 - i)]);
            r.push_back(0.5 * m.fbw * detune);
        }
        for (int j = 0; j < m_u.spacings; ++j) {
            const double mm = 0.5 * (m.m[size_t(j)] + m.m[size_t(n - 2 - j)]);
            r.push_back(mm / m_target.m[size_t(j)] - 1.0);
        }
        r.push_back(0.5 * std::log(m.qe1 * m.qen / (m_target.qe1 * m_target.qen)));
        return true;
    }

private:
    const FilterDesign& m_design;
    const BuildGeometry& m_drawn;
    Unknowns m_u;
    std::vector<double> m_freq;
    NetworkModel m_target;
    NetworkModel m_start;
    CrossSectionCache m_cache;
    double m_from = 0.0;
    double m_to = 0.0;
};

} // namespace

std::vector<double> SummarySweepGHz(const FilterDesign& d)
{
    const double bw = d.fHigh - d.fLow;
    return LinearSweepGHz(d.fLow - bw, d.fHigh + bw, 241);
}

bool AsBuiltResponse(const FilterDesign& design, const BuildGeometry& geometry,
                     const std::vector<double>& freqGHz, MeasuredResponse& data,
                     std::string& problem, CrossSectionCache* cache)
{
    AsBuiltNetwork network;
    if (!BuildAsBuiltNetwork(geometry, design.R, network, problem, cache)) {
        return false;
    }
    data.freqGHz = freqGHz;
    data.s11.clear();
    data.s21.clear();
    for (const NetworkPoint& p :
         SweepAsBuilt(network, std::numeric_limits<double>::infinity(), freqGHz)) {
        data.s11.push_back(p.s11);
        data.s21.push_back(p.s21);
    }
    return true;
}

bool SummarizeResponse(const FilterDesign& d, const MeasuredResponse& data, AsBuiltSummary& summary)
{
    AsBuiltSummary s;
    const size_t count = data.freqGHz.size();
    std::vector<double> s21(count);
    std::vector<double> s11(count);
    int first = -1;
    int last = -1;
    for (size_t k = 0; k < count; ++k) {
        s21[k] = MagnitudeDb(data.s21[k]);
        s11[k] = MagnitudeDb(data.s11[k]);
        if (s21[k] >= -3.0) {
            last = int(k);
            if (first < 0) {
                first = int(k);
            }
        }
    }
    if (first < 0) {
        return false;
    }
    const double mhz = 1000.0;
    s.lowMHz = mhz * (first > 0 ? Crossing(data.freqGHz[size_t(first - 1)], s21[size_t(first - 1)],
                                           data.freqGHz[size_t(first)], s21[size_t(first)], -3.0)
                                : data.freqGHz[0]);
    s.highMHz = mhz * (last + 1 < int(count)
                           ? Crossing(data.freqGHz[size_t(last)], s21[size_t(last)],
                                      data.freqGHz[size_t(last + 1)], s21[size_t(last + 1)], -3.0)
                           : data.freqGHz[count - 1]);
    s.centreMHz = 0.5 * (s.lowMHz + s.highMHz);

    // In band: between the outermost reflection zeros (the minima of |S11| inside the 3 dB
    // band), where an equal-ripple filter shows its ripple and its worst match. The band is
    // the filter's own, so a filter a little off centre is judged by its pass band, not by
    // the skirts that the design's band edges then cut. Without two minima half the ripple
    // band apart (a maximally flat filter has its zeros together at the centre), the design's
    // ripple band moved to the measured centre.
    int from = -1;
    int to = -1;
    for (int k = first + 1; k < last; ++k) {
        if (s11[size_t(k)] < s11[size_t(k - 1)] && s11[size_t(k)] <= s11[size_t(k + 1)]) {
            to = k;
            if (from < 0) {
                from = k;
            }
        }
    }
    if (from >= 0 &&
        data.freqGHz[size_t(to)] - data.freqGHz[size_t(from)] < 0.5 * (d.fHigh - d.fLow)) {
        from = to = -1;
    }
    const double shift = s.centreMHz / mhz - 0.5 * (d.fLow + d.fHigh);
    double best = -std::numeric_limits<double>::infinity();
    double worst = std::numeric_limits<double>::infinity();
    double match = std::numeric_limits<double>::infinity();
    for (size_t k = 0; k < count; ++k) {
        const double f = data.freqGHz[k];
        const bool inBand = from < to ? int(k) >= from && int(k) <= to
                                      : f >= d.fLow + shift && f <= d.fHigh + shift;
        if (inBand) {
            best = std::max(best, s21[k]);
            worst = std::min(worst, s21[k]);
            match = std::min(match, -s11[k]);
        }
    }
    if (!std::isfinite(best)) {
        return false;
    }
    s.rippleDb = best - worst;
    s.returnLossDb = match;

    NetworkModel start;
    if (!BuildNetworkModel(d, std::numeric_limits<double>::infinity(), start)) {
        return false;
    }
    double fitFrom = 0.0;
    double fitTo = 0.0;
    FitWindow(d, fitFrom, fitTo);
    ResonatorFit fit;
    if (!FitResonators(start, data, fitFrom, fitTo, fit, 0.2)) {
        return false;
    }
    for (int i = 0; i < start.n; ++i) {
        s.resonatorMHz.push_back(mhz * ResonatorFrequencyGHz(fit.model, i));
    }
    for (int i = 0; i + 1 < start.n; ++i) {
        s.coupling.push_back(CouplingCoefficient(fit.model, i));
    }
    s.qe1 = ExternalQ(fit.model, 1);
    s.qen = ExternalQ(fit.model, 2);
    s.fitRms = fit.rms;
    summary = s;
    return true;
}

bool CorrectGeometry(const FilterDesign& design, const BuildGeometry& drawn,
                     BuildGeometry& corrected, CorrectionResult& result, std::string& problem)
{
    Unknowns u;
    u.n = int(drawn.rods.size());
    if (u.n < kMinElements || int(drawn.spacingInch.size()) != u.n - 1) {
        problem = "the design has no rods to correct";
        return false;
    }
    u.lengths = (u.n + 1) / 2;
    u.spacings = u.n / 2;
    const int count = u.Count();
    CorrectionProblem pb(design, drawn, u);
    std::vector<double> x = FromGeometry(u, drawn);
    std::vector<double> r;
    if (!pb.Residuals(x, r, problem, true)) {
        return false;
    }
    CorrectionResult out;
    // Converged when every frequency is within 1e-6 of the centre (1.2 kHz at 1.2 GHz) and
    // every coupling and the external Q within 1e-5 of the prototype's.
    constexpr double kDone = 1e-6;
    std::vector<double> rt;
    // The Jacobian by forward differences, each step a small fraction of its unknown.
    std::vector<double> jac(size_t(count) * size_t(count));
    auto differences = [&]() {
        for (int c = 0; c < count; ++c) {
            std::vector<double> xt = x;
            const double h = 1e-5 * x[size_t(c)];
            xt[size_t(c)] += h;
            if (!pb.Residuals(xt, rt, problem, false)) {
                return false;
            }
            for (int i = 0; i < count; ++i) {
                jac[size_t(i) * count + c] = (rt[size_t(i)] - r[size_t(i)]) / h;
            }
        }
        return true;
    };
    if (!differences()) {
        return false;
    }
    bool fresh = true; // the Jacobian was just differenced, not updated
    for (out.iterations = 0; out.iterations < 40 && LargestMagnitude(r) > kDone; ++out.iterations) {
        std::vector<double> step = r;
        for (double& v : step) {
            v = -v;
        }
        std::vector<double> matrix = jac;
        if (!SolveLinear(matrix, step, count, 1)) {
            problem = "the dimensions do not control the response independently";
            return false;
        }
        // Damped: halve the step until the largest error falls, and never move a dimension
        // by more than a fifth of itself at once.
        double scale = 1.0;
        for (int c = 0; c < count; ++c) {
            const double limit = 0.2 * x[size_t(c)];
            if (std::fabs(step[size_t(c)]) * scale > limit) {
                scale = limit / std::fabs(step[size_t(c)]);
            }
        }
        bool better = false;
        std::vector<double> xt;
        for (int halving = 0; halving < 6 && !better; ++halving, scale *= 0.5) {
            xt = x;
            for (int c = 0; c < count; ++c) {
                xt[size_t(c)] += scale * step[size_t(c)];
            }
            std::string trialProblem;
            better = pb.Residuals(xt, rt, trialProblem, true) &&
                     LargestMagnitude(rt) < LargestMagnitude(r);
        }
        if (!better) {
            // An updated Jacobian may have drifted: difference it afresh once before giving up.
            if (fresh || !differences()) {
                break;
            }
            fresh = true;
            continue;
        }
        // Broyden's update (C. G. Broyden, Math. Comp. 19, 1965): the Jacobian learns the
        // step just taken, so later steps need one evaluation each instead of n + 2.
        std::vector<double> dx(static_cast<size_t>(count));
        double dxdx = 0.0;
        for (int c = 0; c < count; ++c) {
            dx[size_t(c)] = xt[size_t(c)] - x[size_t(c)];
            dxdx += dx[size_t(c)] * dx[size_t(c)];
        }
        for (int i = 0; i < count && dxdx > 0.0; ++i) {
            double predicted = 0.0;
            for (int c = 0; c < count; ++c) {
                predicted += jac[size_t(i) * count + c] * dx[size_t(c)];
            }
            const double miss = (rt[size_t(i)] - r[size_t(i)]) - predicted;
            for (int c = 0; c < count; ++c) {
                jac[size_t(i) * count + c] += miss * dx[size_t(c)] / dxdx;
            }
        }
        x = xt;
        r = rt;
        fresh = false;
    }
    out.residual = LargestMagnitude(r);
    out.converged = out.residual <= 1e-4;
    result = out;
    if (!out.converged) {
        problem = "the correction did not converge";
        return false;
    }
    corrected = ToGeometry(u, drawn, x);
    return true;
}

bool SummarizeAsBuilt(const FilterDesign& design, const BuildGeometry& geometry,
                      AsBuiltSummary& asBuilt, AsBuiltSummary& ideal, std::string& problem)
{
    const std::vector<double> freq = SummarySweepGHz(design);
    NetworkModel model;
    if (!BuildNetworkModel(design, std::numeric_limits<double>::infinity(), model)) {
        problem = "the design cannot be modelled as a network";
        return false;
    }
    MeasuredResponse data;
    data.freqGHz = freq;
    for (const NetworkPoint& p : SweepNetwork(model, freq)) {
        data.s11.push_back(p.s11);
        data.s21.push_back(p.s21);
    }
    if (!SummarizeResponse(design, data, ideal)) {
        problem = "the design's response has no pass band";
        return false;
    }
    if (!AsBuiltResponse(design, geometry, freq, data, problem)) {
        return false;
    }
    if (!SummarizeResponse(design, data, asBuilt)) {
        problem = "the as-built response is too far from a filter of this design to be measured";
        return false;
    }
    return true;
}
