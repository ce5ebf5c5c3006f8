// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Image.h"

#include "platform/ClipboardImage.h"
#include "platform/Fonts.h"
#include "platform/SystemColors.h"
#include "tests/TestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <new>
#include <random>
#include <sstream>
#include <unistd.h>
#include <vector>

using namespace plat;

namespace {

// What the `file` program says about a file, or an empty text when it is not installed.
std::string FileType(const std::string& path)
{
    std::string out;
    FILE* p = popen(("file -b '" + path + "' 2>/dev/null").c_str(), "r");
    if (!p)
        return out;
    char buf[256];
    while (fgets(buf, sizeof buf, p))
        out += buf;
    pclose(p);
    return out;
}

void DrawSample(Image& img)
{
    DrawContext& dc = img.Context();
    dc.FillRect({0, 0, 64, 48}, Rgb(255, 255, 255));
    dc.SetPen({Rgb(255, 0, 0), 2, PenStyle::Solid});
    dc.Line({0, 0}, {63, 47});
    dc.SetBrush(Brush::Solid(Rgb(0, 128, 0)));
    dc.Rectangle({10, 10, 30, 30});
    dc.SetFont({"Arial", 90, FontWeight::Normal, false});
    dc.TextOut({32, 30}, "Hz");
}

} // namespace

namespace {

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

} // namespace

namespace {

// Requests of operator new above this many bytes are refused while it is not zero: an
// encoder's output then runs out of memory while cairo is writing it.
size_t s_refuseNewAbove = 0;

void* Allocate(size_t n)
{
    if (s_refuseNewAbove != 0 && n > s_refuseNewAbove) {
        throw std::bad_alloc();
    }
    if (void* p = std::malloc(n ? n : 1)) {
        return p;
    }
    throw std::bad_alloc();
}

} // namespace

void* operator new(size_t n)
{
    return Allocate(n);
}
void* operator new[](size_t n)
{
    return Allocate(n);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, size_t) noexcept
{
    std::free(p);
}

// Output that cannot grow fails the encoding: nothing is thrown through cairo's C code.
TEST(ImageTest, EncodersFailWhenTheirOutputCannotGrow)
{
    // Noise does not compress: the PNG is larger than the pixels, which the encoder still
    // gets memory for.
    std::vector<uint8_t> rgba(size_t(256) * 256 * 4);
    std::mt19937 noise(7);
    for (uint8_t& b : rgba) {
        b = uint8_t(noise());
    }
    const Image img = Image::FromRGBA(256, 256, rgba);
    ASSERT_TRUE(img.IsValid());
    std::vector<uint8_t> png;
    std::string bytes;
    s_refuseNewAbove = rgba.size();
    bool encoded = true;
    bool encodedPng = true;
    EXPECT_NO_THROW(encoded = img.Encode(ImageFormat::PNG, bytes));
    EXPECT_NO_THROW(encodedPng = EncodePNG(img, png));
    s_refuseNewAbove = 0;
    EXPECT_FALSE(encoded);
    EXPECT_FALSE(encodedPng);
    EXPECT_TRUE(png.empty());
    // With memory to spare the same image encodes.
    EXPECT_TRUE(EncodePNG(img, png));
    EXPECT_GT(png.size(), rgba.size());
}

TEST(ImageTest, PngRoundTripKeepsEveryPixel)
{
    Image img(64, 48);
    DrawSample(img);
    std::string png;
    ASSERT_TRUE(img.Encode(ImageFormat::PNG, png));
    // A complete file ends with the IEND chunk and its checksum.
    EXPECT_TRUE(EndsWith(png, std::string("IEND\xAE\x42\x60\x82", 8)));
    const std::string path = TempPath("round.png");
    WriteFile(path, png);
    EXPECT_NE(FileType(path).find("PNG"), std::string::npos);
    Image back = Image::LoadPNG(path);
    ASSERT_TRUE(back.IsValid());
    ASSERT_EQ(back.GetSize(), (Size{64, 48}));
    EXPECT_EQ(back.ToRGBA(), img.ToRGBA());
    EXPECT_EQ(back.GetPixel(20, 20), Rgb(0, 128, 0));
    std::remove(path.c_str());
}

