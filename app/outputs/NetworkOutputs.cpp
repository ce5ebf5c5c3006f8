// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/outputs/NetworkOutputs.h"

#include "app/engine/AsBuiltNetwork.h"
#include "app/engine/ComputedDesign.h"
#include "app/outputs/TesseraChart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#ifndef TESSERA_VERSION
#error "TESSERA_VERSION must name the project version"
#endif

namespace {

constexpr const char* kNoNetwork =
    "the network model needs a bandwidth below twice the centre frequency";

// Appends a number in printf form.
void Append(std::string& out, const char* format, double value)
{
    char buffer[48];
    const int length = std::snprintf(buffer, sizeof buffer, format, value);
    out.append(buffer, static_cast<std::size_t>(length));
}

void AppendComplex(std::string& out, std::complex<double> s)
{
    Append(out, " %.12g", s.real());
    Append(out, " %.12g", s.imag());
}

} // namespace

// Touchstone 1.1: "!" comment lines, the option line (frequency unit, S parameters in
// real/imaginary form, reference resistance), then one line per frequency with S11, S21,
// S12, S22, the order of a two-port file.
std::string TouchstoneText(const ComputedDesign& design, const NetworkSweep& sweep)
{
    const NetworkModel& model = sweep.model;
    std::string out = "! Touchstone file written by tessera " TESSERA_VERSION "\n";
    // A comment is one line: a line break (or another control character but the tab) in the
    // parameter text would start lines a simulator cannot read.
    std::string parms = design.Parms();
    for (char& ch : parms) {
        const auto byte = static_cast<unsigned char>(ch);
        if ((byte < 0x20 && ch != '\t') || byte == 0x7F) {
            ch = ' ';
        }
    }
    out += "! Interdigital bandpass filter: " + parms + "\n";
    out += "! Coupled-resonator model: f0";
    Append(out, " %.6f MHz, ", model.f0GHz * 1000);
    if (std::isinf(model.qu)) {
        out += "lossless resonators\n";
    } else {
        Append(out, "unloaded Q %.6g\n", model.qu);
    }
    Append(out, "# MHz S RI R %.12g\n", model.lineOhm);
    for (const NetworkPoint& p : sweep.points) {
        Append(out, "%.12g", p.freqGHz * 1000);
        AppendComplex(out, p.s11);
        AppendComplex(out, p.s21);
        AppendComplex(out, p.s12);
        AppendComplex(out, p.s22);
        out += '\n';
    }
    return out;
}

std::string NetworkCsvText(const NetworkSweep& sweep)
{
    const std::vector<NetworkPoint>& points = sweep.points;
    std::string out = "MHz,S21 dB,S11 dB,delay ns\n";
    for (const NetworkPoint& p : points) {
        Append(out, "%.10g", p.freqGHz * 1000);
        Append(out, ",%.10g", MagnitudeDb(p.s21));
        Append(out, ",%.10g", MagnitudeDb(p.s11));
        Append(out, ",%.10g\n", p.delay21Ns);
    }
    return out;
}

// The table a person reads beside the network analyser: one line per resonator, the
// coupling to the next one and the external Q beside the end resonators.
std::string TuningTableText(const TuningTable& t)
{
    const int n = static_cast<int>(t.delayNs.size());
    std::string out;
    Append(out, "Tuning table at f0 = %.3f MHz\n", t.f0GHz * 1000);
    out += "Delay: group delay of S11 at f0 from port 1 with resonators 1..k tuned and the\n"
           "others detuned (for k = n port 2 not yet connected).\n";
    out += "  k    Delay ns  Coupling k,k+1  External Q\n";
    for (int k = 1; k <= n; ++k) {
        char line[96];
        std::snprintf(line, sizeof line, "%3d  %10.3f", k, t.delayNs[k - 1]);
        out += line;
        if (k < n) {
            // At least four significant digits, however weak the coupling.
            const double c = t.coupling[k - 1];
            const int decimals = c != 0.0 && std::isfinite(c)
                                     ? std::max(6, 3 - int(std::floor(std::log10(std::fabs(c)))))
                                     : 6;
            char cell[64];
            std::snprintf(cell, sizeof cell, "  %14.*f", std::min(decimals, 20), c);
            out += cell;
        } else {
            out += std::string(16, ' ');
        }
        if (k == 1 || k == n) {
            Append(out, "  %10.3f", k == 1 ? t.qe1 : t.qen);
        }
        out += '\n';
    }
    return out;
}

