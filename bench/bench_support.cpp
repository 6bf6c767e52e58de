#include "bench_support.h"

#if defined(_WIN32)
#include <windows.h>
#include <psapi.h>
#else
#include <sys/resource.h>
#endif

namespace sorvane::bench {

double peakMemoryMb() {
#if defined(_WIN32)
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return static_cast<double>(counters.PeakWorkingSetSize) / (1 << 20);
#else
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
#endif
}

void printFigures(std::initializer_list<Figure> figures, int decimals) {
    const char* separator = "";
    for (const Figure& f : figures) {
        std::printf("%s%s=%.*f", separator, f.name, decimals, f.value);
        separator = " ";
    }
    std::printf("\n");
}

std::variant<core::Refusal, core::Outcome> EngineRun::compare(const core::ChooserTexts& texts,
                                                               core::Pairing pairing) {
    std::variant<core::Refusal, core::Outcome> result;
    figures.compare = millis([&] { result = core::compareLists(lists[0], lists[1], texts, pairing); });
    if (std::holds_alternative<core::Refusal>(result)) return result;
    // A window empties its result lists before it compares again.
    result.emplace<core::Refusal>();
    figures.compareAgain = millis([&] { result = core::compareLists(lists[0], lists[1], texts, pairing); });
    return result;
}

void EngineRun::sortList1() {
    figures.sort = millis([&] { lists[0].sortBy(0); });
    if (lists[0].columnCount() > 1) figures.sortNumbers = millis([&] { lists[0].sortBy(1); });
}

}  // namespace sorvane::bench
