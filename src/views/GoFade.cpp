#include "GoFade.h"

#include "DeskWatch.h"
#include "controls/CrossFader.h"

#include <algorithm>

namespace orinsub::views {

GoFade::GoFade(controls::CCrossFader &crossFader, QObject *parent)
    : QObject(parent), m_crossFader(crossFader), m_clock(&std::chrono::steady_clock::now)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(kStepMs);
    connect(&m_timer, &QTimer::timeout, this, &GoFade::Step);
}

void GoFade::SetFadeTime(int tenths)
{
    tenths = std::clamp(tenths, 0, kMaxFadeTime);
    if (tenths == m_fadeTime)
        return;
    m_fadeTime = tenths;
    NotifyDeskChanged();
    if (m_onFadeTime)
        m_onFadeTime(tenths);
}

void GoFade::Go()
{
    if (m_crossFader.IsHandleGrabbed())
        return; // the operator's hand on a handle wins
    if (m_running) {
        MoveHandles(m_toA, m_toB);
        SetRunning(false);
        return;
    }
    m_fromA = m_crossFader.GetHandleA()->GetLevel();
    m_fromB = m_crossFader.GetHandleB()->GetLevel();
    const bool rowAOnAir = m_fromA > m_fromB;
    m_toA = rowAOnAir ? 0 : 255;
    m_toB = rowAOnAir ? 255 : 0;
    m_duration = std::chrono::milliseconds(m_fadeTime * 100);
    m_start = m_clock();
    SetRunning(true);
    Step();
}

void GoFade::Stop()
{
    SetRunning(false);
}

void GoFade::Step()
{
    if (!m_running)
        return;
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(m_clock() - m_start);
    if (elapsed >= m_duration) {
        MoveHandles(m_toA, m_toB);
        SetRunning(false);
        return;
    }
    // Truncating toward the start keeps every step on the same side of the end level, so
    // the handles only ever move one way and reach the end on the last step alone.
    const auto along = [&](int from, int to) {
        return static_cast<uint8_t>(from + (to - from) * elapsed.count() / m_duration.count());
    };
    MoveHandles(along(m_fromA, m_toA), along(m_fromB, m_toB));
}

void GoFade::MoveHandles(uint8_t a, uint8_t b)
{
    if (a == m_crossFader.GetHandleA()->GetLevel() && b == m_crossFader.GetHandleB()->GetLevel())
        return;
    m_crossFader.MoveHandlesTo(a, b);
}

void GoFade::SetRunning(bool running)
{
    if (running == m_running)
        return;
    m_running = running;
    if (running)
        m_timer.start();
    else
        m_timer.stop();
    NotifyDeskChanged(); // the GO lamp
}

} // namespace orinsub::views
