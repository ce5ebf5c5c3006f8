// Loading and saving a configuration file with 999 configuration sections.
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

} // namespace

BENCHMARK(BM_ZIni_Load999)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ZIni_BuildText999)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ZIni_Save999)->Unit(benchmark::kMicrosecond);
