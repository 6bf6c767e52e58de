// Speed of the engine's hot paths on generated lists of 10 columns: reading clipboard text,
// writing a list as text, pairing two lists, and sorting a list by a column.

#include <benchmark/benchmark.h>

#include <memory>

#include "comparison.h"
#include "list_generator.h"
#include "record_list.h"
#include "record_reader.h"
#include "record_writer.h"
#include "text_order.h"

namespace {

using namespace sorvane::core;
using sorvane::bench::generateList;

const std::string& textOf(std::int64_t records, int which) {
    static std::string cache[2];
    static std::int64_t cachedRecords[2] = {-1, -1};
    if (cachedRecords[which] != records) {
        cache[which] = generateList(records, which == 0 ? 0 : records / 5, 1 + which);
        cachedRecords[which] = records;
    }
    return cache[which];
}

RecordList listOf(std::int64_t records, int which) {
    RecordList list;
    list.growColumns(10);
    list.setRecords(std::make_shared<const RecordTable>(readRecords(textOf(records, which))));
    return list;
}

void BM_Read(benchmark::State& state) {
    const std::string& text = textOf(state.range(0), 0);
    for (auto _ : state) {
        state.PauseTiming();
        std::string copy = text;
        state.ResumeTiming();
        benchmark::DoNotOptimize(readRecords(std::move(copy)));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

void BM_Write(benchmark::State& state) {
    const RecordList list = listOf(state.range(0), 0);
    for (auto _ : state) benchmark::DoNotOptimize(writeRecords(list));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_Pair(benchmark::State& state) {
    const RecordList list1 = listOf(state.range(0), 0);
    const RecordList list2 = listOf(state.range(0), 1);
    const std::vector<ColumnPair> columns = {{0, 0}};
    for (auto _ : state) benchmark::DoNotOptimize(pairRecords(list1, list2, columns));
    state.SetItemsProcessed(state.iterations() * state.range(0) * 2);
}

void BM_PairLiteral(benchmark::State& state) {
    const RecordList list1 = listOf(state.range(0), 0);
    const RecordList list2 = listOf(state.range(0), 1);
    const std::vector<ColumnPair> columns = {{0, 0}};
    for (auto _ : state) {
        benchmark::DoNotOptimize(pairRecords(list1, list2, columns, Engine::Literal));
    }
}

void BM_Sort(benchmark::State& state) {
    const RecordList list = listOf(state.range(0), 0);
    for (auto _ : state) benchmark::DoNotOptimize(orderedRows(list, state.range(1)));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_Read)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Write)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pair)->Arg(3000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PairLiteral)->Arg(3000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sort)->Args({1000000, 0})->Args({1000000, 1})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
