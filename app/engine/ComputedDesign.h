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

/// How the filter is to be built: the feed construction, and whether the dimensions are
/// corrected so that the box as built meets the design.
struct BuildChoice
{
    FeedKind feed = FeedKind::Wall;
    bool corrected = false;
};

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
    static std::shared_ptr<const ComputedDesign>
    Compute(std::string_view parms, LengthUnit unit, std::string& status, BuildChoice choice = {});

    /// The parameter text the design was computed from.
    const std::string& Parms() const { return m_parms; }
    /// How the filter is built.
    const BuildChoice& Choice() const { return m_choice; }
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
    /// Why the dimensions could not be corrected, when a correction was asked for and failed
    /// (the geometry then stays the design equations'); nothing otherwise.
    const std::optional<std::string>& CorrectionProblem() const { return m_correctionProblem; }
    /// Whether the geometry (and the report's dimensions) are corrected for the box as built.
    bool Corrected() const { return m_corrected; }
    /// The coupled-resonator model with unloaded Q `qu` (the design's estimate when not
    /// given; +infinity for lossless resonators). False when the design cannot be modelled as
    /// a network (its band reaches 0 Hz).
    bool Network(std::optional<double> qu, NetworkModel& model) const;

private:
    ComputedDesign() = default;
    // Replaces the geometry and the report's dimensions by the corrected ones, or records
    // why that failed.
    void Correct();

    std::string m_parms;
    LengthUnit m_unit = LengthUnit::Millimetre;
    BuildChoice m_choice;
    FilterDesign m_design{};
    std::string m_report;
    std::vector<double> m_responseX;
    std::vector<double> m_responseY;
    BuildGeometry m_geometry;
    std::optional<std::string> m_buildProblem;
    std::optional<std::string> m_correctionProblem;
    bool m_corrected = false;
};
