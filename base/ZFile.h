#pragma once

#include "base/ZStr.h"
#include "base/ZString.h"

#include <cstddef>

/// Creates an empty temporary file beside path (path + ".tmp-XXXXXX") with the permissions of
/// the file it will replace, or of a new file when there is none. Returns its name and the
/// open descriptor in fd; fd is -1 (and errno says why) when it could not be created.
ZString ZMakeTempBeside(ZStr path, int& fd);

/// Writes all n bytes to fd, retrying interrupted and partial writes.
[[nodiscard]] bool ZWriteAll(int fd, const char* p, size_t n);

/// Replaces the file at path with contents: the text is written to a temporary file beside
/// it, flushed to the disk and renamed over the old file, so that a crash or a full disk in
/// the middle leaves the old file as it was. On failure the temporary file is removed and
/// errorCode (when given) receives the errno of the step that failed.
[[nodiscard]] bool ZReplaceFile(ZStr path, ZStr contents, int* errorCode = nullptr);
