// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/engine/DesignReport.h"

#include "app/engine/BuildGeometry.h"
#include "app/engine/FilterDesign.h"

#include <algorithm>
#include <iomanip>
#include <locale>
#include <sstream>

namespace {

constexpr int kLabelWidth = 30;
constexpr int kRodColumnWidth = 5;
constexpr int kTableWidth = 12;
constexpr int kLargestPlotColumn = 65;

// Formats lengths held in inches in the report's unit: millimetres with one decimal or
// inches with three, the unit text following the number directly.
class LengthFormat
{
public:
    explicit LengthFormat(LengthUnit unit)
        : m_inch(unit == LengthUnit::Inch)
    {
    }

    int Precision() const { return m_inch ? 3 : 1; }
    double Convert(double inches) const { return m_inch ? inches : inches * 25.4; }
    const char* UnitText() const { return m_inch ? "\"" : "mm"; }

private:
    bool m_inch = false;
};

void WriteHeader(std::ostream& os, const FilterDesign& d, int precision)
{
    auto label = [&os](const char* text) -> std::ostream& {
        return os << std::setw(kLabelWidth) << text;
    };
    label("Elements = ") << d.ele << "\r\n";
    // A ripple typed as "-0" is the maximally flat response and reads as 0.0, not -0.0.
    label("Bandpass ripple = ") << (d.rip == 0.0 ? 0.0 : d.rip) << " dB\r\n";
    label("Center Frequency = ") << d.fzmc * 1000 << " MHz\r\n";
    label("Cutoff Frequency = ") << d.fLow * 1000 << " / " << d.fHigh * 1000 << " MHz\r\n";
    label("Ripple BW = ") << d.bwRipple * 1000 << " MHz\r\n";
    label("3 dB BW = ") << d.bw3dB * 1000 << " MHz\r\n";
    // The fractional bandwidth is a small ratio; the report's one or three decimals would
    // hide it, so it gets five and the precision goes back for the lines that follow.
    label("Fractional BW = ") << std::setprecision(5) << d.fracBW << std::setprecision(precision)
                              << "\r\n";
    label("Filter Q = ") << d.filterQ << "\r\n";
    label("Est. unloaded Qu = ") << d.qUnloaded << "\r\n";
    label("Loss Based on this Qu = ") << d.lossDb << " dB\r\n";
    label("Delay at band center = ") << d.delayNs << " ns\r\n";
    label("Line impedances = ") << d.zEnd << " / " << d.zInterior << " / " << d.R
                                << " Ext-/IntRods/Feed Ohms\r\n";
}

void WriteDimensions(std::ostream& os, const FilterDesign& d, const LengthFormat& len)
{
    os << std::setprecision(len.Precision());
    os << "Box Dimensions"
       << "\r\n";
    auto line = [&](const char* label, double inches, const char* ending) {
        os << std::setw(kLabelWidth) << label << len.Convert(inches) << len.UnitText() << ending;
    };
    line("Quarter Wavelength = ", d.quarterWave, "\r\n");
    line("Length of interior Rods = ", d.interiorRodLength, "\r\n");
    line("Length of end Rods = ", d.endRodLength, "\r\n");
    line("Ground plane Spaceing H = ", d.H, "\r\n");
    line("Rod diameter D = ", d.D, "\r\n");
    line("End plates E = ", d.E, " from center of end rod.\r\n");
    line("Feed Tap = ", d.tapHeight, " \r\n");
}

// The rod table and the box line. The box width printed is the closing wall's value, so the
// table and the box line always agree.
void WriteRodTable(std::ostream& os, const FilterDesign& d, const LengthFormat& len)
{
    // Only the entries the arrays hold are read, whatever count the record carries.
    const int n = std::clamp(d.ele, 0, kMaxArrayEntries - 1);
    const char* unit = len.UnitText();

    os << std::setw(kRodColumnWidth) << "Rod #" << std::setw(kTableWidth) << "  Wall to Center"
       << std::setw(kTableWidth) << "C. to C." << std::setw(kTableWidth) << "G[k]"
       << std::setw(kTableWidth) << "Q/Coup\r\n";
    os << std::setw(kRodColumnWidth) << "Wall" << std::setw(kTableWidth) << "0" << unit << "\r\n";

    // Rod 1 sits E from the wall; each further rod one spacing further on.
    os << std::setw(kRodColumnWidth) << "1" << std::setw(kTableWidth) << len.Convert(d.E) << unit
       << std::setw(kTableWidth) << len.Convert(d.spacing[0]) << unit << std::setw(kTableWidth)
       << d.g[0] << std::setw(kTableWidth) << d.normCoupling[0] << "\r\n";
    double position = d.E;
    for (int k = 2; k <= n; ++k) {
        position += d.spacing[k - 2];
        // For the last rod spacing(n-1) is a cleared entry and the last column holds the
        // normalised external Q.
        os << std::setprecision(len.Precision());
        os << std::setw(kRodColumnWidth) << k << std::setw(kTableWidth) << len.Convert(position)
           << unit << std::setw(kTableWidth) << len.Convert(d.spacing[k - 1]) << unit
           << std::setw(kTableWidth) << d.g[k - 1] << std::setw(kTableWidth)
           << d.normCoupling[k - 1] << "\r\n";
    }
    const double width = position + d.E;
    os << std::setw(kRodColumnWidth) << "Wall" << std::setw(kTableWidth) << len.Convert(width)
       << unit << "\r\n";

    os << "\r\n";
    os << "Box inside dimensions: " << len.Convert(d.quarterWave) << " x " << len.Convert(width)
       << " x " << len.Convert(d.H) << " " << unit << "(HxWxT)\r\n";
}

// Every rod's corrected length, for a report of dimensions corrected for the box as built.
void WriteCorrectedLengths(std::ostream& os, const BuildGeometry& g, const LengthFormat& len)
{
    os << "Corrected for the box as built (" << FeedKindName(g.feed) << " feed):\r\n";
    os << std::setw(kRodColumnWidth) << "Rod #" << std::setw(kTableWidth) << "Length"
       << "\r\n";
    for (const BuildRod& rod : g.rods) {
        os << std::setprecision(len.Precision());
        os << std::setw(kRodColumnWidth) << rod.number << std::setw(kTableWidth)
           << len.Convert(rod.lengthInch) << len.UnitText() << "\r\n";
    }
    os << "\r\n";
}

void WritePlot(std::ostream& os, const FilterDesign& d)
{
    const int count = std::clamp(d.NFR, 0, kMaxArrayEntries);
    os << std::setw(71) << "Freq" << std::setw(9) << "DB loss"
       << "\r\n";
    for (int k = 0; k < count; ++k) {
        const double a = d.attenuation[k];
        const int c = PlotColumn(a);
        os << std::setw(c + 1) << "*";
        os << std::setprecision(1);
        os << std::setw(72 - c) << d.sweepFreq[k] * 1000;
        os << std::setw(7) << a;
        os << "\r\n";
    }
}

} // namespace

int PlotColumn(double attenuationDb)
{
    // Written so that NaN takes the clamped column: the comparison is false for it.
    if (!(attenuationDb <= kLargestPlotColumn)) {
        return kLargestPlotColumn;
    }
    if (attenuationDb < 0.0) {
        return 0;
    }
    return static_cast<int>(attenuationDb);
}

std::string WriteDesignReport(const FilterDesign& d, LengthUnit unit,
                              const BuildGeometry* corrected)
{
    const LengthFormat len(unit);
    std::ostringstream os;
    // The report's layout is fixed: a decimal point and no digit grouping, whatever locale
    // the program may have been given.
    os.imbue(std::locale::classic());
    os.setf(std::ios::fixed, std::ios::floatfield);
    os.setf(std::ios::showpoint);
    os.setf(std::ios::right, std::ios::adjustfield);
    os.fill(' ');
    os << std::setprecision(len.Precision());

    WriteHeader(os, d, len.Precision());
    WriteDimensions(os, d, len);
    WriteRodTable(os, d, len);
    if (corrected != nullptr) {
        WriteCorrectedLengths(os, *corrected, len);
    }
    WritePlot(os, d);
    return os.str();
}

std::string CrLfToLf(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        out += text[i];
    }
    return out;
}
