#include "ShowTool.h"

#include "model/OrinSUBDoc.h"
#include "model/ShowExchange.h"
#include "model/ShowFile.h"
#include "model/ShowFileTestShows.h"
#include "support/TempFiles.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace orinsub;
using orinsub::testing::ReadFile;

namespace {

class ShowToolTest : public ::testing::Test
{
protected:
    int Run(const QStringList &args)
    {
        out.str({});
        err.str({});
        return tools::ShowTool(out, err).Run(args);
    }

    /// The dump of a new show.
    QByteArray NewShowJson()
    {
        EXPECT_EQ(Run({"new", dir.PathOf("new.orin")}), 0);
        EXPECT_EQ(Run({"dump", dir.PathOf("new.orin")}), 0);
        return QByteArray::fromStdString(out.str());
    }

    std::ostringstream out;
    std::ostringstream err;
    orinsub::testing::TempFolder dir;
};

} // namespace

TEST_F(ShowToolTest, DumpAndBuildRoundTripEveryByte)
{
    for (const bool longTimes : {false, true}) {
        model::COrinSUBDoc doc;
        orinsub::testing::FillUnusualShow(doc);
        orinsub::testing::AddShowAdditions(doc);
        if (longTimes)
            orinsub::testing::AddLongTimes(doc);
        const QString original = dir.PathOf("unusual.orin");
        ASSERT_TRUE(model::SaveShowFile(doc, original).IsOk());

        ASSERT_EQ(Run({"dump", original}), 0) << err.str();
        const QByteArray dumped = QByteArray::fromStdString(out.str());
        EXPECT_EQ(dumped.contains("\"fadetime\": \"10:00.0\""), longTimes);
        EXPECT_EQ(dumped.contains("\"up\": \"59:59.9\", \"down\": 256, \"delay\": \"10:00.0\", "
                                  "\"follow\": \"16:40.0\""),
                  longTimes);
        const QString json = dir.Write("unusual.json", dumped);
        ASSERT_EQ(Run({"build", json, dir.PathOf("rebuilt.orin")}), 0) << err.str();
        EXPECT_EQ(ReadFile(dir.PathOf("rebuilt.orin")), ReadFile(original)) << longTimes;
        EXPECT_EQ(Run({"check", dir.PathOf("rebuilt.orin")}), 0);
        EXPECT_TRUE(out.str().empty());
        EXPECT_TRUE(err.str().empty());
        EXPECT_TRUE(dumped.contains("\"steps\": [\n      [0, 7, 14, ")) << "one step per line";
        EXPECT_TRUE(dumped.contains("\"curves\": [\n    {\"dimmer\": 1, \"curve\": \"hall-a\", "
                                    "\"threshold\": 50, \"limit\": 90},\n"));
        EXPECT_TRUE(dumped.contains("\"direction\": \"random\", \"restart\": false, "
                                    "\"submaster\": [4, 17], \"steps\": [\n"));
    }
}

TEST_F(ShowToolTest, DumpHasTheDocumentedShape)
{
    const QByteArray json = NewShowJson();
    EXPECT_EQ(QFileInfo(dir.PathOf("new.orin")).size(), model::kNewShowFileSize);
    EXPECT_TRUE(json.contains("\n    {\"number\": 1, \"name\": \"\", \"dimmers\": [1]},\n"))
        << "one channel per line";

    const QJsonObject show = QJsonDocument::fromJson(json).object();
    const QJsonArray channels = show["channels"].toArray();
    const QJsonArray subMasters = show["submasters"].toArray();
    ASSERT_EQ(channels.size(), 81);
    ASSERT_EQ(subMasters.size(), 400);
    EXPECT_EQ(show.keys(), (QStringList{"channels", "chases", "cues", "curves", "fadetime",
                                        "flashmode", "independent", "submasters"}));
    EXPECT_TRUE(json.endsWith("  ],\n  \"independent\": [],\n  \"flashmode\": \"flash\",\n"
                              "  \"fadetime\": 30,\n  \"cues\": [],\n  \"chases\": [],\n"
                              "  \"curves\": []\n}\n"));
    const QJsonObject spare = channels[80].toObject();
    EXPECT_EQ(spare["number"].toInt(), 81);
    EXPECT_EQ(spare["dimmers"].toArray().size(), 432);
    EXPECT_EQ(spare["dimmers"].toArray()[0].toInt(), 81);
    const QJsonObject last = subMasters[399].toObject();
    EXPECT_EQ(last.keys(), (QStringList{"levels", "name", "number", "page"}));
    EXPECT_EQ(last["page"].toInt(), 20);
    EXPECT_EQ(last["number"].toInt(), 20);
    EXPECT_EQ(last["levels"].toArray().size(), 512);
}

