// SPDX-License-Identifier: GPL-2.0-or-later
#include "edit/ZStringML.h"

#include "base/ZAlloc.h"
#include "edit/ZML_Undo.h"
#include "edit/ZUndo.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

namespace {

// A lookup walks at most this many blocks from its cache before it jumps through the line
// index instead; reading lines in order stays within one or two blocks.
constexpr int32_t kWalkLimit = 4;

// The largest block text an insertion may produce, with room left for the string's growth.
constexpr int64_t kMaxBlockText = INT32_MAX - 1024;

void FreeParts(XArray<ZStringML_Blk*>& parts)
{
    for (ZStringML_Blk* p : parts) {
        delete p;
    }
    parts.RemoveAll();
}

// A run of lines of one block, from line first up to (not including) line end.
struct LineRange
{
    int32_t first;
    int32_t end;
};

} // namespace

ZStringML::ZStringML(int32_t maxBlockLines, int32_t maxBlockChars)
    : m_maxLines(maxBlockLines < 1 ? 1 : maxBlockLines)
    , m_maxChars(maxBlockChars < 1 ? 1 : maxBlockChars)
{
    ZStringML_Blk* first = ZNew<ZStringML_Blk>();
    if (first == nullptr || first->LineCount() != 1 || !ReserveBlocks(1) ||
        m_blocks.Append(first) < 0) {
        // Without memory the buffer has no lines; SetText can still fill it later.
        delete first;
        m_lines = 0;
        return;
    }
    RebuildIndex();
}

ZStringML::~ZStringML()
{
    for (ZStringML_Blk* b : m_blocks) {
        delete b;
    }
}

// ---------------------------------------------------------------------------------------
// Reading

bool ZStringML::Line(int32_t index, ZStr& line) const
{
    return Line(index, line, m_readCache);
}

bool ZStringML::Line(int32_t index, ZStr& line, ZStringML_PosCache& cache) const
{
    int32_t b = 0;
    int32_t first = 0;
    if (index < 0 || index >= m_lines || !Locate(index, cache, b, first)) {
        line = ZStr("", 0);
        return false;
    }
    line = m_blocks[b]->Line(index - first);
    return true;
}

int32_t ZStringML::LineLength(int32_t index) const
{
    int32_t b = 0;
    int32_t first = 0;
    if (index < 0 || index >= m_lines || !Locate(index, m_readCache, b, first)) {
        return 0;
    }
    return m_blocks[b]->LineLength(index - first);
}

int32_t ZStringML::LongestLine() const
{
    int32_t longest = 0;
    for (const ZStringML_Blk* b : m_blocks) {
        longest = std::max(longest, b->LongestLine());
    }
    return longest;
}

int64_t ZStringML::CharCount() const
{
    int64_t n = 0;
    for (const ZStringML_Blk* b : m_blocks) {
        n += b->Length();
    }
    return n;
}

bool ZStringML::GetText(ZString& out, ZStr sep) const
{
    out.Clear();
    if (m_blocks.Count() == 0) {
        return true;
    }
    int32_t sepLen = sep.ptr != nullptr && sep.len > 0 ? sep.len : 0;
    bool finalBreak = m_blocks[m_blocks.Count() - 1]->LastLineBreak();
    int64_t breaks = int64_t(m_lines) - 1 + (finalBreak ? 1 : 0);
    int64_t total = CharCount() + breaks * sepLen;
    if (total > INT32_MAX - 2 || !out.SetLength(int32_t(total))) {
        out.Clear();
        return false;
    }
    char* d = out.Data();
    int32_t nb = m_blocks.Count();
    for (int32_t b = 0; b < nb; ++b) {
        const ZStringML_Blk& blk = *m_blocks[b];
        const char* src = blk.m_text.Text();
        int32_t n = blk.LineCount();
        for (int32_t i = 0; i < n; ++i) {
            int32_t start = blk.m_lineStart[i];
            int32_t end = i + 1 < n ? blk.m_lineStart[i + 1] : blk.Length();
            std::memcpy(d, src + start, size_t(end - start));
            d += end - start;
            bool last = b == nb - 1 && i == n - 1;
            if (sepLen > 0 && (!last || finalBreak)) {
                std::memcpy(d, sep.ptr, size_t(sepLen));
                d += sepLen;
            }
        }
    }
    return true;
}

