// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "app/engine/BuildGeometry.h"
#include "app/engine/DesignInputs.h"
#include "app/engine/DesignReport.h"
#include "app/outputs/NetworkOutputs.h"

#include <optional>
#include <string>
#include <vector>

/// The chart image size when --size is not given: about the calculator's chart area.
inline constexpr int kDefaultChartWidth = 486;
inline constexpr int kDefaultChartHeight = 413;

/// The network outputs a command line asks for, and their sweep.
struct NetworkOptions
{
    bool touchstone = false; ///< write a Touchstone 1.1 file to `touchstonePath` (.s2p)
    std::string touchstonePath;
    bool csv = false; ///< write MHz, |S21| dB, |S11| dB, delay ns to `csvPath` ("-": stdout)
    std::string csvPath;
    bool tuning = false;    ///< print the tuning table
    bool tuningCsv = false; ///< write the tuning table as CSV to `tuningCsvPath` ("-": stdout)
    std::string tuningCsvPath;
    bool chartLines = false;   ///< the chart shows |S21| with loss and |S11|
    NetworkSweepRequest sweep; ///< a sweep of their own, an unloaded Q of its own
};

/// What a command line asks for, as `ParseCommandLine` reads it.
struct CommandLineOptions
{
    bool help = false;
    bool version = false;
    bool report = false;    ///< print the design report (also when no action is named)
    bool parmsText = false; ///< print the parameter text
    bool csv = false;       ///< write the response as CSV to `csvPath` ("-" is stdout)
    std::string csvPath;
    bool chart = false; ///< draw the response chart into `chartPath` (PNG, SVG, PDF or .xch)
    std::string chartPath;
    int chartWidth = kDefaultChartWidth; ///< image size in pixels (ignored for .xch)
    int chartHeight = kDefaultChartHeight;
    std::string buildSheetPath; ///< the build sheet (.pdf or .svg) to write, empty for none
    std::string dxfPath;        ///< the workshop's DXF drawing to write, empty for none
    LengthUnit unit = LengthUnit::Millimetre;
    bool crlf = false;                ///< keep the report's CR LF line ends
    std::optional<std::string> parms; ///< a parameter text given instead of the inputs
    /// The name (or section) of a stored configuration whose inputs replace the inputs.
    std::optional<std::string> config;
    bool listConfigs = false;    ///< print the stored configurations instead of a design
    std::string configDir = "."; ///< the folder of the configuration file
    DesignInputs inputs;         ///< the inputs; defaults where none was given
    bool inputsGiven = false;    ///< one of the inputs was given on its own
    /// The inputs whose last value was not a number, one bit per input (1 << index).
    unsigned unreadableInputs = 0;
    /// The first input (in validation order) whose value was not a number.
    std::optional<DesignInput> unreadableInput;
    NetworkOptions network; ///< the network outputs and their sweep
    /// How the feeds are built; when not given, a stored configuration's choice or the wall.
    std::optional<FeedKind> feed;
    bool correct = false;     ///< dimensions corrected for the box as built
    bool asBuilt = false;     ///< print the as-built summary
    std::string geometryPath; ///< the physical model as JSON, empty for none
    std::string openEmsPath;  ///< the openEMS script to write, empty for none
};

/// The groups of the options, in the order the help and the manual page show them.
enum class OptionGroup {
    Actions,
    Inputs,
    Network,
    AsBuilt,
    Report,
};

/// What the shell may complete as an option's value.
enum class OptionCompletion {
    Nothing,      ///< a number or a text to type
    Files,        ///< a file with one of `words` as extension (blank-separated), or a folder
    FileOrStdout, ///< any file, or "-" for standard output
    Words,        ///< one of `words`
    ConfigName,   ///< the name of a stored configuration
};

/// One option of the command line. The table of them is the one source of the parser, the
/// --help text, the manual page's OPTIONS section and the bash completion.
struct CommandOption
{
    const char* name;  ///< "--fc"
    const char* alias; ///< a short form ("-h"), or null
    const char* value; ///< the value's placeholder ("MHZ"), or null for an option without one
    OptionGroup group;
    OptionCompletion completion;
    const char* words; ///< extensions or words for the completion, or null
    /// The --help description: lines separated by "\n", each continued line indented under
    /// the first. Null: the option is described together with the one before it.
    std::string (*help)();
    /// What --help shows in the option column, when not the name and the value.
    const char* helpColumn;
    /// The manual page's description, in roff.
    const char* manual;
    /// Takes the option (with its value) into `options`; false with a message in `error`
    /// for an unusable value.
    bool (*apply)(CommandLineOptions& options, const std::string& value, std::string& error);
};

/// The options, in the order of the help text.
const std::vector<CommandOption>& CommandOptionTable();

/// Reads the arguments after the program name into `options`. Returns false with a message
/// in `error` for an unknown option, a missing option value, a stray argument, an unusable
/// value (a chart file name without a known extension, a size that is not WxH within the
/// image limits, ...), `--parms` or `--config` combined with separate inputs or each other,
/// or `--list-configs` combined with anything but --help and --version. A design input that
/// is not a number is no usage error: it is recorded in `unreadableInput` and reported like
/// an invalid input.
bool ParseCommandLine(const std::vector<std::string>& args, CommandLineOptions& options,
                      std::string& error);

/// The usage text that --help prints.
std::string UsageText();

/// The manual page's option descriptions (roff, from ".SS" of the first group on).
std::string ManualOptionsText();

/// The bash completion script for the program.
std::string BashCompletionText();
