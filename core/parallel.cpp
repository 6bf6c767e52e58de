#include "parallel.h"

#include <algorithm>
#include <exception>
#include <system_error>
#include <thread>
#include <vector>

namespace sorvane::core {

std::size_t partsFor(std::size_t items, std::size_t leastEach) {
    // Past eight parts, memory rather than processors limits the work this is for.
    constexpr std::size_t kMostParts = 8;
    const std::size_t processors = std::max(1u, std::thread::hardware_concurrency());
    return std::max<std::size_t>(1, std::min({processors, kMostParts, items / leastEach}));
}

void inParallel(std::size_t parts, const std::function<void(std::size_t)>& work) {
    if (parts == 0) return;
    std::vector<std::exception_ptr> failures(parts);
    auto run = [&](std::size_t part) {
        try {
            work(part);
        } catch (...) {
            failures[part] = std::current_exception();
        }
    };
    std::vector<std::thread> threads;
    threads.reserve(parts - 1);
    std::size_t started = 1;
    for (; started < parts; ++started) {
        try {
            threads.emplace_back(run, started);
        } catch (const std::system_error&) {
            break;
        }
    }
    run(0);
    for (std::size_t part = started; part < parts; ++part) run(part);
    for (std::thread& thread : threads) thread.join();
    for (const std::exception_ptr& failure : failures) {
        if (failure) std::rethrow_exception(failure);
    }
}

}  // namespace sorvane::core
