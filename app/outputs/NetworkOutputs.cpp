#include "app/outputs/NetworkOutputs.h"

#include "app/engine/FilterDesign.h"
#include "app/engine/FilterSynthesis.h"
#include "app/engine/ParmsText.h"
#include "app/outputs/TesseraChart.h"
#include "base/ZFile.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <ostream>

#ifndef TESSERA_VERSION
#error "TESSERA_VERSION must name the project version"
#endif

namespace {

bool EndsBlank(const char* p)
{
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\f' || *p == '\v') {
        ++p;
    }
    return *p == '\0';
}

// A number as a whole argument, decimal only ("0x10" is refused, as for the design inputs).
// Infinity is read when allowed; "nan" never is.
bool ReadNumber(const std::string& text, double& value)
{
    if (text.find_first_of("xX") != std::string::npos) {
        return false;
    }
    const char* begin = text.c_str();
    char* end = nullptr;
    const double v = std::strtod(begin, &end);
    if (end == begin || !EndsBlank(end) || std::isnan(v)) {
        return false;
    }
    value = v;
    return true;
}

bool ReadPositiveMHz(const std::string& text, double& value)
{
    return ReadNumber(text, value) && std::isfinite(value) && value > 0.0;
}

bool ReadPoints(const std::string& text, int& points)
{
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(begin, &end, 10);
    if (end == begin || errno == ERANGE || !EndsBlank(end) || v < kMinNetworkPoints ||
        v > kMaxNetworkPoints) {
        return false;
    }
    points = static_cast<int>(v);
    return true;
}

bool HasS2pExtension(const std::string& path)
{
    if (path.size() < 5) {
        return false;
    }
    std::string ext = path.substr(path.size() - 4);
    for (char& ch : ext) {
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    }
    return ext == ".s2p";
}

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

// Touchstone 1.1: "!" comment lines, the option line (frequency unit, S parameters in
// real/imaginary form, reference resistance), then one line per frequency with S11, S21,
// S12, S22, the order of a two-port file.
std::string TouchstoneText(const std::vector<NetworkPoint>& points, const NetworkModel& model,
                           const std::string& parms)
{
    std::string out = "! Touchstone file written by tessera " TESSERA_VERSION "\n";
    out += "! Interdigital bandpass filter: " + parms + "\n";
    out += "! Coupled-resonator model: f0";
    Append(out, " %.6f MHz, ", model.f0GHz * 1000);
    if (std::isinf(model.qu)) {
        out += "lossless resonators\n";
    } else {
        Append(out, "unloaded Q %.6g\n", model.qu);
    }
    Append(out, "# MHz S RI R %.12g\n", model.lineOhm);
    for (const NetworkPoint& p : points) {
        Append(out, "%.12g", p.freqGHz * 1000);
        AppendComplex(out, p.s11);
        AppendComplex(out, p.s21);
        AppendComplex(out, p.s12);
        AppendComplex(out, p.s22);
        out += '\n';
    }
    return out;
}

std::string NetworkCsv(const std::vector<NetworkPoint>& points)
{
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
std::string TuningText(const TuningTable& t)
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
            Append(out, "  %14.6f", t.coupling[k - 1]);
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

std::string TuningCsv(const TuningTable& t)
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

bool ReplaceFile(const std::string& path, const std::string& text, std::string& error)
{
    int code = 0;
    if (!ZReplaceFile(ZStr(path.c_str()), text.data(), text.size(), &code)) {
        error = "cannot write '" + path + "': " + ZFileErrorText(code).Text();
        return false;
    }
    return true;
}

bool SweepOutput(const NetworkOptions& o)
{
    return o.touchstone || o.csv || o.chartLines;
}

} // namespace

