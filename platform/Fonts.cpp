// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Fonts.h"

#include <algorithm>
#include <cairo.h>
#include <cctype>
#include <cstdlib>
#include <fontconfig/fontconfig.h>
#include <map>
#include <mutex>

namespace plat {
namespace {

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

bool FontconfigHasFamily(const std::string& family)
{
    if (!FcInit())
        return false;
    FcPattern* pat = FcPatternCreate();
    if (!pat)
        return false;
    FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcObjectSet* os = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet* fs = os ? FcFontList(nullptr, pat, os) : nullptr;
    bool found = false;
    if (fs) {
        // FcFontList matches family names case-insensitively; any hit means installed.
        found = fs->nfont > 0;
        FcFontSetDestroy(fs);
    }
    if (os)
        FcObjectSetDestroy(os);
    FcPatternDestroy(pat);
    return found;
}

struct FaceTable
{
    std::map<std::string, std::string> faces; // lower-case design face -> installed family
    std::string sans;
    std::string mono;
    std::string serif;
};

const FaceTable& Table()
{
    // Built once on first use; a function-local static keeps the construction thread-safe.
    static const FaceTable table = [] {
        FaceTable t;
        auto pick = [](const char* preferred, const char* generic) {
            return FontconfigHasFamily(preferred) ? std::string(preferred) : std::string(generic);
        };
        t.sans = pick("DejaVu Sans", "sans-serif");
        t.mono = pick("DejaVu Sans Mono", "monospace");
        t.serif = pick("DejaVu Serif", "serif");
        for (const char* f : {"fixedsys", "courier new", "courier", "terminal", "lucida console",
                              "consolas", "monospace"})
            t.faces[f] = t.mono;
        for (const char* f : {"ms sans serif", "ms shell dlg", "ms shell dlg 2", "arial", "tahoma",
                              "verdana", "segoe ui", "helvetica", "system", "sans-serif", "sans"})
            t.faces[f] = t.sans;
        for (const char* f : {"times new roman", "times", "serif", "georgia"})
            t.faces[f] = t.serif;
        return t;
    }();
    return table;
}

} // namespace

bool IsFontFamilyInstalled(const std::string& family)
{
    if (family.empty())
        return false;
    return FontconfigHasFamily(family);
}

std::string MapFaceName(const std::string& face)
{
    const FaceTable& t = Table();
    const std::string key = Lower(face);
    auto it = t.faces.find(key);
    if (it != t.faces.end())
        return it->second;
    // Faces outside the table are looked up once each and remembered, since fontconfig
    // list queries are slow compared with drawing a label.
    static std::mutex s_lock;
    static std::map<std::string, std::string> s_seen;
    std::lock_guard<std::mutex> guard(s_lock);
    auto seen = s_seen.find(key);
    if (seen != s_seen.end())
        return seen->second;
    std::string family = IsFontFamilyInstalled(face) ? face : t.sans;
    s_seen[key] = family;
    return family;
}

double PointTenthsToPixels(int tenths)
{
    return tenths / 10.0 * kPixelsPerInch / 72.0;
}

} // namespace plat
