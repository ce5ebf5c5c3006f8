// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Private to the platform library: reading the X selections without the toolkit's transfer.

#include <string>

namespace plat::detail {

/// Which X selection to read.
enum class Selection {
    Clipboard, ///< what Ctrl+C copied
    Primary,   ///< what is selected now (the middle button pastes it)
};

/// The text of `which` as UTF-8, read by the library itself (large texts through the
/// incremental protocol) with a short wait; false, text empty, when it holds no text, its
/// owner does not answer, or there is no display.
bool GetSelectionText(Selection which, std::string& text);

} // namespace plat::detail
