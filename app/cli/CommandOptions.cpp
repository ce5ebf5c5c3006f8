// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/cli/CommandOptions.h"

#include "app/engine/ConfigParms.h"
#include "app/engine/FilterDesign.h"
#include "app/outputs/BuildSheet.h"
#include "app/outputs/TesseraChart.h"
#include "base/ZStr.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// A limit as the help shows it: plain digits, no exponent.
std::string Number(double value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.10g", value);
    return buffer;
}

std::string Default(DesignInput input)
{
    return " (default " + FieldText(DesignInputs{}, input) + ")";
}

std::string PointsRange()
{
    return std::to_string(kMinNetworkPoints) + " to " + std::to_string(kMaxNetworkPoints);
}

// A command-line value must be a decimal number as a whole (surrounding blanks allowed):
// unlike an edit field, where a half-typed value is normal, "12x" on a command line is a
// mistake. Hexadecimal forms ("0x4B0", which strtod would read) are refused for every input
// alike, since the element count, read as a decimal integer, cannot take them.
bool IsWholeNumber(const std::string& text, bool integer)
{
    if (text.find_first_of("xX") != std::string::npos) {
        return false;
    }
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    if (integer) {
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
    return ZStr(end).IsBlank();
}

// A number as a whole argument, decimal only; "inf" is read, "nan" and numbers beyond the
// range of a double never are.
bool ReadNumber(const std::string& text, double& value)
{
    if (!IsWholeNumber(text, false)) {
        return false;
    }
    errno = 0;
    const double v = std::strtod(text.c_str(), nullptr);
    // "inf" means infinity; a number too large to hold ("1e400") is no way to say it.
    if (std::isnan(v) || (errno == ERANGE && std::isinf(v))) {
        return false;
    }
    value = v;
    return true;
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
    if (end == second || errno == ERANGE || !ZStr(end).IsBlank()) {
        return false;
    }
    const long limit = MaxChartImageSide();
    if (w < 1 || h < 1 || w > limit || h > limit) {
        return false;
    }
    width = int(w);
    height = int(h);
    return true;
}

bool TakeInput(CommandLineOptions& o, DesignInput input, const std::string& value)
{
    const unsigned bit = 1u << static_cast<int>(input);
    if (IsWholeNumber(value, input == DesignInput::Elements)) {
        SetFieldFromText(o.inputs, input, value);
        o.unreadableInputs &= ~bit;
    } else {
        o.unreadableInputs |= bit;
    }
    o.inputsGiven = true;
    return true;
}

// A file output that may also go to standard output ("-").
bool TakeFileOrStdout(const char* name, bool& flag, std::string& path, const std::string& value,
                      std::string& error)
{
    if (value.empty()) {
        error = std::string("option '") + name + "' needs a file name or '-'";
        return false;
    }
    path = value;
    flag = true;
    return true;
}

bool TakeBuildFile(const char* name, std::string& path, const std::string& value,
                   std::string& error)
{
    const BuildFileKind kind = BuildFileKindFromPath(value);
    const bool sheet = std::string(name) == "--build-sheet";
    if (sheet ? kind != BuildFileKind::PDF && kind != BuildFileKind::SVG
              : kind != BuildFileKind::DXF) {
        error = std::string("option '") + name + "' needs a file name ending in " +
                (sheet ? ".pdf or .svg" : ".dxf");
        return false;
    }
    path = value;
    return true;
}

bool TakeFrequency(const char* name, std::optional<double>& target, const std::string& value,
                   std::string& error)
{
    double mhz = 0.0;
    if (!ReadNumber(value, mhz) || !std::isfinite(mhz) || !(mhz > 0.0)) {
        error = std::string("option '") + name + "' needs a frequency in MHz above 0";
        return false;
    }
    target = mhz;
    return true;
}

using Group = OptionGroup;
using Completion = OptionCompletion;

std::vector<CommandOption> MakeTable()
{
    // The help column is 22 characters wide; a description runs to column 80.
    return {
        {"--report", nullptr, nullptr, Group::Actions, Completion::Nothing, nullptr,
         [] { return std::string("print the design report"); }, nullptr,
         "Print the design report (the default action).",
         [](CommandLineOptions& o, const std::string&, std::string&) {
             o.report = true;
             return true;
         }},
        {"--parms-text", nullptr, nullptr, Group::Actions, Completion::Nothing, nullptr,
         [] { return std::string("print the parameter text of the inputs"); }, nullptr,
         "Print the parameter text of the inputs, the form in which\n.I Tessera.ini\n"
         "stores a design.",
         [](CommandLineOptions& o, const std::string&, std::string&) {
             o.parmsText = true;
             return true;
         }},
        {"--response-csv", nullptr, "FILE", Group::Actions, Completion::FileOrStdout, nullptr,
         [] {
             return std::string("write the ideal response, one 'MHz,dB loss' line per\n"
                                "point; '-' writes to standard output");
         },
         nullptr,
         "Write the ideal response, one\n.RI \\(dq MHz , \"dB loss\" \\(dq\nline per point;\n"
         ".B \\-\nwrites to standard output.",
         [](CommandLineOptions& o, const std::string& v, std::string& e) {
             return TakeFileOrStdout("--response-csv", o.csv, o.csvPath, v, e);
         }},
        {"--chart", nullptr, "FILE", Group::Actions, Completion::Files, "png svg pdf xch",
         [] {
             return std::string("draw the response chart into FILE: .png, .svg, .pdf,\n"
                                "or .xch for the chart file");
         },
         nullptr,
         "Draw the response chart into\n.IR FILE :\n.BR .png ,\n.BR .svg ,\n.BR .pdf ,\nor\n"
         ".B .xch\nfor the chart file.",
         [](CommandLineOptions& o, const std::string& v, std::string& e) {
             o.chartPath = v;
             if (!IsChartFileName(v)) {
                 e = "unknown chart file type '" + v + "' (use .png, .svg, .pdf or .xch)";
                 return false;
             }
             o.chart = true;
             return true;
         }},
        {"--build-sheet", nullptr, "FILE", Group::Actions, Completion::Files, "pdf svg",
         [] { return std::string("draw the dimensioned build sheet into FILE: .pdf or .svg"); },
         nullptr,
         "Draw the dimensioned A4 build sheet of the filter into\n.IR FILE ,\na\n.B .pdf\nor\n"
         ".B .svg\nfile.",
         [](CommandLineOptions& o, const std::string& v, std::string& e) {
             return TakeBuildFile("--build-sheet", o.buildSheetPath, v, e);
         }},
        {"--dxf", nullptr, "FILE", Group::Actions, Completion::Files, "dxf",
         [] { return std::string("write the parts to cut and drill as a DXF drawing"); }, nullptr,
         "Write the workshop drawing, the parts to cut and drill, as a DXF file.",
         [](CommandLineOptions& o, const std::string& v, std::string& e) {
             return TakeBuildFile("--dxf", o.dxfPath, v, e);
         }},
        {"--size", nullptr, "WxH", Group::Actions, Completion::Nothing, nullptr,
         [] {
             return "chart image size in pixels (default " + std::to_string(kDefaultChartWidth) +
                    "x" + std::to_string(kDefaultChartHeight) + ")";
         },
         nullptr, "The chart image size in pixels (default 486x413; ignored for\n.BR .xch ).",
         [](CommandLineOptions& o, const std::string& v, std::string& e) {
             if (!ParseChartSize(v, o.chartWidth, o.chartHeight)) {
                 e = "option '--size' needs WIDTHxHEIGHT in pixels, 1 to " +
                     std::to_string(MaxChartImageSide()) + " each";
                 return false;
             }
             return true;
         }},
        {"--list-configs", nullptr, nullptr, Group::Actions, Completion::Nothing, nullptr,
         [] {
             return "list the configurations in ./" + std::string(kConfigFileName) +
                    ", one line each\n"
                    "in the calculator's order: the section (C_1), a tab,\n"
                    "the name; nothing when there is no file";
         },
         nullptr,
         "List the configurations of\n.I ./Tessera.ini\nin the calculator's order, one line "
         "each: the section (such as\n.BR C_1 ),\na tab, the name.\nPrints nothing when there "
         "is no file.\nMay only be combined with\n.B \\-\\-help\nand\n.BR \\-\\-version .",
         [](CommandLineOptions& o, const std::string&, std::string&) {
             o.listConfigs = true;
             return true;
         }},
        {"--help", "-h", nullptr, Group::Actions, Completion::Nothing, nullptr,
         [] { return std::string("print this help"); }, nullptr,
         "Print a summary of the options and exit.",
         [](CommandLineOptions& o, const std::string&, std::string&) {
             o.help = true;
             return true;
         }},
        {"--version", nullptr, nullptr, Group::Actions, Completion::Nothing, nullptr,
         [] { return std::string("print the program version"); }, nullptr,
         "Print the program version and exit.",
         [](CommandLineOptions& o, const std::string&, std::string&) {
             o.version = true;
             return true;
         }},

        {"--elements", nullptr, "N", Group::Inputs, Completion::Nothing, nullptr,
         [] {
             return "number of resonators, " + Number(kMinElements) + " to " +
                    Number(kMaxElements) + Default(DesignInput::Elements);
         },
         nullptr, "Number of resonators, 2 to 12 (default 5).",
         [](CommandLineOptions& o, const std::string& v, std::string&) {
             return TakeInput(o, DesignInput::Elements, v);
         }},
        {"--ripple", nullptr, "DB", Group::Inputs, Completion::Nothing, nullptr,
         [] {
             return "pass-band ripple, 0 (maximally flat) or " + Number(kMinRippleDb) + " to " +
                    Number(kMaxRippleDb) + "\n" + Default(DesignInput::Ripple).substr(1);
         },
         nullptr,
         "Pass-band ripple in dB: 0 for a maximally flat response, or 0.0001 to 4 (default 1).",
         [](CommandLineOptions& o, const std::string& v, std::string&) {
             return TakeInput(o, DesignInput::Ripple, v);
         }},
        {"--fc", nullptr, "MHZ", Group::Inputs, Completion::Nothing, nullptr,
         [] {
             return "centre frequency, " + Number(kMinFrequencyMHz) + " to " +
                    Number(kMaxFrequencyMHz) + Default(DesignInput::CentreFrequency);
         },
         nullptr, "Centre frequency in MHz, 0.001 to 1000000 (default 1200).",
         [](CommandLineOptions& o, const std::string& v, std::string&) {
             return TakeInput(o, DesignInput::CentreFrequency, v);
         }},
        {"--bw", nullptr, "MHZ", Group::Inputs, Completion::Nothing, nullptr,
         [] {
             return "bandwidth, " + Number(kMinBandwidthMHz) + " to " + Number(kMaxBandwidthMHz) +
                    Default(DesignInput::Bandwidth);
         },
         nullptr, "Bandwidth in MHz, 0.001 to 1000000 (default 70).",
         [](CommandLineOptions& o, const std::string& v, std::string&) {
             return TakeInput(o, DesignInput::Bandwidth, v);
         }},
        {"--z", nullptr, "OHM", Group::Inputs, Completion::Nothing, nullptr,
         [] {
             return "feed line impedance, 1 to " + Number(kMaxImpedanceOhm) +
                    Default(DesignInput::Impedance);
         },
         nullptr, "Feed line impedance in ohms, 1 to 1000000 (default 50).",
         [](CommandLineOptions& o, const std::string& v, std::string&) {
             return TakeInput(o, DesignInput::Impedance, v);
         }},
        {"--h", nullptr, "MM", Group::Inputs, Completion::Nothing, nullptr,
         [] {
             return "ground-plane spacing, above D, to " + Number(kMaxLengthMm) +
                    Default(DesignInput::GroundPlaneSpacing);
         },
         nullptr,
         "Ground-plane spacing in millimetres, above\n.IR D ,\nup to 1000000 (default 20).",
         [](CommandLineOptions& o, const std::string& v, std::string&) {
             return TakeInput(o, DesignInput::GroundPlaneSpacing, v);
         }},
        {"--d", nullptr, "MM", Group::Inputs, Completion::Nothing, nullptr,
         [] {
             return "rod diameter, " + Number(kMinRodDiameterMm) + " or more, below H" +
                    Default(DesignInput::RodDiameter);
         },
         nullptr, "Rod diameter in millimetres, 0.001 or more, below\n.I H\n(default 8).",
         [](CommandLineOptions& o, const std::string& v, std::string&) {
             return TakeInput(o, DesignInput::RodDiameter, v);
         }},
        {"--e", nullptr, "MM", Group::Inputs, Completion::Nothing, nullptr,
         [] {
             return "end plate to the centre of the end rod, above D/2,\nup to " +
                    Number(kMaxLengthMm) + Default(DesignInput::EndPlate);
         },
         nullptr,
         "Distance from the end plate to the centre of the end rod in millimetres, above\n"
         ".IR D /2,\nup to 1000000 (default 25).",
         [](CommandLineOptions& o, const std::string& v, std::string&) {
             return TakeInput(o, DesignInput::EndPlate, v);
         }},
        {"--parms", nullptr, "TEXT", Group::Inputs, Completion::Nothing, nullptr,
         [] {
             return "a parameter text instead of the inputs above (its sweep:\nNFR 3 to " +
                    Number(kMaxSweepPoints) + " points, STP up to " + Number(kMaxStepMHz) + " MHz)";
         },
         nullptr,
         "A parameter text instead of the inputs above, such as\n"
         ".BR ele=5&rip=1&fzmc=1200&bwmc=70&R=50&H=20&D=8&E=25&NFR=200&STP=1.4 .\n"
         "Every key must be present; the sweep takes\n.B NFR\n3 to 2000 points and a step\n"
         ".B STP\nup to 100000 MHz.",
         [](CommandLineOptions& o, const std::string& v, std::string&) {
             o.parms = v;
             return true;
         }},
        {"--config", nullptr, "NAME", Group::Inputs, Completion::ConfigName, nullptr,
         [] {
             return "the inputs of the configuration named NAME in\n./" +
                    std::string(kConfigFileName) +
                    "; of several with that name, the first\n"
                    "in the list; a section (C_3) names one of them";
         },
         nullptr,
         "The inputs of the configuration named\n.I NAME\nin\n.IR ./Tessera.ini .\n"
         "Of several configurations with that name the first in the list is taken; a section\n"
         "name such as\n.B C_3\npicks one of them.",
         [](CommandLineOptions& o, const std::string& v, std::string&) {
             o.config = v;
             return true;
         }},

        {"--touchstone", nullptr, "FILE.s2p", Group::Network, Completion::Files, "s2p",
         [] { return std::string("write S11, S21, S12, S22 as a Touchstone 1.1 file"); }, nullptr,
         "Write S11, S21, S12 and S22 as a Touchstone 1.1 file.",
         [](CommandLineOptions& o, const std::string& v, std::string& e) {
             o.network.touchstonePath = v;
             // Simulators tell a two-port file by its extension.
             if (v.size() < 5 || !ZStr(v.c_str()).EndsWithI(".s2p")) {
                 e = "option '--touchstone' needs a file name ending in .s2p";
                 return false;
             }
             o.network.touchstone = true;
             return true;
         }},
        {"--network-csv", nullptr, "FILE", Group::Network, Completion::FileOrStdout, nullptr,
         [] {
             return std::string("write 'MHz,S21 dB,S11 dB,delay ns' lines; '-' writes to\n"
                                "standard output");
         },
         nullptr,
         "Write\n.RI \\(dq MHz , \"S21 dB\" , \"S11 dB\" , \"delay ns\" \\(dq\nlines;\n.B \\-\n"
         "writes to standard output.",
         [](CommandLineOptions& o, const std::string& v, std::string& e) {
             return TakeFileOrStdout("--network-csv", o.network.csv, o.network.csvPath, v, e);
         }},
        {"--network", nullptr, nullptr, Group::Network, Completion::Nothing, nullptr,
         [] {
             return std::string("with --chart: draw |S21|, |S11| (line \"S11\") and |S21|\n"
                                "of the box as built (line \"AsBuilt\")");
         },
         nullptr,
         "With\n.BR \\-\\-chart :\ndraw |S21| with the resonators' loss, |S11|, and |S21| of the "
         "box "
         "as built\n(with the same loss; corrected with\n.BR \\-\\-correct ).",
         [](CommandLineOptions& o, const std::string&, std::string&) {
             o.network.chartLines = true;
             return true;
         }},
        {"--from", nullptr, "MHZ", Group::Network, Completion::Nothing, nullptr,
         [] { return std::string("sweep of the network outputs (default: the design's)"); },
         "--from MHZ --to MHZ",
         "The sweep of the network outputs, both given together (default: the design's "
         "sweep).",
         [](CommandLineOptions& o, const std::string& v, std::string& e) {
             return TakeFrequency("--from", o.network.sweep.fromMHz, v, e);
         }},
        {"--to", nullptr, "MHZ", Group::Network, Completion::Nothing, nullptr, nullptr, nullptr,
         nullptr,
         [](CommandLineOptions& o, const std::string& v, std::string& e) {
             return TakeFrequency("--to", o.network.sweep.toMHz, v, e);
         }},
        {"--points", nullptr, "N", Group::Network, Completion::Nothing, nullptr,
         [] {
             return "points of that sweep, " + PointsRange() + " (default " +
                    std::to_string(kDefaultNetworkPoints) + ")";
         },
         nullptr, "The number of points of that sweep, 2 to 100000 (default 201).",
         [](CommandLineOptions& o, const std::string& v, std::string& e) {
             const char* begin = v.c_str();
             char* end = nullptr;
             errno = 0;
             const long points = std::strtol(begin, &end, 10);
             if (end == begin || errno == ERANGE || !ZStr(end).IsBlank() ||
                 points < kMinNetworkPoints || points > kMaxNetworkPoints) {
                 e = "option '--points' needs a whole number from " + PointsRange();
                 return false;
             }
             o.network.sweep.points = int(points);
             return true;
         }},
        {"--qu", nullptr, "Q|inf", Group::Network, Completion::Words, "inf",
         [] {
             return std::string("unloaded Q of the resonators (default: the report's\n"
                                "estimate); 'inf' for lossless resonators");
         },
         nullptr,
         "The unloaded Q of the resonators (default: the report's estimate);\n.B inf\n"
         "for lossless resonators.",
         [](CommandLineOptions& o, const std::string& v, std::string& e) {
             double qu = 0.0;
             if (!ReadNumber(v, qu) || !(qu > 0.0)) {
                 e = "option '--qu' needs an unloaded Q above 0, or 'inf' for lossless "
                     "resonators";
                 return false;
             }
             o.network.sweep.qu = qu;
             return true;
         }},
        {"--tuning", nullptr, nullptr, Group::Network, Completion::Nothing, nullptr,
         [] {
             return std::string("print the tuning table: S11 delay at f0 as resonators\n"
                                "1..k are tuned, couplings, external Q");
         },
         nullptr,
         "Print the tuning table: the reflected group delay at the centre frequency as "
         "resonators\n1 to\n.I k\nare tuned in turn (the others detuned), the couplings and "
         "the external Q.",
         [](CommandLineOptions& o, const std::string&, std::string&) {
             o.network.tuning = true;
             return true;
         }},
        {"--tuning-csv", nullptr, "FILE", Group::Network, Completion::FileOrStdout, nullptr,
         [] {
             return std::string("write the tuning table as CSV; '-' writes to standard\n"
                                "output");
         },
         nullptr, "Write the tuning table as CSV;\n.B \\-\nwrites to standard output.",
         [](CommandLineOptions& o, const std::string& v, std::string& e) {
             return TakeFileOrStdout("--tuning-csv", o.network.tuningCsv, o.network.tuningCsvPath,
                                     v, e);
         }},

        {"--feed", nullptr, "KIND", Group::AsBuilt, Completion::Words, "wall cover",
         [] {
             return std::string("wall: connector in the end wall, a lead at tap height to\n"
                                "the end rod (default); cover: connector in the ground\n"
                                "plane under the tap, its pin up to the rod");
         },
         nullptr,
         "How the feeds are built:\n.B wall\n(the default) puts the connector in the end wall "
         "and runs a 2 mm square lead at the tap's height across to the end rod;\n.B cover\n"
         "puts it in the ground plane under the tap, its pin straight up to the rod.\n"
         "The build sheet draws the chosen feed.",
         [](CommandLineOptions& o, const std::string& v, std::string& e) {
             if (v == "wall" || v == "cover") {
                 o.feed = v == "wall" ? FeedKind::Wall : FeedKind::Cover;
                 return true;
             }
             e = "option '--feed' needs 'wall' or 'cover'";
             return false;
         }},
        {"--correct", nullptr, nullptr, Group::AsBuilt, Completion::Nothing, nullptr,
         [] {
             return std::string("correct the rod lengths, spacings and tap so that the\n"
                                "box as built meets the design; every dimension output\n"
                                "gives the corrected dimensions");
         },
         nullptr,
         "Correct each rod's length, the spacings and the tap height so that the box as "
         "built, with its feeds, meets the design: every resonator at the centre frequency, "
         "the couplings and the external Q the prototype's.\nThe report, the build sheet, "
         "the DXF drawing, the geometry file and the openEMS script then give the corrected "
         "dimensions.",
         [](CommandLineOptions& o, const std::string&, std::string&) {
             o.correct = true;
             return true;
         }},
        {"--as-built", nullptr, nullptr, Group::AsBuilt, Completion::Nothing, nullptr,
         [] {
             return std::string("print the response of the box as built against the\n"
                                "design: centre, 3 dB band, ripple, return loss, each\n"
                                "resonator, the couplings and the external Q");
         },
         nullptr,
         "Print the lossless response of the box as built (corrected with\n.BR \\-\\-correct )\n"
         "against the design: the centre and the 3 dB band, the ripple and the worst return "
         "loss in the pass band, each resonator's frequency, the couplings and the external "
         "Q.",
         [](CommandLineOptions& o, const std::string&, std::string&) {
             o.asBuilt = true;
             return true;
         }},
        {"--geometry", nullptr, "FILE", Group::AsBuilt, Completion::Files, "json",
         [] {
             return std::string("write the physical model (box, rods, taps, feeds) as\n"
                                "JSON, lengths in mm");
         },
         nullptr,
         "Write the physical model as JSON, lengths in millimetres: the box inside, the "
         "ground-plane spacing, each rod's centre, the wall it is grounded on, its length "
         "and diameter, the taps and the feeds.",
         [](CommandLineOptions& o, const std::string& v, std::string& e) {
             if (v.size() <= 5 || !ZStr(v.c_str()).EndsWithI(".json")) {
                 e = "option '--geometry' needs a file name ending in .json";
                 return false;
             }
             o.geometryPath = v;
             return true;
         }},
        {"--openems", nullptr, "FILE", Group::AsBuilt, Completion::Files, "py",
         [] {
             return std::string("write the filter as an openEMS simulation script\n"
                                "(/usr/bin/python3 FILE.py runs it)");
         },
         nullptr,
         "Write the filter as built, with its feeds, as a self-contained Python script for "
         "openEMS.\nRun it with\n.BR /usr/bin/python3 ;\nit simulates the box full-wave "
         "and writes S11 and S21 as CSV and Touchstone files.\nIts\n.B \\-\\-help\n"
         "lists the mesh resolution and the other settings.",
         [](CommandLineOptions& o, const std::string& v, std::string& e) {
             if (v.size() <= 3 || !ZStr(v.c_str()).EndsWithI(".py")) {
                 e = "option '--openems' needs a file name ending in .py";
                 return false;
             }
             o.openEmsPath = v;
             return true;
         }},
        {"--inch", nullptr, nullptr, Group::Report, Completion::Nothing, nullptr,
         [] {
             return std::string("lengths in inches with three decimals (also on the build\n"
                                "sheet and in the DXF drawing)");
         },
         nullptr,
         "Lengths in inches with three decimals, in the report, the build sheet and the DXF\n"
         "drawing.",
         [](CommandLineOptions& o, const std::string&, std::string&) {
             o.unit = LengthUnit::Inch;
             return true;
         }},
        {"--crlf", nullptr, nullptr, Group::Report, Completion::Nothing, nullptr,
         [] { return std::string("keep the report's CR LF line ends"); }, nullptr,
         "Keep the report's CR LF line ends.",
         [](CommandLineOptions& o, const std::string&, std::string&) {
             o.crlf = true;
             return true;
         }},
    };
}

struct GroupText
{
    OptionGroup group;
    const char* help;   // the help's heading
    const char* manual; // the manual page's subsection and its introduction
};

const GroupText kGroups[] = {
    {Group::Actions,
     "Actions (several may be combined; --report is the default):", ".SS Actions\n"},
    {Group::Inputs, "Inputs, in the units of the calculator's fields:",
     ".SS Inputs\nThe inputs are given in the units of the calculator's fields.\n"
     "Each has a default, the calculator's default design.\n"},
    {Group::Network,
     "Network of coupled resonators (|S21| with the resonators' loss, |S11|, delay):",
     ".SS Network of coupled resonators\n"
     "These outputs treat the filter as coupled resonators with the resonators' unloaded Q.\n"
     "They use the design's frequency sweep unless\n.BR \\-\\-from ,\n.B \\-\\-to\nand\n"
     ".B \\-\\-points\ngive another.\n"},
    {Group::AsBuilt, "The filter as built (field-solved box, rods and feeds):",
     ".SS The filter as built\n"
     "These options model the box as it is built: the rods as coupled lines whose "
     "impedances a field solver finds, their open ends, and the feeds with their leads.\n"},
    {Group::Report, "Report:", ".SS Report\n"},
};

const CommandOption* FindOption(const std::string& name)
{
    for (const CommandOption& option : CommandOptionTable()) {
        if (name == option.name || (option.alias != nullptr && name == option.alias)) {
            return &option;
        }
    }
    return nullptr;
}

// Checks the options together once all are read.
bool CheckCombinations(const std::vector<std::string>& args, const CommandLineOptions& options,
                       std::string& error)
{
    if (options.parms && options.inputsGiven) {
        error = "--parms cannot be combined with separate inputs";
        return false;
    }
    if (options.config && (options.parms || options.inputsGiven)) {
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
    const NetworkOptions& n = options.network;
    const NetworkSweepRequest& sweep = n.sweep;
    if (n.chartLines && !options.chart) {
        error = "option '--network' needs --chart FILE";
        return false;
    }
    if (sweep.fromMHz.has_value() != sweep.toMHz.has_value()) {
        error = "options '--from' and '--to' go together";
        return false;
    }
    if (sweep.points && !sweep.fromMHz) {
        error = "option '--points' needs --from and --to";
        return false;
    }
    if (sweep.fromMHz && !(*sweep.toMHz > *sweep.fromMHz)) {
        error = "option '--to' needs a frequency above that of '--from'";
        return false;
    }
    if ((sweep.fromMHz || sweep.qu) && !(n.touchstone || n.csv || n.chartLines)) {
        error = "options '--from', '--to', '--points' and '--qu' apply to --touchstone, "
                "--network-csv and --chart with --network";
        return false;
    }
    return true;
}

// Roff for an option's name and value: "\-\-fc" and " MHZ" set in bold and italics.
std::string ManualHeader(const CommandOption& option)
{
    auto roff = [](const char* text) {
        std::string out;
        for (const char* p = text; *p != '\0'; ++p) {
            if (*p == '-' || *p == '\\') {
                out += '\\';
            }
            out += *p;
        }
        return out;
    };
    if (option.alias != nullptr) {
        return ".BR " + roff(option.alias) + " \", \" " + roff(option.name) + "\n";
    }
    if (option.value == nullptr) {
        return ".B " + roff(option.name) + "\n";
    }
    return ".BI " + roff(option.name) + " \" " + option.value + "\"\n";
}

} // namespace

const std::vector<CommandOption>& CommandOptionTable()
{
    static const std::vector<CommandOption> table = MakeTable();
    return table;
}

bool ParseCommandLine(const std::vector<std::string>& args, CommandLineOptions& options,
                      std::string& error)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string name = arg;
        std::optional<std::string> inlineValue;
        const std::size_t equals = arg.find('=');
        if (arg.rfind("--", 0) == 0 && equals != std::string::npos) {
            name = arg.substr(0, equals);
            inlineValue = arg.substr(equals + 1);
        }
        const CommandOption* option = FindOption(name);
        if (option == nullptr) {
            error = (arg.rfind("-", 0) == 0 && arg.size() > 1)
                        ? "unknown option '" + name + "'"
                        : "unexpected argument '" + arg + "'";
            return false;
        }
        std::string value;
        if (option->value == nullptr) {
            if (inlineValue) {
                error = "option '" + name + "' takes no value";
                return false;
            }
        } else if (inlineValue) {
            value = *inlineValue;
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            error = "option '" + name + "' needs a value";
            return false;
        }
        if (!option->apply(options, value, error)) {
            return false;
        }
    }
    if (!CheckCombinations(args, options, error)) {
        return false;
    }
    for (int index = 0; index < kDesignInputCount; ++index) {
        if ((options.unreadableInputs & (1u << index)) != 0) {
            options.unreadableInput = DesignInputAt(index);
            break;
        }
    }
    return true;
}

