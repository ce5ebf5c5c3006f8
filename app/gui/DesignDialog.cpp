// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/gui/DesignDialog.h"

#include "app/engine/DesignReport.h"
#include "app/gui/DesignTemplate.h"
#include "app/gui/FilterArtwork.h"
#include "app/gui/PromptDialog.h"
#include "app/gui/References.h"
#include "app/gui/ResultViews.h"
#include "app/outputs/TesseraChart.h"
#include "chart/XChart.h"
#include "platform/Application.h"
#include "platform/FileDialog.h"
#include "platform/Messages.h"
#include "xmldlg/XMLMessageBox.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

DesignDialog::DesignDialog(const DesignDialogOptions& options)
    : plat::Dialog(static_cast<plat::WindowCB&>(*this))
    , m_options(options)
{
}

DesignDialog::~DesignDialog() = default;

int DesignDialog::Run()
{
    return DoModal(DesignDialogTemplate());
}

bool DesignDialog::OnMessage(plat::Window&, const plat::Message& msg)
{
    switch (msg.kind) {
    case plat::Msg::InitDialog:
        InitDialog();
        return true;
    case plat::Msg::Timer:
        if (msg.id == kStartupNoticeTimer) {
            // Once the window is up: what went wrong reading the configurations.
            KillTimer(kStartupNoticeTimer);
            ShowMessage(ConfigStore::kCaption, m_configs.LoadError(), MessageButtons::Ok);
            return true;
        }
        m_controller.OnTick();
        return false; // the timer message gets its default processing too
    case plat::Msg::Command:
        return OnCommand(int(msg.id), msg.code);
    case plat::Msg::Size:
        Layout(msg.size);
        return false;
    case plat::Msg::HScroll:
        // A slider moved by the user: the field, the report and the chart follow at once,
        // with every movement of a drag, not only at the next tick.
        for (int i = 0; i < kDesignInputCount; ++i) {
            if (msg.id == uint32_t(InputInfo(DesignInputAt(i)).sliderId)) {
                SliderMoved();
                return true;
            }
        }
        return false;
    case plat::Msg::Notify:
        // The centre-frequency slider's release of the mouse is answered and otherwise
        // ignored; the next tick reads its position.
        return msg.id == uint32_t(InputInfo(DesignInput::CentreFrequency).sliderId) &&
               msg.code == plat::Notify::kNmReleasedCapture;
    default:
        return false;
    }
}

bool DesignDialog::OnPaint(plat::Window&, plat::DrawContext&, const plat::Rect&)
{
    return false; // the dialog's face; the controls and child windows paint themselves
}

void DesignDialog::InitDialog()
{
    if (m_options.quitAfterFirstPaint) {
        reportWnd.listener = chartWnd.listener = this;
    }
    // The report, the status line and the chart take the places the template keeps for them.
    const plat::Rect client = GetClientRect();
    m_baseClient = {client.Width(), client.Height()};
    m_reportPlace = TakePlace(DesignId::kReport);
    m_chartPlace = GetControlRect(DesignId::kChart);
    reportWnd.Create(*this, m_reportPlace, XMEditWnd::kDefaultStyle, DesignId::kReport);
    statusWnd.Create(*this, TakePlace(DesignId::kStatus),
                     plat::WindowStyle::kVisible | plat::WindowStyle::kBorder |
                         plat::WindowStyle::kDisabled,
                     DesignId::kStatus);
    chartWnd.CreateChild(*this, TakePlace(DesignId::kChart), plat::WindowStyle::kVisible,
                         DesignId::kChart);

    SetIcon(DrawAppIcon(48));
    const plat::Rect picture = GetControlRect(DesignId::kPicture);
    SetPicture(DesignId::kPicture, DrawFilterPicture(picture.Width(), picture.Height()));
    m_pictureRods = 5;

    m_controller.InitInputs();
    m_chartLine =
        SetupChart(chartWnd.Chart(), &m_controller.ResponseX(), &m_controller.ResponseY());
    m_chartMenu.Setup(chartWnd.Chart());
    m_chartMenu.SetFileStem([this] {
        const int current = m_configs.Current();
        return current >= 0 ? m_configs.Name(current) : std::string();
    });
    SetupStatusLine(statusWnd);
    m_controller.FieldsToControls();
    // The configuration chosen last, when the file names one; else the defaults stay. A file
    // that cannot be read is reported once the window is up, not before it.
    m_configs.FillConfigList(false);
    if (!m_configs.LoadError().empty()) {
        SetTimer(kStartupNoticeTimer, 1);
    }
    m_configs.SelectConfig(m_configs.Current());
    SetFocusControl(EditIdOf(DesignInput::Elements));
}

