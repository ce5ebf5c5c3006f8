// SPDX-License-Identifier: GPL-2.0-or-later
// The resource library as its users see it: loaded by module name, its templates and
// pointers looked up by name.
#include "res/QuillRES.h"

#include "platform/Application.h"
#include "platform/Module.h"
#include "res/XFindDlgBase.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {

const plat::Module* LoadQuillRES()
{
    // Linking the library is not enough for a lookup by name; loading it by name is.
    QuillRES_DummyLoad();
    std::string error;
    const plat::Module* m = plat::Module::Load(kQuillRESModule, &error);
    EXPECT_NE(m, nullptr) << error;
    return m;
}

struct PixelInfo
{
    bool opaque;
    bool black;
    bool white;
};

PixelInfo At(const plat::CursorImage& c, int x, int y)
{
    const uint8_t* p = &c.rgba[size_t((y * c.width + x) * 4)];
    return {p[3] == 255, p[3] == 255 && p[0] == 0 && p[1] == 0 && p[2] == 0,
            p[3] == 255 && p[0] == 255 && p[1] == 255 && p[2] == 255};
}

} // namespace

TEST(QuillRESTest, ModuleIsFoundByNameBesideTheProgram)
{
    const plat::Module* m = LoadQuillRES();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->GetPath(), plat::GetExecutableDir() + "/libQuillRES.so");
    EXPECT_EQ(plat::Module::Load("QuillRES"), m);
    EXPECT_NE(m->GetSymbol(kQuillRESNewFindDlgSymbol), nullptr);
    EXPECT_NE(m->GetSymbol(kQuillRESDummyLoadSymbol), nullptr);
}

TEST(QuillRESTest, FindTemplateHasTheFindBarControls)
{
    const plat::Module* m = LoadQuillRES();
    ASSERT_NE(m, nullptr);
    const plat::DialogTemplate* t = m->FindDialog("IDD_QUILLRES_FIND");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->caption, "Find");
    EXPECT_EQ(t->fontFace, "MS Sans Serif");
    EXPECT_EQ(t->fontPointSize, 8);
    EXPECT_EQ(t->size, (plat::Size{196, 23}));
    EXPECT_EQ(t->style, 0u);

    struct Expected
    {
        plat::ControlKind kind;
        int id;
        const char* text;
        plat::Rect rect;
    };
    using K = plat::ControlKind;
    using R = plat::Rect;
    const Expected expected[] = {
        {K::Static, -1, "Find", R::FromXYWH(3, 3, 14, 8)},
        {K::DropDownEdit, 1001, "", R::FromXYWH(18, 2, 127, 67)},
        {K::DefButton, 1003, "Next", R::FromXYWH(147, 2, 20, 11)},
        {K::Button, 1004, "Prev.", R::FromXYWH(169, 2, 20, 11)},
        {K::CheckBox, 1002, "Ignore Case", R::FromXYWH(18, 14, 46, 8)},
        {K::CheckBox, 1005, "Keep Open", R::FromXYWH(103, 13, 43, 10)},
    };
    ASSERT_EQ(t->controls.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        const plat::ControlTemplate& c = t->controls[i];
        EXPECT_EQ(c.kind, expected[i].kind) << i;
        EXPECT_EQ(c.id, expected[i].id) << i;
        EXPECT_EQ(c.text, expected[i].text) << i;
        EXPECT_EQ(c.rect, expected[i].rect) << i;
    }
}

TEST(QuillRESTest, MarkupDialogTemplatesAreEmptyAndSized)
{
    const plat::Module* m = LoadQuillRES();
    ASSERT_NE(m, nullptr);
    const plat::DialogTemplate* top = m->FindDialog("IDD_QUILLRES_TXMLDLGTEMPLATE");
    const plat::DialogTemplate* child = m->FindDialog("IDD_QUILLRES_TXMLDLGTEMPLATECHILD");
    ASSERT_NE(top, nullptr);
    ASSERT_NE(child, nullptr);
    for (const plat::DialogTemplate* t : {top, child}) {
        EXPECT_TRUE(t->controls.empty());
        EXPECT_EQ(t->size, (plat::Size{188, 99}));
        EXPECT_EQ(t->fontFace, "MS Sans Serif");
        EXPECT_EQ(t->fontPointSize, 8);
        EXPECT_TRUE(t->style & plat::DialogStyle::kSizable);
    }
    EXPECT_EQ(top->caption, "Dialog");
    EXPECT_FALSE(top->style & (plat::DialogStyle::kChild | plat::DialogStyle::kHidden));
    EXPECT_TRUE(child->caption.empty());
    EXPECT_TRUE(child->style & plat::DialogStyle::kChild);
    EXPECT_EQ(m->FindDialog("IDD_QUILLRES_NONE"), nullptr);
}

