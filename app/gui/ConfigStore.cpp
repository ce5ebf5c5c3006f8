// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/gui/ConfigStore.h"

#include "app/engine/ConfigParms.h"
#include "app/gui/DesignController.h"

#include <utility>

ConfigStore::ConfigStore(DesignController& controller, ConfigStoreHost& host, std::string dir,
                         std::string file)
    : m_controller(controller)
    , m_host(host)
    , m_file(std::move(dir), std::move(file))
{
}

bool ConfigStore::ParmsToDialog(const std::string& text)
{
    const StoredParmsOutcome outcome = ApplyStoredParms(text, m_controller.Inputs());
    if (!outcome.Ok()) {
        ShowNotice(outcome.message);
        return false;
    }
    m_controller.FieldsApplied();
    return true;
}

void ConfigStore::FillConfigList(bool tellErrors)
{
    // A file that cannot be read keeps the list as memory holds it; the user is told why
    // (at start-up once the window is up), and nothing is written over that file.
    m_loadError.clear();
    if (!m_file.Load(m_loadError) && tellErrors) {
        ShowNotice(m_loadError);
    }
    m_host.ClearConfigList();
    for (int i = 0; i < m_file.Count(); ++i) {
        m_host.AddConfigItem(m_file.Name(i));
    }
    current = m_file.Recent();
    m_host.SelectConfigItem(current);
}

void ConfigStore::SelectConfig(int index)
{
    if (index < 0 || index >= m_file.Count()) {
        return;
    }
    std::string parms;
    if (!m_file.GetParms(index, parms)) {
        ShowNotice(kParmsKeyMissing);
        return;
    }
    m_file.SetRecent(index);
    // Failing to remember the choice is reported but does not stop the choice itself.
    SaveFile();
    if (ParmsToDialog(parms)) {
        m_controller.ApplyBuildChoice(m_file.GetBuildChoice(index));
    }
    current = index;
    m_host.SelectConfigItem(index);
}

bool ConfigStore::AskSaveChanges()
{
    if (!m_controller.IsModified() || current < 0 || current >= m_file.Count()) {
        return true;
    }
    const std::string name = m_file.Name(current, "unknown name");
    switch (m_host.ShowMessage("Parameters Changed", "Save Changes?\r\n" + name,
                               MessageButtons::YesNoCancel)) {
    case MessageAnswer::Cancel:
        return false;
    case MessageAnswer::No:
        return true;
    case MessageAnswer::Ok:
        break;
    }
    // Yes: only inputs that reached the file let the caller go on, or the change would be
    // lost after all.
    const std::string parms = ParmsToSave();
    if (parms.empty()) {
        return false;
    }
    m_file.SetParms(current, parms);
    m_file.SetBuildChoice(current, m_controller.Choice());
    return SaveFile();
}

void ConfigStore::SaveConfig()
{
    if (current < 0 || current >= m_file.Count()) {
        return;
    }
    const std::string parms = ParmsToSave();
    if (parms.empty()) {
        return;
    }
    m_file.SetParms(current, parms);
    m_file.SetBuildChoice(current, m_controller.Choice());
    // Only a change that reached the file counts as saved: after a failed write the inputs
    // stay marked as changed, so the user is asked again.
    if (SaveFile()) {
        m_controller.SetModified(false);
    }
}

void ConfigStore::NewConfig()
{
    // Inputs that cannot be stored are refused first: neither the save question nor the name
    // prompt would lead anywhere.
    const std::string parms = ParmsToSave();
    if (parms.empty() || !AskSaveChanges()) {
        return;
    }

    std::string name = current == -1 ? std::string("new name") : m_file.Name(current);
    if (!m_host.AskNewName(name)) {
        return;
    }
    name = ToStdString(ZStr(name.c_str(), int32_t(name.size())).Trim());
    if (name.empty()) {
        ShowNotice("Invalid Name");
        return;
    }

    const std::string section = m_file.Create(name, parms);
    if (section.empty()) {
        ShowNotice("Cannot create a new configuration: all sections C_1 to C_" +
                   std::to_string(kMaxConfigs) + " are in use.");
        return;
    }
    // Without the new section in the file, rereading it would not list it: the choice stays
    // as it was, and the section waits in memory for the next save that succeeds. The file
    // may have placed it in another section than the one free in memory.
    std::string created;
    if (!SaveFile(&created)) {
        return;
    }
    FillConfigList();
    // The new configuration keeps how the filter is built, as the options chose it.
    const int index = m_file.IndexOf(created);
    m_file.SetBuildChoice(index, m_controller.Choice());
    SaveFile();
    SelectConfig(index);
}

bool ConfigStore::SaveFile(std::string* created)
{
    std::string error;
    if (m_file.Save(error, created)) {
        return true;
    }
    ShowNotice(error);
    return false;
}

std::string ConfigStore::ParmsToSave()
{
    std::string parms = m_controller.ParmsToStore();
    if (parms.empty()) {
        ShowNotice("The inputs are not valid; nothing was saved.");
    }
    return parms;
}

void ConfigStore::ShowNotice(const std::string& text)
{
    m_host.ShowMessage(kCaption, text, MessageButtons::Ok);
}
