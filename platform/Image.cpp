// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Image.h"

#include "platform/detail/CairoBridge.h"

#include <algorithm>
#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>
#include <mutex>
#include <string>

namespace plat {

struct Image::Impl
{
    ImageKind kind = ImageKind::Raster;
    int width = 1;
    int height = 1;
    cairo_surface_t* surface = nullptr; // image surface (raster) or recording surface (vector)
    std::unique_ptr<DrawContext> dc;
    // Raster copy of a vector image, remade whenever it is asked for; drawing may have
    // happened since the last copy and the context does not report it.
    mutable cairo_surface_t* raster = nullptr;

    ~Impl()
    {
        dc.reset(); // the context references the surface
        if (raster)
            cairo_surface_destroy(raster);
        if (surface) {
            // Finishing drops what output surfaces attached to a recording (snapshots that
            // hold fonts), which destroying alone leaves behind.
            cairo_surface_finish(surface);
            if (wroteSvg)
                Retire(surface);
            else
                cairo_surface_destroy(surface);
        }
    }

    // Cairo's SVG output keeps a reference to a recording surface painted into it and never
    // drops it, so the finished (empty) surface cannot be freed; it is kept reachable here
    // rather than lost, which also keeps leak checkers quiet.
    static void Retire(cairo_surface_t* s)
    {
        static std::mutex s_lock;
        static auto* s_retired = new std::vector<cairo_surface_t*>;
        std::lock_guard<std::mutex> guard(s_lock);
        s_retired->push_back(s);
    }
    mutable bool wroteSvg = false;

    cairo_surface_t* Raster() const
    {
        if (!surface)
            return nullptr;
        if (kind == ImageKind::Raster) {
            cairo_surface_flush(surface);
            return surface;
        }
        if (raster)
            cairo_surface_destroy(raster);
        raster = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
        cairo_t* cr = cairo_create(raster);
        cairo_set_source_surface(cr, surface, 0, 0);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_flush(raster);
        return raster;
    }
};

namespace detail {

void* RasterSurfaceOf(const Image& image)
{
    const Image::Impl* impl = image.GetImpl();
    return impl ? impl->Raster() : nullptr;
}

} // namespace detail

Image::Image() = default;

Image::Image(int width, int height, ImageKind kind)
    : m_impl(std::make_unique<Impl>())
{
    m_impl->kind = kind;
    m_impl->width = std::max(1, width);
    m_impl->height = std::max(1, height);
    if (kind == ImageKind::Raster) {
        m_impl->surface =
            cairo_image_surface_create(CAIRO_FORMAT_ARGB32, m_impl->width, m_impl->height);
    } else {
        cairo_rectangle_t extents{0, 0, double(m_impl->width), double(m_impl->height)};
        m_impl->surface = cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &extents);
    }
    m_impl->dc =
        detail::MakeDrawContext(cairo_create(m_impl->surface), {m_impl->width, m_impl->height});
}

Image::~Image() = default;
Image::Image(Image&&) noexcept = default;
Image& Image::operator=(Image&&) noexcept = default;

Image Image::LoadPNG(const std::string& path)
{
    cairo_surface_t* png = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(png) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(png);
        return Image();
    }
    Image img(cairo_image_surface_get_width(png), cairo_image_surface_get_height(png));
    cairo_t* cr = cairo_create(img.m_impl->surface);
    cairo_set_source_surface(cr, png, 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(png);
    return img;
}

Image Image::FromRGBA(int width, int height, const std::vector<uint8_t>& rgba)
{
    if (width < 1 || height < 1 || rgba.size() < size_t(width) * size_t(height) * 4)
        return Image();
    Image img(width, height);
    cairo_surface_t* s = img.m_impl->surface;
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = &rgba[(size_t(y) * width + x) * 4];
            const uint32_t a = p[3];
            // Cairo keeps premultiplied alpha.
            const uint32_t r = p[0] * a / 255, g = p[1] * a / 255, b = p[2] * a / 255;
            row[x] = (a << 24) | (r << 16) | (g << 8) | b;
        }
    }
    cairo_surface_mark_dirty(s);
    return img;
}

bool Image::IsValid() const
{
    return m_impl && m_impl->surface;
}

Size Image::GetSize() const
{
    if (!m_impl)
        return {};
    return {m_impl->width, m_impl->height};
}

ImageKind Image::GetKind() const
{
    return m_impl ? m_impl->kind : ImageKind::Raster;
}

DrawContext& Image::Context()
{
    if (!m_impl) {
        // An invalid image still hands out a context, drawing into a 1x1 scratch surface,
        // so that callers need not test before drawing.
        *this = Image(1, 1);
    }
    return *m_impl->dc;
}

