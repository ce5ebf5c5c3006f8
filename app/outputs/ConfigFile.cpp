// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/outputs/ConfigFile.h"

#include "base/ZFile.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace {

constexpr const char* kSectionPrefix = "C_";
// How long a save waits for another program's save to finish before giving up.
constexpr auto kLockPatience = std::chrono::seconds(5);

// An exclusive advisory lock on a folder, held while the object lives. Saves lock the folder
// rather than the file: the file is replaced by a new one on every save, and a lock on the
// old one would not keep a second writer away from the new one. The kernel drops the lock
// when its holder dies, so a killed program never leaves the file locked.
class FolderLock
{
public:
    explicit FolderLock(const std::string& dir)
    {
        m_fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (m_fd < 0) {
            m_error = std::strerror(errno);
            return;
        }
        const auto deadline = std::chrono::steady_clock::now() + kLockPatience;
        while (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK && errno != EINTR) {
                m_error = std::strerror(errno);
                return;
            }
            if (std::chrono::steady_clock::now() > deadline) {
                m_error = "another program is saving it";
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        m_locked = true;
    }
    ~FolderLock()
    {
        if (m_fd >= 0) {
            ::close(m_fd); // closing drops the lock
        }
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    bool Locked() const { return m_locked; }
    const std::string& Error() const { return m_error; }

private:
    int m_fd = -1;
    bool m_locked = false;
    std::string m_error;
};

} // namespace

ConfigFile::ConfigFile(std::string dir, std::string file)
    : m_dir(std::move(dir))
    , m_file(std::move(file))
    , m_ini(std::make_unique<ZIni>())
{
    m_ini->path = ZIni::FormPath(ZStr(m_dir.c_str()), ZStr(m_file.c_str()));
}

ConfigFile::~ConfigFile() = default;

bool ConfigFile::ReadFile(ZIni& ini, std::string& reason) const
{
    ini.path = ZIni::FormPath(ZStr(m_dir.c_str()), ZStr(m_file.c_str()));
    // Opened without blocking, so that a fifo in the file's place cannot hang the program;
    // only a regular file of a sane size is read.
    const int fd = ::open(ini.path.Text(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) {
            ini.Clear();
            return true;
        }
        reason = std::strerror(errno);
        return false;
    }
    struct stat st;
    std::string contents;
    if (::fstat(fd, &st) != 0) {
        reason = std::strerror(errno);
    } else if (!S_ISREG(st.st_mode)) {
        reason = "not a regular file";
    } else if (st.st_size > kMaxBytes) {
        reason = "larger than " + std::to_string(kMaxBytes / (1024 * 1024)) + " MiB";
    } else {
        contents.resize(size_t(st.st_size));
        size_t done = 0;
        while (reason.empty() && done < contents.size()) {
            const ssize_t n = ::read(fd, &contents[done], contents.size() - done);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0) {
                reason = std::strerror(errno);
            } else if (n == 0) {
                contents.resize(done); // the file shrank while it was read
            } else {
                done += size_t(n);
            }
        }
    }
    ::close(fd);
    if (!reason.empty()) {
        return false;
    }
    // A section header without "]" is kept verbatim by the parser; the file is read all the
    // same.
    (void)ini.LoadText(ZStr(contents.data(), int32_t(contents.size())));
    return true;
}

bool ConfigFile::Load(std::string& error)
{
    auto fresh = std::make_unique<ZIni>();
    std::string reason;
    if (!ReadFile(*fresh, reason)) {
        m_readError = reason;
        error = "Cannot read " + Path() + ": " + reason;
        return false;
    }
    m_readError.clear();
    for (Change& change : m_changes) {
        const std::string placed = Apply(*fresh, change);
        if (change.key.empty()) {
            change.section = placed;
        }
    }
    m_ini = std::move(fresh);
    ListSections();
    return true;
}

void ConfigFile::ListSections()
{
    m_ini->ListSections(m_sections, true, true, ZStr(kSectionPrefix));
}

std::string ConfigFile::Apply(ZIni& ini, const Change& change)
{
    if (!change.key.empty()) {
        ini.Set(ZStr(change.section.c_str()), ZStr(change.key.c_str()), ZStr(change.value.c_str()));
        return change.section;
    }
    for (int k = 1; k <= kMaxConfigs; ++k) {
        char section[16];
        std::snprintf(section, sizeof section, "%s%d", kSectionPrefix, k);
        if (!ini.HasSection(ZStr(section))) {
            ini.Set(ZStr(section), ZStr("Name"), ZStr(change.value.c_str()));
            ini.Set(ZStr(section), ZStr("Parms"), ZStr(change.parms.c_str()));
            return section;
        }
    }
    return std::string();
}

std::string ConfigFile::Name(int index, const char* def) const
{
    ZString name;
    m_ini->Get(m_sections[index], ZStr("Name"), name, ZStr(def));
    return ToStdString(name.Str());
}

