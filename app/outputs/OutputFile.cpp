// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/outputs/OutputFile.h"

#include "base/ZFile.h"

bool WriteOutputFile(const std::string& path, std::string_view bytes, std::string& error)
{
    ZString message;
    if (ZReplaceFile(ZStr(path.c_str()), bytes.data(), bytes.size(), message)) {
        return true;
    }
    error = ToStdString(message.Str());
    return false;
}
