#include "app/CommandLine.h"

#include <iostream>

// Without a window the program is a batch tool: every invocation is a command line, and no
// arguments print the default design's report.
int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    return RunCommandLine(argc, argv, std::cout, std::cerr);
}
