// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/Image.h"

/// The fewest and most rods the picture draws.
inline constexpr int kMinPictureRods = 2;
inline constexpr int kMaxPictureRods = 10;

/// The calculator's picture: an interdigital filter seen from above. The housing with its
/// hatched walls, `rods` rods (kMinPictureRods to kMaxPictureRods; others are clamped)
/// grounded alternately at the upper and lower wall, and the input and output taps entering
/// through the side walls to the first and last rod near their grounded ends, labelled "IN"
/// and "OUT" where there is room. Drawn to fit widthPx x heightPx (each raised to at least
/// 16) on an opaque light background.
plat::Image DrawFilterPicture(int widthPx, int heightPx, int rods = 5);

/// The application icon: the same filter reduced to its housing, alternating rods and, from
/// 32 pixels up, the taps. A square of sizePx pixels (raised to at least 16) with a
/// transparent corner rounding. A vector image keeps the shapes for a scalable (SVG) icon.
plat::Image DrawAppIcon(int sizePx, plat::ImageKind kind = plat::ImageKind::Raster);
