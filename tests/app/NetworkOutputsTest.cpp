// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/outputs/NetworkOutputs.h"

#include "app/cli/CommandLine.h"
#include "tests/TestSupport.h"
#include "tests/app/RunCommandLine.h"
#include "tests/app/TouchstoneReader.h"

#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

// The network outputs driven through the command line, as a user runs them.

namespace {

class TempFile
{
public:
    explicit TempFile(const std::string& name)
        : m_path(TempPath(name))
    {
    }
    ~TempFile() { std::remove(m_path.c_str()); }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

// A CSV output of numbers after its header line.
std::vector<std::vector<double>> CsvRows(const std::string& text, std::string& header)
{
    std::istringstream lines(text);
    std::getline(lines, header);
    std::vector<std::vector<double>> rows;
    std::string line;
    while (std::getline(lines, line)) {
        std::vector<double> row;
        std::istringstream fields(line);
        std::string field;
        while (std::getline(fields, field, ',')) {
            row.push_back(field.empty() ? std::nan("") : std::stod(field));
        }
        if (!line.empty() && line.back() == ',') {
            row.push_back(std::nan(""));
        }
        rows.push_back(row);
    }
    return rows;
}

} // namespace

TEST(NetworkOutputsTest, TouchstoneFileReadsBack)
{
    TempFile file("filter.s2p");
    const struct
    {
        std::vector<std::string> args;
        std::size_t points;
        double firstMHz;
        double lastMHz;
        bool lossless;
    } cases[] = {
        // The design's own sweep, with the report's Qu.
        {{}, 200, 1060.0, 1338.6, false},
        // A wide lossless sweep for the skirts.
        {{"--from", "120", "--to", "3600", "--points", "1000", "--qu", "inf"},
         1000,
         120,
         3600,
         true},
        {{"--from", "1100", "--to", "1300", "--qu", "800", "--elements", "7"},
         201,
         1100,
         1300,
         false},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"--touchstone", file.Path()};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const Outcome run = Tessera(args);
        ASSERT_EQ(run.status, kExitOk) << run.err;
        EXPECT_EQ(run.out, ""); // the file alone was asked for

        Touchstone t;
        std::string problem;
        ASSERT_TRUE(ParseTouchstone(ReadFile(file.Path()), t, problem)) << problem;
        EXPECT_EQ(t.option, (std::vector<std::string>{"MHz", "S", "RI", "R", "50"}));
        ASSERT_GE(t.comments.size(), 2u);
        EXPECT_NE(t.comments[0].find(std::string("tessera ") + TESSERA_TEST_VERSION),
                  std::string::npos);
        const std::string parms = Tessera({"--parms-text"}).out;
        if (c.args.empty()) {
            EXPECT_NE(t.comments[1].find(parms.substr(0, parms.size() - 1)), std::string::npos);
        }
        ASSERT_EQ(t.mhz.size(), c.points);
        EXPECT_NEAR(t.mhz.front(), c.firstMHz, 1e-9);
        EXPECT_NEAR(t.mhz.back(), c.lastMHz, 1e-9);
        for (std::size_t i = 0; i < t.mhz.size(); ++i) {
            if (i > 0) {
                EXPECT_GT(t.mhz[i], t.mhz[i - 1]);
            }
            const double power = std::norm(t.s11[i]) + std::norm(t.s21[i]);
            if (c.lossless) {
                // Twelve digits keep the lossless network's power balance.
                EXPECT_NEAR(power, 1.0, 1e-10) << t.mhz[i];
            } else {
                EXPECT_LT(power, 1.0) << t.mhz[i];
            }
            EXPECT_NEAR(std::abs(t.s12[i] - t.s21[i]), 0.0, 1e-11);
            // Odd orders are symmetric (to the precision of the prototype values).
            EXPECT_NEAR(std::abs(t.s11[i] - t.s22[i]), 0.0, 1e-6);
        }
    }
    // The default design at f0: the dissipation loss the report estimates (0.37 dB).
    const Outcome run = Tessera({"--touchstone", file.Path()});
    Touchstone t;
    std::string problem;
    ASSERT_TRUE(ParseTouchstone(ReadFile(file.Path()), t, problem)) << problem;
    EXPECT_NEAR(t.mhz[100], 1200.0, 1e-9);
    EXPECT_NEAR(-20 * std::log10(std::abs(t.s21[100])), 0.37, 0.02);
}

