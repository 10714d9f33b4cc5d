#include "model/OrinSUBDoc.h"

#include <gtest/gtest.h>

#include <functional>

using namespace orinsub::model;

namespace {

std::vector<int32_t> Range(int first, int last)
{
    std::vector<int32_t> v;
    for (int d = first; d <= last; ++d)
        v.push_back(d);
    return v;
}

void ExpectFreshPatch(const COrinSUBDoc &doc)
{
    for (int k = 1; k <= 80; ++k)
        EXPECT_EQ(doc.Channel(k - 1).m_dimmers, std::vector<int32_t>{k}) << "channel " << k;
    EXPECT_EQ(doc.SpareChannel().m_dimmers, Range(81, 512));
}

} // namespace

TEST(OrinSUBDoc, FreshShowPatchesOneToOneWithEmptySubMasters)
{
    COrinSUBDoc doc;
    ASSERT_EQ(doc.m_channels.size(), 81u);
    ExpectFreshPatch(doc);
    for (int p = 1; p <= 20; ++p) {
        for (int n = 1; n <= 20; ++n) {
            const CSubMaster *sub = doc.GetSubMaster(p, n);
            ASSERT_NE(sub, nullptr);
            EXPECT_EQ(sub->m_levels, std::vector<uint8_t>(512, 0));
            EXPECT_TRUE(sub->m_name.isEmpty());
        }
    }
    EXPECT_FALSE(doc.IsModified());
}

TEST(OrinSUBDoc, LookupsReportMisses)
{
    COrinSUBDoc doc;
    EXPECT_EQ(doc.FindChannelOfDimmer(0), -1);
    EXPECT_EQ(doc.FindChannelOfDimmer(513), -1);
    EXPECT_EQ(doc.FindChannelOfDimmer(100), 80);
    EXPECT_EQ(doc.FindChannelOfDimmer(7), 6);
    EXPECT_EQ(doc.GetSubMaster(0, 1), nullptr);
    EXPECT_EQ(doc.GetSubMaster(21, 1), nullptr);
    EXPECT_EQ(doc.GetSubMaster(1, 0), nullptr);
    EXPECT_EQ(doc.GetSubMaster(1, 21), nullptr);
    EXPECT_EQ(doc.GetSubMaster(20, 20), doc.m_pages[19]->m_subMasters[19].get());
}

TEST(OrinSUBDoc, AddDimmerKeepsAscendingOrderWithoutDuplicates)
{
    CChannel channel;
    channel.m_dimmers = {3, 7};
    channel.AddDimmer(5);
    EXPECT_EQ(channel.m_dimmers, (std::vector<int32_t>{3, 5, 7}));
    channel.AddDimmer(7);
    EXPECT_EQ(channel.m_dimmers, (std::vector<int32_t>{3, 5, 7}));
    channel.AddDimmer(9);
    channel.AddDimmer(1);
    EXPECT_EQ(channel.m_dimmers, (std::vector<int32_t>{1, 3, 5, 7, 9}));
    channel.RemoveDimmer(5);
    channel.RemoveDimmer(42);
    EXPECT_EQ(channel.m_dimmers, (std::vector<int32_t>{1, 3, 7, 9}));
}

TEST(OrinSUBDoc, PatchSelectionMovesDimmersAndEmptiesSelection)
{
    COrinSUBDoc doc;
    doc.m_patchSelection = {7, 3};
    doc.PatchSelectionTo(0);
    EXPECT_EQ(doc.Channel(0).m_dimmers, (std::vector<int32_t>{1, 3, 7}));
    EXPECT_TRUE(doc.Channel(2).m_dimmers.empty());
    EXPECT_TRUE(doc.Channel(6).m_dimmers.empty());
    EXPECT_TRUE(doc.m_patchSelection.empty());

    doc.m_patchSelection = {300, 7, 3};
    doc.PatchSelectionTo(80);
    EXPECT_EQ(doc.Channel(0).m_dimmers, std::vector<int32_t>{1});
    auto spare = Range(81, 512);
    spare.insert(spare.begin(), {3, 7});
    EXPECT_EQ(doc.SpareChannel().m_dimmers, spare);
}

