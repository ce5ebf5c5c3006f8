// SPDX-License-Identifier: GPL-2.0-or-later
#include "xml/TXML.h"

#include <cstdio>
#include <cstring>

namespace {

const char* const kErrorTexts[] = {
    "No error",
    "Memory allocation failed.",
    "Error parsing Element.",
    "Failed to read Element name.",
    "Error reading Element value.",
    "Error reading Attributes.",
    "Error rading String Attribute..",
    "Error empty tag.",
    "Error reading end tag.",
    "Error parsing Unknown.",
    "Error parsing Comment.",
    "Error parsing Declaration.",
    "Error Document empty.",
    "Error '<' tag not found.",
    "Error could not Open File for reading.",
    "Error Elements nested too deep.",
};

constexpr char kHexDigits[] = "0123456789ABCDEF";

bool NeedsEscape(unsigned char c)
{
    return c == '"' || c == '&' || c == '<' || c < 0x20 || c == 0x7F;
}

// Reads the character reference at p (at an ampersand). Returns its length and the byte,
// or 0 when p starts no valid reference.
int32_t ReadReference(const char* p, const char* end, unsigned char& byte)
{
    if (end - p < 4 || p[1] != '#') {
        return 0;
    }
    if (p[2] == 'x') {
        if (end - p < 6) {
            return 0;
        }
        int hi = ZStr::HexDigit(p[3]);
        int lo = ZStr::HexDigit(p[4]);
        if (hi < 0 || lo < 0 || p[5] != ';') {
            return 0;
        }
        byte = static_cast<unsigned char>(hi * 16 + lo);
        return 6;
    }
    const char* q = p + 2;
    int value = 0;
    while (q < end && *q >= '0' && *q <= '9') {
        value = value * 10 + (*q - '0');
        if (value > 255) {
            return 0;
        }
        ++q;
    }
    if (q == p + 2 || q == end || *q != ';') {
        return 0;
    }
    byte = static_cast<unsigned char>(value);
    return int32_t(q + 1 - p);
}

} // namespace

TXML::TXML()
{
    m_root = static_cast<TXMLDocument*>(
        m_tree.SetRoot(m_builtinFactory.CreateDocument(*this, TXMLStore::Interned)));
    m_errorText.Assign(kErrorTexts[0]);
}

TXML::~TXML()
{
    // The nodes go first: their destructors may still look at the owner.
    m_tree.Clear();
}

bool TXML::Parse(const char* text, int32_t length, LineBreaks breaks)
{
    ClearError();
    m_keepLineBreaks = breaks == LineBreaks::Keep ? 1 : 0;
    m_tree.Clear();
    m_root = nullptr;
    std::unique_ptr<TXMLDocument> doc = m_factory->CreateDocument(*this, TXMLStore::Interned);
    if (!doc) {
        // Keep the promise that there is always a root.
        m_root = static_cast<TXMLDocument*>(
            m_tree.SetRoot(m_builtinFactory.CreateDocument(*this, TXMLStore::Interned)));
        SetError(TXMLError::Memory);
        return false;
    }
    m_root = static_cast<TXMLDocument*>(m_tree.SetRoot(std::move(doc)));
    if (text == nullptr || length < 0) {
        text = "";
        length = 0;
    }
    m_textBegin = text;
    m_textEnd = text ? text + length : nullptr;
    m_root->Parse(ZStr(text, length));
    m_textBegin = nullptr;
    m_textEnd = nullptr;
    return !IsError();
}

bool TXML::ParseFile(const char* path, LineBreaks breaks)
{
    ZString content;
    // Grow by the length read so far, so a large file is not copied at every chunk.
    content.SetGrowthStep(-10);
    std::FILE* f = path ? std::fopen(path, "rb") : nullptr;
    bool ok = f != nullptr;
    if (ok) {
        char buf[65536];
        size_t n = 0;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
            if (int64_t(content.Length()) + int64_t(n) > INT32_MAX - 64 ||
                !content.Append(buf, int32_t(n))) {
                ok = false;
                break;
            }
        }
        ok = ok && !std::ferror(f);
        std::fclose(f);
    }
    if (!ok) {
        ClearError();
        m_tree.Clear();
        m_root = static_cast<TXMLDocument*>(
            m_tree.SetRoot(m_factory->CreateDocument(*this, TXMLStore::Interned)));
        if (!m_root) {
            m_root = static_cast<TXMLDocument*>(
                m_tree.SetRoot(m_builtinFactory.CreateDocument(*this, TXMLStore::Interned)));
        }
        SetError(TXMLError::FileOpen);
        return false;
    }
    return Parse(content.Str(), breaks);
}

