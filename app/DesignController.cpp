#include "app/DesignController.h"

#include "app/filter/DesignComputation.h"
#include "app/filter/ParmsText.h"

// A minimal controller, enough for the configuration store to run; the full controller
// replaces it.

DesignController::DesignController(DesignControls& controls)
    : m_controls(controls)
{
}

void DesignController::FieldsToControls()
{
    for (int i = 0; i < kDesignInputCount; ++i) {
        const DesignInput input = DesignInputAt(i);
        m_controls.SetEditText(input, FieldText(m_inputs, input));
    }
}

void DesignController::ControlsToFields()
{
    for (int i = 0; i < kDesignInputCount; ++i) {
        const DesignInput input = DesignInputAt(i);
        SetFieldFromText(m_inputs, input, m_controls.GetEditText(input));
    }
    inch = m_controls.GetInchCheck();
}

std::string DesignController::BuildParms()
{
    ControlsToFields();
    return ::BuildParms(m_inputs);
}

void DesignController::MoveSlider(DesignInput input)
{
    m_controls.SetSliderPos(input, SliderPositionFromField(m_inputs, input));
}

void DesignController::FieldsApplied()
{
    lastParms.clear();
    FieldsToControls();
    for (int i = 0; i < kDesignInputCount; ++i) {
        MoveSlider(DesignInputAt(i));
    }
    modified = false;
}

std::string DesignController::ParmsToStore()
{
    if (!lastParms.empty()) {
        return lastParms;
    }
    const std::string text = BuildParms();
    DesignOutputs outputs;
    return RecomputeDesign(text, LengthUnit::Millimetre, outputs) ? text : std::string();
}

void DesignController::Recompute()
{
    if (busy) {
        return;
    }
    busy = true;
    const std::string text = BuildParms();
    if (text != lastParms) {
        DesignOutputs outputs;
        const bool ok =
            RecomputeDesign(text, inch ? LengthUnit::Inch : LengthUnit::Millimetre, outputs);
        m_controls.ShowStatus(outputs.status);
        if (ok) {
            m_controls.ShowReport(outputs.report);
            ++m_recomputeCount;
            lastParms = text;
        } else {
            lastParms.clear();
        }
    }
    busy = false;
}
