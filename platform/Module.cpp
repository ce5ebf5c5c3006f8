// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Module.h"

#include "platform/Application.h"

#include <dlfcn.h>
#include <mutex>
#include <sys/stat.h>
#include <vector>

namespace plat {
namespace {

std::string BaseName(const std::string& name)
{
    std::string base = name;
    const size_t slash = base.find_last_of("/\\");
    if (slash != std::string::npos)
        base.erase(0, slash + 1);
    for (const char* suffix : {".dll", ".DLL", ".so"}) {
        const size_t n = std::char_traits<char>::length(suffix);
        if (base.size() > n && base.compare(base.size() - n, n, suffix) == 0) {
            base.erase(base.size() - n);
            break;
        }
    }
    if (base.size() > 3 && base.compare(0, 3, "lib") == 0)
        base.erase(0, 3);
    return base;
}

// The folders a module is looked for in, in order: the executable's own, then the program's
// private library folder beside the folder that holds it (bin/../lib/tessera, written without
// the ".."), then "lib" there.
std::vector<std::string> ModuleDirs()
{
    const std::string exeDir = GetExecutableDir();
    std::vector<std::string> dirs{exeDir};
    const size_t slash = exeDir.rfind('/');
    if (slash != std::string::npos) {
        dirs.push_back(exeDir.substr(0, slash) + "/lib/tessera");
        dirs.push_back(exeDir.substr(0, slash) + "/lib");
    }
    return dirs;
}

std::map<std::string, std::unique_ptr<Module>>& Loaded()
{
    static std::map<std::string, std::unique_ptr<Module>> loaded;
    return loaded;
}

std::mutex& Lock()
{
    static std::mutex lock;
    return lock;
}

} // namespace

std::string Module::FileNameOf(const std::string& name)
{
    return "lib" + BaseName(name) + ".so";
}

Module* Module::Find(const std::string& name)
{
    std::lock_guard<std::mutex> guard(Lock());
    auto it = Loaded().find(BaseName(name));
    return it == Loaded().end() ? nullptr : it->second.get();
}

Module* Module::Load(const std::string& name, std::string* error)
{
    const std::string base = BaseName(name);
    if (base.empty()) {
        if (error)
            *error = "empty module name";
        return nullptr;
    }
    std::lock_guard<std::mutex> guard(Lock());
    auto it = Loaded().find(base);
    if (it != Loaded().end())
        return it->second.get();
    const std::string file = "lib" + base + ".so";
    // Beside the executable (the build tree, a program unpacked in one folder), then in the
    // private library folder next to its bin folder (an installed tree under any prefix). When a
    // file there does not load, the search goes on, and that file's reason is the one reported.
    std::string path;
    void* handle = nullptr;
    std::string reason;
    for (const std::string& dir : ModuleDirs()) {
        const std::string candidate = dir + "/" + file;
        struct stat st;
        if (stat(candidate.c_str(), &st) != 0)
            continue;
        handle = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle) {
            path = candidate;
            break;
        }
        if (reason.empty())
            reason = dlerror();
    }
    if (!handle) {
        // In neither folder: the dynamic linker's own search (also finds a module
        // that the program links against and so has loaded already).
        handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle)
            path = file;
        else if (reason.empty())
            reason = dlerror();
    }
    if (!handle) {
        if (error)
            *error = "cannot load module " + file + ": " + reason;
        return nullptr;
    }
    std::unique_ptr<Module> m(new Module);
    m->m_name = base;
    m->m_path = path;
    m->m_handle = handle;
    if (auto init = reinterpret_cast<ModuleInitFn>(dlsym(handle, kModuleInitSymbol)))
        init(m->m_res);
    Module* raw = m.get();
    Loaded()[base] = std::move(m);
    return raw;
}

Module::~Module()
{
    // The library stays mapped: objects and callbacks from it may outlive the registry.
}

const DialogTemplate* Module::FindDialog(const std::string& name) const
{
    auto it = m_res.dialogs.find(name);
    return it == m_res.dialogs.end() ? nullptr : &it->second;
}

const CursorImage* Module::FindCursor(const std::string& name) const
{
    auto it = m_res.cursors.find(name);
    return it == m_res.cursors.end() ? nullptr : &it->second;
}

void* Module::GetSymbol(const std::string& name) const
{
    return m_handle ? dlsym(m_handle, name.c_str()) : nullptr;
}

} // namespace plat
