// SPDX-License-Identifier: GPL-2.0-or-later
#include "xml/TXML.h"

#include <gtest/gtest.h>
#include <string>

namespace {

std::string Printed(TXML& xml, TXMLPrintPolicy& policy = TXMLPrintPolicy::Standard())
{
    ZString out;
    xml.Print(out, policy);
    return std::string(out.Text(), size_t(out.Length()));
}

std::string Reprint(const char* markup, TXML::LineBreaks breaks = TXML::LineBreaks::Fold)
{
    TXML xml;
    EXPECT_TRUE(xml.Parse(ZStr(markup), breaks)) << markup << ": " << xml.GetErrorText().Text();
    return Printed(xml);
}

// ---- Layout -----------------------------------------------------------------------------

TEST(TXMLPrintTest, ElementsIndentThreeBlanksPerLevelWithCrLf)
{
    EXPECT_EQ(Reprint("<r k=v><c/></r>"), "<r k=\"v\">\r\n   <c />\r\n</r>\r\n");
    EXPECT_EQ(Reprint("<a><b><c x='1' y=\"2\"/></b><d/></a>"),
              "<a>\r\n   <b>\r\n      <c x=\"1\" y=\"2\" />\r\n   </b>\r\n   <d />\r\n</a>\r\n");
    EXPECT_EQ(Reprint("<a/><b/>"), "<a />\r\n<b />\r\n");
}

TEST(TXMLPrintTest, TextIsWrittenInPlaceWithoutIndentation)
{
    EXPECT_EQ(Reprint("<a>x</a>"), "<a>x\r\n</a>\r\n");
    EXPECT_EQ(Reprint("<a>one<b/>two</a>"), "<a>one\r\n   <b />two\r\n</a>\r\n");
}

TEST(TXMLPrintTest, CommentsDeclarationsAndUnknownNodes)
{
    EXPECT_EQ(Reprint("<?XML version='1.0'?><!--note--><r/>"),
              "<?xml  ?>\r\n<!--note -->\r\n<r />\r\n");
    // An unknown node is written back between "<" and ">" as it was read.
    EXPECT_EQ(Reprint("<!DOCTYPE chart SYSTEM 'x'><r><![CDATA[a]]></r>"),
              "<!DOCTYPE chart SYSTEM 'x'>\r\n<r>\r\n   <![CDATA[a]]>\r\n</r>\r\n");
}

TEST(TXMLPrintTest, IndentGrowsOnDemand)
{
    TXML xml;
    EXPECT_EQ(xml.Indent(0).len, 0);
    EXPECT_EQ(xml.Indent(-3).len, 0);
    ZStr i = xml.Indent(40);
    EXPECT_EQ(std::string(i.ptr, size_t(i.len)), std::string(120, ' '));
    EXPECT_EQ(xml.Indent(2).len, 6);
}

// ---- Escaping ---------------------------------------------------------------------------

TEST(TXMLPrintTest, EscapingWritesHexReferencesForUnsafeBytes)
{
    struct Case
    {
        std::string in;
        const char* out;
    };
    const Case cases[] = {
        {"plain text", "plain text"},
        {"a<b", "a&#x3C;b"},
        {"\"&\"", "&#x22;&#x26;&#x22;"},
        {"> and '", "> and '"},
        {"tab\there\r\n", "tab&#x09;here&#x0D;&#x0A;"},
        {std::string("nul\0", 4), "nul&#x00;"},
        {"\x7F\x1F", "&#x7F;&#x1F;"},
        {"\x80\xC3\xA9\xFF", "\x80\xC3\xA9\xFF"},
    };
    for (const Case& c : cases) {
        ZString out("prefix:");
        TXML::AppendEscaped(out, ZStr(c.in.data(), int32_t(c.in.size())));
        EXPECT_EQ(std::string(out.Text()), std::string("prefix:") + c.out);
        // Decoding gives back the original bytes.
        ZString back;
        EXPECT_TRUE(TXML::Decode(ZStr(out.Text() + 7, out.Length() - 7), back));
        EXPECT_EQ(std::string(back.Text(), size_t(back.Length())), c.in);
    }
}

TEST(TXMLPrintTest, AttributeValuesAreQuotedAndEscaped)
{
    TXML xml;
    ASSERT_TRUE(xml.Parse(ZStr("<e v='a<b' q='say \"x\"' s='it''s'/>")));
    EXPECT_EQ(Printed(xml), "<e v=\"a&#x3C;b\" q=\"say &#x22;x&#x22;\" s=\"it''s\" />\r\n");
}

TEST(TXMLPrintTest, ATrailingBackslashIsEscapedSoTheValueReadsBack)
{
    ZString out;
    TXML::AppendQuoted(out, ZStr("C:\\dir\\"));
    EXPECT_STREQ(out.Text(), "\"C:\\dir&#x5C;\"");

    TXML xml;
    ASSERT_TRUE(xml.Parse(ZStr("<e path=C:\\dir\\ next=1/>")));
    std::string printed = Printed(xml);
    TXML again;
    ASSERT_TRUE(again.Parse(ZStr(printed.c_str()))) << printed;
    TXMLNode* e = again.GetRoot()->FirstChildNode();
    ZString path;
    e->GetAttribute("path", path, ZStr(), TXMLDecode::Decode);
    EXPECT_STREQ(path.Text(), "C:\\dir\\");
    EXPECT_EQ(e->GetAttributes().Count(), 2);
}

// ---- Policies ---------------------------------------------------------------------------

class SelectivePolicy : public TXMLPrintPolicy
{
public:
    TXMLPrintAction Decide(const TXMLNode& node, ZString& out, int32_t depth) override
    {
        (void)out;
        (void)depth;
        if (node.IsElement("skip") || node.GetType() == TXMLType::Comment) {
            return TXMLPrintAction::Skip;
        }
        if (node.IsElement("flat")) {
            return TXMLPrintAction::WithoutChildren;
        }
        if (node.IsElement("body")) {
            return TXMLPrintAction::ChildrenOnly;
        }
        return TXMLPrintAction::Write;
    }
    void WriteAttributes(const TXMLNode& node, const TXMLAttributes& attributes,
                         ZString& out) override
    {
        // Leave out attributes whose name starts with "_".
        for (const TXMLAttribute& a : attributes) {
            if (a.name.len > 0 && a.name.ptr[0] != '_') {
                out.Append(' ');
                node.WriteAttribute(a, out);
            }
        }
    }
};

TEST(TXMLPrintTest, PolicyChoosesWhatIsWritten)
{
    TXML xml;
    ASSERT_TRUE(xml.Parse(ZStr("<r _id=1 k=2><skip><x/></skip><flat a=1><x/></flat><!--c-->"
                               "<body b=1><y/></body></r>")));
    SelectivePolicy policy;
    EXPECT_EQ(Printed(xml, policy), "<r k=\"2\">\r\n\r\n   <flat a=\"1\" />\r\n\r\n\r\n"
                                    "      <y />\r\n   </body>\r\n</r>\r\n");
}

// ---- Round trips ------------------------------------------------------------------------

TEST(TXMLPrintTest, PrintedTreesParseBackToTheSameStructure)
{
    const char* markup =
        "<DLG margin='35x35' title=%TITLE%><SPSEP n=1/><TEXT text=\"a &amp; b\"/>"
        "<HALIGN align=right><INPUT name='OK' type='BUTTON' text=OK cmd='@EndDlgOK'/>"
        "<INPUT name='Cancel' v={x \"q\" {y}} cmd='@EndDlgCancel'/></HALIGN>"
        "<!-- end -->tail text</DLG>";
    TXML first;
    ASSERT_TRUE(first.Parse(ZStr(markup)));
    std::string printed = Printed(first);
    TXML second;
    ASSERT_TRUE(second.Parse(ZStr(printed.c_str()))) << printed;
    XTreeNode* a = first.GetRoot();
    XTreeNode* b = second.GetRoot();
    while (a && b) {
        TXMLNode* na = static_cast<TXMLNode*>(a);
        TXMLNode* nb = static_cast<TXMLNode*>(b);
        ASSERT_EQ(na->GetType(), nb->GetType());
        if (na->GetType() == TXMLType::Element) {
            EXPECT_TRUE(na->GetValue().Equals(nb->GetValue()));
            ASSERT_EQ(na->GetAttributes().Count(), nb->GetAttributes().Count());
            for (int32_t i = 0; i < na->GetAttributes().Count(); ++i) {
                ZString decoded;
                TXML::Decode(nb->GetAttributes()[i].value, decoded);
                EXPECT_TRUE(decoded.Str().Equals(na->GetAttributes()[i].value));
            }
        }
        a = XTree::Next(a, first.GetRoot());
        b = XTree::Next(b, second.GetRoot());
    }
    EXPECT_EQ(a, nullptr);
    EXPECT_EQ(b, nullptr);
}

} // namespace
