// The headless bench tool: reads two files as List 1 and List 2, runs the comparison with the
// given comparison rows (twice, as a user who compares again does), writes the four result
// lists as Copy records writes them, sorts List 1 by its first column and then its second as
// two header clicks do, and reports counts, times and peak memory. It is sorvane-compare with
// the chooser texts taken as typed, the literal engine to hold the fast one against, and
// timings.
//
//   sorvane-bench LIST1 LIST2 [-c T1:T2]... [--out DIR] [--engine fast|literal] [--raw]

#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "bench_support.h"
#include "compare_tool.h"
#include "count_text.h"
#include "literal_pairing.h"

namespace {

using namespace sorvane;

int usage(const std::string& problem) {
    std::cerr << "sorvane-bench: " << problem << "\n"
              << "usage: sorvane-bench LIST1 LIST2 [-c T1:T2]... [--out DIR] "
                 "[--engine fast|literal] [--raw]\n";
    return 64;
}

struct Options {
    app::Arguments arguments;
    core::Pairing pairing = core::pairRecords;
    bool raw = false;
};

// The options, or the usage error they hold.
std::variant<Options, std::string> optionsOf(const std::vector<std::string>& args) {
    Options o;
    std::string badEngine;
    app::ArgumentRules rules;
    rules.typedColumns = true;
    rules.more = [&](std::string_view option, std::span<const std::string> rest) {
        if (option == "--engine" && !rest.empty()) {
            if (rest[0] != "fast" && rest[0] != "literal") badEngine = rest[0];
            o.pairing = rest[0] == "literal" ? core::pairRecordsLiteral : core::pairRecords;
            return 1;
        }
        if (option == "--raw") {
            o.raw = true;
            return 0;
        }
        return -1;
    };
    auto parsed = app::parseArguments(args, rules);
    if (auto* problem = std::get_if<std::string>(&parsed)) return std::move(*problem);
    if (!badEngine.empty()) return "unknown engine " + badEngine;
    o.arguments = std::move(std::get<app::Arguments>(parsed));
    return o;
}

// Writes the result lists into `out` as Copy records writes them, with their count labels in
// counts.txt; without a folder the text is written all the same, and dropped. Returns the
// milliseconds it took.
double writeResults(const app::ResultLists& results, const std::string& out) {
    const app::ResultFile files[] = {{"matches1.tsv", &results.matches1},
                                     {"matches2.tsv", &results.matches2},
                                     {"notfound1.tsv", &results.notFound1},
                                     {"notfound2.tsv", &results.notFound2}};
    const double ms = bench::millis([&] {
        if (!out.empty()) {
            app::writeResultFiles(out, files, core::RowFormat{});
        } else {
            for (const app::ResultFile& f : files) {
                app::writeList(*f.list, core::RowFormat{}, [](std::string_view) {});
            }
        }
    });
    if (out.empty()) return ms;
    std::ofstream counts(out + "/counts.txt", std::ios::binary | std::ios::trunc);
    for (const app::ResultFile& f : files) counts << core::countText(f.list->recordCount(), ",") << '\n';
    if (!counts) throw app::FileError(out, "cannot write counts.txt");
    return ms;
}

// Mapping the files stands for the clipboard's delivery, which is not the paste's work.
int run(const Options& o) {
    const app::Arguments& a = o.arguments;
    core::TextBuffer bytes[2];
    const double loadMs = bench::millis([&] {
        bytes[0] = app::inputBytes(a.list1);
        bytes[1] = app::inputBytes(a.list2);
    });
    const app::InputFormat format{false, ',', o.raw};
    bench::EngineRun engine(std::move(bytes[0]), std::move(bytes[1]),
                            [&](core::TextBuffer text, int side) {
                                return app::listOf(std::move(text), format, side == 0 ? a.list1 : a.list2);
                            });
    auto result = engine.compare(a.texts, o.pairing);
    if (const auto* refusal = std::get_if<core::Refusal>(&result)) {
        std::cout << "refused: " << refusal->message << '\n';
        return 2;
    }
    const app::ResultLists results = app::resultLists(engine.lists[0], engine.lists[1],
                                                      std::move(std::get<core::Outcome>(result)));
    const double copyMs = writeResults(results, a.out);
    engine.sortList1();
    std::printf("pairs=%zu unmatched1=%zu unmatched2=%zu\n", results.matches1.recordCount(),
                results.notFound1.recordCount(), results.notFound2.recordCount());
    const bench::EngineFigures& f = engine.figures;
    bench::printFigures({{"load_ms", loadMs}, {"paste1_ms", f.paste[0]}, {"paste2_ms", f.paste[1]},
                         {"compare_ms", f.compare}, {"compare_again_ms", f.compareAgain},
                         {"copy_ms", copyMs}, {"sort_ms", f.sort}, {"sort_numbers_ms", f.sortNumbers},
                         {"peak_rss_mb", bench::peakMemoryMb()}},
                        1);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const auto options = optionsOf(std::vector<std::string>(argv + 1, argv + argc));
    if (const auto* problem = std::get_if<std::string>(&options)) return usage(*problem);
    try {
        return run(std::get<Options>(options));
    } catch (const app::FileError& e) {
        std::cerr << "sorvane-bench: " << e.what() << '\n';
        return 1;
    }
}
