// Speed of the engine's hot paths on generated lists of 10 columns: making line ends readable,
// reading clipboard text, writing a list as text, pairing two lists, and sorting a list by a
// column.

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "clipboard_text.h"
#include "comparison.h"
#include "literal_pairing.h"
#include "line_ends.h"
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

std::string repeated(std::string_view piece, std::size_t times) {
    std::string out;
    out.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) out.append(piece);
    return out;
}

// LF-ended text as a Linux spreadsheet sends it: the generated list, then the quoted shapes
// that make the line-end function look furthest ahead. Each should go as fast, byte for byte,
// as the plain list.
const std::string& lineEndText(std::int64_t shape) {
    static std::string cache[4];
    std::string& text = cache[shape];
    if (!text.empty()) return text;
    switch (shape) {
        case 0:
            text = textOf(1000000, 0);
            std::erase(text, '\r');
            break;
        case 1:  // a million cells that open a quote and never close it
            text = repeated("\"K123456\tunclosed quote\t\"more text\n", 1000000);
            break;
        case 2:  // a million quoted two-line cells
            text = repeated("K123456\t\"line one\nline two\"\t7\n", 1000000);
            break;
        default:  // one quoted cell of 100 MB and 50 million lines
            text = repeated("a\n", 50000000);
            text.insert(text.begin(), '"');
            text += "\"\n";
            break;
    }
    return text;
}

void BM_LineEnds(benchmark::State& state) {
    const std::string& text = lineEndText(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        std::string copy = text;
        state.ResumeTiming();
        benchmark::DoNotOptimize(normalizeLineEnds(std::move(copy)));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

// A million LF-ended rows as a clipboard hands them over: UTF-8 (from Linux) made ready to read
// where it stands, or UTF-16 (from Windows) made into UTF-8 once.
void BM_ClipboardText(benchmark::State& state) {
    const std::string& text = lineEndText(0);
    const std::u16string wide = state.range(0) == 16 ? utf16Of(text) : std::u16string();
    for (auto _ : state) {
        state.PauseTiming();
        std::string copy = state.range(0) == 16 ? std::string() : text;
        state.ResumeTiming();
        if (state.range(0) == 16) {
            benchmark::DoNotOptimize(recordsTextOfUtf16(wide));
        } else {
            benchmark::DoNotOptimize(recordsTextOfUtf8(std::move(copy)));
        }
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

void BM_Write(benchmark::State& state) {
    // Into one room, kept as a copy keeps the clipboard's: the writer's own time.
    const RecordList list = listOf(state.range(0), 0);
    const auto room = std::make_unique_for_overwrite<char[]>(writtenSizeBound(list));
    for (auto _ : state) benchmark::DoNotOptimize(writeRecords(list, room.get()));
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
        benchmark::DoNotOptimize(pairRecordsLiteral(list1, list2, columns));
    }
}

// Sorts by one column; where the third argument is 1, the list was sorted by the next column
// first, so that its cells come in no order of the table's, as after a click on another header.
void BM_Sort(benchmark::State& state) {
    RecordList list = listOf(state.range(0), 0);
    if (state.range(2) == 1) list.sortBy(state.range(1) + 1);
    for (auto _ : state) benchmark::DoNotOptimize(orderedRows(list, state.range(1), *rootOrder()));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Sorts a million rows of one column whose cells are drawn from a number of distinct ones: a
// status, a town, a name.
void BM_SortRepeats(benchmark::State& state) {
    std::mt19937 rng(3);
    std::string text;
    for (int r = 0; r < 1000000; ++r) {
        text += "name " + std::to_string(rng() % state.range(0)) + "\r";
    }
    RecordList list;
    list.setRecords(std::make_shared<const RecordTable>(readRecords(std::move(text))));
    for (auto _ : state) benchmark::DoNotOptimize(orderedRows(list, 0, *rootOrder()));
}

BENCHMARK(BM_LineEnds)->ArgName("shape")->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClipboardText)->ArgName("utf")->Arg(8)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Read)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Write)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pair)->Arg(3000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PairLiteral)->Arg(3000)->Unit(benchmark::kMillisecond);
// Column 1 holds keys, column 2 numbers, column 4 a dozen words.
BENCHMARK(BM_Sort)
    ->Args({1000000, 0, 0})
    ->Args({1000000, 1, 0})
    ->Args({1000000, 3, 0})
    ->Args({1000000, 0, 1})
    ->Args({1000000, 1, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortRepeats)->Arg(500)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
