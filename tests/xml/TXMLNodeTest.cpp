// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/TestSupport.h"
#include "xml/TXML.h"
#include "xml/TXMLBinder.h"

#include <climits>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <typeinfo>
#include <vector>

namespace {

class MapBinder : public TXMLBinder
{
public:
    bool GetVariableText(ZStr name, ZString& text) override
    {
        asked.push_back(S(name));
        auto it = vars.find(S(name));
        if (it == vars.end()) {
            return false;
        }
        text.Assign(it->second.c_str());
        return true;
    }
    std::map<std::string, std::string> vars;
    std::vector<std::string> asked;
};

class TXMLNodeTest : public ::testing::Test
{
protected:
    TXMLNode* Parse(const char* markup)
    {
        EXPECT_TRUE(xml.Parse(ZStr(markup))) << markup << ": " << xml.GetErrorText().Text();
        return xml.GetRoot()->FirstChildNode();
    }
    TXML xml;
};

// ---- Lookup and decoding ----------------------------------------------------------------

TEST_F(TXMLNodeTest, FindAttributeComparesWholeNamesCaseSensitively)
{
    TXMLNode* e = Parse("<e name=a names=b Name=c/>");
    ZStr v;
    EXPECT_TRUE(e->FindAttribute("names", v));
    EXPECT_EQ(S(v), "b");
    EXPECT_FALSE(e->FindAttribute("nam", v, "dflt"));
    EXPECT_EQ(S(v), "dflt");
    EXPECT_FALSE(e->FindAttribute("NAME", v));
    EXPECT_TRUE(v.IsEmpty());
}

TEST_F(TXMLNodeTest, GetAttributeDecodesOnRequest)
{
    TXMLNode* e = Parse("<e a='&#x41;&#x3c;&#65;&#59;x' bad='1 &amp; 2' d=plain/>");
    ZString out;
    EXPECT_TRUE(e->GetAttribute("a", out));
    EXPECT_STREQ(out.Text(), "&#x41;&#x3c;&#65;&#59;x");
    EXPECT_TRUE(e->GetAttribute("a", out, ZStr(), TXMLDecode::Decode));
    EXPECT_STREQ(out.Text(), "A<A;x");
    // A malformed reference keeps the rest as written.
    EXPECT_TRUE(e->GetAttribute("bad", out, ZStr(), TXMLDecode::Decode));
    EXPECT_STREQ(out.Text(), "1 &amp; 2");
    EXPECT_FALSE(e->GetAttribute("missing", out, "&#x42;", TXMLDecode::Decode));
    EXPECT_STREQ(out.Text(), "B");
}

TEST_F(TXMLNodeTest, DecodeAcceptsOnlyCompleteReferences)
{
    struct Case
    {
        const char* in;
        bool ok;
        std::string out;
    };
    const Case cases[] = {
        {"", true, ""},
        {"no refs", true, "no refs"},
        {"&#x41;&#x62;&#xfF;", true, "Ab\xFF"},
        {"&#x00;", true, std::string("\0", 1)},
        {"&#0;&#9;&#255;", true, std::string("\0\t\xFF", 3)},
        {"a&b", false, "a&b"},
        {"a&", false, "a&"},
        {"&#x41", false, "&#x41"},
        {"&#x4;", false, "&#x4;"},
        {"&#x414;", false, "&#x414;"},
        {"&#xG1;", false, "&#xG1;"},
        {"&#X41;", false, "&#X41;"},
        {"&#;", false, "&#;"},
        {"&#65", false, "&#65"},
        {"&#256;", false, "&#256;"},
        {"x&#x41;&y&#x42;", false, "xA&y&#x42;"},
    };
    for (const Case& c : cases) {
        ZString out;
        EXPECT_EQ(TXML::Decode(ZStr(c.in), out), c.ok) << c.in;
        EXPECT_EQ(std::string(out.Text(), size_t(out.Length())), c.out) << c.in;
    }
}

// ---- Percent variables ------------------------------------------------------------------

TEST_F(TXMLNodeTest, PercentValuesAreResolvedThroughTheBinder)
{
    TXMLNode* e = Parse("<TEXT a=%TITLE% b=%NOPE% c=%% d='%x' e=%%% f=%A&#x42;% g=5%/>");
    MapBinder binder;
    binder.vars["TITLE"] = "Filter &#x26; more";
    binder.vars["%"] = "pct";
    binder.vars["A&#x42;"] = "raw name";
    ZString out;
    EXPECT_TRUE(e->GetAttribute("a", out, ZStr(), TXMLDecode::Raw, &binder));
    EXPECT_STREQ(out.Text(), "Filter &#x26; more");
    EXPECT_TRUE(e->GetAttribute("a", out, ZStr(), TXMLDecode::Decode, &binder));
    EXPECT_STREQ(out.Text(), "Filter & more");
    // An unknown variable leaves the reference as written.
    EXPECT_TRUE(e->GetAttribute("b", out, ZStr(), TXMLDecode::Raw, &binder));
    EXPECT_STREQ(out.Text(), "%NOPE%");
    // Two percent signs, or one at one end only, are never a reference.
    binder.asked.clear();
    e->GetAttribute("c", out, ZStr(), TXMLDecode::Raw, &binder);
    EXPECT_STREQ(out.Text(), "%%");
    e->GetAttribute("d", out, ZStr(), TXMLDecode::Raw, &binder);
    EXPECT_STREQ(out.Text(), "%x");
    e->GetAttribute("g", out, ZStr(), TXMLDecode::Raw, &binder);
    EXPECT_STREQ(out.Text(), "5%");
    EXPECT_TRUE(binder.asked.empty());
    e->GetAttribute("e", out, ZStr(), TXMLDecode::Raw, &binder);
    EXPECT_STREQ(out.Text(), "pct");
    // The name is taken as written, not decoded.
    e->GetAttribute("f", out, ZStr(), TXMLDecode::Raw, &binder);
    EXPECT_STREQ(out.Text(), "raw name");
    // Without a binder nothing is substituted; a default may be a reference too.
    e->GetAttribute("a", out);
    EXPECT_STREQ(out.Text(), "%TITLE%");
    EXPECT_FALSE(e->GetAttribute("absent", out, "%TITLE%", TXMLDecode::Raw, &binder));
    EXPECT_STREQ(out.Text(), "Filter &#x26; more");
}

// ---- Typed getters ----------------------------------------------------------------------

namespace {

// One read of a typed getter: the attribute, the default, whether it is found, the value.
template <class T> struct TypedCase
{
    const char* name;
    T def;
    bool found;
    T value;
};

template <class T>
void ExpectTyped(const TXMLNode& e, bool (TXMLNode::*get)(ZStr, T&, T, TXMLBinder*) const,
                 std::initializer_list<TypedCase<T>> cases)
{
    for (const TypedCase<T>& c : cases) {
        T out{};
        EXPECT_EQ((e.*get)(c.name, out, c.def, nullptr), c.found) << c.name;
        EXPECT_EQ(out, c.value) << c.name;
    }
}

} // namespace

TEST_F(TXMLNodeTest, TypedGettersFollowAtoiAndAtof)
{
    TXMLNode* e = Parse("<e one=1 t=true z=0 neg=' -12x' big=99999999999 small=-99999999999 "
                        "d=2.5e3 bad=abc half=.5 hexish=0x10 v=%V%/>");
    ExpectTyped<bool>(*e, &TXMLNode::GetBoolAttribute,
                      {
                          {"one", false, true, true},
                          {"t", true, true, false},
                          {"z", true, true, false},
                          {"absent", true, false, true},
                      });
    ExpectTyped<int>(*e, &TXMLNode::GetIntAttribute,
                     {
                         {"neg", 0, true, -12},
                         {"big", 0, true, INT_MAX},
                         {"small", 0, true, INT_MIN},
                         {"bad", 5, true, 0},
                         {"hexish", 5, true, 0},
                         {"absent", 42, false, 42},
                     });
    ExpectTyped<double>(*e, &TXMLNode::GetDoubleAttribute,
                        {
                            {"d", 0, true, 2500.0},
                            {"half", 0, true, 0.5},
                            {"bad", 1, true, 0.0},
                            {"absent", 1.25, false, 1.25},
                        });

    int i = 7;
    bool b = false;
    MapBinder binder;
    binder.vars["V"] = "17";
    EXPECT_TRUE(e->GetIntAttribute("v", i, 0, &binder));
    EXPECT_EQ(i, 17);
    EXPECT_TRUE(e->GetBoolAttribute("v", b, false, &binder));
    EXPECT_TRUE(b);
}

// ---- Children ---------------------------------------------------------------------------

TEST_F(TXMLNodeTest, ChildListsSelectByTypeAndName)
{
    TXMLNode* c = Parse("<XCHART><CHARTLINE name=a/>text<!--c--><CHARTLINE name=b>1 2;"
                        "</CHARTLINE><other/>more</XCHART>");
    TXMLNodeList list;
    list.Append(c); // the list is emptied first
    c->GetChildElements(list, "CHARTLINE");
    ASSERT_EQ(list.Count(), 2);
    ZStr v;
    list[1]->FindAttribute("name", v);
    EXPECT_EQ(S(v), "b");
    c->GetChildElements(list);
    EXPECT_EQ(list.Count(), 3);
    c->GetTextChildren(list);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(S(list[0]->GetValue()), "text");
    EXPECT_EQ(S(list[1]->GetValue()), "more");
    // Only direct children count.
    list[0]->GetTextChildren(list);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(c->FindChildElement("other"), c->LastChildNode()->PrevSiblingNode());
    EXPECT_EQ(c->FindChildElement("none"), nullptr);
    EXPECT_TRUE(c->FindChildElement()->IsElement("CHARTLINE"));
}

// ---- Changing nodes, copies and clones ----------------------------------------------------

TEST_F(TXMLNodeTest, SetValueAndAttributesOfAParsedNodeUseThePool)
{
    TXMLNode* e = Parse("<e a=1 b=2/>");
    ZString temp("renamed");
    e->SetValue(temp.Str());
    temp.Assign("xxxxxxx");
    EXPECT_EQ(S(e->GetValue()), "renamed");
    EXPECT_TRUE(xml.GetStrings().Contains("renamed"));
    e->SetValue(e->GetValue()); // a node may be given its own value
    EXPECT_EQ(S(e->GetValue()), "renamed");

    e->SetAttributes(e->GetAttributes()); // and its own attributes
    EXPECT_EQ(e->GetAttributes().Count(), 2);
    TXMLAttributes list;
    list.Append(TXMLAttribute{ZStr("x"), ZStr("9")});
    e->SetAttributes(list);
    ASSERT_EQ(e->GetAttributes().Count(), 1);
    EXPECT_EQ(S(e->GetAttributes()[0].name), "x");
    e->AppendAttribute("x", "10");
    ZStr v;
    e->FindAttribute("x", v);
    EXPECT_EQ(S(v), "9");
    e->ClearAttributes();
    EXPECT_EQ(e->GetAttributes().Count(), 0);
    e->SetValue(ZStr());
    EXPECT_NE(e->GetValue().ptr, nullptr);
    EXPECT_EQ(e->GetValue().len, 0);
}

TEST_F(TXMLNodeTest, ClonesOwnTheirTextsAndOutliveTheSourceParser)
{
    TXML other;
    std::unique_ptr<TXMLNode> clone;
    std::unique_ptr<TXMLNode> textClone;
    {
        TXML source;
        ASSERT_TRUE(source.Parse(ZStr("<e k='v' j=w>x\r\ny</e>"), TXML::LineBreaks::Keep));
        TXMLNode* e = source.GetRoot()->FirstChildNode();
        clone = e->Clone(&other);
        textClone = e->FirstChildNode()->Clone();
        ASSERT_NE(clone, nullptr);
        EXPECT_TRUE(clone->IsCopy());
        EXPECT_EQ(&clone->GetOwner(), &other);
        EXPECT_EQ(&textClone->GetOwner(), &source);
        EXPECT_FALSE(clone->HasChildren());
        EXPECT_EQ(clone->Parent(), nullptr);
        EXPECT_NE(clone->GetValue().ptr, e->GetValue().ptr);
        textClone.reset();
    }
    EXPECT_EQ(clone->GetType(), TXMLType::Element);
    EXPECT_EQ(S(clone->GetValue()), "e");
    ASSERT_EQ(clone->GetAttributes().Count(), 2);
    EXPECT_EQ(S(clone->GetAttributes()[1].value), "w");

    // The clone can join another document and be changed there.
    TXMLNode* placed = other.AppendChild(other.GetRoot(), std::move(clone));
    placed->SetValue("f");
    placed->AppendAttribute("n", "1");
    ZString out;
    other.Print(out);
    EXPECT_STREQ(out.Text(), "<f k=\"v\" j=\"w\" n=\"1\" />\r\n");
}

TEST_F(TXMLNodeTest, EveryNodeClassClonesToItsOwnClass)
{
    ASSERT_TRUE(xml.Parse(ZStr("<?xml?><!DOCTYPE d><!--c--><e>t</e>")));
    std::unique_ptr<TXMLNode> doc = xml.GetRoot()->Clone();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetType(), TXMLType::Document);
    for (TXMLNode* n = xml.GetRoot()->FirstChildNode(); n; n = n->NextSiblingNode()) {
        std::unique_ptr<TXMLNode> c = n->Clone();
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->GetType(), n->GetType());
        EXPECT_EQ(typeid(*c), typeid(*n));
        EXPECT_EQ(S(c->GetValue()), S(n->GetValue()));
    }
    std::unique_ptr<TXMLNode> text = xml.GetRoot()->LastChildNode()->FirstChildNode()->Clone();
    EXPECT_EQ(text->GetType(), TXMLType::Text);
}

TEST_F(TXMLNodeTest, CopyToReplacesValueAndAttributes)
{
    TXMLNode* a = Parse("<r><a x=1 y=2/><b z=3/></r>")->FirstChildNode();
    TXMLNode* b = a->NextSiblingNode();
    a->CopyTo(*b);
    EXPECT_EQ(S(b->GetValue()), "a");
    ASSERT_EQ(b->GetAttributes().Count(), 2);
    EXPECT_EQ(S(b->GetAttributes()[0].name), "x");
    a->CopyTo(*a);
    EXPECT_EQ(a->GetAttributes().Count(), 2);
}

} // namespace
