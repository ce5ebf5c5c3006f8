// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <cstdint>
#include <vector>

namespace plat {

class Image;

/// Encodes an image as PNG bytes (8-bit RGBA). False for an invalid image.
bool EncodePNG(const Image& image, std::vector<uint8_t>& png);

/// Puts a picture on the clipboard as "image/png", the form image editors, office programs
/// and browsers paste. This process serves it from then on, while its event loop runs, until
/// another program (or SetClipboardText) takes the clipboard. False without a display, for
/// an invalid image, or when the clipboard cannot be taken.
bool CopyImageToClipboard(const Image& image);

/// Whether the clipboard holds a picture this process put there.
bool OwnsClipboardImage();

/// The PNG bytes of the picture this process has on the clipboard; false (and `png` empty)
/// when the clipboard holds no picture of ours.
bool GetOwnClipboardPNG(std::vector<uint8_t>& png);

} // namespace plat
