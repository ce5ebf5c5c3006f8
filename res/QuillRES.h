// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The resource library QuillRES: the library's dialog templates, its mouse pointers and the
// find dialog. Programs that link it call QuillRES_DummyLoad once so that the library is
// loaded; library code that must not link it loads it by module name and looks its
// resources and exports up (plat::Module::Load(kQuillRESModule)).

namespace plat {
class ModuleResources;
class Window;
} // namespace plat
class XFindDlgBaseAPI;

/// The module name the library is loaded under ("libQuillRES.so" on this platform).
constexpr const char* kQuillRESModule = "QuillRES.dll";

/// Dialog templates of the library.
constexpr const char* kQuillRESFindDlg = "IDD_QUILLRES_FIND";
constexpr const char* kQuillRESDlgTemplate = "IDD_QUILLRES_TXMLDLGTEMPLATE";
constexpr const char* kQuillRESDlgTemplateChild = "IDD_QUILLRES_TXMLDLGTEMPLATECHILD";

/// Mouse pointers of the library, 32 x 32 pixels each.
constexpr const char* kQuillRESCursorPoint = "IDD_QUILL_HPOINT";       ///< hot spot (12, 0)
constexpr const char* kQuillRESCursorMove = "IDD_QUILL_HMOVE";         ///< hot spot (5, 7)
constexpr const char* kQuillRESCursorMovePlus = "IDD_QUILL_HMOVEPLUS"; ///< hot spot (5, 7)

/// Exported symbol names, for lookups through plat::Module::GetSymbol.
constexpr const char* kQuillRESNewFindDlgSymbol = "QuillRES_NewFindDlg";
constexpr const char* kQuillRESDummyLoadSymbol = "QuillRES_DummyLoad";

/// Signature of QuillRES_NewFindDlg.
using QuillRESNewFindDlgFn = XFindDlgBaseAPI* (*)(plat::Window* parent) noexcept;

extern "C" {
/// Does nothing. Calling it makes a program depend on the library, so that the library is
/// loaded before its resources are looked up by module name.
void QuillRES_DummyLoad();
/// A new find dialog (an XFindDlgBase, no window yet) for parent (may be null). The caller
/// owns it and deletes it through the interface's virtual destructor; null when it could
/// not be made (out of memory). Exported so that code which reaches the library only by
/// loading it can create one.
XFindDlgBaseAPI* QuillRES_NewFindDlg(plat::Window* parent) noexcept;
/// Registers the templates and pointers with the module loader when the library is loaded.
void PlatModuleInit(plat::ModuleResources& res);
}