bool ZStringML::GetRange(int32_t startLine, int32_t startCol, int32_t endLine, int32_t endCol,
                         ZStringML_Blk& out) const
{
    ZStringML_PosCache cache = m_readCache;
    int32_t b = 0;
    int32_t first = 0;
    int32_t be = 0;
    int32_t fe = 0;
    if (!ValidRange(startLine, startCol, endLine, endCol, cache, b, first, be, fe)) {
        return false;
    }
    ZString text;
    XArray<int32_t> starts(1, 10, 10, 2.0);
    int32_t li = startLine - first;
    int32_t col = startCol;
    for (;;) {
        const ZStringML_Blk& blk = *m_blocks[b];
        bool lastBlock = b == be;
        int32_t lastLi = lastBlock ? endLine - first : blk.LineCount() - 1;
        int32_t from = blk.m_lineStart[li] + col;
        int32_t to = lastBlock ? blk.m_lineStart[lastLi] + endCol : blk.Length();
        int32_t base = text.Length();
        if (!text.Append(blk.m_text.Text() + from, to - from)) {
            return false;
        }
        for (int32_t j = li + 1; j <= lastLi; ++j) {
            if (starts.Append(base + blk.m_lineStart[j] - from) < 0) {
                return false;
            }
        }
        if (lastBlock) {
            break;
        }
        // The next block's first line is a line of its own in the range.
        first += blk.LineCount();
        ++b;
        li = 0;
        col = 0;
        if (starts.Append(text.Length()) < 0) {
            return false;
        }
    }
    bool endsWithBreak = endLine > startLine && endCol == 0;
    if (starts.Count() < 1) {
        return false; // the table could not be made
    }
    if (endsWithBreak) {
        // The empty piece after the last break becomes the break flag (shorter: never
        // allocates).
        (void)starts.SetSize(starts.Count() - 1);
    }
    out.Adopt(std::move(text), std::move(starts), endsWithBreak);
    return true;
}

// ---------------------------------------------------------------------------------------
// Line lookup

bool ZStringML::Locate(int32_t line, ZStringML_PosCache& cache, int32_t& blk, int32_t& first) const
{
    if (line < 0 || line > m_lines) {
        return false;
    }
    int32_t nb = m_blocks.Count();
    bool found = false;
    if (cache.owner == this && cache.stamp == m_stamp && cache.blk >= 0 && cache.blk < nb) {
        // Start from the cached block and step towards the line, as long as it is near.
        int32_t b = cache.blk;
        int32_t f = cache.line;
        for (int32_t step = 0; step <= kWalkLimit; ++step) {
            int32_t c = m_blocks[b]->LineCount();
            if (line < f) {
                if (b == 0) {
                    break;
                }
                --b;
                f -= m_blocks[b]->LineCount();
            } else if (line < f + c || (line == f + c && b == nb - 1)) {
                // The last block also takes the position just after the end.
                blk = b;
                first = f;
                found = true;
                break;
            } else {
                if (b == nb - 1) {
                    break;
                }
                f += c;
                ++b;
            }
        }
    }
    if (!found) {
        IndexFind(line, blk, first);
    }
    cache.blk = blk;
    cache.line = first;
    cache.owner = this;
    cache.stamp = m_stamp;
    return true;
}

bool ZStringML::ValidPos(int32_t line, int32_t col, ZStringML_PosCache& cache, int32_t& blk,
                         int32_t& first) const
{
    if (line < 0 || line >= m_lines || col < 0 || !Locate(line, cache, blk, first)) {
        return false;
    }
    return col <= m_blocks[blk]->LineLength(line - first);
}

bool ZStringML::ValidRange(int32_t startLine, int32_t startCol, int32_t endLine, int32_t endCol,
                           ZStringML_PosCache& cache, int32_t& startBlk, int32_t& startFirst,
                           int32_t& endBlk, int32_t& endFirst) const
{
    if (!ValidPos(startLine, startCol, cache, startBlk, startFirst) ||
        (endLine < startLine || (endLine == startLine && endCol < startCol))) {
        return false;
    }
    // The end is looked up from a copy, so that the cache stays at the start of the range.
    ZStringML_PosCache endCache = cache;
    return ValidPos(endLine, endCol, endCache, endBlk, endFirst);
}