// SVG and PDF are encoded whole: the documents are finished when Encode returns, also for a
// vector image whose recording the output keeps referenced.
TEST(ImageTest, SvgAndPdfAreEncodedCompleteAndRecognised)
{
    for (ImageKind kind : {ImageKind::Raster, ImageKind::Vector}) {
        Image img(64, 48, kind);
        DrawSample(img);
        std::string svgText, pdfBytes;
        ASSERT_TRUE(img.Encode(ImageFormat::SVG, svgText));
        ASSERT_TRUE(img.Encode(ImageFormat::PDF, pdfBytes));
        EXPECT_NE(svgText.find("<svg"), std::string::npos);
        EXPECT_NE(svgText.find("width=\"64"), std::string::npos);
        EXPECT_TRUE(EndsWith(svgText, "</svg>\n")) << svgText.substr(svgText.size() - 20);
        EXPECT_EQ(pdfBytes.substr(0, 5), "%PDF-");
        EXPECT_TRUE(EndsWith(pdfBytes, "%%EOF\n")) << pdfBytes.substr(pdfBytes.size() - 20);
        const std::string pdf = TempPath("out.pdf");
        WriteFile(pdf, pdfBytes);
        const std::string ft = FileType(pdf);
        if (!ft.empty()) {
            EXPECT_NE(ft.find("PDF"), std::string::npos) << ft;
        }
        if (kind == ImageKind::Vector) {
            // Vector output keeps shapes as paths rather than one embedded picture.
            EXPECT_NE(svgText.find("<path"), std::string::npos);
            EXPECT_EQ(svgText.find("<image"), std::string::npos);
        }
        std::remove(pdf.c_str());
    }
}

TEST(ImageTest, InvalidImagesAndFilesAreRefused)
{
    const Image none = Image::LoadPNG("/nonexistent-folder/none.png");
    EXPECT_FALSE(none.IsValid());
    for (ImageFormat f : {ImageFormat::PNG, ImageFormat::SVG, ImageFormat::PDF}) {
        std::string bytes = "old";
        EXPECT_FALSE(none.Encode(f, bytes));
        EXPECT_EQ(bytes, "");
    }
    const std::string junk = TempPath("junk.png");
    std::ofstream(junk) << "not a png";
    EXPECT_FALSE(Image::LoadPNG(junk).IsValid());
    std::remove(junk.c_str());
}

TEST(ImageTest, RgbaConversionAndDrawImage)
{
    std::vector<uint8_t> rgba = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 128, 0, 0, 0, 0};
    Image small = Image::FromRGBA(2, 2, rgba);
    ASSERT_TRUE(small.IsValid());
    const std::vector<uint8_t> back = small.ToRGBA();
    ASSERT_EQ(back.size(), rgba.size());
    for (size_t i = 0; i < 8; ++i)
        EXPECT_EQ(back[i], rgba[i]);
    EXPECT_EQ(back[11], 128);
    EXPECT_NEAR(back[10], 255, 2);
    EXPECT_FALSE(Image::FromRGBA(3, 3, rgba).IsValid()); // too little data

    Image big(10, 10);
    big.Context().DrawImage(small, {4, 5});
    EXPECT_EQ(big.GetPixel(4, 5), Rgb(255, 0, 0));
    EXPECT_EQ(big.GetPixel(5, 5), Rgb(0, 255, 0));
    EXPECT_EQ(big.GetAlpha(4, 6), 128);
    EXPECT_EQ(big.GetAlpha(5, 6), 0);
    EXPECT_EQ(big.GetPixel(-1, 0), 0u); // outside reads as 0
}

TEST(ImageTest, DegenerateSizesAreRaisedAndMovedImagesStayUsable)
{
    Image img(0, -5);
    EXPECT_EQ(img.GetSize(), (Size{1, 1}));
    Image moved = std::move(img);
    moved.Context().FillRect({0, 0, 1, 1}, Rgb(1, 2, 3));
    EXPECT_EQ(moved.GetPixel(0, 0), Rgb(1, 2, 3));
}

TEST(FontsTest, DesignFacesMapToInstalledFamilies)
{
    const char* const faces[][2] = {
        {"Fixedsys", "DejaVu Sans Mono"},
        {"Courier New", "DejaVu Sans Mono"},
        {"MS Sans Serif", "DejaVu Sans"},
        {"ms shell dlg", "DejaVu Sans"},
        {"Arial", "DejaVu Sans"},
        {"No Such Face 123", "DejaVu Sans"},
        {"", "DejaVu Sans"},
        {"DejaVu Sans Mono", "DejaVu Sans Mono"},
    };
    for (const auto& f : faces) {
        EXPECT_EQ(MapFaceName(f[0]), f[1]) << f[0];
    }
    EXPECT_TRUE(IsFontFamilyInstalled("DejaVu Sans"));
    EXPECT_FALSE(IsFontFamilyInstalled("No Such Face 123"));
    EXPECT_DOUBLE_EQ(PointTenthsToPixels(90), 12.0);
}

TEST(SystemColorsTest, ColoursAreAvailableWithoutADisplay)
{
    // Text and window background must differ, or nothing would be readable.
    EXPECT_NE(GetSystemColor(SystemColor::Window), GetSystemColor(SystemColor::WindowText));
    EXPECT_EQ(GetSystemColor(SystemColor::Window) >> 24, 0u);
}
