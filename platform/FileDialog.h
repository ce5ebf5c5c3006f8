// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <string>
#include <vector>

namespace plat {

class Window;

/// One entry of a file dialog's type list: a name and a pattern ("XChart", "*.xch"); the
/// dialog shows them as "XChart (*.xch)", so the name does not repeat the pattern.
struct FileFilter
{
    std::string name;
    std::string pattern;
};

struct SaveFileRequest
{
    std::string title = "Save As";
    std::string fileName;            ///< initial file name (may include a folder)
    std::string folder;              ///< initial folder; empty: the working directory
    std::vector<FileFilter> filters; ///< the first is selected
    std::string defaultExt;          ///< appended (with a dot) when the name has none
};

/// Asks for a file name to save to. True with the chosen full path when confirmed; false
/// when cancelled or when there is no display.
bool SaveFileDialog(Window* owner, const SaveFileRequest& req, std::string& path);

/// The buttons of a message box.
enum class MessageBoxButtons {
    Ok,
    OkCancel,
    YesNo,
    YesNoCancel,
};

/// Shows a message box and returns the id of the button pressed (kIdOk, kIdCancel, kIdYes,
/// kIdNo). Escape and the close box answer Cancel, or OK for a box with only OK; a Yes/No
/// box cannot be closed without an answer. Returns 0 when there is no display.
int ShowMessageBox(Window* owner, const std::string& text, const std::string& caption,
                   MessageBoxButtons buttons = MessageBoxButtons::Ok);

/// A message box of a library above this layer (the markup message box): shows the box and
/// returns the id of the button pressed, or a negative value to leave the box to the platform
/// (buttons it does not offer).
using MessageBoxPresenter = int (*)(Window* owner, const std::string& text,
                                    const std::string& caption, MessageBoxButtons buttons);

/// Makes every later ShowMessageBox of the process go to presenter first; null restores the
/// platform's own box. Lets code below that library (the editor, the resource library) show
/// the application's message box. Called from the user-interface thread.
void SetMessageBoxPresenter(MessageBoxPresenter presenter);

} // namespace plat