void ZStringML::RebuildIndex()
{
    int32_t nb = m_blocks.Count();
    // Room for the index is reserved before the block list grows (ReserveBlocks).
    if (!m_index.SetSize(nb + 1)) {
        return;
    }
    int32_t* t = m_index.Data();
    t[0] = 0;
    for (int32_t i = 1; i <= nb; ++i) {
        t[i] = m_blocks[i - 1]->LineCount();
    }
    for (int32_t i = 1; i <= nb; ++i) {
        int32_t j = i + (i & -i);
        if (j <= nb) {
            t[j] += t[i];
        }
    }
}

void ZStringML::IndexAdd(int32_t b, int32_t delta)
{
    int32_t nb = m_blocks.Count();
    int32_t* t = m_index.Data();
    for (int32_t i = b + 1; i <= nb; i += i & -i) {
        t[i] += delta;
    }
}

int32_t ZStringML::IndexPrefix(int32_t b) const
{
    const int32_t* t = m_index.Data();
    int32_t sum = 0;
    for (int32_t i = b; i > 0; i -= i & -i) {
        sum += t[i];
    }
    return sum;
}

void ZStringML::IndexFind(int32_t line, int32_t& blk, int32_t& first) const
{
    // Descends the tree to the largest run of whole blocks whose lines all lie before line.
    int32_t nb = m_blocks.Count();
    const int32_t* t = m_index.Data();
    int32_t step = 1;
    while (step <= nb / 2) {
        step *= 2;
    }
    int32_t pos = 0;
    int32_t rest = line;
    for (; step > 0; step /= 2) {
        if (pos + step <= nb && t[pos + step] <= rest) {
            pos += step;
            rest -= t[pos];
        }
    }
    if (pos >= nb) {
        // The position just after the end belongs to the last block.
        pos = nb - 1;
        rest += m_blocks[pos]->LineCount();
    }
    blk = pos;
    first = line - rest;
}

// ---------------------------------------------------------------------------------------
// Block split and merge

bool ZStringML::NeedsSplit(int32_t lines, int64_t chars) const
{
    return lines > m_maxLines || (lines >= 3 && chars > m_maxChars);
}

bool ZStringML::PrepareSplit(const ZStringML_Blk& blk, XArray<ZStringML_Blk*>& parts) const
{
    parts.RemoveAll();
    int32_t count = blk.LineCount();
    int32_t len = blk.Length();
    if (!NeedsSplit(count, len)) {
        return true;
    }
    const int32_t* s = blk.m_lineStart.Data();
    auto endOf = [&](int32_t k) { return k < count ? s[k] : len; };

    // Each part that breaks a limit is split again, the left part before the right, so the
    // cuts come out in order. The cut points are found first and the text is copied once,
    // which keeps a large insertion linear in its size.
    XArray<int32_t> cuts(0, 16, 16, 2.0);
    XArray<LineRange> todo(0, 16, 16, 2.0);
    if (todo.Append({0, count}) < 0) {
        return false;
    }
    while (todo.Count() > 0) {
        LineRange r = todo.Last();
        todo.Remove(todo.Count() - 1);
        int32_t n = r.end - r.first;
        int32_t chars = endOf(r.end) - s[r.first];
        if (!NeedsSplit(n, chars)) {
            if (cuts.Append(r.first) < 0) {
                return false;
            }
            continue;
        }
        // The first line, from the second on, that starts at or after half the characters.
        int32_t target = s[r.first] + chars / 2;
        int32_t k = int32_t(std::lower_bound(s + r.first + 1, s + r.end, target) - s);
        if (k >= r.end) {
            // The middle falls inside the last line: that line goes alone. Cutting off the
            // first line instead would peel one line per split from a block whose last
            // line is huge.
            k = r.end - 1;
        }
        if (n > m_maxLines && (k - r.first > m_maxLines || r.end - k > m_maxLines)) {
            // Lines of very uneven length: the character middle would leave a part that is
            // still too long in lines, so cut at the middle line.
            k = r.first + n / 2;
        }
        if (todo.Append({k, r.end}) < 0 || todo.Append({r.first, k}) < 0) {
            return false;
        }
    }

    // Every part, the first included, is copied into a new block, so that the block itself
    // stays untouched until the caller swaps the parts in, and a large block does not keep
    // its whole allocation.
    int32_t pieces = cuts.Count();
    if (!parts.Reserve(pieces)) {
        return false;
    }
    for (int32_t p = 0; p < pieces; ++p) {
        int32_t a = cuts[p];
        int32_t e = p + 1 < pieces ? cuts[p + 1] : count;
        ZStringML_Blk* part = ZNew<ZStringML_Blk>();
        if (part == nullptr) {
            FreeParts(parts);
            return false;
        }
        parts.Append(part); // room reserved above
        if (!part->m_text.Assign(blk.m_text.Text() + s[a], endOf(e) - s[a]) ||
            !part->m_lineStart.SetSize(e - a)) {
            FreeParts(parts);
            return false;
        }
        int32_t* d = part->m_lineStart.Data();
        for (int32_t j = a; j < e; ++j) {
            d[j - a] = s[j] - s[a];
        }
        part->m_lastLineNL = p + 1 < pieces ? true : blk.m_lastLineNL;
    }
    return true;
}

