// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/DrawContext.h"
#include "platform/Geometry.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace plat {

/// What an image records. A raster image holds pixels and is fast to draw into and to read
/// back; a vector image records the drawing operations and writes them to SVG and PDF as
/// vector graphics (it is rasterised on demand for PNG output and pixel reads).
enum class ImageKind {
    Raster,
    Vector,
};

/// File formats an image can be written as.
enum class ImageFormat {
    PNG,
    SVG,
    PDF,
};

/// An off-screen drawing surface of a fixed size (the library's memory bitmap). It starts
/// fully transparent; drawing goes through Context(). Movable, not copyable.
class Image
{
public:
    /// A surface of width x height pixels (each at least 1; smaller values are raised to 1).
    Image(int width, int height, ImageKind kind = ImageKind::Raster);
    ~Image();
    Image(Image&&) noexcept;
    Image& operator=(Image&&) noexcept;
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    /// Reads a PNG file; an empty optional-like result (IsValid false) when it cannot be read.
    static Image LoadPNG(const std::string& path);
    /// Builds a raster image from 8-bit RGBA rows (width * height * 4 bytes, not premultiplied);
    /// an invalid image when the data is too short.
    static Image FromRGBA(int width, int height, const std::vector<uint8_t>& rgba);

    bool IsValid() const;
    Size GetSize() const;
    ImageKind GetKind() const;

    /// The context that draws into this image; valid as long as the image lives.
    DrawContext& Context();

    /// The colour at (x, y) as 0x00BBGGRR, composed over white where the pixel is not opaque;
    /// 0 outside the image.
    ColorRef GetPixel(int x, int y) const;
    /// The alpha of the pixel at (x, y), 0 (transparent) to 255 (opaque).
    uint8_t GetAlpha(int x, int y) const;
    /// The pixels as 8-bit RGBA rows, not premultiplied.
    std::vector<uint8_t> ToRGBA() const;

    /// The image as a complete file of the given format, in memory: bytes is replaced by it.
    /// Raster images are embedded in SVG and PDF as one picture; vector images keep their
    /// lines and text. Returns false, bytes empty, when it cannot be encoded (an invalid image,
    /// no memory). The image layer writes no files: callers store the bytes with the
    /// library's safe file replacement.
    bool Encode(ImageFormat format, std::string& bytes) const;

    /// Implementation detail shared with the drawing code.
    struct Impl;
    const Impl* GetImpl() const { return m_impl.get(); }

private:
    Image();
    std::unique_ptr<Impl> m_impl;
};

} // namespace plat
