// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "app/engine/ComputedDesign.h"
#include "app/engine/DesignInputs.h"
#include "app/engine/DesignReport.h"
#include "app/gui/CorrectionWorker.h"
#include "base/XValueRef.h"

#include <cstdint>
#include <memory>
#include <string>

class ComputedDesign;

/// What the design controller needs of the window that shows it: the eight edit fields and
/// their sliders, the unit switch, the timer and the three result views. The main dialog
/// implements it over its controls; tests implement it over plain values.
class DesignControls
{
public:
    virtual ~DesignControls() = default;

    virtual std::string GetEditText(DesignInput input) const = 0;
    /// Sets an edit's text; for the Elements edit this may run Recompute at once, as its
    /// text-change notification does.
    virtual void SetEditText(DesignInput input, const std::string& text) = 0;
    /// Slider ranges and positions; a position outside the range is clamped to it.
    virtual void SetSliderRange(DesignInput input, int min, int max) = 0;
    virtual void SetSliderPos(DesignInput input, int pos) = 0;
    virtual int GetSliderPos(DesignInput input) const = 0;
    /// Whether the input's slider, or its edit, has the keyboard focus.
    virtual bool SliderHasFocus(DesignInput input) const = 0;
    virtual bool EditHasFocus(DesignInput input) const = 0;
    /// State of the "Inch" check box, 0 or 1.
    virtual int GetInchCheck() const = 0;
    /// State of the "Corrected dimensions" check box, 0 or 1.
    virtual int GetCorrectedCheck() const = 0;
    /// State of the "Cover feed" check box, 0 (the wall feed) or 1.
    virtual int GetCoverFeedCheck() const { return 0; }
    /// Sets "Corrected dimensions" and "Cover feed" from a stored build choice.
    virtual void SetBuildChecks(const BuildChoice&) {}
    /// Starts the window timer that drives OnTick.
    virtual void StartTimer(uint32_t id, uint32_t periodMs) = 0;

    /// Replaces the status line's text ("" or "Error: " and the input's name).
    virtual void ShowStatus(const std::string& text) = 0;
    /// Replaces the report's text (lines end in "\r\n").
    virtual void ShowReport(const std::string& text) = 0;
    /// The response arrays hold a new curve: repaint the chart.
    virtual void ResponseChanged() = 0;
};

/// Whether the inputs still move when a design is computed (a slider being dragged, a field
/// being typed into) or have settled (the timer found them as it found them a period
/// before, or a click asked for the design).
enum class InputPace { Moving, Settled };

/// What runs a tick: the window's timer, or a slider's own notice while it moves.
enum class TickSource { Timer, Slider };

/// The calculator's main cycle: keeps each input field and its slider in step and, on every
/// timer tick, recomputes the design when the parameter text changed. The fields are in the
/// units of the dialog's labels (MHz, mm); the response arrays are owned here and read by
/// the chart, which keeps pointers to them for the controller's life.
///
/// With "Corrected dimensions" ticked the designs carry dimensions corrected for the box as
/// built. The correction takes from a fraction of a second to several seconds, so it runs on
/// a worker thread: every design is shown at once with its own dimensions, and once the
/// inputs have settled their correction is asked for, once per change of the inputs, and
/// replaces the design on screen at the first tick after it is ready.
class DesignController
{
public:
    static constexpr uint32_t kTimerId = 4711;
    static constexpr uint32_t kTimerPeriodMs = 200;

    explicit DesignController(DesignControls& controls);

    /// The defaults, each slider's range and position from its field, then the timer.
    void InitInputs();
    /// The timer's work: copy a moved slider into its field or a typed field into its slider,
    /// then recompute; modified is set when the inputs differ from the last tick's. Does
    /// nothing while busy or while the timer is inactive. A slider's tick, and a timer tick
    /// that finds other inputs than the timer's tick before, computes at the pace Moving.
    /// The timer's tick first takes a finished correction.
    void OnTick(TickSource source = TickSource::Timer);
    /// A slider with the focus sets its field and the edits are refilled; modified is set
    /// when the parameter text changed.
    void SlidersToFields();
    /// Each input whose edit has the focus (every input with force) moves its slider;
    /// modified is set when the parameter text changed.
    void FieldsToSliders(bool force);
    /// Recomputes the design when the parameter text differs from lastParms, or when the
    /// design on screen is corrected and the check box no longer asks for it: the status
    /// line, the report and the response on success; only the status line for an invalid
    /// input (lastParms then empties, so the next tick tries again). With the check box
    /// ticked and `pace` Settled the correction of the design on screen is asked for, unless
    /// it is corrected, asked for already, or failed. Not re-entered while busy.
    void Recompute(InputPace pace = InputPace::Settled);
    /// Puts the finished correction of the design on screen in its place (with `wait`, after
    /// waiting for one that runs): report, response and status line. A correction that
    /// failed keeps the design's own dimensions, and the status line says why. False when
    /// none was taken.
    bool TakeCorrection(bool wait);
    /// Whether a correction of the design on screen was asked for and not yet taken.
    bool IsCorrecting() const { return !m_correcting.empty(); }

