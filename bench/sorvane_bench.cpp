// The headless bench tool: reads two files as List 1 and List 2, runs the comparison with the
// given comparison rows, writes the four result lists as Copy records writes them, and reports
// counts, times and peak memory. It is sorvane-compare with the chooser texts taken as typed,
// the literal engine to hold the fast one against, and timings.
//
//   sorvane-bench LIST1 LIST2 [-c T1:T2]... [--out DIR] [--engine fast|literal] [--raw]

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "compare_tool.h"
#include "count_text.h"
#include "literal_pairing.h"

namespace {

using namespace sorvane;

template <typename F>
double millis(F&& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

int usage(const std::string& problem) {
    std::cerr << "sorvane-bench: " << problem << "\n"
              << "usage: sorvane-bench LIST1 LIST2 [-c T1:T2]... [--out DIR] "
                 "[--engine fast|literal] [--raw]\n";
    return 64;
}

}  // namespace

int main(int argc, char** argv) {
    core::Pairing pairing = core::pairRecords;
    bool raw = false;
    std::string badEngine;
    app::ArgumentRules rules;
    rules.typedColumns = true;
    rules.more = [&](std::string_view option, std::span<const std::string> rest) {
        if (option == "--engine" && !rest.empty()) {
            if (rest[0] != "fast" && rest[0] != "literal") badEngine = rest[0];
            pairing = rest[0] == "literal" ? core::pairRecordsLiteral : core::pairRecords;
            return 1;
        }
        if (option == "--raw") {
            raw = true;
            return 0;
        }
        return -1;
    };
    const std::vector<std::string> args(argv + 1, argv + argc);
    const auto parsed = app::parseArguments(args, rules);
    if (const auto* problem = std::get_if<std::string>(&parsed)) return usage(*problem);
    if (!badEngine.empty()) return usage("unknown engine " + badEngine);
    const app::Arguments& o = std::get<app::Arguments>(parsed);

    try {
        // Mapping the files stands for the clipboard's delivery, which is not the paste's work.
        core::RecordList lists[2];
        double pasteMs[2] = {0, 0};
        double loadMs = 0;
        const app::InputFormat format{false, ',', raw};
        for (int side = 0; side < 2; ++side) {
            const std::string& path = side == 0 ? o.list1 : o.list2;
            core::TextBuffer bytes;
            loadMs += millis([&] { bytes = app::inputBytes(path); });
            pasteMs[side] = millis([&] { lists[side] = app::listOf(std::move(bytes), format, path); });
        }

        std::variant<core::Refusal, core::Outcome> result;
        const double compareMs =
            millis([&] { result = core::compareLists(lists[0], lists[1], o.texts, pairing); });
        if (const auto* refusal = std::get_if<core::Refusal>(&result)) {
            std::cout << "refused: " << refusal->message << '\n';
            return 2;
        }
        const app::ResultLists results =
            app::resultLists(lists[0], lists[1], std::move(std::get<core::Outcome>(result)));
        const app::ResultFile files[] = {{"matches1.tsv", &results.matches1},
                                         {"matches2.tsv", &results.matches2},
                                         {"notfound1.tsv", &results.notFound1},
                                         {"notfound2.tsv", &results.notFound2}};
        // Without a folder the text is written all the same, and dropped.
        const double copyMs = millis([&] {
            if (!o.out.empty()) {
                app::writeResultFiles(o.out, files, core::RowFormat{});
            } else {
                for (const app::ResultFile& f : files) {
                    app::writeList(*f.list, core::RowFormat{}, [](std::string_view) {});
                }
            }
        });
        if (!o.out.empty()) {
            std::ofstream counts(o.out + "/counts.txt", std::ios::binary | std::ios::trunc);
            for (const app::ResultFile& f : files) {
                counts << core::countText(f.list->recordCount(), ",") << '\n';
            }
            if (!counts) {
                std::cerr << "sorvane-bench: cannot write into " << o.out << '\n';
                return 1;
            }
        }

        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("pairs=%zu unmatched1=%zu unmatched2=%zu\n", results.matches1.recordCount(),
                    results.notFound1.recordCount(), results.notFound2.recordCount());
        std::printf(
            "load_ms=%.1f paste1_ms=%.1f paste2_ms=%.1f compare_ms=%.1f copy_ms=%.1f "
            "peak_rss_mb=%.1f\n",
            loadMs, pasteMs[0], pasteMs[1], compareMs, copyMs, usage.ru_maxrss / 1024.0);
        return 0;
    } catch (const app::FileError& e) {
        std::cerr << "sorvane-bench: " << e.what() << '\n';
        return 1;
    }
}
