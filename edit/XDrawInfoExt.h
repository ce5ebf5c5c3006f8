// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/DrawContext.h"
#include "platform/Image.h"

#include <cstdint>
#include <memory>
#include <string>

/// The measures of the editor's font that drawing, hit testing and scrolling share: one
/// character cell and one line, in pixels. The cell width is the font's advance with its
/// fraction, so that the caret and the selection stay on the glyphs along a long line.
struct XDrawInfoExt
{
    double charWidth = 8.0;
    int32_t lineHeight = 16;
    int32_t ascent = 12;
};

/// The small memory bitmap the editor measures its font with, and the measures of the font
/// measured last. Measuring text costs a font lookup and shaping; the view measures once per
/// font change, never while painting.
class XDIBCache
{
public:
    XDIBCache();
    ~XDIBCache();
    XDIBCache(const XDIBCache&) = delete;
    XDIBCache& operator=(const XDIBCache&) = delete;

    /// The measures of font, from the cache when it was the last one measured.
    const XDrawInfoExt& Measure(const plat::Font& font);
    /// Number of real measurements so far (tests check that painting does not measure).
    int32_t MeasureCount() const { return m_count; }

private:
    std::unique_ptr<plat::Image> m_bitmap;
    std::string m_face;
    int32_t m_size = -1;
    plat::FontWeight m_weight = plat::FontWeight::Normal;
    bool m_italic = false;
    XDrawInfoExt m_info;
    int32_t m_count = 0;
};
