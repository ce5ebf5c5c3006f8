// SPDX-License-Identifier: GPL-2.0-or-later
#include "xml/TXMLFactory.h"

#include <new>

// Nodes are made with the non-throwing new: running out of memory is reported as the
// parser's error code 1, not as an exception.

std::unique_ptr<TXMLElement> TXMLFactory::CreateElement(TXML& owner, TXMLStore store)
{
    return std::unique_ptr<TXMLElement>(new (std::nothrow) TXMLElement(owner, store));
}

std::unique_ptr<TXMLText> TXMLFactory::CreateText(TXML& owner, TXMLStore store)
{
    return std::unique_ptr<TXMLText>(new (std::nothrow) TXMLText(owner, store));
}

std::unique_ptr<TXMLComment> TXMLFactory::CreateComment(TXML& owner, TXMLStore store)
{
    return std::unique_ptr<TXMLComment>(new (std::nothrow) TXMLComment(owner, store));
}

std::unique_ptr<TXMLUnknown> TXMLFactory::CreateUnknown(TXML& owner, TXMLStore store)
{
    return std::unique_ptr<TXMLUnknown>(new (std::nothrow) TXMLUnknown(owner, store));
}

std::unique_ptr<TXMLDeclaration> TXMLFactory::CreateDeclaration(TXML& owner, TXMLStore store)
{
    return std::unique_ptr<TXMLDeclaration>(new (std::nothrow) TXMLDeclaration(owner, store));
}

std::unique_ptr<TXMLDocument> TXMLFactory::CreateDocument(TXML& owner, TXMLStore store)
{
    return std::unique_ptr<TXMLDocument>(new (std::nothrow) TXMLDocument(owner, store));
}
