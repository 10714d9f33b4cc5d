#pragma once

#include "ControlTarget.h"

#include <QObject>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace orinsub::surfaces {

class Desk;
class Surface;

/// A list of targets a surface's strips step through (strip/k plays the k-th target of the
/// current bank).
using Bank = std::vector<ControlTarget>;

/// A fader box's width: the default banks' strips.
inline constexpr int kDefaultStripsPerBank = 8;
/// The default banks: sub-masters 1-8, 9-16, 17-20; row A 1-8 ... 73-80; row B 1-8 ... 73-80.
std::vector<Bank> DefaultBanks(int stripsPerBank = kDefaultStripsPerBank);
/// The strips and banks a surface with these banks has.
SurfaceShape ShapeOf(const std::vector<Bank> &banks);

/// Which of a surface's controls moved, where several may play one target (two OSC clients, two
/// controls of one fader box): each keeps its own pick-up. A surface with one control per
/// target passes none.
using ControlId = std::uint64_t;

/// When the layer's own feedback pass runs: a precise single-shot timer in the console; tests
/// run the pass by hand.
class FlushTimer
{
public:
    using Clock = std::chrono::steady_clock;
    virtual ~FlushTimer() = default;
    virtual Clock::time_point Now() const = 0;
    /// Runs due once, delay from now (the one waiting, if any, is replaced).
    virtual void RunOnce(std::chrono::milliseconds delay, std::function<void()> due) = 0;
    /// Forgets the run that waits.
    virtual void Cancel() = 0;
};

/// The one road from every surface to the desk. A surface's move reaches a console fader as
/// the mouse would move it (the desk does it); button targets do what their key does.
///
/// Pick-up: a surface control without a motor takes over a console fader only when its value
/// reaches or crosses the fader's level, or when its first value (after attaching, a bank
/// change, or a replug) lies within the control's step of it; until then the fader shows where
/// the control stands. Each control keeps its own pick-up, and one that has not caught the
/// fader never moves it. It lets go as soon as anything else moves the fader, and the fader
/// then shows where it stands at once. Motorised surfaces skip pick-up.
///
/// Feedback: whatever changes on the desk reaches every attached surface that shows the target
/// within one 20 ms tick, never echoing a surface's own move back to it (a fader it has just
/// caught is reported once, caught, with the level it set). Lamps (page buttons usable, IN,
/// link, GO running, current bank) reach every surface, the one that pressed the button
/// included. A strip with no target on the current bank shows 0 and plays nothing. "xfade"
/// shows and picks up at handle A's level; once caught it moves both handles by the control's
/// travel, as the linked drag does. An idle desk costs nothing: the layer works after a change.
///
/// UI thread only. The desk must outlive the layer. Surfaces are not owned; detach one before
/// deleting it.
class ControlLayer : public QObject
{
    Q_OBJECT
public:
    /// timer: when feedback runs by itself (a precise Qt timer when none is given).
    explicit ControlLayer(Desk &desk, std::unique_ptr<FlushTimer> timer = nullptr,
                          QObject *parent = nullptr);
    ~ControlLayer() override;

    Desk &GetDesk() const { return m_desk; }

    /// The surface plays from now on, its first bank current; it gets every value it shows at
    /// once. Attaching it again changes nothing.
    void Attach(Surface *surface, std::vector<Bank> banks = DefaultBanks());
    /// The surface plays no more; the momentary buttons it still holds (a flash) are let go.
    void Detach(Surface *surface);

    /// A valued control of the surface moved to value (faders 0..255; clamped to the target's
    /// range, but for a cue number, which the desk refuses when it names no cue); strip/k is
    /// resolved through the surface's current bank. step: the control's
    /// resolution in levels (1: every level), within which its first value catches a console
    /// fader. Button targets: ignored.
    void Move(Surface *surface, const ControlTarget &target, int value, int step = 1,
              ControlId control = 0);
    /// A button of the surface went down (true) or up.
    void Press(Surface *surface, const ControlTarget &target, bool down);
    /// A motor fader is touched (true) or released: no feedback to that control (the target as
    /// the surface shows it) meanwhile; on release it gets the current value.
    void Touch(Surface *surface, const ControlTarget &target, bool touched);

    /// The desk's value of a target as feedback would give it (strip/k: not resolvable here,
    /// gives 0).
    int Value(const ControlTarget &target) const;
    /// The concrete target strip/k plays on the surface now (any other target: itself).
    ControlTarget Resolve(const Surface *surface, const ControlTarget &target) const;
    /// Whether a control of the surface holds the (resolved) target.
    bool IsCaught(const Surface *surface, const ControlTarget &target) const;
    int GetBankIndex(const Surface *surface) const;

    /// Sends feedback now for everything that changed (the layer also does it by itself within
    /// one tick of a change, at most once every 10 ms). Cheap when nothing changed: a surface
    /// that must answer at once may call it right after its own work.
    void Flush();

    /// Feedback waits at least this long after the previous pass: a drag sends at most 100
    /// messages a second per control, and still arrives within one 20 ms link tick.
    static constexpr std::chrono::milliseconds kFeedbackGap{10};

private:
    struct Impl;
    Desk &m_desk;
    std::unique_ptr<Impl> d;
};

} // namespace orinsub::surfaces
