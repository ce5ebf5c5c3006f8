// SPDX-License-Identifier: GPL-2.0-or-later
// libFuzzer target for the XML parser and writer.
//
// Every input is parsed twice, folding and keeping line breaks. A failed parse must leave a
// known error code and text; a successful one is printed, and the printed text must parse
// again to a tree of the same shape: the same node types, element names, attribute names,
// and attribute values that decode back to the values first read.

#include "base/ZString.h"
#include "fuzz/FuzzCheck.h"
#include "xml/TXML.h"
#include "xml/TXMLBinder.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using fuzzcheck::Check;

// Knows every variable whose name starts with a letter; its text is the name itself.
class EchoBinder : public TXMLBinder
{
public:
    bool GetVariableText(ZStr name, ZString& text) override
    {
        if (name.len == 0 || !((name.ptr[0] >= 'a' && name.ptr[0] <= 'z') ||
                               (name.ptr[0] >= 'A' && name.ptr[0] <= 'Z'))) {
            return false;
        }
        text.Assign(name);
        return true;
    }
};

// Reads every attribute the ways the dialog engine and the chart reader do.
void ReadAttributes(const TXMLNode& node, TXMLBinder& binder)
{
    ZString text;
    for (const TXMLAttribute& a : node.GetAttributes()) {
        Check(a.name.ptr && a.name.ptr[a.name.len] == 0, "attribute name not terminated");
        Check(a.value.ptr && a.value.ptr[a.value.len] == 0, "attribute value not terminated");
        node.GetAttribute(a.name, text, ZStr(), TXMLDecode::Decode, &binder);
        bool b = false;
        int i = 0;
        double d = 0;
        node.GetBoolAttribute(a.name, b, false);
        node.GetIntAttribute(a.name, i, 0, &binder);
        node.GetDoubleAttribute(a.name, d, 0.0);
    }
}

void CompareTrees(const TXML& first, const TXML& second)
{
    const XTreeNode* a = first.GetRoot();
    const XTreeNode* b = second.GetRoot();
    ZString decoded;
    while (a && b) {
        const TXMLNode* na = static_cast<const TXMLNode*>(a);
        const TXMLNode* nb = static_cast<const TXMLNode*>(b);
        Check(na->GetType() == nb->GetType(), "node type changed by printing");
        Check(na->Depth() == nb->Depth(), "depth changed by printing");
        if (na->GetType() == TXMLType::Element) {
            Check(na->GetValue().Equals(nb->GetValue()), "element name changed by printing");
            const TXMLAttributes& aa = na->GetAttributes();
            const TXMLAttributes& ab = nb->GetAttributes();
            Check(aa.Count() == ab.Count(), "attribute count changed by printing");
            for (int32_t i = 0; i < aa.Count(); ++i) {
                Check(aa[i].name.Equals(ab[i].name), "attribute name changed by printing");
                Check(TXML::Decode(ab[i].value, decoded), "printed value does not decode");
                Check(decoded.Str().Equals(aa[i].value), "attribute value changed by printing");
            }
        }
        if (na->GetType() == TXMLType::Unknown) {
            Check(na->GetValue().Equals(nb->GetValue()), "unknown node changed by printing");
        }
        a = XTree::Next(a, first.GetRoot());
        b = XTree::Next(b, second.GetRoot());
    }
    Check(a == nullptr && b == nullptr, "node count changed by printing");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (1u << 20)) {
        return 0;
    }
    const char* text = reinterpret_cast<const char*>(data);
    EchoBinder binder;
    for (TXML::LineBreaks breaks : {TXML::LineBreaks::Fold, TXML::LineBreaks::Keep}) {
        TXML xml;
        bool ok = xml.Parse(text, int32_t(size), breaks);
        Check(ok == !xml.IsError(), "result and error flag disagree");
        int32_t code = int32_t(xml.GetErrorCode());
        Check(ok ? code == 0 : (code >= 1 && code <= 15 && code != 6 && code != 14),
              "unexpected error code");
        Check(std::strcmp(xml.GetErrorText().Text(), TXML::ErrorText(xml.GetErrorCode())) == 0,
              "error text does not match the code");
        Check(ok || (xml.GetErrorOffset() >= 0 && size_t(xml.GetErrorOffset()) <= size),
              "error offset outside the text");

        for (const XTreeNode* n = xml.GetRoot(); n; n = XTree::Next(n, xml.GetRoot())) {
            const TXMLNode* node = static_cast<const TXMLNode*>(n);
            Check(node->Depth() <= TXML::kMaxDepth + 1, "tree deeper than the limit");
            ZStr v = node->GetValue();
            Check(v.ptr && v.ptr[v.len] == 0, "value not terminated");
            ReadAttributes(*node, binder);
        }

        ZString printed;
        xml.Print(printed);
        if (!ok) {
            continue;
        }
        TXML again;
        Check(again.Parse(printed.Str(), breaks), "printed document does not parse");
        CompareTrees(xml, again);
    }
    return 0;
}
