// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/ZString.h"

namespace plat {
class Window;
}

/// Builds the markup of the library's message box: title, text (plain, or markup when
/// textIsMarkup) and an OK button, followed by a Cancel button unless okOnly. Plain texts
/// reach the screen exactly as given (quotes, ampersands, percent signs, line breaks).
ZString XMLMessageBoxMarkup(ZStr title, ZStr text, bool okOnly, bool textIsMarkup);

/// Shows the message box modally over owner (centred on it, or on the screen) and returns 1
/// when confirmed, 0 when cancelled or when it cannot be shown.
int XMLMessageBox(ZStr title, ZStr text, bool okOnly = false, bool textIsMarkup = false,
                  plat::Window* owner = nullptr);

/// Makes the platform's message boxes (the editor's failed search, the find dialog, every
/// plat::ShowMessageBox of the process) show as this message box where its buttons serve: OK,
/// or OK and Cancel. Yes/No boxes stay the platform's. Called once by an application at start.
void XMLMessageBoxInstall();
