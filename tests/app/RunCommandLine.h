// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

// Running the command line in the test's process, as a user runs the program.

#include "app/cli/CommandLine.h"

#include <sstream>
#include <string>
#include <vector>

/// What one run printed and returned.
struct Outcome
{
    int status = -1;
    std::string out;
    std::string err;
};

/// Carries out parsed options as the program does.
inline Outcome Execute(const CommandLineOptions& options)
{
    std::ostringstream out;
    std::ostringstream err;
    Outcome run;
    run.status = ExecuteCommandLine(options, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

/// Runs the command line with args (without the program name), as the program does.
inline Outcome Tessera(const std::vector<std::string>& args)
{
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunCommandLine(args, out, err);
    return Outcome{status, out.str(), err.str()};
}