std::string UsageText()
{
    std::string usage =
        "Usage: tessera [--report] [--parms-text] [--response-csv FILE|-]\n"
        "               [--chart FILE [--size WxH] [--network]]\n"
        "               [--build-sheet FILE.pdf|FILE.svg] [--dxf FILE.dxf]\n"
        "               [--touchstone FILE.s2p] [--network-csv FILE|-]\n"
        "               [--from MHZ --to MHZ [--points N]] [--qu Q|inf]\n"
        "               [--tuning] [--tuning-csv FILE|-]\n"
        "               [--feed wall|cover] [--correct] [--as-built]\n"
        "               [--geometry FILE.json] [--openems FILE.py]\n"
        "               [--inch] [--crlf] [--parms TEXT | --config NAME | INPUTS...]\n"
        "       tessera --list-configs\n"
        "       tessera --help | --version\n"
        "Designs an interdigital bandpass filter. Without any option tessera prints the\n"
        "report of the default design.\n";
    constexpr std::size_t kColumn = 22;
    const std::string indent(kColumn + 2, ' ');
    for (const GroupText& group : kGroups) {
        usage += "\n";
        usage += group.help;
        usage += "\n";
        for (const CommandOption& option : CommandOptionTable()) {
            if (option.group != group.group || option.help == nullptr) {
                continue;
            }
            std::string column = option.helpColumn != nullptr ? option.helpColumn : option.name;
            if (option.helpColumn == nullptr && option.value != nullptr) {
                column += std::string(" ") + option.value;
            }
            column.resize(std::max(kColumn, column.size() + 1), ' ');
            const std::string text = option.help();
            usage += "  " + column;
            std::size_t start = 0;
            for (;;) {
                const std::size_t end = text.find('\n', start);
                usage += text.substr(start, end - start) + "\n";
                if (end == std::string::npos) {
                    break;
                }
                usage += indent;
                start = end + 1;
            }
        }
    }
    usage += "\nAn invalid input prints \"Error: \" and the input's name and exits with status "
             "2.\n";
    return usage;
}

