// SPDX-License-Identifier: GPL-2.0-or-later
// quill-chart [--quit-after-paint] [FILE.xch]
//
// Shows a chart file in a window of its own, with the chart control's whole interaction:
// zoom by dragging along an axis or with the wheel, a click on the zoom handle for the full
// range, a rubber band over the plot area, the context menu with Copy Img, Copy XML, Save XML
// and the cursor-values box. Without a file it shows the calculator's chart of its default
// design. A file that cannot be read is reported on stderr with exit status 1.

#include "app/engine/ComputedDesign.h"
#include "app/engine/DesignInputs.h"
#include "app/engine/ParmsText.h"
#include "app/outputs/TesseraChart.h"
#include "base/ZString.h"
#include "chart/XChart.h"
#include "chart/XChartWnd.h"
#include "platform/Application.h"
#include "platform/Messages.h"
#include "platform/Window.h"
#include "xml/TXML.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr int kWidth = 900;
constexpr int kHeight = 560;

void Usage()
{
    std::fputs("usage: quill-chart [--quit-after-paint] [FILE.xch]\n"
               "  Shows the chart file FILE in a window; without FILE, the chart of the\n"
               "  calculator's default design. Escape closes the window.\n"
               "  --quit-after-paint  close as soon as the chart is painted (for timing).\n",
               stderr);
}

// Reads the chart file at path into chart; false with a message in error.
bool LoadChart(const char* path, XChart& chart, std::string& error)
{
    TXML xml;
    if (!xml.ParseFile(path)) {
        error = std::string("cannot read '") + path + "': " + xml.GetErrorText().Text();
        const int32_t at = xml.GetErrorOffset();
        if (at >= 0) {
            error += " (at byte " + std::to_string(at) + ")";
        }
        return false;
    }
    const TXMLNode* element = xml.GetRoot()->FindChildElement();
    if (element == nullptr || !element->GetValue().Equals("XCHART")) {
        error = std::string("'") + path + "' is not a chart file (no XCHART element)";
        return false;
    }
    if (!chart.ReadXML(*element)) {
        error = std::string("'") + path + "': the data of a line is broken";
        return false;
    }
    return true;
}

// The chart of the default design, as the calculator shows it at start.
bool DefaultChart(XChart& chart, std::string& error)
{
    std::string status;
    const auto design =
        ComputedDesign::Compute(BuildParms(DesignInputs{}), LengthUnit::Millimetre, status);
    if (!design) {
        error = "the default design cannot be computed: " + status;
        return false;
    }
    SetupChartWithData(chart, design->ResponseX().data(), design->ResponseY().data(),
                       int32_t(design->ResponseX().size()));
    return true;
}

std::string BaseName(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The chart window of the viewer: Escape closes the viewer.
class ViewerChartWnd : public XChartWnd
{
public:
    bool quitAfterPaint = false;

    bool OnInput(XEvtInput& evt, int32_t gesture) override
    {
        if (evt.code == XInput::KeyDown && evt.key == plat::VK::kEscape) {
            plat::Quit(0);
            return true;
        }
        return XChartWnd::OnInput(evt, gesture);
    }
    bool OnPaint(plat::Window& wnd, plat::DrawContext& dc, const plat::Rect& update) override
    {
        const bool painted = XChartWnd::OnPaint(wnd, dc, update);
        if (quitAfterPaint) {
            plat::Quit(0);
        }
        return painted;
    }
};

// The top-level window: the chart fills its client area; closing it ends the viewer.
class Frame : public plat::WindowCB
{
public:
    explicit Frame(ViewerChartWnd& chart)
        : m_chart(chart)
    {
    }
    bool OnMessage(plat::Window& wnd, const plat::Message& msg) override
    {
        if (msg.kind == plat::Msg::Size && m_chart.IsCreated()) {
            m_chart.Move(wnd.GetClientRect());
            return true;
        }
        if (msg.kind == plat::Msg::Close) {
            plat::Quit(0);
            return true;
        }
        if (msg.kind == plat::Msg::SetFocus && m_chart.IsCreated()) {
            m_chart.SetFocus();
            return true;
        }
        return false;
    }

private:
    ViewerChartWnd& m_chart;
};

} // namespace

int main(int argc, char** argv)
{
    const char* path = nullptr;
    bool quitAfterPaint = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            Usage();
            return 0;
        }
        if (std::strcmp(argv[i], "--quit-after-paint") == 0) {
            quitAfterPaint = true;
        } else if (argv[i][0] == '-' && argv[i][1] != 0) {
            std::fprintf(stderr, "quill-chart: unknown option '%s'\n", argv[i]);
            Usage();
            return 2;
        } else if (path == nullptr) {
            path = argv[i];
        } else {
            Usage();
            return 2;
        }
    }

    auto chart = std::make_unique<XChart>();
    std::string error;
    const bool loaded = path ? LoadChart(path, *chart, error) : DefaultChart(*chart, error);
    if (!loaded) {
        std::fprintf(stderr, "quill-chart: %s\n", error.c_str());
        return 1;
    }
    if (!plat::InitDisplay()) {
        std::fputs("quill-chart: cannot open the display\n", stderr);
        return 1;
    }

    ViewerChartWnd chartWnd;
    chartWnd.quitAfterPaint = quitAfterPaint;
    Frame frame(chartWnd);
    plat::Window top(frame);
    const std::string title =
        std::string("quill-chart - ") + (path ? BaseName(path) : "Interdigital Bandpass");
    if (!top.CreateTopLevel(title, plat::Rect::FromXYWH(60, 60, kWidth, kHeight),
                            plat::WindowStyle::kSizable)) {
        std::fputs("quill-chart: cannot create the window\n", stderr);
        return 1;
    }
    if (!chartWnd.CreateChild(top, top.GetClientRect(),
                              plat::WindowStyle::kVisible | plat::WindowStyle::kTabStop)) {
        std::fputs("quill-chart: cannot create the chart window\n", stderr);
        return 1;
    }
    chartWnd.SetChart(std::move(chart));
    top.Show(true);
    chartWnd.SetFocus();
    const int code = plat::RunLoop();
    // The chart and its windows go before the frame they live in.
    chartWnd.SetChart(nullptr);
    chartWnd.Destroy();
    return code;
}
