#pragma once

#include "model/CueStage.h"
#include "model/FadeProgress.h"
#include "model/MonotonicClock.h"
#include "model/ShowExtension.h"

#include <QObject>
#include <QTimer>

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

namespace orinsub::controls {
class CCrossFader;
}

namespace orinsub::views {

using model::FadeTimes;
using model::GoPlayer;

/// The timed crossfade ("GO"): both crossfader handles travel from where they stand to the row
/// that was not the last one fully on air (its handle at 255, the other at 0), so a GO after a
/// completed fade goes back, and a GO after a partial crossfade by hand completes it the way the
/// operator was going. Row B counts as the last one on air at start, as the desk starts with B
/// up. Each step sets the handles from the time gone by on the monotonic clock, as a drag step
/// would, so each handle moves one way only and ends exactly on 0 or 255. Runs on the UI thread
/// on a 10 ms timer (finer than the link's 20 ms tick) only while a fade runs.
///
/// The master pane reports every move of the handles (NoteHandles), whoever made it.
class GoFade : public QObject, public model::Crossfade
{
public:
    using Clock = model::MonotonicClock;

    static constexpr int kDefaultFadeTime = model::kDefaultFadeTime; // tenths of a second
    static constexpr int kMaxFadeTime = model::kMaxFadeTime;
    static constexpr int kStepMs = 10;
    /// A GO this soon after the previous one is taken for a bounce of the key and ignored.
    static constexpr std::chrono::milliseconds kBounce{500};
    static constexpr int kRowA = 0;
    static constexpr int kRowB = 1;

    explicit GoFade(controls::CCrossFader &crossFader, QObject *parent = nullptr);

    /// GO over the fade time (a time of 0 cuts), or what the player plays. True when it
    /// started: nothing happens during a fade, within kBounce of the previous GO, or while the
    /// mouse holds a handle.
    bool Go() override;
    /// GO with times of its own (a cue's split times), under the same rules.
    bool Go(const FadeTimes &times) override;
    /// A GO nobody pressed (a cue's follow): as Go(times), but no bounce to guard against.
    bool Follow(const FadeTimes &times) override;
    /// Hands GO and カット to player (not owned), or back to the plain crossfade (null).
    void SetPlayer(GoPlayer *player) override
    {
        m_player = player;
        ShowDisplay();
    }
    /// Whether a player has GO; then the times its next GO would run (none: nothing to play).
    bool IsPlayed() const { return m_player != nullptr; }
    std::optional<FadeTimes> GetPlayerTimes() const
    {
        return m_player ? m_player->NextTimes() : std::nullopt;
    }
    /// Tells the display listener that what it shows may have changed (the player's next GO).
    void ShowDisplay() const;
    /// Whether a GO now would start a fade.
    bool AcceptsGo() const override;
    /// Whether a follow now would: no fade runs and no hand holds a handle.
    bool AcceptsFollow() const override;
    /// Completes a running fade at once; without one, cuts to the row a GO would fade to.
    /// Nothing while the mouse holds a handle.
    void Cut();
    /// Ends a running fade with the handles where they are (a handle was grabbed or moved); the
    /// fade is kept as stopped until the next fade starts or a row is fully on air.
    void Stop();
    bool IsRunning() const override { return m_running; }
    /// What is left of the times of a fade toward row that a hand stopped; none when no such
    /// fade waits.
    std::optional<FadeTimes> GetStoppedRemainder(int row) const override;
    /// The fade as it stands now: running, stopped by a hand, or none.
    model::FadeProgress CaptureFade() const;
    /// Puts a captured fade back (a restored desk): a running one runs on from where it was, with
    /// the handles where its time puts them; a stopped one waits for GO again.
    void ResumeFade(const model::FadeProgress &fade);
    /// The share of the running fade's time gone by, 0..1; 0 while no fade runs.
    double GetProgress() const;
    /// What is left of the running fade's time as of the last step; 0 while no fade runs.
    std::chrono::milliseconds GetRemaining() const;

    /// Where row kRowA or kRowB's crossfader handle stands.
    uint8_t GetHandleLevel(int row) const override { return HandleLevel(row); }
    /// Row kRowA or kRowB: the one last seen fully on air.
    int GetLastOnAir() const { return m_lastOnAir; }
    /// The row a GO fades to.
    int GetNextRow() const override { return m_lastOnAir == kRowA ? kRowB : kRowA; }
    /// Puts back the last row fully on air (a restored desk); other values are ignored.
    void SetLastOnAir(int row);
    /// For a new or opened show: the row fully on air now, else row B, counts as the last.
    void ResetLastOnAir();
    /// After any move of the handles: a row fully on air becomes the last one.
    void NoteHandles();

    /// Fade time in tenths of a second, 0..kMaxFadeTime (clamped).
    void SetFadeTime(int tenths);
    int GetFadeTime() const override { return m_fadeTime; }
    /// Told after every change of the fade time (the application keeps it).
    void SetFadeTimeListener(std::function<void(int tenths)> listener)
    {
        m_onFadeTime = std::move(listener);
    }
    /// Told whenever what the pane shows of the fade may have changed: a step, the start or the
    /// end of a fade, the fade time.
    void SetDisplayListener(std::function<void()> listener) { m_onDisplay = std::move(listener); }

    /// One step: the handles where the time gone by puts them; the last step ends the fade.
    /// The timer calls it; tests call it with their own clock.
    void Step();
    void SetClock(Clock clock) { m_clock = std::move(clock); }

private:
    bool Begin(const FadeTimes &times);
    void Start(const FadeTimes &times);
    /// Runs a fade toward incoming from the handles at from over times, elapsed already gone by.
    void Run(int incoming, std::array<uint8_t, 2> from, const FadeTimes &times,
             std::chrono::milliseconds elapsed);
    void Finish();
    void SetRunning(bool running);
    void MoveHandles(uint8_t a, uint8_t b);
    uint8_t HandleLevel(int row) const;

    controls::CCrossFader &m_crossFader;
    QTimer m_timer;
    Clock m_clock;
    std::chrono::steady_clock::time_point m_start;
    std::chrono::milliseconds m_total{0};
    std::chrono::milliseconds m_elapsed{0};
    std::array<model::HandleTravel, 2> m_travel{}; // handle A, handle B
    FadeTimes m_times;                             // of the running fade
    int m_incoming = kRowB;                        // the row the running fade brings on air
    std::optional<model::FadeProgress> m_stopped;
    std::optional<std::chrono::steady_clock::time_point> m_lastGo;
    bool m_running = false;
    int m_lastOnAir = kRowB;
    int m_fadeTime = kDefaultFadeTime;
    std::function<void(int)> m_onFadeTime;
    std::function<void()> m_onDisplay;
    GoPlayer *m_player = nullptr;
};

} // namespace orinsub::views
