#include "surfaces/ControlTarget.h"

#include <gtest/gtest.h>

#include <set>

using namespace orinsub::surfaces;

TEST(ControlTargetTest, EveryTargetOfTheCatalogueParsesFromItsOneName)
{
    std::set<QString> names;
    for (const ControlTarget &target : ListTargets(TargetList::Everything)) {
        const QString name = target.Name();
        EXPECT_TRUE(names.insert(name).second) << "named twice: " << name.toStdString();
        EXPECT_EQ(ControlTarget::Parse(name), target) << name.toStdString();
    }
    // The names that mapping files and OSC layouts hold keep meaning what they meant.
    for (const char *name : {"A/1",
                             "A/80",
                             "B/80",
                             "sub/20",
                             "xfade",
                             "xfade/A",
                             "xfade/B",
                             "page/up",
                             "page/down",
                             "in/A",
                             "in/B",
                             "in/sub",
                             "link",
                             "go",
                             "go/time",
                             "strip/1",
                             "strip/128",
                             "bank/1",
                             "bank/128",
                             "bank/next",
                             "bank/prev",
                             "flash/1",
                             "flash/20",
                             "flash/mode",
                             "independent/1",
                             "independent/80",
                             "gm",
                             "blackout",
                             "cut",
                             "cue/mode",
                             "cue/go",
                             "cue/back",
                             "cue/goto",
                             "cue/current",
                             "cue/next",
                             "lock",
                             "output",
                             "backup",
                             "chase/1/tap",
                             "chase/99/bpm",
                             "chase/7/step"})
        EXPECT_TRUE(names.count(QString::fromLatin1(name))) << name;
}

TEST(ControlTargetTest, OutOfRangeAndMalformedNamesAreRefused)
{
    const char *names[] = {
        "",          "A",           "A/0",           "A/81",      "A/01",         "A/+1",
        "A/1/",      "/A/1",        "B/1x",          "sub/21",    "xfade/C",      "in/C",
        "page/left", "go/times",    "strip/129",     "bank/0",    "a/1",          "A/1000000000000",
        "link/1",    "bank/",       "bank/nex",      "flash/21",  "flash/solo",   "independent/81",
        "chase/1",   "chase/0/tap", "chase/100/tap", "chase/tap", "chase/1/tap/", "chase/1/speed"};
    for (const char *name : names)
        EXPECT_FALSE(ControlTarget::Parse(QString::fromLatin1(name))) << name;
}

TEST(ControlTargetTest, ASurfacesShapeBoundsItsStripsAndBanks)
{
    const SurfaceShape shape{8, 23};
    EXPECT_TRUE(ControlTarget::Parse("strip/8", shape));
    EXPECT_FALSE(ControlTarget::Parse("strip/9", shape));
    EXPECT_TRUE(ControlTarget::Parse("bank/23", shape));
    EXPECT_FALSE(ControlTarget::Parse("bank/24", shape));

    const std::vector<ControlTarget> all = ListTargets(TargetList::Everything, shape);
    EXPECT_EQ(all.size(),
              160u + 20 + 3 + 2 + 3 + 3 + 20 + 1 + 80 + 3 + 8 + 23 + 2 + 6 + 3 + 3 * 99);
    const std::vector<ControlTarget> shown = ListTargets(TargetList::Shown, shape);
    EXPECT_EQ(std::count(shown.begin(), shown.end(), *ControlTarget::Parse("xfade")), 0)
        << "shown as handle A";
    EXPECT_EQ(std::count(shown.begin(), shown.end(), *ControlTarget::Parse("bank/1")), 0);
    for (const ControlTarget &target : ListTargets(TargetList::DeskControls))
        EXPECT_EQ(target.Family().scope, TargetScope::Desk) << target.Name().toStdString();
}

TEST(ControlTargetTest, FadersAndTimesAreContinuousAndButtonsAreNot)
{
    for (const char *name : {"B/7", "xfade", "go/time", "strip/3", "gm", "chase/2/bpm"})
        EXPECT_TRUE(ControlTarget::Parse(name)->IsContinuous()) << name;
    for (const char *name :
         {"go", "in/sub", "bank/2", "bank/next", "blackout", "cut", "chase/2/tap", "chase/2/step"})
        EXPECT_FALSE(ControlTarget::Parse(name)->IsContinuous()) << name;
}
