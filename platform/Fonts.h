// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <string>

namespace plat {

/// The installed font family that stands for a face name the library writes ("Fixedsys",
/// "MS Sans Serif", "Arial", ...). Known faces map through a fixed table; a face that is
/// installed under its own name is used as it is; anything else falls back to the sans
/// family. The table is checked once against fontconfig; a mapped family that is missing
/// falls back to whatever fontconfig substitutes for "sans-serif" or "monospace".
std::string MapFaceName(const std::string& face);

/// Whether fontconfig knows a font whose family is exactly `family` (case-insensitive).
bool IsFontFamilyInstalled(const std::string& family);

/// Screen resolution used to turn points into pixels: 96 pixels per inch, always, so that
/// layouts and metrics do not depend on the desktop's settings.
constexpr int kPixelsPerInch = 96;

/// Pixel height of the em square for a size in tenths of a point (95 is 9.5 points).
double PointTenthsToPixels(int tenths);

} // namespace plat