std::string TuningCsvText(const TuningTable& t)
{
    const int n = static_cast<int>(t.delayNs.size());
    std::string out = "k,delay ns,coupling k k+1,external Q\n";
    for (int k = 1; k <= n; ++k) {
        out += std::to_string(k);
        Append(out, ",%.10g,", t.delayNs[k - 1]);
        if (k < n) {
            Append(out, "%.10g", t.coupling[k - 1]);
        }
        out += ',';
        if (k == 1 || k == n) {
            Append(out, "%.10g", k == 1 ? t.qe1 : t.qen);
        }
        out += '\n';
    }
    return out;
}

bool ComputeNetworkSweep(const ComputedDesign& design, const NetworkSweepRequest& request,
                         NetworkSweep& sweep, std::string& error)
{
    if (!design.Network(request.qu, sweep.model)) {
        error = kNoNetwork;
        return false;
    }
    std::vector<double> freqs =
        request.fromMHz ? LinearSweepGHz(*request.fromMHz * 0.001,
                                         request.toMHz.value_or(*request.fromMHz) * 0.001,
                                         request.points.value_or(kDefaultNetworkPoints))
                        : DesignSweepGHz(design.Design());
    // A narrow design at a low frequency sweeps below 0 Hz, where a network has no meaning and
    // simulators refuse the file: the sweep starts at its lowest positive point.
    freqs.erase(std::remove_if(freqs.begin(), freqs.end(), [](double f) { return !(f > 0.0); }),
                freqs.end());
    if (freqs.empty()) {
        error = "the network outputs need frequencies above 0 Hz; the design's sweep has none";
        return false;
    }
    sweep.points = SweepNetwork(sweep.model, freqs);
    return true;
}

bool AddAsBuiltSweep(const ComputedDesign& design, NetworkSweep& sweep, std::string& error)
{
    sweep.asBuilt.clear();
    if (design.BuildProblem()) {
        error = "the filter cannot be built as drawn (" + *design.BuildProblem() + ")";
        return false;
    }
    AsBuiltNetwork network;
    if (!BuildAsBuiltNetwork(design.Geometry(), design.Design().R, network, error)) {
        return false;
    }
    // The same frequencies and resonator loss as the coupled-resonator lines, so that the two
    // curves differ only by what the box adds.
    std::vector<double> freqs;
    freqs.reserve(sweep.points.size());
    for (const NetworkPoint& p : sweep.points) {
        freqs.push_back(p.freqGHz);
    }
    sweep.asBuilt = SweepAsBuilt(network, sweep.model.qu, freqs);
    return true;
}

bool ComputeTuning(const ComputedDesign& design, TuningTable& table, std::string& error)
{
    if (!ComputeTuningTable(design.Design(), table)) {
        error = kNoNetwork;
        return false;
    }
    return true;
}

std::string ResponseCsvText(const ComputedDesign& design)
{
    // Ten significant digits: far finer than the sweep step or any loss that matters, and
    // free of the binary noise (1099.9999999999998) that a round-trip form shows.
    std::string out;
    const std::vector<double>& x = design.ResponseX();
    const std::vector<double>& y = design.ResponseY();
    for (std::size_t k = 0; k < x.size(); ++k) {
        Append(out, "%.10g", x[k]);
        Append(out, ",%.10g\n", -y[k]);
    }
    return out;
}

int32_t SetupNetworkChart(XChart& chart, const ComputedDesign& design, const NetworkSweep& sweep)
{
    std::vector<double> x;
    std::vector<double> s21;
    std::vector<double> s11;
    for (const NetworkPoint& p : sweep.points) {
        x.push_back(p.freqGHz * 1000);
        s21.push_back(MagnitudeDb(p.s21));
        s11.push_back(MagnitudeDb(p.s11));
    }
    std::vector<double> asBuilt;
    if (sweep.asBuilt.size() == sweep.points.size()) {
        for (const NetworkPoint& p : sweep.asBuilt) {
            asBuilt.push_back(MagnitudeDb(p.s21));
        }
    }
    NetworkCurves curves;
    curves.idealX = design.ResponseX().data();
    curves.idealY = design.ResponseY().data();
    curves.idealN = static_cast<int32_t>(design.ResponseX().size());
    curves.x = x.data();
    curves.s21Db = s21.data();
    curves.s11Db = s11.data();
    curves.asBuiltDb = asBuilt.empty() ? nullptr : asBuilt.data();
    curves.n = static_cast<int32_t>(x.size());
    return SetupNetworkChart(chart, curves);
}