OptionMatch ParseNetworkOption(const std::string& name,
                               const std::function<bool(std::string&)>& takeValue,
                               const std::function<bool()>& noValue, NetworkOptions& o,
                               std::string& error)
{
    auto path = [&](bool& flag, std::string& target) {
        if (!takeValue(target)) {
            return OptionMatch::Failed;
        }
        if (target.empty()) {
            error = "option '" + name + "' needs a file name or '-'";
            return OptionMatch::Failed;
        }
        flag = true;
        return OptionMatch::Read;
    };
    auto flag = [&](bool& target) {
        if (!noValue()) {
            return OptionMatch::Failed;
        }
        target = true;
        return OptionMatch::Read;
    };
    std::string value;
    if (name == "--touchstone") {
        if (!takeValue(o.touchstonePath)) {
            return OptionMatch::Failed;
        }
        // Simulators tell a two-port file by its extension.
        if (!HasS2pExtension(o.touchstonePath)) {
            error = "option '--touchstone' needs a file name ending in .s2p";
            return OptionMatch::Failed;
        }
        o.touchstone = true;
        return OptionMatch::Read;
    }
    if (name == "--network-csv") {
        return path(o.csv, o.csvPath);
    }
    if (name == "--tuning-csv") {
        return path(o.tuningCsv, o.tuningCsvPath);
    }
    if (name == "--tuning") {
        return flag(o.tuning);
    }
    if (name == "--network") {
        return flag(o.chartLines);
    }
    if (name == "--from" || name == "--to") {
        double mhz = 0.0;
        if (!takeValue(value)) {
            return OptionMatch::Failed;
        }
        if (!ReadPositiveMHz(value, mhz)) {
            error = "option '" + name + "' needs a frequency in MHz above 0";
            return OptionMatch::Failed;
        }
        (name == "--from" ? o.fromMHz : o.toMHz) = mhz;
        return OptionMatch::Read;
    }
    if (name == "--points") {
        int points = 0;
        if (!takeValue(value)) {
            return OptionMatch::Failed;
        }
        if (!ReadPoints(value, points)) {
            error = "option '--points' needs a whole number from " +
                    std::to_string(kMinNetworkPoints) + " to " + std::to_string(kMaxNetworkPoints);
            return OptionMatch::Failed;
        }
        o.points = points;
        return OptionMatch::Read;
    }
    if (name == "--qu") {
        double qu = 0.0;
        if (!takeValue(value)) {
            return OptionMatch::Failed;
        }
        if (!ReadNumber(value, qu) || !(qu > 0.0)) {
            error = "option '--qu' needs an unloaded Q above 0, or 'inf' for lossless resonators";
            return OptionMatch::Failed;
        }
        o.qu = qu;
        return OptionMatch::Read;
    }
    return OptionMatch::NotNetwork;
}

bool CheckNetworkOptions(const NetworkOptions& o, bool chart, std::string& error)
{
    if (o.chartLines && !chart) {
        error = "option '--network' needs --chart FILE";
        return false;
    }
    if (o.fromMHz.has_value() != o.toMHz.has_value()) {
        error = "options '--from' and '--to' go together";
        return false;
    }
    if (o.points && !o.fromMHz) {
        error = "option '--points' needs --from and --to";
        return false;
    }
    if (o.fromMHz && !(*o.toMHz > *o.fromMHz)) {
        error = "option '--to' needs a frequency above that of '--from'";
        return false;
    }
    if ((o.fromMHz || o.qu) && !SweepOutput(o)) {
        error = "options '--from', '--to', '--points' and '--qu' apply to --touchstone, "
                "--network-csv and --chart with --network";
        return false;
    }
    return true;
}

bool HasNetworkAction(const NetworkOptions& o)
{
    return o.touchstone || o.csv || o.tuning || o.tuningCsv;
}

