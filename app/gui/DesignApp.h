// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "app/gui/DesignDialog.h"

/// The calculator as a desktop application: opens the main dialog, runs it until it ends
/// and then ends the program.
class DesignApp
{
public:
    /// Runs the main dialog. Returns 0 after it ended, 1 when no display could be opened.
    static int Run(const DesignDialogOptions& options = DesignDialogOptions());
};
