// SPDX-License-Identifier: GPL-2.0-or-later
// Dictionary insert and lookup against std::unordered_map on the same keys, in one run.
#include "base/StringTypeDict.h"
#include "base/TypeDict.h"

#include <benchmark/benchmark.h>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

const std::vector<std::string>& Keys()
{
    static const std::vector<std::string> keys = [] {
        std::vector<std::string> k;
        for (int i = 0; i < 10000; ++i) {
            k.push_back("key_" + std::to_string(i * 7919));
        }
        return k;
    }();
    return keys;
}

void BM_StringTypeDict_Insert(benchmark::State& state)
{
    const auto& keys = Keys();
    for (auto _ : state) {
        StringTypeDict<int> dict(15);
        for (size_t i = 0; i < keys.size(); ++i) {
            dict.Insert(ZStr(keys[i].data(), int32_t(keys[i].size())), int(i));
        }
        benchmark::DoNotOptimize(dict.Count());
    }
    state.SetItemsProcessed(state.iterations() * int64_t(keys.size()));
}

// The same insertions into a table that has grown already (cleared between rounds): the
// cost of inserting alone, without the growth steps' fresh slot arrays.
void BM_StringTypeDict_InsertCleared(benchmark::State& state)
{
    const auto& keys = Keys();
    StringTypeDict<int> dict(15);
    for (auto _ : state) {
        dict.Clear();
        for (size_t i = 0; i < keys.size(); ++i) {
            dict.Insert(ZStr(keys[i].data(), int32_t(keys[i].size())), int(i));
        }
        benchmark::DoNotOptimize(dict.Count());
    }
    state.SetItemsProcessed(state.iterations() * int64_t(keys.size()));
}

// The peer of both insertions above: a map made fresh for each round, or one that has grown
// already and is cleared between rounds.
template <bool kFresh> void BM_StdUnorderedMapString_Insert(benchmark::State& state)
{
    const auto& keys = Keys();
    std::unordered_map<std::string, int> grown;
    for (auto _ : state) {
        std::unordered_map<std::string, int> fresh;
        std::unordered_map<std::string, int>& map = kFresh ? fresh : grown;
        map.clear();
        for (size_t i = 0; i < keys.size(); ++i) {
            map[keys[i]] = int(i);
        }
        benchmark::DoNotOptimize(map.size());
    }
    state.SetItemsProcessed(state.iterations() * int64_t(keys.size()));
}

void BM_StringTypeDict_Lookup(benchmark::State& state)
{
    const auto& keys = Keys();
    StringTypeDict<int> dict(15);
    for (size_t i = 0; i < keys.size(); ++i) {
        dict.Insert(ZStr(keys[i].data(), int32_t(keys[i].size())), int(i));
    }
    for (auto _ : state) {
        int64_t sum = 0;
        for (const auto& k : keys) {
            sum += *dict.Lookup(ZStr(k.data(), int32_t(k.size())));
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * int64_t(keys.size()));
}

void BM_StdUnorderedMapString_Lookup(benchmark::State& state)
{
    const auto& keys = Keys();
    std::unordered_map<std::string, int> map;
    for (size_t i = 0; i < keys.size(); ++i) {
        map[keys[i]] = int(i);
    }
    for (auto _ : state) {
        int64_t sum = 0;
        for (const auto& k : keys) {
            sum += map.find(k)->second;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * int64_t(keys.size()));
}

void BM_TypeDictInt_InsertLookup(benchmark::State& state)
{
    for (auto _ : state) {
        TypeDict<int, int> dict(15);
        for (int i = 0; i < 10000; ++i) {
            dict.Insert(i * 7919, i);
        }
        int64_t sum = 0;
        for (int i = 0; i < 10000; ++i) {
            sum += *dict.Lookup(i * 7919);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * 20000);
}

void BM_StdUnorderedMapInt_InsertLookup(benchmark::State& state)
{
    for (auto _ : state) {
        std::unordered_map<int, int> map;
        for (int i = 0; i < 10000; ++i) {
            map[i * 7919] = i;
        }
        int64_t sum = 0;
        for (int i = 0; i < 10000; ++i) {
            sum += map.find(i * 7919)->second;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * 20000);
}

} // namespace

BENCHMARK(BM_StringTypeDict_Insert);
BENCHMARK_TEMPLATE(BM_StdUnorderedMapString_Insert, true);
BENCHMARK(BM_StringTypeDict_InsertCleared);
BENCHMARK_TEMPLATE(BM_StdUnorderedMapString_Insert, false);
BENCHMARK(BM_StringTypeDict_Lookup);
BENCHMARK(BM_StdUnorderedMapString_Lookup);
BENCHMARK(BM_TypeDictInt_InsertLookup);
BENCHMARK(BM_StdUnorderedMapInt_InsertLookup);
