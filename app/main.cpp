// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/cli/CommandLine.h"
#include "app/gui/DesignApp.h"
#include "platform/Application.h"

#include <csignal>
#include <cstring>
#include <iostream>

// Without arguments the program opens the calculator window, or prints the default design's
// report where no display can be opened. With arguments it is a batch tool.
int main(int argc, char** argv)
{
    // A write beyond the file-size limit fails with "File too large" like any other failed
    // write, instead of killing the program before it can say so.
    std::signal(SIGXFSZ, SIG_IGN);
    std::ios::sync_with_stdio(false);
    DesignDialogOptions options;
    options.startCounter = plat::GetPerformanceCounter();
    const bool measureStart = argc == 2 && std::strcmp(argv[1], "--quit-after-first-paint") == 0;
    if (measureStart) {
        options.quitAfterFirstPaint = true;
    }
    if ((argc == 1 || measureStart) && plat::InitDisplay()) {
        return DesignApp::Run(options);
    }
    if (measureStart) {
        std::cerr << "tessera: --quit-after-first-paint needs a display\n";
        return kExitUsage;
    }
    return RunCommandLine(argc, argv, std::cout, std::cerr);
}
