#include "ChaseStage.h"

#include "Levels.h"

#include <algorithm>

namespace orinsub::dmx {

namespace {
// A reader that finds a lane changing this often in a row plays its previous levels once.
constexpr int kReadAttempts = 3;
constexpr auto kRelaxed = std::memory_order_relaxed;
// Each published value is stored with release and loaded with acquire, so that a reader that
// sees any of a publish's values also sees the sequence count the publish began with.
constexpr auto kRelease = std::memory_order_release;
constexpr auto kAcquire = std::memory_order_acquire;
} // namespace

struct ChaseStage::Lane
{
    // Odd while a publish is under way.
    std::atomic<uint32_t> sequence{0};
    std::atomic<bool> running{false};
    std::atomic<int64_t> anchor{0};
    std::atomic<int64_t> position{0};
    std::atomic<int64_t> step{ChaseTiming{}.step.count()};
    std::atomic<int32_t> crossfade{0};
    std::atomic<uint8_t> direction{0};
    std::atomic<uint32_t> seed{0};
    std::atomic<int32_t> stepCount{0};
    std::array<std::array<std::atomic<uint8_t>, kChaseChannels>, kMaxChaseSteps> steps{};
    std::atomic<uint8_t> asSet{0};
    std::atomic<uint8_t> played{0};

    // The link tick's own: what the lane showed at its last whole read.
    bool lastRunning = false;
    ChannelLevels lastLook{};

    void BeginPublish() { sequence.store(sequence.load(kRelaxed) + 1, kRelaxed); }
    void EndPublish() { sequence.store(sequence.load(kRelaxed) + 1, kRelease); }

    void StoreTiming(const ChaseTiming &timing)
    {
        anchor.store(timing.anchor.time_since_epoch().count(), kRelease);
        position.store(timing.position, kRelease);
        step.store(std::max<int64_t>(1, timing.step.count()), kRelease);
        crossfade.store(std::clamp<int32_t>(timing.crossfade, 0, kStepUnits), kRelease);
        direction.store(static_cast<uint8_t>(timing.direction), kRelease);
        seed.store(timing.seed, kRelease);
    }

    ChaseTiming LoadTiming() const
    {
        ChaseTiming timing;
        timing.anchor = ChaseClock::time_point(ChaseClock::duration(anchor.load(kAcquire)));
        timing.position = position.load(kAcquire);
        timing.step = std::chrono::nanoseconds(step.load(kAcquire));
        timing.crossfade = crossfade.load(kAcquire);
        timing.direction = static_cast<ChaseDirection>(direction.load(kAcquire));
        timing.seed = seed.load(kAcquire);
        timing.stepCount = stepCount.load(kAcquire);
        return timing;
    }
};

ChaseStage::ChaseStage()
    : m_lanes(std::make_unique<Lane[]>(kChaseLanes)), m_clock([] { return ChaseClock::now(); })
{
    for (auto &channel : m_channelOfSlot)
        channel.store(kNoChannel, kRelaxed);
}

ChaseStage::~ChaseStage() = default;

std::span<ChaseStage::Lane, kChaseLanes> ChaseStage::Lanes() const
{
    return std::span<Lane, kChaseLanes>(m_lanes.get(), kChaseLanes);
}

void ChaseStage::Run(int lane, std::span<const ChaseLook> steps, ChaseTiming timing)
{
    if (lane < 0 || lane >= kChaseLanes)
        return;
    Lane &l = Lanes()[lane];
    const size_t count = std::min<size_t>(steps.size(), kMaxChaseSteps);
    l.BeginPublish();
    for (size_t s = 0; s < count; ++s) {
        for (int c = 0; c < kChaseChannels; ++c)
            l.steps[s][c].store(steps[s][c], kRelease);
    }
    l.stepCount.store(static_cast<int32_t>(count), kRelease);
    l.StoreTiming(timing);
    l.running.store(true, kRelease);
    l.EndPublish();
}

void ChaseStage::Retime(int lane, const ChaseTiming &timing)
{
    if (lane < 0 || lane >= kChaseLanes)
        return;
    Lane &l = Lanes()[lane];
    l.BeginPublish();
    l.StoreTiming(timing);
    l.EndPublish();
}

void ChaseStage::Stop(int lane)
{
    if (lane < 0 || lane >= kChaseLanes)
        return;
    Lane &l = Lanes()[lane];
    l.BeginPublish();
    l.running.store(false, kRelease);
    l.EndPublish();
    // The next run starts dark until its fader's gains come, never at a fader's old level.
    SetGains(lane, 0, 0);
}

bool ChaseStage::IsRunning(int lane) const
{
    return lane >= 0 && lane < kChaseLanes && Lanes()[lane].running.load(kAcquire);
}

void ChaseStage::SetGains(int lane, uint8_t asSet, uint8_t played)
{
    if (lane < 0 || lane >= kChaseLanes)
        return;
    Lanes()[lane].asSet.store(asSet, kRelaxed);
    Lanes()[lane].played.store(played, kRelaxed);
}

void ChaseStage::SetMasters(uint8_t grandMaster, bool blackout,
                            const std::bitset<kChaseChannels> &independent)
{
    m_grandMaster.store(grandMaster, kRelaxed);
    m_blackout.store(blackout, kRelaxed);
    for (int c = 0; c < kChaseChannels; ++c)
        m_independent[c].store(independent[c], kRelaxed);
}

void ChaseStage::SetChannelOfSlot(int slot, uint8_t channel)
{
    if (slot < 1 || slot > kStageSlots)
        return;
    m_channelOfSlot[slot].store(channel < kChaseChannels ? channel : kNoChannel, kRelaxed);
}

bool ChaseStage::ReadLook(const Lane &lane, ChaseClock::time_point t, bool &running,
                          ChannelLevels &look)
{
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        const uint32_t before = lane.sequence.load(kAcquire);
        if (before % 2 != 0)
            continue;
        running = lane.running.load(kAcquire);
        if (running) {
            const ChaseTiming timing = lane.LoadTiming();
            if (timing.stepCount <= 0) {
                look.fill(0);
            } else {
                const ChaseMoment moment = ChaseMomentAt(timing, t);
                for (int c = 0; c < kChaseChannels; ++c)
                    look[c] = BlendLevel(lane.steps[moment.from][c].load(kAcquire),
                                         lane.steps[moment.step][c].load(kAcquire), moment.share);
            }
        }
        if (lane.sequence.load(kRelaxed) == before)
            return true;
    }
    return false;
}

