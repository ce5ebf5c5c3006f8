#pragma once

#include "app/engine/ConfigParms.h"
#include "base/XArray.h"
#include "base/ZIni.h"
#include "base/ZString.h"

#include <string>

/// The calculator's configuration file (by default ./Tessera.ini): sections "C_1" to "C_999",
/// each a named configuration with a "Name" shown in lists and a "Parms" holding its
/// parameter text; the default section's "Recent" names the configuration chosen last. The
/// window and the command line read and write it through this one class, so a name means
/// the same configuration in both.
class ConfigFile
{
public:
    /// The highest k of a section name "C_k" that Create uses.
    static constexpr int kMaxConfigs = 999;

    /// The file is `file` in the folder `dir` (see ZIni::FormPath). Nothing is read yet.
    explicit ConfigFile(std::string dir = ".", std::string file = kConfigFileName);

    /// Reads the file again and lists its configurations: the sections "C_..." in byte order
    /// of their names. A missing or unreadable file keeps what memory holds.
    void Load();

    /// The number of configurations listed.
    int Count() const { return int(m_sections.Count()); }
    /// The section of configuration `index` (0..Count()-1).
    const ZString& Section(int index) const { return m_sections[index]; }
    const XArray<ZString, false>& Sections() const { return m_sections; }
    /// The name of configuration `index`, `def` when it has none.
    std::string Name(int index, const char* def = "?") const;
    /// The configuration named `name` (compared without surrounding blanks, as names are
    /// stored): the first in list order; failing that, the one whose section is `name`, which
    /// tells apart configurations that share a name. -1 when there is none.
    int Find(const std::string& name) const;
    /// The stored parameter text of configuration `index`; false when it has no "Parms".
    bool GetParms(int index, std::string& parms) const;
    /// The configuration "Recent" names, -1 for none.
    int Recent() const;

    /// Changes in memory; Save writes them.
    void SetRecent(int index);
    void SetParms(int index, const std::string& parms);
    /// Adds a configuration in the first free section C_1..C_999 and returns that section;
    /// empty when every section is in use. The list is not refreshed until the next Load.
    std::string Create(const std::string& name, const std::string& parms);

    /// Writes the file with the safe replacement. False with "Cannot save PATH: reason" in
    /// `error`; the changes stay in memory.
    bool Save(std::string& error);

    /// The file's full name ("./Tessera.ini").
    std::string Path() const;
    const ZIni& Ini() const { return m_ini; }

private:
    std::string m_dir;
    std::string m_file;
    ZIni m_ini;
    XArray<ZString, false> m_sections;
};
