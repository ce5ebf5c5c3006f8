// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/gui/DesignController.h"

#include "app/engine/ComputedDesign.h"
#include "app/engine/DesignReport.h"
#include "app/engine/FilterDesign.h"
#include "app/engine/ParmsText.h"

#include <utility>

namespace {

// The status line while a correction runs.
constexpr const char* kCorrectingStatus = "Correcting the dimensions...";

// The order in which the tick looks for the control with the focus. Only one control has
// the focus, so the order matters only for reading like the rest of the dialog's code.
constexpr DesignInput kTickOrder[kDesignInputCount] = {
    DesignInput::RodDiameter,        DesignInput::EndPlate,  DesignInput::CentreFrequency,
    DesignInput::GroundPlaneSpacing, DesignInput::Impedance, DesignInput::Ripple,
    DesignInput::Bandwidth,          DesignInput::Elements,
};

// Copies a response curve into the array the chart reads. False, leaving the array as it
// was, when memory ran out.
bool CopyCurve(const std::vector<double>& from, XRealArray& to)
{
    const int32_t n = int32_t(from.size());
    if (!to.SetSize(n)) {
        return false;
    }
    for (int32_t i = 0; i < n; ++i) {
        to[i] = from[size_t(i)];
    }
    return true;
}

} // namespace

DesignController::DesignController(DesignControls& controls)
    : m_controls(controls)
{
}

void DesignController::InitInputs()
{
    m_inputs = DesignInputs{};
    for (int i = 0; i < kDesignInputCount; ++i) {
        const DesignInput input = DesignInputAt(i);
        const DesignInputInfo& info = InputInfo(input);
        m_controls.SetSliderRange(input, info.sliderMin, info.sliderMax);
        MoveSlider(input);
    }
    m_controls.StartTimer(kTimerId, kTimerPeriodMs);
}

void DesignController::OnTick(TickSource source)
{
    if (busy || !timerActive) {
        return;
    }
    if (source == TickSource::Timer) {
        TakeCorrection(false);
    }
    SlidersToFields();
    FieldsToSliders(false);
    // The inputs have settled when the timer finds them as it found them a period before;
    // a slider's notice means it is moving still.
    InputPace pace = InputPace::Moving;
    if (source == TickSource::Timer) {
        const std::string text = BuildParms();
        if (text == m_timerParms) {
            pace = InputPace::Settled;
        }
        m_timerParms = text;
    }
    Recompute(pace);
    for (int i = 0; i < kDesignInputCount; ++i) {
        m_editShown[i] = m_controls.GetEditText(DesignInputAt(i));
    }
    // Recompute read every edit. A text that differs from the last tick's is a change by the
    // user, typed or dragged, even when the focus has left the field since: a configuration
    // chosen next must ask before it replaces it.
    const std::string now = ::BuildParms(m_inputs);
    if (!m_tickParms.empty() && now != m_tickParms) {
        modified = true;
    }
    m_tickParms = now;
}

void DesignController::SlidersToFields()
{
    if (!AnyFocus(&DesignControls::SliderHasFocus)) {
        return; // only a slider with the focus moves its field
    }
    const std::string before = BuildParms();
    for (DesignInput input : kTickOrder) {
        // A slider that merely took the focus (Tab from its field) keeps its field as typed:
        // only a slider moved since the last tick writes its position into the field.
        const int pos = m_controls.GetSliderPos(input);
        if (m_controls.SliderHasFocus(input) && pos != m_sliderShown[int(input)]) {
            SetFieldFromSliderPosition(m_inputs, input, pos);
            m_sliderShown[int(input)] = pos;
            FieldsToControls();
        }
    }
    if (BuildParms() != before) {
        modified = true;
    }
}

