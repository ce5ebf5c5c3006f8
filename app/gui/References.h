// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

/// The text of the "References" box: the published work the calculator's design method comes
/// from, with web addresses where it can be found. Plain text, lines ending in "\r\n"; a
/// static string that lives as long as the program.
const char* ReferencesText();
