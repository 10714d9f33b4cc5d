#include "model/CueList.h"
#include "model/OrinSUBDoc.h"

#include <gtest/gtest.h>

#include <functional>

using namespace orinsub::model;

namespace {

Cue CueNumbered(int number)
{
    Cue cue;
    cue.number = number;
    return cue;
}

CueList ListOf(std::initializer_list<int> numbers)
{
    CueList list;
    for (int number : numbers)
        EXPECT_TRUE(list.Add(CueNumbered(number)).IsOk()) << number;
    return list;
}

std::vector<int> Numbers(const CueList &list)
{
    std::vector<int> numbers;
    for (const Cue &cue : list.Cues())
        numbers.push_back(cue.number);
    return numbers;
}

CueList FullList()
{
    CueList list;
    for (int i = 1; i <= kMaxCues; ++i)
        list.Add(CueNumbered(i * 10));
    return list;
}

Cue With(int number, const std::function<void(Cue &)> &change)
{
    Cue cue = CueNumbered(number);
    change(cue);
    return cue;
}

} // namespace

TEST(CueList, EditsKeepNumberOrderAndRefuseWhatBreaksTheRules)
{
    const QString numberRange =
        QStringLiteral("キュー番号は 1 から 999.9 まで（小数点以下 1 桁）で指定してください。");
    const struct
    {
        const char *what;
        CueList list;
        std::function<CueEdit(CueList &)> edit;
        QString error; // empty: the edit is made
        std::vector<int> numbers;
    } cases[] = {
        {"add in order",
         ListOf({10, 30}),
         [](CueList &l) { return l.Add(CueNumbered(15)); },
         {},
         {10, 15, 30}},
        {"add the lowest and highest",
         ListOf({500}),
         [](CueList &l) {
             l.Add(CueNumbered(kMinCueNumber));
             return l.Add(CueNumbered(kMaxCueNumber));
         },
         {},
         {10, 500, 9999}},
        {"number taken",
         ListOf({10, 15}),
         [](CueList &l) { return l.Add(CueNumbered(15)); },
         QStringLiteral("キュー 1.5 はすでにあります。"),
         {10, 15}},
        {"number 0.9",
         ListOf({}),
         [](CueList &l) { return l.Add(CueNumbered(9)); },
         numberRange,
         {}},
        {"number 1000",
         ListOf({}),
         [](CueList &l) { return l.Add(CueNumbered(10000)); },
         numberRange,
         {}},
        {"up time 1:00:00",
         ListOf({}),
         [](CueList &l) { return l.Add(With(10, [](Cue &c) { c.upTime = 36000; })); },
         QStringLiteral("アップタイムは 0 から 59:59.9 まで（0.1 秒単位）です。「90」「1:30」"
                        "「1:30.5」のように入力してください。"),
         {}},
        {"negative delay",
         ListOf({10}),
         [](CueList &l) { return l.Replace(With(10, [](Cue &c) { c.delay = -1; })); },
         QStringLiteral("ディレイは 0 から 59:59.9 まで（0.1 秒単位）です。「90」「1:30」"
                        "「1:30.5」のように入力してください。"),
         {10}},
        {"follow 1:00:00",
         ListOf({10}),
         [](CueList &l) { return l.Replace(With(10, [](Cue &c) { c.follow = 36000; })); },
         QStringLiteral("フォローは 0 から 59:59.9 まで（0.1 秒単位）か、空欄（フォローなし）です。"
                        "「90」「1:30」「1:30.5」のように入力してください。"),
         {10}},
        {"label of 256",
         ListOf({}),
         [](CueList &l) { return l.Add(With(10, [](Cue &c) { c.label = QString(256, u'x'); })); },
         QStringLiteral("ラベルは 255 文字までです。"),
         {}},
        {"label with a lone surrogate",
         ListOf({10}),
         [](CueList &l) {
             return l.Replace(With(10, [](Cue &c) { c.label = QString(QChar(0xD800)) + u'x'; }));
         },
         QStringLiteral("ラベルに文字として読めない部分があります。"),
         {10}},
        {"label with a whole surrogate pair",
         ListOf({}),
         [](CueList &l) { return l.Add(With(10, [](Cue &c) { c.label = QStringLiteral("🎭"); })); },
         {},
         {10}},
        {"replace a missing cue",
         ListOf({10}),
         [](CueList &l) { return l.Replace(CueNumbered(20)); },
         QStringLiteral("キュー 2 はありません。"),
         {10}},
        {"remove", ListOf({10, 15, 20}), [](CueList &l) { return l.Remove(15); }, {}, {10, 20}},
        {"remove a missing cue",
         ListOf({10}),
         [](CueList &l) { return l.Remove(15); },
         QStringLiteral("キュー 1.5 はありません。"),
         {10}},
        {"insert halfway",
         ListOf({10, 20}),
         [](CueList &l) { return l.Insert(10, Cue{}); },
         {},
         {10, 15, 20}},
        {"insert rounds down to a tenth",
         ListOf({10, 15}),
         [](CueList &l) { return l.Insert(10, Cue{}); },
         {},
         {10, 12, 15}},
        {"insert after the last: next whole number",
         ListOf({10, 25}),
         [](CueList &l) { return l.Insert(25, Cue{}); },
         {},
         {10, 25, 30}},
        {"insert after 999: halfway to 1000",
         ListOf({9990}),
         [](CueList &l) { return l.Insert(9990, Cue{}); },
         {},
         {9990, 9995}},
        {"no tenth between",
         ListOf({11, 12}),
         [](CueList &l) { return l.Insert(11, Cue{}); },
         QStringLiteral("キュー 1.1 と 1.2 の間に入る番号がありません。番号を振り直してから挿入して"
                        "ください。"),
         {11, 12}},
        {"nothing after 999.9",
         ListOf({9999}),
         [](CueList &l) { return l.Insert(9999, Cue{}); },
         QStringLiteral("キュー 999.9 の後に入る番号がありません。"),
         {9999}},
        {"renumber",
         ListOf({15, 20, 9999}),
         [](CueList &l) {
             l.Renumber();
             return CueEdit{};
         },
         {},
         {10, 20, 30}},
    };
    for (const auto &c : cases) {
        CueList list = c.list;
        const CueEdit result = c.edit(list);
        EXPECT_EQ(result.error, c.error) << c.what;
        EXPECT_EQ(Numbers(list), c.numbers) << c.what;
    }
}

