// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/FileDialog.h"

#include "platform/Application.h"
#include "platform/Dialog.h"
#include "platform/Fonts.h"
#include "platform/Image.h"
#include "platform/MessageText.h"
#include "platform/TestSupport.h"
#include "platform/detail/DialogControl.h"
#include "platform/detail/NativeWindow.h"

#include <FL/Fl_Native_File_Chooser.H>
#include <FL/fl_draw.H>
#include <algorithm>
#include <cmath>
#include <unistd.h>

namespace plat {
namespace {

std::string WithExtension(std::string path, const std::string& ext)
{
    if (ext.empty())
        return path;
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        path += (ext[0] == '.' ? "" : ".") + ext;
    return path;
}

} // namespace

bool SaveFileDialog(Window* owner, const SaveFileRequest& req, std::string& path)
{
    test::ModalRequest hookReq;
    hookReq.kind = test::ModalKind::FileDialog;
    hookReq.window = owner;
    hookReq.title = req.title;
    hookReq.text = req.fileName;
    for (const FileFilter& f : req.filters)
        hookReq.items.push_back(f.name + "\t" + f.pattern);
    const test::ModalAnswer ans = detail::CallModalHook(hookReq);
    if (ans.answered) {
        if (ans.path.empty())
            return false;
        path = WithExtension(ans.path, req.defaultExt);
        return true;
    }
    if (!InitDisplay())
        return false;
    Fl_Native_File_Chooser chooser(Fl_Native_File_Chooser::BROWSE_SAVE_FILE);
    chooser.title(req.title.c_str());
    std::string filter;
    for (const FileFilter& f : req.filters) {
        if (!filter.empty())
            filter += "\n";
        // The chooser shows each type as its name followed by its pattern in brackets, with
        // nothing between them: the blank makes it read "PDF (*.pdf)".
        filter += f.name + " \t" + f.pattern;
    }
    chooser.filter(filter.c_str());
    chooser.options(Fl_Native_File_Chooser::SAVEAS_CONFIRM | Fl_Native_File_Chooser::NEW_FOLDER);
    // Without a folder of its own the dialog opens in the working folder, where a relative
    // name would be saved too, rather than in the chooser's list of recent files.
    std::string folder = req.folder;
    if (folder.empty()) {
        char cwd[4096];
        if (::getcwd(cwd, sizeof cwd) != nullptr)
            folder = cwd;
    }
    if (!folder.empty())
        chooser.directory(folder.c_str());
    if (!req.fileName.empty())
        chooser.preset_file(req.fileName.c_str());
    if (chooser.show() != 0 || !chooser.filename() || !*chooser.filename())
        return false;
    path = WithExtension(chooser.filename(), req.defaultExt);
    return true;
}

namespace {

class MessageBoxCB : public WindowCB
{
public:
    explicit MessageBoxCB(MessageBoxButtons b)
        : m_buttons(b)
    {
    }
    bool OnMessage(Window& wnd, const Message& m) override
    {
        if (m.kind != Msg::Command || m.code != Notify::kBnClicked)
            return false;
        auto& dlg = static_cast<Dialog&>(wnd);
        const int id = int(m.id);
        if (id == kIdCancel && m_buttons == MessageBoxButtons::Ok) {
            dlg.EndDialog(kIdOk);
        } else if (id == kIdCancel && m_buttons == MessageBoxButtons::YesNo) {
            // No way out but an answer.
        } else {
            dlg.EndDialog(id);
        }
        return true;
    }

private:
    MessageBoxButtons m_buttons;
};

} // namespace

namespace {

MessageBoxPresenter& Presenter()
{
    static MessageBoxPresenter presenter = nullptr;
    return presenter;
}

} // namespace

void SetMessageBoxPresenter(MessageBoxPresenter presenter)
{
    Presenter() = presenter;
}

int ShowMessageBox(Window* owner, const std::string& text, const std::string& caption,
                   MessageBoxButtons buttons)
{
    if (MessageBoxPresenter presenter = Presenter()) {
        const int answer = presenter(owner, text, caption, buttons);
        if (answer >= 0) {
            return answer;
        }
    }
    test::ModalRequest hookReq;
    hookReq.kind = test::ModalKind::MessageBox;
    hookReq.window = owner;
    hookReq.title = caption;
    hookReq.text = text;
    const test::ModalAnswer ans = detail::CallModalHook(hookReq);
    if (ans.answered)
        return ans.code;
    if (!InitDisplay())
        return 0;

    std::vector<std::pair<int, const char*>> ids;
    switch (buttons) {
    case MessageBoxButtons::Ok:
        ids = {{kIdOk, "OK"}};
        break;
    case MessageBoxButtons::OkCancel:
        ids = {{kIdOk, "OK"}, {kIdCancel, "Cancel"}};
        break;
    case MessageBoxButtons::YesNo:
        ids = {{kIdYes, "&Yes"}, {kIdNo, "&No"}};
        break;
    case MessageBoxButtons::YesNoCancel:
        ids = {{kIdYes, "&Yes"}, {kIdNo, "&No"}, {kIdCancel, "Cancel"}};
        break;
    }
    // Size the box to the text, measured in the template font, in dialog units.
    DialogTemplate t;
    t.caption = caption;
    Image scratch(1, 1);
    DrawContext& dc = scratch.Context();
    dc.SetFont({t.fontFace, t.fontPointSize * 10, FontWeight::Normal, false});
    const TextMetrics tm = dc.GetTextMetrics();
    const int bx = std::max(1, tm.aveCharWidth), by = std::max(1, tm.height);
    // Long lines are wrapped and what the screen cannot hold is cut, so that the box and its
    // buttons stay on the screen. The text shows as the toolkit's label, whose lines are
    // spaced a little differently: the room holds as many of them, and the label is sized
    // by the toolkit's own measure.
    const int fontPx = std::max(6, int(std::lround(PointTenthsToPixels(t.fontPointSize * 10))));
    fl_font(FL_HELVETICA, fontPx);
    Size room = MessageTextRoom(dc);
    room.cy = room.cy / std::max(1, fl_height()) * by;
    const std::string shown = WrapMessageText(dc, text, room);
    int labelW = 0, labelH = 0;
    fl_measure(detail::ToolkitLabel(shown, detail::Ampersand::Underlines).c_str(), labelW, labelH,
               0);
    // A left-aligned label keeps three pixels from either side of its control.
    const int textW = ((std::max(labelW, dc.GetTextExtent(shown).cx) + 8) * 4 + bx - 1) / bx;
    const int textH = ((labelH + 2) * 8 + by - 1) / by;
    const int buttonsW = int(ids.size()) * 55;
    const int w = std::max(textW + 20, buttonsW + 20);
    t.size = {w, textH + 40};
    t.controls.push_back({ControlKind::Static, -1, shown, Rect::FromXYWH(10, 10, w - 20, textH)});
    int x = (w - buttonsW) / 2 + 3;
    for (size_t i = 0; i < ids.size(); ++i, x += 55)
        t.controls.push_back({i == 0 ? ControlKind::DefButton : ControlKind::Button, ids[i].first,
                              ids[i].second, Rect::FromXYWH(x, textH + 18, 50, 14)});
    MessageBoxCB cb(buttons);
    Dialog dlg(cb);
    dlg.SetDefaultId(ids[0].first);
    const int code = dlg.DoModal(t, owner);
    return code < 0 ? 0 : code;
}

} // namespace plat
