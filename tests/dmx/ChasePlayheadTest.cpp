#include "dmx/ChasePlayhead.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

namespace {

using namespace orinsub::dmx;
using namespace std::chrono_literals;

std::vector<int> Order(ChaseDirection direction, int stepCount, int beats, uint32_t seed = 0)
{
    std::vector<int> order;
    for (int beat = 0; beat < beats; ++beat)
        order.push_back(ChaseStepOfBeat(direction, stepCount, seed, beat));
    return order;
}

} // namespace

// The whole orders of four steps play on the wire in the console's tests; here, the short chases.
TEST(ChasePlayhead, ChasesOfFewStepsPlayWhatTheyCan)
{
    EXPECT_EQ(Order(ChaseDirection::Bounce, 2, 4), (std::vector{0, 1, 0, 1}));
    EXPECT_EQ(Order(ChaseDirection::Random, 2, 4), (std::vector{0, 1, 0, 1})) << "only alternates";
    EXPECT_EQ(Order(ChaseDirection::Bounce, 1, 3), (std::vector{0, 0, 0}));
    EXPECT_EQ(Order(ChaseDirection::Random, 0, 2), (std::vector{0, 0}));
}

// Each round plays every step once, never the same step twice in a row (across rounds too),
// the same seed always the same order, another seed another.
TEST(ChasePlayhead, RandomOrderNeverRepeatsAStepAndFollowsItsSeed)
{
    for (int stepCount : {3, 4, 7, 99}) {
        for (uint32_t seed : {1u, 2u, 0xDEADBEEFu}) {
            const std::vector<int> order =
                Order(ChaseDirection::Random, stepCount, stepCount * 40, seed);
            for (size_t i = 1; i < order.size(); ++i)
                ASSERT_NE(order[i], order[i - 1])
                    << stepCount << " steps, seed " << seed << ", beat " << i;
            for (size_t round = 0; round < order.size(); round += stepCount) {
                std::vector<int> steps(order.begin() + round, order.begin() + round + stepCount);
                std::sort(steps.begin(), steps.end());
                std::vector<int> all(stepCount);
                std::iota(all.begin(), all.end(), 0);
                ASSERT_EQ(steps, all)
                    << stepCount << " steps, seed " << seed << ", round " << round;
            }
            EXPECT_EQ(Order(ChaseDirection::Random, stepCount, stepCount * 40, seed), order);
        }
        EXPECT_NE(Order(ChaseDirection::Random, stepCount, 40, 1),
                  Order(ChaseDirection::Random, stepCount, 40, 2));
    }
}

// The fades frame by frame are the console's tests; here, the ends of time.
TEST(ChasePlayhead, MomentBeforeTheStartAndAThousandHoursOn)
{
    ChaseTiming timing;
    timing.crossfade = kStepUnits / 2; // 250 ms of each 500 ms step
    timing.stepCount = 3;
    EXPECT_EQ(ChaseMomentAt(timing, timing.anchor - 5ms), (ChaseMoment{0, 0, kFadeScale}));
    EXPECT_EQ(ChaseMomentAt(timing, timing.anchor + 1600ms), (ChaseMoment{0, 2, 26214}))
        << "100 ms into the wrap from step 3 to step 1";
    EXPECT_EQ(ChaseMomentAt(timing, timing.anchor + 3'600'000'020ms), (ChaseMoment{0, 2, 5242}))
        << "7,200,000 steps on, 20 ms in";
}
