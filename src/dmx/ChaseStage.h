#pragma once

#include "ChasePlayhead.h"

#include <array>
#include <atomic>
#include <bitset>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

namespace orinsub::dmx {

/// One lane per sub fader: a sub fader plays one chase at most.
inline constexpr int kChaseLanes = 20;
inline constexpr int kStageSlots = 512;
/// A slot patched to no console channel (the spare channel's): no chase reaches it.
inline constexpr uint8_t kNoChannel = 0xFF;

/// The running chases as the link tick plays them, published by the UI thread: for each lane its
/// steps and timing, and the fader's gains; the grand master, blackout and independent channels;
/// and which console channel each slot plays. The tick lays them over the output frame it sends,
/// at its own time, so a chase's steps land on the wire whatever the UI thread does.
///
/// A lane's steps and timing are published together behind a sequence count: a frame never
/// mixes two edits. Gains, masters and the patch are single values, which a frame may take one
/// tick late, as it takes the output frame's slots. Publishing never allocates; composing
/// neither allocates nor waits.
class ChaseStage
{
public:
    using Clock = std::function<ChaseClock::time_point()>;

    ChaseStage();
    ~ChaseStage();
    ChaseStage(const ChaseStage &) = delete;
    ChaseStage &operator=(const ChaseStage &) = delete;

    // UI thread.
    /// Lane 0..19 plays steps (at most kMaxChaseSteps; more are left out) with timing, whose
    /// step count is taken from steps.
    void Run(int lane, std::span<const ChaseLook> steps, ChaseTiming timing);
    /// A running lane goes on with its steps at a new timing (speed, phase, order, crossfade).
    void Retime(int lane, const ChaseTiming &timing);
    /// The lane plays nothing from the next frame on; its gains go to 0.
    void Stop(int lane);
    /// The lane's fader as the channels see it: asSet for independent channels (the fader as it
    /// stands), played for the others (full while its flash is held, 0 while another solos).
    void SetGains(int lane, uint8_t asSet, uint8_t played);
    void SetMasters(uint8_t grandMaster, bool blackout,
                    const std::bitset<kChaseChannels> &independent);
    /// Slot 1..512 plays console channel index 0..79, or kNoChannel.
    void SetChannelOfSlot(int slot, uint8_t channel);
    bool IsRunning(int lane) const;

    /// The clock the link tick composes by; set before the link starts (tests drive it).
    void SetClock(Clock clock) { m_clock = std::move(clock); }
    ChaseClock::time_point Now() const { return m_clock(); }

    /// Raises every patched slot of frame (1..512; slot 0 is the start code) to the running
    /// chases' levels at t: highest takes precedence. The link tick's own; a lane caught in the
    /// middle of a publish plays the levels it last had.
    void ComposeOnTick(std::span<uint8_t, kStageSlots + 1> frame, ChaseClock::time_point t);
    /// The same for the UI thread, which publishes and so never finds a lane half written.
    void Compose(std::span<uint8_t, kStageSlots + 1> frame, ChaseClock::time_point t) const;

private:
    struct Lane;
    using ChannelLevels = std::array<uint8_t, kChaseChannels>;

    /// The look lane shows at t, before its gains; false when a publish kept changing it.
    static bool ReadLook(const Lane &lane, ChaseClock::time_point t, bool &running,
                         ChannelLevels &look);
    /// Raises levels to what look gives through the lane's gains and the masters.
    void AddLane(const Lane &lane, const ChannelLevels &look, ChannelLevels &levels) const;
    void Lay(const ChannelLevels &levels, std::span<uint8_t, kStageSlots + 1> frame) const;
    bool AnyRunning() const;

    std::span<Lane, kChaseLanes> Lanes() const;

    std::unique_ptr<Lane[]> m_lanes; // kChaseLanes, on the heap: their steps take 158 kB
    std::atomic<uint8_t> m_grandMaster{255};
    std::atomic<bool> m_blackout{false};
    std::array<std::atomic<bool>, kChaseChannels> m_independent{};
    std::array<std::atomic<uint8_t>, kStageSlots + 1> m_channelOfSlot;
    Clock m_clock;
};

} // namespace orinsub::dmx
