// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/engine/ResonatorFit.h"

#include <algorithm>
#include <cmath>

// The fit. The unknowns are the n detunings m(i,i), the n-1 couplings m(i,i+1), ln qe1,
// ln qen, and the phase terms: the data's S11 is taken as the model's times
// exp(-j (phase11 + w delay)), its S21 as the model's times exp(-j (phase21 + w delay)). A
// feed line of delay t/2 at each port gives exactly that (delay t on both), so the phase
// terms absorb what lies between the connectors and the resonators; the rest of a feed's
// effect (its reactance at the tap) shows as the end resonators' detuning and external Q,
// which is what a builder tunes. Magnitudes alone would not do: |S11| and |S21| of a
// lossless filter carry the same information, and the sign of a detuning is lost.
//
// The misfit is the complex difference of S11 and of S21 at each point of the window
// (4 real residuals). Levenberg-Marquardt (Marquardt, J. SIAM 11, 1963) with a forward
// difference Jacobian; it starts from the design's model after a search for the delay on a
// grid, each delay with its best constant phases in closed form.

namespace {

using Complex = std::complex<double>;

constexpr double kTwoPi = 6.283185307179586;

struct Problem
{
    NetworkModel base;
    std::vector<double> f;
    std::vector<Complex> s11;
    std::vector<Complex> s21;
};

int ParameterCount(int n)
{
    return 2 * n + 4;
}

NetworkModel ModelOf(const Problem& pb, const std::vector<double>& p)
{
    NetworkModel m = pb.base;
    const int n = m.n;
    for (int i = 0; i < n; ++i) {
        m.detune[size_t(i)] = p[size_t(i)];
    }
    for (int i = 0; i + 1 < n; ++i) {
        m.m[size_t(i)] = p[size_t(n + i)];
    }
    m.qe1 = std::exp(p[size_t(2 * n - 1)]);
    m.qen = std::exp(p[size_t(2 * n)]);
    return m;
}

void Residuals(const Problem& pb, const std::vector<double>& p, std::vector<double>& r)
{
    const NetworkModel m = ModelOf(pb, p);
    const int n = m.n;
    const double phase11 = p[size_t(2 * n + 1)];
    const double phase21 = p[size_t(2 * n + 2)];
    const double delay = p[size_t(2 * n + 3)];
    r.resize(pb.f.size() * 4);
    for (size_t k = 0; k < pb.f.size(); ++k) {
        const NetworkPoint pt = EvaluateNetwork(m, pb.f[k]);
        const double w = kTwoPi * pb.f[k] * delay;
        const Complex e11 = pt.s11 * std::polar(1.0, -(phase11 + w)) - pb.s11[k];
        const Complex e21 = pt.s21 * std::polar(1.0, -(phase21 + w)) - pb.s21[k];
        r[4 * k] = e11.real();
        r[4 * k + 1] = e11.imag();
        r[4 * k + 2] = e21.real();
        r[4 * k + 3] = e21.imag();
    }
}

double SumOfSquares(const std::vector<double>& r)
{
    double s = 0.0;
    for (double v : r) {
        s += v * v;
    }
    return s;
}

// Solves the symmetric positive system a x = b (n x n) by Cholesky; false when it is not
// positive definite.
bool SolveNormal(std::vector<double> a, std::vector<double>& b, int n)
{
    for (int j = 0; j < n; ++j) {
        double d = a[size_t(j) * n + j];
        for (int k = 0; k < j; ++k) {
            d -= a[size_t(j) * n + k] * a[size_t(j) * n + k];
        }
        if (!(d > 0.0)) {
            return false;
        }
        d = std::sqrt(d);
        a[size_t(j) * n + j] = d;
        for (int i = j + 1; i < n; ++i) {
            double v = a[size_t(i) * n + j];
            for (int k = 0; k < j; ++k) {
                v -= a[size_t(i) * n + k] * a[size_t(j) * n + k];
            }
            a[size_t(i) * n + j] = v / d;
        }
    }
    for (int i = 0; i < n; ++i) {
        double v = b[size_t(i)];
        for (int k = 0; k < i; ++k) {
            v -= a[size_t(i) * n + k] * b[size_t(k)];
        }
        b[size_t(i)] = v / a[size_t(i) * n + i];
    }
    for (int i = n - 1; i >= 0; --i) {
        double v = b[size_t(i)];
        for (int k = i + 1; k < n; ++k) {
            v -= a[size_t(k) * n + i] * b[size_t(k)];
        }
        b[size_t(i)] = v / a[size_t(i) * n + i];
    }
    return true;
}

// The delay (on a grid) and the constant phases that best turn the start model's S11 and
// S21 into the data's.
void SearchPhases(const Problem& pb, std::vector<double>& p)
{
    const int n = pb.base.n;
    std::vector<Complex> m11(pb.f.size());
    std::vector<Complex> m21(pb.f.size());
    for (size_t k = 0; k < pb.f.size(); ++k) {
        const NetworkPoint pt = EvaluateNetwork(pb.base, pb.f[k]);
        m11[k] = pt.s11;
        m21[k] = pt.s21;
    }
    // The phase of a sum sum(model conj(data)) is the best constant phase; its modulus is
    // how well that delay lines the two up. The grid spans +-4 ns (1.2 m of line) in steps
    // that turn the phase by at most 0.05 rad across the window.
    const double span = pb.f.back() - pb.f.front();
    const double step = span > 0.0 ? 0.05 / (kTwoPi * span) : 0.01;
    double best = -1.0;
    for (double t = -4.0; t <= 4.0; t += step) {
        Complex a11 = 0.0;
        Complex a21 = 0.0;
        for (size_t k = 0; k < pb.f.size(); ++k) {
            const Complex turn = std::polar(1.0, -kTwoPi * pb.f[k] * t);
            a11 += m11[k] * turn * std::conj(pb.s11[k]);
            a21 += m21[k] * turn * std::conj(pb.s21[k]);
        }
        const double score = std::abs(a11) + std::abs(a21);
        if (score > best) {
            best = score;
            p[size_t(2 * n + 1)] = std::arg(a11);
            p[size_t(2 * n + 2)] = std::arg(a21);
            p[size_t(2 * n + 3)] = t;
        }
    }
}

} // namespace

