#include "model/Mix.h"
#include "dmx/OrinZentra.h"
#include "model/ChasePlayer.h"
#include "model/MixInputs.h"
#include "model/OrinGlobal.h"
#include "model/OrinSUBDoc.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace orinsub;
using namespace orinsub::model;

TEST(Crossfade, WorkedExamples)
{
    EXPECT_EQ(CrossfadeLevel(173, 40, 255, 0), 173);
    EXPECT_EQ(CrossfadeLevel(173, 40, 0, 255), 40);
    EXPECT_EQ(CrossfadeLevel(173, 40, 255, 255), 173);
    EXPECT_EQ(CrossfadeLevel(40, 173, 255, 255), 173);
    EXPECT_EQ(CrossfadeLevel(200, 100, 100, 155), 138);
    EXPECT_EQ(CrossfadeLevel(200, 100, 200, 200), 178);
    EXPECT_EQ(CrossfadeLevel(100, 200, 200, 200), 178);
    EXPECT_EQ(CrossfadeLevel(1, 1, 128, 127), 0);
}

// The level is a byte: a sum past 255 would wrap to a dim level and pass any bound on the byte.
// The reference is worked out in int, where nothing wraps.
TEST(Crossfade, NeverExceedsFullAcrossAllHandlePositions)
{
    const auto reference = [](int a, int b, int xa, int xb) {
        if (xa + xb <= 255)
            return a * xa / 255 + b * xb / 255;
        return a < b ? a + (b - a) * xb / 255 : b + (a - b) * xa / 255;
    };
    for (int xa = 0; xa <= 255; xa += 5)
        for (int xb = 0; xb <= 255; xb += 5)
            for (int a : {0, 1, 128, 254, 255})
                for (int b : {0, 1, 127, 255}) {
                    const int expected = reference(a, b, xa, xb);
                    ASSERT_LE(expected, std::max(a, b)) << a << ' ' << b << ' ' << xa << ' ' << xb;
                    ASSERT_EQ(CrossfadeLevel(a, b, xa, xb), expected)
                        << a << ' ' << b << ' ' << xa << ' ' << xb;
                }
}

TEST(GrandMaster, RoundsToTheNearestLevelAndKeepsTheEnds)
{
    for (int level = 0; level <= 255; ++level) {
        for (int gm = 0; gm <= 255; ++gm)
            ASSERT_EQ(GrandMasterLevel(level, gm), std::lround(level * gm / 255.0))
                << level << ' ' << gm;
    }
    EXPECT_EQ(GrandMasterLevel(255, 128), 128);
    EXPECT_EQ(GrandMasterLevel(1, 128), 1) << "truncating would give 0";
}

TEST(HighestTakesPrecedence, SubMasterOnlyRaises)
{
    EXPECT_EQ(ScaleLevel(128, 128), 64);
    EXPECT_EQ(HighestTakesPrecedence(10, 128, 128), 64);
    EXPECT_EQ(HighestTakesPrecedence(100, 128, 128), 100);
    EXPECT_EQ(HighestTakesPrecedence(0, 255, 0), 0);
}

namespace {

class FakeRows : public RowLevelSource
{
public:
    uint8_t GetRowLevel(int row, int channel) const override
    {
        return (row == 0 || row == 1) && channel >= 1 && channel <= 80 ? levels[row][channel - 1] : 0;
    }
    uint8_t levels[2][80] = {};
};

class FakeMaster : public MasterLevelSource
{
public:
    uint8_t GetCrossfaderLevel(int handle) const override { return handle == 0 ? xa : handle == 1 ? xb : 0; }
    int GetSubFaderCount() const override { return 20; }
    SubFaderReading GetSubFaderReading(int index) const override { return subs[index]; }
    uint8_t GetGrandMaster() const override { return gm; }
    bool IsBlackout() const override { return blackout; }
    uint8_t xa = 255, xb = 0;
    SubFaderReading subs[20] = {};
    uint8_t gm = 255;
    bool blackout = false;
};

class MixTest : public testing::Test
{
protected:
    MixTest()
    {
        for (int j = 0; j < 20; ++j)
            master.subs[j] = {0, 1, j + 1};
        g_orin.m_pDoc = &doc;
        g_orin.m_pZentra = &port;
        g_orin.m_pRowLevels = &rows;
        g_orin.m_pMasterLevels = &master;
        g_orin.m_pChases = &chases;
        s_channelLevels.fill(0);
    }
    ~MixTest() override { g_orin = COrinGlobal{}; }

