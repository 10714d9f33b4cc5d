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

} // namespace

// What a chase holds on its own is checked as the show file and the show tool read it (their
// tests); here, what the list as a whole allows.
TEST(ChaseList, EditsKeepNumbersAndSubMastersOnceAndRefuseWhole)
{
    ChaseList two;
    two.Add(ChaseOn(7));
    two.Add(ChaseOn(3, {1, 1}));
    const QString taken =
        QStringLiteral("サブマスター 1-1 にはチェイス 3 が割り付けられています。");
    const struct
    {
        const char *what;
        std::function<ChaseEdit(ChaseList &)> edit;
        QString error; // empty: the edit is made
    } cases[] = {
        {"add between",
         [](ChaseList &l) {
             return l.Add(ChaseOn(5, {1, 2}));
         },
         {}},
        {"add a number there is", [](ChaseList &l) { return l.Add(ChaseOn(7)); },
         QStringLiteral("チェイス 7 はすでにあります。")},
        {"add onto a taken sub-master",
         [](ChaseList &l) {
             return l.Add(ChaseOn(5, {1, 1}));
         },
         taken},
        {"replace on its own sub-master",
         [](ChaseList &l) {
             return l.Replace(ChaseOn(3, {1, 1}));
         },
         {}},
        {"replace onto a taken one",
         [](ChaseList &l) {
             return l.Replace(ChaseOn(7, {1, 1}));
         },
         taken},
        {"replace a missing chase", [](ChaseList &l) { return l.Replace(ChaseOn(4)); },
         QStringLiteral("チェイス 4 はありません。")},
        {"remove a missing chase", [](ChaseList &l) { return l.Remove(4); },
         QStringLiteral("チェイス 4 はありません。")},
        {"number 100", [](ChaseList &l) { return l.Add(ChaseOn(100)); },
         QStringLiteral("チェイス番号は 1 から 99 までです。")},
    };
    for (const auto &c : cases) {
        ChaseList list = two;
        EXPECT_EQ(c.edit(list).error, c.error) << c.what;
        if (!c.error.isEmpty()) {
            EXPECT_EQ(list, two) << c.what << ": nothing changed";
        }
        EXPECT_TRUE(
            std::is_sorted(list.Chases().begin(), list.Chases().end(),
                           [](const Chase &a, const Chase &b) { return a.number < b.number; }))
            << c.what;
    }
    EXPECT_EQ(two.OnSubMaster(1, 1)->number, 3);
    EXPECT_EQ(two.OnSubMaster(0, 0), nullptr) << "chase 7 is on no sub-master";
    EXPECT_EQ(two.FreeNumber(), 1);
}