TEST(OrinSUBDoc, NewClearsNamesLevelsAndPatchButKeepsTableLengths)
{
    COrinSUBDoc doc;
    doc.Channel(4).SetName(QStringLiteral("ホリゾント"));
    doc.SpareChannel().SetName(QStringLiteral("spare"));
    doc.m_patchSelection = {1, 2, 3};
    doc.PatchSelectionTo(10);
    doc.m_patchSelection = {99};
    CSubMaster *sub = doc.GetSubMaster(3, 4);
    sub->m_name = QStringLiteral("look");
    sub->m_levels.assign(600, 200); // a loaded show may carry another length
    doc.GetSubMaster(1, 1)->m_levels.resize(10, 9);

    ASSERT_TRUE(doc.OnNewDocument());

    ExpectFreshPatch(doc);
    EXPECT_TRUE(doc.m_patchSelection.empty());
    EXPECT_TRUE(doc.Channel(4).GetName().isEmpty());
    EXPECT_TRUE(doc.SpareChannel().GetName().isEmpty());
    EXPECT_TRUE(sub->m_name.isEmpty());
    ASSERT_EQ(sub->m_levels.size(), 600u);
    for (size_t i = 0; i < 512; ++i)
        EXPECT_EQ(sub->m_levels[i], 0) << i;
    EXPECT_EQ(sub->m_levels[599], 200) << "entries past 512 are left alone";
    EXPECT_EQ(doc.GetSubMaster(1, 1)->m_levels, std::vector<uint8_t>(10, 0));
}

TEST(OrinSUBDoc, ModifiedListenerHearsOnlyChanges)
{
    COrinSUBDoc doc;
    std::vector<bool> heard;
    doc.SetModifiedListener([&](bool modified) { heard.push_back(modified); });
    doc.SetModifiedFlag(true);
    doc.SetModifiedFlag(true);
    doc.SetModifiedFlag(false);
    EXPECT_EQ(heard, (std::vector<bool>{true, false}));
}

TEST(SubMaster, ShortTablesReadAsZeroPastTheirEnd)
{
    CSubMaster sub;
    sub.m_levels = {0, 0, 5};
    EXPECT_EQ(sub.LevelAt(2), 5);
    EXPECT_EQ(sub.LevelAt(3), 0);
    EXPECT_EQ(sub.LevelAt(-1), 0);
    EXPECT_TRUE(sub.HasContent());
    sub.m_levels.assign(600, 0);
    sub.m_levels[550] = 9;
    EXPECT_FALSE(sub.HasContent()) << "only the first 512 levels count";
}

TEST(OrinSUBDoc, PatchingRepairsDimmersThatALoadedShowListedTwice)
{
    COrinSUBDoc doc;
    doc.Channel(1).m_dimmers = {2, 5};       // dimmer 5 on channels 2 and 5
    doc.Channel(2).m_dimmers = {3, 0, 9999}; // numbers outside the frame
    doc.m_patchSelection = {5};
    doc.PatchSelectionTo(9);
    EXPECT_EQ(doc.Channel(1).m_dimmers, std::vector<int32_t>{2});
    EXPECT_TRUE(doc.Channel(4).m_dimmers.empty());
    EXPECT_EQ(doc.Channel(9).m_dimmers, (std::vector<int32_t>{5, 10}));

    doc.Channel(1).m_dimmers = {2, 5};
    doc.RestoreOneToOnePatch();
    ExpectFreshPatch(doc);
}

TEST(OrinSUBDoc, AdditionsMarkTheShowModifiedWhenTheyChangeAndNewClearsThem)
{
    COrinSUBDoc doc;
    const std::function<void()> edits[] = {
        [&] { doc.SetIndependent(80, true); },
        [&] { doc.SetFlashMode(FlashMode::Solo); },
        [&] { doc.SetFadeTime(12); },
    };
    for (const auto &edit : edits) {
        doc.SetModifiedFlag(false);
        edit();
        EXPECT_TRUE(doc.IsModified());
        doc.SetModifiedFlag(false);
        edit();
        EXPECT_FALSE(doc.IsModified()) << "the same value again changes nothing";
    }
    doc.SetIndependent(0, true);
    doc.SetIndependent(81, true);
    EXPECT_EQ(doc.m_extension.independent.count(), 1u);
    EXPECT_TRUE(doc.m_extension.IsIndependent(80));
    doc.SetFadeTime(99999);
    EXPECT_EQ(doc.m_extension.fadeTime, kMaxFadeTime);

    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_TRUE(doc.m_extension.IsDefault());
    EXPECT_EQ(doc.m_extension.fadeTime, 30);
}
