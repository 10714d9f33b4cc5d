#include "ArtNetConsole.h"
#include "model/OrinSUBDoc.h"
#include "model/ShowFile.h"
#include "model/ShowFileTestShows.h"
#include "support/TempFiles.h"

#include <QDir>
#include <QFile>

namespace {

using namespace orinsub;
using orinsub::testing::ArtNetFrames;
using orinsub::testing::LoopbackUdp;

class HandOverTest : public orinsub::testing::ArtNetConsoleTest
{
protected:
    QString Write(const QString &name, const QByteArray &bytes)
    {
        EXPECT_TRUE(orinsub::testing::WriteFile(folder.filePath(name), bytes));
        return folder.filePath(name);
    }
    /// A start with only the show, as a double click in the file manager makes it.
    void HandOver(const QString &show)
    {
        QProcess second;
        second.setProcessEnvironment(Environment());
        second.start(QStringLiteral(ORINSUB_EXECUTABLE), {show});
        ASSERT_TRUE(second.waitForFinished(30000));
        EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
        const QString said = QString::fromLocal8Bit(second.readAllStandardOutput());
        EXPECT_TRUE(said.contains(show) && said.count(u'\n') == 1) << said.toStdString();
    }
};

// Each show makes the running console ask or warn; the client has long gone when the operator
// answers, and the console goes on playing the stage as it was.
TEST_F(HandOverTest, AShowThatMakesTheConsoleAskLeavesItRunningAndSending)
{
    const std::unique_ptr<LoopbackUdp> socket = BindArtNet();
    ASSERT_TRUE(socket);
    ArtNetFrames artNet(*socket);
    model::COrinSUBDoc doc;
    const QString evening = folder.filePath("evening.orin");
    ASSERT_TRUE(model::SaveShowFile(doc, evening).IsOk());
    const QByteArray plain = model::ShowFileWriter::Encode(doc);
    doc.SetFadeTime(50); // the show has an extension block, whose checksum breaks below
    QByteArray damaged = model::ShowFileWriter::Encode(doc);
    damaged[damaged.size() - 1] = static_cast<char>(damaged.back() ^ 0x5a);
    const QByteArray newer = plain + orinsub::testing::ExtensionBlockBytes(
                                         orinsub::testing::ExtensionRecordBytes(3, "\x0c"),
                                         model::kExtensionVersion + 1);
    const struct
    {
        QString show;
        bool changedFirst; // the save question comes first, and Escape keeps the show
        const char *key;
    } cases[] = {
        {folder.filePath("none.orin"), false, "Return"},
        {Write("damaged.orin", damaged), false, "Return"},
        {Write("newer.orin", newer), false, "Return"},
        {Write("other.orin", plain), true, "Escape"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.show.toStdString());
        StartPlayedConsole({evening});
        ASSERT_TRUE(WaitForTitle("evening - OrinSUB"));
        Osc("A/1", 255);
        Osc("xfade/A", 200);
        if (c.changedFirst) {
            Osc("go/time", 4);
            ASSERT_TRUE(WaitForTitle("evening\\* - OrinSUB"));
        }
        ASSERT_FALSE(
            artNet.WaitFor([](const std::vector<uint8_t> &frame) { return frame[0] == 200; })
                .empty());

        HandOver(c.show);
        const std::optional<QString> box = WindowShown("OrinSUB");
        ASSERT_TRUE(box);
        ASSERT_TRUE(XDo({"windowfocus", "--sync", *box}));
        ASSERT_TRUE(XDo({"key", c.key}));
        ASSERT_TRUE(WaitUntilGone("OrinSUB"));

        ASSERT_EQ(console.state(), QProcess::Running) << console.exitCode();
        artNet.Drain();
        const std::vector<uint8_t> after = artNet.Next();
        ASSERT_FALSE(after.empty()) << "the output stopped";
        EXPECT_EQ(after[0], 200);
        EXPECT_TRUE(WaitForTitle(c.changedFirst ? "evening\\* - OrinSUB" : "evening - OrinSUB"));
        console.kill();
        console.waitForFinished();
        QDir(StateFolder()).removeRecursively(); // the next case starts without a look to restore
    }
}

} // namespace
