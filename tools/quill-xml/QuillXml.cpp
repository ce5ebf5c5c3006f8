// quill-xml [--keep-breaks] FILE
//
// Parses FILE with the library's XML parser and prints the tree back (exit 0), so that a
// user can check a markup or chart file and see how the library reads it. On a parse error
// it prints "error CODE: TEXT" and the line and column where the parser stopped (exit 1).

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
    TXML::LineBreaks breaks = TXML::LineBreaks::Fold;
    const char* path = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--keep-breaks") == 0) {
            breaks = TXML::LineBreaks::Keep;
        } else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            Usage();
            return 0;
        } else if (argv[i][0] == '-' && argv[i][1] != 0) {
            std::fprintf(stderr, "quill-xml: unknown option %s\n", argv[i]);
            Usage();
            return 2;
        } else if (path) {
            std::fputs("quill-xml: only one FILE may be given\n", stderr);
            Usage();
            return 2;
        } else {
            path = argv[i];
        }
    }
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
