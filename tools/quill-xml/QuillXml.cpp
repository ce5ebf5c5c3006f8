// SPDX-License-Identifier: GPL-2.0-or-later
// quill-xml [--keep-breaks] FILE
//
// Parses FILE with the library's XML parser and prints the tree back (exit 0), so that a
// user can check a markup or chart file and see how the library reads it. On a parse error
// it prints "error CODE: TEXT" and the line and column where the parser stopped (exit 1).

#include "../ToolArgs.h"
#include "base/ZString.h"
#include "xml/TXML.h"

#include <cstdio>
#include <cstring>

namespace {

void Usage()
{
    std::fputs("usage: quill-xml [--keep-breaks] FILE\n"
               "  Parses FILE and prints the tree back; --keep-breaks keeps CR LF line\n"
               "  breaks inside text, as markup dialogs read it.\n",
               stderr);
}

// Line and column (both from 1) of a byte offset, counting LF, CR and CR LF as one break.
void LineAndColumn(const char* path, int32_t offset, long& line, long& column)
{
    line = 1;
    column = 1;
    std::FILE* f = std::fopen(path, "rb");
    if (!f) {
        return;
    }
    int prev = 0;
    for (int32_t i = 0; i < offset; ++i) {
        int c = std::fgetc(f);
        if (c == EOF) {
            break;
        }
        if (c == '\n' && prev == '\r') {
            // The second half of a CR LF pair.
        } else if (c == '\n' || c == '\r') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
        prev = c;
    }
    std::fclose(f);
}

} // namespace

int main(int argc, char** argv)
{
    const ToolArgs args = ReadToolArgs(argc, argv, "quill-xml", "--keep-breaks", Usage);
    if (args.exitStatus >= 0) {
        return args.exitStatus;
    }
    const TXML::LineBreaks breaks = args.flag ? TXML::LineBreaks::Keep : TXML::LineBreaks::Fold;
    const char* path = args.path;
    if (!path) {
        Usage();
        return 2;
    }

    TXML xml;
    if (!xml.ParseFile(path, breaks)) {
        std::fprintf(stderr, "error %d: %s\n", int(xml.GetErrorCode()), xml.GetErrorText().Text());
        if (xml.GetErrorOffset() >= 0) {
            long line = 1;
            long column = 1;
            LineAndColumn(path, xml.GetErrorOffset(), line, column);
            std::fprintf(stderr, "%s:%ld:%ld: the parser stopped here\n", path, line, column);
        }
        return 1;
    }
    ZString out;
    xml.Print(out);
    if (std::fwrite(out.Text(), 1, size_t(out.Length()), stdout) != size_t(out.Length()) ||
        std::fflush(stdout) != 0) {
        std::fputs("quill-xml: could not write the output\n", stderr);
        return 1;
    }
    return 0;
}
