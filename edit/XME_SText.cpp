// SPDX-License-Identifier: GPL-2.0-or-later
#include "edit/XME_SText.h"

XME_SText::XME_SText(ZStringML& buffer)
    : m_buffer(buffer)
{
}

int32_t XME_SText::LineCount() const
{
    return m_buffer.LineCount();
}

ZStr XME_SText::LineText(int32_t line) const
{
    ZStr view;
    if (!m_buffer.Line(line, view, m_cache)) {
        return ZStr("", 0);
    }
    return view;
}

int32_t XME_SText::LongestLine() const
{
    return m_buffer.LongestLine();
}

bool XME_SText::InsertLines(XME_Pos at, const ZStringML_Blk& lines, XME_Pos& end)
{
    return m_buffer.Insert(at.line, at.col, lines, end.line, end.col);
}

bool XME_SText::RemoveRange(XME_Pos from, XME_Pos to)
{
    return m_buffer.Remove(from.line, from.col, to.line, to.col);
}

bool XME_SText::GetRangeText(XME_Pos from, XME_Pos to, ZString& out, ZStr sep) const
{
    ZStringML_Blk blk;
    if (!m_buffer.GetRange(from.line, from.col, to.line, to.col, blk)) {
        out.Clear();
        return false;
    }
    return blk.GetText(out, sep);
}

bool XME_SText::GetText(ZString& out, ZStr sep) const
{
    return m_buffer.GetText(out, sep);
}

bool XME_SText::ReplaceAll(ZStr text, ZStr sep)
{
    return m_buffer.SetText(text, sep);
}
