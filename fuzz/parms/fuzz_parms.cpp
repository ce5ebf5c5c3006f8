// SPDX-License-Identifier: GPL-2.0-or-later
// Feeds arbitrary bytes to the readers of user text in the calculator:
//  1. as a parameter text: ParmsToDesign, validation, and for a valid design the synthesis,
//     both reports and the response arrays;
//  2. split at NUL bytes into command-line arguments: ParseCommandLine and, when the line
//     is usable, ExecuteCommandLine with every output kept in memory;
//  3. as a configuration's stored parameter text (Tessera.ini may come from anywhere):
//     ApplyStoredParms, and the parameter text of whatever it set.
// Crashes, sanitizer reports and broken invariants (abort) are the findings.

#include "app/cli/CommandLine.h"
#include "app/engine/ComputedDesign.h"
#include "app/engine/ConfigParms.h"
#include "app/engine/DesignInputs.h"
#include "app/engine/DesignReport.h"
#include "app/engine/FilterDesign.h"
#include "app/engine/FilterSynthesis.h"
#include "app/engine/ParmsText.h"
#include "base/ZStr.h"
#include "tests/app/TouchstoneReader.h"
#include "xml/TXML.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

void Check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

void FuzzParmsText(std::string_view text)
{
    auto design = std::make_unique<FilterDesign>();
    const bool readable = !ParmsToDesign(text, *design).has_value();
    const bool valid = !ValidateDesign(*design).has_value();
    if (!valid) {
        return;
    }
    Check(design->ele >= kMinElements && design->ele <= kMaxElements);
    Check(design->NFR >= 3 && design->NFR <= kMaxSweepPoints);
    Check(Synthesize(*design));
    for (LengthUnit unit : {LengthUnit::Millimetre, LengthUnit::Inch}) {
        const std::string report = WriteDesignReport(*design, unit);
        // 26 fixed lines, one per rod and one per sweep point.
        std::size_t lines = 0;
        for (std::size_t i = 0; i + 1 < report.size(); ++i) {
            lines += report[i] == '\r' && report[i + 1] == '\n';
        }
        Check(lines == static_cast<std::size_t>(26 + design->ele + design->NFR));
        // Validation keeps the arithmetic finite: nothing overflows into the report.
        Check(report.find("inf") == std::string::npos);
    }
    for (int k = 0; k < design->NFR; ++k) {
        Check(std::isfinite(design->sweepFreq[k]) && std::isfinite(design->attenuation[k]));
    }
    // The calculator's path refuses a text with an unreadable value even when the values
    // that were carried over happen to make a valid design.
    std::string status;
    const auto computed = ComputedDesign::Compute(text, LengthUnit::Millimetre, status);
    Check((computed != nullptr) == readable);
    if (computed) {
        Check(computed->ResponseX().size() == static_cast<std::size_t>(design->NFR));
    }
}

std::string ReadWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Text that an XML reader takes as characters: valid UTF-8 without control characters other
// than tab, line feed and carriage return.
bool IsXmlText(const std::string& text)
{
    const ZStr view(text.data(), int32_t(text.size()));
    for (int32_t i = 0; i < view.len;) {
        const int32_t n = view.Utf8SequenceLength(i);
        if (n == 0 || (n == 1 && static_cast<unsigned char>(view[i]) < 0x20 && view[i] != '\t' &&
                       view[i] != '\n' && view[i] != '\r')) {
            return false;
        }
        i += n;
    }
    return true;
}

// Every file a successful run wrote is what its reader expects, whatever the arguments held:
// the Touchstone file reads back as a simulator reads it, SVG is well-formed XML of valid
// characters, a chart file parses with the library's parser.
void CheckWrittenFiles(const CommandLineOptions& options)
{
    if (options.network.touchstone) {
        Touchstone t;
        std::string problem;
        Check(ParseTouchstone(ReadWhole(options.network.touchstonePath), t, problem));
        Check(t.comments.size() == 3 && !t.mhz.empty());
        for (double mhz : t.mhz) {
            Check(mhz > 0.0);
        }
    }
    for (const std::string& path : {options.chartPath, options.buildSheetPath}) {
        const bool svg = path.size() > 4 && ZStr(path.c_str()).EndsWithI(".svg");
        const bool xch = path.size() > 4 && ZStr(path.c_str()).EndsWithI(".xch");
        if (svg || xch) {
            const std::string text = ReadWhole(path);
            TXML xml;
            Check(xml.Parse(text.data(), int32_t(text.size())));
            Check(!svg || IsXmlText(text));
        }
    }
}

void FuzzCommandLine(std::string_view text)
{
    // Arguments are separated by NUL, the one byte no argument can hold, so that an argument
    // may hold line breaks and any other byte.
    std::vector<std::string> args;
    for (std::string_view rest = text; args.size() < 64;) {
        const std::size_t end = std::min(rest.find('\0'), rest.size());
        args.emplace_back(rest.substr(0, end));
        if (end == rest.size()) {
            break;
        }
        rest.remove_prefix(end + 1);
    }
    CommandLineOptions options;
    std::string error;
    if (!ParseCommandLine(args, options, error)) {
        Check(!error.empty());
        return;
    }
    // Never touch the working folder: a CSV goes to the in-memory output instead.
    if (options.csv) {
        options.csvPath = "-";
    }
    if (options.network.csv) {
        options.network.csvPath = "-";
    }
    if (options.network.tuningCsv) {
        options.network.tuningCsvPath = "-";
    }
    // A Touchstone file, a chart, a build sheet, a DXF drawing, a geometry file and an openEMS
    // script are still written, each
    // into a scratch file of the same kind.
    const auto scratch = [](std::string& path, const char* name) {
        if (!path.empty()) {
            const std::size_t dot = path.rfind('.');
            path = std::string("/tmp/fuzz_parms_") + name +
                   (dot == std::string::npos ? std::string() : path.substr(dot));
        }
    };
    scratch(options.network.touchstonePath, "touchstone");
    scratch(options.chartPath, "chart");
    scratch(options.buildSheetPath, "sheet");
    scratch(options.dxfPath, "dxf");
    scratch(options.geometryPath, "geometry");
    scratch(options.openEmsPath, "openems");
    std::ostringstream out;
    std::ostringstream err;
    const int status = ExecuteCommandLine(options, out, err);
    Check(status == kExitOk || status == kExitUsage);
    Check(status == kExitOk || !err.str().empty());
    if (status == kExitOk) {
        CheckWrittenFiles(options);
    }

    // The edit-field readers see the same untrusted text.
    DesignInputs inputs;
    for (int i = 0; i < kDesignInputCount; ++i) {
        const DesignInput input = DesignInputAt(i);
        SetFieldFromText(inputs, input, args.front());
        (void)SliderPositionFromField(inputs, input);
        (void)FieldText(inputs, input);
    }
    (void)BuildParms(inputs);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    FuzzParmsText(text);
    FuzzCommandLine(text);
    DesignInputs inputs;
    const StoredParmsOutcome outcome = ApplyStoredParms(text, inputs);
    Check(outcome.Ok() == outcome.message.empty());
    (void)BuildParms(inputs);
    return 0;
}
