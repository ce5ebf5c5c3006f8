// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <string>

class XMEditWnd;

// How the calculator shows its results in the library's editor: the report and the one-line
// status. The chart's set-up is in TesseraChart.h.

/// The status line's look, once: blue text on the button face, no scroll bars.
void SetupStatusLine(XMEditWnd& status);
/// Replaces the status line's whole text ("" or one line, no line break). A text too long
/// for the line is shown in two lines of a smaller size.
void ShowStatusText(XMEditWnd& status, const std::string& text);
/// Resets the report editor's font to its default and replaces its whole text by report,
/// split into lines at "\r\n"; the caret goes to the start.
void ShowReportText(XMEditWnd& report, const std::string& text);
