// SPDX-License-Identifier: GPL-2.0-or-later
#include "chart/XChartExport.h"

#include "base/ZFile.h"
#include "chart/XChart.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <string>

XChartFileKind ChartFileKindFromPath(ZStr path)
{
    static const struct
    {
        const char* suffix;
        XChartFileKind kind;
    } kKinds[] = {{".png", XChartFileKind::PNG},
                  {".svg", XChartFileKind::SVG},
                  {".pdf", XChartFileKind::PDF},
                  {".xch", XChartFileKind::XML}};
    for (const auto& entry : kKinds) {
        if (path.EndsWithI(entry.suffix)) {
            return entry.kind;
        }
    }
    return XChartFileKind::Unknown;
}

plat::Image RenderChart(XChart& chart, int32_t width, int32_t height, plat::ImageKind kind)
{
    plat::Image image(width, height, kind);
    NXRect area;
    area.width = double(image.GetSize().cx);
    area.height = double(image.GetSize().cy);
    chart.Paint(image.Context(), area);
    return image;
}

ZString ChartFileText(const XChart& chart)
{
    ZString text;
    chart.WriteXML(text, "XCHART", "a xchart", "XCHART", "  ", true);
    return text;
}

bool ExportChart(XChart& chart, ZStr path, int32_t width, int32_t height, ZString& error)
{
    error.Clear();
    const XChartFileKind kind = ChartFileKindFromPath(path);
    if (kind == XChartFileKind::Unknown) {
        error.Assign("unknown chart file type '");
        error.Append(path);
        error.Append("' (use .png, .svg, .pdf or .xch)");
        return false;
    }
    if (kind != XChartFileKind::XML &&
        (width < 1 || height < 1 || width > kMaxChartImageSide || height > kMaxChartImageSide)) {
        error.Format("chart size %dx%d is not between 1x1 and %dx%d", int(width), int(height),
                     int(kMaxChartImageSide), int(kMaxChartImageSide));
        return false;
    }

    // Everything is made in memory first and then stored through the one safe replacement,
    // so that every format fails in the same way and leaves an existing file as it was.
    bool ok = false;
    int code = 0;
    if (kind == XChartFileKind::XML) {
        const ZString text = ChartFileText(chart);
        ok = ZReplaceFile(path, text.Str(), &code);
    } else {
        const plat::ImageKind imageKind =
            kind == XChartFileKind::PNG ? plat::ImageKind::Raster : plat::ImageKind::Vector;
        const plat::ImageFormat format = kind == XChartFileKind::PNG   ? plat::ImageFormat::PNG
                                         : kind == XChartFileKind::SVG ? plat::ImageFormat::SVG
                                                                       : plat::ImageFormat::PDF;
        const plat::Image image = RenderChart(chart, width, height, imageKind);
        std::string bytes;
        if (image.Encode(format, bytes)) {
            ok = ZReplaceFile(path, bytes.data(), bytes.size(), &code);
        } else {
            // Encoding into memory fails only when the memory runs out.
            code = ENOMEM;
        }
    }
    if (!ok) {
        error = ZWriteErrorText(path, code);
    }
    return ok;
}
