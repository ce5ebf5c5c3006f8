// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/gui/DesignChartMenu.h"

#include "app/engine/ComputedDesign.h"
#include "app/gui/DesignController.h"
#include "app/outputs/BuildSheet.h"
#include "app/outputs/NetworkOutputs.h"
#include "app/outputs/OutputFile.h"
#include "app/outputs/TesseraChart.h"
#include "chart/XChart.h"
#include "chart/XChartWnd.h"
#include "platform/FileDialog.h"
#include "xml/TXML.h"
#include "xmldlg/XMLMessageBox.h"

namespace {

void AppendEntry(ZString& markup, const char* text, const char* command, bool checked)
{
    markup.Append("<m s='");
    markup.Append(text);
    markup.Append("' c=");
    markup.Append(command);
    if (checked) {
        markup.Append(" o=C");
    }
    markup.Append(" />");
}

// Copies what a sweep computed into the arrays the chart lines read; asBuilt stays empty
// when the sweep has no points as built.
bool CopyCurves(const NetworkSweep& sweep, XRealArray& x, XRealArray& s21, XRealArray& s11,
                XRealArray& asBuilt)
{
    const std::vector<NetworkPoint>& points = sweep.points;
    const int32_t n = int32_t(points.size());
    const int32_t built = sweep.asBuilt.size() == points.size() ? n : 0;
    XRealArray nx;
    XRealArray n21;
    XRealArray n11;
    XRealArray nBuilt;
    if (!nx.SetSize(n) || !n21.SetSize(n) || !n11.SetSize(n) || !nBuilt.SetSize(built)) {
        return false;
    }
    for (int32_t i = 0; i < n; ++i) {
        nx[i] = points[size_t(i)].freqGHz * 1000.0;
        n21[i] = MagnitudeDb(points[size_t(i)].s21);
        n11[i] = MagnitudeDb(points[size_t(i)].s11);
    }
    for (int32_t i = 0; i < built; ++i) {
        nBuilt[i] = MagnitudeDb(sweep.asBuilt[size_t(i)].s21);
    }
    x = std::move(nx);
    s21 = std::move(n21);
    s11 = std::move(n11);
    asBuilt = std::move(nBuilt);
    return true;
}

// A name for files from a configuration's name: "filter" for none; characters a file name
// cannot hold or that would make it hidden or odd to type become "_".
std::string FileStem(const std::string& name)
{
    std::string stem;
    for (char ch : name) {
        const auto byte = static_cast<unsigned char>(ch);
        stem += byte < 0x20 || byte == 0x7F || ch == '/' || ch == '\\' ? '_' : ch;
    }
    const size_t first = stem.find_first_not_of(" .");
    stem = first == std::string::npos ? std::string() : stem.substr(first);
    while (!stem.empty() && stem.back() == ' ') {
        stem.pop_back();
    }
    return stem.empty() ? std::string("filter") : stem;
}

} // namespace

DesignChartMenu::DesignChartMenu(DesignController& controller, XChartWnd& chartWnd,
                                 plat::Window& owner)
    : m_controller(controller)
    , m_chartWnd(chartWnd)
    , m_owner(owner)
{
}

void DesignChartMenu::Setup(XChart& chart)
{
    chart.SetHost(this);
    m_s21Line = AddOverlayLine(chart, "S21", TransmissionColor(), &m_x, &m_s21);
    m_s11Line = AddOverlayLine(chart, "S11", ReflectionColor(), &m_x, &m_s11);
    m_asBuiltLine = AddOverlayLine(chart, kAsBuiltLine, AsBuiltColor(), &m_x, &m_asBuilt);
    for (const auto& [index, legend] :
         {std::pair{m_s21Line, kTransmissionLegend}, std::pair{m_s11Line, kReflectionLegend},
          std::pair{m_asBuiltLine, kAsBuiltLegend}}) {
        if (index >= 0) {
            chart.Line(index)->SetStr("legend", legend);
        }
    }
    // The network lines read off the ideal curve's scales: they zoom, scroll and reset with
    // it, whichever line's axis the user zooms.
    const int32_t ideal = chart.FindLine("BW");
    for (int32_t line : {m_s21Line, m_s11Line, m_asBuiltLine}) {
        if (ideal >= 0 && line >= 0) {
            chart.Link(ideal, line, XChartGroup::Both);
        }
    }
    SetNetworkVisible(false);
}

