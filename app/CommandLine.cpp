#include "app/CommandLine.h"

#include "app/filter/DesignComputation.h"
#include "app/filter/FilterDesign.h"
#include "app/filter/ParmsText.h"
#include "base/ZFile.h"
#include "chart/TesseraChart.h"
#include "chart/XChart.h"
#include "chart/XChartExport.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <sstream>

#ifndef TESSERA_VERSION
#error "TESSERA_VERSION must name the project version"
#endif

namespace {

struct InputOption
{
    const char* name;
    DesignInput input;
};

const InputOption kInputOptions[] = {
    {"--elements", DesignInput::Elements},  {"--ripple", DesignInput::Ripple},
    {"--fc", DesignInput::CentreFrequency}, {"--bw", DesignInput::Bandwidth},
    {"--z", DesignInput::Impedance},        {"--h", DesignInput::GroundPlaneSpacing},
    {"--d", DesignInput::RodDiameter},      {"--e", DesignInput::EndPlate},
};

bool IsBlank(const char* p)
{
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\f' || *p == '\v') {
        ++p;
    }
    return *p == '\0';
}

// A command-line value must be a number as a whole (surrounding blanks allowed): unlike an
// edit field, where a half-typed value is normal, "12x" on a command line is a mistake.
bool IsWholeNumber(const std::string& text, DesignInput input)
{
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    if (input == DesignInput::Elements) {
        const long value = std::strtol(begin, &end, 10);
        if (end == begin || errno == ERANGE || value < INT_MIN || value > INT_MAX) {
            return false;
        }
    } else {
        std::strtod(begin, &end);
        if (end == begin) {
            return false;
        }
    }
    return IsBlank(end);
}

// Writes a value with ten significant digits: far finer than the sweep step or any loss that
// matters, and free of the binary noise (1099.9999999999998) that a round-trip form shows.
void WriteCsvNumber(std::ostream& os, double value)
{
    char buffer[32];
    const int length = std::snprintf(buffer, sizeof buffer, "%.10g", value);
    os.write(buffer, length);
}

void WriteCsv(std::ostream& os, const DesignOutputs& outputs)
{
    for (std::size_t k = 0; k < outputs.responseX.size(); ++k) {
        WriteCsvNumber(os, outputs.responseX[k]);
        os << ',';
        WriteCsvNumber(os, -outputs.responseY[k]);
        os << '\n';
    }
}

// Reads "WxH" (also "W,H" or "W H") as two whole numbers of pixels within the image limits.
bool ParseChartSize(const std::string& text, int& width, int& height)
{
    const char* p = text.c_str();
    char* end = nullptr;
    errno = 0;
    const long w = std::strtol(p, &end, 10);
    if (end == p || errno == ERANGE) {
        return false;
    }
    p = end;
    while (*p == ' ' || *p == ',' || *p == 'x' || *p == 'X') {
        ++p;
    }
    const char* second = p;
    const long h = std::strtol(second, &end, 10);
    if (end == second || errno == ERANGE || !IsBlank(end)) {
        return false;
    }
    if (w < 1 || h < 1 || w > kMaxChartImageSide || h > kMaxChartImageSide) {
        return false;
    }
    width = int(w);
    height = int(h);
    return true;
}

} // namespace

