#include "LinkTick.h"

#include <thread>

namespace orinsub::dmx {

std::atomic_flag s_tickBusy;
std::atomic<int32_t> s_writeFailures{0};

namespace {

using RestClock = std::chrono::steady_clock; // the timer's monotonic clock

// When the rest after the last tick that ran ends, in RestClock's ticks; the next tick waits for
// it. Only the timer's thread writes it.
std::atomic<RestClock::rep> s_restEnd{0};

void ExchangeFrames(COrinZentra &port)
{
    port.ReadFrame(); // failures only feed the port's count
    OutputHealth &health = port.GetOutputHealth();
    if (port.WriteFrame() != 0) {
        s_writeFailures.store(0, std::memory_order_relaxed);
        health.FrameSent(OutputHealth::Clock::now());
        return;
    }
    health.Failed(OutputFault::WriteFailed, port.GetDeviceId());
    const int32_t failures = s_writeFailures.load(std::memory_order_relaxed) + 1;
    s_writeFailures.store(failures, std::memory_order_relaxed);
    if (failures > kWriteFailuresTolerated) {
        Zentra_Close(port.GetHandle());
        port.Reset();
        s_writeFailures.store(0, std::memory_order_relaxed);
    }
}

// Stops at the first device that opens, so that no other handle is ever opened and left behind.
void OpenFirstDevice(COrinZentra &port)
{
    ZENTRA_ENUM enumeration = ZentraEnum_New();
    ZentraWChar id[ZENTRA_ID_CHARS];
    bool found = false;
    while (!port.IsOpen() && ZentraEnum_NextW(enumeration, id) != 0) {
        found = true;
        port.SetDeviceId(QString::fromUtf16(id));
        port.SetHandle(Zentra_OpenIDW(id));
    }
    ZentraEnum_Delete(enumeration);
    if (port.IsOpen())
        return; // its first frame tells whether output is back
    // Told with the last id tried, which the buffer still holds.
    if (found)
        port.GetOutputHealth().Failed(OutputFault::OpenFailed, QStringView(&id[0]));
    else
        port.GetOutputHealth().Failed(OutputFault::NoDevice, {});
}

} // namespace

void LinkTick(COrinZentra &port)
{
    if (s_tickBusy.test(std::memory_order_acquire))
        return;
    // The rest after the previous tick. A tick on its deadline finds it long over, so an idle link
    // wakes once a frame instead of twice; only a tick right after one that ran long waits here.
    const RestClock::time_point restEnd{
        RestClock::duration{s_restEnd.load(std::memory_order_relaxed)}};
    if (RestClock::now() < restEnd)
        std::this_thread::sleep_until(restEnd);
    if (s_tickBusy.test_and_set(std::memory_order_acquire))
        return;
    // A device closed here is searched for again from the next tick on, not at once.
    if (port.IsOpen())
        ExchangeFrames(port);
    else
        OpenFirstDevice(port);
    s_restEnd.store((RestClock::now() + kTickRest).time_since_epoch().count(),
                    std::memory_order_relaxed);
    s_tickBusy.clear(std::memory_order_release);
}

bool StartLinkTick(PeriodicTimer &timer, COrinZentra &port)
{
    return timer.Start(kLinkPeriod, [&port] { LinkTick(port); });
}

void ShutdownLink(PeriodicTimer *timer, std::unique_ptr<COrinZentra> &port)
{
    using namespace std::chrono_literals;
    while (s_tickBusy.test_and_set(std::memory_order_acquire))
        std::this_thread::sleep_for(1ms);
    if (timer)
        timer->Stop();
    if (port) {
        if (port->IsOpen())
            Zentra_Close(port->GetHandle());
        port.reset();
    }
    s_tickBusy.clear(std::memory_order_release);
    std::this_thread::sleep_for(kTickRest);
}

} // namespace orinsub::dmx
