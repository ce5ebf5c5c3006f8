// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/engine/FilterNetwork.h"

#include <cmath>
#include <limits>

// The model is the general coupling matrix of n synchronously tuned resonators (J.-S. Hong
// and M. J. Lancaster, "Microstrip Filters for RF/Microwave Applications", Wiley 2001,
// ch. 8). From the lowpass prototype values g0 = 1, g1..g(n+1):
//
//   m(i,i+1) = 1/sqrt(g(i) g(i+1))            normalised couplings
//   qe1 = g0 g1,  qen = g(n) g(n+1)            normalised external Q values
//   f0 = sqrt(fLow fHigh),  FBW = (fHigh - fLow)/f0
//   lambda = (f/f0 - f0/f)/FBW                 -1 and 1 at the band edges
//   p = j lambda + 1/(FBW Qu)                  Qu: unloaded Q of each resonator
//   A = diag(1/qe1, 0, ..., 0, 1/qen) + p I - j M
//
//   S21 = S12 = 2/sqrt(qe1 qen) (A^-1)(n,1)
//   S11 = 1 - 2/qe1 (A^-1)(1,1),  S22 = 1 - 2/qen (A^-1)(n,n)
//
// M is tridiagonal (only neighbours couple in an interdigital filter; its diagonal holds
// the detuning of each resonator), so A is a complex symmetric tridiagonal matrix and two
// columns of its inverse follow from one elimination.

namespace {

using Complex = std::complex<double>;

constexpr double kTwoPi = 6.283185307179586;

// The prototype value g(i) for i = 0..n+1, with g0 = 1 (the record holds g1..g(n+1)).
double G(const FilterDesign& d, int i)
{
    return i == 0 ? 1.0 : d.g[i - 1];
}

bool PositiveFinite(double v)
{
    return std::isfinite(v) && v > 0.0;
}

// Columns 1 and n of A^-1, by Gaussian elimination from resonator 1 towards resonator n.
// No pivoting is needed: the first pivot 1/qe1 + p has a positive real part, and each
// further pivot is a(i) + m^2/pivot(i-1), the input admittance of a passive ladder, whose
// real part stays positive. So no pivot can vanish however the model is detuned.
struct Columns
{
    std::array<Complex, kMaxElements> first{}; // column 1: A x = e1
    std::array<Complex, kMaxElements> last{};  // column n: A y = en
};

void SolveColumns(const NetworkModel& model, Complex p, Columns& out)
{
    const int n = model.n;
    std::array<Complex, kMaxElements> pivot{};
    std::array<Complex, kMaxElements> ratio{}; // off(i) / pivot(i)
    std::array<Complex, kMaxElements> forward{};

    for (int i = 0; i < n; ++i) {
        Complex a = p - Complex(0.0, model.detune[i]);
        if (i == 0) {
            a += 1.0 / model.qe1;
        }
        if (i == n - 1) {
            a += 1.0 / model.qen;
        }
        if (i > 0) {
            const Complex off(0.0, -model.m[i - 1]);
            a -= off * ratio[i - 1];
            forward[i] = -off * forward[i - 1] / a;
        } else {
            forward[i] = 1.0 / a;
        }
        pivot[i] = a;
        if (i < n - 1) {
            ratio[i] = Complex(0.0, -model.m[i]) / a;
        }
    }
    // Back substitution: e1 gives the forward values above, en only a last one.
    out.first[n - 1] = forward[n - 1];
    out.last[n - 1] = 1.0 / pivot[n - 1];
    for (int i = n - 2; i >= 0; --i) {
        out.first[i] = forward[i] - ratio[i] * out.first[i + 1];
        out.last[i] = -ratio[i] * out.last[i + 1];
    }
}

} // namespace

bool BuildNetworkModel(const FilterDesign& d, double qu, NetworkModel& model)
{
    const int n = d.ele;
    if (n < kMinElements || n > kMaxElements || !(qu > 0.0)) {
        return false;
    }
    // A bandwidth of twice the centre frequency or more puts the lower edge at or below 0 Hz,
    // where the bandpass mapping has no meaning.
    if (!PositiveFinite(d.fLow) || !PositiveFinite(d.fHigh) || !(d.fHigh > d.fLow) ||
        !PositiveFinite(d.R)) {
        return false;
    }
    for (int i = 1; i <= n + 1; ++i) {
        if (!PositiveFinite(G(d, i))) {
            return false;
        }
    }
    NetworkModel out;
    out.n = n;
    out.f0GHz = std::sqrt(d.fLow * d.fHigh);
    out.fbw = (d.fHigh - d.fLow) / out.f0GHz;
    out.qu = qu;
    out.qe1 = G(d, 0) * G(d, 1);
    out.qen = G(d, n) * G(d, n + 1);
    out.lineOhm = d.R;
    for (int i = 1; i < n; ++i) {
        out.m[i - 1] = 1.0 / std::sqrt(G(d, i) * G(d, i + 1));
    }
    model = out;
    return true;
}

