// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/cli/CommandLine.h"

#include "app/engine/DesignReport.h"
#include "app/engine/FilterSynthesis.h"
#include "tests/FileFaults.h"
#include "tests/TestSupport.h"
#include "tests/app/RunCommandLine.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* kDefaultParms =
    "ele=5\t&rip=1\t&fzmc=1200&bwmc=70&R=50\t&H=20\t&D=8\t&E=25\t&NFR=200&STP=1.4\t";

std::string ReferenceReport(const char* name)
{
    return ReadFile(std::string(TESSERA_ENGINE_TEST_DATA) + "/" + name);
}

// A file name in the test's temporary directory, removed again at the end of the test.
class TempFile
{
public:
    explicit TempFile(const std::string& name)
        : m_path(::testing::TempDir() + "tessera-" + std::to_string(::getpid()) + "-" + name)
    {
    }
    ~TempFile() { std::remove(m_path.c_str()); }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

TEST(CommandLineTest, WithoutArgumentsPrintsTheDefaultReport)
{
    const Outcome run = Tessera({});
    EXPECT_EQ(run.status, kExitOk);
    EXPECT_EQ(run.out, ReferenceReport("default_report_mm.txt"));
    EXPECT_EQ(run.err, "");
    // Options that only shape the report keep the report as the action.
    EXPECT_EQ(Tessera({"--inch"}).out, ReferenceReport("default_report_inch.txt"));
}

TEST(CommandLineTest, ReportLineEnds)
{
    const Outcome lf = Tessera({"--report"});
    EXPECT_EQ(lf.out.find('\r'), std::string::npos);
    const Outcome crlf = Tessera({"--report", "--crlf"});
    EXPECT_EQ(crlf.status, kExitOk);
    EXPECT_EQ(CrLfToLf(crlf.out), lf.out);
    EXPECT_NE(crlf.out, lf.out);
    EXPECT_EQ(crlf.out.substr(crlf.out.size() - 2), "\r\n");
}

TEST(CommandLineTest, InputsAndParmsTextGiveTheSameDesign)
{
    const std::vector<std::string> inputs = {"--elements", "7",  "--ripple", "0.5", "--fc", "1296",
                                             "--bw",       "60", "--z",      "75",  "--h",  "30",
                                             "--d",        "10", "--e",      "20"};
    std::vector<std::string> withText = inputs;
    withText.push_back("--parms-text");
    const Outcome text = Tessera(withText);
    ASSERT_EQ(text.status, kExitOk) << text.err;
    EXPECT_EQ(
        text.out,
        "ele=7\t&rip=0.5\t&fzmc=1296&bwmc=60&R=75\t&H=30\t&D=10\t&E=20\t&NFR=200&STP=1.2\t\n");

    std::vector<std::string> withReport = inputs;
    withReport.push_back("--inch");
    const Outcome fromInputs = Tessera(withReport);
    const std::string parms = text.out.substr(0, text.out.size() - 1);
    const Outcome fromParms = Tessera({"--parms", parms, "--inch"});
    ASSERT_EQ(fromParms.status, kExitOk) << fromParms.err;
    EXPECT_EQ(fromParms.out, fromInputs.out);
    EXPECT_NE(fromInputs.out.find("Elements = 7"), std::string::npos);
    EXPECT_NE(fromInputs.out.find("Line impedances = "), std::string::npos);

    // The "--name=value" form means the same.
    EXPECT_EQ(Tessera({"--elements=7", "--ripple=0.5", "--fc=1296", "--bw=60", "--z=75", "--h=30",
                       "--d=10", "--e=20", "--inch"})
                  .out,
              fromInputs.out);
}

TEST(CommandLineTest, ParmsTextOfDefaultsAndOfLongValues)
{
    EXPECT_EQ(Tessera({"--parms-text"}).out, std::string(kDefaultParms) + "\n");
    const Outcome run = Tessera({"--parms-text", "--fc", "1234.5678"});
    EXPECT_NE(run.out.find("&fzmc=1234.57&"), std::string::npos) << run.out;
    // Both actions: the text first, then the report.
    const Outcome both = Tessera({"--report", "--parms-text"});
    EXPECT_EQ(both.out.rfind(kDefaultParms, 0), 0u);
    EXPECT_EQ(both.out.substr(both.out.find('\n') + 1), ReferenceReport("default_report_mm.txt"));
}

TEST(CommandLineTest, InvalidInputsNameTheFirstInValidationOrder)
{
    const struct
    {
        std::vector<std::string> args;
        const char* error;
    } cases[] = {
        {{"--elements", "13"}, "Error: Elements\n"},
        {{"--elements", "1"}, "Error: Elements\n"},
        {{"--ripple", "-0.1"}, "Error: Ripple\n"},
        {{"--ripple", "4.5"}, "Error: Ripple\n"},
        {{"--fc", "0"}, "Error: Frequency\n"},
        {{"--bw", "-3"}, "Error: Bandwidth\n"},
        {{"--z", "0.5"}, "Error: Impedance\n"},
        {{"--h", "8"}, "Error: Ground plane space\n"},
        {{"--d", "0"}, "Error: Rod Dia\n"},
        {{"--e", "4"}, "Error: End plate to rod\n"},
        {{"--e", "1", "--elements", "20"}, "Error: Elements\n"},
        // Values that are not numbers are invalid inputs too.
        {{"--ripple", "abc"}, "Error: Ripple\n"},
        {{"--fc", "12x"}, "Error: Frequency\n"},
        {{"--elements", "5.5"}, "Error: Elements\n"},
        {{"--elements", "99999999999"}, "Error: Elements\n"},
        {{"--d", ""}, "Error: Rod Dia\n"},
        {{"--h", "nan"}, "Error: Ground plane space\n"},
        {{"--bw", "inf"}, "Error: Bandwidth\n"},
        {{"--z", "abc", "--ripple", "x"}, "Error: Ripple\n"},
        // Hexadecimal numbers are refused for every input alike.
        {{"--fc", "0x4B0"}, "Error: Frequency\n"},
        {{"--elements", "0x5"}, "Error: Elements\n"},
        // Finite values far beyond any filter.
        {{"--fc", "1e308"}, "Error: Frequency\n"},
        {{"--fc", "1e-320"}, "Error: Frequency\n"},
        {{"--bw", "1e308"}, "Error: Bandwidth\n"},
        {{"--h", "1e308"}, "Error: Ground plane space\n"},
        {{"--parms", "ele=5&rip=1&fzmc=1e300&bwmc=70&R=50&H=20&D=8&E=25&NFR=200&STP=1"},
         "Error: Frequency\n"},
        // Parameter texts from the user are bounded and checked.
        {{"--parms", "ele=5&rip=1&fzmc=1200&bwmc=70&R=50&H=20&D=8&E=25&NFR=100000&STP=1"},
         "Error: Points to graph\n"},
        {{"--parms", "ele=1e40&NFR=200"}, "Error: Elements\n"},
        {{"--parms", "ele=5&rip=oops&fzmc=1200"}, "Error: Ripple\n"},
        {{"--parms", ""}, "Error: Elements\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        args.push_back("--report");
        const Outcome run = Tessera(args);
        EXPECT_EQ(run.status, kExitUsage) << args[0] << " " << args[1];
        EXPECT_EQ(run.err, c.error) << args[0] << " " << args[1];
        EXPECT_EQ(run.out, "") << args[0] << " " << args[1];
    }
    // Limits themselves are accepted; a leading or trailing blank is harmless.
    EXPECT_EQ(Tessera({"--elements", "12", "--ripple", "4"}).status, kExitOk);
    EXPECT_EQ(Tessera({"--fc", " 900 "}).status, kExitOk);
}

TEST(CommandLineTest, UnusableOptionsPrintUsage)
{
    const std::vector<std::vector<std::string>> cases = {
        {"--frobnicate"},
        {"report"},
        {"-x"},
        {"-"},
        {"--fc"},
        {"--report", "--parms"},
        {"--response-csv"},
        {"--response-csv", ""},
        {"--report=yes"},
        {"--inch=1"},
        {"--parms", "ele=5", "--fc", "1000"},
        {"--config"},
        {"--config", "a", "--fc", "1000"},
        {"--config", "a", "--parms", "ele=5"},
        {"--list-configs", "--report"},
        {"--list-configs", "--config", "a"},
        {"--list-configs=1"},
    };
    for (const auto& args : cases) {
        const Outcome run = Tessera(args);
        EXPECT_EQ(run.status, kExitUsage) << args[0];
        EXPECT_EQ(run.out, "") << args[0];
        EXPECT_EQ(run.err.rfind("tessera: ", 0), 0u) << run.err;
        EXPECT_NE(run.err.find("Usage: tessera"), std::string::npos) << args[0];
    }
}

TEST(CommandLineTest, HelpAndVersion)
{
    const Outcome help = Tessera({"--help"});
    EXPECT_EQ(help.status, kExitOk);
    EXPECT_EQ(help.err, "");
    // The help, the manual page and the completion come from one table: every option of
    // it is in each, by name (the manual's hyphens escaped), and each option the parser
    // takes is in the table.
    const std::string manual = ManualOptionsText();
    // The completion's words: the list it offers, and the case labels of the values.
    const std::string script = BashCompletionText();
    const std::size_t listAt = script.find("local options='");
    ASSERT_NE(listAt, std::string::npos);
    auto words = [](std::string text) {
        for (char& ch : text) {
            ch = std::strchr(" |)'\n\t", ch) != nullptr ? ' ' : ch;
        }
        return " " + text + " ";
    };
    const std::string offered =
        words(script.substr(listAt + 15, script.find('\'', listAt + 15) - listAt - 15));
    std::string labels; // the case labels: lines of options ending in ")"
    std::istringstream lines(script.substr(0, listAt));
    for (std::string line; std::getline(lines, line);) {
        const std::size_t first = line.find_first_not_of(' ');
        if (first != std::string::npos && line.compare(first, 2, "--") == 0 && line.back() == ')') {
            labels += line + "\n";
        }
    }
    const std::string cases = words(labels);
    for (const CommandOption& option : CommandOptionTable()) {
        const std::string name = option.name;
        EXPECT_NE(help.out.find(" " + name + " "), std::string::npos) << name;
        std::string roff;
        for (char ch : name) {
            roff += ch == '-' ? "\\-" : std::string(1, ch);
        }
        EXPECT_NE(manual.find(roff), std::string::npos) << name;
        EXPECT_NE(offered.find(" " + name + " "), std::string::npos) << name;
        EXPECT_EQ(cases.find(" " + name + " ") != std::string::npos, option.value != nullptr)
            << name;
        std::string error;
        CommandLineOptions parsed;
        ParseCommandLine({option.value ? name + "=1" : name}, parsed, error);
        EXPECT_EQ(error.find("unknown option"), std::string::npos) << name;
    }
    EXPECT_EQ(Tessera({"-h"}).out, help.out);
    EXPECT_NE(help.out.find("(default 1200)"), std::string::npos);
    // The limits of the inputs are stated.
    EXPECT_NE(help.out.find("centre frequency, 0.001 to 1000000"), std::string::npos);
    EXPECT_NE(help.out.find("or 0.0001 to 4"), std::string::npos);
    // Help wins over anything else on the line, even an invalid input.
    EXPECT_EQ(Tessera({"--elements", "99", "--help"}).out, help.out);

    const Outcome version = Tessera({"--version"});
    EXPECT_EQ(version.status, kExitOk);
    EXPECT_EQ(version.out, std::string("tessera ") + TESSERA_TEST_VERSION + "\n");
}

// Configurations as the calculator stores them in ./Tessera.ini (here in a folder of the
// test's own).
TEST(CommandLineTest, StoredConfigurations)
{
    const std::string dir = TempPath("configs");
    const std::string empty = TempPath("no-configs");
    ASSERT_EQ(::mkdir(dir.c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(empty.c_str(), 0755), 0);
    std::ofstream(dir + "/Tessera.ini", std::ios::binary)
        << "    Recent= C_2\r\n"
           "[C_1]\r\n"
           "    Name  = wide\r\n"
           "    Parms = "
           "ele=7\t&rip=0.5\t&fzmc=1296&bwmc=60&R=75\t&H=30\t&D=10\t&E=20\t&NFR=200&STP=1.2\r\n"
           "[C_10]\r\nName = wide\r\nParms = "
           "ele=3&rip=0&fzmc=435&bwmc=5&R=50&H=20&D=8&E=25&NFR=2&STP=1\r\n"
           "[C_2]\r\nName = broken\r\nParms = ele=5&rip=1\r\n"
           "[C_3]\r\nName = odd key\r\nParms = "
           "ele=5&rip=1&fzmc=900&Q=1&R=50&H=20&D=8&E=25&NFR=200&STP=1\r\n"
           "[C_4]\r\nName = no parms\r\n"
           "[C_5]\r\nName = invalid\r\nParms = "
           "ele=13&rip=1&fzmc=900&bwmc=9&R=50&H=20&D=8&E=25&NFR=200&STP=1\r\n"
           "[Other]\r\nName = not listed\r\n";

    auto run = [](const std::string& folder, const std::vector<std::string>& args) {
        CommandLineOptions options;
        std::string error;
        EXPECT_TRUE(ParseCommandLine(args, options, error)) << error;
        options.configDir = folder;
        return Execute(options);
    };

    Outcome list = run(dir, {"--list-configs"});
    EXPECT_EQ(list.status, kExitOk);
    EXPECT_EQ(list.out, "C_1\twide\nC_10\twide\nC_2\tbroken\nC_3\todd key\nC_4\tno parms\n"
                        "C_5\tinvalid\n");
    list = run(empty, {"--list-configs"});
    EXPECT_EQ(list.status, kExitOk);
    EXPECT_EQ(list.out + list.err, "");

    // The first of two configurations with one name; the other by its section. The stored
    // inputs go through the calculator's fields, so the sweep follows the bandwidth.
    const Outcome wide = run(dir, {"--config", " wide ", "--parms-text", "--report", "--inch"});
    ASSERT_EQ(wide.status, kExitOk) << wide.err;
    const Outcome same =
        Tessera({"--elements", "7", "--ripple", "0.5", "--fc", "1296", "--bw", "60", "--z", "75",
                 "--h", "30", "--d", "10", "--e", "20", "--parms-text", "--report", "--inch"});
    EXPECT_EQ(wide.out, same.out);
    EXPECT_EQ(run(dir, {"--config=C_10", "--parms-text"}).out,
              "ele=3\t&rip=0\t&fzmc=435&bwmc=5&R=50\t&H=20\t&D=8\t&E=25\t&NFR=200&STP=1\t\n");

    const struct
    {
        std::string folder;
        const char* name;
        std::string error;
    } failures[] = {
        {dir, "nobody", "Error: no configuration named 'nobody' in " + dir + "/Tessera.ini\n"},
        {dir, "Other", "Error: no configuration named 'Other' in " + dir + "/Tessera.ini\n"},
        {empty, "wide", "Error: no configuration named 'wide' in " + empty + "/Tessera.ini\n"},
        {dir, "broken", "Wrong format of Parms key\n"},
        {dir, "odd key", "Unknown Parms key name: Q\n"},
        {dir, "no parms", "Parms key missing\n"},
        {dir, "invalid", "Error: Elements\n"},
    };
    for (const auto& f : failures) {
        const Outcome failed = run(f.folder, {"--config", f.name});
        EXPECT_EQ(failed.status, kExitUsage) << f.name;
        EXPECT_EQ(failed.err, f.error);
        EXPECT_EQ(failed.out, "") << f.name;
    }
    EXPECT_EQ(std::system(("rm -rf '" + dir + "' '" + empty + "'").c_str()), 0);
}

TEST(CommandLineTest, ResponseCsv)
{
    const Outcome run = Tessera({"--response-csv", "-"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    std::istringstream lines(run.out);
    std::string line;
    std::vector<std::pair<double, double>> points;
    while (std::getline(lines, line)) {
        double mhz = 0.0;
        double db = 0.0;
        char comma = 0;
        std::istringstream fields(line);
        ASSERT_TRUE(fields >> mhz >> comma >> db) << line;
        EXPECT_EQ(comma, ',');
        points.emplace_back(mhz, db);
    }
    ASSERT_EQ(points.size(), 200u);
    EXPECT_NEAR(points[0].first, 1060.0, 1e-9);
    EXPECT_NEAR(points[0].second, 77.7, 0.05);
    EXPECT_NEAR(points[100].first, 1200.0, 1e-9);
    EXPECT_NEAR(points[100].second, 1.0, 1e-12);
    EXPECT_NEAR(points[199].first, 1338.6, 1e-9);
    // Only the CSV was asked for: no report.
    EXPECT_EQ(run.out.find("Elements"), std::string::npos);

    TempFile file("response.csv");
    const Outcome toFile = Tessera({"--response-csv", file.Path(), "--bw", "20"});
    ASSERT_EQ(toFile.status, kExitOk) << toFile.err;
    EXPECT_EQ(toFile.out, "");
    const std::string written = ReadFile(file.Path());
    EXPECT_EQ(written.rfind("1100,", 0), 0u) << written.substr(0, 40);
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 200);

    // With the report as well, both are written.
    const Outcome both = Tessera({"--report", "--response-csv", file.Path()});
    EXPECT_EQ(both.out, ReferenceReport("default_report_mm.txt"));
    EXPECT_EQ(ReadFile(file.Path()).rfind("1060,", 0), 0u);
}

TEST(CommandLineTest, UnwritableCsvFails)
{
    const Outcome run = Tessera({"--response-csv", "/nonexistent-dir/response.csv"});
    EXPECT_EQ(run.status, kExitFailure);
    EXPECT_NE(run.err.find("cannot write '/nonexistent-dir/response.csv'"), std::string::npos)
        << run.err;
}

TEST(CommandLineTest, InvalidDesignWritesNoCsv)
{
    TempFile file("invalid.csv");
    const Outcome run = Tessera({"--response-csv", file.Path(), "--d", "30"});
    EXPECT_EQ(run.status, kExitUsage);
    EXPECT_EQ(run.err, "Error: Ground plane space\n");
    EXPECT_FALSE(std::ifstream(file.Path()).good());
}

// The width and height of a PNG file from its header.
std::pair<int, int> PngSize(const std::string& png)
{
    auto be32 = [&png](size_t at) {
        return (int(uint8_t(png[at])) << 24) | (int(uint8_t(png[at + 1])) << 16) |
               (int(uint8_t(png[at + 2])) << 8) | int(uint8_t(png[at + 3]));
    };
    return png.size() >= 24 ? std::make_pair(be32(16), be32(20)) : std::make_pair(0, 0);
}

TEST(CommandLineTest, ChartFilesByExtension)
{
    TempFile png("chart.PNG");
    const Outcome run = Tessera({"--chart", png.Path()});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(run.out, ""); // only the chart was asked for
    const std::string image = ReadFile(png.Path());
    ASSERT_EQ(image.substr(1, 3), "PNG");
    EXPECT_EQ(PngSize(image), std::make_pair(kDefaultChartWidth, kDefaultChartHeight));

    const Outcome sized = Tessera({"--chart", png.Path(), "--size", "640x480", "--fc", "433"});
    ASSERT_EQ(sized.status, kExitOk) << sized.err;
    EXPECT_EQ(PngSize(ReadFile(png.Path())), std::make_pair(640, 480));

    TempFile svg("chart.svg"), pdf("chart.pdf"), xch("chart.xch");
    ASSERT_EQ(Tessera({"--chart", svg.Path()}).status, kExitOk);
    EXPECT_NE(ReadFile(svg.Path()).find("<svg"), std::string::npos);
    ASSERT_EQ(Tessera({"--chart", pdf.Path()}).status, kExitOk);
    EXPECT_EQ(ReadFile(pdf.Path()).rfind("%PDF", 0), 0u);
    ASSERT_EQ(Tessera({"--chart", xch.Path()}).status, kExitOk);
    const std::string chartFile = ReadFile(xch.Path());
    EXPECT_EQ(chartFile.find_first_not_of(' '), chartFile.find("<XCHART"))
        << chartFile.substr(0, 60);
    EXPECT_NE(chartFile.find("MHz"), std::string::npos);
}

TEST(CommandLineTest, UnusableChartOptions)
{
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--chart", "chart.jpg"},
          std::vector<std::string>{"--chart", "chart.png", "--size", "0x10"},
          std::vector<std::string>{"--chart", "chart.png", "--size", "100"},
          std::vector<std::string>{"--chart", "chart.png", "--size", "30000x10"},
          std::vector<std::string>{"--chart", "chart.png", "--size", "10xx10"},
          std::vector<std::string>{"--chart", "chart.png", "--size", "10x,10"},
          std::vector<std::string>{"--chart"}}) {
        const Outcome run = Tessera(args);
        EXPECT_EQ(run.status, kExitUsage) << args.back();
        EXPECT_NE(run.err.find("Usage:"), std::string::npos);
    }
    const Outcome unwritable = Tessera({"--chart", "/nonexistent-dir/chart.png"});
    EXPECT_EQ(unwritable.status, kExitFailure);
    EXPECT_NE(unwritable.err.find("cannot write '/nonexistent-dir/chart.png'"), std::string::npos)
        << unwritable.err;
}

// A folder of its own for a test, removed with all it holds.
class TempFolder
{
public:
    TempFolder()
    {
        std::string tmpl = ::testing::TempDir() + "tessera-XXXXXX";
        m_path = ::mkdtemp(tmpl.data()) ? tmpl : std::string();
    }
    ~TempFolder() { std::system(("rm -rf '" + m_path + "'").c_str()); }
    std::string File(const std::string& name) const { return m_path + "/" + name; }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

struct OutputKind
{
    const char* option;
    const char* extension;
    const char* start; // what the file written begins with
};

constexpr OutputKind kOutputs[] = {
    {"--response-csv", ".csv", "1060,"}, {"--chart", ".png", "\x89PNG"},
    {"--chart", ".svg", "<?xml"},        {"--chart", ".pdf", "%PDF-"},
    {"--chart", ".xch", "  <XCHART"},    {"--touchstone", ".s2p", "! Touchstone"},
    {"--network-csv", ".csv", "MHz,"},   {"--tuning-csv", ".csv", "k,delay"},
};

// Every file the program writes fails alike and keeps the old file byte for byte, leaving
// no temporary file: on a full disk, for a read-only file and for a device behind a link.
// A link is written through to its target, and the longest file name the system allows
// works for every kind.
TEST(CommandLineTest, EveryOutputFileIsReplacedSafely)
{
    for (const OutputKind& kind : kOutputs) {
        SCOPED_TRACE(kind.extension);
        const std::string old = std::string("old \0 content ") + kind.extension;
        TempFolder folder;
        ASSERT_FALSE(folder.Path().empty());
        auto writeOld = [&](const std::string& path) {
            std::ofstream(path, std::ios::binary) << old;
        };
        const std::string name = std::string("out") + kind.extension;
        const std::string path = folder.File(name);

        const std::string fullDisk = filefaults::RunOnFullDisk(
            folder.Path(), [&] { writeOld(path); },
            [&]() -> std::string {
                const Outcome run = Tessera({kind.option, path});
                const std::string expected = "tessera: cannot write '" + path + "': ";
                if (run.status != kExitFailure || run.err.rfind(expected, 0) != 0) {
                    return "status " + std::to_string(run.status) + ": " + run.err;
                }
                if (ReadFile(path) != old) {
                    return "the old file changed";
                }
                if (filefaults::FolderEntries(folder.Path()) != std::vector<std::string>{name}) {
                    return "something was left in the folder";
                }
                return "";
            });
        EXPECT_EQ(fullDisk, "");

        // Read-only: refused with the system's message, even for root.
        writeOld(path);
        ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
        Outcome run = Tessera({kind.option, path});
        EXPECT_EQ(run.status, kExitFailure);
        EXPECT_EQ(run.err, "tessera: cannot write '" + path + "': Permission denied\n");
        EXPECT_EQ(ReadFile(path), old);

        // A link to a device is refused; the link stays as it was.
        const std::string device = folder.File(std::string("device") + kind.extension);
        ASSERT_EQ(::symlink("/dev/full", device.c_str()), 0);
        run = Tessera({kind.option, device});
        EXPECT_EQ(run.status, kExitFailure);
        EXPECT_EQ(run.err, "tessera: cannot write '" + device + "': not a regular file\n");

        // A link is written through: the file it names gets the output.
        const std::string link = folder.File(std::string("link") + kind.extension);
        ASSERT_EQ(::symlink(name.c_str(), link.c_str()), 0);
        ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
        run = Tessera({kind.option, link});
        EXPECT_EQ(run.status, kExitOk) << run.err;
        EXPECT_EQ(ReadFile(path).rfind(kind.start, 0), 0u) << ReadFile(path).substr(0, 20);
        struct stat st;
        ASSERT_EQ(::lstat(link.c_str(), &st), 0);
        EXPECT_TRUE(S_ISLNK(st.st_mode));

        const std::string longName = folder.File(std::string(251, 'n') + kind.extension);
        run = Tessera({kind.option, longName});
        EXPECT_EQ(run.status, kExitOk) << run.err;
        EXPECT_EQ(ReadFile(longName).rfind(kind.start, 0), 0u);

        EXPECT_EQ(filefaults::FolderEntries(folder.Path()).size(), 4u);
    }
}

// An output stream whose every write fails as on a full disk.
class FullDisk : public std::streambuf
{
protected:
    int_type overflow(int_type) override
    {
        errno = ENOSPC;
        return traits_type::eof();
    }
    std::streamsize xsputn(const char*, std::streamsize) override
    {
        errno = ENOSPC;
        return 0;
    }
};

TEST(CommandLineTest, FailedStandardOutputIsReported)
{
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--help"}, std::vector<std::string>{"--version"},
          std::vector<std::string>{}, std::vector<std::string>{"--parms-text"},
          std::vector<std::string>{"--response-csv", "-"}, std::vector<std::string>{"--tuning"},
          std::vector<std::string>{"--network-csv", "-"}}) {
        FullDisk disk;
        std::ostream out(&disk);
        std::ostringstream err;
        EXPECT_EQ(RunCommandLine(args, out, err), kExitFailure);
        EXPECT_EQ(err.str(),
                  "tessera: cannot write output: " + std::string(std::strerror(ENOSPC)) + "\n");
    }
    // The real device, as "tessera --help > /dev/full" meets it.
    std::ofstream full("/dev/full");
    if (full) {
        std::ostringstream err;
        EXPECT_EQ(RunCommandLine({"--help"}, full, err), kExitFailure);
        EXPECT_NE(err.str().find("cannot write output"), std::string::npos) << err.str();
    }
}

TEST(CommandLineTest, ArgcArgvEntryPoint)
{
    char program[] = "tessera";
    char option[] = "--version";
    char* argv[] = {program, option, nullptr};
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunCommandLine(2, argv, out, err), kExitOk);
    EXPECT_EQ(out.str(), std::string("tessera ") + TESSERA_TEST_VERSION + "\n");
}

