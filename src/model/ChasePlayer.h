#pragma once

#include "Chase.h"
#include "ChaseTimeline.h"
#include "MixInputs.h"
#include "MonotonicClock.h"
#include "TapTempo.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace orinsub::dmx {
class ChaseStage;
}

namespace orinsub::model {

/// Plays the show's chases from the sub faders, on the UI thread: a chase put on a sub-master
/// runs while the fader playing that sub-master is above 0 or its flash button is held (lane j
/// is sub fader j), and stands still otherwise. It keeps each chase's time (ChaseTimeline) and
/// the speed set from the desk (tap, BPM), which starts as the chase's step time and follows an
/// edit of it, and publishes each running lane's steps and timing to the link tick's stage, which
/// plays them at its own time. The mix calls Follow and raises LaneLook like a sub-master's
/// levels, so the desk's displays show what the wire carries.
class ChasePlayer
{
public:
    using StageSource = std::function<dmx::ChaseStage *()>;

    /// clock: the monotonic time (empty: the steady clock).
    explicit ChasePlayer(MonotonicClock clock = {});
    ChasePlayer(const ChasePlayer &) = delete;
    ChasePlayer &operator=(const ChasePlayer &) = delete;

    void SetClock(MonotonicClock clock);
    /// The random orders from now on are drawn from seed, so that a run can be told in advance.
    void SetSeed(uint32_t seed) { m_seed = seed; }
    /// Where running lanes are published (empty: none). The DMX port's stage in g_orin unless
    /// told otherwise; asked anew at every publish, so a port that goes never leaves one behind.
    void SetStageSource(StageSource source) { m_stageSource = std::move(source); }

    /// The sub faders as they stand, in the console's order: starts and stops the runs and
    /// publishes what changed. showEdits counts the show's edits (COrinSUBDoc::GetEditCount), so
    /// that a chase's steps are compared only after an edit. Tells the listener of a change.
    void Follow(const ChaseList &chases, std::span<const SubFaderReading> faders,
                uint64_t showEdits);
    /// The look lane's chase shows now, before its fader; null while the lane runs no chase.
    /// Valid until the next call.
    const ChaseLook *LaneLook(int lane);
    /// The number of the chase lane runs, 0 for none.
    int LaneChase(int lane) const;
    bool IsRunning(int chase) const;
    bool IsAnyRunning() const;

    /// The chase's speed from the desk (its own step time until the desk sets one), in BPM with
    /// one decimal; 0 for a number outside 1..kMaxChases.
    double GetBpm(int chase) const;
    /// The step the running chase shows now, 1 for its first; 0 while it stands.
    int GetStep(int chase) const;
    /// A tap on the chase's tap button: from the TapTempo::kTaps-th tap of a count on, the taps
    /// set the speed and a step begins on the tap.
    void Tap(int chase);
    /// The speed in BPM (clamped to the chase limits), the step under way going on from where it
    /// is.
    void SetBpm(int chase, double bpm);
    /// The running chase's next step begins now; nothing for a chase that stands.
    void NextStep(int chase);

    /// Told after a chase started or stopped and after a speed changed. It must not recompute
    /// the output: the mix may be the caller.
    void SetChangeListener(std::function<void()> listener) { m_onChange = std::move(listener); }

private:
    struct Run
    {
        ChaseTimeline timeline;
        TapTempo taps;
        int storedStepMs = kDefaultChaseStepMs; // the chase's own step time the speed follows
        bool inShow = false;
    };
    struct Lane
    {
        int chase = 0;
        dmx::ChaseStage *stage = nullptr; // where it was published
        dmx::ChaseTiming published;
        std::vector<ChaseLook> steps; // as published
        ChaseLook look{};
    };

    ChaseTimeline::TimePoint Now() const { return m_clock(); }
    Run *RunOf(int chase);
    const Run *RunOf(int chase) const;
    /// The lane that runs chase, or -1.
    int LaneOf(int chase) const;
    dmx::ChaseStage *Stage() const;
    uint32_t NextSeed();
    /// After an edit of the show: each chase's speed follows its step time where that changed,
    /// and the time of a chase the show no longer has is forgotten; true when a speed changed.
    bool FollowEdits(const ChaseList &chases);
    /// Lane j plays chase (null: nothing) from now; true when what it runs changed.
    bool Play(int j, const Chase *chase, bool stepsMayDiffer);
    /// Publishes the new timing of chase's lane, if it runs.
    void Retime(int chase);
    void Changed() const;

    MonotonicClock m_clock;
    StageSource m_stageSource;
    uint32_t m_seed;
    std::optional<uint64_t> m_showEdits;    // none before the first Follow
    std::array<Run, kMaxChases + 1> m_runs; // by number; 0 unused
    std::array<Lane, kSubMastersPerPage> m_lanes;
    std::function<void()> m_onChange;
};

} // namespace orinsub::model