bool ZStringML::ReserveBlocks(int32_t extra)
{
    int32_t n = m_blocks.Count() + (extra > 0 ? extra : 0);
    return m_blocks.Reserve(n) && m_index.Reserve(n + 1);
}

void ZStringML::ReplaceBlocks(int32_t first, int32_t n, const XArray<ZStringML_Blk*>& parts)
{
    for (int32_t k = first; k < first + n; ++k) {
        delete m_blocks[k];
    }
    int32_t old = m_blocks.Count();
    int32_t add = parts.Count();
    if (add < n) {
        m_blocks.Remove(first + add, n - add);
    } else if (add > n) {
        // Room was reserved by ReserveBlocks, so growing cannot fail here.
        if (!m_blocks.SetSize(old + add - n)) {
            return;
        }
        ZStringML_Blk** d = m_blocks.Data();
        std::memmove(static_cast<void*>(d + first + add), d + first + n,
                     size_t(old - first - n) * sizeof(*d));
    }
    for (int32_t k = 0; k < add; ++k) {
        m_blocks[first + k] = parts[k];
    }
}

bool ZStringML::CanMerge(int32_t b) const
{
    const ZStringML_Blk& x = *m_blocks[b];
    const ZStringML_Blk& y = *m_blocks[b + 1];
    return x.LineCount() + y.LineCount() < m_maxLines &&
           int64_t(x.Length()) + y.Length() < m_maxChars;
}

bool ZStringML::MergeWithNext(int32_t b)
{
    ZStringML_Blk& x = *m_blocks[b];
    ZStringML_Blk* y = m_blocks[b + 1];
    int32_t base = x.Length();
    // The line table gets its room first, then the text: the text is the last thing that
    // can fail, and after it nothing allocates.
    if (!x.m_lineStart.Reserve(x.LineCount() + y->LineCount()) ||
        !x.m_text.Append(y->m_text.Str())) {
        return false;
    }
    for (int32_t j = 0; j < y->LineCount(); ++j) {
        x.m_lineStart.Append(y->m_lineStart[j] + base);
    }
    // Both blocks keep their lines whole, so the longer of two known maxima stays right.
    int32_t mx = x.m_maxLineLen;
    int32_t my = y->m_maxLineLen;
    x.m_maxLineLen = mx >= 0 && my >= 0 ? std::max(mx, my) : -1;
    x.m_lastLineNL = y->m_lastLineNL;
    delete y;
    m_blocks.Remove(b + 1);
    return true;
}

// ---------------------------------------------------------------------------------------
// Editing

bool ZStringML::Insert(int32_t line, int32_t col, const ZStringML_Blk& lines, int32_t& endLine,
                       int32_t& endCol, bool record)
{
    return Insert(line, col, lines, endLine, endCol, m_editCache, record);
}

