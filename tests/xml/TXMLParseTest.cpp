// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/TestSupport.h"
#include "xml/TXML.h"

#include <gtest/gtest.h>
#include <string>

namespace {

std::string Value(const TXMLNode* n)
{
    return n ? S(n->GetValue()) : std::string("<null>");
}

std::string Attr(const TXMLNode* n, const char* name)
{
    ZStr v;
    return n->FindAttribute(name, v) ? S(v) : std::string("<absent>");
}

TXMLNode* First(TXML& xml)
{
    return xml.GetRoot()->FirstChildNode();
}

bool ParseText(TXML& xml, const std::string& text, TXML::LineBreaks breaks = TXML::LineBreaks::Fold)
{
    return xml.Parse(text.data(), int32_t(text.size()), breaks);
}

// ---- Elements ---------------------------------------------------------------------------

TEST(TXMLParseTest, ElementsNestInDocumentOrder)
{
    TXML xml;
    ASSERT_TRUE(ParseText(xml, "<DLG><HALIGN><TEXT/><INPUT/></HALIGN><SP /></DLG>"));
    TXMLNode* dlg = First(xml);
    EXPECT_EQ(dlg->GetType(), TXMLType::Element);
    EXPECT_TRUE(dlg->IsElement("DLG"));
    EXPECT_FALSE(dlg->IsElement("dlg"));
    EXPECT_EQ(dlg->Depth(), 1);
    TXMLNode* h = dlg->FirstChildNode();
    EXPECT_EQ(Value(h), "HALIGN");
    EXPECT_EQ(Value(h->FirstChildNode()), "TEXT");
    EXPECT_EQ(Value(h->FirstChildNode()->NextSiblingNode()), "INPUT");
    EXPECT_EQ(h->FirstChildNode()->Depth(), 3);
    EXPECT_EQ(Value(h->NextSiblingNode()), "SP");
    EXPECT_EQ(xml.GetRoot()->ChildCount(), 1);
}

TEST(TXMLParseTest, NamesAllowDigitsDashColonAndEndAtOtherCharacters)
{
    TXML xml;
    ASSERT_TRUE(ParseText(xml, "< _a-1:b x=1/>"));
    EXPECT_EQ(Value(First(xml)), "_a-1:b");
    // A "." ends the name; what follows cannot start an attribute.
    EXPECT_FALSE(ParseText(xml, "<a.b/>"));
    EXPECT_EQ(xml.GetErrorCode(), TXMLError::Attributes);
}

TEST(TXMLParseTest, SeveralTopLevelNodesAreAllowed)
{
    TXML xml;
    ASSERT_TRUE(ParseText(xml, "  <sep/>\r\n<m s='a' c=DoA/>\n<m s='b' c=DoB>\n</m>  "));
    TXMLNodeList list;
    xml.GetRoot()->GetChildElements(list, "m");
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(Attr(list[1], "c"), "DoB");
    EXPECT_FALSE(list[1]->HasChildren());
}

// ---- Attributes -------------------------------------------------------------------------

TEST(TXMLParseTest, ThreeValueFormsKeepDocumentOrderWithoutQuotes)
{
    TXML xml;
    ASSERT_TRUE(ParseText(xml, "<INPUT text=Cancel n='2' cmd=\"@EndDlgOK\"/>"));
    const TXMLAttributes& a = First(xml)->GetAttributes();
    ASSERT_EQ(a.Count(), 3);
    EXPECT_EQ(S(a[0].name), "text");
    EXPECT_EQ(S(a[0].value), "Cancel");
    EXPECT_EQ(S(a[1].name), "n");
    EXPECT_EQ(S(a[1].value), "2");
    EXPECT_EQ(S(a[2].name), "cmd");
    EXPECT_EQ(S(a[2].value), "@EndDlgOK");
}

TEST(TXMLParseTest, AttributeValueForms)
{
    struct Case
    {
        const char* markup;
        const char* value;
    };
    const Case cases[] = {
        {"<e v = 'spaced' />", "spaced"},
        {"<e v=''/>", ""},
        {"<e v='it''s'/>", "it''s"},
        {"<e v=\"say \\\"hi\\\"\"/>", "say \\\"hi\\\""},
        {"<e v='a \"b\" c'/>", "a \"b\" c"},
        {"<e v='multi\r\nline'/>", "multi\r\nline"},
        {"<e v={a b}/>", "{a b}"},
        {"<e v={a {b {c}} d}/>", "{a {b {c}} d}"},
        {"<e v={x \"}\" '{'}/>", "{x \"}\" '{'}"},
        {"<e v={line\r\nbreak}/>", "{line\r\nbreak}"},
        {"<e v=abc}/>", "abc"}, // "}" ends an unquoted value
        {"<e v=a/>", "a"},
        {"<e v=a>x</e>", "a"},
        {"<e v=&#x41;/>", "&#x41;"}, // stored raw, decoded only on request
        {"<e v='&lt;'/>", "&lt;"},
    };
    for (const Case& c : cases) {
        TXML xml;
        bool ok = ParseText(xml, c.markup);
        if (std::string(c.markup) == "<e v=abc}/>") {
            // The "}" left over is no attribute start.
            EXPECT_FALSE(ok);
            EXPECT_EQ(xml.GetErrorCode(), TXMLError::Attributes);
            continue;
        }
        ASSERT_TRUE(ok) << c.markup << ": " << xml.GetErrorText().Text();
        EXPECT_EQ(Attr(First(xml), "v"), c.value) << c.markup;
    }
}

TEST(TXMLParseTest, DuplicateAttributesAreKeptAndTheFirstWins)
{
    TXML xml;
    ASSERT_TRUE(ParseText(xml, "<e k=1 k=2 K=3/>"));
    EXPECT_EQ(First(xml)->GetAttributes().Count(), 3);
    EXPECT_EQ(Attr(First(xml), "k"), "1");
    EXPECT_EQ(Attr(First(xml), "K"), "3");
}

// ---- Text -------------------------------------------------------------------------------

TEST(TXMLParseTest, AnElementWithManyAttributesKeepsThemAllInOrder)
{
    // Hostile markup: one element with a quarter of a million attributes. Their array must
    // grow geometrically for this to parse at all in reasonable time.
    const int kCount = 250000;
    std::string text = "<e";
    for (int i = 0; i < kCount; ++i) {
        text += " a" + std::to_string(i) + "='" + std::to_string(i) + "'";
    }
    text += "/>";
    TXML xml;
    ASSERT_TRUE(ParseText(xml, text));
    TXMLNode* e = First(xml);
    ASSERT_EQ(e->GetAttributes().Count(), kCount);
    EXPECT_EQ(Attr(e, "a0"), "0");
    EXPECT_EQ(S(e->GetAttributes()[kCount - 1].name), "a249999");
    EXPECT_EQ(S(e->GetAttributes()[kCount - 1].value), "249999");
    EXPECT_EQ(S(e->GetAttributes()[123456].value), "123456");

    ZString printed;
    xml.Print(printed);
    TXML again;
    ASSERT_TRUE(again.Parse(printed.Text(), printed.Length(), TXML::LineBreaks::Fold));
    EXPECT_EQ(First(again)->GetAttributes().Count(), kCount);
}

TEST(TXMLParseTest, TextWhiteSpaceFoldsToSingleBlanks)
{
    struct Case
    {
        const char* content;
        TXML::LineBreaks breaks;
        const char* text; // null: no text child
    };
    const Case cases[] = {
        {"  x   y  ", TXML::LineBreaks::Fold, " x y "},
        {"x\r\ny", TXML::LineBreaks::Fold, "x y"},
        {"x\r\ny", TXML::LineBreaks::Keep, "x\r\ny"},
        {"x \r\n  y", TXML::LineBreaks::Keep, "x \r\n y"},
        {"x\r\n\r\ny", TXML::LineBreaks::Keep, "x\r\n\r\ny"},
        {"x\ny\rz", TXML::LineBreaks::Keep, "x y z"}, // lone LF and CR are plain white space
        {"\t\v\fx", TXML::LineBreaks::Fold, " x"},
        {"a&amp;b > c", TXML::LineBreaks::Fold, "a&amp;b > c"},
        {"\xC3\xA9\xA0t", TXML::LineBreaks::Fold, "\xC3\xA9\xA0t"},
        {"   ", TXML::LineBreaks::Fold, nullptr},
        {"\r\n", TXML::LineBreaks::Keep, nullptr},
        {"", TXML::LineBreaks::Fold, nullptr},
    };
    for (const Case& c : cases) {
        TXML xml;
        std::string markup = std::string("<a>") + c.content + "</a>";
        ASSERT_TRUE(ParseText(xml, markup, c.breaks)) << markup;
        TXMLNode* a = First(xml);
        TXMLNodeList texts;
        a->GetTextChildren(texts);
        if (!c.text) {
            EXPECT_FALSE(a->HasChildren()) << markup;
            continue;
        }
        ASSERT_EQ(texts.Count(), 1) << markup;
        EXPECT_EQ(Value(texts[0]), c.text) << markup;
        EXPECT_EQ(static_cast<TXMLText*>(texts[0])->KeepLineBreaks(),
                  c.breaks == TXML::LineBreaks::Keep);
    }
}

TEST(TXMLParseTest, IndentationBetweenElementsMakesNoTextNodes)
{
    TXML xml;
    ASSERT_TRUE(ParseText(xml, "<a>\r\n   <b/>\r\n</a>", TXML::LineBreaks::Keep));
    TXMLNode* a = First(xml);
    EXPECT_EQ(a->ChildCount(), 1);
    EXPECT_EQ(Value(a->FirstChildNode()), "b");

    ASSERT_TRUE(ParseText(xml, "<a>one<b/>two <c/> three</a>"));
    TXMLNodeList texts;
    First(xml)->GetTextChildren(texts);
    ASSERT_EQ(texts.Count(), 3);
    EXPECT_EQ(Value(texts[0]), "one");
    EXPECT_EQ(Value(texts[1]), "two ");
    EXPECT_EQ(Value(texts[2]), " three");
    EXPECT_EQ(First(xml)->ChildCount(), 5);
}

// ---- Comments, unknown nodes, declarations -----------------------------------------------

TEST(TXMLParseTest, CommentsKeepTheirTextUpToTheFirstCloser)
{
    TXML xml;
    ASSERT_TRUE(ParseText(xml, "<!-- a <b> -- c --><r><!----><!--x--->y</r>"));
    TXMLNode* c = First(xml);
    EXPECT_EQ(c->GetType(), TXMLType::Comment);
    EXPECT_EQ(Value(c), " a <b> -- c ");
    TXMLNode* r = c->NextSiblingNode();
    ASSERT_EQ(r->ChildCount(), 3);
    EXPECT_EQ(Value(r->FirstChildNode()), "");
    EXPECT_EQ(Value(r->FirstChildNode()->NextSiblingNode()), "x-");
    EXPECT_EQ(Value(r->LastChildNode()), "y");
}

TEST(TXMLParseTest, UnknownNodesHoldTheTextUpToTheNextBracket)
{
    TXML xml;
    ASSERT_TRUE(ParseText(xml, "<!DOCTYPE chart>\n<r><?pi data?><![x]></r>"));
    TXMLNode* u = First(xml);
    EXPECT_EQ(u->GetType(), TXMLType::Unknown);
    EXPECT_EQ(Value(u), "!DOCTYPE chart");
    TXMLNode* r = u->NextSiblingNode();
    // Inside an element a declaration is only an unknown node.
    EXPECT_EQ(r->FirstChildNode()->GetType(), TXMLType::Unknown);
    EXPECT_EQ(Value(r->FirstChildNode()), "?pi data?");
    EXPECT_EQ(Value(r->LastChildNode()), "![x]");
}

TEST(TXMLParseTest, DeclarationsAreRecognisedAtTopLevelInAnyCase)
{
    for (const char* markup :
         {"<?xml version=\"1.0\"?><r/>", "<?XML version='1.0' ?>\r\n<r/>", "< ?XmL?><r/>"}) {
        TXML xml;
        ASSERT_TRUE(ParseText(xml, markup)) << markup;
        TXMLNode* d = First(xml);
        EXPECT_EQ(d->GetType(), TXMLType::Declaration) << markup;
        EXPECT_EQ(d->GetValue().len, 0);
        EXPECT_EQ(d->GetAttributes().Count(), 0);
        EXPECT_EQ(Value(d->NextSiblingNode()), "r");
    }
    // Too short for a declaration: read as an unknown node.
    TXML xml;
    ASSERT_TRUE(ParseText(xml, "<?xm>"));
    EXPECT_EQ(First(xml)->GetType(), TXMLType::Unknown);
}

// ---- Errors -----------------------------------------------------------------------------

TEST(TXMLParseTest, EveryBrokenInputReportsItsCodeAndText)
{
    struct Case
    {
        const char* markup;
        TXMLError code;
        const char* text;
    };
    const Case cases[] = {
        {"<a>text", TXMLError::ElementValue, "Error reading Element value."},
        {"<a>", TXMLError::ElementValue, "Error reading Element value."},
        {"<a><b/>", TXMLError::ElementValue, "Error reading Element value."},
        {"<a", TXMLError::Attributes, "Error reading Attributes."},
        {"<a x>", TXMLError::Attributes, "Error reading Attributes."},
        {"<a x=>", TXMLError::Attributes, "Error reading Attributes."},
        {"<a x= />", TXMLError::Attributes, "Error reading Attributes."},
        {"<a \"s\"/>", TXMLError::Attributes, "Error reading Attributes."},
        {"<a x='open/>", TXMLError::Attributes, "Error reading Attributes."},
        {"<a x={a{b}/>", TXMLError::Attributes, "Error reading Attributes."},
        {"<a x=1", TXMLError::Attributes, "Error reading Attributes."},
        {"<a x", TXMLError::Attributes, "Error reading Attributes."},
        {"<a/ >", TXMLError::EmptyTag, "Error empty tag."},
        {"<a/", TXMLError::EmptyTag, "Error empty tag."},
        {"<a>x</a >", TXMLError::EndTag, "Error reading end tag."},
        {"<a>x</b>", TXMLError::EndTag, "Error reading end tag."},
        {"<a>x</A>", TXMLError::EndTag, "Error reading end tag."},
        {"<a><b></a>", TXMLError::EndTag, "Error reading end tag."},
        {"<a>x</a", TXMLError::EndTag, "Error reading end tag."},
        {"<!DOCTYPE", TXMLError::Unknown, "Error parsing Unknown."},
        {"<", TXMLError::Unknown, "Error parsing Unknown."},
        {"<a><", TXMLError::Unknown, "Error parsing Unknown."},
        {"<!-- x", TXMLError::Comment, "Error parsing Comment."},
        {"<a><!-- x --</a>", TXMLError::Comment, "Error parsing Comment."},
        {"<?xml version='1.0'", TXMLError::Declaration, "Error parsing Declaration."},
        {"", TXMLError::DocumentEmpty, "Error Document empty."},
        {" \r\n\t ", TXMLError::DocumentEmpty, "Error Document empty."},
        {"hello", TXMLError::TagNotFound, "Error '<' tag not found."},
        {"<a/> tail", TXMLError::TagNotFound, "Error '<' tag not found."},
    };
    for (const Case& c : cases) {
        TXML xml;
        EXPECT_FALSE(ParseText(xml, c.markup)) << c.markup;
        EXPECT_TRUE(xml.IsError());
        EXPECT_EQ(xml.GetErrorCode(), c.code) << c.markup;
        EXPECT_STREQ(xml.GetErrorText().Text(), c.text) << c.markup;
        EXPECT_NE(xml.GetRoot(), nullptr);
    }
}

TEST(TXMLParseTest, ErrorTextsOfCodesNotRaisedByParsing)
{
    EXPECT_STREQ(TXML::ErrorText(TXMLError::None), "No error");
    EXPECT_STREQ(TXML::ErrorText(TXMLError::StringAttribute), "Error rading String Attribute..");
    EXPECT_STREQ(TXML::ErrorText(TXMLError::FileOpen), "Error could not Open File for reading.");
    EXPECT_STREQ(TXML::ErrorText(TXMLError(99)), "Unknown error.");
    TXML xml;
    EXPECT_FALSE(xml.IsError());
    EXPECT_EQ(xml.GetErrorCode(), TXMLError::None);
    EXPECT_STREQ(xml.GetErrorText().Text(), "No error");
}

TEST(TXMLParseTest, ElementParsedDirectlyReportsMissingOrBadName)
{
    TXML xml;
    TXMLElement e(xml, TXMLStore::Interned);
    EXPECT_TRUE(e.Parse(ZStr("  ")).IsNull());
    EXPECT_EQ(xml.GetErrorCode(), TXMLError::ElementParse);
    EXPECT_STREQ(xml.GetErrorText().Text(), "Error parsing Element.");
    xml.ClearError();
    EXPECT_TRUE(e.Parse(ZStr("1a/>")).IsNull());
    EXPECT_EQ(xml.GetErrorCode(), TXMLError::ElementName);
    EXPECT_STREQ(xml.GetErrorText().Text(), "Failed to read Element name.");
    xml.ClearError();
    ZStr rest = e.Parse(ZStr("b k=v/>tail"));
    EXPECT_EQ(S(rest), "tail");
    EXPECT_EQ(Attr(&e, "k"), "v");
}

TEST(TXMLParseTest, FirstErrorWinsAndTheOffsetPointsAtIt)
{
    TXML xml;
    EXPECT_FALSE(ParseText(xml, "<a>\n  <b>x</c>\n</a>"));
    EXPECT_EQ(xml.GetErrorCode(), TXMLError::EndTag);
    EXPECT_EQ(xml.GetErrorOffset(), 10);
    xml.SetError(TXMLError::Memory);
    EXPECT_EQ(xml.GetErrorCode(), TXMLError::EndTag);
}

TEST(TXMLParseTest, NodesReadBeforeAFailureStayInTheTree)
{
    TXML xml;
    EXPECT_FALSE(ParseText(xml, "<m s='a'/><DLG title=T><TEXT text=x/><!-- c --><INPUT name='"));
    TXMLNode* m = First(xml);
    EXPECT_EQ(Value(m), "m");
    TXMLNode* dlg = m->NextSiblingNode();
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(Value(dlg), "DLG");
    EXPECT_EQ(Attr(dlg, "title"), "T");
    EXPECT_EQ(Value(dlg->FirstChildNode()), "TEXT");
    EXPECT_EQ(dlg->FirstChildNode()->NextSiblingNode()->GetType(), TXMLType::Comment);
    // The element that broke keeps its name; a node that failed before having one is gone.
    EXPECT_EQ(Value(dlg->LastChildNode()), "INPUT");
    EXPECT_FALSE(ParseText(xml, "<a><!-- open"));
    EXPECT_FALSE(First(xml)->HasChildren());
}

TEST(TXMLParseTest, ParseStartsAfreshAfterAFailure)
{
    TXML xml;
    EXPECT_FALSE(ParseText(xml, "<a>"));
    ASSERT_TRUE(ParseText(xml, "<b/>"));
    EXPECT_FALSE(xml.IsError());
    EXPECT_EQ(xml.GetErrorCode(), TXMLError::None);
    EXPECT_EQ(xml.GetErrorOffset(), -1);
    EXPECT_EQ(xml.GetRoot()->ChildCount(), 1);
    EXPECT_EQ(Value(First(xml)), "b");
}

TEST(TXMLParseTest, ParsedTextNeedNotOutliveTheParser)
{
    TXML xml;
    {
        std::string text = "<e name='value'>body</e>";
        ASSERT_TRUE(ParseText(xml, text));
        text.assign(text.size(), '#');
    }
    EXPECT_EQ(Value(First(xml)), "e");
    EXPECT_EQ(Attr(First(xml), "name"), "value");
    EXPECT_EQ(Value(First(xml)->FirstChildNode()), "body");
    // Interned: equal texts share storage, and every value is NUL-terminated.
    EXPECT_EQ(First(xml)->GetValue().ptr[1], 0);
}

// ---- Nesting depth ----------------------------------------------------------------------

std::string Nested(int depth)
{
    std::string s;
    for (int i = 0; i < depth; ++i) {
        s += "<e>";
    }
    s += "x";
    for (int i = 0; i < depth; ++i) {
        s += "</e>";
    }
    return s;
}

TEST(TXMLParseTest, NestingUpToTheLimitParses)
{
    TXML xml;
    ASSERT_TRUE(ParseText(xml, Nested(TXML::kMaxDepth)));
    TXMLNode* n = First(xml);
    while (n->FirstChildNode() && n->FirstChildNode()->GetType() == TXMLType::Element) {
        n = n->FirstChildNode();
    }
    EXPECT_EQ(n->Depth(), TXML::kMaxDepth);
    EXPECT_EQ(Value(n->FirstChildNode()), "x");
}

TEST(TXMLParseTest, NestingBeyondTheLimitFailsCleanlyAndKeepsTheNodesRead)
{
    for (int depth : {TXML::kMaxDepth + 1, 300000}) {
        TXML xml;
        EXPECT_FALSE(ParseText(xml, Nested(depth)));
        EXPECT_EQ(xml.GetErrorCode(), TXMLError::NestingTooDeep);
        EXPECT_STREQ(xml.GetErrorText().Text(), "Error Elements nested too deep.");
        EXPECT_EQ(xml.GetErrorOffset(), 3 * TXML::kMaxDepth);
        int levels = 0;
        for (TXMLNode* n = First(xml); n; n = n->FirstChildNode()) {
            ++levels;
        }
        EXPECT_EQ(levels, TXML::kMaxDepth);
    }
}

// ---- Factory ----------------------------------------------------------------------------

class CountingElement : public TXMLElement
{
public:
    using TXMLElement::TXMLElement;
    std::unique_ptr<TXMLNode> Clone(TXML* owner) const override
    {
        (void)owner;
        return nullptr;
    }
};

class TestFactory : public TXMLFactory
{
public:
    std::unique_ptr<TXMLElement> CreateElement(TXML& owner, TXMLStore store) override
    {
        ++elements;
        if (failAfter >= 0 && elements > failAfter) {
            return nullptr;
        }
        return std::make_unique<CountingElement>(owner, store);
    }
    int elements = 0;
    int failAfter = -1;
};

TEST(TXMLParseTest, ReplacedFactoryMakesTheNodes)
{
    TXML xml;
    TestFactory factory;
    xml.SetFactory(&factory);
    ASSERT_TRUE(ParseText(xml, "<a><b/><c/></a>"));
    EXPECT_EQ(factory.elements, 3);
    EXPECT_NE(dynamic_cast<CountingElement*>(First(xml)), nullptr);
    xml.SetFactory(nullptr);
    ASSERT_TRUE(ParseText(xml, "<a/>"));
    EXPECT_EQ(dynamic_cast<CountingElement*>(First(xml)), nullptr);
}

TEST(TXMLParseTest, FactoryFailureIsAMemoryError)
{
    TXML xml;
    TestFactory factory;
    factory.failAfter = 2;
    xml.SetFactory(&factory);
    EXPECT_FALSE(ParseText(xml, "<a><b/><c/></a>"));
    EXPECT_EQ(xml.GetErrorCode(), TXMLError::Memory);
    EXPECT_STREQ(xml.GetErrorText().Text(), "Memory allocation failed.");
    EXPECT_EQ(First(xml)->ChildCount(), 1);
}

// ---- Files ------------------------------------------------------------------------------

TEST(TXMLParseTest, ParseFileReadsTheWholeFileOrReportsCode14)
{
    std::string path = ::testing::TempDir() + "txml_parse_file.xml";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::string body = "<r>" + std::string(200000, 'x') + "</r>";
    std::fwrite(body.data(), 1, body.size(), f);
    std::fclose(f);

    TXML xml;
    ASSERT_TRUE(xml.ParseFile(path.c_str()));
    EXPECT_EQ(First(xml)->FirstChildNode()->GetValue().len, 200000);
    std::remove(path.c_str());

    EXPECT_FALSE(xml.ParseFile(path.c_str()));
    EXPECT_EQ(xml.GetErrorCode(), TXMLError::FileOpen);
    EXPECT_STREQ(xml.GetErrorText().Text(), "Error could not Open File for reading.");
    EXPECT_FALSE(xml.GetRoot()->HasChildren());
    EXPECT_FALSE(xml.ParseFile(::testing::TempDir().c_str()));
    EXPECT_EQ(xml.GetErrorCode(), TXMLError::FileOpen);
}

} // namespace
