// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "app/gui/ConfigStore.h"
#include "app/gui/DesignChartMenu.h"
#include "app/gui/DesignController.h"
#include "chart/XChartWnd.h"
#include "edit/XMEditWnd.h"
#include "platform/Dialog.h"

#include <cstdint>
#include <string>

/// How the main dialog starts; the defaults are those of a user's start.
struct DesignDialogOptions
{
    /// Quit from inside the first paint that shows both the report and the chart (for
    /// measuring the start-up).
    bool quitAfterFirstPaint = false;
    /// The performance counter when the program started; with quitAfterFirstPaint the time
    /// from there to the first complete paint is printed on stderr.
    uint64_t startCounter = 0;
};

/// Told after each paint of a window that reports its paints.
class PaintListenerCB
{
public:
    virtual ~PaintListenerCB() = default;
    virtual void Painted() = 0;
};

/// A window of the library that tells a listener after each paint.
template <class Wnd> class PaintReportingWnd : public Wnd
{
public:
    bool painted = false;
    PaintListenerCB* listener = nullptr; ///< not owned; null tells nobody
    bool OnPaint(plat::Window& wnd, plat::DrawContext& dc, const plat::Rect& update) override
    {
        const bool result = Wnd::OnPaint(wnd, dc, update);
        painted = true;
        if (listener != nullptr) {
            listener->Painted();
        }
        return result;
    }
};

/// The calculator's main dialog: the eight inputs with their sliders, the unit switch, the
/// configuration list, the report editor, the status line and the chart. It hosts the design
/// controller and routes the dialog's events to it.
class DesignDialog : public plat::WindowCB,
                     public plat::Dialog,
                     private DesignControls,
                     private ConfigStoreHost,
                     private PaintListenerCB
{
public:
    explicit DesignDialog(const DesignDialogOptions& options = DesignDialogOptions());
    ~DesignDialog() override;

    /// Runs the dialog modally until OK, Escape or the close box; -1 without a display.
    int Run();

    DesignController& Controller() { return m_controller; }
    ConfigStore& Configs() { return m_configs; }
    XMEditWnd& ReportWnd() { return reportWnd; }
    XMEditWnd& StatusWnd() { return statusWnd; }
    XChartWnd& ChartWnd() { return chartWnd; }
    DesignChartMenu& ChartMenu() { return m_chartMenu; }
    /// A slider was moved by the user: its field, the report, the status line and the chart
    /// follow now rather than at the next tick.
    void SliderMoved();
    /// Places the report and the chart for a client area of `client` pixels.
    void Layout(plat::Size client);

    bool OnMessage(plat::Window& wnd, const plat::Message& msg) override;
    bool OnPaint(plat::Window& wnd, plat::DrawContext& dc, const plat::Rect& update) override;

private:
    void InitDialog();
    bool OnCommand(int id, uint32_t code);
    /// Removes the static place holder id and returns its rectangle.
    plat::Rect TakePlace(int id);
    void ShowReferences();
    /// After a paint of the report or the chart: once both show a computed design, the
    /// window is complete (and closes, when measuring the start).
    void Painted() override;

    // DesignControls
    std::string GetEditText(DesignInput input) const override;
    void SetEditText(DesignInput input, const std::string& text) override;
    void SetSliderRange(DesignInput input, int min, int max) override;
    void SetSliderPos(DesignInput input, int pos) override;
    int GetSliderPos(DesignInput input) const override;
    bool SliderHasFocus(DesignInput input) const override;
    bool EditHasFocus(DesignInput input) const override;
    int GetInchCheck() const override;
    int GetCorrectedCheck() const override;
    int GetCoverFeedCheck() const override;
    void SetBuildChecks(const BuildChoice& choice) override;
    /// A click on "Corrected dimensions" or "Cover feed".
    void BuildCheckClicked();
    void StartTimer(uint32_t id, uint32_t periodMs) override;
    void ShowStatus(const std::string& text) override;
    void ShowReport(const std::string& text) override;
    void ResponseChanged() override;

    // ConfigStoreHost
    void ClearConfigList() override;
    void AddConfigItem(const std::string& name) override;
    void SelectConfigItem(int index) override;
    MessageAnswer ShowMessage(const std::string& caption, const std::string& text,
                              MessageButtons buttons) override;
    bool AskNewName(std::string& name) override;

    /// The one-shot timer that shows a start-up problem once the window is up.
    static constexpr uint32_t kStartupNoticeTimer = 4712;

    DesignDialogOptions m_options;
    DesignController m_controller{*this};
    ConfigStore m_configs{m_controller, *this};
    // The chart's menu outlives the chart window, which calls it as the chart's host until
    // it is gone.
    DesignChartMenu m_chartMenu{m_controller, chartWnd, *this};
    PaintReportingWnd<XMEditWnd> reportWnd;
    XMEditWnd statusWnd;
    PaintReportingWnd<XChartWnd> chartWnd;
    int32_t m_chartLine = -1;
    int m_pictureRods = 0;    ///< the number of rods the picture shows
    plat::Size m_baseClient;  ///< the client size of the template, the smallest there is
    plat::Rect m_reportPlace; ///< the report's place in a window of that size
    plat::Rect m_chartPlace;  ///< the chart's place likewise
};
