// SPDX-License-Identifier: GPL-2.0-or-later
#include "menu/XMenuPopUp.h"

#include "base/XColor.h"
#include "platform/Cursor.h"
#include "platform/Menu.h"
#include "platform/Window.h"

#include <utility>

namespace {

// Whether c may stand in a value written without quotes: the reader ends such a value at
// white space, "/", ">" or "}", and takes a leading quote or brace as the start of a quoted
// or braced value. "&" is kept out so that decoding a plain word never changes it.
bool IsPlainChar(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u > 0x20 && u != 0x7F && c != '/' && c != '>' && c != '}' && c != '{' && c != '\'' &&
           c != '"' && c != '&' && c != '<' && c != '=';
}

bool IsPlainWord(ZStr word)
{
    if (word.IsEmpty())
        return false;
    for (char c : word)
        if (!IsPlainChar(c))
            return false;
    return true;
}

// Appends text for a single-quoted value. Everything is written as it is except what would
// end the value early or change on reading: the quote, "&" (the reader decodes character
// references), control characters other than tab, and a backslash right before the closing
// quote (the reader takes backslash-quote as part of the value).
void AppendQuotedText(ZString& out, ZStr text)
{
    int32_t runStart = 0;
    for (int32_t i = 0; i < text.len; ++i) {
        const char c = text.ptr[i];
        const auto u = static_cast<unsigned char>(c);
        const bool escape = c == '\'' || c == '&' || (u < 0x20 && c != '\t') || u == 0x7F ||
                            (c == '\\' && i == text.len - 1);
        if (!escape)
            continue;
        out.Append(text.ptr + runStart, i - runStart);
        out.AppendFormat("&#x%02X;", unsigned(u));
        runStart = i + 1;
    }
    out.Append(text.ptr + runStart, text.len - runStart);
}

// A command or option word: as it is when it reads back unchanged without quotes, else in
// single quotes.
void AppendWord(ZString& out, ZStr word)
{
    if (IsPlainWord(word)) {
        out.Append(word);
        return;
    }
    out.Append('\'');
    AppendQuotedText(out, word);
    out.Append('\'');
}

ZString AttributeText(const TXMLNode& node, const char* name)
{
    ZString out;
    node.GetAttribute(ZStr(name), out, ZStr(), TXMLDecode::Decode);
    return out;
}

XColor ColorAttribute(const TXMLNode& node, const char* name)
{
    ZString text = AttributeText(node, name);
    return text.IsEmpty() ? XColor(XColor::kNone) : XColor(text.Str());
}

} // namespace

XMenuPopUp::XMenuPopUp()
    : m_alive(std::make_shared<bool>(true))
{
}

XMenuPopUp::~XMenuPopUp()
{
    *m_alive = false;
    ReleaseMenus();
}

// ---------------------------------------------------------------------------------------
// Writing

void XMenuPopUp::AddItem(ZString& markup, ZStr text, ZStr cmd, bool enabled, bool checked)
{
    ZString options;
    if (checked)
        options.Append("C");
    if (!enabled)
        options.Append("DG");
    AddMenu(markup, text, cmd, options.Str());
}

void XMenuPopUp::AddSeparator(ZString& markup)
{
    markup.Append("<sep/>");
}

void XMenuPopUp::AddMenu(ZString& markup, ZStr text, ZStr cmd, ZStr options, ZStr color,
                         ZStr bgColor, int32_t lineWidth, ZStr subMenu)
{
    markup.Append("<m s='");
    AppendQuotedText(markup, text);
    markup.Append("'");
    // "c=" with nothing after it would swallow the next attribute or break the whole menu;
    // a missing command reads as "noCmd" anyway.
    if (!cmd.IsEmpty()) {
        markup.Append(" c=");
        AppendWord(markup, cmd);
    }
    if (!options.IsEmpty()) {
        markup.Append(" o=");
        AppendWord(markup, options);
    }
    if (!color.IsEmpty()) {
        markup.Append(" clr='");
        AppendQuotedText(markup, color);
        markup.Append("'");
        if (!bgColor.IsEmpty()) {
            markup.Append(" clrBg='");
            AppendQuotedText(markup, bgColor);
            markup.AppendFormat("' lineWidth=%d", int(lineWidth));
        }
    }
    if (!subMenu.IsEmpty()) {
        markup.Append(">");
        markup.Append(subMenu);
        markup.Append("</m>");
    } else {
        markup.Append(" />");
    }
}

// ---------------------------------------------------------------------------------------
// Building

XMenuPopUp_CMenu& XMenuPopUp::NewMenu()
{
    m_menus.Append(std::make_unique<XMenuPopUp_CMenu>());
    return *m_menus.Last();
}

void XMenuPopUp::ReleaseMenus()
{
    m_menus.RemoveAll();
}

