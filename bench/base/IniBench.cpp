// SPDX-License-Identifier: GPL-2.0-or-later
// Loading and saving a configuration file with 999 configuration sections, and the large
// files that once took quadratic time: many small sections (load) and one section with many
// keys (save). There is no INI library among the peers, so these report times only.
#include "base/ZIni.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

std::string ConfigFile()
{
    std::string text = "    Recent = C_500\r\n";
    for (int k = 1; k <= 999; ++k) {
        text += "[C_" + std::to_string(k) + "]\r\n";
        text += "    Name  = configuration " + std::to_string(k) + "\r\n";
        text += "    Parms = ele=5\t&rip=1\t&fzmc=" + std::to_string(1000 + k) +
                "&bwmc=70&R=50\t&H=20\t&D=8\t&E=25\t&NFR=200&STP=1.4\r\n";
    }
    return text;
}

void BM_ZIni_Load999(benchmark::State& state)
{
    std::string path = "/tmp/bench-zini-" + std::to_string(::getpid()) + ".ini";
    std::string text = ConfigFile();
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    for (auto _ : state) {
        ZIni ini;
        benchmark::DoNotOptimize(ini.Load("", ZStr(path.c_str())));
    }
    std::remove(path.c_str());
    state.SetBytesProcessed(state.iterations() * int64_t(text.size()));
}

void BM_ZIni_Save999(benchmark::State& state)
{
    std::string path = "/tmp/bench-zini-save-" + std::to_string(::getpid()) + ".ini";
    std::string text = ConfigFile();
    ZIni ini;
    ini.LoadText(ZStr(text.data(), int32_t(text.size())));
    ini.Set("C_500", "Parms", "ele=7\t&rip=0.5");
    for (auto _ : state) {
        benchmark::DoNotOptimize(ini.Save("", ZStr(path.c_str())));
    }
    std::remove(path.c_str());
    state.SetBytesProcessed(state.iterations() * int64_t(text.size()));
}

void BM_ZIni_BuildText999(benchmark::State& state)
{
    std::string text = ConfigFile();
    ZIni ini;
    ini.LoadText(ZStr(text.data(), int32_t(text.size())));
    for (auto _ : state) {
        benchmark::DoNotOptimize(ini.BuildText().Length());
    }
    state.SetBytesProcessed(state.iterations() * int64_t(text.size()));
}

// A temporary file holding text, removed when the benchmark ends.
class TempIni
{
public:
    TempIni(const char* name, const std::string& text)
        : m_path("/tmp/bench-zini-" + std::string(name) + "-" + std::to_string(::getpid()) + ".ini")
    {
        FILE* f = std::fopen(m_path.c_str(), "wb");
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    ~TempIni() { std::remove(m_path.c_str()); }
    ZStr Path() const { return ZStr(m_path.c_str()); }

private:
    std::string m_path;
};

// Sections of one key each: "[S1]", "    k = v1".
void BM_ZIni_LoadSections(benchmark::State& state)
{
    std::string text;
    for (int64_t k = 0; k < state.range(0); ++k) {
        text += "[S" + std::to_string(k) + "]\r\n    k = v" + std::to_string(k) + "\r\n";
    }
    TempIni file("sections", text);
    for (auto _ : state) {
        ZIni ini;
        benchmark::DoNotOptimize(ini.Load("", file.Path()));
    }
    state.SetBytesProcessed(state.iterations() * int64_t(text.size()));
}

// One section of about 10 MB of keys, changed and saved.
void BM_ZIni_SaveManyKeys(benchmark::State& state)
{
    std::string text = "[Big]\r\n";
    for (int64_t k = 0; k < state.range(0); ++k) {
        text += "    key" + std::to_string(k) + " = value number " + std::to_string(k) + "\r\n";
    }
    TempIni file("keys", text);
    ZIni ini;
    ini.LoadText(ZStr(text.data(), int32_t(text.size())));
    ini.Set("Big", "key7", "changed");
    for (auto _ : state) {
        benchmark::DoNotOptimize(ini.Save("", file.Path()));
    }
    state.SetBytesProcessed(state.iterations() * int64_t(text.size()));
}

} // namespace

BENCHMARK(BM_ZIni_LoadSections)->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZIni_SaveManyKeys)->Arg(300000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZIni_Load999)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ZIni_BuildText999)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ZIni_Save999)->Unit(benchmark::kMicrosecond);
