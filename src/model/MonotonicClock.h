#pragma once

#include <chrono>
#include <functional>

namespace orinsub::model {

/// The monotonic time as a function, so that tests drive time by hand.
using MonotonicClock = std::function<std::chrono::steady_clock::time_point()>;

} // namespace orinsub::model
