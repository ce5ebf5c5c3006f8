// SPDX-License-Identifier: GPL-2.0-or-later
#include "xml/TXMLNode.h"

#include "xml/TXML.h"
#include "xml/TXMLBinder.h"
#include "xml/TXMLFactory.h"
#include "xml/TXMLPrintPolicy.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

constexpr ZStr kEmpty("", 0);

// C atoi without its undefined behaviour on overflow: the value saturates instead.
int ToInt(const char* text)
{
    long v = std::strtol(text, nullptr, 10);
    if (v > INT_MAX) {
        return INT_MAX;
    }
    if (v < INT_MIN) {
        return INT_MIN;
    }
    return int(v);
}

template <typename Node>
std::unique_ptr<TXMLNode> CloneWith(const Node& node, TXML* owner,
                                    std::unique_ptr<Node> (TXMLFactory::*create)(TXML&, TXMLStore))
{
    TXML& target = owner ? *owner : node.GetOwner();
    std::unique_ptr<Node> copy = (node.GetOwner().GetFactory().*create)(target, TXMLStore::Copied);
    if (copy) {
        node.CopyTo(*copy);
    }
    return copy;
}

// The raw text of attribute name (variables substituted), converted; def when it is absent.
template <class T, class Convert>
bool GetConvertedAttribute(const TXMLNode& node, ZStr name, T& out, T def, TXMLBinder* binder,
                           Convert convert)
{
    ZString text;
    if (!node.GetAttribute(name, text, ZStr(), TXMLDecode::Raw, binder)) {
        out = def;
        return false;
    }
    out = convert(text.Text());
    return true;
}

} // namespace

TXMLNode::TXMLNode(TXML& owner, TXMLType type, TXMLStore store)
    : m_owner(&owner)
    , m_type(type)
    , m_copy(store == TXMLStore::Copied ? 1 : 0)
    , m_value(kEmpty)
{
}

TXMLNode::~TXMLNode()
{
    ClearAttributes();
    Release(m_value);
}

ZStr TXMLNode::Keep(ZStr text) const
{
    if (text.len <= 0 || text.ptr == nullptr) {
        return kEmpty;
    }
    if (!m_copy) {
        return m_owner->Intern(text);
    }
    char* p = new char[size_t(text.len) + 1];
    std::memcpy(p, text.ptr, size_t(text.len));
    p[text.len] = 0;
    return ZStr(p, text.len);
}

void TXMLNode::Release(ZStr text) const
{
    // Interned texts belong to the pool; the shared empty text to nobody.
    if (m_copy && text.len > 0) {
        delete[] text.ptr;
    }
}

std::unique_ptr<TXMLNode> TXMLNode::Clone(TXML*) const
{
    return nullptr;
}

void TXMLNode::SetValue(ZStr value)
{
    // Keep before releasing: value may view the current value.
    ZStr kept = Keep(value);
    Release(m_value);
    m_value = kept;
}

void TXMLNode::AppendAttribute(ZStr name, ZStr value)
{
    m_attributes.Append(TXMLAttribute{Keep(name), Keep(value)});
}

void TXMLNode::ClearAttributes()
{
    for (const TXMLAttribute& a : m_attributes) {
        Release(a.name);
        Release(a.value);
    }
    m_attributes.RemoveAll();
}

void TXMLNode::SetAttributes(const TXMLAttributes& list)
{
    // Build the new records first: list may be this node's own attributes.
    TXMLAttributes fresh(0, list.Count() > 10 ? list.Count() : 10, 10, 1.0);
    for (const TXMLAttribute& a : list) {
        fresh.Append(TXMLAttribute{Keep(a.name), Keep(a.value)});
    }
    ClearAttributes();
    m_attributes = std::move(fresh);
}

void TXMLNode::CopyTo(TXMLNode& target) const
{
    if (&target == this) {
        return;
    }
    target.SetValue(m_value);
    target.SetAttributes(m_attributes);
}

void TXMLNode::Dump(ZString& out) const
{
    out.AppendFormat("type=%d value=\"", int(GetType()));
    TXML::AppendEscaped(out, GetValue());
    out.AppendFormat("\" attributes=%d", int(m_attributes.Count()));
}