bool ZStringML::Insert(int32_t line, int32_t col, const ZStringML_Blk& lines, int32_t& endLine,
                       int32_t& endCol, ZStringML_PosCache& cache, bool record)
{
    int32_t b = 0;
    int32_t first = 0;
    if (lines.LineCount() < 1 || !ValidPos(line, col, cache, b, first)) {
        return false;
    }
    ZStringML_Blk& blk = *m_blocks[b];
    int32_t n = lines.LineCount();
    bool brk = lines.LastLineBreak();
    int32_t added = n - 1 + (brk ? 1 : 0);
    int32_t len = lines.Length();
    if (int64_t(blk.Length()) + len > kMaxBlockText || int64_t(m_lines) + added > INT32_MAX - 1) {
        return false;
    }
    int32_t eLine = 0;
    int32_t eCol = 0;
    if (brk) {
        eLine = line + n;
        eCol = 0;
    } else if (n == 1) {
        eLine = line;
        eCol = col + len;
    } else {
        eLine = line + n - 1;
        eCol = lines.LineLength(n - 1);
    }
    if (len == 0 && added == 0) {
        endLine = eLine;
        endCol = eCol;
        m_curLine = eLine;
        m_curCol = eCol;
        return true;
    }
    // A caller may hand in one of this buffer's own blocks, whose text is about to move.
    ZStringML_Blk copy;
    const ZStringML_Blk* src = &lines;
    if (&lines == &blk) {
        if (!copy.CopyFrom(lines)) {
            return false;
        }
        src = &copy;
    }
    PendingRecord rec;
    if (record && !PrepareInsertRecord(line, col, eLine, eCol, *src, rec)) {
        return false;
    }

    // The block is edited in place; from here on a failure undoes that edit, which only
    // shrinks and so cannot fail itself.
    int32_t li = line - first;
    int32_t at = blk.m_lineStart[li] + col;
    int32_t oldMax = blk.m_maxLineLen;
    if (!blk.m_lineStart.Reserve(blk.LineCount() + added) || !blk.InsertChars(at, src->Text())) {
        return false;
    }
    blk.ShiftStarts(li + 1, len);
    if (added > 0) {
        (void)blk.InsertStarts(li + 1, added); // room reserved above
        int32_t* d = blk.m_lineStart.Data();
        for (int32_t j = 1; j < n; ++j) {
            d[li + j] = at + src->m_lineStart[j];
        }
        if (brk) {
            // The rest of the target line goes on a line of its own.
            d[li + n] = at + len;
        }
    }
    blk.m_maxLineLen = -1;
    XArray<ZStringML_Blk*> parts(0, 4, 4, 2.0);
    if (!PrepareSplit(blk, parts) || !ReserveBlocks(parts.Count() - 1)) {
        FreeParts(parts);
        blk.m_lineStart.Remove(li + 1, added);
        blk.ShiftStarts(li + 1, -len);
        blk.EraseChars(at, at + len);
        blk.m_maxLineLen = oldMax;
        return false;
    }

    // Nothing below allocates.
    StoreRecord(rec, line, col, eLine, eCol, src->Text());
    endLine = eLine;
    endCol = eCol;
    m_curLine = eLine;
    m_curCol = eCol;
    m_lines += added;
    ++m_stamp;
    if (parts.Count() > 0) {
        ReplaceBlocks(b, 1, parts);
        RebuildIndex();
    } else if (added > 0) {
        IndexAdd(b, added);
    }
    // The block keeps its index and first line through a split.
    cache.blk = b;
    cache.line = first;
    cache.owner = this;
    cache.stamp = m_stamp;
    return true;
}

bool ZStringML::Remove(int32_t startLine, int32_t startCol, int32_t endLine, int32_t endCol,
                       bool record)
{
    return Remove(startLine, startCol, endLine, endCol, m_editCache, record);
}

