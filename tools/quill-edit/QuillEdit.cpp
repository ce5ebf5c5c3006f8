// SPDX-License-Identifier: GPL-2.0-or-later
// quill-edit [--read-only] [FILE]
//
// Opens a resizable window whose client area is the library's editor control with the
// text of FILE. Ctrl+S writes the text back (a temporary file renamed over the old one),
// with the line breaks the file had (LF or CR LF); closing the window with unsaved changes
// asks first. Without FILE the editor starts empty and Ctrl+S asks for a name. A file that
// cannot be read, or is not text, is reported on stderr with exit status 1.

#include "../ToolArgs.h"
#include "QuillEditApp.h"
#include "base/ZString.h"
#include "edit/XMEdit.h"
#include "platform/Application.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

void Usage()
{
    std::fputs("usage: quill-edit [--read-only] [FILE]\n"
               "  Edits FILE in a window; Ctrl+S saves it with its own line breaks.\n",
               stderr);
}

} // namespace

int main(int argc, char** argv)
{
    const ToolArgs args = ReadToolArgs(argc, argv, "quill-edit", "--read-only", Usage);
    if (args.exitStatus >= 0) {
        return args.exitStatus;
    }
    const bool readOnly = args.flag;
    const char* path = args.path;
    ZString text;
    ZStr sep("\n", 1);
    if (path) {
        ZString error;
        if (!XMEdit::ReadTextFile(path, text, error)) {
            std::fprintf(stderr, "quill-edit: %s\n", error.Text());
            return 1;
        }
        sep = XMEdit::LineBreakOf(text.Str());
    }
    if (!plat::InitDisplay()) {
        std::fputs("quill-edit: no display to open a window on\n", stderr);
        return 1;
    }
    QuillEditApp app(path ? path : "", readOnly);
    if (!app.Open(text, sep)) {
        std::fputs("quill-edit: the window could not be created\n", stderr);
        return 1;
    }
    text = ZString(); // the editor holds its own copy
    return plat::RunLoop();
}
