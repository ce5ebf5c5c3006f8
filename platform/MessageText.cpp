// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/MessageText.h"

#include "platform/Application.h"
#include "platform/DrawContext.h"
#include "platform/detail/WordWrap.h"

#include <algorithm>
#include <vector>

namespace plat {
namespace {

constexpr int kReadableChars = 70;
// Caption, margins and the row of buttons of a message box, in text lines.
constexpr int kFrameLines = 6;
constexpr const char* kEllipsis = "...";

// Lays out lines up to a number of them, measuring each candidate once. No glyph is narrower
// than one pixel, so a text of more bytes than four times the width never fits and is not
// measured: a huge text costs no more than the lines that are shown.
class Wrapper
{
public:
    Wrapper(const DrawContext& dc, Size room)
        : m_dc(dc)
        , m_width(std::max(1, room.cx))
        , m_maxLines(size_t(std::max(1, room.cy / std::max(1, dc.GetTextMetrics().height))))
    {
    }

    bool Fits(const std::string& s) const
    {
        return s.size() <= size_t(m_width) * 4 && m_dc.GetTextExtent(s).cx <= m_width;
    }

    // Adds a line; false once the lines are full (the text is then cut).
    bool Add(std::string line)
    {
        if (m_lines.size() == m_maxLines) {
            m_cut = true;
            return false;
        }
        m_lines.push_back(std::move(line));
        return true;
    }

    // Adds one line of the text, wrapped. False once the lines are full.
    bool AddWrapped(const std::string& line)
    {
        if (Fits(line))
            return Add(line);
        // A word too long for a line is cut where the line is full.
        return detail::WrapWords(
            line, [this](const std::string& t) { return Fits(t); },
            [this](std::string piece) {
                while (!Fits(piece)) {
                    const size_t n = LongestFittingPrefix(piece);
                    if (!Add(piece.substr(0, n)))
                        return false;
                    piece.erase(0, n);
                }
                return Add(std::move(piece));
            });
    }

    std::string Result()
    {
        if (m_cut && !m_lines.empty()) {
            std::string& last = m_lines.back();
            while (!last.empty() && !Fits(last + kEllipsis))
                last.erase(PreviousBoundary(last, last.size()));
            last += kEllipsis;
        }
        std::string out;
        for (size_t k = 0; k < m_lines.size(); ++k) {
            if (k > 0)
                out += '\n';
            out += m_lines[k];
        }
        return out;
    }

private:
    static bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

    static size_t PreviousBoundary(const std::string& s, size_t at)
    {
        size_t k = at > 0 ? at - 1 : 0;
        while (k > 0 && IsContinuation(s[k]))
            --k;
        return k;
    }

    // The length of the longest prefix of word (which does not fit) that ends between two
    // characters and fits; at least one character, so that every line takes something.
    size_t LongestFittingPrefix(const std::string& word) const
    {
        std::vector<size_t> ends;
        const size_t limit = std::min(word.size(), size_t(m_width) * 4);
        for (size_t k = 1; k <= limit; ++k) {
            if (k == word.size() || !IsContinuation(word[k]))
                ends.push_back(k);
        }
        if (ends.empty())
            return word.size();
        size_t lo = 0, hi = ends.size();
        while (lo + 1 < hi) {
            const size_t mid = (lo + hi) / 2;
            if (Fits(word.substr(0, ends[mid])))
                lo = mid;
            else
                hi = mid;
        }
        return ends[lo];
    }

    const DrawContext& m_dc;
    int m_width;
    size_t m_maxLines;
    std::vector<std::string> m_lines;
    bool m_cut = false;
};

} // namespace

Size MessageTextRoom(const DrawContext& dc)
{
    Rect screen = GetScreenWorkArea();
    if (screen.IsEmpty())
        screen = Rect::FromXYWH(0, 0, 1024, 768);
    const TextMetrics tm = dc.GetTextMetrics();
    const int width =
        std::min(kReadableChars * std::max(1, tm.aveCharWidth), screen.Width() * 2 / 3);
    const int height = screen.Height() - kFrameLines * std::max(1, tm.height);
    return {std::max(1, width), std::max(tm.height, height)};
}

std::string WrapMessageText(const DrawContext& dc, const std::string& text, Size room)
{
    Wrapper wrapper(dc, room);
    size_t start = 0;
    for (;;) {
        const size_t end = std::min(text.find('\n', start), text.size());
        std::string line = text.substr(start, end - start);
        line.erase(std::remove(line.begin(), line.end(), '\r'), line.end());
        if (!wrapper.AddWrapped(line) || end == text.size())
            break;
        start = end + 1;
    }
    return wrapper.Result();
}

} // namespace plat