TEST_F(ShowToolTest, BuildRejectsAnythingThatIsNotAShowAndWritesNothing)
{
    const QByteArray good = NewShowJson();
    const std::string kNeedTime = "0 から 35999 までの整数（0.1 秒単位）か、「90」「1:30」"
                                  "「1:30.5」の形で 59:59.9 までの時間の文字列が必要です";
    const QByteArray channel1 = "{\"number\": 1, \"name\": \"\", \"dimmers\": [1]}";
    const QByteArray sub1 = "{\"page\": 1, \"number\": 1, \"name\": \"\", \"levels\": [0, ";
    const QByteArray cue = "{\"number\": 15, \"label\": \"\", \"up\": 30, \"down\": 30, \"delay\": "
                           "0, \"follow\": null, \"look\": [0" +
                           QByteArray(", 0").repeated(79) + "]}";
    const QByteArray step = "[0" + QByteArray(", 0").repeated(79) + "]";
    const QByteArray chase = "{\"number\": 2, \"name\": \"\", \"steptime\": 500, \"crossfade\": "
                             "50, \"direction\": \"bounce\", \"restart\": true, \"submaster\": "
                             "[1, 3], \"steps\": [" +
                             step + "]}";
    const auto chases = [&](const QByteArray &list) {
        return QByteArray(good).replace("\"chases\": []", "\"chases\": [" + list + "]");
    };
    const auto changed = [&](const char *from, const QByteArray &to) {
        EXPECT_TRUE(chase.contains(from));
        return QByteArray(chase).replace(from, to);
    };
    const auto replaced = [&](const QByteArray &from, const QByteArray &to) {
        EXPECT_TRUE(good.contains(from));
        return QByteArray(good).replace(good.indexOf(from), from.size(), to);
    };
    struct Case
    {
        QByteArray json;
        std::string message; // what the one line must say after the file's name
    } cases[] = {
        {good.left(good.size() - 3), "行 492、列 15: 「,」か「}」が必要です"},
        {good + "x", "行 494、列 1: JSON の後に余分な文字があります"},
        {replaced("\"name\": \"\"", "\"name\": \"\", \"name\": \"x\""),
         "行 3、列 31: 項目「name」が二度あります"},
        {replaced("[1]", "[1.0]"), "行 3、列 43: 数は整数で書いてください"},
        {replaced("[1]", "[01]"), "行 3、列 43: 数の書き方が正しくありません"},
        {replaced("[1]", "[99999999999999999999]"), "行 3、列 43: 数が大きすぎます"},
        {replaced("\"name\": \"\"", "\"name\": \"\xff\""), "UTF-8 として読めない文字があります"},
        {replaced("\"name\": \"\"", "\"name\": \"a\tb\""),
         "行 3、列 29: 文字列に制御文字があります（\\n などで書いてください）"},
        {replaced("\"name\": \"\"", "\"name\": \"\\x\""),
         "行 3、列 29: 文字列のエスケープが正しくありません"},
        {replaced("\"name\": \"\"", "\"name\": " + QByteArray(40, '[') + QByteArray(40, ']')),
         "行 3、列 41: 入れ子が深すぎます"},
        {"[]", "全体: オブジェクトが必要です"},
        {replaced(channel1 + ",\n", ""), "channels: 81 件必要ですが 80 件あります"},
        {replaced("\"number\": 1,", "\"number\": 2,"),
         "channels[0].number: 1 でなければなりません"},
        {replaced("\"name\": \"\"", "\"name\": null"), "channels[0].name: 文字列が必要です"},
        {replaced("\"dimmers\": [1]", "\"dimmers\": [1], \"level\": 3"),
         "channels[0]: 不明な項目「level」があります"},
        {replaced(", \"dimmers\": [1]", ""), "channels[0]: 項目「dimmers」がありません"},
        {replaced("[1]", "[2147483648]"),
         "channels[0].dimmers[0]: -2147483648 から 2147483647 までの整数が必要です"},
        {replaced(sub1, "{\"page\": 1, \"number\": 1, \"name\": \"\", \"levels\": [256, "),
         "submasters[0].levels[0]: 0 から 255 までの整数が必要です"},
        {replaced(sub1, "{\"page\": 2, \"number\": 1, \"name\": \"\", \"levels\": [0, "),
         "submasters[0].page: 1 でなければなりません"},
        {replaced(sub1, "{\"page\": 1, \"number\": 1, \"name\": \"\", \"levels\": [true, "),
         "submasters[0].levels[0]: 0 から 255 までの整数が必要です"},
        {replaced("\"independent\": []", "\"independent\": [81]"),
         "independent[0]: 1 から 80 までの整数が必要です"},
        {replaced("\"independent\": []", "\"independent\": [3, 3]"),
         "independent[1]: 3 が二度あります"},
        {replaced("\"flash\"", "\"strobe\""), "flashmode: 「flash」か「solo」でなければなりません"},
        {replaced("\"fadetime\": 30", "\"fadetime\": 36000"), "fadetime: " + kNeedTime},
        {replaced("\"fadetime\": 30", "\"fadetime\": \"1:5\""), "fadetime: " + kNeedTime},
        {replaced("\"fadetime\": 30", "\"fadetime\": 30, \"chase\": []"),
         "全体: 不明な項目「chase」があります"},
        {replaced("\"curves\": []", "\"curves\": [{\"dimmer\": 3, \"curve\": \"cubic\", "
                                    "\"threshold\": 50, \"limit\": 100}]"),
         "curves[0].curve: "
         "「linear」「square」「hall-a」「hall-b」「switch」のどれかでなければなりません"},
        {replaced("\"curves\": []", "\"curves\": [{\"dimmer\": 3, \"curve\": \"linear\", "
                                    "\"threshold\": 50, \"limit\": 60}, {\"dimmer\": 3, "
                                    "\"curve\": \"square\", \"threshold\": 50, \"limit\": 100}]"),
         "curves[1]: 3 が二度あります"},
        {replaced("\"cues\": []", "\"cues\": [" + cue + ", " + cue + "]"),
         "cues[1]: キュー 1.5 はすでにあります。"},
        {replaced("\"cues\": []", "\"cues\": [" + QByteArray(cue).replace("15", "10000") + "]"),
         "cues[0].number: 10 から 9999 までの整数が必要です"},
        {replaced("\"cues\": []", "\"cues\": [" + QByteArray(cue).replace("null", "-1") + "]"),
         "cues[0].follow: " + kNeedTime},
        {replaced("\"cues\": []", "\"cues\": [" + QByteArray(cue).replace("[0, ", "[") + "]"),
         "cues[0].look: 80 件必要ですが 79 件あります"},
        {replaced("\"cues\": []",
                  "\"cues\": [" +
                      QByteArray(cue).replace("\"\"", '"' + QByteArray(256, 'x') + '"') + "]"),
         "cues[0]: ラベルは 255 文字までです。"},
        {replaced("\"cues\": []",
                  "\"cues\": [" + QByteArray(cue).replace("\"\"", "\"\\udc00\"") + "]"),
         "cues[0]: ラベルに文字として読めない部分があります。"},
        {chases(chase + ", " + chase), "chases[1]: チェイス 2 はすでにあります。"},
        {chases(chase + ", " + changed("\"number\": 2", "\"number\": 3")),
         "chases[1]: サブマスター 1-3 にはチェイス 2 が割り付けられています。"},
        {chases(changed("bounce", "sideways")),
         "chases[0].direction: 「forward」「backward」「bounce」「random」のどれかでなければなりま"
         "せん"},
        {chases(changed("true", "1")), "chases[0].restart: true か false が必要です"},
        {chases(changed("[1, 3]", "[21, 3]")),
         "chases[0].submaster[0]: 1 から 20 までの整数が必要です"},
        {chases(changed("[1, 3]", "[1]")), "chases[0].submaster: 2 件必要ですが 1 件あります"},
        {chases(changed("[0, ", "[")), "chases[0].steps[0]: 80 件必要ですが 79 件あります"},
        {chases(changed(step, (step + ", ").repeated(99) + step)),
         "chases[0].steps: 99 件までですが 100 件あります"},
        {chases(changed("\"name\": \"\"", "\"name\": \"a\\u0007\"")),
         "chases[0]: チェイスの名前に文字として読めない部分か制御文字があります。"},
    };
    const QString target = dir.Write("show.orin", "previous show");
    for (const Case &c : cases) {
        const QString json = dir.Write("bad.json", c.json);
        ASSERT_EQ(Run({"build", json, target}), 1) << c.message;
        const std::string line = err.str();
        EXPECT_EQ(line,
                  "orinsub-show: JSON ファイル「" + json.toStdString() + "」: " + c.message + "\n");
        EXPECT_EQ(ReadFile(target), "previous show");
    }
    EXPECT_EQ(Run({"build", dir.PathOf("missing.json"), dir.PathOf("out.orin")}), 1);
    EXPECT_NE(err.str().find("missing.json"), std::string::npos);
    EXPECT_FALSE(QFile::exists(dir.PathOf("out.orin")));
}