std::string UsageText()
{
    const DesignInputs defaults;
    auto text = [&defaults](DesignInput input) {
        return " (default " + FieldText(defaults, input) + ")\n";
    };
    std::string usage;
    usage += "Usage: tessera [--report] [--parms-text] [--response-csv FILE|-]\n"
             "               [--chart FILE [--size WxH]]\n"
             "               [--inch] [--crlf] [--parms TEXT | INPUTS...]\n"
             "       tessera --help | --version\n"
             "Designs an interdigital bandpass filter. Without any option tessera prints the\n"
             "report of the default design.\n"
             "\n"
             "Actions (several may be combined; --report is the default):\n"
             "  --report              print the design report\n"
             "  --parms-text          print the parameter text of the inputs\n"
             "  --response-csv FILE   write the ideal response, one 'MHz,dB loss' line per\n"
             "                        point; '-' writes to standard output\n"
             "  --chart FILE          draw the response chart into FILE: .png, .svg, .pdf,\n"
             "                        or .xch for the chart file\n"
             "  --size WxH            chart image size in pixels (default " +
             std::to_string(kDefaultChartWidth) + "x" + std::to_string(kDefaultChartHeight) +
             ")\n"
             "  --help                print this help\n"
             "  --version             print the program version\n"
             "\n"
             "Inputs, in the units of the calculator's fields:\n";
    usage += "  --elements N          number of resonators, 2 to 12" + text(DesignInput::Elements);
    usage += "  --ripple DB           pass-band ripple, 0 (maximally flat) to 4" +
             text(DesignInput::Ripple);
    usage += "  --fc MHZ              centre frequency" + text(DesignInput::CentreFrequency);
    usage += "  --bw MHZ              bandwidth" + text(DesignInput::Bandwidth);
    usage += "  --z OHM               feed line impedance" + text(DesignInput::Impedance);
    usage += "  --h MM                ground-plane spacing" + text(DesignInput::GroundPlaneSpacing);
    usage += "  --d MM                rod diameter" + text(DesignInput::RodDiameter);
    usage += "  --e MM                end plate to the centre of the end rod" +
             text(DesignInput::EndPlate);
    usage += "  --parms TEXT          a parameter text instead of the inputs above\n"
             "\n"
             "Report:\n"
             "  --inch                lengths in inches with three decimals\n"
             "  --crlf                keep the report's CR LF line ends\n"
             "\n"
             "An invalid input prints \"Error: \" and the input's name and exits with status 2.\n";
    return usage;
}

bool ParseCommandLine(const std::vector<std::string>& args, CommandLineOptions& options,
                      std::string& error)
{
    bool unreadable[kDesignInputCount] = {};
    bool inputsGiven = false;

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string name = arg;
        std::optional<std::string> inlineValue;
        const std::size_t equals = arg.find('=');
        if (arg.rfind("--", 0) == 0 && equals != std::string::npos) {
            name = arg.substr(0, equals);
            inlineValue = arg.substr(equals + 1);
        }
        // Fetches the option's value: after "=", or the next argument.
        auto takeValue = [&](std::string& value) {
            if (inlineValue) {
                value = *inlineValue;
                return true;
            }
            if (i + 1 >= args.size()) {
                error = "option '" + name + "' needs a value";
                return false;
            }
            value = args[++i];
            return true;
        };
        auto noValue = [&]() {
            if (inlineValue) {
                error = "option '" + name + "' takes no value";
                return false;
            }
            return true;
        };

        if (name == "--help" || name == "-h") {
            if (!noValue()) {
                return false;
            }
            options.help = true;
        } else if (name == "--version") {
            if (!noValue()) {
                return false;
            }
            options.version = true;
        } else if (name == "--report") {
            if (!noValue()) {
                return false;
            }
            options.report = true;
        } else if (name == "--parms-text") {
            if (!noValue()) {
                return false;
            }
            options.parmsText = true;
        } else if (name == "--inch") {
            if (!noValue()) {
                return false;
            }
            options.unit = LengthUnit::Inch;
        } else if (name == "--crlf") {
            if (!noValue()) {
                return false;
            }
            options.crlf = true;
        } else if (name == "--response-csv") {
            if (!takeValue(options.csvPath)) {
                return false;
            }
            if (options.csvPath.empty()) {
                error = "option '--response-csv' needs a file name or '-'";
                return false;
            }
            options.csv = true;
        } else if (name == "--chart") {
            if (!takeValue(options.chartPath)) {
                return false;
            }
            if (ChartFileKindFromPath(ZStr(options.chartPath.c_str())) == XChartFileKind::Unknown) {
                error = "unknown chart file type '" + options.chartPath +
                        "' (use .png, .svg, .pdf or .xch)";
                return false;
            }
            options.chart = true;
        } else if (name == "--size") {
            std::string size;
            if (!takeValue(size)) {
                return false;
            }
            if (!ParseChartSize(size, options.chartWidth, options.chartHeight)) {
                error = "option '--size' needs WIDTHxHEIGHT in pixels, 1 to " +
                        std::to_string(kMaxChartImageSide) + " each";
                return false;
            }
        } else if (name == "--parms") {
            std::string text;
            if (!takeValue(text)) {
                return false;
            }
            options.parms = text;
        } else {
            const InputOption* match = nullptr;
            for (const InputOption& option : kInputOptions) {
                if (name == option.name) {
                    match = &option;
                }
            }
            if (match == nullptr) {
                error = (arg.rfind("-", 0) == 0 && arg.size() > 1)
                            ? "unknown option '" + name + "'"
                            : "unexpected argument '" + arg + "'";
                return false;
            }
            std::string value;
            if (!takeValue(value)) {
                return false;
            }
            const int index = static_cast<int>(match->input);
            unreadable[index] = !IsWholeNumber(value, match->input);
            if (!unreadable[index]) {
                SetFieldFromText(options.inputs, match->input, value);
            }
            inputsGiven = true;
        }
    }

    if (options.parms && inputsGiven) {
        error = "--parms cannot be combined with separate inputs";
        return false;
    }
    for (int index = 0; index < kDesignInputCount; ++index) {
        if (unreadable[index]) {
            options.unreadableInput = DesignInputAt(index);
            break;
        }
    }
    return true;
}

