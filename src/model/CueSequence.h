#pragma once

#include "CueList.h"
#include "CueStage.h"
#include "MonotonicClock.h"

#include <chrono>
#include <optional>

namespace orinsub::model {

/// What the operator is told about the last cue command; the readout words it. None when the
/// last command went.
struct CueNotice
{
    enum class Kind {
        None,
        PlaybackOff, // the switch is off
        ListEmpty,
        ListEnd,     // no cue after the one on stage
        ListStart,   // no cue before it
        CueMissing,  // value: the number asked for
        NumberRange, // not a cue number at all
        RowNotDown,  // value: the row that would be loaded, its handle up
        FadeStopped, // value: the cue whose fade a hand stopped
    };
    Kind kind = Kind::None;
    int value = 0;

    bool operator==(const CueNotice &) const = default;
};

/// What the sequence asks of the desk around it: the show, the rows and the operator's view.
class CueSequenceHost
{
public:
    virtual ~CueSequenceHost() = default;
    /// The show's cue list; null without a show.
    virtual const CueList *GetCues() const = 0;
    /// The cue's look into row 0 or 1's faders, as a hand would set them.
    virtual void Load(int row, const Cue &cue) = 0;
    /// What the operator sees of the cue list may have changed; started: a cue's fade began
    /// (its progress is worth following).
    virtual void Show(bool started) = 0;
    /// CheckFollow is due this long from now; none: no follow waits.
    virtual void WakeIn(std::optional<std::chrono::milliseconds> delay) = 0;
    /// The switch changed either way.
    virtual void PlayingChanged(bool playing) = 0;
};

/// Plays the show's cue list through the crossfader while the operator hands it over (the
/// "キュー再生" switch). Then every GO loads the next cue's look into the row GO fades to and runs
/// the fade on the cue's own times; カット does the same at once. BACK and GOTO load a cue the
/// same way. A cue with a follow starts the next cue by itself that long after its GO (once the
/// fade before it has finished). With the switch off nothing here acts.
///
/// Nothing is ever loaded into a row whose handle is above 0, so no GO jumps: after a hand
/// stopped a cue's fade, GO (or カット) completes that cue over what is left of its times; after
/// a hand raised the off-air row, GO completes that crossfade over the GO fade time. BACK, GOTO
/// and a follow wait until the crossfade is complete. UI thread only.
class CueSequence : private GoPlayer
{
public:
    using Clock = MonotonicClock;

    static constexpr int kDefaultBackTime = 10; // tenths of a second
    /// How often a follow whose time has come looks again while the fade before it runs.
    static constexpr std::chrono::milliseconds kFollowRetry{10};

    CueSequence(Crossfade &crossfade, CueSequenceHost &host);
    ~CueSequence() override;
    CueSequence(const CueSequence &) = delete;
    CueSequence &operator=(const CueSequence &) = delete;

    /// Hands the crossfader to the cue list (true) or back to the plain desk. Switching either
    /// way stops a pending follow; the cue on stage stays where it was.
    void SetPlaying(bool playing);
    bool IsPlaying() const { return m_playing; }

    /// GO: the next cue, under GO's rules. False when nothing started (see the notice).
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
    const CueNotice &GetNotice() const { return m_notice; }

    /// BACK's fade time in tenths of a second, 0..kMaxFadeTime (clamped).
    void SetBackTime(int tenths);
    int GetBackTime() const { return m_backTime; }

    /// Another show (New, Open): back before the first cue, no follow pending.
    void ShowChanged();

    /// A follow whose time has come starts the next cue. The host's wake-up calls it.
    void CheckFollow();
    bool IsFollowPending() const { return m_followDue.has_value(); }
    /// The time until a waiting follow is due (0 once it is), none when none waits.
    std::optional<std::chrono::milliseconds> GetFollowLeft() const;
    void SetClock(Clock clock) { m_clock = std::move(clock); }

private:
    std::optional<FadeTimes> OnGo(int row, bool cut) override;
    void OnTakenOver() override;
    std::optional<FadeTimes> NextTimes() const override;

    const Cue *NextCue() const;
    /// Whether a cue may be loaded into the row GO fades to: its handle is at 0. Says why not.
    bool CanLoadNextRow();
    enum class By { Operator, Follow };
    /// Load, then the fade on times started by the operator or by a follow; the cue goes on
    /// stage when the fade started.
    bool Play(const Cue &cue, const FadeTimes &times, bool follows, By by);
    /// The cue after the one on stage goes on stage by itself.
    void FollowOn();
    /// cue is on stage now; its follow waits unless it was cut in (follows false).
    void Started(const Cue &cue, bool follows);
    void ArmFollowIn(std::chrono::milliseconds left);
    void CancelFollow();
    void Say(CueNotice notice);

    Crossfade &m_crossfade;
    CueSequenceHost &m_host;
    Clock m_clock;
    bool m_playing = false;
    int m_current = 0;
    int m_backTime = kDefaultBackTime;
    CueNotice m_notice;
    std::optional<std::chrono::steady_clock::time_point> m_followDue;
};

} // namespace orinsub::model
