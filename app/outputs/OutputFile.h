// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <string>
#include <string_view>

/// Stores `bytes` at `path` with the library's safe file replacement, so a failed write keeps
/// the old file. False with "cannot write 'PATH': reason" in `error`.
[[nodiscard]] bool WriteOutputFile(const std::string& path, std::string_view bytes,
                                   std::string& error);
