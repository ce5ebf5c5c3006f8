#include "app/cli/CommandLine.h"

#include "app/engine/BuildGeometry.h"
#include "app/engine/ConfigParms.h"
#include "app/engine/DesignComputation.h"
#include "app/engine/FilterDesign.h"
#include "app/engine/ParmsText.h"
#include "app/outputs/BuildSheet.h"
#include "app/outputs/TesseraChart.h"
#include "base/ZFile.h"
#include "base/ZIni.h"
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

// A command-line value must be a decimal number as a whole (surrounding blanks allowed):
// unlike an edit field, where a half-typed value is normal, "12x" on a command line is a
// mistake. Hexadecimal forms ("0x4B0", which strtod would read) are refused for every input
// alike, since the element count, read as a decimal integer, cannot take them.
bool IsWholeNumber(const std::string& text, DesignInput input)
{
    if (text.find_first_of("xX") != std::string::npos) {
        return false;
    }
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
// Blanks may surround the one separator.
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
    while (*p == ' ') {
        ++p;
    }
    if (*p == ',' || *p == 'x' || *p == 'X') {
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

// The indent of a continued option description in the usage text.
constexpr const char* kIndent = "                        ";

// A limit as the usage text shows it: plain digits, no exponent.
std::string Number(double value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.10g", value);
    return buffer;
}

// Flushes standard output and reports a failed write (a full disk, a closed pipe) on err:
// output that silently went nowhere must not end with a success status. errno is cleared
// before the output is written, so a code left from earlier work is not blamed for it.
bool OutputWritten(std::ostream& out, std::ostream& err)
{
    if (out.flush()) {
        return true;
    }
    const int code = errno;
    err << "tessera: cannot write output";
    if (code != 0) {
        err << ": " << std::strerror(code);
    }
    err << "\n";
    return false;
}

std::string ToString(const ZString& s)
{
    return std::string(s.Text(), size_t(s.Length()));
}

// The configurations of the file in the folder dir, as the calculator lists them: the
// sections "C_..." in byte order of their names. A missing or unreadable file lists none.
struct StoredConfigs
{
    ZIni ini;
    XArray<ZString, false> sections;

    explicit StoredConfigs(const std::string& dir)
    {
        (void)ini.Load(ZStr(dir.c_str()), ZStr(kConfigFileName), false);
        ini.ListSections(sections, true, true, ZStr("C_"));
    }

    std::string Value(const ZString& section, const char* key, const char* def) const
    {
        ZString value;
        ini.Get(section, ZStr(key), value, ZStr(def));
        return ToString(value);
    }

    // The section of the first configuration in list order named `name` (compared without
    // surrounding blanks, as names are stored); failing that, a section of that name, which
    // tells apart configurations that share a name. -1 when there is none.
    int Find(const std::string& name) const
    {
        const ZStr wanted = ZStr(name.c_str(), int32_t(name.size())).Trim();
        for (int32_t i = 0; i < sections.Count(); ++i) {
            ZString stored;
            if (ini.Get(sections[i], ZStr("Name"), stored) && stored.Str() == wanted) {
                return i;
            }
        }
        for (int32_t i = 0; i < sections.Count(); ++i) {
            if (sections[i].Str() == wanted) {
                return i;
            }
        }
        return -1;
    }
};

// The parameter text of the stored configuration `name`: its inputs read as the calculator
// reads them when the configuration is chosen, then formatted as the calculator formats its
// fields. False with the message on err when there is no such configuration or its text is
// broken.
bool ConfigParms(const CommandLineOptions& options, std::string& parms, std::ostream& err)
{
    const StoredConfigs configs(options.configDir);
    const int index = configs.Find(*options.config);
    if (index < 0) {
        err << "Error: no configuration named '" << *options.config << "' in "
            << configs.ini.path.Text() << "\n";
        return false;
    }
    ZString stored;
    if (!configs.ini.Get(configs.sections[index], ZStr("Parms"), stored)) {
        err << kParmsKeyMissing << "\n";
        return false;
    }
    DesignInputs inputs;
    const StoredParmsOutcome outcome = ApplyStoredParms(ToString(stored), inputs);
    if (!outcome.Ok()) {
        err << outcome.message << "\n";
        return false;
    }
    parms = BuildParms(inputs);
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
             "               [--chart FILE [--size WxH] [--network]]\n"
             "               [--build-sheet FILE.pdf|FILE.svg] [--dxf FILE.dxf]\n"
             "               [--touchstone FILE.s2p] [--network-csv FILE|-]\n"
             "               [--from MHZ --to MHZ [--points N]] [--qu Q|inf]\n"
             "               [--tuning] [--tuning-csv FILE|-]\n"
             "               [--inch] [--crlf] [--parms TEXT | --config NAME | INPUTS...]\n"
             "       tessera --list-configs\n"
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
             "  --build-sheet FILE    draw the dimensioned build sheet into FILE: .pdf or .svg\n"
             "  --dxf FILE            write the parts to cut and drill as a DXF drawing\n"
             "  --size WxH            chart image size in pixels (default " +
             std::to_string(kDefaultChartWidth) + "x" + std::to_string(kDefaultChartHeight) +
             ")\n"
             "  --list-configs        list the configurations in ./" +
             std::string(kConfigFileName) +
             ", one line each\n"
             "                        in the calculator's order: the section (C_1), a tab,\n"
             "                        the name; nothing when there is no file\n"
             "  --help                print this help\n"
             "  --version             print the program version\n"
             "\n"
             "Inputs, in the units of the calculator's fields:\n";
    usage += "  --elements N          number of resonators, " + Number(kMinElements) + " to " +
             Number(kMaxElements) + text(DesignInput::Elements);
    usage += "  --ripple DB           pass-band ripple, 0 (maximally flat) or " +
             Number(kMinRippleDb) + " to " + Number(kMaxRippleDb) + "\n" + kIndent +
             text(DesignInput::Ripple).substr(1);
    usage += "  --fc MHZ              centre frequency, " + Number(kMinFrequencyMHz) + " to " +
             Number(kMaxFrequencyMHz) + text(DesignInput::CentreFrequency);
    usage += "  --bw MHZ              bandwidth, " + Number(kMinBandwidthMHz) + " to " +
             Number(kMaxBandwidthMHz) + text(DesignInput::Bandwidth);
    usage += "  --z OHM               feed line impedance, 1 to " + Number(kMaxImpedanceOhm) +
             text(DesignInput::Impedance);
    usage += "  --h MM                ground-plane spacing, above D, to " + Number(kMaxLengthMm) +
             text(DesignInput::GroundPlaneSpacing);
    usage += "  --d MM                rod diameter, " + Number(kMinRodDiameterMm) +
             " or more, below H" + text(DesignInput::RodDiameter);
    usage += "  --e MM                end plate to the centre of the end rod, above D/2,\n" +
             std::string(kIndent) + "up to " + Number(kMaxLengthMm) + text(DesignInput::EndPlate);
    usage += "  --parms TEXT          a parameter text instead of the inputs above (its sweep:\n" +
             std::string(kIndent) + "NFR 3 to " + Number(kMaxSweepPoints) + " points, STP up to " +
             Number(kMaxStepMHz) +
             " MHz)\n"
             "  --config NAME         the inputs of the configuration named NAME in\n" +
             std::string(kIndent) + "./" + kConfigFileName +
             "; of several with that name, the first\n" + kIndent +
             "in the list; a section (C_3) names one of them\n"
             "\n" +
             NetworkUsageText() +
             "\n"
             "Report:\n"
             "  --inch                lengths in inches with three decimals (also on the build\n"
             "                        sheet and in the DXF drawing)\n"
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
        } else if (name == "--build-sheet" || name == "--dxf") {
            const bool sheet = name == "--build-sheet";
            std::string& path = sheet ? options.buildSheetPath : options.dxfPath;
            if (!takeValue(path)) {
                return false;
            }
            const BuildFileKind kind = BuildFileKindFromPath(path);
            if (sheet ? kind != BuildFileKind::PDF && kind != BuildFileKind::SVG
                      : kind != BuildFileKind::DXF) {
                error = "option '" + name + "' needs a file name ending in " +
                        (sheet ? ".pdf or .svg" : ".dxf");
                return false;
            }
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
        } else if (name == "--list-configs") {
            if (!noValue()) {
                return false;
            }
            options.listConfigs = true;
        } else if (name == "--config") {
            std::string text;
            if (!takeValue(text)) {
                return false;
            }
            options.config = text;
        } else if (const OptionMatch network =
                       ParseNetworkOption(name, takeValue, noValue, options.network, error);
                   network != OptionMatch::NotNetwork) {
            if (network == OptionMatch::Failed) {
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
    if (options.config && (options.parms || inputsGiven)) {
        error = "--config cannot be combined with --parms or separate inputs";
        return false;
    }
    if (options.listConfigs) {
        // Everything but the list itself (and --help, --version, which come first) would be
        // ignored, which is worse than refusing it.
        for (const std::string& arg : args) {
            const std::string name = arg.substr(0, arg.find('='));
            if (name != "--list-configs" && name != "--help" && name != "-h" &&
                name != "--version") {
                error = "--list-configs cannot be combined with '" + name + "'";
                return false;
            }
        }
    }
    if (!CheckNetworkOptions(options.network, options.chart, error)) {
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
    errno = 0;
    if (options.help) {
        out << UsageText();
        return OutputWritten(out, err) ? kExitOk : kExitFailure;
    }
    if (options.version) {
        out << "tessera " << TESSERA_VERSION << "\n";
        return OutputWritten(out, err) ? kExitOk : kExitFailure;
    }
    if (options.listConfigs) {
        const StoredConfigs configs(options.configDir);
        for (int32_t i = 0; i < configs.sections.Count(); ++i) {
            out << configs.sections[i].Text() << '\t'
                << configs.Value(configs.sections[i], "Name", "?") << '\n';
        }
        return OutputWritten(out, err) ? kExitOk : kExitFailure;
    }
    if (options.unreadableInput) {
        err << ErrorStatusText(InputInfo(*options.unreadableInput).errorName) << "\n";
        return kExitUsage;
    }

    // The same path the calculator takes: the parameter text, then a recomputation of it.
    std::string parms;
    if (options.config) {
        if (!ConfigParms(options, parms, err)) {
            return kExitUsage;
        }
    } else {
        parms = options.parms ? *options.parms : BuildParms(options.inputs);
    }
    DesignOutputs outputs;
    if (!RecomputeDesign(parms, options.unit, outputs)) {
        err << outputs.status << "\n";
        return kExitUsage;
    }

    NetworkResults network;
    if (std::string error; !network.Compute(options.network, parms, error)) {
        err << "tessera: " << error << "\n";
        return kExitUsage;
    }

    // A design that cannot be built is refused before anything is written, like one the
    // report rejects.
    const std::string buildPaths[] = {options.buildSheetPath, options.dxfPath};
    const bool build = !options.buildSheetPath.empty() || !options.dxfPath.empty();
    BuildDesign buildable;
    if (build) {
        if (const std::optional<std::string> status = LoadBuildDesign(parms, buildable)) {
            err << *status << "\n";
            return kExitUsage;
        }
    }

    const bool report = options.report || (!options.parmsText && !options.csv && !options.chart &&
                                           !HasNetworkAction(options.network) && !build);
    errno = 0;
    if (options.parmsText) {
        out << parms << "\n";
    }
    if (report) {
        out << (options.crlf ? outputs.report : CrLfToLf(outputs.report));
    }
    if (options.csv && options.csvPath == "-") {
        WriteCsv(out, outputs);
    }
    network.WriteToStream(out);
    if (!OutputWritten(out, err)) {
        return kExitFailure;
    }
    if (options.csv) {
        if (options.csvPath == "-") {
            // Written above with the other output to standard output.
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
    if (std::string error; !network.WriteFiles(error)) {
        err << "tessera: " << error << "\n";
        return kExitFailure;
    }
    if (options.chart) {
        XChart chart;
        if (options.network.chartLines) {
            network.SetupChart(chart);
        } else {
            SetupChartWithData(chart, outputs.responseX.data(), outputs.responseY.data(),
                               int32_t(outputs.responseX.size()));
        }
        ZString error;
        if (!ExportChart(chart, ZStr(options.chartPath.c_str()), options.chartWidth,
                         options.chartHeight, error)) {
            err << "tessera: " << error.Text() << "\n";
            return kExitFailure;
        }
    }
    for (const std::string& path : buildPaths) {
        std::string error;
        if (!path.empty() &&
            WriteBuildSheet(path, parms, options.unit, error) != BuildOutputStatus::Written) {
            err << "tessera: " << error << "\n";
            return kExitFailure;
        }
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
