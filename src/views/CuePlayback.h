#pragma once

#include "GoFade.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>
#include <optional>

namespace orinsub::controls {
class CCueReadout;
}
namespace orinsub::model {
struct Cue;
class CueList;
} // namespace orinsub::model

namespace orinsub::views {

/// Plays the show's cue list through the crossfader while the operator hands it over (the
/// "キュー再生" switch). Then every GO (keys, menu, surfaces, buttons) loads the next cue's look
/// into the off-air row, the row GO fades to, and runs the fade on the cue's own times; カット
/// does the same at once. BACK and GOTO load a cue the same way. Loading moves the row's faders
/// as the operator sees them, takes them from the DMX input and leaves the undo record of
/// section copies alone. A cue with a follow starts the next cue by itself that long after its
/// GO (once the fade before it has finished). With the switch off the desk is the plain
/// two-preset desk and nothing here acts.
///
/// Nothing is ever loaded into a row whose handle is above 0, so no GO jumps: after a hand
/// stopped a cue's fade, GO (or カット) completes that cue over what is left of its times; after
/// a hand raised the off-air row, GO completes that crossfade over the GO fade time. BACK, GOTO
/// and a follow wait until the crossfade is complete.
///
/// The show comes from g_orin.m_pDoc, the rows from g_orin.m_pDanView. UI thread only.
class CuePlayback : public QObject, private GoPlayer
{
public:
    using Clock = GoFade::Clock;

    static constexpr int kDefaultBackTime = 10; // tenths of a second
    /// How often the readout follows a running fade.
    static constexpr int kProgressMs = 40;

    explicit CuePlayback(GoFade &go, QObject *parent = nullptr);
    ~CuePlayback() override;
    CuePlayback(const CuePlayback &) = delete;
    CuePlayback &operator=(const CuePlayback &) = delete;

    /// Hands the crossfader to the cue list (true) or back to the plain desk. Switching either
    /// way stops a pending follow; the cue on stage stays where it was.
    void SetPlaying(bool playing);
    bool IsPlaying() const { return m_playing; }
    /// Told after every change of the switch (the menu's check mark).
    void SetPlayingListener(std::function<void(bool)> listener)
    {
        m_onPlaying = std::move(listener);
    }

    /// GO: the next cue, under GO's rules. False when nothing started (see the readout).
    bool Go();
    /// BACK ("戻る"): the cue before the one on stage, over the back time, both handles alike.
    bool Back();
    /// GOTO: cue number (tenths) over its own times. An unknown number changes nothing and
    /// says so.
    bool GoTo(int number);

    /// Where the cue list stands, as the live state keeps it (the fade is the crossfader's).
    struct Standing
    {
        bool playing = false;
        int current = 0;
        std::optional<std::chrono::milliseconds> followLeft;
    };
    Standing Capture() const;
    /// Puts a captured standing back: the switch, the cue on stage and a waiting follow with
    /// the time it had left.
    void Restore(const Standing &standing);

    /// The cue last started (tenths), 0 before the first GO; the cue a GO plays next, 0 at the
    /// list's end.
    int GetCurrentCue() const { return m_current; }
    int GetNextCue() const;
    /// Cue number as the readout shows it: "number label", the number alone without a label or
    /// once taken out of the list; empty for 0.
    QString CueText(int number) const;
    /// The last word to the operator ("最後のキューです…"), empty when the last command went.
    const QString &GetMessage() const { return m_message; }

    /// BACK's fade time in tenths of a second, 0..255 (clamped).
    void SetBackTime(int tenths);
    int GetBackTime() const { return m_backTime; }

    /// Another show (New, Open): back before the first cue, no follow pending.
    void ShowChanged();
    /// The cue list was edited: the readout shows it anew.
    void Refresh();
    /// The readout in the master pane (not owned; null for none).
    void SetReadout(controls::CCueReadout *readout);

    /// A follow whose time has come starts the next cue. The timer calls it; tests call it with
    /// their own clock.
    void CheckFollow();
    bool IsFollowPending() const { return m_followDue.has_value(); }
    void SetClock(Clock clock) { m_clock = std::move(clock); }

private:
    std::optional<FadeTimes> OnGo(int row, bool cut) override;
    void OnTakenOver() override;
    std::optional<FadeTimes> NextTimes() const override;

    const model::CueList *Cues() const;
    /// The cue's look into row 0 or 1's faders: only the moved faders repaint; output follows.
    void Load(int row, const model::Cue &cue);
    /// Load, then the fade on times; the cue goes on stage when the fade started.
    bool Play(const model::Cue &cue, const FadeTimes &times, bool follows);
    /// Whether a cue may be loaded into the row GO fades to: its handle is at 0. Says why not.
    bool CanLoadNextRow();
    /// The cue after the one on stage goes on stage by itself (a follow).
    void FollowOn();
    void ArmFollow(const model::Cue &cue);
    void ArmFollowIn(std::chrono::milliseconds left);
    void CancelFollow();
    void Say(const QString &message);
    void ShowProgress();

    GoFade &m_go;
    Clock m_clock;
    bool m_playing = false;
    int m_current = 0;
    int m_backTime = kDefaultBackTime;
    QString m_message;
    std::optional<std::chrono::steady_clock::time_point> m_followDue;
    QTimer m_followTimer;
    QTimer m_progressTimer;
    controls::CCueReadout *m_readout = nullptr;
    std::function<void(bool)> m_onPlaying;
};

/// A cue's times as the crossfader plays them.
FadeTimes TimesOf(const model::Cue &cue);


} // namespace orinsub::views