    /// Data exchange: fields to edits ("%g", "%d"), and edits (atof, atoi), the unit switch
    /// and the correction switch to fields.
    void FieldsToControls();
    void ControlsToFields();
    /// The parameter text of the edits' current values (the edits are read into the fields
    /// first).
    std::string BuildParms();
    /// After new field values were stored (a configuration chosen): forgets lastParms, refills
    /// the edits, moves every slider and clears modified.
    void FieldsApplied();
    /// Forgets lastParms so the next tick recomputes (the unit switch was clicked).
    void ForgetLastParms() { lastParms.clear(); }
    /// How the check boxes say the filter is built.
    BuildChoice Choice() const;
    /// Sets the check boxes to a stored configuration's build choice; the next tick shows it.
    void ApplyBuildChoice(const BuildChoice& choice);
    /// The parameter text a save should store: lastParms, or while it is empty the text of
    /// the current edits when that validates; empty when there is nothing valid to store.
    std::string ParmsToStore();
    /// The design on screen: the last computed one, or while lastParms is empty the design of
    /// the current edits; null when they are not valid. Every view reads it.
    std::shared_ptr<const ComputedDesign> CurrentDesign();
    /// The design on screen once its inputs are taken as settled: with the check box ticked,
    /// its correction is waited for (and shown) first, so that an export has the dimensions
    /// the check box asks for. Null when the inputs are not valid.
    std::shared_ptr<const ComputedDesign> SettledDesign();
    /// Shows `note` (about a view of the design) in the status line unless that shows an
    /// error of the inputs or of the correction, which stays; "" takes a note away.
    void ShowNote(const std::string& note);
    /// The unit of the report's lengths, from the unit switch.
    LengthUnit Unit() const;

    DesignInputs& Inputs() { return m_inputs; }
    const DesignInputs& Inputs() const { return m_inputs; }
    int Inch() const { return inch; }
    XRealArray& ResponseX() { return responseX; }
    XRealArray& ResponseY() { return responseY; }
    const std::string& LastParms() const { return lastParms; }
    bool IsModified() const { return modified; }
    void SetModified(bool value) { modified = value; }
    bool IsBusy() const { return busy; }
    /// How many recomputations reached the synthesis (for measurements and tests).
    int32_t RecomputeCount() const { return m_recomputeCount; }

private:
    /// Sets the slider of `input` from its field and remembers where it then stands.
    void MoveSlider(DesignInput input);
    /// "Error: " and the name of the first input (in validation order) whose edit holds no
    /// number; empty when every edit holds one.
    std::string UnreadableStatus() const;
    /// Whether one of the inputs' sliders (or edits) has the focus.
    bool AnyFocus(bool (DesignControls::*hasFocus)(DesignInput) const) const;
    /// Shows `text` in the status line and remembers it.
    void SetStatus(const std::string& text);
    /// Shows a design just made current: report, response (and with it the chart's views).
    void ShowDesign();
    /// Asks the worker for the correction of the design on screen, unless it was asked for.
    void RequestCorrection();
    /// Drops a correction asked for and its "Correcting" notice.
    void CancelCorrection();

    DesignControls& m_controls;
    DesignInputs m_inputs;
    int inch = 0;
    int m_correct = 0;
    XRealArray responseX;
    XRealArray responseY;
    std::string lastParms;
    std::shared_ptr<const ComputedDesign> m_design; ///< the last valid design computed
    bool modified = false;
    bool busy = false;
    bool timerActive = true;
    int32_t m_recomputeCount = 0;
    /// The parameter text at the end of the last tick (or of applied fields); empty before
    /// the first tick.
    std::string m_tickParms;
    /// The parameter text at the last timer tick: inputs found the same at the next one
    /// have settled.
    std::string m_timerParms;
    /// The status line's text as last set here, and the part of it that is a view's note
    /// (all of it or nothing).
    std::string m_status;
    std::string m_note;
    /// Computes the corrections.
    CorrectionWorker m_worker;
    /// The parameter text whose correction the worker was asked for and that was not yet
    /// taken; empty when none is.
    std::string m_correcting;
    /// Where each slider stood when the controller last set or read it: a slider found
    /// elsewhere was moved by the user since.
    int m_sliderShown[kDesignInputCount] = {};
    /// Each edit's text at the end of the last tick: an edit found with another text was
    /// changed since, and its slider follows even when the focus has left it.
    std::string m_editShown[kDesignInputCount];
    /// Which edits held no number when last read.
    bool m_unreadable[kDesignInputCount] = {};
};