const XMenuPopUp_CMenu* XMenuPopUp::GetMenu() const
{
    return m_menus.Count() > 0 ? m_menus[0].get() : nullptr;
}

std::vector<plat::MenuItem> XMenuPopUp::GetItems() const
{
    const XMenuPopUp_CMenu* top = GetMenu();
    return top ? top->BuildTree() : std::vector<plat::MenuItem>();
}

int32_t XMenuPopUp::Build(ZStr markup)
{
    ReleaseMenus();
    m_elements.RemoveAll();
    // The markup may be a view of m_markup itself.
    ZString copy(markup);
    m_markup = std::move(copy);
    // A parse error keeps the nodes read before it; those still make a menu, so that one
    // faulty entry does not hide the ones before it.
    m_xml.Parse(m_markup.Str(), TXML::LineBreaks::Fold);
    Fill(&NewMenu(), m_xml.GetRoot());
    return m_elements.Count();
}

void XMenuPopUp::Fill(XMenuPopUp_CMenu* menu, TXMLNode* parent)
{
    for (TXMLNode* node = parent->FirstChildNode(); node; node = node->NextSiblingNode()) {
        if (node->GetType() != TXMLType::Element)
            continue;
        // Every element is numbered, shown or not, so that identifiers follow the document.
        const int32_t id = m_elements.Append(node) + 1;
        if (!menu) {
            Fill(nullptr, node);
        } else if (node->IsElement(ZStr("sep"))) {
            menu->AppendSeparator();
            Fill(nullptr, node);
        } else if (node->IsElement(ZStr("m"))) {
            XMenuPopUpEntry entry;
            ReadEntry(*node, id, entry);
            plat::MenuItem item;
            item.text.assign(entry.text.Text(), size_t(entry.text.Length()));
            item.id = uint32_t(id);
            item.checked = entry.IsChecked();
            item.disabled = entry.IsDisabled();
            item.grayed = entry.IsGrayed();
            item.colorItem = !entry.colorText.IsEmpty();
            item.color = entry.color.Value();
            item.bgColor = entry.bgColor.Value();
            item.lineWidth = entry.lineWidth;
            if (node->FindChildElement()) {
                XMenuPopUp_CMenu& sub = NewMenu();
                menu->AppendPopup(item, sub);
                Fill(&sub, node);
            } else {
                menu->AppendItem(item);
            }
        } else {
            // Elements other than "m" and "sep" show nothing, nor does anything inside them.
            Fill(nullptr, node);
        }
    }
}

// ---------------------------------------------------------------------------------------
// Entries and commands

void XMenuPopUp::ReadEntry(const TXMLNode& node, int32_t id, XMenuPopUpEntry& entry)
{
    entry.id = id;
    entry.text = AttributeText(node, "s");
    entry.cmd = AttributeText(node, "c");
    if (entry.cmd.IsEmpty())
        entry.cmd = XMenuPopUpEntry::kNoCmd;
    entry.options = AttributeText(node, "o");
    entry.colorText = AttributeText(node, "clr");
    entry.bgColorText = AttributeText(node, "clrBg");
    entry.color = ColorAttribute(node, "clr");
    entry.bgColor = ColorAttribute(node, "clrBg");
    int width = 0;
    node.GetIntAttribute(ZStr("lineWidth"), width, 0);
    entry.lineWidth = width;
}

bool XMenuPopUp::GetEntry(int32_t id, XMenuPopUpEntry& entry) const
{
    if (id < 1 || id > m_elements.Count())
        return false;
    ReadEntry(*m_elements[id - 1], id, entry);
    return true;
}

bool XMenuPopUp::OnMenuCommand(int32_t id)
{
    XMenuPopUpEntry entry;
    if (!GetEntry(id, entry))
        return false;
    // The entry is a copy: the callback may show another menu or destroy this one.
    return m_cb->OnMenuCmd(*this, entry, entry.cmd.Str(), entry.text.Str(), entry.options.Str(),
                           id);
}

// ---------------------------------------------------------------------------------------
// Showing

bool XMenuPopUp::Show(ZStr markup, plat::Window* owner, NXPoint screenPos, XMenuButton,
                      XMenuPopUpCB* cb)
{
    if (cb)
        SetCB(cb);
    if (owner && owner->IsCreated())
        owner->SetCursor(plat::Cursor::Standard(plat::StdCursor::Arrow));
    Build(markup);
    if (!m_tracker)
        m_tracker = std::make_unique<XMenuPopUpTracker>();
    const plat::Point pt{RoundHalfAway(screenPos.x), RoundHalfAway(screenPos.y)};
    std::shared_ptr<bool> alive = m_alive;
    const bool handled = m_tracker->Track(*this, *m_menus[0], pt, owner);
    if (*alive)
        ReleaseMenus();
    return handled;
}
