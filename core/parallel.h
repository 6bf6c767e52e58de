#pragma once

#include <cstddef>
#include <functional>

namespace sorvane::core {

/// How many parts to cut `items` into so that each part spares more than a thread costs: at
/// most one a processor, and none of fewer than `leastEach` items. 1 where it does not pay.
std::size_t partsFor(std::size_t items, std::size_t leastEach);

/// Runs work(part) for each part in [0, parts) at the same time, part 0 on the calling thread
/// and each other on a thread of its own; where no more threads can be had, the parts left run
/// on the calling thread. Returns once every part has ended; then throws what the first part
/// that failed threw.
void inParallel(std::size_t parts, const std::function<void(std::size_t)>& work);

}  // namespace sorvane::core