namespace {

// Reads one premultiplied ARGB32 pixel.
bool ReadPixel(const Image::Impl* impl, int x, int y, uint32_t& argb)
{
    if (!impl || x < 0 || y < 0 || x >= impl->width || y >= impl->height)
        return false;
    cairo_surface_t* s = impl->Raster();
    if (!s)
        return false;
    const unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    argb = reinterpret_cast<const uint32_t*>(data + y * stride)[x];
    return true;
}

} // namespace

ColorRef Image::GetPixel(int x, int y) const
{
    uint32_t p = 0;
    if (!ReadPixel(m_impl.get(), x, y, p))
        return 0;
    // Composite the premultiplied pixel over white.
    const uint32_t a = p >> 24;
    const uint32_t r = ((p >> 16) & 0xFF) + (255 - a);
    const uint32_t g = ((p >> 8) & 0xFF) + (255 - a);
    const uint32_t b = (p & 0xFF) + (255 - a);
    return Rgb(uint8_t(std::min(r, 255u)), uint8_t(std::min(g, 255u)), uint8_t(std::min(b, 255u)));
}

uint8_t Image::GetAlpha(int x, int y) const
{
    uint32_t p = 0;
    if (!ReadPixel(m_impl.get(), x, y, p))
        return 0;
    return uint8_t(p >> 24);
}

std::vector<uint8_t> Image::ToRGBA() const
{
    std::vector<uint8_t> out;
    if (!IsValid())
        return out;
    cairo_surface_t* s = m_impl->Raster();
    const unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    out.resize(size_t(m_impl->width) * m_impl->height * 4);
    for (int y = 0; y < m_impl->height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + y * stride);
        for (int x = 0; x < m_impl->width; ++x) {
            const uint32_t p = row[x], a = p >> 24;
            uint8_t* o = &out[(size_t(y) * m_impl->width + x) * 4];
            auto un = [a](uint32_t c) { return uint8_t(a ? std::min(255u, c * 255 / a) : 0); };
            o[0] = un((p >> 16) & 0xFF);
            o[1] = un((p >> 8) & 0xFF);
            o[2] = un(p & 0xFF);
            o[3] = uint8_t(a);
        }
    }
    return out;
}

namespace {

// Appends what cairo writes to the string behind closure. No exception may cross cairo's C
// code, so running out of memory becomes cairo's write error.
cairo_status_t AppendBytes(void* closure, const unsigned char* data, unsigned int length) noexcept
{
    try {
        static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    } catch (...) {
        return CAIRO_STATUS_WRITE_ERROR;
    }
    return CAIRO_STATUS_SUCCESS;
}

} // namespace

bool Image::Encode(ImageFormat format, std::string& bytes) const
{
    bytes.clear();
    if (!IsValid())
        return false;
    bool ok = false;
    if (format == ImageFormat::PNG) {
        ok = cairo_surface_write_to_png_stream(m_impl->Raster(), AppendBytes, &bytes) ==
             CAIRO_STATUS_SUCCESS;
    } else {
        const double w = m_impl->width, h = m_impl->height;
        cairo_surface_t* out = format == ImageFormat::SVG
                                   ? cairo_svg_surface_create_for_stream(AppendBytes, &bytes, w, h)
                                   : cairo_pdf_surface_create_for_stream(AppendBytes, &bytes, w, h);
        if (cairo_surface_status(out) != CAIRO_STATUS_SUCCESS) {
            cairo_surface_destroy(out);
            bytes.clear();
            return false;
        }
        if (format == ImageFormat::SVG)
            cairo_svg_surface_restrict_to_version(out, CAIRO_SVG_VERSION_1_1);
        cairo_t* cr = cairo_create(out);
        cairo_surface_t* src =
            m_impl->kind == ImageKind::Vector ? m_impl->surface : m_impl->Raster();
        if (format == ImageFormat::SVG && m_impl->kind == ImageKind::Vector)
            m_impl->wroteSvg = true;
        if (m_impl->kind == ImageKind::Vector)
            cairo_surface_flush(src);
        cairo_set_source_surface(cr, src, 0, 0);
        cairo_paint(cr);
        const bool drawn = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
        cairo_destroy(cr);
        // A recording painted into the output keeps a reference to it, so destroying the
        // output would not complete the document: finishing it explicitly writes the rest,
        // and its status then says whether every byte arrived.
        cairo_surface_finish(out);
        ok = drawn && cairo_surface_status(out) == CAIRO_STATUS_SUCCESS;
        cairo_surface_destroy(out);
    }
    if (!ok)
        bytes.clear();
    return ok;
}

} // namespace plat
