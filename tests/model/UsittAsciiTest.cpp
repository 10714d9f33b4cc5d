#include "model/UsittAscii.h"

#include <gtest/gtest.h>

using namespace orinsub::model;

namespace {

Cue MakeCue(int number, QString label, std::initializer_list<std::pair<int, uint8_t>> levels)
{
    Cue cue;
    cue.number = number;
    cue.label = std::move(label);
    for (const auto &[channel, level] : levels)
        cue.look[channel - 1] = level;
    return cue;
}

// Written by hand as another console would: comments, records of its own, percent levels.
constexpr char kOtherConsole[] = R"(! Show for the small hall
Ident 3:0
Manufacturer Somebody
Console Desk 2000
Clear Cues
Patch 1 1 1@100 2@FL
Patch 1 2 7@60 600@100   ! dimmer 600 is beyond this console
Patch 1 120 9@100
Group 1
Text Front wash
Chan 1@100 2@100
Cue 1
Text Opening ! not a comment inside the text
Up 5 2
Down 1:30
chan 1@50 2@FL 96@100
$$Effect 3 12
Cue 1.25
Chan 1@10
Cue 2
Up 2.5
Down 3 1
Followon 1:00.5
Chan 3@H80
Sub 1
Chan 4@20
Enddata
Cue 3
)";

} // namespace

TEST(UsittAscii, WrittenShowReadsBackWithEveryCueAndThePatch)
{
    ExchangedShow show;
    Cue first = MakeCue(10, QStringLiteral("開幕 ! 客電"), {{1, 255}, {80, 1}});
    first.delay = 15;
    first.follow = 42;
    Cue second = MakeCue(15, {}, {});
    second.upTime = 0;
    ASSERT_TRUE(show.cues.Add(first).IsOk());
    ASSERT_TRUE(show.cues.Add(second).IsOk());
    Cue full = MakeCue(9999, QStringLiteral("終演"), {});
    full.look.fill(171);
    ASSERT_TRUE(show.cues.Add(full).IsOk());
    show.patch = {{1, 3, 100}, {2, 1, 60}, {512, 80, 0}};

    const QByteArray written = UsittAscii::Write(show);
    for (const QByteArray &line : written.split('\n'))
        EXPECT_TRUE(line.startsWith("Text ") || line.size() <= 81) << line.toStdString();
    const ExchangeRead read = UsittAscii::Read(written);
    ASSERT_TRUE(read.IsOk()) << read.error.toStdString();
    EXPECT_EQ(read.show, show);
    EXPECT_TRUE(read.leftOut.isEmpty());
}

TEST(UsittAscii, FileFromAnotherConsoleImportsWhatFitsAndReportsTheRest)
{
    const ExchangeRead read = UsittAscii::Read(kOtherConsole);
    ASSERT_TRUE(read.IsOk()) << read.error.toStdString();

    ASSERT_EQ(read.show.cues.Count(), 2);
    const Cue &one = read.show.cues.Cues()[0];
    EXPECT_EQ(one.number, 10);
    EXPECT_EQ(one.label, QStringLiteral("Opening ! not a comment inside the text"));
    EXPECT_EQ(one.upTime, 50);
    EXPECT_EQ(one.downTime, 900);
    EXPECT_EQ(one.look[0], 128);
    EXPECT_EQ(one.look[1], 255);
    const Cue &two = read.show.cues.Cues()[1];
    EXPECT_EQ(two.number, 20);
    EXPECT_EQ(two.upTime, 25);
    EXPECT_EQ(two.delay, 10);
    EXPECT_EQ(two.follow, 605);
    EXPECT_EQ(two.look[2], 0x80);
    EXPECT_EQ(two.look[3], 0) << "the sub-master's levels are not the cue's";

    const std::vector<PatchedDimmer> patch{{1, 1, 100}, {2, 1, 100}, {7, 2, 60}};
    EXPECT_EQ(read.show.patch, patch);
    EXPECT_EQ(read.leftOut,
              QStringList({QStringLiteral("調光器 513 以上のパッチ 1 件"),
                           QStringLiteral("チャンネル 81 以上へのパッチ 1 件"),
                           QStringLiteral("Group の記録 1 件（このコンソールにはありません）"),
                           QStringLiteral("アップのディレイ 1 件"),
                           QStringLiteral("チャンネル 81 以上のレベル 1 件"),
                           QStringLiteral("メーカー独自の記録 1 件"),
                           QStringLiteral(
                               "0.1 より細かい番号のキュー 1 件（レベルと時間も取り込みません）"),
                           QStringLiteral("Sub の記録 1 件（このコンソールにはありません）")}));
}

TEST(UsittAscii, RecordsItCannotReadRefuseTheFileNamingTheLine)
{
    const struct
    {
        const char *text;
        const char *error;
    } kCases[] = {
        {"Cue 1\nChan 5@abc\n",
         "2 行目: レベル「abc」は読めません（0 から 100 か H00 から HFF）。"},
        {"Cue 1\nChan 5@101\n",
         "2 行目: レベル「101」は読めません（0 から 100 か H00 から HFF）。"},
        {"Cue 1\nChan 5@H100\n",
         "2 行目: レベル「H100」は読めません（0 から 100 か H00 から HFF）。"},
        {"Cue 1\n\nChan 5\n", "3 行目: チャンネルとレベルが組になっていません。"},
        {"Chan 5@10\n", "1 行目: Chan の前に Cue がありません。"},
        {"Cue 1\nUp soon\n", "2 行目: 時間「soon」は読めません（秒か 分:秒、59:59.9 まで）。"},
        {"Cue 1\nDown 3 1:75\n", "2 行目: 時間「1:75」は読めません（秒か 分:秒、59:59.9 まで）。"},
        {"Cue one\n", "1 行目: 「one」は数として読めません。"},
        {"Patch 1 5 12@50\nPatch 1 6 12@50\n", "2 行目: 調光器 12 が二度パッチされています。"},
        {"Cue 1\nCue 1\nEnddata\n", "2 行目: キュー 1 はすでにあります。"},
    };
    for (const auto &c : kCases) {
        const ExchangeRead read = UsittAscii::Read(c.text);
        EXPECT_EQ(read.error, QString::fromUtf8(c.error)) << c.text;
        EXPECT_EQ(read.show, ExchangedShow{}) << c.text;
    }
    EXPECT_FALSE(UsittAscii::Read(QByteArray(UsittAscii::kMaxFileSize + 1, ' ')).IsOk());
}
