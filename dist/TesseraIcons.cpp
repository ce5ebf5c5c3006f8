// SPDX-License-Identifier: GPL-2.0-or-later
// tessera-icons FOLDER
//
// Writes the program's icon for the desktop's icon theme into FOLDER: tessera.png, the
// 48x48 picture the calculator window shows, and tessera.svg, the same drawing as vector
// shapes for any size. Runs at build time; exits 1 when a file cannot be encoded or written.

#include "app/gui/FilterArtwork.h"
#include "base/ZFile.h"

#include <cstdio>
#include <string>

namespace {

// The size the scalable icon is drawn at: large enough for the hatched walls and the taps,
// which the smallest sizes leave out.
constexpr int kScalableDrawSizePx = 128;
constexpr int kThemeSizePx = 48;

bool WriteImage(const plat::Image& image, plat::ImageFormat format, const std::string& path)
{
    std::string bytes;
    if (!image.Encode(format, bytes)) {
        std::fprintf(stderr, "tessera-icons: cannot encode %s\n", path.c_str());
        return false;
    }
    int code = 0;
    if (!ZReplaceFile(ZStr(path.c_str()), bytes.data(), bytes.size(), &code)) {
        std::fprintf(stderr, "tessera-icons: cannot write %s: %s\n", path.c_str(),
                     ZFileErrorText(code).Text());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: tessera-icons FOLDER\n", stderr);
        return 2;
    }
    const std::string dir = argv[1];
    const bool png =
        WriteImage(DrawAppIcon(kThemeSizePx), plat::ImageFormat::PNG, dir + "/tessera.png");
    const bool svg = WriteImage(DrawAppIcon(kScalableDrawSizePx, plat::ImageKind::Vector),
                                plat::ImageFormat::SVG, dir + "/tessera.svg");
    return png && svg ? 0 : 1;
}
