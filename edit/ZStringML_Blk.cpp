// SPDX-License-Identifier: GPL-2.0-or-later
#include "edit/ZStringML_Blk.h"

#include <cstring>
#include <utility>

ZStringML_Blk::ZStringML_Blk() = default;

ZStringML_Blk::ZStringML_Blk(const ZStringML_Blk& other)
{
    if (!CopyFrom(other)) {
        MakeEmpty();
    }
}

ZStringML_Blk& ZStringML_Blk::operator=(const ZStringML_Blk& other)
{
    if (this != &other && !CopyFrom(other)) {
        MakeEmpty();
    }
    return *this;
}

bool ZStringML_Blk::CopyFrom(const ZStringML_Blk& other)
{
    if (this == &other) {
        return true;
    }
    ZString text;
    XArray<int32_t> starts(0, other.m_lineStart.Count(), 10, 2.0);
    if (!text.Assign(other.m_text) || !starts.Assign(other.m_lineStart)) {
        return false;
    }
    m_text = std::move(text);
    m_lineStart = std::move(starts);
    m_maxLineLen = other.m_maxLineLen;
    m_lastLineNL = other.m_lastLineNL;
    return true;
}

void ZStringML_Blk::MakeEmpty()
{
    m_text.Clear();
    (void)m_lineStart.SetSize(0);
    m_maxLineLen = -1;
    m_lastLineNL = false;
}

int32_t ZStringML_Blk::FindSep(ZStr text, ZStr sep, int32_t start)
{
    const char* end = text.ptr + text.len;
    const char* p = text.ptr + start;
    if (sep.len == 1) {
        const void* hit = std::memchr(p, sep.ptr[0], size_t(end - p));
        return hit == nullptr ? -1 : int32_t(static_cast<const char*>(hit) - text.ptr);
    }
    while (end - p >= sep.len) {
        const void* hit = std::memchr(p, sep.ptr[0], size_t(end - p - sep.len + 1));
        if (hit == nullptr) {
            return -1;
        }
        p = static_cast<const char*>(hit);
        if (std::memcmp(p, sep.ptr, size_t(sep.len)) == 0) {
            return int32_t(p - text.ptr);
        }
        ++p;
    }
    return -1;
}

bool ZStringML_Blk::SetLines(const XArray<ZStr, true>& lines, bool lastBreak)
{
    int64_t total = 0;
    for (const ZStr& l : lines) {
        total += l.len > 0 ? l.len : 0;
    }
    if (total > INT32_MAX - 2) {
        return false;
    }
    // Built aside and moved in, so that running out of memory leaves the block as it was.
    ZString text;
    XArray<int32_t> starts(0, 10, 10, 2.0);
    if (!text.SetLength(int32_t(total)) || !starts.SetSize(lines.Count() > 0 ? lines.Count() : 1)) {
        return false;
    }
    char* d = text.Data();
    starts[0] = 0;
    int32_t at = 0;
    for (int32_t i = 0; i < lines.Count(); ++i) {
        starts[i] = at;
        if (lines[i].len > 0) {
            std::memcpy(d + at, lines[i].ptr, size_t(lines[i].len));
            at += lines[i].len;
        }
    }
    Adopt(std::move(text), std::move(starts), lastBreak);
    return true;
}

bool ZStringML_Blk::SetText(ZStr text, ZStr sep)
{
    if (text.ptr == nullptr || text.len < 0) {
        text = ZStr("", 0);
    }
    ZString out;
    XArray<int32_t> starts(1, 10, 10, 2.0);
    if (starts.Count() != 1) {
        return false;
    }
    starts[0] = 0;
    bool lastBreak = false;
    if (sep.ptr == nullptr || sep.len <= 0) {
        if (!out.Assign(text)) {
            return false;
        }
    } else {
        // The text without separators is never longer than the text itself, so one exact
        // allocation holds it.
        if (!out.SetLength(text.len)) {
            return false;
        }
        char* d = out.Data();
        int32_t n = 0;
        int32_t from = 0;
        for (;;) {
            int32_t hit = FindSep(text, sep, from);
            int32_t to = hit < 0 ? text.len : hit;
            std::memcpy(d + n, text.ptr + from, size_t(to - from));
            n += to - from;
            if (hit < 0) {
                break;
            }
            from = hit + sep.len;
            if (from == text.len) {
                // A separator at the very end ends the last line instead of opening another.
                lastBreak = true;
                break;
            }
            if (starts.Append(n) < 0) {
                return false;
            }
        }
        (void)out.SetLength(n); // shorter: never allocates
    }
    Adopt(std::move(out), std::move(starts), lastBreak);
    return true;
}

void ZStringML_Blk::Adopt(ZString&& text, XArray<int32_t>&& starts, bool lastBreak)
{
    m_text = std::move(text);
    m_lineStart = std::move(starts);
    m_lastLineNL = lastBreak;
    m_maxLineLen = -1; // the longest line is measured again when asked for
}

ZStringML_Blk ZStringML_Blk::FromText(ZStr text, ZStr sep)
{
    ZStringML_Blk b;
    if (!b.SetText(text, sep)) {
        b.MakeEmpty();
    }
    return b;
}