TEST_F(ShowToolTest, JsonFromBeforeTheAdditionsBuildsAShowWithout)
{
    QByteArray json = NewShowJson();
    json.truncate(json.indexOf("  ],\n  \"independent\""));
    ASSERT_EQ(Run({"build", dir.Write("old.json", json + "  ]\n}\n"), dir.PathOf("old.orin")}), 0)
        << err.str();
    EXPECT_EQ(ReadFile(dir.PathOf("old.orin")), ReadFile(dir.PathOf("new.orin")));
}

TEST_F(ShowToolTest, LongNamesAndEscapesSurviveBuild)
{
    const QByteArray good = NewShowJson();
    QByteArray json = good;
    json.replace(json.indexOf("\"name\": \"\""), 10,
                 "\"name\": \"" + QByteArray(300, 'n') + "\\u00e9\\\"\\\\\\n\\ud83c\\udfad\"");
    ASSERT_EQ(Run({"build", dir.Write("named.json", json), dir.PathOf("named.orin")}), 0)
        << err.str();
    model::COrinSUBDoc doc;
    ASSERT_TRUE(model::OpenShowFile(doc, dir.PathOf("named.orin")).IsOk());
    EXPECT_EQ(doc.Channel(0).m_name, QString(300, u'n') + QString::fromUtf16(u"é\"\\\n\U0001F3AD"));
}

