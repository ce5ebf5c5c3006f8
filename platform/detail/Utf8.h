// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Private to the platform library: the text conversions its drawing and clipboard code share.

#include <string>

namespace plat::detail {

/// Each byte of Latin-1 text as its UTF-8 encoding (bytes below 0x80 stay as they are).
std::string Latin1ToUtf8(const std::string& text);

/// The text turned into valid UTF-8 without NUL bytes: valid UTF-8 stays as it is; otherwise
/// every byte is read as Latin-1 and NUL bytes are dropped.
std::string ToUtf8(const std::string& text);

} // namespace plat::detail
