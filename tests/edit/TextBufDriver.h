// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

// Drives a ZStringML with its undo manager and a plain std::string model through the same
// random edits, and compares them after every step. The steps are taken from a stream of
// bytes: the unit test feeds it pseudo-random bytes, the fuzz target its input.

#include "base/XArray.h"
#include "base/ZString.h"
#include "edit/ZML_Undo.h"
#include "edit/ZStringML.h"
#include "edit/ZUndo.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace textbuf {

/// Bytes that steer the driver; reading past the end gives zeros.
class ByteSource
{
public:
    ByteSource(const uint8_t* data, size_t size)
        : m_data(data)
        , m_size(size)
    {
    }
    bool Empty() const { return m_pos >= m_size; }
    uint32_t Byte() { return m_pos < m_size ? m_data[m_pos++] : 0u; }
    /// A value in [0, n); 0 when n is 0.
    uint32_t Below(uint32_t n)
    {
        if (n == 0) {
            return 0;
        }
        uint32_t v = Byte();
        if (n > 256) {
            v = v << 8 | Byte();
        }
        if (n > 65536) {
            v = v << 8 | Byte();
        }
        return v % n;
    }
    bool Chance(uint32_t oneIn) { return Below(oneIn) == 0; }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

struct Pos
{
    int32_t line = 0;
    int32_t col = 0;
    bool operator==(const Pos& o) const { return line == o.line && col == o.col; }
};

/// The reference: the text with '\n' between lines, and the undo history as the texts
/// before and after each record, with the merge rules of typed and deleted runs.
class Model
{
public:
    enum class Kind {
        Insert,
        InsertStr,
        Remove,
        RemoveStr,
    };
    struct Rec
    {
        Kind kind;
        Pos s;
        Pos e;
        size_t len; // characters of a RemoveStr run
        std::string before;
        std::string after;
    };

    std::string text;
    std::vector<Rec> recs;
    size_t cur = 0;

    std::vector<size_t> Starts() const
    {
        std::vector<size_t> v{0};
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\n') {
                v.push_back(i + 1);
            }
        }
        return v;
    }
    int32_t Lines() const { return int32_t(std::count(text.begin(), text.end(), '\n')) + 1; }
    int32_t LineLen(const std::vector<size_t>& st, int32_t l) const
    {
        size_t end = size_t(l) + 1 < st.size() ? st[size_t(l) + 1] - 1 : text.size();
        return int32_t(end - st[size_t(l)]);
    }
    size_t Offset(const std::vector<size_t>& st, Pos p) const
    {
        return st[size_t(p.line)] + size_t(p.col);
    }
    Pos PosOf(const std::vector<size_t>& st, size_t off) const
    {
        size_t l = size_t(std::upper_bound(st.begin(), st.end(), off) - st.begin()) - 1;
        return Pos{int32_t(l), int32_t(off - st[l])};
    }

    void RecordInsert(Pos p, Pos e, const std::string& u, const std::string& before)
    {
        if (u.empty()) {
            return;
        }
        recs.resize(cur);
        bool single = u.find('\n') == std::string::npos;
        if (single && !recs.empty() && recs.back().kind == Kind::InsertStr) {
            Rec& r = recs.back();
            if (p == r.e) {
                r.e = e;
                r.after = text;
                return;
            }
            if (p == r.s) {
                r.e.col += int32_t(u.size());
                r.after = text;
                return;
            }
        }
        recs.push_back(Rec{single ? Kind::InsertStr : Kind::Insert, p, e, 0, before, text});
        cur = recs.size();
    }

    void RecordRemove(Pos s, Pos e, size_t n, const std::string& before)
    {
        if (n == 0) {
            return;
        }
        recs.resize(cur);
        bool single = s.line == e.line;
        if (single && !recs.empty() && recs.back().kind == Kind::RemoveStr) {
            Rec& r = recs.back();
            bool merged = false;
            if (s == r.s) {
                merged = true;
            } else if (e == r.s) {
                r.s = s;
                merged = true;
            }
            if (merged) {
                r.len += n;
                r.e = Pos{r.s.line, r.s.col + int32_t(r.len)};
                r.after = text;
                return;
            }
        }
        recs.push_back(Rec{single ? Kind::RemoveStr : Kind::Remove, s, e, n, before, text});
        cur = recs.size();
    }

    static const char* Name(Kind k)
    {
        static const char* const kNames[] = {"Insert", "InsertStr", "Remove", "RemoveStr"};
        return kNames[static_cast<int>(k)];
    }
};

