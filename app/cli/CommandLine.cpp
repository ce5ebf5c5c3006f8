// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/cli/CommandLine.h"

#include "app/engine/ComputedDesign.h"
#include "app/engine/ConfigParms.h"
#include "app/engine/ParmsText.h"
#include "app/outputs/AsBuiltOutputs.h"
#include "app/outputs/BuildSheet.h"
#include "app/outputs/ConfigFile.h"
#include "app/outputs/NetworkOutputs.h"
#include "app/outputs/OpenEmsModel.h"
#include "app/outputs/OutputFile.h"
#include "app/outputs/TesseraChart.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ostream>

#ifndef TESSERA_VERSION
#error "TESSERA_VERSION must name the project version"
#endif

namespace {

// The file name without its folder and its extension: the stem of the files a written
// script makes.
std::string FileStem(const std::string& path)
{
    std::string name = path.substr(path.find_last_of('/') + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) {
        name.resize(dot);
    }
    return name.empty() ? std::string("filter") : name;
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

// A configuration's name as --list-configs prints it: a tab or a control character would
// break the "section TAB name" line or reach the terminal, so each is written as an escape
// ("\t", "\n", "\r", "\xHH"), and a backslash as "\\".
std::string ListedName(const std::string& name)
{
    std::string out;
    for (const char ch : name) {
        const auto byte = static_cast<unsigned char>(ch);
        if (ch == '\\') {
            out += "\\\\";
        } else if (ch == '\t') {
            out += "\\t";
        } else if (ch == '\n') {
            out += "\\n";
        } else if (ch == '\r') {
            out += "\\r";
        } else if (byte < 0x20 || byte == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", unsigned(byte));
            out += escape;
        } else {
            out += ch;
        }
    }
    return out;
}

// The parameter text of the stored configuration options.config: its inputs read as the
// calculator reads them when the configuration is chosen, then formatted as the calculator
// formats its fields. Returns kExitOk, or the exit status with the message on err: a file
// that cannot be read is a failure, a missing configuration or a broken text a usage error.
int ConfigParms(const CommandLineOptions& options, std::string& parms, BuildChoice& choice,
                std::ostream& err)
{
    ConfigFile file(options.configDir);
    std::string error;
    if (!file.Load(error)) {
        err << error << "\n";
        return kExitFailure;
    }
    const int index = file.Find(*options.config);
    if (index < 0) {
        err << "Error: no configuration named '" << *options.config << "' in " << file.Path()
            << "\n";
        return kExitUsage;
    }
    std::string stored;
    if (!file.GetParms(index, stored)) {
        err << kParmsKeyMissing << "\n";
        return kExitUsage;
    }
    DesignInputs inputs;
    const StoredParmsOutcome outcome = ApplyStoredParms(stored, inputs);
    if (!outcome.Ok()) {
        err << outcome.message << "\n";
        return kExitUsage;
    }
    parms = BuildParms(inputs);
    choice = file.GetBuildChoice(index);
    return kExitOk;
}

bool IsStdout(bool asked, const std::string& path)
{
    return asked && path == "-";
}

// One file output: its path and its bytes, made before anything is written.
struct FileOutput
{
    std::string path;
    std::string bytes;
};

} // namespace

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
        ConfigFile file(options.configDir);
        std::string error;
        if (!file.Load(error)) {
            err << error << "\n";
            return kExitFailure;
        }
        for (int i = 0; i < file.Count(); ++i) {
            out << ListedName(file.Section(i).Text()) << '\t' << ListedName(file.Name(i)) << '\n';
        }
        return OutputWritten(out, err) ? kExitOk : kExitFailure;
    }
    if (options.unreadableInput) {
        err << ErrorStatusText(InputInfo(*options.unreadableInput).errorName) << "\n";
        return kExitUsage;
    }

    // The same path the calculator takes: the parameter text, then one computation of it
    // that every output reads.
    std::string parms;
    BuildChoice choice;
    if (options.config) {
        if (const int status = ConfigParms(options, parms, choice, err); status != kExitOk) {
            return status;
        }
    } else {
        parms = options.parms ? *options.parms : BuildParms(options.inputs);
    }
    // The options name the build choice; what they leave open, the configuration decides.
    choice.feed = options.feed.value_or(choice.feed);
    choice.corrected = choice.corrected || options.correct;
    std::string status;
    const std::shared_ptr<const ComputedDesign> design =
        ComputedDesign::Compute(parms, options.unit, status, choice);
    if (!design) {
        err << status << "\n";
        return kExitUsage;
    }

    // Everything that can fail for the design's sake is computed before anything is
    // written, so a refused design leaves no file behind.
    const NetworkOptions& n = options.network;
    NetworkSweep sweep;
    const bool sweepAsked = n.touchstone || n.csv || n.chartLines;
    std::string error;
    if (sweepAsked && !ComputeNetworkSweep(*design, n.sweep, sweep, error)) {
        err << "tessera: " << error << "\n";
        return kExitUsage;
    }
    // The chart's line of the box as built is one more view of the network; a box that
    // cannot be modelled leaves it out and says why, the other lines are drawn all the same.
    if (n.chartLines && !AddAsBuiltSweep(*design, sweep, error)) {
        err << "tessera: the chart has no line as built: " << error << "\n";
    }
    TuningTable tuning;
    if ((n.tuning || n.tuningCsv) && !ComputeTuning(*design, tuning, error)) {
        err << "tessera: " << error << "\n";
        return kExitUsage;
    }
    const bool build = !options.buildSheetPath.empty() || !options.dxfPath.empty() ||
                       !options.openEmsPath.empty() || !options.geometryPath.empty() ||
                       options.asBuilt;
    if (build && design->BuildProblem()) {
        err << *design->BuildProblem() << "\n";
        return kExitUsage;
    }
    if (design->CorrectionProblem()) {
        err << "tessera: cannot correct the dimensions: " << *design->CorrectionProblem() << "\n";
        return kExitUsage;
    }
    std::string asBuilt;
    if (options.asBuilt && !AsBuiltSummaryText(*design, asBuilt, error)) {
        err << "tessera: " << error << "\n";
        return kExitUsage;
    }

    const bool report =
        options.report ||
        (!options.parmsText && !options.csv && !options.chart && !n.touchstone && !n.csv &&
         !n.tuning && !n.tuningCsv && !build && !options.asBuilt && options.geometryPath.empty());
    errno = 0;
    if (options.parmsText) {
        out << parms << "\n";
    }
    if (report) {
        out << (options.crlf ? design->Report() : CrLfToLf(design->Report()));
    }
    const std::string responseCsv = options.csv ? ResponseCsvText(*design) : std::string();
    const std::string networkCsv = n.csv ? NetworkCsvText(sweep) : std::string();
    const std::string tuningCsv = n.tuningCsv ? TuningCsvText(tuning) : std::string();
    if (IsStdout(options.csv, options.csvPath)) {
        out << responseCsv;
    }
    if (n.tuning) {
        out << TuningTableText(tuning);
    }
    out << asBuilt;
    if (IsStdout(n.csv, n.csvPath)) {
        out << networkCsv;
    }
    if (IsStdout(n.tuningCsv, n.tuningCsvPath)) {
        out << tuningCsv;
    }
    if (!OutputWritten(out, err)) {
        return kExitFailure;
    }

    // The files, each made in memory and stored safely, so that a failed write keeps the
    // old file.
    std::vector<FileOutput> files;
    if (options.csv && !IsStdout(options.csv, options.csvPath)) {
        files.push_back({options.csvPath, responseCsv});
    }
    if (n.touchstone) {
        files.push_back({n.touchstonePath, TouchstoneText(*design, sweep)});
    }
    if (n.csv && !IsStdout(n.csv, n.csvPath)) {
        files.push_back({n.csvPath, networkCsv});
    }
    if (n.tuningCsv && !IsStdout(n.tuningCsv, n.tuningCsvPath)) {
        files.push_back({n.tuningCsvPath, tuningCsv});
    }
    if (!options.geometryPath.empty()) {
        files.push_back({options.geometryPath, GeometryJsonText(*design)});
    }
    if (!options.openEmsPath.empty()) {
        files.push_back(
            {options.openEmsPath, OpenEmsScriptText(design->Design(), design->Geometry(),
                                                    FileStem(options.openEmsPath))});
    }
    for (const FileOutput& file : files) {
        if (!WriteOutputFile(file.path, file.bytes, error)) {
            err << "tessera: " << error << "\n";
            return kExitFailure;
        }
    }
    if (options.chart &&
        !WriteChartFile(*design, n.chartLines ? &sweep : nullptr, options.chartPath,
                        options.chartWidth, options.chartHeight, error)) {
        err << "tessera: " << error << "\n";
        return kExitFailure;
    }
    for (const std::string& path : {options.buildSheetPath, options.dxfPath}) {
        if (!path.empty() &&
            WriteBuildSheet(path, *design, options.unit, error) != BuildOutputStatus::Written) {
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
