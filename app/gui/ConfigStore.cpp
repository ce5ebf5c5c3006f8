#include "app/gui/ConfigStore.h"

#include "app/engine/ConfigParms.h"
#include "app/gui/DesignController.h"
#include "base/ZFile.h"

#include <cstdio>
#include <utility>

namespace {

constexpr const char* kSectionPrefix = "C_";

std::string ToString(const ZString& s)
{
    return std::string(s.Text(), size_t(s.Length()));
}

std::string TrimBlanks(const std::string& s)
{
    const ZStr trimmed = ZStr(s.data(), int32_t(s.size())).Trim();
    return trimmed.len > 0 ? std::string(trimmed.ptr, size_t(trimmed.len)) : std::string();
}

} // namespace

ConfigStore::ConfigStore(DesignController& controller, ConfigStoreHost& host, std::string dir,
                         std::string file)
    : m_controller(controller)
    , m_host(host)
    , m_dir(std::move(dir))
    , m_file(std::move(file))
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

void ConfigStore::FillConfigList()
{
    // The file is read again every time, so that configurations another program added show
    // up; a missing or unreadable file leaves the model as it was.
    (void)m_ini.Load(ZStr(m_dir.c_str()), ZStr(m_file.c_str()), false);
    m_ini.ListSections(sections, true, true, ZStr(kSectionPrefix));

    m_host.ClearConfigList();
    for (int32_t i = 0; i < sections.Count(); ++i) {
        ZString name;
        m_ini.Get(sections[i], ZStr("Name"), name, ZStr("?"));
        m_host.AddConfigItem(ToString(name));
    }

    ZString recent;
    m_ini.Get(ZStr(""), ZStr("Recent"), recent, ZStr("?"));
    current = -1;
    for (int32_t i = 0; i < sections.Count(); ++i) {
        if (sections[i] == recent) {
            current = i;
            break;
        }
    }
    m_host.SelectConfigItem(current);
}

void ConfigStore::SelectConfig(int index)
{
    if (index < 0 || index >= sections.Count()) {
        return;
    }
    // A copy: the list may be refilled while the configuration is applied.
    const ZString section = sections[index];
    ZString parms;
    if (!m_ini.Get(section, ZStr("Parms"), parms, ZStr(""))) {
        ShowNotice(kParmsKeyMissing);
        return;
    }
    m_ini.Set(ZStr(""), ZStr("Recent"), section);
    // Failing to remember the choice is reported but does not stop the choice itself.
    SaveFile();
    ParmsToDialog(ToString(parms));
    current = index;
    m_host.SelectConfigItem(index);
}

void ConfigStore::AskSaveChanges()
{
    if (!m_controller.IsModified() || current < 0 || current >= sections.Count()) {
        return;
    }
    const std::string name = CurrentValue("Name", "unknown name");
    if (!m_host.ShowMessage("Parameters Changed", "Save Changes?\r\n" + name,
                            MessageButtons::OkCancel)) {
        return;
    }
    const std::string parms = ParmsToSave();
    if (parms.empty()) {
        return;
    }
    m_ini.Set(sections[current], ZStr("Parms"), ZStr(parms.c_str()));
    SaveFile();
}

void ConfigStore::SaveConfig()
{
    if (current < 0 || current >= sections.Count()) {
        return;
    }
    const std::string parms = ParmsToSave();
    if (parms.empty()) {
        return;
    }
    m_ini.Set(sections[current], ZStr("Parms"), ZStr(parms.c_str()));
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
    if (parms.empty()) {
        return;
    }
    AskSaveChanges();

    std::string name = current == -1 ? std::string("new name") : CurrentValue("Name", "?");
    if (!m_host.AskNewName(name)) {
        return;
    }
    name = TrimBlanks(name);
    if (name.empty()) {
        ShowNotice("Invalid Name");
        return;
    }

    char section[16] = "";
    bool found = false;
    for (int k = 1; k <= kMaxConfigs && !found; ++k) {
        std::snprintf(section, sizeof section, "C_%d", k);
        found = !m_ini.HasSection(ZStr(section));
    }
    if (!found) {
        ShowNotice("Cannot create a new configuration: all sections C_1 to C_" +
                   std::to_string(kMaxConfigs) + " are in use.");
        return;
    }

    m_ini.Set(ZStr(section), ZStr("Name"), ZStr(name.c_str()));
    m_ini.Set(ZStr(section), ZStr("Parms"), ZStr(parms.c_str()));
    // Without the new section in the file, rereading it would not list it: the choice stays
    // as it was, and the section waits in memory for the next save that succeeds.
    if (!SaveFile()) {
        return;
    }

    FillConfigList();
    int index = -1;
    for (int32_t i = 0; i < sections.Count(); ++i) {
        if (sections[i] == section) {
            index = i;
            break;
        }
    }
    SelectConfig(index);
}

bool ConfigStore::SaveFile()
{
    int code = 0;
    if (m_ini.Save(ZStr(m_dir.c_str()), ZStr(m_file.c_str()), true, &code)) {
        return true;
    }
    ShowNotice("Cannot save " + ToString(m_ini.path) + ": " + ToString(ZFileErrorText(code)));
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

std::string ConfigStore::CurrentValue(const char* key, const char* def) const
{
    ZString value;
    m_ini.Get(sections[current], ZStr(key), value, ZStr(def));
    return ToString(value);
}

void ConfigStore::ShowNotice(const std::string& text)
{
    m_host.ShowMessage(kCaption, text, MessageButtons::Ok);
}
