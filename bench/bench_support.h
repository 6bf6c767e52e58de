#pragma once

// What the benches share: timing a step, the process's peak memory, and printing figures as the
// name=value pairs that scripts/bench and scripts/bench-windows read.

#include <chrono>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <utility>

#include "comparison.h"
#include "record_list.h"
#include "text_buffer.h"

namespace sorvane::bench {

/// The milliseconds that `step` took.
template <typename F>
double millis(F&& step) {
    const auto start = std::chrono::steady_clock::now();
    std::forward<F>(step)();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

/// The most memory the process has had in use, in MiB: its peak resident set on Linux, its peak
/// working set on Windows.
double peakMemoryMb();

/// A figure as the scripts read it.
struct Figure {
    const char* name;
    double value;
};

/// One line of figures, "name=value" apart by spaces, each with `decimals` decimals.
void printFigures(std::initializer_list<Figure> figures, int decimals = 0);

/// What the engine's part of each command took, in milliseconds, as the windows run it on
/// lists of the same text, without the clipboard's hand-over and without drawing.
struct EngineFigures {
    double paste[2] = {0, 0};  ///< the text read into List 1 and List 2
    double compare = 0;        ///< the comparison on the given chooser texts
    double compareAgain = 0;   ///< the same comparison asked again
    double sort = 0;           ///< a header click on List 1's column 1, then ...
    double sortNumbers = 0;    ///< ... on its column 2
};

/// The engine's run: reads `texts`' two lists with `read` (a paste's own work, timed), then
/// compares, and keeps the lists and the outcome; the sorts come with sortList1().
class EngineRun {
public:
    template <typename Read>
    EngineRun(core::TextBuffer text1, core::TextBuffer text2, Read&& read) {
        core::TextBuffer texts[2] = {std::move(text1), std::move(text2)};
        for (int side = 0; side < 2; ++side) {
            figures.paste[side] = millis([&] { lists[side] = read(std::move(texts[side]), side); });
        }
    }

    /// Compares, and then again, as a user who compares other columns does; returns the
    /// refusal or the outcome.
    std::variant<core::Refusal, core::Outcome> compare(const core::ChooserTexts& texts,
                                                        core::Pairing pairing);

    /// Sorts List 1 by its column 1 and then its column 2, as two header clicks do.
    void sortList1();

    core::RecordList lists[2];
    EngineFigures figures;
};

}  // namespace sorvane::bench
