#pragma once

namespace orinsub::testing {

// Counting the allocations of the calling thread, for tests that promise a path allocates
// nothing. AllocationCounter.cpp replaces the global operator new: add it to the test's sources.

/// Starts counting from zero on this thread.
void StartCountingAllocations();
/// Stops counting on this thread; the allocations it made since the start.
int StopCountingAllocations();

} // namespace orinsub::testing