TEST(QuillRESTest, PointersPointWithTheirHotSpots)
{
    const plat::Module* m = LoadQuillRES();
    ASSERT_NE(m, nullptr);
    const plat::CursorImage* point = m->FindCursor("IDD_QUILL_HPOINT");
    const plat::CursorImage* move = m->FindCursor("IDD_QUILL_HMOVE");
    const plat::CursorImage* plus = m->FindCursor("IDD_QUILL_HMOVEPLUS");
    ASSERT_TRUE(point && move && plus);
    EXPECT_EQ(point->hotSpot, (plat::Point{12, 0}));
    EXPECT_EQ(move->hotSpot, (plat::Point{5, 7}));
    EXPECT_EQ(plus->hotSpot, (plat::Point{5, 7}));
    for (const plat::CursorImage* c : {point, move, plus}) {
        EXPECT_EQ(c->width, 32);
        EXPECT_EQ(c->height, 32);
        ASSERT_EQ(c->rgba.size(), 32u * 32u * 4u);
        // The pixel under the hot spot is drawn (black outline), so the pointer points
        // with a visible tip; the corner opposite is see-through.
        EXPECT_TRUE(At(*c, c->hotSpot.x, c->hotSpot.y).black);
        EXPECT_FALSE(At(*c, 0, 31).opaque && At(*c, 31, 0).opaque);
        // Outlined white shapes: both colours occur, nothing else is opaque.
        int black = 0, white = 0, other = 0;
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                const PixelInfo p = At(*c, x, y);
                black += p.black;
                white += p.white;
                other += p.opaque && !p.black && !p.white;
            }
        }
        EXPECT_GT(black, 40);
        EXPECT_GT(white, 40);
        EXPECT_EQ(other, 0);
    }
    // The tips: nothing of the arrow lies left of or above its tip, and the fingertip is
    // the only part of the hand in the top row.
    for (int x = 0; x < 5; ++x)
        EXPECT_FALSE(At(*move, x, 7).opaque);
    for (int y = 0; y < 7; ++y)
        EXPECT_FALSE(At(*move, 5, y).opaque);
    for (int x = 0; x < 32; ++x)
        EXPECT_EQ(At(*point, x, 0).opaque, x >= 11 && x <= 13) << x;
    // The plus sign is the only difference between the two move pointers.
    EXPECT_NE(move->rgba, plus->rgba);
    EXPECT_TRUE(At(*plus, 25, 7).white);
    EXPECT_FALSE(At(*move, 25, 7).opaque);
}

TEST(QuillRESTest, FindDialogStateWithoutAWindow)
{
    std::unique_ptr<XFindDlgBaseAPI> made(QuillRES_NewFindDlg(nullptr));
    auto* dlg = dynamic_cast<XFindDlgBase*>(made.get());
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(&dlg->GetDialog(), static_cast<plat::Dialog*>(dlg));
    EXPECT_EQ(dlg->CB(), &XFindDlgBase::m_CBDef);
    EXPECT_TRUE(dlg->IsFresh());
    EXPECT_FALSE(dlg->IsEdited());
    EXPECT_FALSE(dlg->GetIgnoreCase());
    EXPECT_FALSE(dlg->GetKeepOpen());
    EXPECT_EQ(dlg->GetSelectedFind(), -1);

    EXPECT_EQ(dlg->AddFind("alpha"), 0);
    EXPECT_EQ(dlg->AddFind(nullptr), 1);
    EXPECT_EQ(dlg->AddFind("gamma"), 2);
    EXPECT_EQ(dlg->GetFind(1), "");
    EXPECT_EQ(dlg->GetFind(2), "gamma");
    EXPECT_EQ(dlg->GetFind(3), "");
    EXPECT_EQ(dlg->GetFind(-1), "");
    dlg->SelectFind(2);
    EXPECT_EQ(dlg->GetSelectedFind(), 2);

    // Without a window these change only the object.
    dlg->InitDlg();
    std::string text = "x";
    dlg->GetEdit(text);
    EXPECT_EQ(text, "");
    dlg->SetIgnoreCase(true);
    dlg->SetKeepOpen(true);
    dlg->RemoveAll();
    EXPECT_EQ(dlg->GetFindCount(), 0);
    EXPECT_EQ(dlg->GetSelectedFind(), -1);
    EXPECT_TRUE(dlg->GetIgnoreCase());
    dlg->AddFind("again");
    dlg->Reset();
    EXPECT_EQ(dlg->GetFindCount(), 0);
    EXPECT_FALSE(dlg->GetIgnoreCase());
    EXPECT_TRUE(dlg->GetKeepOpen());

    XFindDlgBaseCB cb;
    dlg->SetCB(&cb);
    EXPECT_EQ(dlg->CB(), &cb);
    dlg->SetCB(nullptr);
    EXPECT_EQ(dlg->CB(), &XFindDlgBase::m_CBDef);
    // A child needs a parent window to live in.
    EXPECT_FALSE(dlg->CreateDlgChild(nullptr, true, 0));
}
