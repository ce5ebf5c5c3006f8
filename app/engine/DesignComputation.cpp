#include "app/engine/DesignComputation.h"

#include "app/engine/FilterDesign.h"
#include "app/engine/FilterResponse.h"
#include "app/engine/FilterSynthesis.h"
#include "app/engine/ParmsText.h"

#include <memory>

bool RecomputeDesign(std::string_view parms, LengthUnit unit, DesignOutputs& outputs)
{
    // The record holds several kilobyte-sized arrays, so it lives on the heap; a fresh one
    // for every computation means no value of an earlier design can leak into this one.
    auto design = std::make_unique<FilterDesign>();
    std::optional<std::string> invalid = ParmsToDesign(parms, *design);
    if (!invalid) {
        invalid = ValidateDesign(*design);
    }
    if (invalid) {
        outputs.status = ErrorStatusText(*invalid);
        return false;
    }
    outputs.status.clear();
    Synthesize(*design);
    outputs.report = WriteDesignReport(*design, unit);
    FillResponseArrays(*design, outputs.responseX, outputs.responseY);
    return true;
}
