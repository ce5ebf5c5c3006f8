// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/engine/ComputedDesign.h"

#include "app/engine/AsBuiltDesign.h"
#include "app/engine/FilterNetwork.h"
#include "app/engine/FilterResponse.h"
#include "app/engine/FilterSynthesis.h"
#include "app/engine/ParmsText.h"

std::shared_ptr<const ComputedDesign> ComputedDesign::Compute(std::string_view parms,
                                                              LengthUnit unit, std::string& status,
                                                              BuildChoice choice)
{
    // The record holds several kilobyte-sized arrays, so the whole value lives on the heap;
    // a fresh one for every computation means no value of an earlier design leaks into it.
    std::shared_ptr<ComputedDesign> computed(new ComputedDesign());
    FilterDesign& design = computed->m_design;
    std::optional<std::string> invalid = ParmsToDesign(parms, design);
    if (!invalid) {
        invalid = ValidateDesign(design);
    }
    if (invalid) {
        status = ErrorStatusText(*invalid);
        return nullptr;
    }
    status.clear();
    Synthesize(design);
    computed->m_parms.assign(parms.data(), parms.size());
    computed->m_unit = unit;
    computed->m_choice = choice;
    computed->m_report = WriteDesignReport(design, unit);
    FillResponseArrays(design, computed->m_responseX, computed->m_responseY);
    computed->m_geometry = ComputeBuildGeometry(design, choice.feed);
    if (std::optional<std::string> problem = GeometryProblem(design, computed->m_geometry)) {
        computed->m_buildProblem = ErrorStatusText(*problem);
    }
    if (choice.corrected) {
        computed->Correct();
    }
    return computed;
}

void ComputedDesign::Correct()
{
    if (m_buildProblem) {
        m_correctionProblem = "the design cannot be built as drawn";
        return;
    }
    BuildGeometry corrected;
    CorrectionResult result;
    std::string problem;
    if (!CorrectGeometry(m_design, m_geometry, corrected, result, problem)) {
        m_correctionProblem = problem;
        return;
    }
    // The report reads its dimensions from a record that carries the corrected ones.
    auto record = std::make_unique<FilterDesign>(m_design);
    record->endRodLength = corrected.endRodLengthInch;
    record->interiorRodLength = corrected.interiorRodLengthInch;
    record->tapHeight = corrected.tapInch;
    for (size_t i = 0; i < corrected.spacingInch.size(); ++i) {
        record->spacing[i] = corrected.spacingInch[i];
    }
    m_report = WriteDesignReport(*record, m_unit, &corrected);
    m_geometry = std::move(corrected);
    m_corrected = true;
}

bool ComputedDesign::Network(std::optional<double> qu, NetworkModel& model) const
{
    return BuildNetworkModel(m_design, qu.value_or(m_design.qUnloaded), model);
}