bool TXMLNode::FindAttribute(ZStr name, ZStr& value, ZStr def) const
{
    for (const TXMLAttribute& a : m_attributes) {
        if (a.name.Equals(name)) {
            value = a.value;
            return true;
        }
    }
    value = def;
    return false;
}

bool TXMLNode::GetAttribute(ZStr name, ZString& out, ZStr def, TXMLDecode decode,
                            TXMLBinder* binder) const
{
    ZStr value;
    bool found = FindAttribute(name, value, def);
    ZString substituted;
    bool fromBinder = false;
    if (binder && value.len > 2 && value.ptr[0] == '%' && value.ptr[value.len - 1] == '%') {
        fromBinder = binder->GetVariableText(ZStr(value.ptr + 1, value.len - 2), substituted);
    }
    ZStr text = fromBinder ? substituted.Str() : value;
    if (decode == TXMLDecode::Decode) {
        TXML::Decode(text, out);
    } else {
        out.Assign(text);
    }
    return found;
}

bool TXMLNode::GetBoolAttribute(ZStr name, bool& out, bool def, TXMLBinder* binder) const
{
    return GetConvertedAttribute(*this, name, out, def, binder,
                                 [](const char* text) { return ToInt(text) != 0; });
}

bool TXMLNode::GetIntAttribute(ZStr name, int& out, int def, TXMLBinder* binder) const
{
    return GetConvertedAttribute(*this, name, out, def, binder,
                                 [](const char* text) { return ToInt(text); });
}

bool TXMLNode::GetDoubleAttribute(ZStr name, double& out, double def, TXMLBinder* binder) const
{
    return GetConvertedAttribute(*this, name, out, def, binder,
                                 [](const char* text) { return std::strtod(text, nullptr); });
}

bool TXMLNode::IsElement(ZStr name) const
{
    return GetType() == TXMLType::Element && GetValue().Equals(name);
}

void TXMLNode::GetChildElements(TXMLNodeList& list, ZStr name) const
{
    list.RemoveAll();
    for (TXMLNode* c = FirstChildNode(); c; c = c->NextSiblingNode()) {
        if (c->GetType() == TXMLType::Element && (name.len <= 0 || c->GetValue().Equals(name))) {
            list.Append(c);
        }
    }
}

void TXMLNode::GetTextChildren(TXMLNodeList& list) const
{
    list.RemoveAll();
    for (TXMLNode* c = FirstChildNode(); c; c = c->NextSiblingNode()) {
        if (c->GetType() == TXMLType::Text) {
            list.Append(c);
        }
    }
}

TXMLNode* TXMLNode::FindChildElement(ZStr name) const
{
    for (TXMLNode* c = FirstChildNode(); c; c = c->NextSiblingNode()) {
        if (c->GetType() == TXMLType::Element && (name.len <= 0 || c->GetValue().Equals(name))) {
            return c;
        }
    }
    return nullptr;
}

void TXMLNode::WriteAttribute(const TXMLAttribute& attribute, ZString& out) const
{
    out.Append(attribute.name);
    out.Append('=');
    TXML::AppendQuoted(out, attribute.value);
}

void TXMLNode::WriteAttributes(const TXMLAttributes& attributes, ZString& out) const
{
    for (const TXMLAttribute& a : attributes) {
        out.Append(' ');
        WriteAttribute(a, out);
    }
}

void TXMLNode::Print(ZString& out, int32_t depth, TXMLPrintPolicy& policy) const
{
    TXMLPrintAction action = policy.Decide(*this, out, depth);
    if (action == TXMLPrintAction::Skip) {
        return;
    }
    TXMLType type = GetType();
    if (action != TXMLPrintAction::ChildrenOnly) {
        out.Append(m_owner->Indent(depth));
        if (type == TXMLType::Comment) {
            out.Append("<!--", 4);
            out.Append(GetValue());
        } else if (type == TXMLType::Declaration) {
            out.Append("<?xml ", 6);
        } else {
            out.Append('<');
            out.Append(GetValue());
        }
        policy.WriteAttributes(*this, m_attributes, out);
        if (!HasChildren() || action == TXMLPrintAction::WithoutChildren) {
            if (type == TXMLType::Comment) {
                out.Append(" -->", 4);
            } else if (type == TXMLType::Declaration) {
                out.Append(" ?>", 3);
            } else {
                out.Append(" />", 3);
            }
            return;
        }
        out.Append('>');
    }
    for (const TXMLNode* c = FirstChildNode(); c; c = c->NextSiblingNode()) {
        if (c->GetType() != TXMLType::Text) {
            out.Append("\r\n", 2);
        }
        c->Print(out, depth + 1, policy);
    }
    out.Append("\r\n", 2);
    out.Append(m_owner->Indent(depth));
    out.Append("</", 2);
    out.Append(GetValue());
    out.Append('>');
}

