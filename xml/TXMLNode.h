// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/XArray.h"
#include "base/ZStr.h"
#include "base/ZString.h"
#include "xml/XTree.h"

#include <cstdint>
#include <memory>

class TXML;
class TXMLBinder;
class TXMLNode;
class TXMLPrintPolicy;
enum class TXMLError : int32_t;

/// Type codes of the node classes.
enum class TXMLType : int32_t {
    Document = 0,
    Element = 1,
    Comment = 2,
    Unknown = 3,
    Text = 4,
    Declaration = 5,
};

/// Where a node keeps its value and attribute texts: interned in its owner's string pool
/// (shared, freed with the owner), or as heap copies that the node owns and frees.
enum class TXMLStore : uint8_t {
    Interned,
    Copied,
};

/// Whether `GetAttribute` turns character references ("&#x41;", "&#65;") back into bytes.
enum class TXMLDecode : uint8_t {
    Raw,
    Decode,
};

/// One attribute as read: name and value, both views of NUL-terminated text that lives in
/// the node (copy flag set) or in its owner's string pool. The value excludes the quotes.
struct TXMLAttribute
{
    ZStr name;
    ZStr value;
};

using TXMLAttributes = XArray<TXMLAttribute, true>;
using TXMLNodeList = XArray<TXMLNode*, true>;

/// A node of a parsed document, held in its owner's tree (`TXML::GetTree`), which owns and
/// deletes it. The value is the tag name of an element and the text of a comment, text or
/// unknown node; it is always NUL-terminated and never null. Attribute names are compared
/// case-sensitively and the first matching record wins.
class TXMLNode : public XTreeNode
{
public:
    ~TXMLNode() override;

    /// A new node of the same class made by this node's owner's factory, belonging to owner
    /// (or to this node's owner when null), with its own copies of value and attributes and
    /// no children or links. Null for the base class or when memory ran out.
    virtual std::unique_ptr<TXMLNode> Clone(TXML* owner = nullptr) const;
    /// The value (tag name or text); empty for a document or declaration.
    virtual ZStr GetValue() const { return m_value; }
    virtual TXMLType GetType() const { return m_type; }
    /// Appends the node's text form at the given depth (3 blanks per level) under policy.
    virtual void Print(ZString& out, int32_t depth, TXMLPrintPolicy& policy) const;
    /// Appends name, "=" and the value in double quotes, escaped.
    virtual void WriteAttribute(const TXMLAttribute& attribute, ZString& out) const;
    /// Appends " " and `WriteAttribute` for each record.
    virtual void WriteAttributes(const TXMLAttributes& attributes, ZString& out) const;
    /// Parses this node from text and returns the rest of it, or the null span (null
    /// pointer) after recording the error in the owner. The base class cannot parse.
    virtual ZStr Parse(ZStr text);
    /// Sets target's value to this value and replaces its attributes with copies of these.
    virtual void CopyTo(TXMLNode& target) const;
    void Dump(ZString& out) const override;

    TXML& GetOwner() const { return *m_owner; }
    /// True when value and attributes are heap copies owned by this node.
    bool IsCopy() const { return m_copy != 0; }
    const TXMLAttributes& GetAttributes() const { return m_attributes; }

    /// The value of the first attribute called name; def when there is none.
    bool FindAttribute(ZStr name, ZStr& value, ZStr def = ZStr()) const;
    /// Fills out with the value of attribute name (or def when it is absent). When binder is
    /// given and the text is longer than 2 characters, starting and ending with "%", the
    /// variable between the percent signs is asked from the binder; if it knows it, its text
    /// replaces the value. With TXMLDecode::Decode the result has its character references
    /// decoded (a malformed reference and everything after it stay as they are). Returns
    /// whether the attribute was present.
    bool GetAttribute(ZStr name, ZString& out, ZStr def = ZStr(),
                      TXMLDecode decode = TXMLDecode::Raw, TXMLBinder* binder = nullptr) const;
    /// out = (C atoi of the text != 0), so "1" is true and "true" is false; out = def when
    /// the attribute is absent. Returns whether it was present.
    bool GetBoolAttribute(ZStr name, bool& out, bool def, TXMLBinder* binder = nullptr) const;
    /// out = C atoi of the text (out-of-range numbers saturate); def when absent.
    bool GetIntAttribute(ZStr name, int& out, int def, TXMLBinder* binder = nullptr) const;
    /// out = C atof of the text; def when absent.
    bool GetDoubleAttribute(ZStr name, double& out, double def, TXMLBinder* binder = nullptr) const;

    /// True for an element whose tag name is name.
    bool IsElement(ZStr name) const;
    /// Empties list and appends the direct child elements called name, in order (all child
    /// elements when name is empty).
    void GetChildElements(TXMLNodeList& list, ZStr name = ZStr()) const;
    /// Empties list and appends the direct text children, in order.
    void GetTextChildren(TXMLNodeList& list) const;
    /// The first direct child element called name (any element when name is empty), or null.
    TXMLNode* FindChildElement(ZStr name = ZStr()) const;

