// SPDX-License-Identifier: GPL-2.0-or-later
// Reading the node classes from text. Every step works on the caller's span and returns the
// rest of it; a failing step records its error code in the owner and returns the null span,
// which every enclosing step passes straight up. Character classes are those of the C
// locale, so a document reads the same whatever locale the program runs in.

#include "xml/TXML.h"
#include "xml/TXMLFactory.h"
#include "xml/TXMLNode.h"

#include <cstring>

namespace {

bool IsSpace(char c)
{
    // isspace in the C locale: blank, tab, LF, VT, FF, CR.
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool IsAlpha(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsNameStart(char c)
{
    return IsAlpha(c) || c == '_';
}

bool IsNameChar(char c)
{
    return IsAlpha(c) || IsDigit(c) || c == '_' || c == '-' || c == ':';
}

char Lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

const char* SkipSpace(const char* p, const char* end)
{
    while (p < end && IsSpace(*p)) {
        ++p;
    }
    return p;
}

const char* SkipName(const char* p, const char* end)
{
    while (p < end && IsNameChar(*p)) {
        ++p;
    }
    return p;
}

ZStr Rest(const char* p, const char* end)
{
    return ZStr(p, int32_t(end - p));
}

const ZStr kNull;

// The end of a quoted string that opens at p (at the quote), or null when it never closes.
// The quote character doubled, or right after a backslash, does not end the string.
const char* SkipQuoted(const char* p, const char* end)
{
    char quote = *p++;
    while (p < end) {
        if (*p == quote) {
            if (p + 1 < end && p[1] == quote) {
                p += 2;
                continue;
            }
            return p;
        }
        if (*p == '\\' && p + 1 < end && p[1] == quote) {
            p += 2;
            continue;
        }
        ++p;
    }
    return nullptr;
}

// The closing brace that matches the one at p, or null. Nested braces count; quoted strings
// inside are skipped, so braces in them do not count.
const char* SkipBraces(const char* p, const char* end)
{
    int32_t depth = 0;
    while (p < end) {
        char c = *p;
        if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (--depth == 0) {
                return p;
            }
        } else if (c == '"' || c == '\'') {
            p = SkipQuoted(p, end);
            if (!p) {
                return nullptr;
            }
        }
        ++p;
    }
    return nullptr;
}

const char* Find(const char* p, const char* end, char c)
{
    return p < end ? static_cast<const char*>(std::memchr(p, c, size_t(end - p))) : nullptr;
}

const char* FindCommentEnd(const char* p, const char* end)
{
    while (end - p >= 3) {
        const char* dash = Find(p, end - 2, '-');
        if (!dash) {
            return nullptr;
        }
        if (dash[1] == '-' && dash[2] == '>') {
            return dash;
        }
        p = dash + 1;
    }
    return nullptr;
}

} // namespace

ZStr TXMLNode::Fail(TXMLError code, const char* at) const
{
    m_owner->SetError(code, at);
    return kNull;
}

ZStr TXMLNode::Parse(ZStr text)
{
    return Fail(TXMLError::ElementParse, text.ptr);
}

ZStr TXMLNode::ParseChild(ZStr text, bool declarations)
{
    const char* end = text.ptr + text.len;
    const char* p = SkipSpace(text.ptr + 1, end);
    ptrdiff_t left = end - p;
    TXMLFactory& factory = m_owner->GetFactory();
    std::unique_ptr<TXMLNode> made;
    if (declarations && left >= 5 && p[0] == '?' && Lower(p[1]) == 'x' && Lower(p[2]) == 'm' &&
        Lower(p[3]) == 'l') {
        made = factory.CreateDeclaration(*m_owner, TXMLStore::Interned);
    } else if (left > 0 && IsNameStart(*p)) {
        made = factory.CreateElement(*m_owner, TXMLStore::Interned);
    } else if (left >= 4 && p[0] == '!' && p[1] == '-' && p[2] == '-') {
        made = factory.CreateComment(*m_owner, TXMLStore::Interned);
    } else {
        made = factory.CreateUnknown(*m_owner, TXMLStore::Interned);
    }
    if (!made) {
        return Fail(TXMLError::Memory, p);
    }
    // The node joins the tree before it is read, so that its depth is known while its
    // content is read and whatever was read before a failure stays in the tree.
    TXMLNode* node = m_owner->AppendChild(this, std::move(made));
    bool element = node->GetType() == TXMLType::Element;
    if (element && node->Depth() > TXML::kMaxDepth) {
        m_owner->GetTree().Delete(node);
        return Fail(TXMLError::NestingTooDeep, text.ptr);
    }
    ZStr rest = node->Parse(Rest(p, end));
    if (rest.IsNull() && !(element && node->GetValue().len > 0)) {
        // A node that failed before it had anything to show is dropped; an element keeps
        // its name and whatever attributes and children were read.
        m_owner->GetTree().Delete(node);
    }
    return rest;
}

ZStr TXMLDocument::Parse(ZStr text)
{
    const char* p = text.ptr;
    const char* end = p ? p + text.len : p;
    p = SkipSpace(p, end);
    if (p == end) {
        return Fail(TXMLError::DocumentEmpty, p);
    }
    while (true) {
        if (*p != '<') {
            return Fail(TXMLError::TagNotFound, p);
        }
        ZStr rest = ParseChild(Rest(p, end), true);
        if (rest.IsNull()) {
            return kNull;
        }
        p = SkipSpace(rest.ptr, end);
        if (p == end) {
            return Rest(p, end);
        }
    }
}

ZStr TXMLElement::Parse(ZStr text)
{
    const char* end = text.ptr + text.len;
    const char* p = SkipSpace(text.ptr, end);
    if (p == end) {
        return Fail(TXMLError::ElementParse, p);
    }
    if (!IsNameStart(*p)) {
        return Fail(TXMLError::ElementName, p);
    }
    const char* nameEnd = SkipName(p, end);
    SetValue(ZStr(p, int32_t(nameEnd - p)));
    ClearAttributes();
    p = nameEnd;
    while (true) {
        p = SkipSpace(p, end);
        if (p == end) {
            return Fail(TXMLError::Attributes, p);
        }
        if (*p == '/') {
            if (p + 1 < end && p[1] == '>') {
                return Rest(p + 2, end);
            }
            return Fail(TXMLError::EmptyTag, p);
        }
        if (*p == '>') {
            p = ParseContent(p + 1, end);
            if (!p) {
                return kNull;
            }
            // The end tag must follow byte for byte: "</", the name, ">".
            ZStr name = GetValue();
            if (end - p < name.len + 3 || p[0] != '<' || p[1] != '/' ||
                std::memcmp(p + 2, name.ptr, size_t(name.len)) != 0 || p[2 + name.len] != '>') {
                return Fail(TXMLError::EndTag, p);
            }
            return Rest(p + name.len + 3, end);
        }
        const char* after = ParseAttributes(p, end);
        if (!after || after == p) {
            return Fail(TXMLError::Attributes, p);
        }
        p = after;
    }
}

const char* TXMLElement::ParseAttributes(const char* p, const char* end)
{
    while (true) {
        p = SkipSpace(p, end);
        if (p == end || !IsNameStart(*p)) {
            return p;
        }
        const char* nameEnd = SkipName(p, end);
        ZStr name(p, int32_t(nameEnd - p));
        p = SkipSpace(nameEnd, end);
        if (p == end || *p != '=') {
            return nullptr;
        }
        p = SkipSpace(p + 1, end);
        if (p == end) {
            return nullptr;
        }
        ZStr value;
        if (*p == '"' || *p == '\'') {
            const char* close = SkipQuoted(p, end);
            if (!close) {
                return nullptr;
            }
            value = ZStr(p + 1, int32_t(close - p - 1));
            p = close + 1;
        } else if (*p == '{') {
            const char* close = SkipBraces(p, end);
            if (!close) {
                return nullptr;
            }
            value = ZStr(p, int32_t(close + 1 - p));
            p = close + 1;
        } else {
            const char* v = p;
            while (p < end && !IsSpace(*p) && *p != '/' && *p != '>' && *p != '}') {
                ++p;
            }
            if (p == v) {
                return nullptr;
            }
            value = ZStr(v, int32_t(p - v));
        }
        AppendAttribute(name, value);
    }
}

const char* TXMLElement::ParseContent(const char* p, const char* end)
{
    TXML& owner = GetOwner();
    while (true) {
        if (p == end) {
            Fail(TXMLError::ElementValue, p);
            return nullptr;
        }
        if (*p != '<') {
            const char* lt = Find(p, end, '<');
            if (!lt) {
                Fail(TXMLError::ElementValue, p);
                return nullptr;
            }
            // White space between tags (indentation) would only make a blank node that is
            // dropped at once; skip it without making one.
            if (!Rest(p, lt).IsBlank()) {
                std::unique_ptr<TXMLText> text =
                    owner.GetFactory().CreateText(owner, TXMLStore::Interned);
                if (!text) {
                    Fail(TXMLError::Memory, p);
                    return nullptr;
                }
                ZStr rest = text->Parse(Rest(p, lt));
                if (rest.IsNull()) {
                    return nullptr;
                }
                ZStr value = text->GetValue();
                if (!value.IsBlank()) {
                    owner.AppendChild(this, std::move(text));
                }
            }
            p = lt;
            continue;
        }
        if (p + 1 < end && p[1] == '/') {
            return p;
        }
        ZStr rest = ParseChild(Rest(p, end), false);
        if (rest.IsNull()) {
            return nullptr;
        }
        p = rest.ptr;
    }
}

ZStr TXMLText::Parse(ZStr text)
{
    const char* p = text.ptr;
    const char* end = p ? p + text.len : p;
    const char* lt = Find(p, end, '<');
    if (lt) {
        end = lt;
    }
    // The folded text is never longer than the raw text, so it is written straight into a
    // scratch buffer of that size.
    ZString& scratch = GetOwner().Scratch();
    if (!scratch.SetLength(int32_t(end - p))) {
        return Fail(TXMLError::Memory, p);
    }
    char* out = scratch.Data();
    char* o = out;
    bool keep = KeepLineBreaks();
    bool pending = false;
    while (p < end) {
        const char* run = p;
        while (p < end && !IsSpace(*p)) {
            ++p;
        }
        if (p > run) {
            if (pending) {
                *o++ = ' ';
                pending = false;
            }
            std::memcpy(o, run, size_t(p - run));
            o += p - run;
        }
        while (p < end && IsSpace(*p)) {
            if (keep && *p == '\r' && p + 1 < end && p[1] == '\n') {
                if (pending) {
                    *o++ = ' ';
                    pending = false;
                }
                *o++ = '\r';
                *o++ = '\n';
                p += 2;
                continue;
            }
            pending = true;
            ++p;
        }
    }
    if (pending) {
        *o++ = ' ';
    }
    SetValue(ZStr(out, int32_t(o - out)));
    return Rest(end, end);
}

ZStr TXMLComment::Parse(ZStr text)
{
    const char* p = text.ptr;
    const char* end = p ? p + text.len : p;
    if (end - p < 3 || p[0] != '!' || p[1] != '-' || p[2] != '-') {
        return Fail(TXMLError::Comment, p);
    }
    p += 3;
    const char* close = FindCommentEnd(p, end);
    if (!close) {
        return Fail(TXMLError::Comment, p);
    }
    SetValue(ZStr(p, int32_t(close - p)));
    return Rest(close + 3, end);
}

ZStr TXMLNode::ParseUpToBracket(ZStr text, TXMLError code, BracketText keep)
{
    const char* p = text.ptr;
    const char* end = p ? p + text.len : p;
    const char* gt = Find(p, end, '>');
    if (!gt) {
        return Fail(code, p);
    }
    if (keep == BracketText::Value) {
        SetValue(ZStr(p, int32_t(gt - p)));
    }
    return Rest(gt + 1, end);
}

ZStr TXMLUnknown::Parse(ZStr text)
{
    return ParseUpToBracket(text, TXMLError::Unknown, BracketText::Value);
}

ZStr TXMLDeclaration::Parse(ZStr text)
{
    return ParseUpToBracket(text, TXMLError::Declaration, BracketText::Skipped);
}