NetworkPoint EvaluateNetwork(const NetworkModel& model, double freqGHz)
{
    NetworkPoint point;
    point.freqGHz = freqGHz;
    const int n = model.n;
    if (n < 1 || n > kMaxElements) {
        return point;
    }
    const double w = freqGHz / model.f0GHz;
    const double lambda = (w - 1.0 / w) / model.fbw;
    // Dissipation enters as a constant real part of p; a lossless model has none.
    const double loss = std::isinf(model.qu) ? 0.0 : 1.0 / (model.fbw * model.qu);

    Columns x;
    SolveColumns(model, Complex(loss, lambda), x);

    const double k21 = 2.0 / std::sqrt(model.qe1 * model.qen);
    point.s21 = k21 * x.first[n - 1];
    point.s12 = k21 * x.last[0];
    point.s11 = 1.0 - 2.0 / model.qe1 * x.first[0];
    point.s22 = 1.0 - 2.0 / model.qen * x.last[n - 1];

    // Analytic group delay. With X = A^-1 and dA/domega = j lambda' I,
    // dX/domega = -j lambda' X^2. X is symmetric, so (X^2)(n,1) = sum x_k y_k and
    // (X^2)(1,1) = sum x_k^2 over the two columns already at hand. Then
    //   tau21 = -Im(S21'/S21) = lambda' Re((X^2)(n,1) / X(n,1))
    //   tau11 = -Im(S11'/S11) with S11' = (2/qe1) j lambda' (X^2)(1,1).
    // omega is in rad/ns, so the delays come out in ns.
    const double omega0 = kTwoPi * model.f0GHz;
    const double dLambda = (1.0 + 1.0 / (w * w)) / (omega0 * model.fbw);
    Complex cross = 0.0;
    Complex square = 0.0;
    for (int k = 0; k < n; ++k) {
        cross += x.first[k] * x.last[k];
        square += x.first[k] * x.first[k];
    }
    if (x.first[n - 1] != 0.0) {
        point.delay21Ns = dLambda * (cross / x.first[n - 1]).real();
    }
    if (point.s11 != 0.0) {
        const Complex ds11 = Complex(0.0, 2.0 / model.qe1 * dLambda) * square;
        point.delay11Ns = -(ds11 / point.s11).imag();
    }
    return point;
}

std::vector<NetworkPoint> SweepNetwork(const NetworkModel& model,
                                       const std::vector<double>& freqGHz)
{
    std::vector<NetworkPoint> points;
    points.reserve(freqGHz.size());
    for (double f : freqGHz) {
        points.push_back(EvaluateNetwork(model, f));
    }
    return points;
}

std::vector<double> DesignSweepGHz(const FilterDesign& d)
{
    if (d.NFR < 0 || d.NFR > kMaxArrayEntries) {
        return {};
    }
    return std::vector<double>(d.sweepFreq.begin(), d.sweepFreq.begin() + d.NFR);
}

std::vector<double> LinearSweepGHz(double fromGHz, double toGHz, int points)
{
    std::vector<double> f;
    if (points < 2) {
        return f;
    }
    f.reserve(static_cast<std::size_t>(points));
    const double step = (toGHz - fromGHz) / (points - 1);
    for (int i = 0; i < points - 1; ++i) {
        f.push_back(fromGHz + i * step);
    }
    // The last point is the end itself, not the sum of the steps with its rounding.
    f.push_back(toGHz);
    return f;
}

double MagnitudeDb(std::complex<double> s)
{
    const double magnitude = std::abs(s);
    if (magnitude == 0.0) {
        return kNetworkDbFloor;
    }
    const double db = 20.0 * std::log10(magnitude);
    return db < kNetworkDbFloor ? kNetworkDbFloor : db;
}

bool ComputeTuningTable(const FilterDesign& d, TuningTable& table)
{
    NetworkModel model;
    if (!BuildNetworkModel(d, std::numeric_limits<double>::infinity(), model)) {
        return false;
    }
    const int n = model.n;
    TuningTable out;
    out.f0GHz = model.f0GHz;
    out.qe1 = model.qe1 / model.fbw;
    out.qen = model.qen / model.fbw;

    // Reflected group delay at f0 with resonators 1..k tuned and resonator k+1 detuned
    // (J. B. Ness, "A unified approach to the design, measurement, and tuning of coupled-
    // resonator filters", IEEE Trans. MTT-46, 1998):
    //   tau(1) = 4 g0 g1 / dw,  tau(2) = 4 g2 / (g0 dw),
    //   tau(k) = tau(k-2) + 4 g(k) g0^(+-1) / dw  (g0 for odd k, 1/g0 for even k),
    // with dw = 2 pi (fHigh - fLow) the bandwidth in rad/ns. Here g0 = 1.
    const double dw = kTwoPi * (d.fHigh - d.fLow);
    out.delayNs.resize(static_cast<std::size_t>(n));
    for (int k = 1; k <= n; ++k) {
        const double previous = k > 2 ? out.delayNs[k - 3] : 0.0;
        out.delayNs[k - 1] = previous + 4.0 * G(d, k) / dw;
    }
    // Coupling coefficients of the bandpass filter: the normalised couplings times FBW.
    for (int i = 0; i < n - 1; ++i) {
        out.coupling.push_back(model.m[i] * model.fbw);
    }
    table = out;
    return true;
}
