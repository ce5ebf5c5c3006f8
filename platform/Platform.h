// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The platform layer: everything of the window system that the library needs, in one small
// value-typed API over FLTK (windows, controls, events, timers, clipboard, menus) and cairo
// (all drawing). No header here names a toolkit type; the library sees only these pieces:
//
//   Geometry.h      Point, Size, Rect (right/bottom exclusive), ColorRef 0x00BBGGRR, Rgb().
//   SystemColors.h  theme colours by role; safe without a display.
//   Fonts.h         design face names ("Fixedsys", "MS Sans Serif", ...) to installed families,
//                   checked once with fontconfig; 96 pixels per inch, always.
//   DrawContext.h   the drawing context: Pen, Brush, Font, text colour and background mode,
//                   rectangles, lines, polylines, polygons, ellipses, text out, text in a
//                   rectangle, text extent and metrics, clip push/pop, image blits. The same
//                   class draws while a window paints and into an Image.
//   Image.h         off-screen raster or vector surfaces; PNG, SVG and PDF output; PNG input.
//   Messages.h      window messages with the conventional numbers (Msg::KeyDown 0x100, ...),
//                   virtual keys, modifier flags, scroll codes, dialog ids and the control
//                   notification codes (EN_CHANGE 0x300, BN_CLICKED 0, CBN_SELCHANGE 1,
//                   CBN_DROPDOWN 7, ...), and the Message record itself.
//   Window.h        Window (custom child, top-level and popup windows) and WindowCB, its
//                   callback: raw input as a message loop delivers it (key-down, then the
//                   character; Ctrl+X gives 24), paint, size, scroll bars, window timers,
//                   focus, capture, cursors, caret, dropped files, coordinate conversion.
//   Cursor.h        standard pointer shapes and RGBA pointer images with hot spots.
//   Dialog.h        dialogs from templates in dialog units, modal and modeless, with native
//                   edit, button, check box, slider, drop-down, list box, static and picture
//                   controls; notifications arrive as Msg::Command (id, code).
//   Menu.h          popup menus from an item tree, tracked at a screen position.
//   FileDialog.h    the save-file dialog and the message box.
//   Clipboard.h     text set/get/has (blocking, no window needed) and image set.
//   Module.h        shared libraries loaded by module name (lib<Name>.so beside the
//                   executable) and their dialog templates and cursors by name.
//   Application.h   display, event loop, quit; windowless timers; the tick count and its
//                   replaceable source; the performance counter.
//   TestSupport.h   process until idle, input injection, and the hook that answers modal
//                   dialogs, message boxes, file dialogs, popup menus and drop-down lists.
//
// Nothing here ends the process for want of a display: InitDisplay() reports it, and every
// call that needs one fails softly, so the command-line front end links this library too.

#include "platform/Application.h"
#include "platform/Clipboard.h"
#include "platform/Cursor.h"
#include "platform/Dialog.h"
#include "platform/DrawContext.h"
#include "platform/FileDialog.h"
#include "platform/Fonts.h"
#include "platform/Geometry.h"
#include "platform/Image.h"
#include "platform/Menu.h"
#include "platform/Messages.h"
#include "platform/Module.h"
#include "platform/SystemColors.h"
#include "platform/TestSupport.h"
#include "platform/Window.h"