plat::Rect DesignDialog::TakePlace(int id)
{
    const plat::Rect rect = GetControlRect(id);
    RemoveControl(id);
    return rect;
}

bool DesignDialog::OnCommand(int id, uint32_t code)
{
    // The controls that do one thing on one notification.
    struct Action
    {
        int id;
        uint32_t code;
        void (*run)(DesignDialog&);
    };
    static const Action kActions[] = {
        // A digit typed into Elements shows its design at once; the correction waits until
        // the typing has settled.
        {DesignId::kElements, plat::Notify::kEnChange,
         [](DesignDialog& d) { d.m_controller.Recompute(InputPace::Moving); }},
        {DesignId::kInch, plat::Notify::kBnClicked,
         [](DesignDialog& d) { d.m_controller.ForgetLastParms(); }},
        // The click itself asks for the other dimensions: they follow at once.
        {DesignId::kCorrected, plat::Notify::kBnClicked,
         [](DesignDialog& d) { d.BuildCheckClicked(); }},
        {DesignId::kCoverFeed, plat::Notify::kBnClicked,
         [](DesignDialog& d) { d.BuildCheckClicked(); }},
        {DesignId::kReferences, plat::Notify::kBnClicked,
         [](DesignDialog& d) { d.ShowReferences(); }},
        {DesignId::kSave, plat::Notify::kBnClicked,
         [](DesignDialog& d) { d.m_configs.SaveConfig(); }},
        {DesignId::kNew, plat::Notify::kBnClicked,
         [](DesignDialog& d) { d.m_configs.NewConfig(); }},
    };
    for (const Action& action : kActions) {
        if (action.id == id) {
            if (action.code == code) {
                action.run(*this);
            }
            return true;
        }
    }
    switch (id) {
    case DesignId::kConfigList:
        if (code == plat::Notify::kCbnDropDown) {
            m_configs.FillConfigList();
        } else if (code == plat::Notify::kCbnSelChange) {
            // Cancel in the save question goes back: the list shows the configuration that
            // stays chosen.
            const int index = GetCurSel(DesignId::kConfigList);
            if (!m_configs.AskSaveChanges()) {
                SelectConfigItem(m_configs.Current());
            } else if (index >= 0) {
                m_configs.SelectConfig(index);
            }
        }
        return true;
    case plat::kIdOk:
        // OK (or Enter in a field) asks about unsaved changes; Escape and the close box
        // come as Cancel and close without the question.
        if (code == plat::Notify::kBnClicked && m_configs.AskSaveChanges()) {
            EndDialog(plat::kIdOk);
        }
        return true;
    default:
        return false;
    }
}

void DesignDialog::Layout(plat::Size client)
{
    if (!reportWnd.IsCreated() || !chartWnd.IsCreated()) {
        return;
    }
    // Everything keeps its place but the report and the chart: both grow by the extra
    // height, and the extra width goes two fifths to the report, the rest to the chart.
    const int wider = std::max(0, client.cx - m_baseClient.cx);
    const int taller = std::max(0, client.cy - m_baseClient.cy);
    const int reportWider = wider * 2 / 5;
    plat::Rect report = m_reportPlace;
    report.right += reportWider;
    report.bottom += taller;
    plat::Rect chart = m_chartPlace;
    chart.left += reportWider;
    chart.right += wider;
    chart.bottom += taller;
    reportWnd.Move(report);
    chartWnd.Move(chart);
}

void DesignDialog::SliderMoved()
{
    m_controller.OnTick(TickSource::Slider);
}

void DesignDialog::Painted()
{
    if (!m_options.quitAfterFirstPaint || !reportWnd.painted || !chartWnd.painted ||
        m_controller.RecomputeCount() == 0) {
        return;
    }
    m_options.quitAfterFirstPaint = false;
    const double wallMs = double(plat::GetPerformanceCounter() - m_options.startCounter) * 1000.0 /
                          double(plat::GetPerformanceFrequency());
    const double cpuMs = double(std::clock()) * 1000.0 / CLOCKS_PER_SEC;
    std::fprintf(stderr, "tessera: first complete paint after %.1f ms (%.1f ms CPU)\n", wallMs,
                 cpuMs);
    EndDialog(plat::kIdCancel);
}

void DesignDialog::ShowReferences()
{
    XMLMessageBox("References", ReferencesText(), true, false, this);
}