bool ZStringML::Remove(int32_t startLine, int32_t startCol, int32_t endLine, int32_t endCol,
                       ZStringML_PosCache& cache, bool record)
{
    int32_t bs = 0;
    int32_t fs = 0;
    int32_t be = 0;
    int32_t fe = 0;
    if (!ValidRange(startLine, startCol, endLine, endCol, cache, bs, fs, be, fe)) {
        return false;
    }
    if (endLine == startLine && endCol == startCol) {
        m_curLine = startLine;
        m_curCol = startCol;
        return true;
    }
    PendingRecord rec;
    if (record && !PrepareRemoveRecord(startLine, startCol, endLine, endCol, bs, fs, rec)) {
        return false;
    }

    int32_t removedLines = endLine - startLine;
    ZStringML_Blk& a = *m_blocks[bs];
    int32_t ls = startLine - fs;
    int32_t from = a.m_lineStart[ls] + startCol;
    XArray<ZStringML_Blk*> parts(0, 4, 4, 2.0);
    if (bs != be) {
        // The start line keeps its characters before the start column and takes the end
        // line's characters after the end column, followed by the lines after the end line.
        // That block is built aside (and split when it breaks the limits), so that the
        // buffer changes only once everything is in memory.
        ZStringML_Blk& z = *m_blocks[be];
        int32_t le = endLine - fe;
        int32_t to = z.m_lineStart[le] + endCol;
        int32_t tailLines = z.LineCount() - le - 1;
        ZStringML_Blk* joined = ZNew<ZStringML_Blk>();
        bool ok = joined != nullptr && joined->m_text.Reserve(from + z.Length() - to) &&
                  joined->m_lineStart.SetSize(ls + 1 + tailLines);
        if (ok) {
            (void)joined->m_text.Assign(a.m_text.Text(), from); // room reserved
            (void)joined->m_text.Append(z.m_text.Str().Sub(to));
            int32_t* d = joined->m_lineStart.Data();
            std::memcpy(d, a.m_lineStart.Data(), size_t(ls + 1) * sizeof(int32_t));
            for (int32_t j = 0; j < tailLines; ++j) {
                d[ls + 1 + j] = z.m_lineStart[le + 1 + j] - to + from;
            }
            joined->m_lastLineNL = z.m_lastLineNL;
            ok = PrepareSplit(*joined, parts);
        }
        if (ok && parts.Count() == 0) {
            ok = parts.Append(joined) >= 0;
            if (ok) {
                joined = nullptr;
            }
        }
        delete joined;
        if (!ok || !ReserveBlocks(parts.Count() - (be - bs + 1))) {
            FreeParts(parts);
            return false;
        }
    }

    // Nothing below fails: the record goes in while the removed text is still there, then
    // the text changes. Merging neighbours afterwards only tidies the blocks up.
    StoreRecord(rec, startLine, startCol, endLine, endCol,
                startLine == endLine ? a.Line(ls).Sub(startCol, endCol - startCol) : ZStr());
    m_curLine = startLine;
    m_curCol = startCol;
    int32_t b = bs;
    int32_t first = fs;
    bool reindex = bs != be;
    if (bs == be) {
        int32_t le = endLine - fs;
        int32_t to = a.m_lineStart[le] + endCol;
        a.EraseChars(from, to);
        a.m_lineStart.Remove(ls + 1, le - ls);
        a.ShiftStarts(ls + 1, from - to);
        a.m_maxLineLen = -1;
    } else {
        ReplaceBlocks(bs, be - bs + 1, parts);
    }
    m_lines -= removedLines;
    ++m_stamp;

    if (parts.Count() <= 1) {
        // A block that has just been split is full enough; only a shrunken one is merged.
        // A merge that finds no memory leaves two sound blocks, so it is simply skipped.
        if (b > 0 && CanMerge(b - 1)) {
            int32_t before = m_blocks[b - 1]->LineCount();
            if (MergeWithNext(b - 1)) {
                first -= before;
                --b;
                reindex = true;
            }
        }
        if (b + 1 < m_blocks.Count() && CanMerge(b) && MergeWithNext(b)) {
            reindex = true;
        }
    }
    if (reindex) {
        RebuildIndex();
    } else if (removedLines > 0) {
        IndexAdd(b, -removedLines);
    }
    cache.blk = b;
    cache.line = first;
    cache.owner = this;
    cache.stamp = m_stamp;
    return true;
}