TEST(CueList, FullListTakesNoMoreCues)
{
    CueList list = FullList();
    const CueList before = list;
    const QString full = QStringLiteral(
        "キューリストがいっぱいです（999 キューまで）。キューを削除してから記録してください。");
    EXPECT_EQ(list.Add(CueNumbered(9995)).error, full);
    EXPECT_EQ(list.Insert(10, Cue{}).error, full);
    EXPECT_TRUE(list == before);
    EXPECT_TRUE(list.Remove(10).IsOk());
    EXPECT_TRUE(list.Add(CueNumbered(9995)).IsOk());
}

TEST(CueList, NextAndPreviousCueFromAnyNumber)
{
    const CueList list = ListOf({10, 15, 30});
    const auto number = [](const Cue *cue) { return cue ? cue->number : -1; };
    EXPECT_EQ(number(list.After(0)), 10);
    EXPECT_EQ(number(list.After(10)), 15);
    EXPECT_EQ(number(list.After(20)), 30);
    EXPECT_EQ(number(list.After(30)), -1);
    EXPECT_EQ(number(list.Before(30)), 15);
    EXPECT_EQ(number(list.Before(12)), 10);
    EXPECT_EQ(number(list.Before(10)), -1);
    EXPECT_EQ(number(list.Find(15)), 15);
    EXPECT_EQ(list.Find(20), nullptr);
}