void DesignChartMenu::DesignChanged()
{
    if (!m_network) {
        return;
    }
    std::string error;
    const std::shared_ptr<const ComputedDesign> design = m_controller.CurrentDesign();
    if (!design || !ComputeNetwork(*design, error)) {
        // A design the model cannot take (a band reaching 0 Hz) shows no network lines
        // rather than those of the design before it.
        SetNetworkVisible(false);
        return;
    }
    SetNetworkVisible(true);
}

bool DesignChartMenu::ShowNetwork(bool show, std::string& error)
{
    m_network = false;
    if (show) {
        const std::shared_ptr<const ComputedDesign> design = m_controller.CurrentDesign();
        if (!design) {
            error = "The inputs are not valid.";
        } else if (ComputeNetwork(*design, error)) {
            m_network = true;
        }
    }
    SetNetworkVisible(m_network);
    return m_network == show;
}

bool DesignChartMenu::ComputeNetwork(const ComputedDesign& design, std::string& error)
{
    NetworkSweep sweep;
    if (!ComputeNetworkSweep(design, NetworkSweepRequest{}, sweep, error)) {
        return false;
    }
    // The box as built is the design's geometry at the same frequencies and loss. One that
    // cannot be modelled loses its line, not the others.
    std::string problem;
    const bool built = AddAsBuiltSweep(design, sweep, problem);
    if (!CopyCurves(sweep, m_x, m_s21, m_s11, m_asBuilt)) {
        error = "Out of memory.";
        return false;
    }
    m_asBuiltValid = built;
    m_controller.ShowNote(built ? std::string() : "No line as built: " + problem);
    return true;
}

void DesignChartMenu::SetNetworkVisible(bool visible)
{
    XChart* chart = m_chartWnd.GetChart();
    if (chart == nullptr) {
        return;
    }
    for (int32_t index : {m_s21Line, m_s11Line, m_asBuiltLine}) {
        if (index >= 0 && index < chart->LineCount()) {
            chart->Line(index)->SetBool("showLine",
                                        visible && (index != m_asBuiltLine || m_asBuiltValid));
            chart->Line(index)->SetChanged();
        }
    }
    if (!visible) {
        m_controller.ShowNote(std::string()); // a note on the line as built goes with it
    }
    // The ideal curve is named only beside the network lines; alone it needs no legend.
    if (const int32_t ideal = chart->FindLine("BW"); ideal >= 0) {
        chart->Line(ideal)->SetStr("legend", visible ? kIdealLegend : "");
        chart->Line(ideal)->SetChanged();
    }
    m_chartWnd.Invalidate();
}

bool DesignChartMenu::ExportTouchstone(const std::string& path, std::string& error)
{
    const std::shared_ptr<const ComputedDesign> design = m_controller.CurrentDesign();
    if (!design) {
        error = "The inputs are not valid; nothing was written.";
        return false;
    }
    NetworkSweep sweep;
    return ComputeNetworkSweep(*design, NetworkSweepRequest{}, sweep, error) &&
           WriteOutputFile(path, TouchstoneText(*design, sweep), error);
}

std::string DesignChartMenu::TuningTable(std::string& error)
{
    const std::shared_ptr<const ComputedDesign> design = m_controller.CurrentDesign();
    if (!design) {
        error = "The inputs are not valid.";
        return std::string();
    }
    ::TuningTable table;
    if (!ComputeTuning(*design, table, error)) {
        return std::string();
    }
    return TuningTableText(table);
}