/// Applies steps to a buffer and the model; Step returns false on the first disagreement.
class Driver
{
public:
    /// maxText bounds the text: above it the driver removes instead of inserting.
    Driver(int32_t maxLines, int32_t maxChars, size_t maxText)
        : m_buf(maxLines, maxChars)
        , m_maxChars(maxChars)
        , m_maxText(maxText)
    {
        m_buf.SetUndoMngr(&m_undo);
    }

    const std::string& Failure() const { return m_failure; }
    ZStringML& Buffer() { return m_buf; }
    const Model& Reference() const { return m_model; }

    bool Step(ByteSource& in)
    {
        ++m_step;
        uint32_t op = in.Below(16);
        if (m_model.text.size() > m_maxText) {
            op = 9;
        }
        bool ok = true;
        switch (op) {
        case 0:
        case 1:
        case 2:
        case 3:
            ok = Type(in);
            break;
        case 4:
            ok = Insert(in, TypingPos(in), "\n", in.Chance(2));
            break;
        case 5:
        case 6:
            ok = InsertLines(in);
            break;
        case 7:
            ok = Backspace();
            break;
        case 8:
            ok = Delete();
            break;
        case 9:
        case 10:
            ok = RemoveRange(in);
            break;
        case 11:
        case 12:
            ok = Undo();
            break;
        case 13:
            ok = Redo();
            break;
        case 14:
            ok = in.Chance(8) ? Reload(in) : Invalid(in);
            break;
        default:
            ok = Reads(in);
            break;
        }
        return ok && Verify();
    }

private:
    bool Fail(const std::string& what)
    {
        char head[64];
        std::snprintf(head, sizeof head, "step %d: ", m_step);
        m_failure = head + what;
        return false;
    }

    static std::string Show(Pos p)
    {
        return "(" + std::to_string(p.line) + "," + std::to_string(p.col) + ")";
    }

    Pos RandomPos(ByteSource& in) const
    {
        auto st = m_model.Starts();
        int32_t l = int32_t(in.Below(uint32_t(st.size())));
        int32_t c = int32_t(in.Below(uint32_t(m_model.LineLen(st, l)) + 1));
        return Pos{l, c};
    }

    // Mostly where the last edit left off, so that typed and deleted runs merge.
    Pos TypingPos(ByteSource& in) const
    {
        if (!in.Chance(3)) {
            Pos p;
            m_buf.CurrentPos(p.line, p.col);
            auto st = m_model.Starts();
            if (p.line < int32_t(st.size()) && p.col <= m_model.LineLen(st, p.line)) {
                return p;
            }
        }
        return RandomPos(in);
    }

    char RandomChar(ByteSource& in) const
    {
        static const char kChars[] = "abcdefghXYZ \t\r";
        uint32_t i = in.Below(sizeof kChars); // the terminating NUL is a character as well
        return kChars[i];
    }

    std::string RandomLine(ByteSource& in, uint32_t maxLen)
    {
        std::string s(in.Below(maxLen + 1), 'x');
        for (char& c : s) {
            c = RandomChar(in);
        }
        return s;
    }

    bool Type(ByteSource& in)
    {
        Pos p = TypingPos(in);
        std::string u = RandomLine(in, 3);
        return Insert(in, p, u, false);
    }

