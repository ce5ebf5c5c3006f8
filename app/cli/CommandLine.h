#pragma once

#include "app/engine/DesignInputs.h"
#include "app/engine/DesignReport.h"
#include "app/outputs/NetworkOutputs.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

/// Exit statuses of the command line.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1; ///< an output could not be written
inline constexpr int kExitUsage = 2;   ///< unusable options or an invalid design input

/// The chart image size when --size is not given: about the calculator's chart area.
inline constexpr int kDefaultChartWidth = 486;
inline constexpr int kDefaultChartHeight = 413;

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
    /// The first input (in validation order) whose value was not a number.
    std::optional<DesignInput> unreadableInput;
    NetworkOptions network; ///< the network outputs and their sweep
};

/// Reads the arguments after the program name into `options`. Returns false with a message
/// in `error` for an unknown option, a missing option value, a stray argument, a chart
/// file name without a known extension, a size that is not WxH within the image limits,
/// `--parms` or `--config` combined with separate inputs or each other, or `--list-configs`
/// combined with anything but --help and --version. A value that is not a number is no usage
/// error: it is recorded in `unreadableInput` and reported like an invalid input.
bool ParseCommandLine(const std::vector<std::string>& args, CommandLineOptions& options,
                      std::string& error);

/// Carries out parsed options, writing results to `out` (the CSV to its file, or to `out`
/// for "-") and messages to `err`. Returns the exit status: kExitUsage with "Error: " and
/// the input's name on `err` for an invalid design, and for a configuration that is missing
/// or whose stored text is broken (with the configuration store's message); kExitFailure
/// when an output cannot be written.
int ExecuteCommandLine(const CommandLineOptions& options, std::ostream& out, std::ostream& err);

/// The command-line program: parses `args` (without the program name) and carries them
/// out. Without any argument it prints the default design's report. Returns the exit status.
int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

/// As above for the arguments of main.
int RunCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err);

/// The usage text that --help prints.
std::string UsageText();