TEST_F(ShowToolTest, BadShowsAndBadCommandsFailWithOneLine)
{
    const QString cut =
        dir.Write("cut.orin", ReadFile(dir.PathOf("none")) + QByteArray::fromHex("fffeff19"));
    for (const char *command : {"check", "dump"}) {
        EXPECT_EQ(Run({command, cut}), 1);
        EXPECT_TRUE(out.str().empty());
        const std::string message = err.str();
        EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1);
        EXPECT_NE(message.find(cut.toStdString()), std::string::npos);
    }
    EXPECT_EQ(Run({}), 1);
    EXPECT_EQ(Run({"check"}), 1);
    EXPECT_EQ(Run({"build", "only.json"}), 1);
    EXPECT_EQ(Run({"remove", "x.orin"}), 1);
    EXPECT_EQ(err.str().rfind("orinsub-show: 不明なコマンド「remove」です。", 0), 0u);
    EXPECT_EQ(Run({"new", dir.PathOf("no/such/folder.orin")}), 1);
}

TEST_F(ShowToolTest, CsvAndAsciiCarryEveryCueAndThePatchToAnotherShow)
{
    model::COrinSUBDoc doc;
    orinsub::testing::FillUnusualShow(doc);
    orinsub::testing::AddShowAdditions(doc);
    const QString original = dir.PathOf("full.orin");
    ASSERT_TRUE(model::SaveShowFile(doc, original).IsOk());
    model::ExchangedShow expected = model::ExchangedShowOf(doc);
    const auto importedShow = [&](const char *exportCommand, const char *importCommand) {
        EXPECT_EQ(Run({exportCommand, original}), 0) << err.str();
        const QString sheet = dir.Write("sheet", QByteArray::fromStdString(out.str()));
        const QString imported = dir.PathOf(QStringLiteral("%1.orin").arg(importCommand));
        EXPECT_EQ(Run({importCommand, sheet, imported}), 0) << err.str();
        EXPECT_EQ(out.str(), "キュー 999 個を取り込みました。\n");
        model::ShowFileRead read = model::ReadShowFile(imported);
        model::COrinSUBDoc back;
        std::move(read.content).ApplyTo(back);
        return model::ExchangedShowOf(back);
    };

    EXPECT_EQ(importedShow("export-csv", "import-csv").cues, expected.cues);
    model::CueList asciiCues = expected.cues;
    model::Cue twoLines = asciiCues.Cues()[1];
    twoLines.label.replace(u'\n', u' ');
    ASSERT_TRUE(asciiCues.Replace(twoLines).IsOk());
    expected.cues = asciiCues;
    EXPECT_EQ(importedShow("export-ascii", "import-ascii"), expected);

    EXPECT_EQ(Run({"export-csv", original, "levels"}), 1);
    EXPECT_EQ(Run({"import-ascii", original, dir.PathOf("x.orin")}), 1) << "a show is no ASCII";
    EXPECT_FALSE(QFile::exists(dir.PathOf("x.orin")));
}

