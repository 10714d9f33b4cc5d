#pragma once

#include "OrinZentra.h"
#include "PeriodicTimer.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>

namespace orinsub::dmx {

inline constexpr std::chrono::milliseconds kLinkPeriod{20};
/// The pause after a tick that ran: the next tick starts no sooner, so that frames never follow
/// each other closer than this.
inline constexpr std::chrono::milliseconds kTickRest{10};
/// Failed writes in a row that a device survives; the next one closes it.
inline constexpr int kWriteFailuresTolerated = 10;

/// Set while a tick or the shutdown holds the port; taken by one atomic test-and-set.
extern std::atomic_flag s_tickBusy;
/// Consecutive failed writes of the open device.
extern std::atomic<int32_t> s_writeFailures;

/// One link tick: while a device is open, reads an input frame and writes the output frame,
/// closing and resetting the port at the 11th failed write in a row; while none is, enumerates
/// and keeps the first device that opens. Tells the port's output health what came of it. Waits
/// first, when the previous tick that ran ended less than kTickRest ago; returns at once, without
/// waiting, when another tick or the shutdown holds the port. Allocates nothing while a device is
/// open.
void LinkTick(COrinZentra &port);

/// Runs LinkTick on the port every kLinkPeriod on the timer; false when the timer did not start.
/// The port must outlive the timer's run: end both with ShutdownLink.
bool StartLinkTick(PeriodicTimer &timer, COrinZentra &port);

/// Ends the link: waits for a running tick and holds the port, stops the timer (when there is
/// one), closes the open device, deletes the port, then lets go and rests kTickRest. UI thread.
void ShutdownLink(PeriodicTimer *timer, std::unique_ptr<COrinZentra> &port);

} // namespace orinsub::dmx