int ExecuteCommandLine(const CommandLineOptions& options, std::ostream& out, std::ostream& err)
{
    if (options.help) {
        out << UsageText();
        return out.flush() ? kExitOk : kExitFailure;
    }
    if (options.version) {
        out << "tessera " << TESSERA_VERSION << "\n";
        return out.flush() ? kExitOk : kExitFailure;
    }
    if (options.unreadableInput) {
        err << ErrorStatusText(InputInfo(*options.unreadableInput).errorName) << "\n";
        return kExitUsage;
    }

    // The same path the calculator takes: the parameter text, then a recomputation of it.
    const std::string parms = options.parms ? *options.parms : BuildParms(options.inputs);
    DesignOutputs outputs;
    if (!RecomputeDesign(parms, options.unit, outputs)) {
        err << outputs.status << "\n";
        return kExitUsage;
    }

    const bool report = options.report || (!options.parmsText && !options.csv && !options.chart);
    if (options.parmsText) {
        out << parms << "\n";
    }
    if (report) {
        out << (options.crlf ? outputs.report : CrLfToLf(outputs.report));
    }
    if (options.csv) {
        if (options.csvPath == "-") {
            WriteCsv(out, outputs);
        } else {
            // Made in memory and stored safely, so that a failed write keeps the old file.
            std::ostringstream csv;
            WriteCsv(csv, outputs);
            const std::string text = csv.str();
            int code = 0;
            if (!ZReplaceFile(ZStr(options.csvPath.c_str()), text.data(), text.size(), &code)) {
                err << "tessera: cannot write '" << options.csvPath
                    << "': " << ZFileErrorText(code).Text() << "\n";
                return kExitFailure;
            }
        }
    }
    if (options.chart) {
        XChart chart;
        SetupChartWithData(chart, outputs.responseX.data(), outputs.responseY.data(),
                           int32_t(outputs.responseX.size()));
        ZString error;
        if (!ExportChart(chart, ZStr(options.chartPath.c_str()), options.chartWidth,
                         options.chartHeight, error)) {
            err << "tessera: " << error.Text() << "\n";
            return kExitFailure;
        }
    }
    if (!out.flush()) {
        err << "tessera: cannot write the output\n";
        return kExitFailure;
    }
    return kExitOk;
}

int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    CommandLineOptions options;
    std::string error;
    if (!ParseCommandLine(args, options, error)) {
        err << "tessera: " << error << "\n" << UsageText();
        return kExitUsage;
    }
    return ExecuteCommandLine(options, out, err);
}

int RunCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err)
{
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        args.emplace_back(argv[i]);
    }
    return RunCommandLine(args, out, err);
}