TEST_F(ShowToolTest, ProgramExitsWithStatusAndMessage)
{
    QProcess tool;
    tool.start(ORINSUB_SHOW_TOOL, {"new", dir.PathOf("p.orin")});
    ASSERT_TRUE(tool.waitForFinished());
    EXPECT_EQ(tool.exitCode(), 0);
    EXPECT_EQ(QFileInfo(dir.PathOf("p.orin")).size(), model::kNewShowFileSize);

    tool.start(ORINSUB_SHOW_TOOL, {"check", dir.Write("bad.orin", "nonsense")});
    ASSERT_TRUE(tool.waitForFinished());
    EXPECT_EQ(tool.exitCode(), 1);
    EXPECT_TRUE(tool.readAllStandardOutput().isEmpty());
    const QString message = QString::fromUtf8(tool.readAllStandardError());
    EXPECT_TRUE(message.startsWith("orinsub-show: ")) << message.toStdString();
    EXPECT_TRUE(message.contains("bad.orin"));
}

TEST_F(ShowToolTest, BuildRefusesAShowTooLargeToOpenAgain)
{
    // Every sub-master named with 84,000 letters: 67,412,188 bytes as a show file.
    QByteArray show = NewShowJson();
    show.replace("\"name\": \"\", \"levels\"",
                 "\"name\": \"" + QByteArray(84'000, 'n') + "\", \"levels\"");
    const QString json = dir.Write("huge.json", show);
    const QString target = dir.Write("show.orin", "previous show");

    EXPECT_EQ(Run({"build", json, target}), 1);
    EXPECT_EQ(err.str(), "orinsub-show: ショーファイル「" + target.toStdString() +
                             "」を保存できませんでした（保存すると 67412188 バイトになり、開ける"
                             "大きさの上限 67108864 バイトを超えます）。元のファイルは変更されてい"
                             "ません。\n");
    EXPECT_EQ(ReadFile(target), "previous show");
    EXPECT_EQ(QDir(dir.Path()).entryList(QDir::Files | QDir::Hidden).size(), 3);
}

// Root passes every permission check, so the tool runs as nobody, as an operator would.
TEST_F(ShowToolTest, ShowTheUserMayNotWriteIsNeverReplaced)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to run the tool as another user through setpriv";
    const QString setpriv = QStandardPaths::findExecutable("setpriv");
    if (setpriv.isEmpty())
        GTEST_SKIP() << "setpriv (util-linux) is not installed";
    constexpr uid_t kNobody = 65534;
    // A copy of the tool, in case the build folder is closed to other users.
    const QString tool = dir.PathOf("orinsub-show");
    ASSERT_TRUE(QFile::copy(ORINSUB_SHOW_TOOL, tool));
    ASSERT_EQ(::chmod(QFile::encodeName(dir.Path()).constData(), 0711), 0);
    ASSERT_TRUE(QDir(dir.Path()).mkdir("shows"));
    const QString shows = dir.PathOf("shows");
    ASSERT_EQ(::chown(QFile::encodeName(shows).constData(), kNobody, kNobody), 0);

    struct Show
    {
        const char *name;
        uid_t owner;
        mode_t mode;
        bool replaced;
    } cases[] = {
        {"own.orin", kNobody, 0644, true}, // shows that nobody may save at all
        {"read-only.orin", kNobody, 0444, false},
        {"foreign.orin", 0, 0644, false},
    };
    for (const Show &show : cases) {
        const QString path = dir.Write(QString("shows/") + show.name, "previous show");
        const QByteArray native = QFile::encodeName(path);
        ASSERT_EQ(::chown(native.constData(), show.owner, show.owner), 0);
        ASSERT_EQ(::chmod(native.constData(), show.mode), 0);

        QProcess nobody;
        nobody.start(setpriv,
                     {"--reuid=65534", "--regid=65534", "--clear-groups", tool, "new", path});
        ASSERT_TRUE(nobody.waitForFinished()) << show.name;
        const std::string message = nobody.readAllStandardError().toStdString();
        struct stat st
        {
        };
        ASSERT_EQ(::stat(native.constData(), &st), 0);
        if (show.replaced) {
            EXPECT_EQ(nobody.exitCode(), 0) << message;
            EXPECT_EQ(QFileInfo(path).size(), model::kNewShowFileSize);
            continue;
        }
        EXPECT_EQ(nobody.exitCode(), 1) << show.name;
        EXPECT_EQ(message,
                  "orinsub-show: ショーファイル「" + path.toStdString() +
                      "」を保存できませんでした（アクセスの権限がありません）。元のファイル"
                      "は変更されていません。\n");
        EXPECT_EQ(ReadFile(path), "previous show") << show.name;
        EXPECT_EQ(st.st_uid, show.owner) << show.name;
        EXPECT_EQ(st.st_mode & 07777, show.mode) << show.name;
    }
    EXPECT_EQ(QDir(shows).entryList(QDir::Files | QDir::Hidden).size(), 3) << "no temporary file";
}
