#include "MonotonicTimer.h"

#include <cerrno>
#include <ctime>
#include <pthread.h>
#include <sched.h>
#include <sys/prctl.h>
#include <system_error>

namespace orinsub::dmx {
namespace {

constexpr int64_t kNanosPerSecond = 1'000'000'000;
// Low in the real-time range: above every ordinary thread, below the system's own.
constexpr int kRealTimePriority = 10;

int64_t Now()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * kNanosPerSecond + now.tv_nsec;
}

void SleepUntil(int64_t deadline)
{
    const timespec until{static_cast<time_t>(deadline / kNanosPerSecond),
                         static_cast<long>(deadline % kNanosPerSecond)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
}

std::unique_ptr<PeriodicTimer> NewMonotonicTimer()
{
    return std::make_unique<MonotonicTimer>();
}

PeriodicTimerFactory s_timerFactory = NewMonotonicTimer;

} // namespace

int64_t NextDeadline(int64_t previous, int64_t now, int64_t period)
{
    const int64_t next = previous + period;
    if (next >= now)
        return next;
    const int64_t missed = (now - next + period - 1) / period;
    return next + missed * period;
}

MonotonicTimer::~MonotonicTimer()
{
    Stop();
}

bool MonotonicTimer::Start(std::chrono::nanoseconds period, Tick tick)
{
    if (IsRunning() || period.count() <= 0 || !tick)
        return false;
    m_tick = std::move(tick);
    m_stopping.store(false);
    try {
        m_thread = std::thread(&MonotonicTimer::Run, this, period.count());
    } catch (const std::system_error &) {
        return false;
    }
    return true;
}

void MonotonicTimer::Stop()
{
    if (!IsRunning())
        return;
    m_stopping.store(true);
    m_thread.join();
}

void MonotonicTimer::Run(int64_t period)
{
    pthread_setname_np(pthread_self(), "orinsub-timer");
    // Frames must not wait for a compiler or a repaint: run ahead of ordinary threads where the
    // system allows it (root, or an rtprio limit), else stay an ordinary thread.
    const sched_param realTime{kRealTimePriority};
    m_realTime.store(pthread_setschedparam(pthread_self(), SCHED_FIFO, &realTime) == 0);
    // Wake within a microsecond of each deadline instead of the default 50 µs of slack.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    int64_t deadline = Now() + period;
    for (;;) {
        SleepUntil(deadline);
        if (m_stopping.load())
            return;
        m_tick();
        deadline = NextDeadline(deadline, Now(), period);
    }
}

std::unique_ptr<PeriodicTimer> NewPeriodicTimer()
{
    return s_timerFactory();
}

void SetPeriodicTimerFactory(PeriodicTimerFactory factory)
{
    s_timerFactory = factory ? factory : NewMonotonicTimer;
}

} // namespace orinsub::dmx