    bool InsertLines(ByteSource& in)
    {
        std::string u;
        if (in.Chance(6)) {
            // A large insertion that overflows a block, with now and then a long line.
            size_t target = in.Below(uint32_t(3 * m_maxChars)) + 1;
            target = std::min(target, m_maxText);
            while (u.size() < target) {
                uint32_t len = in.Chance(8) ? in.Below(uint32_t(m_maxChars) + 1) : in.Below(12);
                u += std::string(len, char('a' + u.size() % 26));
                u += '\n';
                if (in.Empty()) {
                    break;
                }
            }
        } else {
            int n = int(in.Below(5));
            for (int i = 0; i < n; ++i) {
                u += RandomLine(in, 10);
                u += '\n';
            }
            u += RandomLine(in, 10);
        }
        if (in.Chance(2) && !u.empty() && u.back() != '\n') {
            u += '\n';
        }
        return Insert(in, RandomPos(in), u, in.Chance(2));
    }

    bool Insert(ByteSource& in, Pos p, const std::string& u, bool viaLines)
    {
        (void)in;
        ZStringML_Blk blk;
        if (viaLines) {
            // The same text as a list of lines plus the final-break flag.
            std::vector<std::string> parts{""};
            for (char c : u) {
                if (c == '\n') {
                    parts.emplace_back();
                } else {
                    parts.back() += c;
                }
            }
            bool finalBreak = parts.size() > 1 && parts.back().empty();
            if (finalBreak) {
                parts.pop_back();
            }
            XArray<ZStr, true> lines;
            for (const std::string& s : parts) {
                lines.Append(ZStr(s.data(), int32_t(s.size())));
            }
            if (!blk.SetLines(lines, finalBreak)) {
                return Fail("block of lines not made");
            }
        } else if (!blk.SetText(ZStr(u.data(), int32_t(u.size())), ZStr("\n"))) {
            return Fail("block from text not made");
        }
        Pos e;
        if (!m_buf.Insert(p.line, p.col, blk, e.line, e.col)) {
            return Fail("insert at " + Show(p) + " refused");
        }
        auto st = m_model.Starts();
        size_t off = m_model.Offset(st, p);
        std::string before = m_model.text;
        m_model.text.insert(off, u);
        Pos want = m_model.PosOf(m_model.Starts(), off + u.size());
        if (!(e == want)) {
            return Fail("insert at " + Show(p) + " ends at " + Show(e) + ", expected " +
                        Show(want));
        }
        Pos cur;
        m_buf.CurrentPos(cur.line, cur.col);
        if (!(cur == want)) {
            return Fail("current position after insert is " + Show(cur));
        }
        m_model.RecordInsert(p, e, u, before);
        return true;
    }

    bool Remove(Pos s, Pos e)
    {
        auto st = m_model.Starts();
        size_t from = m_model.Offset(st, s);
        size_t to = m_model.Offset(st, e);
        std::string before = m_model.text;
        if (!m_buf.Remove(s.line, s.col, e.line, e.col)) {
            return Fail("remove " + Show(s) + ".." + Show(e) + " refused");
        }
        m_model.text.erase(from, to - from);
        m_model.RecordRemove(s, e, to - from, before);
        Pos cur;
        m_buf.CurrentPos(cur.line, cur.col);
        if (!(cur == s)) {
            return Fail("current position after remove is " + Show(cur));
        }
        return true;
    }

    bool Backspace()
    {
        Pos p;
        m_buf.CurrentPos(p.line, p.col);
        auto st = m_model.Starts();
        if (p.line >= int32_t(st.size()) || p.col > m_model.LineLen(st, p.line)) {
            return true;
        }
        if (p.col > 0) {
            return Remove(Pos{p.line, p.col - 1}, p);
        }
        if (p.line > 0) {
            return Remove(Pos{p.line - 1, m_model.LineLen(st, p.line - 1)}, p);
        }
        return true;
    }

    bool Delete()
    {
        Pos p;
        m_buf.CurrentPos(p.line, p.col);
        auto st = m_model.Starts();
        if (p.line >= int32_t(st.size()) || p.col > m_model.LineLen(st, p.line)) {
            return true;
        }
        if (p.col < m_model.LineLen(st, p.line)) {
            return Remove(p, Pos{p.line, p.col + 1});
        }
        if (size_t(p.line) + 1 < st.size()) {
            return Remove(p, Pos{p.line + 1, 0});
        }
        return true;
    }

