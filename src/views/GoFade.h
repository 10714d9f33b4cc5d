#pragma once

#include "model/ShowExtension.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <functional>

namespace orinsub::controls {
class CCrossFader;
}

namespace orinsub::views {

/// The timed crossfade ("GO"): both crossfader handles travel from where they are to the other
/// row over the fade time, so the row on air fades out while the other fades in. The row on
/// air is the one whose handle is higher (row B when they are level). Each step sets the
/// handles from the time gone by on the monotonic clock, as a drag step would, so the output
/// changes monotonically and ends exactly on 0 and 255. Runs on the UI thread on a 10 ms
/// timer (finer than the link's 20 ms tick) only while a fade runs.
class GoFade : public QObject
{
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    static constexpr int kDefaultFadeTime = model::kDefaultFadeTime; // tenths of a second
    static constexpr int kMaxFadeTime = model::kMaxFadeTime;
    static constexpr int kStepMs = 10;

    explicit GoFade(controls::CCrossFader &crossFader, QObject *parent = nullptr);

    /// Starts the fade; during a fade, completes it at once. A fade time of 0 is a cut. Nothing
    /// while the mouse holds a handle.
    void Go();
    /// Ends a running fade with the handles where they are (a handle was grabbed).
    void Stop();
    bool IsRunning() const { return m_running; }

    /// Fade time in tenths of a second, 0..255 (clamped).
    void SetFadeTime(int tenths);
    int GetFadeTime() const { return m_fadeTime; }
    /// Told after every change of the fade time (the application keeps it).
    void SetFadeTimeListener(std::function<void(int tenths)> listener)
    {
        m_onFadeTime = std::move(listener);
    }

    /// One step: the handles where the time gone by puts them; the last step ends the fade.
    /// The timer calls it; tests call it with their own clock.
    void Step();
    void SetClock(Clock clock) { m_clock = std::move(clock); }

private:
    void SetRunning(bool running);
    void MoveHandles(uint8_t a, uint8_t b);

    controls::CCrossFader &m_crossFader;
    QTimer m_timer;
    Clock m_clock;
    std::chrono::steady_clock::time_point m_start;
    std::chrono::milliseconds m_duration{0};
    uint8_t m_fromA = 0, m_fromB = 0, m_toA = 0, m_toB = 0;
    bool m_running = false;
    int m_fadeTime = kDefaultFadeTime;
    std::function<void(int)> m_onFadeTime;
};

} // namespace orinsub::views