std::string DesignDialog::GetEditText(DesignInput input) const
{
    return GetText(EditIdOf(input));
}

void DesignDialog::SetEditText(DesignInput input, const std::string& text)
{
    // An unchanged text is not written again: writing it would notify a change, and the
    // Elements edit recomputes on every change it notifies.
    const int id = EditIdOf(input);
    if (GetText(id) != text) {
        SetText(id, text);
    }
}

void DesignDialog::SetSliderRange(DesignInput input, int min, int max)
{
    plat::Dialog::SetSliderRange(InputInfo(input).sliderId, min, max);
}

void DesignDialog::SetSliderPos(DesignInput input, int pos)
{
    plat::Dialog::SetSliderPos(InputInfo(input).sliderId, pos);
}

int DesignDialog::GetSliderPos(DesignInput input) const
{
    return plat::Dialog::GetSliderPos(InputInfo(input).sliderId);
}

bool DesignDialog::SliderHasFocus(DesignInput input) const
{
    return GetFocusControl() == InputInfo(input).sliderId;
}

bool DesignDialog::EditHasFocus(DesignInput input) const
{
    return GetFocusControl() == EditIdOf(input);
}

int DesignDialog::GetInchCheck() const
{
    return GetCheck(DesignId::kInch);
}

int DesignDialog::GetCorrectedCheck() const
{
    return GetCheck(DesignId::kCorrected);
}

int DesignDialog::GetCoverFeedCheck() const
{
    return GetCheck(DesignId::kCoverFeed);
}

void DesignDialog::SetBuildChecks(const BuildChoice& choice)
{
    SetCheck(DesignId::kCorrected, choice.corrected ? 1 : 0);
    SetCheck(DesignId::kCoverFeed, choice.feed == FeedKind::Cover ? 1 : 0);
}

void DesignDialog::BuildCheckClicked()
{
    // How the filter is built belongs to the configuration like its inputs: a change is a
    // change to save. The click asks for the other dimensions, which follow at once.
    m_controller.SetModified(true);
    m_controller.Recompute();
}

void DesignDialog::StartTimer(uint32_t id, uint32_t periodMs)
{
    SetTimer(id, periodMs);
}

void DesignDialog::ShowStatus(const std::string& text)
{
    ShowStatusText(statusWnd, text);
}

void DesignDialog::ShowReport(const std::string& text)
{
    ShowReportText(reportWnd, text);
}

void DesignDialog::ResponseChanged()
{
    // The picture shows the design's own number of rods.
    const int rods = std::clamp(m_controller.Inputs().ele, kMinPictureRods, kMaxPictureRods);
    if (rods != m_pictureRods) {
        m_pictureRods = rods;
        const plat::Rect picture = GetControlRect(DesignId::kPicture);
        SetPicture(DesignId::kPicture, DrawFilterPicture(picture.Width(), picture.Height(), rods));
    }
    if (XChart* chart = chartWnd.GetChart()) {
        if (XChartLine* line = chart->Line(m_chartLine)) {
            line->SetChanged();
        }
    }
    m_chartMenu.DesignChanged();
    chartWnd.Invalidate();
}

void DesignDialog::ClearConfigList()
{
    ResetContent(DesignId::kConfigList);
}

void DesignDialog::AddConfigItem(const std::string& name)
{
    AddString(DesignId::kConfigList, name);
}

void DesignDialog::SelectConfigItem(int index)
{
    SetCurSel(DesignId::kConfigList, index);
}

MessageAnswer DesignDialog::ShowMessage(const std::string& caption, const std::string& text,
                                        MessageButtons buttons)
{
    if (buttons == MessageButtons::YesNoCancel) {
        // The platform's box breaks lines at line feeds alone.
        switch (plat::ShowMessageBox(this, CrLfToLf(text), caption,
                                     plat::MessageBoxButtons::YesNoCancel)) {
        case plat::kIdYes:
            return MessageAnswer::Ok;
        case plat::kIdNo:
            return MessageAnswer::No;
        default:
            return MessageAnswer::Cancel;
        }
    }
    return XMLMessageBox(ZStr(caption.c_str()), ZStr(text.c_str()), buttons == MessageButtons::Ok,
                         false, this) == 1
               ? MessageAnswer::Ok
               : MessageAnswer::Cancel;
}

bool DesignDialog::AskNewName(std::string& name)
{
    TextPrompt prompt(ZStr(name.c_str()), "New Configuration Name",
                      "Enter Name of New Configuration");
    if (!prompt.Run(this)) {
        return false;
    }
    name = prompt.text.Text();
    return true;
}
