// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/gui/PromptDialog.h"

#include "base/XValueRef.h"
#include "xmldlg/TXMLDlg.h"

PromptDialog::PromptDialog(ZStr captionText, ZStr headerText, ZStr prefixText, ZStr suffixText,
                           ZStr footerText)
    : caption(captionText)
    , header(headerText)
    , prefix(prefixText)
    , suffix(suffixText)
    , footer(footerText)
{
}

PromptDialog::~PromptDialog() = default;

ZString PromptDialog::BuildMarkup() const
{
    // The texts appear only as variables: the dialog substitutes them after parsing, so no
    // text the user gave can alter the structure of the markup.
    ZString markup("<DLG name=adlg margin='10x10' fontSize=87 xfont='MS Shell Dlg' "
                   "title='%Caption%' xbgColor=skyblue color=black vAlign=bottom "
                   "xalign=center >");
    // An optional text: its element, set off from what stands before or after it.
    auto optional = [&markup](const ZString& text, const char* element, bool separatorFirst) {
        if (!text.IsEmpty()) {
            markup.Append(separatorFirst ? "<SPSEP />" : element);
            markup.Append(separatorFirst ? element : "<SPSEP />");
        }
    };
    optional(header, "<TEXT name=nix text='%Header%' />", false);
    markup.Append("<HALIGN align=left>");
    optional(prefix, "<TEXT text='%Prefix%' />", false);
    FieldMarkup(markup);
    optional(suffix, "<TEXT text='%Suffix%' />", true);
    markup.Append("</HALIGN>");
    optional(footer, "<TEXT text='%Footer%' />", true);
    markup.Append("<SPSEP n=2/>");
    markup.Append("<HALIGN align=right>");
    markup.Append("<INPUT name='OK'      type='BUTTON'\ttext=OK\t    sizeChars='4x1'\t"
                  "cmd='@EndDlgOK'/>");
    markup.Append("<INPUT name='Cancel'  type='BUTTON'\ttext=Cancel\t\tcmd='@EndDlgCancel'/>");
    markup.Append("</HALIGN>");
    markup.Append("</DLG>");
    return markup;
}

bool PromptDialog::Run(plat::Window* parent)
{
    TXMLDlg dlg;
    if (!dlg.SetMarkup(BuildMarkup().Str(), true)) {
        return false;
    }
    m_dlg = &dlg;
    dlg.RegisterRef("Caption", XValueRef(&caption));
    dlg.RegisterRef("Header", XValueRef(&header));
    dlg.RegisterRef("Prefix", XValueRef(&prefix));
    dlg.RegisterRef("Suffix", XValueRef(&suffix));
    dlg.RegisterRef("Footer", XValueRef(&footer));
    BindFieldVariables(dlg);
    // OK transfers the field into the registered storage before it ends the dialog with 1;
    // Cancel, Escape and the close box end it with 0 and transfer nothing; -1 means it
    // could not be shown.
    const int result = dlg.DoModal(parent);
    m_dlg = nullptr;
    return result == 1;
}

TextPrompt::TextPrompt(ZStr initial, ZStr captionText, ZStr headerText, ZStr prefixText,
                       ZStr suffixText, ZStr footerText, int32_t option)
    : PromptDialog(captionText, headerText, prefixText, suffixText, footerText)
    , text(initial)
    , m_initial(initial)
    , m_option(option)
{
}

void TextPrompt::FieldMarkup(ZString& markup) const
{
    markup.Append("<INPUT name='edit'     type='EDIT'  sizeChars='%FieldSize%'  text='%Text%' "
                  "cmd='editField'/>");
}

void TextPrompt::BindFieldVariables(TXMLDlg& dlg)
{
    dlg.RegisterRef("edit.text", XValueRef(&text));
    dlg.RegisterRef("Text", XValueRef(&text));
    dlg.RegisterRef("FieldSize", XValueRef(&m_fieldSize));
    // Variables are read when the dialog lays out, so the size text only has to be ready
    // before DoModal.
    m_fieldSize.Format("%.20g %.20g", m_fieldColumns, m_fieldLines);
}