    bool RemoveRange(ByteSource& in)
    {
        auto st = m_model.Starts();
        Pos s = RandomPos(in);
        size_t from = m_model.Offset(st, s);
        size_t rest = m_model.text.size() - from;
        size_t n = m_model.text.size() > m_maxText || in.Chance(8)
                       ? in.Below(uint32_t(rest) + 1)
                       : std::min<size_t>(rest, in.Below(40));
        Pos e = m_model.PosOf(st, from + n);
        // A probe position, to check where it goes after the removal.
        Pos probe = RandomPos(in);
        size_t probeOff = m_model.Offset(st, probe);
        std::string old = m_model.text;
        if (!Remove(s, e)) {
            return false;
        }
        Pos moved = probe;
        ZStringML::AdjustPosAfterRemove(s.line, s.col, e.line, e.col, moved.line, moved.col);
        size_t wantOff = probeOff <= from ? probeOff : (probeOff <= from + n ? from : probeOff - n);
        Pos want = m_model.PosOf(m_model.Starts(), wantOff);
        if (!(moved == want)) {
            return Fail("position " + Show(probe) + " after removing " + Show(s) + ".." + Show(e) +
                        " became " + Show(moved) + ", expected " + Show(want));
        }
        return true;
    }

    bool Undo()
    {
        bool can = m_model.cur > 0;
        if (m_undo.CanUndo() != can) {
            return Fail("CanUndo disagrees");
        }
        if (m_undo.Undo() != can) {
            return Fail("Undo result disagrees");
        }
        if (can) {
            --m_model.cur;
            m_model.text = m_model.recs[m_model.cur].before;
        }
        return true;
    }

    bool Redo()
    {
        bool can = m_model.cur < m_model.recs.size();
        if (m_undo.CanRedo() != can) {
            return Fail("CanRedo disagrees");
        }
        if (m_undo.Redo() != can) {
            return Fail("Redo result disagrees");
        }
        if (can) {
            m_model.text = m_model.recs[m_model.cur].after;
            ++m_model.cur;
        }
        return true;
    }

    // The text read out with CR LF and loaded again: the same lines, no undo history.
    bool Reload(ByteSource& in)
    {
        ZString out;
        if (!m_buf.GetText(out, "\r\n")) {
            return Fail("GetText refused");
        }
        std::string text(out.Text(), size_t(out.Length()));
        if (in.Chance(4)) {
            text += "\r\n"; // a final break gives an empty last line
            m_model.text += '\n';
        }
        if (!m_buf.SetText(ZStr(text.data(), int32_t(text.size())), "\r\n")) {
            return Fail("SetText refused");
        }
        m_model.recs.clear();
        m_model.cur = 0;
        return true;
    }

    bool Invalid(ByteSource& in)
    {
        auto st = m_model.Starts();
        int32_t lines = int32_t(st.size());
        Pos p = RandomPos(in);
        int32_t len = m_model.LineLen(st, p.line);
        ZStringML_Blk x = ZStringML_Blk::FromText("x", ZStr());
        Pos e;
        bool done = false;
        switch (in.Below(6)) {
        case 0:
            done = m_buf.Insert(lines, 0, x, e.line, e.col);
            break;
        case 1:
            done = m_buf.Insert(p.line, len + 1, x, e.line, e.col);
            break;
        case 2:
            done = m_buf.Insert(-1, 0, x, e.line, e.col) || m_buf.Insert(0, -1, x, e.line, e.col);
            break;
        case 3:
            done = m_buf.Remove(p.line, p.col, lines, 0);
            break;
        case 4:
            done = m_buf.Remove(p.line, p.col, p.line, len + 1);
            break;
        default:
            if (p.col > 0) {
                done = m_buf.Remove(p.line, p.col, p.line, p.col - 1);
            } else if (p.line > 0) {
                done = m_buf.Remove(p.line, 0, p.line - 1, 0);
            }
            break;
        }
        if (done) {
            return Fail("an edit outside the text was accepted");
        }
        return true;
    }

