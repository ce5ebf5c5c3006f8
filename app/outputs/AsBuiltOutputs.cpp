// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/outputs/AsBuiltOutputs.h"

#include "app/engine/AsBuiltDesign.h"
#include "app/engine/ComputedDesign.h"

#include <cstdarg>
#include <cstdio>

namespace {

constexpr double kMmPerInch = 25.4;

std::string Format(const char* format, ...)
{
    char buffer[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

std::string Row(const std::string& label, const std::string& asBuilt, const std::string& ideal,
                const char* unit)
{
    std::string row = Format("%-18s%16s%16s", label.c_str(), asBuilt.c_str(), ideal.c_str());
    if (*unit != '\0') {
        row += std::string(" ") + unit;
    }
    return row + "\n";
}

} // namespace

bool AsBuiltSummaryText(const ComputedDesign& design, std::string& text, std::string& error)
{
    AsBuiltSummary built;
    AsBuiltSummary ideal;
    if (design.BuildProblem()) {
        error = "the filter cannot be built as drawn (" + *design.BuildProblem() + ")";
        return false;
    }
    if (!SummarizeAsBuilt(design.Design(), design.Geometry(), built, ideal, error)) {
        return false;
    }
    const BuildGeometry& g = design.Geometry();
    std::string out = "As built: " + std::string(FeedKindName(g.feed)) + " feed, " +
                      (design.Corrected() ? "corrected dimensions" : "dimensions as designed") +
                      ", lossless\n";
    out += Row("", "as built", "design", "");
    // The design's side of every row is the lossless coupled-resonator model of the
    // prototype, measured the same way.
    auto mhz = [](double v) { return Format("%.2f", v); };
    out += Row("Centre", mhz(built.centreMHz), mhz(ideal.centreMHz), "MHz");
    out += Row("3 dB band", mhz(built.lowMHz) + "-" + mhz(built.highMHz),
               mhz(ideal.lowMHz) + "-" + mhz(ideal.highMHz), "MHz");
    out +=
        Row("Ripple in band", Format("%.2f", built.rippleDb), Format("%.2f", ideal.rippleDb), "dB");
    out += Row("Return loss", Format("%.2f", built.returnLossDb),
               Format("%.2f", ideal.returnLossDb), "dB, worst in band");
    for (size_t i = 0; i < built.resonatorMHz.size(); ++i) {
        out += Row("Resonator " + std::to_string(i + 1), mhz(built.resonatorMHz[i]),
                   mhz(ideal.resonatorMHz[i]), "MHz");
    }
    for (size_t i = 0; i < built.coupling.size(); ++i) {
        out += Row("Coupling " + std::to_string(i + 1) + "-" + std::to_string(i + 2),
                   Format("%.5f", built.coupling[i]), Format("%.5f", ideal.coupling[i]), "");
    }
    const size_t n = built.resonatorMHz.size();
    out += Row("External Q 1", Format("%.2f", built.qe1), Format("%.2f", ideal.qe1), "");
    out += Row("External Q " + std::to_string(n), Format("%.2f", built.qen),
               Format("%.2f", ideal.qen), "");
    text = out;
    return true;
}

std::string GeometryJsonText(const ComputedDesign& design)
{
    const BuildGeometry& g = design.Geometry();
    auto mm = [](double inches) { return Format("%.4f", inches * kMmPerInch); };
    std::string out = "{\n";
    out += "  \"unit\": \"mm\",\n";
    out += "  \"axes\": \"x along the row from the first end wall, y along the rods from "
           "ground wall A, z up from the lower ground plane\",\n";
    out += std::string("  \"corrected\": ") + (design.Corrected() ? "true" : "false") + ",\n";
    out += "  \"box\": {\"x\": " + mm(g.boxLengthInch) + ", \"y\": " + mm(g.boxDepthInch) +
           ", \"z\": " + mm(g.groundPlaneInch) + "},\n";
    out += "  \"groundPlaneSpacing\": " + mm(g.groundPlaneInch) + ",\n";
    out += "  \"endWallToRod\": " + mm(g.endWallInch) + ",\n";
    out += "  \"rods\": [\n";
    for (size_t i = 0; i < g.rods.size(); ++i) {
        const BuildRod& rod = g.rods[i];
        out += "    {\"number\": " + std::to_string(rod.number) + ", \"x\": " + mm(rod.centreInch) +
               ", \"z\": " + mm(g.groundPlaneInch / 2) + ", \"groundWall\": \"" +
               (rod.ground == GroundWall::A ? "A" : "B") + "\", \"length\": " + mm(rod.lengthInch) +
               ", \"diameter\": " + mm(g.rodDiameterInch) +
               ", \"fed\": " + (rod.fed ? "true" : "false") + "}" +
               (i + 1 < g.rods.size() ? ",\n" : "\n");
    }
    out += "  ],\n";
    out += "  \"tapHeight\": " + mm(g.tapInch) + ",\n";
    out += "  \"feed\": {\"kind\": \"" + std::string(FeedKindName(g.feed)) + "\", \"" +
           (g.feed == FeedKind::Wall ? "leadSide" : "pinDiameter") + "\": " + mm(g.leadSizeInch) +
           ", \"leadLength\": " + mm(g.leadLengthInch) +
           ", \"connectorOhm\": " + Format("%.6g", design.Design().R) + "}\n";
    out += "}\n";
    return out;
}