TEST(CommandLineTest, EveryOutputReadsOneComputedDesign)
{
    TempFolder folder;
    ASSERT_FALSE(folder.Path().empty());
    const long before = SynthesisCount();
    const Outcome run =
        Tessera({"--touchstone", folder.File("a.s2p"), "--build-sheet", folder.File("b.svg"),
                 "--dxf", folder.File("c.dxf"), "--report", "--network-csv", "-", "--tuning",
                 "--response-csv", "-", "--chart", folder.File("d.xch"), "--network"});
    EXPECT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(SynthesisCount() - before, 1);
}

TEST(CommandLineTest, FiltersAsBuiltDrawnOrCorrected)
{
    TempFolder folder;
    ASSERT_FALSE(folder.Path().empty());
    const long before = SynthesisCount();
    const Outcome run =
        Tessera({"--correct", "--as-built", "--report", "--geometry", folder.File("g.json"),
                 "--openems", folder.File("m.py"), "--dxf", folder.File("c.dxf")});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(SynthesisCount() - before, 1);
    EXPECT_NE(run.out.find("Corrected for the box as built (wall feed):\n"), std::string::npos);
    EXPECT_NE(run.out.find("As built: wall feed, corrected dimensions, lossless\n"),
              std::string::npos);
    const std::string json = ReadFile(folder.File("g.json"));
    EXPECT_NE(json.find("\"corrected\": true"), std::string::npos);
    EXPECT_NE(json.find("\"number\": 5,"), std::string::npos);
    // The script builds what the geometry file states: the same tap, to the micrometre.
    const std::string script = ReadFile(folder.File("m.py"));
    const std::size_t tapAt = json.find("\"tapHeight\": ");
    ASSERT_NE(tapAt, std::string::npos);
    const double tap = std::stod(json.substr(tapAt + 13));
    const std::size_t scriptTap = script.find("\nTAP = ");
    ASSERT_NE(scriptTap, std::string::npos);
    EXPECT_NEAR(std::stod(script.substr(scriptTap + 7)), tap, 1e-3);
    EXPECT_NE(script.find("FEED = 'wall'"), std::string::npos);

    // A stored configuration keeps its build choice beside its parameter text; the options
    // still decide what they name.
    const std::string dir = folder.File("stored");
    ASSERT_EQ(::mkdir(dir.c_str(), 0755), 0);
    std::ofstream(dir + "/Tessera.ini", std::ios::binary)
        << "[C_1]\r\nName = pin\r\nParms = "
           "ele=5\t&rip=1\t&fzmc=1200&bwmc=70&R=50\t&H=20\t&D=8\t&E=25\t&NFR=200&STP=1.4\r\n"
           "Feed = cover\r\nCorrected = 1\r\n";
    auto stored = [&](std::vector<std::string> args) {
        CommandLineOptions options;
        std::string error;
        EXPECT_TRUE(ParseCommandLine(args, options, error)) << error;
        options.configDir = dir;
        return Execute(options);
    };
    EXPECT_NE(stored({"--config", "pin"}).out.find("Corrected for the box as built (cover feed)"),
              std::string::npos);
    EXPECT_NE(stored({"--config", "pin", "--feed", "wall"})
                  .out.find("Corrected for the box as built (wall feed)"),
              std::string::npos);

    // Refused: unknown feeds and file kinds, and a band too wide for a coupled-resonator
    // filter, which cannot be corrected; nothing is written then.
    const struct
    {
        std::vector<std::string> args;
        const char* error;
    } refused[] = {
        {{"--feed", "side"}, "tessera: option '--feed' needs 'wall' or 'cover'\n"},
        {{"--openems", "m.txt"}, "tessera: option '--openems' needs a file name ending in .py\n"},
        {{"--geometry", "g.txt"},
         "tessera: option '--geometry' needs a file name ending in .json\n"},
        {{"--bw", "900", "--correct", "--geometry", folder.File("wide.json")},
         "tessera: cannot correct the dimensions: the correction did not converge\n"},
    };
    for (const auto& r : refused) {
        const Outcome failed = Tessera(r.args);
        EXPECT_EQ(failed.status, kExitUsage) << r.error;
        EXPECT_EQ(failed.err.substr(0, std::string(r.error).size()), r.error);
    }
    EXPECT_NE(::access(folder.File("wide.json").c_str(), F_OK), 0);
}

} // namespace
