#include "dmx/ChaseStage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace {

using namespace orinsub::dmx;
using namespace std::chrono_literals;

using Frame = std::array<uint8_t, kStageSlots + 1>;

/// Slots 1..80 play channels 1..80; the lane's fader at full.
void PatchOneToOne(ChaseStage &stage, int lane)
{
    for (int slot = 1; slot <= kChaseChannels; ++slot)
        stage.SetChannelOfSlot(slot, static_cast<uint8_t>(slot - 1));
    stage.SetGains(lane, 255, 255);
}

/// count steps, step s at level base + s on every channel.
std::vector<ChaseLook> Steps(int count, uint8_t base)
{
    std::vector<ChaseLook> steps(count);
    for (int s = 0; s < count; ++s)
        steps[s].fill(static_cast<uint8_t>(base + s));
    return steps;
}

} // namespace

// The UI thread publishes edit after edit of a chase of 99 steps (all levels of an edit alike)
// while the link tick composes frames on its own thread: no frame may carry two edits.
TEST(ChaseStage, AFrameNeverMixesTwoEditsOfALane)
{
    ChaseStage stage;
    PatchOneToOne(stage, 7);
    const auto start = ChaseClock::now();
    ChaseTiming timing;
    timing.anchor = start;
    std::atomic<bool> done{false};
    std::thread ui([&] {
        for (int edit = 0; !done.load(); edit = (edit + 1) % 2) {
            // Every step of edit 0 at 10, of edit 1 at 200.
            std::vector<ChaseLook> steps(kMaxChaseSteps);
            for (ChaseLook &look : steps)
                look.fill(edit == 0 ? 10 : 200);
            stage.Run(7, steps, timing);
            stage.Retime(7, timing);
        }
    });
    int frames = 0;
    int mixed = 0;
    for (const auto until = ChaseClock::now() + 300ms; ChaseClock::now() < until; ++frames) {
        Frame frame{};
        stage.ComposeOnTick(frame, ChaseClock::now());
        const auto [low, high] = std::minmax_element(frame.begin() + 1, frame.begin() + 81);
        mixed += *low != *high;
    }
    done = true;
    ui.join();
    EXPECT_EQ(mixed, 0) << "of " << frames << " frames";
    EXPECT_GT(frames, 100);
}

// Highest takes precedence between the output frame and every lane; a stopped lane, an unpatched
// slot and slot 0 keep what the frame had.
TEST(ChaseStage, LanesRaiseThePatchedSlotsOfTheFrame)
{
    ChaseStage stage;
    PatchOneToOne(stage, 0);
    stage.SetGains(5, 255, 128);
    stage.SetChannelOfSlot(300, 0);
    stage.SetChannelOfSlot(2, kNoChannel);
    ChaseTiming timing;
    stage.Run(0, Steps(1, 100), timing);
    stage.Run(5, Steps(1, 250), timing);
    stage.Run(9, Steps(1, 255), timing);
    stage.Stop(9);
    Frame frame{};
    frame[3] = 130;
    frame[81] = 40;
    stage.ComposeOnTick(frame, ChaseClock::now());
    EXPECT_EQ(frame[0], 0);
    EXPECT_EQ(frame[1], 125) << "lane 5: 250 under its fader at 128";
    EXPECT_EQ(frame[2], 0) << "patched to no channel";
    EXPECT_EQ(frame[3], 130) << "the frame's own level is higher";
    EXPECT_EQ(frame[81], 40) << "beyond the channels";
    EXPECT_EQ(frame[300], 125) << "a second slot of channel 1";
    EXPECT_FALSE(stage.IsRunning(9));
}
