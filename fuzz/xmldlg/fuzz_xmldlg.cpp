// SPDX-License-Identifier: GPL-2.0-or-later
// libFuzzer target for markup dialogs.
//
// Every input is loaded as dialog markup with a few registered variables and laid out
// twice, once into a fixed client area and once sized to its content, then painted into an
// image. Nothing may crash or hang, every laid-out rectangle must be finite, and the control
// identifiers must follow their records.

#include "fuzz/FuzzCheck.h"
#include "platform/Image.h"
#include "xmldlg/TXMLDlg.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

using fuzzcheck::Check;

bool Finite(const NXRect& r)
{
    return std::isfinite(r.x) && std::isfinite(r.y) && std::isfinite(r.width) &&
           std::isfinite(r.height);
}

void CheckTree(const TXMLDlg& dlg, const TXMLNode* node)
{
    for (; node; node = node->NextSiblingNode()) {
        NXRect r;
        if (dlg.GetItemRect(node, r)) {
            Check(Finite(r), "a rectangle is not finite");
        }
        CheckTree(dlg, node->FirstChildNode());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 20000) {
        return 0;
    }
    const ZStr markup(reinterpret_cast<const char*>(data), int32_t(size));
    for (const bool fit : {false, true}) {
        TXMLDlg dlg;
        dlg.SetMarkup(markup, fit);
        ZString text("value");
        int32_t number = 1;
        dlg.RegisterRef("show", XValueRef(&number));
        dlg.RegisterRef("text", XValueRef(&text));
        dlg.RegisterRef("e.text", XValueRef(&text));
        dlg.LayoutIn(NXRect{0, 0, 320, 240});
        CheckTree(dlg, dlg.GetXML().GetRoot());
        for (int32_t i = 0; i < dlg.GetCtrlCount(); ++i) {
            Check(dlg.GetCtrl(i)->id == TXMLDlg::kFirstCtrlId + i, "identifiers out of order");
            Check(Finite(dlg.GetCtrl(i)->rect), "a control rectangle is not finite");
        }
        dlg.TransferValues(XDataDir::Read, true);
        if (!fit) {
            plat::Image img(320, 240);
            dlg.PaintTo(img.Context(), plat::Size{320, 240});
        }
    }
    return 0;
}
