// quill-edit [--read-only] [FILE]
//
// Opens a resizable window whose client area is the library's editor control with the
// text of FILE. Ctrl+S writes the text back (a temporary file renamed over the old one),
// with the line breaks the file had (LF or CR LF); closing the window with unsaved changes
// asks first. Without FILE the editor starts empty and Ctrl+S asks for a name. A file that
// cannot be read, or is not text, is reported on stderr with exit status 1.

#include "base/ZFile.h"
#include "base/ZString.h"
#include "edit/XMEditWnd.h"
#include "platform/Application.h"
#include "platform/FileDialog.h"
#include "platform/Messages.h"
#include "platform/Window.h"

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

class QuillEdit : public plat::WindowCB, public XMEditCB
{
public:
    QuillEdit(std::string path, bool readOnly)
        : m_path(std::move(path))
        , m_readOnly(readOnly)
    {
    }

    bool Open(const ZString& text, ZStr sep)
    {
        m_sep = sep;
        m_top.SetCB(*this);
        if (!m_top.CreateTopLevel(Title(), plat::Rect::FromXYWH(80, 60, 720, 520),
                                  plat::WindowStyle::kVisible | plat::WindowStyle::kSizable)) {
            return false;
        }
        if (!m_wnd.Create(m_top, m_top.GetClientRect())) {
            return false;
        }
        XMEdit& edit = m_wnd.GetEdit();
        edit.SetText(text.Str(), sep);
        edit.SetReadOnly(m_readOnly);
        edit.SetCB(this);
        m_wnd.SetFocus();
        return true;
    }

    // --- The top-level window -------------------------------------------------------
    bool OnMessage(plat::Window&, const plat::Message& msg) override
    {
        switch (msg.kind) {
        case plat::Msg::Size:
            m_wnd.Move(plat::Rect::FromXYWH(0, 0, msg.size.cx, msg.size.cy));
            return true;
        case plat::Msg::Close:
            if (MayClose()) {
                plat::Quit(0);
            }
            return true;
        default:
            return false;
        }
    }

    // --- The editor ---------------------------------------------------------------------
    bool OnUnhandledKey(XMEdit&, uint32_t vk, uint32_t keys) override
    {
        if (vk == 'S' && (keys & plat::Keys::kControl) != 0) {
            Save();
            return true;
        }
        return false;
    }
    void OnTextChanged(XMEdit&) override
    {
        if (!m_modified) {
            m_modified = true;
            m_top.SetTitle(Title());
        }
    }

private:
    std::string Title() const
    {
        return std::string(m_modified ? "*" : "") +
               (m_path.empty() ? std::string("(new text)") : m_path) + " - quill-edit";
    }

    bool Save()
    {
        if (m_readOnly) {
            plat::ShowMessageBox(&m_top, "The text is open read-only.", "quill-edit");
            return false;
        }
        if (m_path.empty()) {
            plat::SaveFileRequest req;
            req.title = "Save Text As";
            req.filters = {{"Text", "*.txt"}, {"All files", "*"}};
            if (!plat::SaveFileDialog(&m_top, req, m_path)) {
                return false;
            }
        }
        ZString text;
        int err = 0;
        if (!m_wnd.GetEdit().GetText(text, m_sep) ||
            !ZReplaceFile(ZStr(m_path.c_str()), text.Str(), &err)) {
            const std::string msg = "Can not save '" + m_path +
                                    "': " + (err ? std::strerror(err) : "the text is too large");
            plat::ShowMessageBox(&m_top, msg, "quill-edit");
            return false;
        }
        m_modified = false;
        m_top.SetTitle(Title());
        return true;
    }

    bool MayClose()
    {
        if (!m_modified) {
            return true;
        }
        const std::string name = m_path.empty() ? std::string("the new text") : "'" + m_path + "'";
        switch (plat::ShowMessageBox(&m_top, "Save the changes to " + name + "?", "quill-edit",
                                     plat::MessageBoxButtons::YesNoCancel)) {
        case plat::kIdYes:
            return Save();
        case plat::kIdNo:
            return true;
        default:
            return false;
        }
    }

    std::string m_path;
    bool m_readOnly;
    bool m_modified = false;
    ZStr m_sep{"\n", 1};
    plat::Window m_top;
    XMEditWnd m_wnd;
};

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
    QuillEdit app(path ? path : "", readOnly);
    if (!app.Open(text, sep)) {
        std::fputs("quill-edit: the window could not be created\n", stderr);
        return 1;
    }
    text = ZString(); // the editor holds its own copy
    return plat::RunLoop();
}
