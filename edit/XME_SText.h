// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "edit/XME_Text.h"
#include "edit/ZStringML.h"

/// The text view bound to a `ZStringML`: lines are read through a cache of the view's own,
/// and edits go to the buffer (and so into its undo manager, when it has one).
class XME_SText : public XME_Text
{
public:
    /// Views buffer (not owned; it must outlive the view).
    explicit XME_SText(ZStringML& buffer);

    ZStringML& Buffer() const { return m_buffer; }

    int32_t LineCount() const override;
    ZStr LineText(int32_t line) const override;
    int32_t LongestLine() const override;
    bool InsertLines(XME_Pos at, const ZStringML_Blk& lines, XME_Pos& end) override;
    bool RemoveRange(XME_Pos from, XME_Pos to) override;
    bool GetRangeText(XME_Pos from, XME_Pos to, ZString& out, ZStr sep) const override;
    bool GetText(ZString& out, ZStr sep) const override;
    bool ReplaceAll(ZStr text, ZStr sep) override;

private:
    ZStringML& m_buffer;
    mutable ZStringML_PosCache m_cache;
};