std::string ManualOptionsText()
{
    std::string text;
    const std::vector<CommandOption>& table = CommandOptionTable();
    for (const GroupText& group : kGroups) {
        text += group.manual;
        for (std::size_t i = 0; i < table.size(); ++i) {
            const CommandOption& option = table[i];
            if (option.group != group.group || option.help == nullptr) {
                continue;
            }
            text += ".TP\n" + ManualHeader(option);
            // Options described with this one follow as further tags.
            for (std::size_t k = i + 1; k < table.size() && table[k].help == nullptr; ++k) {
                text += ".TQ\n" + ManualHeader(table[k]);
            }
            text += std::string(option.manual) + "\n";
        }
    }
    return text;
}

std::string BashCompletionText()
{
    const std::vector<CommandOption>& table = CommandOptionTable();
    // The options whose values complete alike share one case of the script.
    auto names = [&table](OptionCompletion kind, const char* words) {
        std::string list;
        for (const CommandOption& option : table) {
            const bool sameWords =
                (words == nullptr && option.words == nullptr) ||
                (words != nullptr && option.words != nullptr && std::string(words) == option.words);
            if (option.value != nullptr && option.completion == kind && sameWords) {
                list += list.empty() ? "" : " | ";
                list += option.name;
            }
        }
        return list;
    };
    std::string script =
        "# bash completion for tessera                                    -*- shell-script -*-\n"
        "# Made from the program's table of options.\n\n"
        "# Files with one of the given extensions, and folders to descend into.\n"
        "_tessera_files()\n{\n    local ext\n    for ext in \"$@\"; do\n"
        "        compgen -f -X \"!*.$ext\" -- \"$cur\"\n    done\n"
        "    compgen -d -- \"$cur\"\n}\n\n"
        "_tessera()\n{\n    local cur prev IFS=$'\\n'\n    cur=${COMP_WORDS[COMP_CWORD]}\n"
        "    prev=${COMP_WORDS[COMP_CWORD - 1]}\n\n    case $prev in\n";
    auto addCase = [&script](const std::string& pattern, const std::string& body) {
        if (!pattern.empty()) {
            script += "        " + pattern + ")\n" + body + "            return\n            ;;\n";
        }
    };
    addCase(names(Completion::FileOrStdout, nullptr),
            "            COMPREPLY=($(compgen -f -- \"$cur\"))\n"
            "            [[ -z $cur || $cur == - ]] && COMPREPLY+=(-)\n");
    std::vector<std::string> done;
    for (const CommandOption& option : table) {
        if (option.words == nullptr ||
            (option.completion != Completion::Files && option.completion != Completion::Words)) {
            continue;
        }
        const std::string key = std::to_string(int(option.completion)) + option.words;
        if (std::find(done.begin(), done.end(), key) != done.end()) {
            continue;
        }
        done.push_back(key);
        addCase(names(option.completion, option.words),
                option.completion == Completion::Files
                    ? "            COMPREPLY=($(_tessera_files " + std::string(option.words) +
                          "))\n"
                    : "            COMPREPLY=($(compgen -W '" + std::string(option.words) +
                          "' -- \"$cur\"))\n");
    }
    addCase(names(Completion::ConfigName, nullptr),
            "            # The names of the configurations in ./Tessera.ini, as tessera lists "
            "them.\n"
            "            COMPREPLY=($(compgen -W \"$(tessera --list-configs 2>/dev/null | cut "
            "-f2)\" -- \"$cur\"))\n");
    addCase(names(Completion::Nothing, nullptr),
            "            # A number or a text to type: nothing to offer.\n"
            "            COMPREPLY=()\n");
    script += "    esac\n\n    local options='";
    std::size_t width = 0;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const std::string name = table[i].name;
        if (i > 0) {
            if (width + 1 + name.size() > 80) {
                script += "\n        ";
                width = 8;
            } else {
                script += ' ';
                ++width;
            }
        }
        script += name;
        width += name.size();
    }
    script += "'\n    IFS=$' \\t\\n'\n    COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n"
              "} &&\n    complete -o filenames -F _tessera tessera\n";
    return script;
}