bool ZStringML::SetText(ZStr text, ZStr sep)
{
    if (text.ptr == nullptr || text.len < 0) {
        text = ZStr("", 0);
    }
    if (text.len > INT32_MAX - 2) {
        return false; // its lines could not be counted
    }
    bool splitting = sep.ptr != nullptr && sep.len > 0;
    // The text goes straight into blocks filled to three quarters of the limits: room to
    // type before a block splits, and too full for two neighbours to merge at the first
    // removal. A line longer than that fills a block on its own.
    const int64_t fillChars = std::max<int64_t>(1, int64_t(m_maxChars) * 3 / 4);
    const int32_t fillLines = std::max<int32_t>(1, m_maxLines * 3 / 4);
    XArray<ZStringML_Blk*> blocks(0, 64, 64, 2.0);
    XArray<LineRange> pieces(0, 256, 256, 2.0); // line texts as offsets into text
    int64_t chars = 0;
    int64_t lines = 0;
    // Nothing of the buffer changes until every block is made, so running out of memory
    // leaves the old text in place.
    bool ok = true;
    auto flush = [&](bool last) {
        ZStringML_Blk* blk = ZNew<ZStringML_Blk>();
        if (blk == nullptr || !blk->m_text.SetLength(int32_t(chars)) ||
            !blk->m_lineStart.SetSize(pieces.Count()) || blocks.Append(blk) < 0) {
            delete blk;
            ok = false;
            return;
        }
        char* d = blk->m_text.Data();
        int32_t at = 0;
        for (int32_t i = 0; i < pieces.Count(); ++i) {
            blk->m_lineStart[i] = at;
            int32_t n = pieces[i].end - pieces[i].first;
            std::memcpy(d + at, text.ptr + pieces[i].first, size_t(n));
            at += n;
        }
        blk->m_lastLineNL = !last;
        lines += pieces.Count();
        pieces.RemoveAll();
        chars = 0;
    };
    int32_t from = 0;
    for (;;) {
        int32_t hit = splitting ? ZStringML_Blk::FindSep(text, sep, from) : -1;
        int32_t to = hit < 0 ? text.len : hit;
        if (pieces.Count() > 0 &&
            (pieces.Count() >= fillLines || chars + (to - from) > fillChars)) {
            flush(false);
        }
        if (!ok || pieces.Append({from, to}) < 0) {
            ok = false;
            break;
        }
        chars += to - from;
        if (hit < 0) {
            break; // a text ending with the separator ends with an empty line
        }
        from = hit + sep.len;
    }
    if (ok) {
        flush(true);
    }
    if (!ok || !m_index.Reserve(blocks.Count() + 1)) {
        FreeParts(blocks);
        return false;
    }

    for (ZStringML_Blk* b : m_blocks) {
        delete b;
    }
    m_blocks = std::move(blocks);
    m_lines = int32_t(lines);
    ++m_stamp;
    RebuildIndex();
    m_curLine = 0;
    m_curCol = 0;
    if (m_undo != nullptr) {
        m_undo->Clear();
    }
    return true;
}

void ZStringML::AdjustPosAfterRemove(int32_t startLine, int32_t startCol, int32_t endLine,
                                     int32_t endCol, int32_t& line, int32_t& col)
{
    if (line < startLine || (line == startLine && col <= startCol)) {
        return;
    }
    if (line < endLine || (line == endLine && col <= endCol)) {
        line = startLine;
        col = startCol;
        return;
    }
    if (line == endLine) {
        line = startLine;
        col = startCol + (col - endCol);
        return;
    }
    line -= endLine - startLine;
}

// ---------------------------------------------------------------------------------------
// Recording

bool ZStringML::PrepareInsertRecord(int32_t line, int32_t col, int32_t endLine, int32_t endCol,
                                    const ZStringML_Blk& lines, PendingRecord& rec)
{
    if (m_undo == nullptr || !m_undo->IsRecording()) {
        return true;
    }
    rec.active = true;
    if (lines.IsSingleLine()) {
        // The last applied record stays the last one when the redo history is dropped.
        auto* last = dynamic_cast<ZML_UndoInsertStr*>(m_undo->Last());
        if (last != nullptr && last->Buffer() == this && last->Accepts(line, col)) {
            rec.merge = last;
            return last->ReserveMerge(lines.Length());
        }
        auto* fresh = ZNew<ZML_UndoInsertStr>(this, line, col, endLine, endCol, lines.Text());
        rec.fresh.reset(fresh);
        if (fresh == nullptr || fresh->Text().len != lines.Length()) {
            return false;
        }
    } else {
        ZStringML_Blk copy;
        if (!copy.CopyFrom(lines)) {
            return false;
        }
        rec.fresh.reset(ZNew<ZML_UndoInsert>(this, line, col, endLine, endCol, std::move(copy)));
        if (!rec.fresh) {
            return false;
        }
    }
    return m_undo->Reserve();
}

