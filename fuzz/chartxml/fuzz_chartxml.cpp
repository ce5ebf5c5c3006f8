// SPDX-License-Identifier: GPL-2.0-or-later
// libFuzzer target for the chart file reader.
//
// The input is parsed with the XML parser and its first element read as a chart, whatever
// it holds. The chart is then written, and the written text must parse and read back without
// a data error; read and written once more it must give the same text (groups aside: lines
// can stand in several groups, and re-reading links them in a canonical way). Finally the
// chart is painted into a small image, which exercises layout, scales and every line type
// on whatever values and attributes the input gave.

#include "base/ZString.h"
#include "chart/XChart.h"
#include "fuzz/FuzzCheck.h"
#include "platform/Image.h"
#include "xml/TXML.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using fuzzcheck::Check;

std::string Write(const XChart& chart)
{
    ZString out;
    chart.WriteXML(out, "XCHART", "aXChart", "XCHART", "", true);
    return std::string(out.Text(), size_t(out.Length()));
}

// The text without its group lines.
std::string WithoutGroups(const std::string& text)
{
    std::string out;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find("\r\n", pos);
        end = end == std::string::npos ? text.size() : end + 2;
        const std::string line = text.substr(pos, end - pos);
        if (line.rfind("     groupX=", 0) != 0 && line.rfind("     groupY=", 0) != 0) {
            out += line;
        }
        pos = end;
    }
    return out;
}

bool ReadBack(const std::string& text, XChart& chart)
{
    TXML xml;
    Check(xml.Parse(ZStr(text.c_str(), int32_t(text.size()))), "a written chart does not parse");
    const TXMLNode* e = xml.GetRoot()->FindChildElement();
    Check(e != nullptr, "a written chart has no element");
    return chart.ReadXML(*e);
}

} // namespace

// Fontconfig keeps parts of its configuration unreachable until it is shut down, and painting
// text loads it (a face name from the input may make it look up more). The leak checker that
// libFuzzer runs between inputs would report that as a leak of every input that draws text.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (1u << 16)) {
        return 0;
    }
    TXML xml;
    // A failed parse keeps the nodes read up to the failure; the reader must cope with
    // whatever they are.
    xml.Parse(reinterpret_cast<const char*>(data), int32_t(size));
    const TXMLNode* e = xml.GetRoot()->FindChildElement();
    if (e == nullptr) {
        return 0;
    }
    XChart chart;
    chart.ReadXML(*e);

    const std::string first = Write(chart);
    XChart second;
    Check(ReadBack(first, second), "the data of a written chart does not read back");
    const std::string secondText = Write(second);
    XChart third;
    Check(ReadBack(secondText, third), "the data of a rewritten chart does not read back");
    Check(WithoutGroups(Write(third)) == WithoutGroups(secondText),
          "a chart read back and written again changed");

    // Painted into an area that reaches past the image, so that clipping is exercised too.
    plat::Image image(64, 48);
    chart.Paint(image.Context(), NXRect{-5, 3, 80, 40});
    return 0;
}