void DesignController::FieldsToSliders(bool force)
{
    const std::string before = BuildParms();
    for (DesignInput input : kTickOrder) {
        // A field with the focus moves its slider, and so does one changed since the last
        // tick whose focus has moved on already (a value pasted, then Tab).
        const bool changed = m_controls.GetEditText(input) != m_editShown[int(input)];
        if (force || m_controls.EditHasFocus(input) || changed) {
            ControlsToFields();
            MoveSlider(input);
        }
    }
    if (BuildParms() != before) {
        modified = true;
    }
}

void DesignController::Recompute(InputPace pace)
{
    if (busy) {
        return;
    }
    busy = true;
    const std::string text = BuildParms();
    if (const std::string unreadable = UnreadableStatus(); !unreadable.empty()) {
        // An edit without a number is an invalid input, not a zero.
        CancelCorrection();
        SetStatus(unreadable);
        lastParms.clear();
        busy = false;
        return;
    }
    // The same inputs need a new design only when the check box no longer asks for the
    // correction the design on screen has.
    if (text != lastParms || !m_design || (m_design->Choice().corrected && m_correct == 0) ||
        m_design->Choice().feed != Choice().feed) {
        std::string status;
        std::shared_ptr<const ComputedDesign> design =
            ComputedDesign::Compute(text, Unit(), status, BuildChoice{Choice().feed, false});
        if (!design) {
            // The last valid report and curve stay on screen; only the status line says why.
            CancelCorrection();
            SetStatus(status);
            lastParms.clear();
            busy = false;
            return;
        }
        ++m_recomputeCount;
        lastParms = text; // the views may ask which design they show
        m_design = std::move(design);
        CancelCorrection();
        SetStatus(std::string());
        ShowDesign();
    }
    // Moving inputs are not corrected: the worker would spend seconds on designs passed by.
    if (m_correct == 0) {
        CancelCorrection();
    } else if (pace == InputPace::Settled) {
        RequestCorrection();
    }
    busy = false;
}

bool DesignController::TakeCorrection(bool wait)
{
    if (m_correcting.empty()) {
        return false;
    }
    std::shared_ptr<const ComputedDesign> design;
    std::string status;
    if (!(wait ? m_worker.WaitResult(design, status) : m_worker.TakeResult(design, status))) {
        return false;
    }
    m_correcting.clear();
    // A correction of inputs or a unit left since, or of a design that became invalid
    // meanwhile, is of no use; the tick that left them asked for the next one.
    if (!design || m_correct == 0 || design->Parms() != lastParms || design->Unit() != Unit() ||
        design->Choice().feed != Choice().feed) {
        if (m_status == kCorrectingStatus) {
            SetStatus(std::string());
        }
        return false;
    }
    m_design = std::move(design);
    const std::optional<std::string>& problem = m_design->CorrectionProblem();
    // The design stands with its own dimensions when they cannot be corrected.
    SetStatus(problem ? "Not corrected: " + *problem : std::string());
    ShowDesign();
    return true;
}

void DesignController::ShowDesign()
{
    m_controls.ShowReport(m_design->Report());
    // Both arrays change together or not at all, so the chart never pairs the frequencies
    // of one design with the losses of another.
    XRealArray x;
    XRealArray y;
    if (CopyCurve(m_design->ResponseX(), x) && CopyCurve(m_design->ResponseY(), y)) {
        responseX = std::move(x);
        responseY = std::move(y);
    }
    m_controls.ResponseChanged();
}

void DesignController::RequestCorrection()
{
    if (!m_design || m_design->Choice().corrected || m_correcting == lastParms) {
        return;
    }
    m_correcting = lastParms;
    m_worker.Request(lastParms, Unit(), Choice().feed);
    SetStatus(kCorrectingStatus);
}

void DesignController::CancelCorrection()
{
    if (m_correcting.empty()) {
        return;
    }
    m_correcting.clear();
    m_worker.Cancel();
    if (m_status == kCorrectingStatus) {
        SetStatus(std::string());
    }
}