TXMLNode* TXML::AppendChild(TXMLNode* parent, std::unique_ptr<TXMLNode> child)
{
    return static_cast<TXMLNode*>(m_tree.Append(parent, std::move(child)));
}

void TXML::Print(ZString& out, TXMLPrintPolicy& policy) const
{
    // A fixed growth step would copy a large document over and over while it is written;
    // grow by half the length instead, and give the caller's setting back afterwards.
    int32_t step = out.GrowthStep();
    out.SetGrowthStep(-5);
    m_root->Print(out, 0, policy);
    out.SetGrowthStep(step);
}

void TXML::SetError(TXMLError code, const char* at)
{
    if (m_error) {
        return;
    }
    m_error = 1;
    m_errorCode = code;
    m_errorText.Assign(ErrorText(code));
    m_errorOffset = -1;
    if (at && m_textBegin && at >= m_textBegin && at <= m_textEnd) {
        m_errorOffset = int32_t(at - m_textBegin);
    }
}

void TXML::ClearError()
{
    m_error = 0;
    m_errorCode = TXMLError::None;
    m_errorText.Assign(kErrorTexts[0]);
    m_errorOffset = -1;
}

const char* TXML::ErrorText(TXMLError code)
{
    int32_t i = int32_t(code);
    if (i < 0 || i >= int32_t(sizeof kErrorTexts / sizeof kErrorTexts[0])) {
        return "Unknown error.";
    }
    return kErrorTexts[i];
}

ZStr TXML::Indent(int32_t depth)
{
    if (depth <= 0) {
        return ZStr("", 0);
    }
    int64_t need = int64_t(depth) * 3;
    if (need > INT32_MAX / 2) {
        need = INT32_MAX / 2;
    }
    while (m_indent.Length() < need) {
        m_indent.Append("   ", 3);
    }
    return ZStr(m_indent.Text(), int32_t(need));
}

void TXML::AppendEscaped(ZString& out, ZStr text)
{
    const char* p = text.ptr;
    const char* end = p ? p + text.len : p;
    while (p < end) {
        // Copy the run of bytes that need no escaping in one go.
        const char* run = p;
        while (p < end && !NeedsEscape(static_cast<unsigned char>(*p))) {
            ++p;
        }
        out.Append(run, int32_t(p - run));
        if (p < end) {
            unsigned char c = static_cast<unsigned char>(*p++);
            char ref[6] = {'&', '#', 'x', kHexDigits[c >> 4], kHexDigits[c & 15], ';'};
            out.Append(ref, 6);
        }
    }
}

void TXML::AppendQuoted(ZString& out, ZStr text)
{
    out.Append('"');
    if (text.len > 0 && text.ptr[text.len - 1] == '\\') {
        AppendEscaped(out, ZStr(text.ptr, text.len - 1));
        out.Append("&#x5C;", 6);
    } else {
        AppendEscaped(out, text);
    }
    out.Append('"');
}

bool TXML::Decode(ZStr text, ZString& out)
{
    out.Clear();
    const char* p = text.ptr;
    const char* end = p ? p + text.len : p;
    while (p < end) {
        const char* amp = static_cast<const char*>(std::memchr(p, '&', size_t(end - p)));
        if (!amp) {
            out.Append(p, int32_t(end - p));
            return true;
        }
        out.Append(p, int32_t(amp - p));
        unsigned char byte = 0;
        int32_t n = ReadReference(amp, end, byte);
        if (n == 0) {
            // Keep the rest as written rather than lose it.
            out.Append(amp, int32_t(end - amp));
            return false;
        }
        out.Append(static_cast<char>(byte));
        p = amp + n;
    }
    return true;
}
