#pragma once

#include "FadeProgress.h"

#include <cstdint>
#include <optional>

namespace orinsub::model {

/// Who plays the desk's GO instead of the plain crossfade: the cue list while the crossfader is
/// handed to it. Told on the UI thread, from inside the crossfade.
class GoPlayer
{
public:
    virtual ~GoPlayer() = default;
    /// An accepted GO (a cut: with no fade running) is about to run toward row: the player loads
    /// its look there and gives its times; nothing refuses the GO (nothing left to play).
    virtual std::optional<FadeTimes> OnGo(int row, bool cut) = 0;
    /// The operator took over: a cut completed the fade, or a hand moved a handle.
    virtual void OnTakenOver() = 0;
    /// The times the next GO would run; none when it would play nothing.
    virtual std::optional<FadeTimes> NextTimes() const = 0;
};

/// The timed crossfade as the cue list plays through it. Rows and handles 0 A, 1 B.
class Crossfade
{
public:
    virtual ~Crossfade() = default;
    /// GO under GO's rules: over the desk's fade time, or what the player plays. True when it
    /// started.
    virtual bool Go() = 0;
    /// GO with times of its own, under the same rules.
    virtual bool Go(const FadeTimes &times) = 0;
    /// A GO nobody pressed: no bounce to guard against.
    virtual bool Follow(const FadeTimes &times) = 0;
    /// Hands GO to player (not owned), or back to the plain crossfade (null).
    virtual void SetPlayer(GoPlayer *player) = 0;
    virtual bool AcceptsGo() const = 0;
    /// Whether a follow now would start: no fade runs and no hand holds a handle.
    virtual bool AcceptsFollow() const = 0;
    virtual bool IsRunning() const = 0;
    /// What is left of the times of a fade toward row that a hand stopped.
    virtual std::optional<FadeTimes> GetStoppedRemainder(int row) const = 0;
    virtual uint8_t GetHandleLevel(int row) const = 0;
    /// The row a GO fades to.
    virtual int GetNextRow() const = 0;
    /// The desk's GO fade time, tenths of a second.
    virtual int GetFadeTime() const = 0;
};

} // namespace orinsub::model