void ChaseStage::AddLane(const Lane &lane, const ChannelLevels &look, ChannelLevels &levels) const
{
    const uint8_t asSet = lane.asSet.load(kRelaxed);
    const uint8_t played = lane.played.load(kRelaxed);
    const uint8_t grandMaster = m_grandMaster.load(kRelaxed);
    const bool blackout = m_blackout.load(kRelaxed);
    for (int c = 0; c < kChaseChannels; ++c) {
        // As the mix plays a sub-master: independent channels as the fader stands, the others
        // through flash and solo, the grand master and blackout.
        const uint8_t level = m_independent[c].load(kRelaxed) ? ScaleLevel(look[c], asSet)
                              : blackout
                                  ? 0
                                  : GrandMasterLevel(ScaleLevel(look[c], played), grandMaster);
        levels[c] = std::max(levels[c], level);
    }
}

void ChaseStage::Lay(const ChannelLevels &levels, std::span<uint8_t, kStageSlots + 1> frame) const
{
    for (int slot = 1; slot <= kStageSlots; ++slot) {
        const uint8_t channel = m_channelOfSlot[slot].load(kRelaxed);
        if (channel < kChaseChannels)
            frame[slot] = std::max(frame[slot], levels[channel]);
    }
}

bool ChaseStage::AnyRunning() const
{
    return std::ranges::any_of(Lanes(),
                               [](const Lane &lane) { return lane.running.load(kAcquire); });
}

void ChaseStage::ComposeOnTick(std::span<uint8_t, kStageSlots + 1> frame, ChaseClock::time_point t)
{
    bool any = false;
    ChannelLevels levels{};
    for (Lane &lane : Lanes()) {
        bool running = false;
        ChannelLevels look;
        if (ReadLook(lane, t, running, look)) {
            lane.lastRunning = running;
            lane.lastLook = look;
        }
        if (!lane.lastRunning)
            continue;
        AddLane(lane, lane.lastLook, levels);
        any = true;
    }
    if (any)
        Lay(levels, frame);
}

void ChaseStage::Compose(std::span<uint8_t, kStageSlots + 1> frame, ChaseClock::time_point t) const
{
    if (!AnyRunning())
        return;
    ChannelLevels levels{};
    for (const Lane &lane : Lanes()) {
        bool running = false;
        ChannelLevels look;
        if (ReadLook(lane, t, running, look) && running)
            AddLane(lane, look, levels);
    }
    Lay(levels, frame);
}

} // namespace orinsub::dmx
