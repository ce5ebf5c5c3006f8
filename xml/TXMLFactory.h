// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "xml/TXMLNode.h"

#include <memory>

/// Makes the nodes of a parsed tree. A caller that wants derived node classes derives from
/// it and hands its factory to `TXML::SetFactory`. Each operation returns the new node, or
/// null when memory is exhausted (the parser then fails with code 1).
class TXMLFactory
{
public:
    virtual ~TXMLFactory() = default;
    virtual std::unique_ptr<TXMLElement> CreateElement(TXML& owner, TXMLStore store);
    virtual std::unique_ptr<TXMLText> CreateText(TXML& owner, TXMLStore store);
    virtual std::unique_ptr<TXMLComment> CreateComment(TXML& owner, TXMLStore store);
    virtual std::unique_ptr<TXMLUnknown> CreateUnknown(TXML& owner, TXMLStore store);
    virtual std::unique_ptr<TXMLDeclaration> CreateDeclaration(TXML& owner, TXMLStore store);
    virtual std::unique_ptr<TXMLDocument> CreateDocument(TXML& owner, TXMLStore store);
};