    COrinSUBDoc doc;
    dmx::COrinZentra port;
    FakeRows rows;
    FakeMaster master;
    ChasePlayer chases;
};

} // namespace

TEST_F(MixTest, ChannelLevelReachesTableAndEveryPatchedSlot)
{
    rows.levels[0][4] = 200;
    doc.m_patchSelection = {300, 17};
    doc.PatchSelectionTo(4);
    MixChannel(5);
    EXPECT_EQ(s_channelLevels[4], 200);
    EXPECT_EQ(port.GetOutputSlot(5), 200);
    EXPECT_EQ(port.GetOutputSlot(17), 200);
    EXPECT_EQ(port.GetOutputSlot(300), 200);
    EXPECT_EQ(port.GetOutputSlot(0), 0) << "the start code is never written";
}

TEST_F(MixTest, RaisedSubMastersTakeTheHighestAndShortTablesGiveZero)
{
    rows.levels[0][9] = 10;
    doc.GetSubMaster(1, 3)->m_levels[9] = 128;
    master.subs[2].level = 128;
    MixChannel(10);
    EXPECT_EQ(s_channelLevels[9], 64);

    master.subs[5] = {255, 7, 6}; // a fader held on another page still plays its own sub-master
    doc.GetSubMaster(7, 6)->m_levels[9] = 90;
    MixChannel(10);
    EXPECT_EQ(s_channelLevels[9], 90);

    doc.GetSubMaster(7, 6)->m_levels.resize(5);
    doc.GetSubMaster(1, 3)->m_levels.resize(5);
    MixChannel(10);
    EXPECT_EQ(s_channelLevels[9], 10);
}

TEST_F(MixTest, FullSubMasterUnderFaderAtZeroContributesNothing)
{
    doc.GetSubMaster(1, 1)->m_levels.assign(512, 255);
    master.subs[0].level = 0;
    MixChannel(1);
    EXPECT_EQ(s_channelLevels[0], 0);
}

TEST_F(MixTest, EmptyPatchUpdatesOnlyTheTable)
{
    rows.levels[0][1] = 77;
    doc.Channel(1).ClearDimmers();
    MixChannel(2);
    EXPECT_EQ(s_channelLevels[1], 77);
    EXPECT_EQ(port.GetOutputSlot(2), 0);
}

TEST_F(MixTest, DimmersOutsideTheFrameAreNeverWritten)
{
    rows.levels[0][0] = 255;
    doc.Channel(0).m_dimmers = {-5, 0, 1, 513, 100000}; // as a loaded show may store them
    MixChannel(1);
    EXPECT_EQ(port.GetOutputSlot(1), 255);
    EXPECT_EQ(port.GetOutputSlot(0), 0);
    EXPECT_EQ(port.GetOutputSlot(512), 0);
}

TEST_F(MixTest, SpareChannelWritesZeroToUnpatchedDimmers)
{
    port.SetOutputSlot(400, 99);
    MixChannel(81);
    EXPECT_EQ(s_channelLevels[80], 0);
    EXPECT_EQ(port.GetOutputSlot(400), 0);
}

TEST_F(MixTest, RecomputeCoversChannelsOneToEightyOnly)
{
    for (int k = 0; k < 80; ++k)
        rows.levels[1][k] = static_cast<uint8_t>(k + 1);
    master.xa = 0;
    master.xb = 255;
    port.SetOutputSlot(81, 55);
    RecomputeAllChannels();
    for (int k = 1; k <= 80; ++k)
        EXPECT_EQ(port.GetOutputSlot(k), k);
    EXPECT_EQ(port.GetOutputSlot(81), 55);
}

TEST_F(MixTest, WithoutPanesTheMixReadsZero)
{
    g_orin.m_pRowLevels = nullptr;
    g_orin.m_pMasterLevels = nullptr;
    port.SetOutputSlot(3, 9);
    MixChannel(3);
    EXPECT_EQ(port.GetOutputSlot(3), 0);
}