int ConfigFile::Find(const std::string& name) const
{
    const ZStr wanted = ZStr(name.c_str(), int32_t(name.size())).Trim();
    for (int i = 0; i < Count(); ++i) {
        ZString stored;
        if (m_ini->Get(m_sections[i], ZStr("Name"), stored) && stored.Str() == wanted) {
            return i;
        }
    }
    return IndexOf(ToStdString(wanted));
}

int ConfigFile::IndexOf(const std::string& section) const
{
    for (int i = 0; i < Count(); ++i) {
        if (m_sections[i].Str() == ZStr(section.c_str(), int32_t(section.size()))) {
            return i;
        }
    }
    return -1;
}

bool ConfigFile::GetParms(int index, std::string& parms) const
{
    ZString stored;
    if (!m_ini->Get(m_sections[index], ZStr("Parms"), stored, ZStr(""))) {
        return false;
    }
    parms = ToStdString(stored.Str());
    return true;
}

BuildChoice ConfigFile::GetBuildChoice(int index) const
{
    BuildChoice choice;
    if (index < 0 || index >= Count()) {
        return choice;
    }
    ZString value;
    m_ini->Get(m_sections[index], ZStr("Feed"), value, ZStr("wall"));
    choice.feed = ToStdString(value.Str()) == "cover" ? FeedKind::Cover : FeedKind::Wall;
    m_ini->Get(m_sections[index], ZStr("Corrected"), value, ZStr("0"));
    choice.corrected = ToStdString(value.Str()) == "1";
    return choice;
}

int ConfigFile::Recent() const
{
    ZString recent;
    m_ini->Get(ZStr(""), ZStr("Recent"), recent, ZStr("?"));
    return IndexOf(ToStdString(recent.Str()));
}

void ConfigFile::SetRecent(int index)
{
    if (index < 0 || index >= Count()) {
        return;
    }
    const Change change{"", "Recent", ToStdString(m_sections[index].Str()), ""};
    Apply(*m_ini, change);
    m_changes.push_back(change);
}

void ConfigFile::SetParms(int index, const std::string& parms)
{
    if (index < 0 || index >= Count()) {
        return;
    }
    const Change change{ToStdString(m_sections[index].Str()), "Parms", parms, ""};
    Apply(*m_ini, change);
    m_changes.push_back(change);
}

void ConfigFile::SetBuildChoice(int index, const BuildChoice& choice)
{
    if (index < 0 || index >= Count()) {
        return;
    }
    const std::string section = ToStdString(m_sections[index].Str());
    const std::pair<const char*, std::string> keys[] = {
        {"Feed", FeedKindName(choice.feed)},
        {"Corrected", choice.corrected ? "1" : "0"},
    };
    const bool isDefault = choice.feed == FeedKind::Wall && !choice.corrected;
    for (const auto& [key, value] : keys) {
        ZString stored;
        const bool present = m_ini->Get(m_sections[index], ZStr(key), stored, ZStr(""));
        if ((isDefault && !present) || (present && ToStdString(stored.Str()) == value)) {
            continue;
        }
        const Change change{section, key, value, ""};
        Apply(*m_ini, change);
        m_changes.push_back(change);
    }
}

std::string ConfigFile::Create(const std::string& name, const std::string& parms)
{
    Change change{"", "", name, parms};
    change.section = Apply(*m_ini, change);
    if (!change.section.empty()) {
        m_changes.push_back(change);
    }
    return change.section;
}

bool ConfigFile::Save(std::string& error, std::string* created)
{
    if (!m_readError.empty()) {
        error = "Cannot read " + Path() + ": " + m_readError;
        return false;
    }
    const FolderLock lock(m_dir);
    if (!lock.Locked()) {
        error = "Cannot save " + Path() + ": " + lock.Error();
        return false;
    }
    auto fresh = std::make_unique<ZIni>();
    std::string reason;
    if (!ReadFile(*fresh, reason)) {
        error = "Cannot read " + Path() + ": " + reason;
        return false;
    }
    // The changes go into the file as it is now; a section this object chose for a new
    // configuration may have been taken by another program meanwhile, so creations choose
    // again, and a "Recent" that named the chosen section follows it.
    std::vector<Change> changes = m_changes;
    std::string placed;
    for (Change& change : changes) {
        if (change.key.empty()) {
            const std::string chosen = change.section;
            change.section = Apply(*fresh, change);
            for (Change& later : changes) {
                if (later.key == "Recent" && later.value == chosen) {
                    later.value = change.section;
                }
            }
            placed = change.section;
        } else {
            Apply(*fresh, change);
        }
    }
    int code = 0;
    if (!fresh->Save(ZStr(m_dir.c_str()), ZStr(m_file.c_str()), true, &code)) {
        error = "Cannot save " + Path() + ": " + ToStdString(ZFileErrorText(code).Str());
        return false;
    }
    m_changes.clear();
    // The list comes from a parse; sections the changes added are listed once the saved
    // text is parsed again.
    const ZString saved = fresh->BuildText(true);
    (void)fresh->LoadText(saved.Str());
    m_ini = std::move(fresh);
    ListSections();
    if (created != nullptr) {
        *created = placed;
    }
    return true;
}

std::string ConfigFile::Path() const
{
    return ToStdString(m_ini->path.Str());
}
