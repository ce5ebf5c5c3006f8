// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

class ZString;

/// A node of an `XTree`: links to its parent, first and last child and its siblings, and its
/// depth (the root is 0, a child is its parent's depth + 1). The links are maintained by the
/// tree that owns the node; derived classes add the payload.
class XTreeNode
{
public:
    XTreeNode() = default;
    XTreeNode(const XTreeNode&) = delete;
    XTreeNode& operator=(const XTreeNode&) = delete;
    virtual ~XTreeNode() = default;

    XTreeNode* Parent() const { return m_parent; }
    XTreeNode* FirstChild() const { return m_firstChild; }
    XTreeNode* LastChild() const { return m_lastChild; }
    XTreeNode* PrevSibling() const { return m_prev; }
    XTreeNode* NextSibling() const { return m_next; }
    /// 0 for a root, parent depth + 1 otherwise.
    int32_t Depth() const { return m_depth; }
    bool HasChildren() const { return m_firstChild != nullptr; }
    /// Number of direct children (walks them).
    int32_t ChildCount() const;

    /// Clears every link and the depth. Only for a node that is not in a tree: the tree
    /// relies on the links of the nodes it holds.
    virtual void ResetLinks();
    /// Appends a one-line description of the node for debugging, without a line end.
    virtual void Dump(ZString& out) const;

private:
    friend class XTree;

    XTreeNode* m_parent = nullptr;
    XTreeNode* m_firstChild = nullptr;
    XTreeNode* m_prev = nullptr;
    XTreeNode* m_next = nullptr;
    // Kept beside the first child so that appending a child costs the same for the
    // hundred-thousandth child as for the first.
    XTreeNode* m_lastChild = nullptr;
    int32_t m_depth = 0;
};

/// A tree that owns its nodes: every node handed to it is deleted by it (on `Delete`,
/// `Clear`, `SetRoot` or destruction) unless taken back with `Detach`. Insertion sets the
/// depth of the inserted node and of everything below it. No operation recurses, so trees
/// of any depth are safe to build, walk and delete.
class XTree
{
public:
    XTree() = default;
    XTree(const XTree&) = delete;
    XTree& operator=(const XTree&) = delete;
    ~XTree();

    /// Deletes the current tree and makes root (which may be null) the new root at depth 0.
    XTreeNode* SetRoot(std::unique_ptr<XTreeNode> root);
    XTreeNode* GetRoot() const { return m_root; }

    /// Inserts node (with any children it has) as the last child of parent, a node of this
    /// tree. Returns the node, or null (and deletes it) when parent is null.
    XTreeNode* Append(XTreeNode* parent, std::unique_ptr<XTreeNode> node);
    /// Inserts node as the first child of parent.
    XTreeNode* InsertFirst(XTreeNode* parent, std::unique_ptr<XTreeNode> node);
    /// Inserts node as the previous sibling of sibling, which must not be the root.
    XTreeNode* InsertBefore(XTreeNode* sibling, std::unique_ptr<XTreeNode> node);
    /// Inserts node as the next sibling of sibling, which must not be the root.
    XTreeNode* InsertAfter(XTreeNode* sibling, std::unique_ptr<XTreeNode> node);

    /// Takes node and its subtree out of the tree and hands them to the caller; node becomes
    /// the root of its subtree (depth 0). Detaching the root leaves the tree empty.
    std::unique_ptr<XTreeNode> Detach(XTreeNode* node);
    /// Takes node out of the tree and deletes it with its subtree.
    void Delete(XTreeNode* node);
    /// Deletes every node; the tree has no root afterwards.
    void Clear();

    /// Copies source and its subtree (which may belong to any tree) as the last child of
    /// parent, making each copy with copyNode. Returns the copy of source, or null when
    /// parent is null or copyNode returned null for source; a node whose copy failed is left
    /// out together with its subtree.
    XTreeNode*
    CopySubtree(const XTreeNode& source, XTreeNode* parent,
                const std::function<std::unique_ptr<XTreeNode>(const XTreeNode&)>& copyNode);

    /// The node after node in document order (pre-order: children first, then siblings),
    /// staying within the subtree of top; null after the last one.
    static XTreeNode* Next(const XTreeNode* node, const XTreeNode* top);

    /// Appends one line per node in document order: two blanks per depth level, then the
    /// node's `Dump`, then "\n".
    void Dump(ZString& out) const;

private:
    static void Link(XTreeNode* parent, XTreeNode* prev, XTreeNode* next, XTreeNode* node);
    static void Unlink(XTreeNode* node);
    static void SetDepths(XTreeNode* node, int32_t depth);
    static void DeleteSubtree(XTreeNode* node);

    XTreeNode* m_root = nullptr;
};
