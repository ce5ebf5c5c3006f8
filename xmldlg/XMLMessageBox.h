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
