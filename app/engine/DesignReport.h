// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <string>

struct BuildGeometry;
struct FilterDesign;

/// Unit in which the design report shows lengths.
enum class LengthUnit {
    Millimetre, ///< lengths times 25.4, one decimal, unit text "mm"
    Inch,       ///< lengths as held, three decimals, unit text "\""
};

/// Writes the design report of a synthesised design: the electrical results, the box
/// dimensions, the rod table and a sideways text plot of the response (one 80-column line
/// per sweep point). Lines end with "\r\n". Values that are not numbers are printed as the
/// stream formats them; the report is complete all the same.
/// With `corrected`, the dimensions are that geometry's (each rod's length listed after the
/// rod table) and `design` must carry its spacings, tap and end and interior lengths.
std::string WriteDesignReport(const FilterDesign& design, LengthUnit unit,
                              const BuildGeometry* corrected = nullptr);

/// Column (0..65) of the star in the response plot for an attenuation in dB: one column
/// per whole dB, clamped at 65; a value that is not a number is clamped too.
int PlotColumn(double attenuationDb);

/// Replaces every "\r\n" of `text` by "\n", giving the report as the report editor holds it
/// in lines, written with plain line feeds.
std::string CrLfToLf(const std::string& text);
