// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The command line every tool shares: one flag of its own, --help, and at most one FILE.

#include <cstdio>
#include <cstring>

/// What a tool's arguments ask for.
struct ToolArgs
{
    bool flag = false;          ///< the tool's own flag was given
    const char* path = nullptr; ///< the FILE, or null
    int exitStatus = -1;        ///< -1: go on; else exit with it (--help 0, a misuse 2)
};

/// Reads argv: `flag` sets ToolArgs::flag, --help or -h prints the usage (exit 0), an
/// unknown option or a second FILE is reported on stderr as "PROGRAM: ..." with the usage
/// (exit 2).
inline ToolArgs ReadToolArgs(int argc, char** argv, const char* program, const char* flag,
                             void (*usage)())
{
    ToolArgs args;
    for (int i = 1; i < argc && args.exitStatus < 0; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, flag) == 0) {
            args.flag = true;
        } else if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            usage();
            args.exitStatus = 0;
        } else if ((arg[0] == '-' && arg[1] != 0) || args.path != nullptr) {
            if (args.path != nullptr && !(arg[0] == '-' && arg[1] != 0)) {
                std::fprintf(stderr, "%s: only one FILE may be given\n", program);
            } else {
                std::fprintf(stderr, "%s: unknown option %s\n", program, arg);
            }
            usage();
            args.exitStatus = 2;
        } else {
            args.path = arg;
        }
    }
    return args;
}