TEST(CueList, TypedNumbersReadAsTenths)
{
    const struct
    {
        QString typed;
        std::optional<int> tenths;
    } cases[] = {
        {QStringLiteral("2"), 20},        {QStringLiteral("2.5"), 25},
        {QStringLiteral(" 2.5 秒 "), 25}, {QStringLiteral("２．５"), 25},
        {QStringLiteral(".5"), 5},        {QStringLiteral("3."), 30},
        {QStringLiteral("-1"), -10},      {QStringLiteral("99999999999"), 100'000'000},
        {QStringLiteral("2.55"), {}},     {QStringLiteral("2,5"), {}},
        {QStringLiteral(""), {}},         {QStringLiteral("."), {}},
        {QStringLiteral("1.2.3"), {}},    {QStringLiteral("abc"), {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ParseTenths(c.typed), c.tenths) << c.typed.toStdString();
    EXPECT_EQ(CueNumberText(15), QStringLiteral("1.5"));
    EXPECT_EQ(CueNumberText(9990), QStringLiteral("999"));
}

// Seconds below a minute, minutes and seconds from one on, either way in; what reads back is
// what was shown.
TEST(CueList, TypedTimesReadAsTenthsAndShowAsMinutesFromAMinuteOn)
{
    const struct
    {
        QString typed;
        std::optional<int> tenths;
        QString shown;
    } cases[] = {
        {QStringLiteral("59.9"), 599, QStringLiteral("59.9")},
        {QStringLiteral("60"), 600, QStringLiteral("1:00.0")},
        {QStringLiteral("90"), 900, QStringLiteral("1:30.0")},
        {QStringLiteral("1:30.5"), 905, QStringLiteral("1:30.5")},
        {QStringLiteral("59:59.9"), 35999, QStringLiteral("59:59.9")},
        {QStringLiteral("１：３０．５"), 905, QStringLiteral("1:30.5")},
        {QStringLiteral(" 10:00 秒 "), 6000, QStringLiteral("10:00.0")},
        {QStringLiteral("60:00"), {}, {}},
        {QStringLiteral("1:60"), {}, {}},
        {QStringLiteral("1:5"), {}, {}},
        {QStringLiteral("1:30:00"), {}, {}},
        {QStringLiteral("-1:30"), {}, {}},
        {QStringLiteral("99999999999:00"), {}, {}},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(ParseTime(c.typed), c.tenths) << c.typed.toStdString();
        if (c.tenths)
            EXPECT_EQ(TimeText(*c.tenths), c.shown) << c.typed.toStdString();
    }
    EXPECT_EQ(TimeWithUnit(599), QStringLiteral("59.9 秒"));
    EXPECT_EQ(TimeWithUnit(600), QStringLiteral("1:00.0"));
}

TEST(CueList, ShowIsModifiedOnlyByAnEditThatChangesTheList)
{
    COrinSUBDoc doc;
    EXPECT_FALSE(doc.EditCues([](CueList &l) { return l.Add(CueNumbered(0)); }).IsOk());
    EXPECT_FALSE(doc.IsModified());
    // A failing edit leaves nothing of what it did before it failed.
    EXPECT_FALSE(doc.EditCues([](CueList &l) {
                        l.Add(CueNumbered(10));
                        return l.Add(CueNumbered(10));
                    })
                     .IsOk());
    EXPECT_TRUE(doc.m_extension.cues.IsEmpty());
    EXPECT_FALSE(doc.IsModified());

    EXPECT_EQ(doc.EditCues([](CueList &l) { return l.Add(CueNumbered(10)); }).number, 10);
    EXPECT_TRUE(doc.IsModified());
    doc.SetModifiedFlag(false);
    EXPECT_TRUE(doc.EditCues([](CueList &l) { return l.Replace(CueNumbered(10)); }).IsOk());
    EXPECT_FALSE(doc.IsModified()) << "the same cue again changes nothing";
}
