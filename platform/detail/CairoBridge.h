// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Private to the platform library: lets its window code and its image code share one drawing
// implementation. The handles are the library's cairo objects passed as opaque pointers, so
// that no header names a cairo type.

#include "platform/DrawContext.h"
#include "platform/Image.h"

#include <memory>

namespace plat::detail {

/// A context drawing through the given cairo context (a cairo_t*), which the new context
/// references and releases when it is destroyed. `size` is the surface's size in pixels.
std::unique_ptr<DrawContext> MakeDrawContext(void* cairoContext, Size size);

/// The image's pixels as a cairo image surface (a cairo_surface_t* in ARGB32), owned by the
/// image; vector images are rasterised first. Null for an invalid image.
void* RasterSurfaceOf(const Image& image);

/// Sets the cairo font options the whole layer uses, so metrics do not depend on desktop
/// settings (gray antialiasing, no hinting of metrics).
void ApplyFontOptions(void* cairoContext);

} // namespace plat::detail