    /// Replaces the value (copied or interned according to the copy flag).
    void SetValue(ZStr value);
    /// Replaces the attributes with copies (or interned strings) of list's records.
    void SetAttributes(const TXMLAttributes& list);
    /// Appends one attribute record (copied or interned); earlier records of the same name
    /// still win on lookup.
    void AppendAttribute(ZStr name, ZStr value);
    /// Removes every attribute, freeing owned copies.
    void ClearAttributes();

    /// Tree links as document nodes (every node of a document tree is a `TXMLNode`).
    TXMLNode* ParentNode() const { return static_cast<TXMLNode*>(Parent()); }
    TXMLNode* FirstChildNode() const { return static_cast<TXMLNode*>(FirstChild()); }
    TXMLNode* LastChildNode() const { return static_cast<TXMLNode*>(LastChild()); }
    TXMLNode* NextSiblingNode() const { return static_cast<TXMLNode*>(NextSibling()); }
    TXMLNode* PrevSiblingNode() const { return static_cast<TXMLNode*>(PrevSibling()); }

protected:
    /// Made by the node classes: owner is never null and outlives the node.
    TXMLNode(TXML& owner, TXMLType type, TXMLStore store);

    /// Identifies the node that starts at the "<" of text, has the factory make it, appends
    /// it as the last child of this node and parses it. Declarations are recognised only
    /// when allowed. Returns the rest after the node, or the null span on failure.
    ZStr ParseChild(ZStr text, bool declarations);
    /// Records code (with the position at) as the owner's error and returns the null span.
    ZStr Fail(TXMLError code, const char* at) const;
    /// Whether the text of a node that runs up to ">" becomes its value.
    enum class BracketText { Value, Skipped };
    /// Parses a node that runs from the start of text up to the next ">", keeping that text
    /// as the value or not. Returns the rest after the ">", or fails with code without one.
    ZStr ParseUpToBracket(ZStr text, TXMLError code, BracketText keep);

private:
    ZStr Keep(ZStr text) const;
    void Release(ZStr text) const;

    TXML* m_owner;
    TXMLType m_type;
    uint8_t m_copy;
    ZStr m_value;
    TXMLAttributes m_attributes{0, 10, 10, 1.0};
};

/// The root of every parsed tree; its children are the top-level nodes.
class TXMLDocument : public TXMLNode
{
public:
    TXMLDocument(TXML& owner, TXMLStore store);
    std::unique_ptr<TXMLNode> Clone(TXML* owner = nullptr) const override;
    /// Prints each child at depth, each followed by "\r\n".
    void Print(ZString& out, int32_t depth, TXMLPrintPolicy& policy) const override;
    /// Parses a whole document: top-level nodes separated by white space, nothing else.
    ZStr Parse(ZStr text) override;
};

/// An element; the value is its tag name.
class TXMLElement : public TXMLNode
{
public:
    TXMLElement(TXML& owner, TXMLStore store);
    std::unique_ptr<TXMLNode> Clone(TXML* owner = nullptr) const override;
    /// Parses from just after "<": name, attributes, then "/>" or ">", content and the
    /// exact end tag.
    ZStr Parse(ZStr text) override;

private:
    const char* ParseAttributes(const char* p, const char* end);
    const char* ParseContent(const char* p, const char* end);
};

/// A comment; the value is the text between "<!--" and "-->".
class TXMLComment : public TXMLNode
{
public:
    TXMLComment(TXML& owner, TXMLStore store);
    std::unique_ptr<TXMLNode> Clone(TXML* owner = nullptr) const override;
    /// Parses from the "!--" after "<" up to and including the first "-->".
    ZStr Parse(ZStr text) override;
};

/// Anything else between "<" and the next ">" (a document type line, for example); the
/// value is that text.
class TXMLUnknown : public TXMLNode
{
public:
    TXMLUnknown(TXML& owner, TXMLStore store);
    std::unique_ptr<TXMLNode> Clone(TXML* owner = nullptr) const override;
    /// Writes "<", the value and ">", so that the node reads back as it was.
    void Print(ZString& out, int32_t depth, TXMLPrintPolicy& policy) const override;
    ZStr Parse(ZStr text) override;
};

/// Character data with white space folded: each run of white space becomes one blank. When
/// keep-line-breaks is set (taken from the owner when the node is made), CR LF pairs stay.
class TXMLText : public TXMLNode
{
public:
    TXMLText(TXML& owner, TXMLStore store);
    std::unique_ptr<TXMLNode> Clone(TXML* owner = nullptr) const override;
    /// Appends the value escaped, without indentation.
    void Print(ZString& out, int32_t depth, TXMLPrintPolicy& policy) const override;
    /// Reads the characters up to the next "<" (not consumed).
    ZStr Parse(ZStr text) override;
    void CopyTo(TXMLNode& target) const override;

    bool KeepLineBreaks() const { return m_keepLineBreaks != 0; }
    void SetKeepLineBreaks(bool keep) { m_keepLineBreaks = keep ? 1 : 0; }

private:
    uint8_t m_keepLineBreaks;
};

/// An XML declaration ("<?xml ... ?>"); its content is not kept.
class TXMLDeclaration : public TXMLNode
{
public:
    TXMLDeclaration(TXML& owner, TXMLStore store);
    std::unique_ptr<TXMLNode> Clone(TXML* owner = nullptr) const override;
    /// Skips to the first ">" and past it.
    ZStr Parse(ZStr text) override;
};
