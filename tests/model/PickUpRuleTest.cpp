#include "model/PickUpRule.h"

#include <gtest/gtest.h>

using orinsub::model::kNoLastValue;
using orinsub::model::PicksUp;

TEST(PickUpRuleTest, AControlCatchesAFaderOnReachingOrCrossingItsLevel)
{
    struct Case
    {
        int level, last, now, step;
        bool catches;
    };
    const Case cases[] = {
        {128, 100, 140, 1, true},  // crossed upwards
        {128, 140, 100, 1, true},  // crossed downwards
        {128, 100, 128, 1, true},  // reached
        {128, 128, 90, 1, true},   // left from on it
        {128, 100, 127, 1, false}, // short of it
        {128, 200, 129, 1, false},
        {0, 2, 4, 3, false},            // moving away: the step counts only for a first value
        {0, kNoLastValue, 1, 1, true},  // a first value next to the level
        {0, kNoLastValue, 2, 1, false}, // too far for the finest control
        {0, kNoLastValue, 2, 3, true},  // within one step of a 7-bit control
        {100, kNoLastValue, 97, 3, true},
        {100, kNoLastValue, 96, 3, false},
        {255, kNoLastValue, 255, 1, true},
    };
    for (const Case &c : cases)
        EXPECT_EQ(PicksUp(c.level, c.last, c.now, c.step), c.catches)
            << "level " << c.level << ", from " << c.last << " to " << c.now << ", step " << c.step;
}
