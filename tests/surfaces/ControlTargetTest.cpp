#include "surfaces/ControlTarget.h"

#include <gtest/gtest.h>

using orinsub::surfaces::ControlTarget;

TEST(ControlTargetTest, EveryNameParsesAndNamesItselfBack)
{
    const char *names[] = {"A/1",       "A/80",    "B/1",       "B/80",     "sub/1",     "sub/20",
                           "xfade/A",   "xfade/B", "xfade",     "page/up",  "page/down", "in/A",
                           "in/B",      "in/sub",  "link",      "go",       "go/time",   "strip/1",
                           "strip/128", "bank/1",  "bank/next", "bank/prev"};
    for (const char *name : names) {
        const auto target = ControlTarget::Parse(QString::fromLatin1(name));
        ASSERT_TRUE(target) << name;
        EXPECT_EQ(target->Name(), QString::fromLatin1(name));
    }
}

TEST(ControlTargetTest, OutOfRangeAndMalformedNamesAreRefused)
{
    const char *names[] = {
        "",          "A",        "A/0",       "A/81",   "A/01",    "A/+1",
        "A/1/",      "/A/1",     "B/1x",      "sub/21", "xfade/C", "in/C",
        "page/left", "go/times", "strip/129", "bank/0", "a/1",     "A/1000000000000",
        "link/1"};
    for (const char *name : names)
        EXPECT_FALSE(ControlTarget::Parse(QString::fromLatin1(name))) << name;
}

TEST(ControlTargetTest, FadersAreContinuousAndButtonsAreNot)
{
    EXPECT_TRUE(ControlTarget::Parse("B/7")->IsContinuous());
    EXPECT_TRUE(ControlTarget::Parse("xfade")->IsContinuous());
    EXPECT_TRUE(ControlTarget::Parse("go/time")->IsContinuous());
    EXPECT_FALSE(ControlTarget::Parse("go")->IsContinuous());
    EXPECT_FALSE(ControlTarget::Parse("in/sub")->IsContinuous());
}
