// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "app/engine/BuildGeometry.h"
#include "app/engine/DesignReport.h"
#include "app/engine/FilterDesign.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct NetworkModel;

/// One design computed from its parameter text: the validated inputs, the synthesis, the
/// report, the ideal response and the geometry of the box and rods. Made once per change of
/// the inputs and then only read: every output and view takes the same value, so no stage
/// parses or synthesises again. Shared as `std::shared_ptr<const ComputedDesign>`.
class ComputedDesign
{
public:
    /// Parses `parms`, validates and synthesises it, writes the report with lengths in `unit`
    /// and fills the response. Returns null, with "Error: " and the name of the first invalid
    /// (or unreadable) input in `status`, when the report would reject the design; `status` is
    /// emptied on success.
    static std::shared_ptr<const ComputedDesign> Compute(std::string_view parms, LengthUnit unit,
                                                         std::string& status);

    /// The parameter text the design was computed from.
    const std::string& Parms() const { return m_parms; }
    /// The unit of the report's lengths.
    LengthUnit Unit() const { return m_unit; }
    /// The synthesised design record.
    const FilterDesign& Design() const { return m_design; }
    /// The design report, lines ending in "\r\n".
    const std::string& Report() const { return m_report; }
    /// The ideal response: sweep frequencies in MHz and the negated attenuation in dB.
    const std::vector<double>& ResponseX() const { return m_responseX; }
    const std::vector<double>& ResponseY() const { return m_responseY; }
    /// Where every rod stands, its length, and where the feeds are tapped.
    const BuildGeometry& Geometry() const { return m_geometry; }
    /// "Error: " and the input to blame when the design cannot be built as drawn (rods closer
    /// than their diameter, a rod or tap that does not fit); nothing when it can.
    const std::optional<std::string>& BuildProblem() const { return m_buildProblem; }
    /// The coupled-resonator model with unloaded Q `qu` (the design's estimate when not
    /// given; +infinity for lossless resonators). False when the design cannot be modelled as
    /// a network (its band reaches 0 Hz).
    bool Network(std::optional<double> qu, NetworkModel& model) const;

private:
    ComputedDesign() = default;

    std::string m_parms;
    LengthUnit m_unit = LengthUnit::Millimetre;
    FilterDesign m_design{};
    std::string m_report;
    std::vector<double> m_responseX;
    std::vector<double> m_responseY;
    BuildGeometry m_geometry;
    std::optional<std::string> m_buildProblem;
};
