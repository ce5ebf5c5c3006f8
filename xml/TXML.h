// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/ZStr.h"
#include "base/ZString.h"
#include "xml/TXMLFactory.h"
#include "xml/TXMLNode.h"
#include "xml/TXMLPrintPolicy.h"
#include "xml/UniqueStrings.h"
#include "xml/XTree.h"

#include <cstdint>
#include <memory>

/// Error codes of the parser; `TXML::ErrorText` gives their texts.
enum class TXMLError : int32_t {
    None = 0,
    Memory = 1,          ///< the factory made no node
    ElementParse = 2,    ///< nothing after "<"
    ElementName = 3,     ///< no valid first name character
    ElementValue = 4,    ///< element content runs to the end of the text
    Attributes = 5,      ///< attribute list failed or made no progress
    StringAttribute = 6, ///< not raised by parsing
    EmptyTag = 7,        ///< "/" not followed by ">"
    EndTag = 8,          ///< content not followed by the exact end tag
    Unknown = 9,         ///< "<..." without ">"
    Comment = 10,        ///< comment without "-->"
    Declaration = 11,    ///< declaration without ">"
    DocumentEmpty = 12,  ///< text empty or only white space
    TagNotFound = 13,    ///< top-level text not starting with "<"
    FileOpen = 14,       ///< the file could not be read
    NestingTooDeep = 15, ///< elements nested deeper than TXML::kMaxDepth
};

/// The XML parser and writer of the library's forgiving dialect: attribute values may be
/// unquoted or in braces, entity references are kept as written (decoded on request by the
/// attribute getters), and there is no DTD or CDATA. `Parse` builds a tree of `TXMLNode`s
/// that this object owns; values and attribute texts are interned in its string pool, so
/// the parsed text need not outlive the call and views of node texts stay valid as long as
/// this object lives.
class TXML
{
public:
    /// Element nesting accepted by `Parse`: deeper documents fail with code 15 instead of
    /// exhausting the stack. Far beyond any real markup or chart file.
    static constexpr int32_t kMaxDepth = 1000;

    /// How text nodes treat CR LF pairs: folded into the surrounding white space, or kept.
    enum class LineBreaks : uint8_t {
        Fold,
        Keep,
    };

    /// An empty document (a root without children) and a clear error state.
    TXML();
    TXML(const TXML&) = delete;
    TXML& operator=(const TXML&) = delete;
    ~TXML();

    /// Parses length bytes of text into a new tree, replacing the old one. Clears the error
    /// state first. Returns false on failure, leaving the error code and text set and the
    /// nodes read up to the failure in the tree.
    bool Parse(const char* text, int32_t length, LineBreaks breaks = LineBreaks::Fold);
    bool Parse(ZStr text, LineBreaks breaks = LineBreaks::Fold)
    {
        return Parse(text.ptr, text.len, breaks);
    }
    /// Reads the whole file and parses it; a file that cannot be read fails with code 14.
    bool ParseFile(const char* path, LineBreaks breaks = LineBreaks::Fold);

    /// The document node; never null.
    TXMLDocument* GetRoot() const { return m_root; }
    /// The tree that owns the nodes.
    XTree& GetTree() { return m_tree; }
    /// Appends child (with its subtree) as the last child of parent, a node of this tree.
    /// Returns it, or null (deleting it) when parent is null.
    TXMLNode* AppendChild(TXMLNode* parent, std::unique_ptr<TXMLNode> child);
    /// Appends the text form of the whole document.
    void Print(ZString& out, TXMLPrintPolicy& policy = TXMLPrintPolicy::Standard()) const;

    bool KeepLineBreaks() const { return m_keepLineBreaks != 0; }

    bool IsError() const { return m_error != 0; }
    TXMLError GetErrorCode() const { return m_errorCode; }
    const ZString& GetErrorText() const { return m_errorText; }
    /// Byte offset in the parsed text where the error was found, or -1 when unknown.
    int32_t GetErrorOffset() const { return m_errorOffset; }
    /// Records code and its text unless an error is already recorded (the first failure is
    /// the one reported). at, when inside the text being parsed, gives the error offset.
    void SetError(TXMLError code, const char* at = nullptr);
    void ClearError();
    /// The message of code: "No error", "Memory allocation failed.", ...; an unknown code
    /// gives "Unknown error.".
    static const char* ErrorText(TXMLError code);

    /// 3 x depth blanks (none for depth <= 0), valid until the next call.
    ZStr Indent(int32_t depth);
    /// The pool's copy of text, valid as long as this object.
    ZStr Intern(ZStr text) { return m_strings.Intern(text); }
    UniqueStrings& GetStrings() { return m_strings; }

    /// The factory that makes the nodes; the built-in one unless replaced.
    TXMLFactory& GetFactory() const { return *m_factory; }
    /// Replaces the factory (not owned; it must outlive its use). Null restores the built-in.
    void SetFactory(TXMLFactory* factory) { m_factory = factory ? factory : &m_builtinFactory; }

    /// Appends text with each double quote, ampersand, less-than sign and control character
    /// (0x00-0x1F, 0x7F) written as "&#x" + two upper-case hex digits + ";".
    static void AppendEscaped(ZString& out, ZStr text);
    /// Appends text escaped and in double quotes, as an attribute value. A backslash that
    /// would stand right before the closing quote is escaped too, since the reader takes a
    /// backslash before a quote as part of the value.
    static void AppendQuoted(ZString& out, ZStr text);
    /// Replaces out with text whose character references ("&#x" two hex digits ";" and "&#"
    /// decimal digits ";", values up to 255) are turned into bytes. Returns false when an
    /// ampersand starts no valid reference; out then holds the text decoded up to that
    /// ampersand followed by the rest unchanged.
    static bool Decode(ZStr text, ZString& out);

    /// Scratch space for the text nodes being parsed (reused to avoid an allocation per node).
    ZString& Scratch() { return m_scratch; }

private:
    XTree m_tree;
    uint8_t m_keepLineBreaks = 0;
    UniqueStrings m_strings;
    TXMLFactory m_builtinFactory;
    TXMLFactory* m_factory = &m_builtinFactory;
    ZString m_indent;
    uint8_t m_error = 0;
    TXMLError m_errorCode = TXMLError::None;
    ZString m_errorText;
    int32_t m_errorOffset = -1;
    TXMLDocument* m_root = nullptr;
    ZString m_scratch;
    // The text being parsed, so that an error position can be given as an offset.
    const char* m_textBegin = nullptr;
    const char* m_textEnd = nullptr;
};