// Channel 1 follows the masters, channel 2 (independent) has the same levels and must play the
// faders as they stand. Row A is on air; sub-master 1 is on fader 1, sub-master 2 on fader 2.
// With chaseOnFirst, sub-master 1 holds a chase of one step of its levels instead: the link
// lays it over the frame at its own time, and the frame it sends must be the same.
class MastersTest : public MixTest, public testing::WithParamInterface<bool>
{
};

TEST_P(MastersTest, GrandMasterBlackoutFlashAndSoloSpareOnlyIndependentChannels)
{
    const bool chaseOnFirst = GetParam();
    struct Sub
    {
        uint8_t level; // of channels 1 and 2 in the sub-master
        uint8_t fader;
        bool held = false;
    };
    constexpr FlashMode kFlash = FlashMode::Flash;
    constexpr FlashMode kSolo = FlashMode::Solo;
    const struct
    {
        const char *what;
        uint8_t gm;
        bool blackout;
        FlashMode mode;
        uint8_t row;
        Sub sub1, sub2;
        uint8_t out, independentOut;
    } cases[] = {
        {"gm full", 255, false, kFlash, 200, {}, {}, 200, 200},
        {"gm 0", 0, false, kFlash, 200, {}, {}, 0, 200},
        {"gm half rounds", 128, false, kFlash, 255, {}, {}, 128, 255},
        {"blackout", 255, true, kFlash, 200, {}, {}, 0, 200},
        {"blackout, flash held", 255, true, kFlash, 0, {100, 0, true}, {}, 0, 0},
        {"flash over fader at 0", 255, false, kFlash, 80, {100, 0, true}, {90, 128}, 100, 80},
        {"flash under gm", 128, false, kFlash, 80, {100, 0, true}, {}, 50, 80},
        {"two flashes", 255, false, kFlash, 0, {50, 0, true}, {90, 0, true}, 90, 0},
        {"solo, rows up", 255, false, kSolo, 200, {100, 0, true}, {90, 255}, 100, 200},
        {"solo under gm 0", 0, false, kSolo, 200, {100, 0, true}, {}, 0, 200},
        {"solo, two held", 255, false, kSolo, 200, {50, 0, true}, {90, 10, true}, 90, 200},
        {"solo, none held", 255, false, kSolo, 80, {}, {90, 255}, 90, 90},
    };
    doc.SetIndependent(2, true);
    for (const auto &c : cases) {
        master.gm = c.gm;
        master.blackout = c.blackout;
        doc.SetFlashMode(c.mode);
        int fader = 0;
        for (const Sub &sub : {c.sub1, c.sub2}) {
            CSubMaster &subMaster = *doc.GetSubMaster(1, fader + 1);
            subMaster.m_levels[0] = subMaster.m_levels[1] = sub.level;
            master.subs[fader].level = sub.fader;
            master.subs[fader++].flashHeld = sub.held;
        }
        if (chaseOnFirst) {
            doc.EditChases([&](ChaseList &chases) {
                Chase chase;
                chase.place = {1, 1};
                chase.steps.push_back({c.sub1.level, c.sub1.level});
                doc.GetSubMaster(1, 1)->m_levels.assign(kLevelsPerSubMaster, 0);
                chases.Remove(1);
                return chases.Add(chase);
            });
        }
        rows.levels[0][0] = rows.levels[0][1] = c.row;
        RecomputeAllChannels();
        const std::array<uint8_t, dmx::kFrameSize> sent = port.GetSentLook();
        EXPECT_EQ(sent[1], c.out) << c.what;
        EXPECT_EQ(sent[2], c.independentOut) << c.what << ", independent";
        EXPECT_EQ(s_channelLevels[0], c.out) << c.what << ": the desk shows what is sent";
        EXPECT_EQ(s_channelLevels[1], c.independentOut) << c.what;
        EXPECT_EQ(chases.IsRunning(1), chaseOnFirst && (c.sub1.fader > 0 || c.sub1.held))
            << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P(SubMasterOrChase, MastersTest, testing::Bool());