std::string NetworkUsageText()
{
    return "Network of coupled resonators (|S21| with the resonators' loss, |S11|, delay):\n"
           "  --touchstone FILE.s2p write S11, S21, S12, S22 as a Touchstone 1.1 file\n"
           "  --network-csv FILE    write 'MHz,S21 dB,S11 dB,delay ns' lines; '-' writes to\n"
           "                        standard output\n"
           "  --network             with --chart: draw |S21| and |S11| (line \"S11\")\n"
           "  --from MHZ --to MHZ   sweep of the network outputs (default: the design's)\n"
           "  --points N            points of that sweep, " +
           std::to_string(kMinNetworkPoints) + " to " + std::to_string(kMaxNetworkPoints) +
           " (default " + std::to_string(kDefaultNetworkPoints) +
           ")\n"
           "  --qu Q|inf            unloaded Q of the resonators (default: the report's\n"
           "                        estimate); 'inf' for lossless resonators\n"
           "  --tuning              print the tuning table: S11 delay at f0 as resonators\n"
           "                        1..k are tuned, couplings, external Q\n"
           "  --tuning-csv FILE     write the tuning table as CSV; '-' writes to standard\n"
           "                        output\n";
}

bool NetworkResults::Compute(const NetworkOptions& options, const std::string& parms,
                             std::string& error)
{
    m_options = options;
    if (!SweepOutput(options) && !options.tuning && !options.tuningCsv) {
        return true;
    }
    // The record is large; it lives on the heap, as in the calculator.
    auto design = std::make_unique<FilterDesign>();
    if (ParmsToDesign(parms, *design) || ValidateDesign(*design) || !Synthesize(*design)) {
        error = "the design cannot be computed";
        return false;
    }
    NetworkModel model;
    const double qu = options.qu.value_or(design->qUnloaded);
    if (!BuildNetworkModel(*design, qu, model)) {
        error = "the network model needs a bandwidth below twice the centre frequency";
        return false;
    }
    if (SweepOutput(options)) {
        const std::vector<double> freqs =
            options.fromMHz ? LinearSweepGHz(*options.fromMHz * 0.001, *options.toMHz * 0.001,
                                             options.points.value_or(kDefaultNetworkPoints))
                            : DesignSweepGHz(*design);
        m_points = SweepNetwork(model, freqs);
    }
    if (options.touchstone) {
        m_touchstone = TouchstoneText(m_points, model, parms);
    }
    if (options.csv) {
        m_csv = NetworkCsv(m_points);
    }
    if (options.tuning || options.tuningCsv) {
        TuningTable table;
        if (!ComputeTuningTable(*design, table)) {
            error = "the network model needs a bandwidth below twice the centre frequency";
            return false;
        }
        m_tuningText = TuningText(table);
        m_tuningCsv = TuningCsv(table);
    }
    return true;
}

void NetworkResults::WriteToStream(std::ostream& out) const
{
    if (m_options.tuning) {
        out << m_tuningText;
    }
    if (m_options.csv && m_options.csvPath == "-") {
        out << m_csv;
    }
    if (m_options.tuningCsv && m_options.tuningCsvPath == "-") {
        out << m_tuningCsv;
    }
}

bool NetworkResults::WriteFiles(std::string& error) const
{
    if (m_options.touchstone && !ReplaceFile(m_options.touchstonePath, m_touchstone, error)) {
        return false;
    }
    if (m_options.csv && m_options.csvPath != "-" &&
        !ReplaceFile(m_options.csvPath, m_csv, error)) {
        return false;
    }
    if (m_options.tuningCsv && m_options.tuningCsvPath != "-" &&
        !ReplaceFile(m_options.tuningCsvPath, m_tuningCsv, error)) {
        return false;
    }
    return true;
}

int32_t NetworkResults::SetupChart(XChart& chart) const
{
    std::vector<double> x;
    std::vector<double> s21;
    std::vector<double> s11;
    for (const NetworkPoint& p : m_points) {
        x.push_back(p.freqGHz * 1000);
        s21.push_back(MagnitudeDb(p.s21));
        s11.push_back(MagnitudeDb(p.s11));
    }
    return SetupNetworkChart(chart, x.data(), s21.data(), s11.data(),
                             static_cast<int32_t>(x.size()));
}
