// SPDX-License-Identifier: GPL-2.0-or-later
#include "edit/XDrawInfoExt.h"

#include <algorithm>

XDIBCache::XDIBCache() = default;
XDIBCache::~XDIBCache() = default;

const XDrawInfoExt& XDIBCache::Measure(const plat::Font& font)
{
    if (m_size == font.sizeTenths && m_face == font.face && m_weight == font.weight &&
        m_italic == font.italic) {
        return m_info;
    }
    if (!m_bitmap) {
        m_bitmap = std::make_unique<plat::Image>(1, 1);
    }
    plat::DrawContext& dc = m_bitmap->Context();
    dc.SetFont(font);
    const plat::TextMetrics tm = dc.GetTextMetrics();
    // The cell is the average advance of a long run: the extent is rounded up to a whole
    // pixel, which spread over the run is below a thousandth of a pixel per character.
    constexpr int kRun = 1000;
    const plat::Size run = dc.GetTextExtent(std::string(kRun, 'M'));
    m_info.charWidth = std::max(1.0, double(run.cx) / kRun);
    m_info.lineHeight = std::max(1, tm.height);
    m_info.ascent = tm.ascent;
    m_face = font.face;
    m_size = font.sizeTenths;
    m_weight = font.weight;
    m_italic = font.italic;
    ++m_count;
    return m_info;
}
