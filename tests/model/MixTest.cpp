#include "dmx/OrinZentra.h"
#include "model/Mix.h"
#include "model/MixInputs.h"
#include "model/OrinGlobal.h"
#include "model/OrinSUBDoc.h"

#include <gtest/gtest.h>

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

TEST(Crossfade, NeverExceedsFullAcrossAllHandlePositions)
{
    for (int xa = 0; xa <= 255; xa += 5)
        for (int xb = 0; xb <= 255; xb += 5)
            for (int a : {0, 1, 128, 254, 255})
                for (int b : {0, 1, 127, 255}) {
                    const int out = CrossfadeLevel(a, b, xa, xb);
                    ASSERT_LE(out, std::max(a, b)) << a << ' ' << b << ' ' << xa << ' ' << xb;
                }
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
    uint8_t xa = 255, xb = 0;
    SubFaderReading subs[20] = {};
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
        s_channelLevels.fill(0);
    }
    ~MixTest() override { g_orin = COrinGlobal{}; }

    COrinSUBDoc doc;
    dmx::COrinZentra port;
    FakeRows rows;
    FakeMaster master;
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
