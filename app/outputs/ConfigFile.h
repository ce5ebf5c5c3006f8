// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "app/engine/ComputedDesign.h"
#include "app/engine/ConfigParms.h"
#include "base/XArray.h"
#include "base/ZIni.h"
#include "base/ZString.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

/// The calculator's configuration file (by default ./Tessera.ini): sections "C_1" to "C_999",
/// each a named configuration with a "Name" shown in lists and a "Parms" holding its
/// parameter text; the default section's "Recent" names the configuration chosen last. The
/// window and the command line read and write it through this one class, so a name means
/// the same configuration in both.
///
/// Several programs may use one file at once (two windows, a window and a script). A save
/// therefore never writes what this object read some time ago: under an advisory lock on the
/// file's folder it reads the file as it is now, applies only the changes made through this
/// object since its last save, and replaces the file safely. A new configuration takes the
/// first section free in the file at that moment. A file that exists but cannot be read (no
/// permission, not a regular file, larger than kMaxBytes) is never written over.
class ConfigFile
{
public:
    /// The highest k of a section name "C_k" that Create uses.
    static constexpr int kMaxConfigs = 999;
    /// The largest file read; a larger one is refused rather than read into memory.
    static constexpr int64_t kMaxBytes = 64 * 1024 * 1024;

    /// The file is `file` in the folder `dir` (see ZIni::FormPath). Nothing is read yet.
    explicit ConfigFile(std::string dir = ".", std::string file = kConfigFileName);
    ~ConfigFile();

    /// Reads the file again and lists its configurations: the sections "C_..." in byte order
    /// of their names; changes not yet saved are applied to what was read. A missing file
    /// lists none. A file that exists but cannot be read keeps what memory holds and returns
    /// false with "Cannot read PATH: reason" in `error`; saves are refused until a read
    /// succeeds.
    bool Load(std::string& error);

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
    /// The index of the configuration in `section`, -1 when it is not listed.
    int IndexOf(const std::string& section) const;
    /// The stored parameter text of configuration `index`; false when it has no "Parms".
    bool GetParms(int index, std::string& parms) const;
    /// How configuration `index` is built: its "Feed" ("wall" or "cover") and "Corrected"
    /// ("1") keys. These live beside "Parms" rather than in it, because a parameter text of
    /// more than its ten parts is refused by the readers of the file. Absent keys (every file
    /// written before they existed) mean a wall feed and uncorrected dimensions.
    BuildChoice GetBuildChoice(int index) const;
    /// The configuration "Recent" names, -1 for none.
    int Recent() const;

    /// Changes, made in memory at once and written by the next Save; an index outside the
    /// list changes nothing.
    void SetRecent(int index);
    void SetParms(int index, const std::string& parms);
    /// Stores the build choice of configuration `index`. A default choice is written only
    /// over keys already there, so configurations that never left it keep their old form.
    void SetBuildChoice(int index, const BuildChoice& choice);
    /// Adds a configuration in the first section C_1..C_999 free in memory and returns that
    /// section; empty when every section is in use. Save may place it in another section
    /// (the first free in the file as it is then); `Save` returns where it went.
    std::string Create(const std::string& name, const std::string& parms);

    /// Writes the changes made since the last save into the file as it is now, under the
    /// folder's lock, with the safe replacement, then lists the file's configurations. When a
    /// configuration was created, `created` (if given) receives its section in the file.
    /// False with "Cannot save PATH: reason" (or "Cannot read PATH: reason") in `error`; the
    /// changes stay in memory for the next save.
    bool Save(std::string& error, std::string* created = nullptr);

    /// The file's full name ("./Tessera.ini").
    std::string Path() const;
    const ZIni& Ini() const { return *m_ini; }

private:
    /// One change made through this object: a key set, or a configuration created.
    struct Change
    {
        std::string section; ///< empty for the default section; for Create the section chosen
        std::string key;     ///< empty: Create, with `value` the name and `parms` the text
        std::string value;
        std::string parms;
    };

    /// Reads the file into `ini`. True for a missing file (left empty) and a file read; false
    /// with the reason in `reason` for one that exists but cannot be read.
    bool ReadFile(ZIni& ini, std::string& reason) const;
    /// Applies `change` to `ini`; a creation takes the first free section of `ini` and
    /// returns it.
    static std::string Apply(ZIni& ini, const Change& change);
    void ListSections();

    std::string m_dir;
    std::string m_file;
    std::unique_ptr<ZIni> m_ini;
    XArray<ZString, false> m_sections;
    std::vector<Change> m_changes;
    std::string m_readError; ///< why the last read failed; empty when it succeeded
};
