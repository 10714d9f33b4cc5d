#include "model/ShowCsv.h"
#include "model/OrinSUBDoc.h"
#include "model/SubMaster.h"

#include <gtest/gtest.h>

using namespace orinsub::model;

namespace {

QByteArray CueRow(QByteArray start, int levels = kConsoleChannels)
{
    for (int n = 0; n < levels; ++n)
        start += ",0";
    return start;
}

QByteArray Header()
{
    return ShowCsv::Cues(CueList{}).trimmed();
}

} // namespace

TEST(ShowCsv, CueListReadsBackAsWritten)
{
    CueList cues;
    Cue first;
    first.number = 10;
    first.label = QStringLiteral("開幕, \"客電\" 落ち");
    first.follow = 42;
    first.delay = 7;
    first.look[0] = 255;
    first.look[79] = 1;
    Cue second;
    second.number = 9999;
    second.upTime = 0;
    ASSERT_TRUE(cues.Add(first).IsOk());
    ASSERT_TRUE(cues.Add(second).IsOk());

    const QByteArray csv = ShowCsv::Cues(cues);
    EXPECT_TRUE(csv.startsWith("\xEF\xBB\xBF番号,ラベル,アップ,ダウン,ディレイ,フォロー,1,2,"));
    EXPECT_TRUE(csv.contains("\r\n1,\"開幕, \"\"客電\"\" 落ち\",3.0,3.0,0.7,4.2,255,0,"));
    const CsvCueRead read = ShowCsv::ReadCues(csv);
    ASSERT_TRUE(read.IsOk()) << read.error.toStdString();
    EXPECT_EQ(read.cues, cues);
}

TEST(ShowCsv, ARowThatCannotBeACueRefusesTheFileNamingTheRow)
{
    const struct
    {
        QByteArray body;
        const char *error;
    } kCases[] = {
        {"番号,ラベル\r\n", "1 行目: 見出しの行が違います。キューリストの CSV "
                            "として書き出したものを読み込んでください。"},
        {Header() + "\r\n" + CueRow("1,,3,3,0,") + "\r\n" + CueRow("2,,3,3,0,", 79),
         "3 行目: 列が 85 個ありますが 86 個必要です。"},
        {Header() + "\n" + CueRow("x,,3,3,0,"), "2 行目: キュー番号「x」は読めません。"},
        {Header() + "\n" + CueRow("1,,soon,3,0,"), "2 行目: アップ「soon」は読めません。"},
        {Header() + "\n" + CueRow("1,,3,3,0,never"), "2 行目: フォロー「never」は読めません。"},
        {Header() + "\n" + CueRow("1,,3,3,0,", 79) + ",256",
         "2 行目: チャンネル 80 のレベル「256」は 0 から 255 の整数ではありません。"},
        {Header() + "\n" + CueRow("1,,3,3,0,") + "\n" + CueRow("1,,3,3,0,"),
         "3 行目: キュー 1 はすでにあります。"},
        {Header() + "\n" + CueRow("1,\"two\nlines,3,3,0,"),
         "2 行目: 引用符 (\") が閉じていません。"},
    };
    for (const auto &c : kCases) {
        const CsvCueRead read = ShowCsv::ReadCues(c.body);
        EXPECT_EQ(read.error, QString::fromUtf8(c.error)) << c.body.left(60).toStdString();
        EXPECT_TRUE(read.cues.IsEmpty());
    }
}

TEST(ShowCsv, PatchAndSubMasterSheetsListWhatTheShowHolds)
{
    COrinSUBDoc doc;
    doc.Channel(0).m_name = QStringLiteral("地明かり");
    doc.Channel(0).AddDimmer(100);
    CSubMaster *sub = doc.GetSubMaster(3, 7);
    sub->m_name = QStringLiteral("夕景");
    sub->m_levels[1] = 200;

    const QByteArray patch = ShowCsv::Patch(doc);
    EXPECT_TRUE(patch.startsWith("\xEF\xBB\xBF"
                                 "チャンネル,名前,調光器\r\n1,地明かり,1 100\r\n2,,2\r\n"));
    EXPECT_EQ(patch.count("\r\n"), 81);

    const QByteArray subs = ShowCsv::SubMasters(doc);
    EXPECT_EQ(subs.count("\r\n"), 2) << "the header and the one sub-master in use";
    EXPECT_TRUE(subs.contains("\r\n3,7,夕景,0,200,0,"));
}
