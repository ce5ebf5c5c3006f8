// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "app/cli/CommandOptions.h"

#include <iosfwd>
#include <string>
#include <vector>

/// Exit statuses of the command line.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1; ///< an output could not be written
inline constexpr int kExitUsage = 2;   ///< unusable options or an invalid design input

/// Carries out parsed options, writing results to `out` (each file output to its file, or
/// to `out` for "-") and messages to `err`. The design is computed once and every output is
/// made from it. Returns the exit status: kExitUsage with "Error: " and the input's name on
/// `err` for an invalid design, and for a configuration that is missing or whose stored text
/// is broken (with the configuration file's message); kExitFailure when an output cannot be
/// written.
int ExecuteCommandLine(const CommandLineOptions& options, std::ostream& out, std::ostream& err);

/// The command-line program: parses `args` (without the program name) and carries them
/// out. Without any argument it prints the default design's report. Returns the exit status.
int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

/// As above for the arguments of main.
int RunCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err);
