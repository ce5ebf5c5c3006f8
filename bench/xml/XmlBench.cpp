// SPDX-License-Identifier: GPL-2.0-or-later
// Parse throughput of TXML beside tinyxml2 and pugixml on generated inputs:
//   dialog - a markup dialog of the kind the dialog engine reads (parsed many times over),
//   chart  - a chart file with one line of 100,000 data rows,
//   deep   - a generated document of about 10 MB, nested 40 levels and indented by 3 blanks
//            per level,
//   attr10k, attr100k, attr1M - one element with 10,000, 100,000 or 1,000,000 attributes, the
//            hostile case for the attribute array's growth.
// Each iteration parses the whole input into a fresh document and frees it again. After the
// runs a table gives MB/s per parser and the ratios of TXML to each peer.

#include "base/ZString.h"
#include "xml/TXML.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <pugixml.hpp>
#include <string>
#include <tinyxml2.h>
#include <vector>

namespace {

// Small deterministic generator, so every run measures the same bytes.
class Lcg
{
public:
    uint32_t Next()
    {
        m_state = m_state * 1664525u + 1013904223u;
        return m_state >> 8;
    }
    uint32_t Below(uint32_t n) { return Next() % n; }

private:
    uint32_t m_state = 12345;
};

std::string Indent(int depth)
{
    return std::string(size_t(depth) * 3, ' ');
}

// Attribute values are quoted throughout, since the peers accept no other form.
const std::string& DialogInput()
{
    static const std::string s_text = [] {
        std::string s;
        s += "<DLG margin='15x15' title='Interdigital filter' font='MS Sans Serif' "
             "fontSize='87'>\r\n";
        s += "   <TEXT text='Enter the filter requirements &#x26; dimensions.'/>\r\n";
        s += "   <SPSEP n='2'/>\r\n";
        s += "   <TABLE cols='3' colAlign='right left left' cellMargin='2' rowSpace='4'>\r\n";
        const char* names[] = {"n",  "ripple", "f0", "bw", "z0", "h", "d", "e",
                               "q0", "tap",    "lx", "ly", "lz", "w", "t", "s"};
        for (const char* n : names) {
            s += "      <ROW>\r\n";
            s += std::string("         <TEXT text='") + n + " (unit)'/>\r\n";
            s += std::string("         <INPUT name='") + n + "' type='EDIT' text='%" + n +
                 "%' sizeChars='10x1' anchor='left'/>\r\n";
            s += std::string("         <INPUT name='") + n +
                 "Slider' type='SLIDER' range='0 1000' pos='500'/>\r\n";
            s += "      </ROW>\r\n";
        }
        s += "   </TABLE>\r\n";
        s += "   <SWITCH include='%showNotes%'>\r\n";
        s += "      <VALIGN itemSpace='3' bgColor='#F0F0F0'>\r\n";
        s += "         Notes:\r\n         the response is ideal\r\n         (no losses).\r\n";
        s += "      </VALIGN>\r\n";
        s += "   </SWITCH>\r\n";
        s += "   <!-- buttons -->\r\n";
        s += "   <SPSEP n='6'/>\r\n";
        s += "   <HALIGN align='right'>\r\n";
        s += "      <INPUT name='OK' type='BUTTON' text='OK' cmd='@EndDlgOK'/>\r\n";
        s += "      <SPSEP n='2'/>\r\n";
        s += "      <INPUT name='Cancel' type='BUTTON' text='Cancel' cmd='@EndDlgCancel'/>\r\n";
        s += "   </HALIGN>\r\n";
        s += "</DLG>\r\n";
        return s;
    }();
    return s_text;
}

// The chart writer's layout: start tags with their closing bracket on a line of its own, one
// data row per point ("%g %g;" and CR LF) indented by ten blanks.
const std::string& ChartInput()
{
    static const std::string s_text = [] {
        std::string s;
        s += "  <XCHART name='a xchart' type='XCHART' \r\n";
        s += "       title=\"Response\" \r\n";
        s += "       bgColor=\"#FFFFFF\" \r\n";
        s += "       >\r\n";
        s += "       <CHARTLINE name='S21' lineType='line'\r\n";
        s += "          axisLableX=\"Frequency\" \r\n";
        s += "          axisUnitX=\"GHz\" \r\n";
        s += "          color=\"#0000FF\" \r\n";
        s += "          >\r\n";
        char row[96];
        for (int i = 0; i < 100000; ++i) {
            double f = 1.5 + i * 1e-5;
            double loss = -0.05 * double((i * 7919) % 4001) / 7.0;
            std::snprintf(row, sizeof row, "          %g %g;\r\n", f, loss);
            s += row;
        }
        s += "       </CHARTLINE>\r\n";
        s += "  </XCHART>";
        return s;
    }();
    return s_text;
}

const std::string& DeepInput()
{
    static const std::string s_text = [] {
        const size_t kTarget = 10u * 1024u * 1024u;
        const int kLevels = 40;
        Lcg rng;
        std::string s = "<root>\r\n";
        int id = 0;
        while (s.size() < kTarget) {
            // One branch down to kLevels, with leaves and text on the way.
            for (int d = 1; d <= kLevels; ++d) {
                s += Indent(d) + "<node id='" + std::to_string(++id) + "' level='" +
                     std::to_string(d) + "' kind='k" + std::to_string(rng.Below(8)) + "'>\r\n";
                int leaves = int(rng.Below(3));
                for (int l = 0; l < leaves; ++l) {
                    s += Indent(d + 1) + "<leaf a='" + std::to_string(rng.Below(1000)) +
                         "' b=\"value " + std::to_string(rng.Below(50)) + "\"/>\r\n";
                }
                if (rng.Below(4) == 0) {
                    s += Indent(d + 1) + "some text at level " + std::to_string(d) + "\r\n";
                }
            }
            for (int d = kLevels; d >= 1; --d) {
                s += Indent(d) + "</node>\r\n";
            }
        }
        s += "</root>\r\n";
        return s;
    }();
    return s_text;
}

// One element carrying `count` attributes a0='0' a1='1' ...
std::string ManyAttributes(int count)
{
    std::string s = "<e";
    for (int i = 0; i < count; ++i) {
        s += " a" + std::to_string(i) + "='" + std::to_string(i) + "'";
    }
    s += "/>";
    return s;
}

const std::string& Input(int which)
{
    static const std::string s_attr10k = ManyAttributes(10000);
    static const std::string s_attr100k = ManyAttributes(100000);
    static const std::string s_attr1M = ManyAttributes(1000000);
    switch (which) {
    case 0:
        return DialogInput();
    case 1:
        return ChartInput();
    case 2:
        return DeepInput();
    case 3:
        return s_attr10k;
    case 4:
        return s_attr100k;
    default:
        return s_attr1M;
    }
}

const char* const kInputNames[] = {"dialog", "chart", "deep", "attr10k", "attr100k", "attr1M"};
constexpr int kInputCount = int(sizeof kInputNames / sizeof kInputNames[0]);

void BM_TXML(benchmark::State& state)
{
    const std::string& text = Input(int(state.range(0)));
    TXML::LineBreaks breaks = state.range(0) == 0 ? TXML::LineBreaks::Keep : TXML::LineBreaks::Fold;
    for (auto _ : state) {
        TXML xml;
        if (!xml.Parse(text.data(), int32_t(text.size()), breaks)) {
            state.SkipWithError(xml.GetErrorText().Text());
            break;
        }
        benchmark::DoNotOptimize(xml.GetRoot()->FirstChild());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
    state.SetLabel(kInputNames[state.range(0)]);
}

void BM_TinyXML2(benchmark::State& state)
{
    const std::string& text = Input(int(state.range(0)));
    for (auto _ : state) {
        tinyxml2::XMLDocument doc;
        if (doc.Parse(text.data(), text.size()) != tinyxml2::XML_SUCCESS) {
            state.SkipWithError(doc.ErrorStr());
            break;
        }
        benchmark::DoNotOptimize(doc.FirstChild());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
    state.SetLabel(kInputNames[state.range(0)]);
}

void BM_Pugixml(benchmark::State& state)
{
    const std::string& text = Input(int(state.range(0)));
    for (auto _ : state) {
        pugi::xml_document doc;
        pugi::xml_parse_result result = doc.load_buffer(text.data(), text.size());
        if (!result) {
            state.SkipWithError(result.description());
            break;
        }
        benchmark::DoNotOptimize(doc.first_child());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
    state.SetLabel(kInputNames[state.range(0)]);
}

BENCHMARK(BM_TXML)->DenseRange(0, kInputCount - 1)->Unit(benchmark::kMillisecond);
// TinyXML2 looks for an earlier attribute of the same name before it adds one, which makes
// an element with n attributes cost n * n: 100,000 of them take about a minute, a million
// over an hour. It runs up to the 10,000-attribute input only.
constexpr int kTinyXml2LastInput = 3;
BENCHMARK(BM_TinyXML2)->DenseRange(0, kTinyXml2LastInput)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pugixml)->DenseRange(0, kInputCount - 1)->Unit(benchmark::kMillisecond);

// The console report, followed by MB/s per input and parser and the ratios of TXML to the
// peers (above 1 means TXML is faster).
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            auto it = run.counters.find("bytes_per_second");
            if (run.error_occurred || it == run.counters.end()) {
                continue;
            }
            std::string name = run.benchmark_name();
            std::string parser = name.substr(3, name.find('/') - 3);
            m_mbps[run.report_label][parser] = double(it->second) / 1e6;
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\n%-9s %10s %10s %10s %14s %14s\n", "input", "TXML", "TinyXML2", "Pugixml",
                    "TXML/TinyXML2", "TXML/Pugixml");
        // A peer that did not run (or failed) shows 0 MB/s and no ratio.
        auto ratio = [](double ours, double peer) {
            char text[32] = "-";
            if (peer > 0) {
                std::snprintf(text, sizeof text, "%.2f", ours / peer);
            }
            return std::string(text);
        };
        for (const char* input : kInputNames) {
            auto& row = m_mbps[input];
            double ours = row["TXML"];
            double tiny = row["TinyXML2"];
            double pugi = row["Pugixml"];
            std::printf("%-9s %8.1f MB/s %6.1f MB/s %6.1f MB/s %14s %14s\n", input, ours, tiny,
                        pugi, ratio(ours, tiny).c_str(), ratio(ours, pugi).c_str());
        }
        std::printf("input sizes:");
        for (int i = 0; i < kInputCount; ++i) {
            std::printf(" %s %zu bytes", kInputNames[i], Input(i).size());
        }
        std::printf("\n");
    }

private:
    std::map<std::string, std::map<std::string, double>> m_mbps;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
