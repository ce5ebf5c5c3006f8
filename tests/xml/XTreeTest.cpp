// SPDX-License-Identifier: GPL-2.0-or-later
#include "xml/XTree.h"

#include "base/ZString.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {

// A node that counts its destructions and carries a label.
struct LabelNode : XTreeNode
{
    LabelNode(std::string l, int* deleted)
        : label(std::move(l))
        , deletedCount(deleted)
    {
    }
    ~LabelNode() override
    {
        if (deletedCount) {
            ++*deletedCount;
        }
    }
    void Dump(ZString& out) const override { out.Append(label.c_str()); }
    std::string label;
    int* deletedCount;
};

std::unique_ptr<XTreeNode> Make(const char* label, int* deleted = nullptr)
{
    return std::make_unique<LabelNode>(label, deleted);
}

std::string Dump(const XTree& tree)
{
    ZString out;
    tree.Dump(out);
    return out.Text();
}

TEST(XTreeTest, InsertionKeepsOrderLinksAndDepths)
{
    XTree tree;
    XTreeNode* root = tree.SetRoot(Make("r"));
    XTreeNode* b = tree.Append(root, Make("b"));
    tree.InsertFirst(root, Make("a"));
    XTreeNode* d = tree.Append(root, Make("d"));
    tree.InsertBefore(d, Make("c"));
    tree.InsertAfter(d, Make("e"));
    XTreeNode* b1 = tree.Append(b, Make("b1"));
    EXPECT_EQ(Dump(tree), "r\n  a\n  b\n    b1\n  c\n  d\n  e\n");
    EXPECT_EQ(root->ChildCount(), 5);
    EXPECT_EQ(b1->Depth(), 2);
    EXPECT_EQ(b1->Parent(), b);
    EXPECT_EQ(static_cast<LabelNode*>(root->LastChild())->label, "e");
    EXPECT_EQ(root->FirstChild()->PrevSibling(), nullptr);
    EXPECT_EQ(root->LastChild()->NextSibling(), nullptr);
    EXPECT_EQ(d->PrevSibling()->NextSibling(), d);

    // Without a parent nothing is inserted and the node is freed.
    int deleted = 0;
    EXPECT_EQ(tree.Append(nullptr, Make("x", &deleted)), nullptr);
    EXPECT_EQ(tree.InsertBefore(root, Make("y", &deleted)), nullptr);
    EXPECT_EQ(deleted, 2);
}

TEST(XTreeTest, DetachAndDeleteKeepSiblingsLinkedAndFreeSubtrees)
{
    int deleted = 0;
    XTree tree;
    XTreeNode* root = tree.SetRoot(Make("r", &deleted));
    XTreeNode* a = tree.Append(root, Make("a", &deleted));
    XTreeNode* b = tree.Append(root, Make("b", &deleted));
    XTreeNode* c = tree.Append(root, Make("c", &deleted));
    tree.Append(b, Make("b1", &deleted));
    tree.Append(b, Make("b2", &deleted));

    std::unique_ptr<XTreeNode> taken = tree.Detach(b);
    EXPECT_EQ(Dump(tree), "r\n  a\n  c\n");
    EXPECT_EQ(a->NextSibling(), c);
    EXPECT_EQ(c->PrevSibling(), a);
    EXPECT_EQ(taken->Depth(), 0);
    EXPECT_EQ(taken->FirstChild()->Depth(), 1);

    // Re-inserting a subtree below c sets the depths of all of it.
    tree.Append(c, std::move(taken));
    EXPECT_EQ(Dump(tree), "r\n  a\n  c\n    b\n      b1\n      b2\n");
    EXPECT_EQ(c->FirstChild()->FirstChild()->Depth(), 3);

    tree.Delete(c);
    EXPECT_EQ(deleted, 4);
    EXPECT_EQ(root->LastChild(), a);
    tree.Delete(a);
    EXPECT_FALSE(root->HasChildren());
    EXPECT_EQ(root->LastChild(), nullptr);
    tree.Clear();
    EXPECT_EQ(deleted, 6);
    EXPECT_EQ(tree.GetRoot(), nullptr);
}

TEST(XTreeTest, VeryDeepTreesAreWalkedAndFreedWithoutRecursion)
{
    int deleted = 0;
    const int kDepth = 200000;
    {
        XTree tree;
        XTreeNode* n = tree.SetRoot(Make("r", &deleted));
        for (int i = 0; i < kDepth; ++i) {
            n = tree.Append(n, Make("n", &deleted));
        }
        EXPECT_EQ(n->Depth(), kDepth);
        int count = 0;
        for (XTreeNode* m = tree.GetRoot(); m; m = XTree::Next(m, tree.GetRoot())) {
            ++count;
        }
        EXPECT_EQ(count, kDepth + 1);
    }
    EXPECT_EQ(deleted, kDepth + 1);
}

TEST(XTreeTest, NextStaysInsideTheGivenSubtree)
{
    XTree tree;
    XTreeNode* root = tree.SetRoot(Make("r"));
    XTreeNode* a = tree.Append(root, Make("a"));
    XTreeNode* a1 = tree.Append(a, Make("a1"));
    XTreeNode* b = tree.Append(root, Make("b"));
    EXPECT_EQ(XTree::Next(root, root), a);
    EXPECT_EQ(XTree::Next(a, root), a1);
    EXPECT_EQ(XTree::Next(a1, root), b);
    EXPECT_EQ(XTree::Next(b, root), nullptr);
    EXPECT_EQ(XTree::Next(a1, a), nullptr);
}

TEST(XTreeTest, CopySubtreeCopiesStructureAndSkipsFailedCopies)
{
    XTree tree;
    XTreeNode* root = tree.SetRoot(Make("r"));
    XTreeNode* a = tree.Append(root, Make("a"));
    XTreeNode* a1 = tree.Append(a, Make("a1"));
    tree.Append(a1, Make("a11"));
    tree.Append(a, Make("skip"));
    tree.Append(tree.GetRoot()->LastChild()->LastChild(), Make("under-skip"));
    tree.Append(a, Make("a3"));
    XTreeNode* target = tree.Append(root, Make("t"));

    auto copy = [](const XTreeNode& n) -> std::unique_ptr<XTreeNode> {
        const std::string& label = static_cast<const LabelNode&>(n).label;
        if (label == "skip") {
            return nullptr;
        }
        return Make((label + "'").c_str());
    };
    XTreeNode* top = tree.CopySubtree(*a, target, copy);
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(Dump(tree), "r\n  a\n    a1\n      a11\n    skip\n      under-skip\n    a3\n"
                          "  t\n    a'\n      a1'\n        a11'\n      a3'\n");
    // A subtree cannot be copied into itself.
    EXPECT_EQ(tree.CopySubtree(*a, a1, copy), nullptr);
}

} // namespace
