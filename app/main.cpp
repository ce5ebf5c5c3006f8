#include "app/CommandLine.h"

#include <csignal>
#include <iostream>

// Without a window the program is a batch tool: every invocation is a command line, and no
// arguments print the default design's report.
int main(int argc, char** argv)
{
    // A write beyond the file-size limit fails with "File too large" like any other failed
    // write, instead of killing the program before it can say so.
    std::signal(SIGXFSZ, SIG_IGN);
    std::ios::sync_with_stdio(false);
    return RunCommandLine(argc, argv, std::cout, std::cerr);
}
