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

/// Slots 1..80 play channels 1..80.
ChaseStage &PatchedOneToOne(ChaseStage &stage)
{
    for (int slot = 1; slot <= kChaseChannels; ++slot)
        stage.SetChannelOfSlot(slot, static_cast<uint8_t>(slot - 1));
    return stage;
}

std::vector<ChaseLook> Steps(int count, uint8_t level)
{
    std::vector<ChaseLook> steps(count);
    for (ChaseLook &look : steps)
        look.fill(level);
    return steps;
}

} // namespace

// The UI thread publishes edit after edit of a chase of 99 steps (all levels of an edit alike)
// while another thread composes frames as the link tick does: no frame may carry two edits.
TEST(ChaseStage, AFrameNeverMixesTwoEditsOfALane)
{
    ChaseStage stage;
    PatchedOneToOne(stage).SetGains(7, 255, 255);
    std::atomic<bool> done{false};
    std::thread ui([&] {
        const std::vector<ChaseLook> edits[] = {Steps(kMaxChaseSteps, 10),
                                                Steps(kMaxChaseSteps, 200)};
        for (int edit = 0; !done.load(); edit ^= 1) {
            stage.Run(7, edits[edit], ChaseTiming{});
            stage.Retime(7, ChaseTiming{});
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
    PatchedOneToOne(stage).SetGains(0, 255, 255);
    stage.SetGains(5, 255, 128);
    stage.SetChannelOfSlot(300, 0);
    stage.SetChannelOfSlot(2, kNoChannel);
    stage.Run(0, Steps(1, 100), {});
    stage.Run(5, Steps(1, 250), {});
    stage.Run(9, Steps(1, 255), {});
    stage.Stop(9);
    Frame frame{};
    frame[3] = 130;
    frame[81] = 40;
    stage.ComposeOnTick(frame, ChaseClock::now());
    const std::pair<int, int> expected[] = {
        {0, 0},   {1, 125}, {2, 0},    {3, 130},
        {4, 125}, {81, 40}, {300, 125}}; // lane 5: 250 under its fader at 128
    for (auto [slot, level] : expected)
        EXPECT_EQ(frame[slot], level) << slot;
}
