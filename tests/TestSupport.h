// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

// Small helpers shared by the test programs.

#include "base/ZStr.h"

#include <cstddef>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

/// The characters of a text view as a string.
inline std::string S(ZStr s)
{
    return s.len > 0 ? std::string(s.ptr, size_t(s.len)) : std::string();
}

/// The whole content of a file, or an empty text when it cannot be read.
inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

/// A path in the test's temporary folder, unique to this process.
inline std::string TempPath(const std::string& name)
{
    return ::testing::TempDir() + "tessera_" + std::to_string(getpid()) + "_" + name;
}

/// A fresh folder under /tmp for one test, removed with everything in it when the object goes,
/// also after a failed assertion and when a test left it read-only. Made() is false when the
/// folder could not be created.
class TempFolder
{
public:
    /// The folder's name is `prefix` followed by six random characters.
    explicit TempFolder(const std::string& prefix)
    {
        std::string pattern = "/tmp/" + prefix + "XXXXXX";
        if (::mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~TempFolder()
    {
        if (m_path.empty())
            return;
        ::chmod(m_path.c_str(), 0700);
        EXPECT_EQ(std::system(("rm -rf '" + m_path + "'").c_str()), 0) << m_path;
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    bool Made() const { return !m_path.empty(); }
    const std::string& Path() const { return m_path; }
    /// The path of `name` in the folder.
    std::string File(const std::string& name) const { return m_path + "/" + name; }
    /// Writes `contents` byte for byte to `name` in the folder.
    void Write(const std::string& name, const std::string& contents) const
    {
        std::ofstream(File(name), std::ios::binary) << contents;
    }
    /// The content of `name` in the folder, or an empty text.
    std::string Read(const std::string& name) const { return ReadFile(File(name)); }

private:
    std::string m_path;
};