    bool Reads(ByteSource& in)
    {
        auto st = m_model.Starts();
        int32_t lines = int32_t(st.size());
        int32_t i = int32_t(in.Below(uint32_t(lines) + 2)) - 1;
        ZStr view;
        bool inside = i >= 0 && i < lines;
        if (m_buf.Line(i, view) != inside) {
            return Fail("Line(" + std::to_string(i) + ") result");
        }
        std::string want = inside
                               ? m_model.text.substr(st[size_t(i)], size_t(m_model.LineLen(st, i)))
                               : std::string();
        if (std::string(view.ptr, size_t(view.len)) != want ||
            m_buf.LineLength(i) != int32_t(want.size())) {
            return Fail("Line(" + std::to_string(i) + ") text");
        }
        // A range read back as a block, in the form the removal records keep.
        Pos s = RandomPos(in);
        size_t from = m_model.Offset(st, s);
        size_t n = in.Below(uint32_t(m_model.text.size() - from) + 1);
        Pos e = m_model.PosOf(st, from + n);
        ZStringML_Blk range;
        ZString got;
        if (!m_buf.GetRange(s.line, s.col, e.line, e.col, range) || !range.GetText(got, "\n")) {
            return Fail("GetRange refused");
        }
        if (std::string(got.Text(), size_t(got.Length())) != m_model.text.substr(from, n)) {
            return Fail("GetRange " + Show(s) + ".." + Show(e) + " text");
        }
        // Every line in order through a private cache.
        ZStringML_PosCache cache;
        for (int32_t l = 0; l < lines; ++l) {
            if (!m_buf.Line(l, view, cache) || view.len != m_model.LineLen(st, l) ||
                std::string(view.ptr, size_t(view.len)) !=
                    m_model.text.substr(st[size_t(l)], size_t(view.len))) {
                return Fail("reading line " + std::to_string(l) + " in order");
            }
        }
        return true;
    }

    bool Verify()
    {
        ZString fault;
        if (!m_buf.CheckBlocks(&fault)) {
            return Fail(std::string("block structure: ") + fault.Text());
        }
        ZString got;
        bool crlf = m_step % 8 == 0;
        if (!m_buf.GetText(got, crlf ? "\r\n" : "\n")) {
            return Fail("GetText refused");
        }
        std::string want = m_model.text;
        if (crlf) {
            std::string w;
            for (char c : want) {
                if (c == '\n') {
                    w += '\r';
                }
                w += c;
            }
            want.swap(w);
        }
        if (std::string(got.Text(), size_t(got.Length())) != want) {
            return Fail("text differs from the model");
        }
        if (m_buf.LineCount() != m_model.Lines()) {
            return Fail("line count differs from the model");
        }
        auto st = m_model.Starts();
        int32_t longest = 0;
        for (int32_t l = 0; l < int32_t(st.size()); ++l) {
            longest = std::max(longest, m_model.LineLen(st, l));
        }
        if (m_buf.LongestLine() != longest) {
            return Fail("longest line differs from the model");
        }
        if (m_undo.Count() != int32_t(m_model.recs.size()) ||
            m_undo.Current() != int32_t(m_model.cur)) {
            return Fail("undo history has " + std::to_string(m_undo.Count()) + " records at " +
                        std::to_string(m_undo.Current()) + ", expected " +
                        std::to_string(m_model.recs.size()) + " at " + std::to_string(m_model.cur));
        }
        for (size_t r = 0; r < m_model.recs.size(); ++r) {
            if (m_undo.Record(int32_t(r))->Kind() != ZStr(Model::Name(m_model.recs[r].kind))) {
                return Fail("record " + std::to_string(r) + " is of the wrong kind");
            }
        }
        return true;
    }

    ZUndoMngr m_undo;
    ZStringML m_buf;
    Model m_model;
    int32_t m_maxChars;
    size_t m_maxText;
    int m_step = 0;
    std::string m_failure;
};

} // namespace textbuf
