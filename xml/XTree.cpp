// SPDX-License-Identifier: GPL-2.0-or-later
#include "xml/XTree.h"

#include "base/ZString.h"

#include <cassert>

int32_t XTreeNode::ChildCount() const
{
    int32_t n = 0;
    for (const XTreeNode* c = m_firstChild; c; c = c->m_next) {
        ++n;
    }
    return n;
}

void XTreeNode::ResetLinks()
{
    m_parent = nullptr;
    m_firstChild = nullptr;
    m_lastChild = nullptr;
    m_prev = nullptr;
    m_next = nullptr;
    m_depth = 0;
}

void XTreeNode::Dump(ZString& out) const
{
    out.AppendFormat("node depth=%d children=%d", int(m_depth), int(ChildCount()));
}

XTree::~XTree()
{
    Clear();
}

XTreeNode* XTree::SetRoot(std::unique_ptr<XTreeNode> root)
{
    Clear();
    m_root = root.release();
    if (m_root) {
        m_root->m_parent = nullptr;
        m_root->m_prev = nullptr;
        m_root->m_next = nullptr;
        SetDepths(m_root, 0);
    }
    return m_root;
}

void XTree::Link(XTreeNode* parent, XTreeNode* prev, XTreeNode* next, XTreeNode* node)
{
    node->m_parent = parent;
    node->m_prev = prev;
    node->m_next = next;
    if (prev) {
        prev->m_next = node;
    } else {
        parent->m_firstChild = node;
    }
    if (next) {
        next->m_prev = node;
    } else {
        parent->m_lastChild = node;
    }
    SetDepths(node, parent->m_depth + 1);
}

XTreeNode* XTree::Append(XTreeNode* parent, std::unique_ptr<XTreeNode> node)
{
    if (!parent || !node) {
        return nullptr;
    }
    XTreeNode* n = node.release();
    Link(parent, parent->m_lastChild, nullptr, n);
    return n;
}

XTreeNode* XTree::InsertFirst(XTreeNode* parent, std::unique_ptr<XTreeNode> node)
{
    if (!parent || !node) {
        return nullptr;
    }
    XTreeNode* n = node.release();
    Link(parent, nullptr, parent->m_firstChild, n);
    return n;
}

XTreeNode* XTree::InsertBefore(XTreeNode* sibling, std::unique_ptr<XTreeNode> node)
{
    if (!sibling || !sibling->m_parent || !node) {
        return nullptr;
    }
    XTreeNode* n = node.release();
    Link(sibling->m_parent, sibling->m_prev, sibling, n);
    return n;
}

XTreeNode* XTree::InsertAfter(XTreeNode* sibling, std::unique_ptr<XTreeNode> node)
{
    if (!sibling || !sibling->m_parent || !node) {
        return nullptr;
    }
    XTreeNode* n = node.release();
    Link(sibling->m_parent, sibling, sibling->m_next, n);
    return n;
}

void XTree::Unlink(XTreeNode* node)
{
    XTreeNode* parent = node->m_parent;
    if (parent) {
        if (node->m_prev) {
            node->m_prev->m_next = node->m_next;
        } else {
            parent->m_firstChild = node->m_next;
        }
        if (node->m_next) {
            node->m_next->m_prev = node->m_prev;
        } else {
            parent->m_lastChild = node->m_prev;
        }
    }
    node->m_parent = nullptr;
    node->m_prev = nullptr;
    node->m_next = nullptr;
}

std::unique_ptr<XTreeNode> XTree::Detach(XTreeNode* node)
{
    if (!node) {
        return nullptr;
    }
    if (node == m_root) {
        m_root = nullptr;
    } else {
        Unlink(node);
    }
    SetDepths(node, 0);
    return std::unique_ptr<XTreeNode>(node);
}

void XTree::Delete(XTreeNode* node)
{
    if (!node) {
        return;
    }
    if (node == m_root) {
        m_root = nullptr;
    } else {
        Unlink(node);
    }
    DeleteSubtree(node);
}

void XTree::Clear()
{
    XTreeNode* root = m_root;
    m_root = nullptr;
    if (root) {
        DeleteSubtree(root);
    }
}

void XTree::SetDepths(XTreeNode* node, int32_t depth)
{
    node->m_depth = depth;
    for (XTreeNode* n = Next(node, node); n; n = Next(n, node)) {
        n->m_depth = n->m_parent->m_depth + 1;
    }
}

void XTree::DeleteSubtree(XTreeNode* node)
{
    // Always delete a leaf: descend to the deepest first child, delete it, and go on with
    // its next sibling or, when it was the last one, its parent (now a leaf itself). No
    // recursion, so a tree of any depth is freed without exhausting the stack.
    XTreeNode* cur = node;
    while (cur) {
        while (cur->m_firstChild) {
            cur = cur->m_firstChild;
        }
        if (cur == node) {
            delete cur;
            return;
        }
        XTreeNode* parent = cur->m_parent;
        XTreeNode* next = cur->m_next;
        parent->m_firstChild = next;
        if (next) {
            next->m_prev = nullptr;
        } else {
            parent->m_lastChild = nullptr;
        }
        delete cur;
        cur = next ? next : parent;
    }
}

XTreeNode* XTree::Next(const XTreeNode* node, const XTreeNode* top)
{
    if (!node) {
        return nullptr;
    }
    if (node->m_firstChild) {
        return node->m_firstChild;
    }
    while (node && node != top) {
        if (node->m_next) {
            return node->m_next;
        }
        node = node->m_parent;
    }
    return nullptr;
}

XTreeNode*
XTree::CopySubtree(const XTreeNode& source, XTreeNode* parent,
                   const std::function<std::unique_ptr<XTreeNode>(const XTreeNode&)>& copyNode)
{
    if (!parent) {
        return nullptr;
    }
    // Copying a subtree into itself would never end: the copies would be copied again.
    for (const XTreeNode* a = parent; a; a = a->m_parent) {
        if (a == &source) {
            return nullptr;
        }
    }
    XTreeNode* top = Append(parent, copyNode(source));
    if (!top) {
        return nullptr;
    }
    // Walk the source in document order. parentCopy is the copy of src's parent; the walk
    // only descends into nodes that were copied, so every ancestor of src has a copy and
    // climbing one level in the source is climbing one level in the copies.
    const XTreeNode* src = &source;
    XTreeNode* copy = top;
    XTreeNode* parentCopy = parent;
    while (true) {
        if (copy && src->m_firstChild) {
            parentCopy = copy;
            src = src->m_firstChild;
        } else {
            while (src != &source && !src->m_next) {
                src = src->m_parent;
                parentCopy = parentCopy->m_parent;
            }
            if (src == &source) {
                break;
            }
            src = src->m_next;
        }
        copy = Append(parentCopy, copyNode(*src));
    }
    return top;
}

void XTree::Dump(ZString& out) const
{
    for (XTreeNode* n = m_root; n; n = Next(n, m_root)) {
        out.FillUp(out.Length() + 2 * n->m_depth, ' ');
        n->Dump(out);
        out.Append('\n');
    }
}
