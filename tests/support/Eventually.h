#pragma once

#include <chrono>
#include <thread>

namespace orinsub::testing {

/// Polls until done() holds, for at most timeout (a loaded machine may be slow, never that slow);
/// whether it came to hold. For what other threads and processes do: where the answer comes
/// through this thread's event loop, QTest::qWaitFor runs the loop meanwhile.
template <typename Done>
bool Eventually(Done done, std::chrono::milliseconds timeout = std::chrono::seconds(5))
{
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

} // namespace orinsub::testing