void DesignController::FieldsToControls()
{
    // A changed Elements text recomputes at once, reading every edit; so it is written last,
    // when the other edits already show the new fields and the computation sees them all.
    for (int i = kDesignInputCount - 1; i >= 0; --i) {
        const DesignInput input = DesignInputAt(i);
        m_controls.SetEditText(input, FieldText(m_inputs, input));
    }
}

void DesignController::ControlsToFields()
{
    for (int i = 0; i < kDesignInputCount; ++i) {
        const DesignInput input = DesignInputAt(i);
        const std::string text = m_controls.GetEditText(input);
        SetFieldFromText(m_inputs, input, text);
        m_unreadable[i] = !FieldTextHasNumber(input, text);
    }
    inch = m_controls.GetInchCheck();
    m_correct = m_controls.GetCorrectedCheck();
}

BuildChoice DesignController::Choice() const
{
    return BuildChoice{m_controls.GetCoverFeedCheck() != 0 ? FeedKind::Cover : FeedKind::Wall,
                       m_controls.GetCorrectedCheck() != 0};
}

void DesignController::ApplyBuildChoice(const BuildChoice& choice)
{
    m_controls.SetBuildChecks(choice);
    m_correct = m_controls.GetCorrectedCheck();
    lastParms.clear();
}

std::string DesignController::BuildParms()
{
    ControlsToFields();
    return ::BuildParms(m_inputs);
}

void DesignController::FieldsApplied()
{
    lastParms.clear();
    CancelCorrection();
    FieldsToControls();
    FieldsToSliders(true);
    modified = false;
    m_tickParms = ::BuildParms(m_inputs);
    m_timerParms = m_tickParms; // chosen, not moving: the next tick may correct the design
}

bool DesignController::AnyFocus(bool (DesignControls::*hasFocus)(DesignInput) const) const
{
    for (DesignInput input : kTickOrder) {
        if ((m_controls.*hasFocus)(input)) {
            return true;
        }
    }
    return false;
}

std::string DesignController::ParmsToStore()
{
    const std::shared_ptr<const ComputedDesign> design = CurrentDesign();
    return design ? design->Parms() : std::string();
}

std::shared_ptr<const ComputedDesign> DesignController::CurrentDesign()
{
    if (!lastParms.empty() && m_design) {
        return m_design;
    }
    // Nothing computed since the last change of unit or configuration: the design of what
    // the edits hold, when the calculator accepts it.
    const std::string text = BuildParms();
    std::string status;
    return UnreadableStatus().empty()
               ? ComputedDesign::Compute(text, Unit(), status, BuildChoice{Choice().feed, false})
               : nullptr;
}

std::shared_ptr<const ComputedDesign> DesignController::SettledDesign()
{
    if (m_correct != 0) {
        // The edits' design, settled: its correction is asked for now unless it was, and the
        // export waits for it.
        Recompute(InputPace::Settled);
        TakeCorrection(true);
    }
    return CurrentDesign();
}

void DesignController::ShowNote(const std::string& note)
{
    // A note takes the place of an empty line or of the note before it, never of an error.
    if (m_status != m_note) {
        return;
    }
    m_status = m_note = note;
    m_controls.ShowStatus(note);
}

void DesignController::SetStatus(const std::string& text)
{
    m_status = text;
    m_note.clear();
    m_controls.ShowStatus(text);
}

std::string DesignController::UnreadableStatus() const
{
    for (int i = 0; i < kDesignInputCount; ++i) {
        if (m_unreadable[i]) {
            return ErrorStatusText(InputInfo(DesignInputAt(i)).errorName);
        }
    }
    return std::string();
}

LengthUnit DesignController::Unit() const
{
    return inch != 0 ? LengthUnit::Inch : LengthUnit::Millimetre;
}

void DesignController::MoveSlider(DesignInput input)
{
    m_controls.SetSliderPos(input, SliderPositionFromField(m_inputs, input));
    m_sliderShown[int(input)] = m_controls.GetSliderPos(input);
}
