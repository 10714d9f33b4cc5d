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

TEST(ChasePlayhead, DirectionsPlayTheirOrders)
{
    using D = ChaseDirection;
    const struct
    {
        D direction;
        int stepCount;
        std::vector<int> order;
    } cases[] = {
        {D::Forward, 3, {0, 1, 2, 0, 1, 2, 0}},
        {D::Backward, 3, {2, 1, 0, 2, 1, 0, 2}},
        {D::Bounce, 4, {0, 1, 2, 3, 2, 1, 0, 1}},
        {D::Bounce, 2, {0, 1, 0, 1, 0}},
        {D::Random, 2, {0, 1, 0, 1, 0}}, // two steps can only alternate
        {D::Bounce, 1, {0, 0, 0}},
        {D::Random, 1, {0, 0, 0}},
        {D::Forward, 0, {0, 0}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Order(c.direction, c.stepCount, static_cast<int>(c.order.size())), c.order)
            << static_cast<int>(c.direction) << " of " << c.stepCount;
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

// 120 BPM, half the step fading: each step fades in over 250 ms from the one before and holds.
TEST(ChasePlayhead, MomentFadesIntoEachStepThenHolds)
{
    ChaseTiming timing;
    timing.crossfade = kStepUnits / 2;
    timing.stepCount = 3;
    const struct
    {
        std::chrono::milliseconds at;
        ChaseMoment moment;
    } cases[] =
        {
            {-5ms, {0, 0, kFadeScale}}, // before the anchor: where the run starts
            {0ms, {0, 0, kFadeScale}},  // the first step at once
            {499ms, {0, 0, kFadeScale}},     {500ms, {1, 0, 0}},
            {625ms, {1, 0, kFadeScale / 2}}, {750ms, {1, 0, kFadeScale}},
            {1600ms, {0, 2, 26214}},         // 100 ms into step 3's successor, the wrap to step 1
            {3'600'000'020ms, {0, 2, 5242}}, // a thousand hours on: 7,200,000 steps, 20 ms in
        };
    for (const auto &c : cases)
        EXPECT_EQ(ChaseMomentAt(timing, timing.anchor + c.at), c.moment) << c.at.count();
    EXPECT_EQ(BlendLevel(0, 255, kFadeScale / 2), 128);
    EXPECT_EQ(BlendLevel(200, 0, kFadeScale), 0);
    EXPECT_EQ(BlendLevel(7, 7, 1234), 7);
}
