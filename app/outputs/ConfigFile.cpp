#include "app/outputs/ConfigFile.h"

#include "base/ZFile.h"

#include <cstdio>
#include <utility>

namespace {

constexpr const char* kSectionPrefix = "C_";

} // namespace

ConfigFile::ConfigFile(std::string dir, std::string file)
    : m_dir(std::move(dir))
    , m_file(std::move(file))
{
    m_ini.path = ZIni::FormPath(ZStr(m_dir.c_str()), ZStr(m_file.c_str()));
}

void ConfigFile::Load()
{
    // Read again every time, so that configurations another program added show up.
    (void)m_ini.Load(ZStr(m_dir.c_str()), ZStr(m_file.c_str()), false);
    m_ini.ListSections(m_sections, true, true, ZStr(kSectionPrefix));
}

std::string ConfigFile::Name(int index, const char* def) const
{
    ZString name;
    m_ini.Get(m_sections[index], ZStr("Name"), name, ZStr(def));
    return ToStdString(name.Str());
}

int ConfigFile::Find(const std::string& name) const
{
    const ZStr wanted = ZStr(name.c_str(), int32_t(name.size())).Trim();
    for (int i = 0; i < Count(); ++i) {
        ZString stored;
        if (m_ini.Get(m_sections[i], ZStr("Name"), stored) && stored.Str() == wanted) {
            return i;
        }
    }
    for (int i = 0; i < Count(); ++i) {
        if (m_sections[i].Str() == wanted) {
            return i;
        }
    }
    return -1;
}

bool ConfigFile::GetParms(int index, std::string& parms) const
{
    ZString stored;
    if (!m_ini.Get(m_sections[index], ZStr("Parms"), stored, ZStr(""))) {
        return false;
    }
    parms = ToStdString(stored.Str());
    return true;
}

int ConfigFile::Recent() const
{
    ZString recent;
    m_ini.Get(ZStr(""), ZStr("Recent"), recent, ZStr("?"));
    for (int i = 0; i < Count(); ++i) {
        if (m_sections[i] == recent) {
            return i;
        }
    }
    return -1;
}

void ConfigFile::SetRecent(int index)
{
    m_ini.Set(ZStr(""), ZStr("Recent"), m_sections[index]);
}

void ConfigFile::SetParms(int index, const std::string& parms)
{
    m_ini.Set(m_sections[index], ZStr("Parms"), ZStr(parms.c_str()));
}

std::string ConfigFile::Create(const std::string& name, const std::string& parms)
{
    for (int k = 1; k <= kMaxConfigs; ++k) {
        char section[16];
        std::snprintf(section, sizeof section, "%s%d", kSectionPrefix, k);
        if (!m_ini.HasSection(ZStr(section))) {
            m_ini.Set(ZStr(section), ZStr("Name"), ZStr(name.c_str()));
            m_ini.Set(ZStr(section), ZStr("Parms"), ZStr(parms.c_str()));
            return section;
        }
    }
    return std::string();
}

bool ConfigFile::Save(std::string& error)
{
    int code = 0;
    if (m_ini.Save(ZStr(m_dir.c_str()), ZStr(m_file.c_str()), true, &code)) {
        return true;
    }
    error = "Cannot save " + Path() + ": " + ToStdString(ZFileErrorText(code).Str());
    return false;
}

std::string ConfigFile::Path() const
{
    return ToStdString(m_ini.path.Str());
}