TEST(NetworkOutputsTest, NetworkCsvAndChart)
{
    const Outcome run = Tessera({"--network-csv", "-", "--qu", "inf"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    std::string header;
    const auto rows = CsvRows(run.out, header);
    EXPECT_EQ(header, "MHz,S21 dB,S11 dB,delay ns");
    ASSERT_EQ(rows.size(), 200u);
    // The design's band edges, 1165 and 1235 MHz, lie at the 1 dB ripple; inside the band the
    // return loss is at least that of the ripple (6.87 dB) and the delay peaks near the edges.
    const double returnLoss = -10 * std::log10(1 - std::pow(10, -0.1));
    for (const auto& row : rows) {
        ASSERT_EQ(row.size(), 4u);
        EXPECT_NEAR(std::pow(10, row[1] / 10) + std::pow(10, row[2] / 10), 1.0, 1e-9) << row[0];
        if (row[0] > 1165 - 1e-9 && row[0] < 1235 + 1e-9) {
            EXPECT_GE(row[1], -1.0 - 1e-3) << row[0];
            EXPECT_LE(row[2], -returnLoss + 2e-3) << row[0];
            EXPECT_GT(row[3], 0.0);
        }
    }
    EXPECT_NEAR(rows[75][0], 1165.0, 1e-9);
    EXPECT_NEAR(rows[75][1], -1.0, 0.01);
    EXPECT_NEAR(rows[125][1], -1.0, 0.01);
    EXPECT_GT(rows[75][3], rows[100][3]);
    EXPECT_GT(rows[125][3], rows[100][3]);

    // The chart: |S21| in "BW", |S11| in "S11", the same numbers as the CSV.
    TempFile xch("network.xch");
    TempFile png("network.png");
    ASSERT_EQ(Tessera({"--chart", xch.Path(), "--network", "--qu", "inf"}).status, kExitOk);
    const std::string chart = ReadFile(xch.Path());
    EXPECT_NE(chart.find("<CHARTLINE name='BW'"), std::string::npos);
    EXPECT_NE(chart.find("<CHARTLINE name='S11'"), std::string::npos);
    const Outcome drawn = Tessera(
        {"--chart", png.Path(), "--network", "--from", "600", "--to", "1800", "--points", "400"});
    ASSERT_EQ(drawn.status, kExitOk) << drawn.err;
    EXPECT_EQ(ReadFile(png.Path()).substr(1, 3), "PNG");
    // Without --network the chart is the ideal response, as before.
    ASSERT_EQ(Tessera({"--chart", xch.Path()}).status, kExitOk);
    EXPECT_EQ(ReadFile(xch.Path()).find("S11"), std::string::npos);
}

TEST(NetworkOutputsTest, TuningTableAsTextAndCsv)
{
    const Outcome text = Tessera({"--tuning"});
    ASSERT_EQ(text.status, kExitOk) << text.err;
    const Outcome csv = Tessera({"--tuning-csv", "-"});
    ASSERT_EQ(csv.status, kExitOk) << csv.err;
    std::string header;
    const auto rows = CsvRows(csv.out, header);
    EXPECT_EQ(header, "k,delay ns,coupling k k+1,external Q");
    ASSERT_EQ(rows.size(), 5u);

    // The text shows the same numbers, one aligned line per resonator.
    std::istringstream lines(text.out);
    std::string line;
    std::vector<std::string> table;
    while (std::getline(lines, line)) {
        table.push_back(line);
    }
    ASSERT_EQ(table.size(), 4u + 5u) << text.out;
    EXPECT_EQ(table[0].rfind("Tuning table at f0 = 1199.489 MHz", 0), 0u) << table[0];
    for (int k = 1; k <= 5; ++k) {
        const auto& row = rows[k - 1];
        ASSERT_EQ(row.size(), 4u);
        EXPECT_EQ(row[0], k);
        std::istringstream fields(table[3 + k]);
        int shownK = 0;
        double delay = 0.0;
        fields >> shownK >> delay;
        EXPECT_EQ(shownK, k);
        EXPECT_NEAR(delay, row[1], 5e-4);
        EXPECT_EQ(table[3 + k].size(), table[4].size() - (k == 1 || k == 5 ? 0 : 12)) << k;
        // Each resonator tuned adds to the delay two steps before.
        if (k > 2) {
            EXPECT_GT(row[1], rows[k - 3][1]);
        }
        EXPECT_EQ(std::isnan(row[2]), k == 5);
        EXPECT_EQ(std::isnan(row[3]), k != 1 && k != 5);
    }
    // The design is symmetric (to the precision of its prototype values).
    EXPECT_NEAR(rows[0][3], rows[4][3], 1e-6 * rows[0][3]);
    EXPECT_NEAR(rows[0][2], rows[3][2], 1e-6 * rows[0][2]);
    EXPECT_NEAR(rows[4][1], rows[2][1] + rows[0][1], 1e-6 * rows[4][1]); // g5 = g1

    // Several outputs on one run: the report when asked, then the table, then the CSV.
    const Outcome both = Tessera({"--report", "--tuning", "--tuning-csv", "-"});
    ASSERT_EQ(both.status, kExitOk);
    EXPECT_NE(both.out.find("Elements = 5"), std::string::npos);
    EXPECT_EQ(both.out.substr(both.out.size() - csv.out.size()), csv.out);
    EXPECT_NE(both.out.find(text.out), std::string::npos);
}

TEST(NetworkOutputsTest, UnusableOptionsAndDesigns)
{
    const std::vector<std::vector<std::string>> usage = {
        {"--touchstone", "filter.txt"},
        {"--touchstone"},
        {"--network-csv", ""},
        {"--tuning-csv"},
        {"--tuning=1"},
        {"--network"},
        {"--network-csv", "-", "--from", "100"},
        {"--network-csv", "-", "--to", "100"},
        {"--network-csv", "-", "--points", "30"},
        {"--network-csv", "-", "--from", "300", "--to", "200"},
        {"--network-csv", "-", "--from", "0", "--to", "200"},
        {"--network-csv", "-", "--from", "0x10", "--to", "200"},
        {"--network-csv", "-", "--from", "inf", "--to", "200"},
        {"--network-csv", "-", "--from", "100", "--to", "200", "--points", "1"},
        {"--network-csv", "-", "--from", "100", "--to", "200", "--points", "2.5"},
        {"--network-csv", "-", "--from", "100", "--to", "200", "--points", "100001"},
        {"--network-csv", "-", "--qu", "0"},
        {"--network-csv", "-", "--qu", "-inf"},
        {"--network-csv", "-", "--qu", "nan"},
        {"--network-csv", "-", "--qu", "high"},
        {"--network-csv", "-", "--qu", "1e400"}, // too large to hold, not "inf"
        // Options that would change nothing.
        {"--from", "100", "--to", "200"},
        {"--tuning", "--qu", "500"},
        {"--report", "--qu", "500"},
    };
    for (const auto& args : usage) {
        const Outcome run = Tessera(args);
        EXPECT_EQ(run.status, kExitUsage) << args[0] << " " << args.back();
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("Usage:"), std::string::npos) << args.back();
    }

    TempFile file("invalid.s2p");
    Outcome run = Tessera({"--touchstone", file.Path(), "--elements", "13"});
    EXPECT_EQ(run.status, kExitUsage);
    EXPECT_EQ(run.err, "Error: Elements\n");
    EXPECT_TRUE(ReadFile(file.Path()).empty());
    // A band reaching 0 Hz has no network model; nothing is written.
    run = Tessera({"--touchstone", file.Path(), "--fc", "1000", "--bw", "2500"});
    EXPECT_EQ(run.status, kExitUsage);
    EXPECT_EQ(run.err,
              "tessera: the network model needs a bandwidth below twice the centre frequency\n");
    EXPECT_TRUE(ReadFile(file.Path()).empty());
    // The help names every network option.
    const std::string help = Tessera({"--help"}).out;
    for (const char* option : {"--touchstone", "--network-csv", "--network ", "--from", "--to",
                               "--points", "--qu", "--tuning ", "--tuning-csv"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
    // The limits themselves are accepted.
    EXPECT_EQ(Tessera({"--network-csv", "-", "--from", "1", "--to", "1e6", "--points", "2", "--qu",
                       "1e-3", "--elements", "12", "--ripple", "4"})
                  .status,
              kExitOk);
}

// Whatever the input, the files are what their readers expect: a Touchstone file of one
// comment line per comment and frequencies above 0 Hz, SVG that an XML checker accepts, and
// a tuning table that shows weak couplings to four significant digits.
TEST(NetworkOutputsTest, WrittenFilesAreWellFormedWhateverTheInput)
{
    TempFile s2p("hostile.s2p"), sheet("hostile.svg"), chart("hostile-chart.svg");
    // An unknown key carries a line break, a control character and bytes that are no UTF-8:
    // a surrogate, a code point above U+10FFFF, an overlong "/", a lone 0xFF.
    const std::string parms = "ele=5&rip=1&fzmc=1200&bwmc=70&R=50&H=20&D=8&E=25&NFR=200&STP=1.4"
                              "&x=\n! junk\x01\xED\xA0\x80\xF4\x90\x80\x80\xC0\xAF\xFF";
    Outcome run = Tessera({"--parms", parms, "--touchstone", s2p.Path(), "--build-sheet",
                           sheet.Path(), "--chart", chart.Path()});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    Touchstone t;
    std::string problem;
    ASSERT_TRUE(ParseTouchstone(ReadFile(s2p.Path()), t, problem)) << problem;
    EXPECT_EQ(t.comments.size(), 3u);
    EXPECT_EQ(t.mhz.size(), 200u);
    for (const std::string& svg : {sheet.Path(), chart.Path()}) {
        EXPECT_EQ(std::system(("xmllint --noout '" + svg + "'").c_str()), 0) << svg;
    }
    EXPECT_NE(ReadFile(sheet.Path()).find("x=! junk\xEF\xBF\xBD"), std::string::npos);

    // A narrow design at a low frequency: its sweep starts at the lowest point above 0 Hz.
    run = Tessera({"--fc", "10", "--bw", "1", "--touchstone", s2p.Path()});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    t = Touchstone{};
    ASSERT_TRUE(ParseTouchstone(ReadFile(s2p.Path()), t, problem)) << problem;
    ASSERT_FALSE(t.mhz.empty());
    EXPECT_LT(t.mhz.size(), 200u);
    for (double mhz : t.mhz) {
        EXPECT_GT(mhz, 0.0);
    }

    // Couplings of a very narrow filter, text against CSV.
    const Outcome text = Tessera({"--tuning", "--fc", "1000", "--bw", "0.01"});
    const Outcome csv = Tessera({"--tuning-csv", "-", "--fc", "1000", "--bw", "0.01"});
    std::string header;
    const auto rows = CsvRows(csv.out, header);
    ASSERT_EQ(rows.size(), 5u);
    std::istringstream lines(text.out);
    std::string line;
    for (int skip = 0; skip < 5; ++skip) { // title, two lines of legend, head, row 1
        std::getline(lines, line);
    }
    int k = 0;
    double delay = 0.0, coupling = 0.0;
    std::istringstream(line) >> k >> delay >> coupling;
    ASSERT_LT(rows[0][2], 1e-4);
    EXPECT_NEAR(coupling, rows[0][2], 1e-3 * rows[0][2]) << line;
}
