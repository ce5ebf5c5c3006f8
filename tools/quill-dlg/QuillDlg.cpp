// SPDX-License-Identifier: GPL-2.0-or-later
// quill-dlg [--var NAME=VALUE]... [--layout] FILE
// quill-dlg --message TITLE TEXT [--ok-only]
// quill-dlg --resources
//
// Shows the markup dialog in FILE modally, sized to its content, with every NAME registered
// as a text variable holding VALUE. OK prints every registered variable as NAME=VALUE on
// stdout and exits 0; Cancel (or Escape, or the close box) exits 1. Markup that does not
// parse prints the parser's "error CODE: TEXT" and the line:column, and exits 2.
//
// --layout lays the dialog out without showing it and prints one line per item in document
// order: its tag ("#text" for text), its path of child indices from the root element ("0",
// "0.1", ...) and its rectangle "x y w h" in client pixels; then exits 0.
//
// --message shows the library's message box (OK and Cancel, or OK alone with --ok-only)
// and exits 0 when it is confirmed, 1 otherwise. Other failures exit 3.
//
// --resources loads the resource library by its module name, as the dialogs do, and prints
// the file it was loaded from ("module PATH"), then one line per dialog template ("dialog
// NAME") and per cursor ("cursor NAME"); it needs no display. A library that cannot be
// loaded prints the reason and exits 3.

#include "platform/Application.h"
#include "platform/Module.h"
#include "xml/TXML.h"
#include "xmldlg/TXMLDlg.h"
#include "xmldlg/XMLMessageBox.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

void Usage()
{
    std::fputs("usage: quill-dlg [--var NAME=VALUE]... [--layout] FILE\n"
               "       quill-dlg --message TITLE TEXT [--ok-only]\n"
               "       quill-dlg --resources\n"
               "  Shows the markup dialog in FILE; OK prints the variables as NAME=VALUE\n"
               "  (exit 0), Cancel exits 1, markup that does not parse exits 2.\n"
               "  --layout  print the laid-out rectangle of every item and exit.\n"
               "  --message show the message box with TITLE and TEXT.\n"
               "  --resources  print where the resource library was loaded from and its\n"
               "            dialog templates and cursors.\n",
               stderr);
}

struct Var
{
    std::string name;
    ZString value;
};

// Line and column (both from 1) of a byte offset.
void LineColumn(const std::string& text, int32_t offset, int& line, int& column)
{
    line = 1;
    column = 1;
    for (int32_t i = 0; i < offset && size_t(i) < text.size(); ++i) {
        if (text[size_t(i)] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
}

void PrintLayout(const TXMLDlg& dlg, const TXMLNode* node, const std::string& path)
{
    NXRect r;
    if (dlg.GetItemRect(node, r)) {
        const std::string tag =
            node->GetType() == TXMLType::Text
                ? std::string("#text")
                : std::string(node->GetValue().ptr, size_t(node->GetValue().len));
        std::printf("%s %s %g %g %g %g\n", tag.c_str(), path.c_str(), r.x, r.y, r.width, r.height);
    }
    int index = 0;
    for (const TXMLNode* c = node->FirstChildNode(); c; c = c->NextSiblingNode()) {
        const bool counts = c->GetType() == TXMLType::Element ||
                            (c->GetType() == TXMLType::Text && !c->GetValue().Trim().IsEmpty());
        if (counts) {
            PrintLayout(dlg, c, path + "." + std::to_string(index++));
        }
    }
}

int ListResources()
{
    std::string error;
    const plat::Module* res = plat::Module::Load("QuillRES", &error);
    if (!res) {
        std::fprintf(stderr, "quill-dlg: %s\n", error.c_str());
        return 3;
    }
    std::printf("module %s\n", res->GetPath().c_str());
    for (const auto& dialog : res->GetResources().dialogs) {
        std::printf("dialog %s\n", dialog.first.c_str());
    }
    for (const auto& cursor : res->GetResources().cursors) {
        std::printf("cursor %s\n", cursor.first.c_str());
    }
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 3;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::unique_ptr<Var>> vars;
    bool layout = false;
    bool message = false;
    bool okOnly = false;
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--var" && i + 1 < argc) {
            const std::string nv = argv[++i];
            const size_t eq = nv.find('=');
            if (eq == std::string::npos || eq == 0) {
                std::fprintf(stderr, "quill-dlg: --var needs NAME=VALUE, not '%s'\n", nv.c_str());
                return 3;
            }
            auto v = std::make_unique<Var>();
            v->name = nv.substr(0, eq);
            v->value = nv.substr(eq + 1).c_str();
            vars.push_back(std::move(v));
        } else if (a == "--layout") {
            layout = true;
        } else if (a == "--message") {
            message = true;
        } else if (a == "--ok-only") {
            okOnly = true;
        } else if (a == "--resources") {
            if (argc != 2) {
                Usage();
                return 3;
            }
            return ListResources();
        } else if (a == "--help" || a == "-h") {
            Usage();
            return 0;
        } else if (a.size() > 1 && a[0] == '-' && a != "-") {
            std::fprintf(stderr, "quill-dlg: unknown option '%s'\n", a.c_str());
            Usage();
            return 3;
        } else {
            args.push_back(a);
        }
    }
    if (message) {
        if (args.size() != 2) {
            Usage();
            return 3;
        }
        if (!plat::InitDisplay()) {
            std::fputs("quill-dlg: no display\n", stderr);
            return 3;
        }
        return XMLMessageBox(args[0].c_str(), args[1].c_str(), okOnly) == 1 ? 0 : 1;
    }
    if (args.size() != 1) {
        Usage();
        return 3;
    }
    std::ifstream in(args[0], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "quill-dlg: cannot read '%s'\n", args[0].c_str());
        return 3;
    }
    std::ostringstream buf;
    buf << in.rdbuf();
    const std::string text = buf.str();

    TXMLDlg dlg;
    if (!dlg.SetMarkup(ZStr(text.data(), int32_t(text.size())), true)) {
        const TXML& xml = dlg.GetXML();
        int line = 0;
        int column = 0;
        LineColumn(text, xml.GetErrorOffset(), line, column);
        std::fprintf(stderr, "%s: error %d: %s\n%d:%d\n", args[0].c_str(), int(xml.GetErrorCode()),
                     xml.GetErrorText().Text(), line, column);
        return 2;
    }
    for (const auto& v : vars) {
        dlg.RegisterRef(ZStr(v->name.data(), int32_t(v->name.size())), XValueRef(&v->value));
    }
    if (layout) {
        dlg.LayoutIn(NXRect{});
        if (const TXMLNode* root = dlg.GetRootElement()) {
            PrintLayout(dlg, root, "0");
        }
        return 0;
    }
    if (!plat::InitDisplay()) {
        std::fputs("quill-dlg: no display\n", stderr);
        return 3;
    }
    const int result = dlg.DoModal();
    if (result < 0) {
        std::fputs("quill-dlg: the dialog cannot be shown (is libQuillRES.so beside me?)\n",
                   stderr);
        return 3;
    }
    if (result != 1) {
        return 1;
    }
    for (const auto& v : vars) {
        std::printf("%s=%s\n", v->name.c_str(), v->value.Text());
    }
    return 0;
}
