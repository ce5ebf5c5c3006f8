// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "app/outputs/ConfigFile.h"

#include <string>

class DesignController;

/// Which buttons a configuration message offers.
enum class MessageButtons {
    Ok,          ///< a notice: the answer is always OK
    OkCancel,    ///< a question
    YesNoCancel, ///< whether to save changes first; Escape answers Cancel
};

/// How the user answered a message.
enum class MessageAnswer {
    Ok, ///< OK, or Yes
    No,
    Cancel, ///< Cancel, Escape or the close box
};

/// What the configuration store needs of the window that shows it: the configuration list
/// (a drop-down list whose index is an index into the store's sections), message boxes and
/// the prompt for a new name. The main dialog implements it; tests implement it over plain
/// values.
class ConfigStoreHost
{
public:
    virtual ~ConfigStoreHost() = default;

    /// Empties the configuration list.
    virtual void ClearConfigList() = 0;
    /// Appends an entry (a configuration's name, shown as plain text).
    virtual void AddConfigItem(const std::string& name) = 0;
    /// Selects entry `index`; -1 selects nothing.
    virtual void SelectConfigItem(int index) = 0;
    /// Shows `text` (plain text, lines separated by "\r\n") in a modal message box with
    /// `caption` and returns the answer (always Ok for a notice).
    virtual MessageAnswer ShowMessage(const std::string& caption, const std::string& text,
                                      MessageButtons buttons) = 0;
    /// Asks for the name of a new configuration: caption "New Configuration Name", header
    /// "Enter Name of New Configuration", `name` as the initial text. Returns false on
    /// Cancel; otherwise `name` holds the text entered (untrimmed).
    virtual bool AskNewName(std::string& name) = 0;
};

/// The named configurations of design inputs in the calculator's INI file (by default
/// ./Tessera.ini): sections "C_1" to "C_999", each with a "Name" shown in the list and a
/// "Parms" holding the parameter text; the default section's "Recent" names the section
/// chosen last. The store lists, chooses, saves and creates configurations for the main
/// dialog; the design inputs themselves are the controller's.
///
/// The file is reread whenever the list is filled and written in whole by every save. A save
/// that fails is reported to the user with the file's name and the reason, and the change
/// stays in memory. No empty parameter text is ever written: while the controller has no
/// valid inputs, a save is refused with a message.
class ConfigStore
{
public:
    /// The caption of the store's messages.
    static constexpr const char* kCaption = kConfigFileName;
    /// The highest k of a section name "C_k" that NewConfig creates.
    static constexpr int kMaxConfigs = ConfigFile::kMaxConfigs;

    /// The file is `file` in the folder `dir` (see ZIni::FormPath). The controller and the
    /// host must outlive the store.
    ConfigStore(DesignController& controller, ConfigStoreHost& host, std::string dir = ".",
                std::string file = kConfigFileName);

    /// Sets the controller's fields from a stored parameter text and, when all of it was
    /// read, refreshes the edits and sliders and clears modified. A text of the wrong format
    /// changes nothing; an unknown key leaves the fields of the parts before it changed. Both
    /// show a message. Returns whether the text was applied.
    bool ParmsToDialog(const std::string& text);
    /// Rereads the file, lists its configurations in section order and takes `current` from
    /// "Recent" (-1 when it names none). A missing file lists none; a file that cannot be
    /// read keeps what memory holds and is reported ("Cannot read PATH: reason"), at once
    /// when `tellErrors` is set, else only kept in LoadError() for the caller to show.
    void FillConfigList(bool tellErrors = true);
    /// Why the last FillConfigList could not read the file; empty when it could.
    const std::string& LoadError() const { return m_loadError; }
    /// Chooses configuration `index` (nothing happens outside 0..count-1): remembers it as
    /// "Recent" in the file and applies its parameter text.
    void SelectConfig(int index);
    /// When the inputs were changed since the current configuration was loaded or saved,
    /// asks "Save Changes?": Yes stores them in it, No leaves the file, Cancel goes back.
    /// Returns whether the caller may go on (choose another configuration, close): not after
    /// Cancel, nor when Yes could not store the inputs. Leaves modified as it was.
    [[nodiscard]] bool AskSaveChanges();
    /// Stores the inputs in the current configuration (nothing without one) and clears
    /// modified once they are in the file.
    void SaveConfig();
    /// Asks for a name and stores the inputs as a new configuration in the first free
    /// section C_1..C_999, then chooses it.
    void NewConfig();

    /// The name of configuration `index` as listed.
    std::string Name(int index) const { return m_file.Name(index); }
    /// Index of the chosen configuration in Sections(), -1 for none.
    int Current() const { return current; }
    /// The configurations' section names, in the order of the list.
    const XArray<ZString, false>& Sections() const { return m_file.Sections(); }
    const ZIni& Ini() const { return m_file.Ini(); }

private:
    /// Writes the changes into the file; on failure tells the user which file and why.
    /// Returns success; `created` receives the section of a configuration created.
    bool SaveFile(std::string* created = nullptr);
    /// The text to store as "Parms", or "" after telling the user there is nothing valid.
    std::string ParmsToSave();
    void ShowNotice(const std::string& text);

    DesignController& m_controller;
    ConfigStoreHost& m_host;
    ConfigFile m_file;
    std::string m_loadError;
    int current = -1;
};
