// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <string>

namespace plat {

class Image;

/// Puts text on the clipboard (UTF-8, or 8-bit text as given). False without a display.
bool SetClipboardText(const std::string& text);
/// Makes text the PRIMARY selection, which a middle click pastes in other programs. False
/// without a display.
bool SetPrimarySelection(const std::string& text);
/// Reads the clipboard's text, waiting at most about a second for its owner to answer.
/// Works with no window shown. False (and `text` empty) when there is no text or no display.
bool GetClipboardText(std::string& text);
/// Whether the clipboard holds text (asks its owner, like GetClipboardText).
bool HasClipboardText();
/// Puts a picture on the clipboard (as image/bmp). False without a display.
bool SetClipboardImage(const Image& image);

} // namespace plat
