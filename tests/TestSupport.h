#pragma once

// Small helpers shared by the test programs.

#include "base/ZStr.h"

#include <cstddef>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
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
