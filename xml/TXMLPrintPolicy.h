// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "xml/TXMLNode.h"

#include <cstdint>

/// What `Print` does with one node.
enum class TXMLPrintAction : int32_t {
    Skip = 0,            ///< write nothing of the node
    Write = 1,           ///< write the node and its children
    WithoutChildren = 2, ///< write the node as if it had no children
    ChildrenOnly = 3,    ///< write its children and end tag but not its start tag
};

/// Decides, node by node, what `Print` writes. The standard policy writes everything, with
/// attributes through the node's own `WriteAttributes`; derived policies filter or rewrite.
class TXMLPrintPolicy
{
public:
    virtual ~TXMLPrintPolicy() = default;
    /// Called before node is written at depth; may append text of its own to out.
    virtual TXMLPrintAction Decide(const TXMLNode& node, ZString& out, int32_t depth);
    /// Writes the attributes of node's start tag.
    virtual void WriteAttributes(const TXMLNode& node, const TXMLAttributes& attributes,
                                 ZString& out);

    /// The shared standard policy.
    static TXMLPrintPolicy& Standard();
};