ZStringML_Blk ZStringML_Blk::FromLines(const XArray<ZStr, true>& lines, bool lastBreak)
{
    ZStringML_Blk b;
    if (!b.SetLines(lines, lastBreak)) {
        b.MakeEmpty();
    }
    return b;
}

ZStr ZStringML_Blk::Line(int32_t i) const
{
    if (i < 0 || i >= LineCount()) {
        return ZStr(m_text.Text(), 0);
    }
    int32_t start = m_lineStart[i];
    int32_t end = i + 1 < LineCount() ? m_lineStart[i + 1] : m_text.Length();
    return ZStr(m_text.Text() + start, end - start);
}

int32_t ZStringML_Blk::LineStart(int32_t i) const
{
    return (i < 0 || i >= LineCount()) ? 0 : m_lineStart[i];
}

int32_t ZStringML_Blk::LineLength(int32_t i) const
{
    if (i < 0 || i >= LineCount()) {
        return 0;
    }
    int32_t end = i + 1 < LineCount() ? m_lineStart[i + 1] : m_text.Length();
    return end - m_lineStart[i];
}

int32_t ZStringML_Blk::LongestLine() const
{
    if (m_maxLineLen < 0) {
        int32_t longest = 0;
        int32_t n = LineCount();
        for (int32_t i = 0; i < n; ++i) {
            int32_t end = i + 1 < n ? m_lineStart[i + 1] : m_text.Length();
            if (end - m_lineStart[i] > longest) {
                longest = end - m_lineStart[i];
            }
        }
        m_maxLineLen = longest;
    }
    return m_maxLineLen;
}

bool ZStringML_Blk::GetText(ZString& out, ZStr sep) const
{
    out.Clear();
    int32_t sepLen = sep.ptr != nullptr && sep.len > 0 ? sep.len : 0;
    int32_t n = LineCount();
    int64_t breaks = n - 1 + (m_lastLineNL ? 1 : 0);
    int64_t total = int64_t(m_text.Length()) + breaks * sepLen;
    if (total > INT32_MAX - 2 || !out.SetLength(int32_t(total))) {
        out.Clear();
        return false;
    }
    char* d = out.Data();
    const char* src = m_text.Text();
    for (int32_t i = 0; i < n; ++i) {
        int32_t start = m_lineStart[i];
        int32_t end = i + 1 < n ? m_lineStart[i + 1] : m_text.Length();
        std::memcpy(d, src + start, size_t(end - start));
        d += end - start;
        if (sepLen > 0 && (i + 1 < n || m_lastLineNL)) {
            std::memcpy(d, sep.ptr, size_t(sepLen));
            d += sepLen;
        }
    }
    return true;
}

void ZStringML_Blk::Dump(ZString& out, bool full) const
{
    out.AppendFormat("lines = %d\r\n", LineCount());
    if (full) {
        out.AppendFormat("Txt[%3d] = \"%.*s\"\r\n", m_text.Length(), m_text.Length(),
                         m_text.Text());
    }
    out.AppendFormat("LStart[%d], NLines = %d, MaxLineLen = %d, LastLineNL = %d\r\n",
                     m_lineStart.Capacity(), LineCount(), m_maxLineLen, m_lastLineNL ? 1 : 0);
    if (full) {
        for (int32_t i = 0; i < LineCount(); ++i) {
            ZStr l = Line(i);
            out.AppendFormat("   %3d: +%3d, LineTxt[%2d] = \"%.*s\"\r\n", i, m_lineStart[i], l.len,
                             l.len, l.ptr);
        }
    }
}

bool ZStringML_Blk::InsertChars(int32_t at, ZStr s)
{
    if (s.len <= 0) {
        return true;
    }
    int32_t old = m_text.Length();
    // Appending grows the string with spare room, so typing reallocates only now and then;
    // the appended copy is then moved into place.
    if (!m_text.Append(s)) {
        return false;
    }
    char* d = m_text.Data();
    std::memmove(d + at + s.len, d + at, size_t(old - at));
    std::memcpy(d + at, s.ptr, size_t(s.len));
    return true;
}

void ZStringML_Blk::EraseChars(int32_t from, int32_t to)
{
    if (to <= from) {
        return;
    }
    int32_t old = m_text.Length();
    char* d = m_text.Data();
    std::memmove(d + from, d + to, size_t(old - to));
    (void)m_text.SetLength(old - (to - from)); // shorter: never allocates
}

bool ZStringML_Blk::InsertStarts(int32_t at, int32_t n)
{
    if (n <= 0) {
        return true;
    }
    if (n == 1) {
        return m_lineStart.Insert(at, 0);
    }
    int32_t old = m_lineStart.Count();
    if (!m_lineStart.SetSize(old + n)) {
        return false;
    }
    int32_t* d = m_lineStart.Data();
    std::memmove(d + at + n, d + at, size_t(old - at) * sizeof(int32_t));
    return true;
}

void ZStringML_Blk::ShiftStarts(int32_t from, int32_t delta)
{
    int32_t* d = m_lineStart.Data();
    int32_t n = m_lineStart.Count();
    for (int32_t i = from; i < n; ++i) {
        d[i] += delta;
    }
}
