#include "GoFade.h"

#include "DeskWatch.h"
#include "controls/CrossFader.h"

#include <algorithm>

namespace orinsub::views {

using std::chrono::milliseconds;

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
    ShowDisplay();
}

void GoFade::ShowDisplay() const
{
    if (m_onDisplay)
        m_onDisplay();
}

bool GoFade::Go()
{
    if (!m_player)
        return Go(FadeTimes::Together(milliseconds(m_fadeTime * 100)));
    if (!AcceptsGo())
        return false;
    const std::optional<FadeTimes> times = m_player->OnGo(GetNextRow(), false);
    return times && Begin(*times);
}

bool GoFade::AcceptsGo() const
{
    return AcceptsFollow() && !(m_lastGo && m_clock() - *m_lastGo < kBounce);
}

bool GoFade::AcceptsFollow() const
{
    // The operator's hand on a handle wins; a GO during a fade must not snap it to its end.
    return !m_crossFader.IsHandleGrabbed() && !m_running;
}

bool GoFade::Go(const FadeTimes &times)
{
    return AcceptsGo() && Begin(times);
}

bool GoFade::Follow(const FadeTimes &times)
{
    return AcceptsFollow() && Begin(times);
}

bool GoFade::Begin(const FadeTimes &times)
{
    m_lastGo = m_clock();
    Start(times);
    return true;
}

void GoFade::Cut()
{
    if (m_crossFader.IsHandleGrabbed())
        return;
    if (m_running) {
        Finish();
        if (m_player)
            m_player->OnTakenOver();
    } else if (!m_player || m_player->OnGo(GetNextRow(), true)) {
        Start({});
    }
}

void GoFade::Start(const FadeTimes &times)
{
    Run(GetNextRow(), {HandleLevel(kRowA), HandleLevel(kRowB)}, times, milliseconds(0));
}

void GoFade::Run(int incoming, std::array<uint8_t, 2> from, const FadeTimes &times,
                 milliseconds elapsed)
{
    m_incoming = incoming;
    m_travel = model::TravelsOf(incoming, from, times);
    m_stopped.reset();
    m_times = times;
    m_total = times.Total();
    m_elapsed = elapsed;
    m_start = m_clock() - elapsed;
    SetRunning(true);
    Step();
}

void GoFade::Stop()
{
    if (m_running)
        m_stopped = CaptureFade();
    if (m_stopped)
        m_stopped->phase = model::FadeProgress::Phase::Stopped;
    SetRunning(false);
    if (m_player)
        m_player->OnTakenOver();
}

std::optional<FadeTimes> GoFade::GetStoppedRemainder(int row) const
{
    if (!m_stopped || m_stopped->incoming != row)
        return std::nullopt;
    return m_stopped->times.After(m_stopped->elapsed);
}

model::FadeProgress GoFade::CaptureFade() const
{
    if (m_stopped)
        return *m_stopped;
    model::FadeProgress fade;
    if (!m_running)
        return fade;
    fade.phase = model::FadeProgress::Phase::Running;
    fade.incoming = static_cast<uint8_t>(m_incoming);
    fade.from = {m_travel[kRowA].from, m_travel[kRowB].from};
    fade.times = m_times;
    fade.elapsed = std::min(m_total, std::chrono::duration_cast<milliseconds>(m_clock() - m_start));
    return fade;
}

void GoFade::ResumeFade(const model::FadeProgress &fade)
{
    using Phase = model::FadeProgress::Phase;
    SetRunning(false);
    m_stopped.reset();
    if (fade.phase == Phase::Stopped) {
        m_stopped = fade;
    } else if (fade.phase == Phase::Running) {
        Run(fade.incoming == kRowA ? kRowA : kRowB, fade.from, fade.times, fade.elapsed);
    }
}

void GoFade::Finish()
{
    MoveHandles(m_travel[0].to, m_travel[1].to);
    SetRunning(false);
}

double GoFade::GetProgress() const
{
    if (!m_running || m_total.count() <= 0)
        return 0.0;
    return std::min(1.0, static_cast<double>(m_elapsed.count()) / m_total.count());
}

milliseconds GoFade::GetRemaining() const
{
    return m_running ? std::max(milliseconds(0), m_total - m_elapsed) : milliseconds(0);
}

void GoFade::Step()
{
    if (!m_running)
        return;
    m_elapsed = std::chrono::duration_cast<milliseconds>(m_clock() - m_start);
    if (m_elapsed >= m_total) {
        Finish();
        return;
    }
    MoveHandles(m_travel[0].LevelAt(m_elapsed), m_travel[1].LevelAt(m_elapsed));
    ShowDisplay();
}

uint8_t GoFade::HandleLevel(int row) const
{
    return row == kRowA ? m_crossFader.GetHandleA()->GetLevel()
                        : m_crossFader.GetHandleB()->GetLevel();
}

void GoFade::MoveHandles(uint8_t a, uint8_t b)
{
    if (a == HandleLevel(kRowA) && b == HandleLevel(kRowB))
        return;
    m_crossFader.MoveHandlesTo(a, b);
}

void GoFade::SetLastOnAir(int row)
{
    if (row == kRowA || row == kRowB)
        m_lastOnAir = row;
}

void GoFade::ResetLastOnAir()
{
    m_lastOnAir = kRowB;
    NoteHandles();
}

void GoFade::NoteHandles()
{
    const uint8_t a = HandleLevel(kRowA), b = HandleLevel(kRowB);
    if (a == 255 && b == 0)
        m_lastOnAir = kRowA;
    else if (a == 0 && b == 255)
        m_lastOnAir = kRowB;
    else
        return;
    // A hand took the crossfader all the way: nothing of a stopped fade is left to complete.
    if (!m_running)
        m_stopped.reset();
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
    ShowDisplay();
}

} // namespace orinsub::views
