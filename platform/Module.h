// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/Cursor.h"
#include "platform/Dialog.h"

#include <map>
#include <memory>
#include <string>

namespace plat {

/// What a module hands over when it is loaded: its dialog templates and cursors by name.
class ModuleResources
{
public:
    void AddDialog(const std::string& name, DialogTemplate tmpl)
    {
        dialogs[name] = std::move(tmpl);
    }
    void AddCursor(const std::string& name, CursorImage cursor)
    {
        cursors[name] = std::move(cursor);
    }

    std::map<std::string, DialogTemplate> dialogs;
    std::map<std::string, CursorImage> cursors;
};

/// The entry point a module exports under the name in kModuleInitSymbol:
///   extern "C" void PlatModuleInit(plat::ModuleResources& res);
using ModuleInitFn = void (*)(ModuleResources&);
constexpr const char* kModuleInitSymbol = "PlatModuleInit";

/// A shared library loaded by module name. The names "QuillRES", "QuillRES.dll" and
/// "libQuillRES.so" all mean the file libQuillRES.so, looked for beside the executable
/// first, then in the lib folder beside the executable's folder (bin/../lib of an installed
/// tree), and then where the dynamic linker looks. Modules stay loaded until the process
/// ends; Load returns the same object for the same module.
class Module
{
public:
    /// Loads (once) and returns the module, or null with a reason in `error`.
    static Module* Load(const std::string& name, std::string* error = nullptr);
    /// The module if it is loaded already, else null.
    static Module* Find(const std::string& name);
    /// The file name a module name stands for ("QuillRES.dll" gives "libQuillRES.so").
    static std::string FileNameOf(const std::string& name);

    const std::string& GetName() const { return m_name; }
    const std::string& GetPath() const { return m_path; }
    /// A dialog template or cursor of the module by name; null when it has none such.
    const DialogTemplate* FindDialog(const std::string& name) const;
    const CursorImage* FindCursor(const std::string& name) const;
    /// Every dialog template and cursor the module handed over, for listing them.
    const ModuleResources& GetResources() const { return m_res; }
    /// An exported symbol, or null.
    void* GetSymbol(const std::string& name) const;

    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;
    ~Module();

private:
    Module() = default;
    std::string m_name;
    std::string m_path;
    void* m_handle = nullptr;
    ModuleResources m_res;
};

} // namespace plat
