// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Shared by the editor tests: texts with caret and selection written inline.
//
// "ab^cd|e" is the line "abcde" with the anchor before "c" and the caret before "e";
// without "^" there is no selection. Lines are separated by "\n".

#include "edit/XMEdit.h"

#include <string>

struct EditState
{
    std::string text;
    XME_Pos caret;
    XME_Pos anchor;
};

inline EditState ParseState(const std::string& notation)
{
    EditState st;
    XME_Pos at;
    bool anchor = false;
    for (char c : notation) {
        if (c == '|') {
            st.caret = at;
        } else if (c == '^') {
            st.anchor = at;
            anchor = true;
        } else {
            st.text += c;
            if (c == '\n') {
                ++at.line;
                at.col = 0;
            } else {
                ++at.col;
            }
        }
    }
    if (!anchor) {
        st.anchor = st.caret;
    }
    return st;
}

/// Loads a text in notation: the text replaces the editor's (the undo history starts
/// afresh) and the selection is set.
inline void LoadState(XMEdit& edit, const std::string& notation)
{
    const EditState st = ParseState(notation);
    edit.SetText(ZStr(st.text.data(), int32_t(st.text.size())), ZStr("\n"));
    edit.SetSel(st.anchor, st.caret);
}

/// The editor's text, caret and selection in notation.
inline std::string StateOf(const XMEdit& edit)
{
    std::string out;
    const XME_Pos caret = edit.GetCaret();
    const XME_Pos anchor = edit.GetAnchor();
    for (int32_t line = 0; line < edit.LineCount(); ++line) {
        if (line > 0) {
            out += '\n';
        }
        const ZStr t = edit.LineText(line);
        for (int32_t col = 0; col <= t.len; ++col) {
            if (anchor != caret && anchor == XME_Pos{line, col}) {
                out += '^';
            }
            if (caret == XME_Pos{line, col}) {
                out += '|';
            }
            if (col < t.len) {
                out += t[col];
            }
        }
    }
    return out;
}

inline std::string TextOf(const XMEdit& edit)
{
    ZString text;
    edit.GetText(text, ZStr("\n"));
    return std::string(text.Text(), size_t(text.Length()));
}