bool ZStringML::PrepareRemoveRecord(int32_t startLine, int32_t startCol, int32_t endLine,
                                    int32_t endCol, int32_t firstBlk, int32_t firstLine,
                                    PendingRecord& rec)
{
    if (m_undo == nullptr || !m_undo->IsRecording()) {
        return true;
    }
    rec.active = true;
    if (startLine == endLine) {
        ZStr removed =
            m_blocks[firstBlk]->Line(startLine - firstLine).Sub(startCol, endCol - startCol);
        auto* last = dynamic_cast<ZML_UndoRemoveStr*>(m_undo->Last());
        if (last != nullptr && last->Buffer() == this &&
            last->Accepts(startLine, startCol, endLine, endCol)) {
            rec.merge = last;
            return last->ReserveMerge(removed.len);
        }
        auto* fresh = ZNew<ZML_UndoRemoveStr>(this, startLine, startCol, endLine, endCol, removed);
        rec.fresh.reset(fresh);
        if (fresh == nullptr || fresh->Text().len != removed.len) {
            return false;
        }
    } else {
        ZStringML_Blk removed;
        if (!GetRange(startLine, startCol, endLine, endCol, removed)) {
            return false;
        }
        rec.fresh.reset(
            ZNew<ZML_UndoRemove>(this, startLine, startCol, endLine, endCol, std::move(removed)));
        if (!rec.fresh) {
            return false;
        }
    }
    return m_undo->Reserve();
}

void ZStringML::StoreRecord(PendingRecord& rec, int32_t line, int32_t col, int32_t endLine,
                            int32_t endCol, ZStr text)
{
    if (!rec.active) {
        return;
    }
    m_undo->DropRedo();
    if (rec.merge != nullptr) {
        // Room for the text was reserved, so the merge cannot fail.
        if (auto* ins = dynamic_cast<ZML_UndoInsertStr*>(rec.merge)) {
            ins->Merge(line, col, endLine, endCol, text);
        } else if (auto* rem = dynamic_cast<ZML_UndoRemoveStr*>(rec.merge)) {
            rem->Merge(line, col, endLine, endCol, text);
        }
        return;
    }
    m_undo->Add(std::move(rec.fresh));
}

// ---------------------------------------------------------------------------------------
// Diagnostics

bool ZStringML::CheckBlocks(ZString* fault) const
{
    auto fail = [&](const char* what, int32_t b) {
        if (fault != nullptr) {
            fault->Format("block %d: %s", b, what);
        }
        return false;
    };
    int32_t nb = m_blocks.Count();
    if (nb < 1) {
        return fail("no blocks", -1);
    }
    if (m_index.Count() != nb + 1) {
        return fail("line index out of step with the block list", -1);
    }
    int64_t total = 0;
    for (int32_t b = 0; b < nb; ++b) {
        const ZStringML_Blk& blk = *m_blocks[b];
        int32_t n = blk.LineCount();
        if (n < 1) {
            return fail("no lines", b);
        }
        if (blk.m_lineStart[0] != 0) {
            return fail("first line does not start at 0", b);
        }
        for (int32_t i = 1; i < n; ++i) {
            if (blk.m_lineStart[i] < blk.m_lineStart[i - 1]) {
                return fail("line starts out of order", b);
            }
        }
        if (blk.m_lineStart[n - 1] > blk.Length()) {
            return fail("line starts past the text", b);
        }
        if (NeedsSplit(n, blk.Length())) {
            return fail("block limits exceeded", b);
        }
        if (blk.LastLineBreak() != (b + 1 < nb)) {
            return fail(b + 1 < nb ? "break flag clear before another block"
                                   : "break flag set on the last block",
                        b);
        }
        if (blk.m_maxLineLen >= 0) {
            int32_t cached = blk.m_maxLineLen;
            blk.m_maxLineLen = -1;
            if (blk.LongestLine() != cached) {
                return fail("stale longest-line cache", b);
            }
        }
        if (IndexPrefix(b) != total) {
            return fail("line index disagrees with the line counts", b);
        }
        total += n;
    }
    if (total != m_lines) {
        return fail("line total disagrees with the blocks", -1);
    }
    return true;
}

void ZStringML::Dump(ZString& out, bool full) const
{
    out.AppendFormat("    Blocks = %d\r\n", m_blocks.Count());
    for (int32_t b = 0; b < m_blocks.Count(); ++b) {
        out.AppendFormat("    [%2d Blk]\r\n", b);
        m_blocks[b]->Dump(out, full);
    }
}