bool DesignChartMenu::SaveBuildSheet(const std::string& path, std::string& error)
{
    // The sheet draws the dimensions the check box asks for, even right after a drag: it
    // waits for a correction still running.
    const std::shared_ptr<const ComputedDesign> design = m_controller.SettledDesign();
    if (!design) {
        error = "The inputs are not valid; nothing was written.";
        return false;
    }
    if (design->CorrectionProblem()) {
        // A sheet of the design's own dimensions would pass for the corrected one.
        error = "The dimensions could not be corrected (" + *design->CorrectionProblem() +
                "); nothing was written. Untick \"Corrected dimensions\" to save the "
                "design's own dimensions.";
        return false;
    }
    return WriteBuildSheet(path, *design, m_controller.Unit(), error) == BuildOutputStatus::Written;
}

bool DesignChartMenu::FillMenu(XChart& chart, ZString& markup)
{
    // The chart's own "Save XML" proposes the design's name too, until the user picks one.
    const std::string proposed = FileStem(m_fileStem()) + ".xch";
    if (chart.GetFileName().IsEmpty() || ToStdString(chart.GetFileName().Str()) == m_xmlName) {
        chart.SetFileName(ZStr(proposed.c_str()));
        m_xmlName = proposed;
    }
    if (!chart.FillMenu(markup)) {
        return false;
    }
    markup.Append("<sep/>");
    AppendEntry(markup, "Network Response", "DoNetworkResponse", m_network);
    AppendEntry(markup, "Export Touchstone...", "DoExportTouchstone", false);
    AppendEntry(markup, "Tuning Table", "DoTuningTable", false);
    AppendEntry(markup, "Save Build Sheet...", "DoSaveBuildSheet", false);
    return true;
}

bool DesignChartMenu::Command(XChart&, ZStr name)
{
    std::string error;
    if (name.Equals("DoNetworkResponse")) {
        if (!ShowNetwork(!m_network, error)) {
            ShowError("Network Response", error);
        }
        return true;
    }
    if (name.Equals("DoExportTouchstone")) {
        std::string path;
        if (AskSavePath("Export Touchstone", {{"Touchstone", "*.s2p"}}, path) &&
            !ExportTouchstone(path, error)) {
            ShowError("Export Touchstone", error);
        }
        return true;
    }
    if (name.Equals("DoTuningTable")) {
        const std::string table = TuningTable(error);
        if (table.empty()) {
            ShowError("Tuning Table", error);
            return true;
        }
        // The table's columns line up only in a fixed-width face.
        ZString markup("<TEXT font='Courier New' text=");
        TXML::AppendQuoted(markup, ZStr(table.c_str()));
        markup.Append("/>");
        XMLMessageBox("Tuning Table", markup.Str(), true, true, &m_owner);
        return true;
    }
    if (name.Equals("DoSaveBuildSheet")) {
        std::string path;
        if (AskSavePath("Save Build Sheet", {{"PDF", "*.pdf"}, {"SVG", "*.svg"}, {"DXF", "*.dxf"}},
                        path) &&
            !SaveBuildSheet(path, error)) {
            ShowError("Save Build Sheet", error);
        }
        return true;
    }
    return false;
}

bool DesignChartMenu::AskSavePath(const char* title, std::vector<plat::FileFilter> filters,
                                  std::string& path)
{
    // The name proposed is the design's own with the first type's extension, in the folder
    // used last (the working folder at first), so that Enter saves at once.
    plat::SaveFileRequest request;
    request.title = title;
    request.defaultExt = filters.front().pattern.substr(2);
    request.fileName = FileStem(m_fileStem()) + "." + request.defaultExt;
    request.folder = m_lastFolder;
    request.filters = std::move(filters);
    if (!plat::SaveFileDialog(&m_owner, request, path) || path.empty()) {
        return false;
    }
    const size_t slash = path.rfind('/');
    m_lastFolder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    return true;
}

void DesignChartMenu::ShowError(const char* title, const std::string& error)
{
    XMLMessageBox(title, ZStr(error.c_str()), true, false, &m_owner);
}
