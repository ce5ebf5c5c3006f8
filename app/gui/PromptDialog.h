// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/ZString.h"

#include <cstdint>

class TXMLDlg;
namespace plat {
class Window;
}

/// A modal prompt assembled from markup at run time: an optional header line, the input
/// field between an optional prefix and suffix, an optional footer line, and OK and Cancel
/// buttons. Derived classes supply the field and the variables it uses. The texts reach the
/// screen through dialog variables, so quotes, angle brackets or percent signs in them are
/// shown as written and never change the markup.
class PromptDialog
{
public:
    PromptDialog(ZStr captionText, ZStr headerText, ZStr prefixText, ZStr suffixText,
                 ZStr footerText);
    virtual ~PromptDialog();
    PromptDialog(const PromptDialog&) = delete;
    PromptDialog& operator=(const PromptDialog&) = delete;

    ZString caption; ///< the window title
    ZString header;  ///< the line above the field; none when empty
    ZString prefix;  ///< the text left of the field; none when empty
    ZString suffix;  ///< the text right of the field; none when empty
    ZString footer;  ///< the line below the field; none when empty

    /// The complete dialog markup, with the variables still unresolved ("%Caption%", ...).
    ZString BuildMarkup() const;

    /// Shows the prompt modally over parent (centred on it, or on the screen). True when the
    /// user confirmed with OK: the field's value has then been stored (see the derived
    /// class). False after Cancel, Escape or the close box, and when the dialog cannot be
    /// shown; the stored values are then unchanged.
    bool Run(plat::Window* parent = nullptr);

    /// The dialog while Run shows it, null otherwise. Not owned.
    TXMLDlg* GetDialog() const { return m_dlg; }

protected:
    /// Appends the markup of the input field to markup.
    virtual void FieldMarkup(ZString& markup) const = 0;
    /// Registers the variables the field markup uses, and the storage the field's value goes
    /// to on OK, with dlg.
    virtual void BindFieldVariables(TXMLDlg& dlg) = 0;

private:
    TXMLDlg* m_dlg = nullptr;
};

/// A prompt for one line of text, 20 characters wide. After Run returned true, `text` holds
/// exactly what the field held, leading and trailing spaces included; the caller trims.
class TextPrompt : public PromptDialog
{
public:
    /// initial is the text the field starts with; option is kept for the caller (0 in every
    /// prompt the calculator shows) and does not change the dialog.
    TextPrompt(ZStr initial, ZStr captionText, ZStr headerText, ZStr prefixText = ZStr(),
               ZStr suffixText = ZStr(), ZStr footerText = ZStr(), int32_t option = 0);

    ZString text; ///< the initial text, and after a confirmed Run the edited one

    /// The text the prompt was constructed with, whatever Run did to `text`.
    const ZString& GetInitialText() const { return m_initial; }
    int32_t GetOption() const { return m_option; }

protected:
    void FieldMarkup(ZString& markup) const override;
    void BindFieldVariables(TXMLDlg& dlg) override;

private:
    ZString m_initial;
    int32_t m_option = 0;
    double m_fieldColumns = 20.0;
    double m_fieldLines = 1.0;
    ZString m_fieldSize;
};
