// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/ZStr.h"
#include "base/ZString.h"

#include <cstddef>

/// Error code of ZReplaceFile for a target that exists but is not a regular file (a device,
/// a fifo, a socket): such a target is never written through. Not an errno value.
inline constexpr int kZFileNotRegular = -1;

/// The text of an error code of ZReplaceFile: the system's message for an errno value
/// ("Permission denied"), "not a regular file" for kZFileNotRegular.
ZString ZFileErrorText(int code);

/// Replaces the file at path with size bytes at data, safely: the bytes go to a temporary
/// file in the target's folder, are flushed to the disk, and the temporary file is renamed
/// over the target, then the folder is flushed. A crash, a kill or a full disk at any moment
/// leaves either the old or the new file, never a mixture; a failed write leaves the old file
/// byte for byte and removes the temporary file.
///
/// A symbolic link is followed (through a chain of links) and its final target replaced, the
/// link itself stays; a dangling link creates the file it names. The new file keeps the
/// owner and mode of the file it replaces where the process may set them; a new file gets
/// 0666 less the umask. A target without a write bit for anyone, or one the process may not
/// write, is refused with EACCES even where the process could (root); a folder with EISDIR;
/// a device, fifo or socket with kZFileNotRegular. Temporary files are named ".tsr-" and a
/// few characters, whatever the target's name, and are held locked while in use; what an
/// interrupted save of the same target left behind is removed by the next save.
///
/// Returns false on failure; errorCode (when given) receives the errno of the step that
/// failed or kZFileNotRegular, and 0 on success. Once the rename is done the save has
/// succeeded, even where the folder could not be flushed.
[[nodiscard]] bool ZReplaceFile(ZStr path, const char* data, size_t size, int* errorCode = nullptr);

/// The message of a write that failed with `code` (an error code of ZReplaceFile):
/// "cannot write 'PATH'" and, for a code other than 0, ": " and its text.
ZString ZWriteErrorText(ZStr path, int code);

/// ZReplaceFile that says why it failed: false with ZWriteErrorText in `message`.
[[nodiscard]] bool ZReplaceFile(ZStr path, const char* data, size_t size, ZString& message);

/// ZReplaceFile for a text.
[[nodiscard]] inline bool ZReplaceFile(ZStr path, ZStr contents, int* errorCode = nullptr)
{
    return ZReplaceFile(path, contents.ptr, contents.len > 0 ? size_t(contents.len) : 0, errorCode);
}