bool FitResonators(const NetworkModel& start, const MeasuredResponse& data, double fromGHz,
                   double toGHz, ResonatorFit& fit, double tolerance)
{
    const int n = start.n;
    if (n < kMinElements || n > kMaxElements || data.s11.size() != data.freqGHz.size() ||
        data.s21.size() != data.freqGHz.size()) {
        return false;
    }
    Problem pb;
    pb.base = start;
    for (size_t k = 0; k < data.freqGHz.size(); ++k) {
        const double f = data.freqGHz[k];
        if (f >= fromGHz && f <= toGHz && f > 0.0 && std::isfinite(std::abs(data.s11[k])) &&
            std::isfinite(std::abs(data.s21[k]))) {
            pb.f.push_back(f);
            pb.s11.push_back(data.s11[k]);
            pb.s21.push_back(data.s21[k]);
        }
    }
    const int count = ParameterCount(n);
    if (int(pb.f.size()) * 4 < 2 * count) {
        return false;
    }
    std::vector<double> p(size_t(count), 0.0);
    for (int i = 0; i < n; ++i) {
        p[size_t(i)] = start.detune[size_t(i)];
    }
    for (int i = 0; i + 1 < n; ++i) {
        p[size_t(n + i)] = start.m[size_t(i)];
    }
    p[size_t(2 * n - 1)] = std::log(start.qe1);
    p[size_t(2 * n)] = std::log(start.qen);
    SearchPhases(pb, p);

    std::vector<double> r;
    Residuals(pb, p, r);
    double cost = SumOfSquares(r);
    const size_t rows = r.size();
    std::vector<double> jac(rows * size_t(count));
    std::vector<double> trial(static_cast<size_t>(count));
    std::vector<double> rt;
    double lambda = 1e-3;
    for (int iteration = 0; iteration < 200; ++iteration) {
        for (int c = 0; c < count; ++c) {
            trial = p;
            const double h = 1e-7 * std::max(1.0, std::fabs(p[size_t(c)]));
            trial[size_t(c)] += h;
            Residuals(pb, trial, rt);
            for (size_t k = 0; k < rows; ++k) {
                jac[k * size_t(count) + size_t(c)] = (rt[k] - r[k]) / h;
            }
        }
        std::vector<double> jtj(size_t(count) * size_t(count), 0.0);
        std::vector<double> jtr(size_t(count), 0.0);
        for (size_t k = 0; k < rows; ++k) {
            const double* row = &jac[k * size_t(count)];
            for (int a = 0; a < count; ++a) {
                jtr[size_t(a)] -= row[a] * r[k];
                for (int b = 0; b <= a; ++b) {
                    jtj[size_t(a) * count + b] += row[a] * row[b];
                }
            }
        }
        for (int a = 0; a < count; ++a) {
            for (int b = 0; b < a; ++b) {
                jtj[size_t(b) * count + a] = jtj[size_t(a) * count + b];
            }
        }
        bool improved = false;
        for (int attempt = 0; attempt < 12 && !improved; ++attempt) {
            std::vector<double> a = jtj;
            for (int d = 0; d < count; ++d) {
                a[size_t(d) * count + d] *= 1.0 + lambda;
                a[size_t(d) * count + d] += 1e-12;
            }
            std::vector<double> step = jtr;
            if (SolveNormal(a, step, count)) {
                for (int c = 0; c < count; ++c) {
                    trial[size_t(c)] = p[size_t(c)] + step[size_t(c)];
                }
                Residuals(pb, trial, rt);
                const double trialCost = SumOfSquares(rt);
                if (trialCost < cost) {
                    improved = true;
                    const double gain = (cost - trialCost) / cost;
                    p = trial;
                    r = rt;
                    cost = trialCost;
                    lambda = std::max(lambda / 5.0, 1e-12);
                    if (gain < 1e-12) {
                        iteration = 1000;
                    }
                    break;
                }
            }
            lambda *= 8.0;
        }
        if (!improved) {
            break;
        }
    }
    fit.model = ModelOf(pb, p);
    fit.phase11 = p[size_t(2 * n + 1)];
    fit.phase21 = p[size_t(2 * n + 2)];
    fit.delayNs = p[size_t(2 * n + 3)];
    fit.rms = std::sqrt(cost / double(pb.f.size()) / 2.0);
    return fit.rms <= tolerance && std::isfinite(fit.rms);
}

double ResonatorFrequencyGHz(const NetworkModel& model, int i)
{
    // Alone, resonator i resonates where lambda = detune(i):
    // w - 1/w = fbw detune with w = f / f0.
    const double x = model.fbw * model.detune[size_t(i)];
    return model.f0GHz * (x + std::sqrt(x * x + 4.0)) / 2.0;
}

double CouplingCoefficient(const NetworkModel& model, int i)
{
    return model.fbw * model.m[size_t(i)];
}

double ExternalQ(const NetworkModel& model, int port)
{
    return (port == 1 ? model.qe1 : model.qen) / model.fbw;
}
