// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/XValueRef.h"
#include "chart/XChartCB.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class ComputedDesign;
class DesignController;
class XChartWnd;

namespace plat {
class Window;
struct FileFilter;
} // namespace plat

/// The calculator's host of its chart: the chart's own context menu, followed by the
/// calculator's entries "Network Response" (|S21| with the resonators' loss, |S11| and |S21|
/// of the box as built drawn over the ideal curve, recomputed with every design while
/// shown), "Export Touchstone...", "Tuning Table" and "Save Build Sheet...". Messages go to
/// message boxes over the owner; why the box as built has no line goes to the status line.
class DesignChartMenu : public XChartCB
{
public:
    DesignChartMenu(DesignController& controller, XChartWnd& chartWnd, plat::Window& owner);

    /// Adds the network lines to the chart, hidden; call once after the chart is set up.
    void Setup(XChart& chart);
    /// After each successful recomputation: recomputes the network lines of the design on
    /// screen while they are shown.
    void DesignChanged();

    /// Shows or hides the network lines; false (and hidden) when the design cannot be
    /// modelled as a network, with the reason in error. A box that cannot be modelled as
    /// built leaves its line out, and the status line says why.
    bool ShowNetwork(bool show, std::string& error);
    bool IsNetworkShown() const { return m_network; }
    /// Whether the line of the box as built is drawn (with the network lines).
    bool IsAsBuiltShown() const { return m_network && m_asBuiltValid; }
    /// Writes the current design's Touchstone file to path. False with the reason in error.
    bool ExportTouchstone(const std::string& path, std::string& error);
    /// The current design's tuning table as aligned text; empty with the reason in error.
    std::string TuningTable(std::string& error);
    /// Writes the current design's build sheet (PDF or SVG) or workshop drawing (DXF), chosen
    /// by the extension of path, in the report's unit. False with the reason in error.
    bool SaveBuildSheet(const std::string& path, std::string& error);

    /// Where the save dialogs take the name they propose from (the chosen configuration's
    /// name; "filter" when it gives none).
    void SetFileStem(std::function<std::string()> stem) { m_fileStem = std::move(stem); }

    bool FillMenu(XChart& chart, ZString& markup) override;
    bool Command(XChart& chart, ZStr name) override;

private:
    bool ComputeNetwork(const ComputedDesign& design, std::string& error);
    void SetNetworkVisible(bool visible);
    void ShowError(const char* title, const std::string& error);
    /// Asks for a file to save to with the given types; false when cancelled.
    bool AskSavePath(const char* title, std::vector<plat::FileFilter> filters, std::string& path);

    DesignController& m_controller;
    XChartWnd& m_chartWnd;
    plat::Window& m_owner;
    XRealArray m_x;
    XRealArray m_s21;
    XRealArray m_s11;
    XRealArray m_asBuilt;
    int32_t m_s21Line = -1;
    int32_t m_s11Line = -1;
    int32_t m_asBuiltLine = -1;
    bool m_network = false;
    bool m_asBuiltValid = false; ///< m_asBuilt holds the design's line as built
    std::function<std::string()> m_fileStem = [] { return std::string(); };
    std::string m_lastFolder; ///< the folder of the last file saved, "/"-terminated
    std::string m_xmlName;    ///< the name last proposed for the chart's Save XML
};
