// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/gui/DesignApp.h"

#include "platform/Application.h"
#include "xmldlg/XMLMessageBox.h"

int DesignApp::Run(const DesignDialogOptions& options)
{
    if (!plat::InitDisplay()) {
        return 1;
    }
    // The desktop entry's StartupWMClass: the windows group with the launcher.
    plat::SetWindowClass("tessera");
    // Every message of the program, the editor's and the find dialog's too, is the library's
    // markup message box.
    XMLMessageBoxInstall();
    DesignDialog dialog(options);
    return dialog.Run() < 0 ? 1 : 0;
}
