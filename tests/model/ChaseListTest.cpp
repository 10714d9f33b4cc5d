#include "model/Chase.h"

#include <gtest/gtest.h>

#include <functional>

using namespace orinsub::model;

namespace {

Chase ChaseOn(int number, ChasePlace place = {})
{
    Chase chase;
    chase.number = number;
    chase.place = place;
    return chase;
}

ChaseList ListOf(std::initializer_list<Chase> chases)
{
    ChaseList list;
    for (const Chase &chase : chases)
        EXPECT_TRUE(list.Add(chase).IsOk()) << chase.number;
    return list;
}

Chase With(int number, const std::function<void(Chase &)> &change)
{
    Chase chase = ChaseOn(number);
    change(chase);
    return chase;
}

} // namespace

TEST(ChaseList, EditsKeepNumberOrderAndRefuseWhatBreaksTheRules)
{
    const ChaseList two = ListOf({ChaseOn(3, {1, 1}), ChaseOn(7)});
    const struct
    {
        const char *what;
        ChaseList list;
        std::function<ChaseEdit(ChaseList &)> edit;
        QString error; // empty: the edit is made
    } cases[] = {
        {"add between",
         two,
         [](ChaseList &l) {
             return l.Add(ChaseOn(5, {1, 2}));
         },
         {}},
        {"add a number there is", two, [](ChaseList &l) { return l.Add(ChaseOn(7)); },
         QStringLiteral("チェイス 7 はすでにあります。")},
        {"add onto a taken sub-master", two,
         [](ChaseList &l) {
             return l.Add(ChaseOn(5, {1, 1}));
         },
         QStringLiteral("サブマスター 1-1 にはチェイス 3 が割り付けられています。")},
        {"replace keeps its own place",
         two,
         [](ChaseList &l) {
             return l.Replace(With(3, [](Chase &c) {
                 c.place = {1, 1};
                 c.stepMs = 60;
             }));
         },
         {}},
        {"replace onto a taken sub-master", two,
         [](ChaseList &l) {
             return l.Replace(ChaseOn(7, {1, 1}));
         },
         QStringLiteral("サブマスター 1-1 にはチェイス 3 が割り付けられています。")},
        {"replace a missing chase", two, [](ChaseList &l) { return l.Replace(ChaseOn(4)); },
         QStringLiteral("チェイス 4 はありません。")},
        {"remove a missing chase", two, [](ChaseList &l) { return l.Remove(4); },
         QStringLiteral("チェイス 4 はありません。")},
        {"number 100", two, [](ChaseList &l) { return l.Add(ChaseOn(100)); },
         QStringLiteral("チェイス番号は 1 から 99 までです。")},
        {"100 steps", two,
         [](ChaseList &l) { return l.Add(With(1, [](Chase &c) { c.steps.resize(100); })); },
         QStringLiteral("チェイスのステップは 99 個までです。")},
        {"step of 49 ms", two,
         [](ChaseList &l) { return l.Add(With(1, [](Chase &c) { c.stepMs = 49; })); },
         QStringLiteral("ステップの時間は 0.05 秒から 60 秒まで（1 から 1200 BPM）です。")},
        {"crossfade -1", two,
         [](ChaseList &l) { return l.Add(With(1, [](Chase &c) { c.crossfadePercent = -1; })); },
         QStringLiteral("クロスフェードは 0 から 100 % までです。")},
        {"name of 64", two,
         [](ChaseList &l) { return l.Add(With(1, [](Chase &c) { c.name = QString(64, u'x'); })); },
         QStringLiteral("チェイスの名前は 63 文字までです。")},
        {"name with a tab", two,
         [](ChaseList &l) { return l.Add(With(1, [](Chase &c) { c.name = "a\tb"; })); },
         QStringLiteral("チェイスの名前に文字として読めない部分か制御文字があります。")},
        {"page 21", two,
         [](ChaseList &l) {
             return l.Add(ChaseOn(1, {21, 1}));
         },
         QStringLiteral(
             "割り付け先はページ 1 から 20、サブマスター 1 から 20 で指定してください。")},
    };
    for (const auto &c : cases) {
        ChaseList list = c.list;
        const ChaseEdit edit = c.edit(list);
        EXPECT_EQ(edit.error, c.error) << c.what;
        if (!c.error.isEmpty()) {
            EXPECT_EQ(list, c.list) << c.what << ": nothing changed";
            continue;
        }
        EXPECT_NE(list, c.list) << c.what;
        EXPECT_TRUE(
            std::is_sorted(list.Chases().begin(), list.Chases().end(),
                           [](const Chase &a, const Chase &b) { return a.number < b.number; }))
            << c.what;
    }
}

TEST(ChaseList, LooksUpBySubMasterAndFindsTheLowestFreeNumber)
{
    ChaseList list = ListOf({ChaseOn(1, {2, 5}), ChaseOn(2), ChaseOn(4, {20, 20})});
    EXPECT_EQ(list.OnSubMaster(2, 5)->number, 1);
    EXPECT_EQ(list.OnSubMaster(20, 20)->number, 4);
    EXPECT_EQ(list.OnSubMaster(5, 2), nullptr);
    EXPECT_EQ(list.OnSubMaster(0, 0), nullptr) << "chase 2 is on no sub-master";
    EXPECT_EQ(list.FreeNumber(), 3);
    EXPECT_TRUE(list.Remove(1).IsOk());
    EXPECT_EQ(list.FreeNumber(), 1);
    EXPECT_EQ(list.OnSubMaster(2, 5), nullptr);
}

TEST(ChaseList, BpmAndStepTimeConvertWithinTheLimits)
{
    const struct
    {
        double bpm;
        int stepMs;
    } cases[] = {{120, 500}, {128, 469}, {1, 60000},  {0.5, 60000},         {1200, 50},
                 {5000, 50}, {0, 60000}, {-3, 60000}, {std::nan(""), 60000}};
    for (const auto &c : cases)
        EXPECT_EQ(ChaseStepMsForBpm(c.bpm), c.stepMs) << c.bpm;
    EXPECT_DOUBLE_EQ(ChaseBpm(500), 120.0);
    EXPECT_DOUBLE_EQ(ChaseBpm(469), 127.9);
    EXPECT_DOUBLE_EQ(ChaseBpm(60000), 1.0);
}