TXMLDocument::TXMLDocument(TXML& owner, TXMLStore store)
    : TXMLNode(owner, TXMLType::Document, store)
{
}

std::unique_ptr<TXMLNode> TXMLDocument::Clone(TXML* owner) const
{
    return CloneWith(*this, owner, &TXMLFactory::CreateDocument);
}

void TXMLDocument::Print(ZString& out, int32_t depth, TXMLPrintPolicy& policy) const
{
    for (const TXMLNode* c = FirstChildNode(); c; c = c->NextSiblingNode()) {
        c->Print(out, depth, policy);
        out.Append("\r\n", 2);
    }
}

TXMLElement::TXMLElement(TXML& owner, TXMLStore store)
    : TXMLNode(owner, TXMLType::Element, store)
{
}

std::unique_ptr<TXMLNode> TXMLElement::Clone(TXML* owner) const
{
    return CloneWith(*this, owner, &TXMLFactory::CreateElement);
}

TXMLComment::TXMLComment(TXML& owner, TXMLStore store)
    : TXMLNode(owner, TXMLType::Comment, store)
{
}

std::unique_ptr<TXMLNode> TXMLComment::Clone(TXML* owner) const
{
    return CloneWith(*this, owner, &TXMLFactory::CreateComment);
}

TXMLUnknown::TXMLUnknown(TXML& owner, TXMLStore store)
    : TXMLNode(owner, TXMLType::Unknown, store)
{
}

std::unique_ptr<TXMLNode> TXMLUnknown::Clone(TXML* owner) const
{
    return CloneWith(*this, owner, &TXMLFactory::CreateUnknown);
}

void TXMLUnknown::Print(ZString& out, int32_t depth, TXMLPrintPolicy& policy) const
{
    // The value is everything between "<" and ">", so writing it back between the two
    // reproduces the node. Closing it like an empty element (" />") would change a
    // document type line. Nodes given children by a program print like elements.
    if (HasChildren()) {
        TXMLNode::Print(out, depth, policy);
        return;
    }
    if (policy.Decide(*this, out, depth) == TXMLPrintAction::Skip) {
        return;
    }
    out.Append(GetOwner().Indent(depth));
    out.Append('<');
    // The reader skips blanks after "<" and ends the content of an element at "</"; a value
    // starting with "/" keeps a blank in front so that it reads back as this node.
    ZStr value = GetValue();
    if (value.len > 0 && value.ptr[0] == '/') {
        out.Append(' ');
    }
    out.Append(value);
    policy.WriteAttributes(*this, GetAttributes(), out);
    out.Append('>');
}

TXMLText::TXMLText(TXML& owner, TXMLStore store)
    : TXMLNode(owner, TXMLType::Text, store)
    , m_keepLineBreaks(owner.KeepLineBreaks() ? 1 : 0)
{
}

std::unique_ptr<TXMLNode> TXMLText::Clone(TXML* owner) const
{
    return CloneWith(*this, owner, &TXMLFactory::CreateText);
}

void TXMLText::CopyTo(TXMLNode& target) const
{
    TXMLNode::CopyTo(target);
    if (target.GetType() == TXMLType::Text) {
        static_cast<TXMLText&>(target).m_keepLineBreaks = m_keepLineBreaks;
    }
}

void TXMLText::Print(ZString& out, int32_t depth, TXMLPrintPolicy& policy) const
{
    if (policy.Decide(*this, out, depth) == TXMLPrintAction::Skip) {
        return;
    }
    TXML::AppendEscaped(out, GetValue());
}

TXMLDeclaration::TXMLDeclaration(TXML& owner, TXMLStore store)
    : TXMLNode(owner, TXMLType::Declaration, store)
{
}

std::unique_ptr<TXMLNode> TXMLDeclaration::Clone(TXML* owner) const
{
    return CloneWith(*this, owner, &TXMLFactory::CreateDeclaration);
}
