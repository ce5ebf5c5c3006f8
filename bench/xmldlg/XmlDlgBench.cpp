// SPDX-License-Identifier: GPL-2.0-or-later
// Parse, layout and first paint of markup dialogs, without windows: the measure and place
// passes, the control records, and the paint of the client area into an off-screen image.
// The peer is the XML parser alone on the same markup, so the ratio shows what layout and
// painting add to reading the text. Targets: the message box under 5 ms, the dialog of 200
// controls under 50 ms (CPU time per iteration).

#include "platform/Application.h"
#include "platform/Image.h"
#include "platform/TestSupport.h"
#include "xml/TXML.h"
#include "xmldlg/TXMLDlg.h"
#include "xmldlg/XMLMessageBox.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

std::string MessageBoxMarkup()
{
    return XMLMessageBoxMarkup("Parameters Changed",
                               "The parameters of \"Filter A\" changed.\r\nSave them?", false,
                               false)
        .Text();
}

// 200 controls of the five native kinds in a table of labelled rows.
std::string BigMarkup()
{
    std::string m = "<DLG title='Many'><TABLE cols=4 colSpace=6 rowSpace=2>";
    static const char* const kKinds[] = {"EDIT", "BUTTON", "CHECK", "DROPDOWN", "LISTBOX"};
    for (int i = 0; i < 200; ++i) {
        if (i % 2 == 0) {
            m += "<R>";
        }
        m += "<TEXT text='Field " + std::to_string(i) + "'/><INPUT name=c" + std::to_string(i) +
             " type=" + kKinds[i % 5] + " text='a|b|c'/>";
        if (i % 2 == 1) {
            m += "</R>";
        }
    }
    m += "</TABLE></DLG>";
    return m;
}

void LayoutAndPaint(benchmark::State& state, const std::string& markup)
{
    for (auto _ : state) {
        TXMLDlg dlg;
        dlg.SetMarkup(ZStr(markup.data(), int32_t(markup.size())), true);
        dlg.LayoutIn(NXRect{});
        const plat::Rect r = dlg.GetContentRect().ToIntRect();
        plat::Image img(r.Width(), r.Height());
        dlg.PaintTo(img.Context(), plat::Size{r.Width(), r.Height()});
        benchmark::DoNotOptimize(dlg.GetCtrlCount());
    }
}

// The same with real windows under X: the dialog is created as a child of a shown window,
// its controls become native widgets and the first paint reaches the screen.
void Windowed(benchmark::State& state, const std::string& markup)
{
    if (!plat::InitDisplay()) {
        state.SkipWithError("no display");
        return;
    }
    plat::Window top;
    top.CreateTopLevel("bench", plat::Rect{0, 0, 900, 1400}, plat::WindowStyle::kVisible);
    plat::test::ProcessUntilIdle();
    for (auto _ : state) {
        TXMLDlg dlg;
        dlg.SetMarkup(ZStr(markup.data(), int32_t(markup.size())), true);
        dlg.CreateChild(top, true);
        dlg.Update();
        benchmark::DoNotOptimize(dlg.GetPaintCount());
    }
}

void ParseOnly(benchmark::State& state, const std::string& markup)
{
    for (auto _ : state) {
        TXML xml;
        xml.Parse(ZStr(markup.data(), int32_t(markup.size())), TXML::LineBreaks::Keep);
        benchmark::DoNotOptimize(xml.GetRoot());
    }
}

// Each subject with each markup: the windowed runs, then layout and paint against parsing alone.
BENCHMARK_CAPTURE(Windowed, MessageBox, MessageBoxMarkup())->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Windowed, Dialog200, BigMarkup())->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(LayoutAndPaint, MessageBox, MessageBoxMarkup())->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(ParseOnly, MessageBoxPeer, MessageBoxMarkup())->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(LayoutAndPaint, Dialog200, BigMarkup())->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(ParseOnly, Dialog200Peer, BigMarkup())->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
