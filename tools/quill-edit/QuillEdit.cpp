// quill-edit [--read-only] [FILE]
//
// Opens a resizable window whose client area is the library's editor control with the
// text of FILE. Ctrl+S writes the text back (a temporary file renamed over the old one),
// with the line breaks the file had (LF or CR LF); closing the window with unsaved changes
// asks first. Without FILE the editor starts empty and Ctrl+S asks for a name. A file that
// cannot be read, or is not text, is reported on stderr with exit status 1.

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
    bool readOnly = false;
    const char* path = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--read-only") == 0) {
            readOnly = true;
        } else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            Usage();
            return 0;
        } else if (argv[i][0] == '-' && argv[i][1] != 0) {
            std::fprintf(stderr, "quill-edit: unknown option %s\n", argv[i]);
            Usage();
            return 2;
        } else if (path) {
            std::fputs("quill-edit: only one FILE\n", stderr);
            Usage();
            return 2;
        } else {
            path = argv[i];
        }
    }
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
