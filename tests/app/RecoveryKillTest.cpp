#include "XvfbConsole.h"
#include "model/OrinSUBDoc.h"
#include "model/ShowFile.h"

#include <QDir>
#include <csignal>

namespace {

using namespace orinsub;

class RecoveryKillTest : public orinsub::testing::XvfbConsoleTest
{
protected:
    QByteArray Dump(const QString &show)
    {
        QProcess tool;
        tool.start(QStringLiteral(ORINSUB_SHOW_TOOL), {"dump", show});
        EXPECT_TRUE(tool.waitForFinished(20000));
        EXPECT_EQ(tool.exitCode(), 0) << show.toStdString();
        return tool.readAllStandardOutput();
    }
};

TEST_F(RecoveryKillTest, WorkTypedThirtySecondsBeforeAKillIsRestoredAtTheNextStart)
{
    const QString show = folder.filePath("evening.orin");
    const QString expected = folder.filePath("expected.orin");
    {
        model::COrinSUBDoc doc;
        ASSERT_TRUE(model::SaveShowFile(doc, show).IsOk());
        doc.GetSubMaster(1, 1)->m_name = QStringLiteral("Wash");
        ASSERT_TRUE(model::SaveShowFile(doc, expected).IsOk());
    }

    StartConsole({show});
    ASSERT_TRUE(FocusWindow("evening - OrinSUB"));
    // Tab takes the keyboard into the first sub-master's name.
    ASSERT_TRUE(XDo({"key", "Tab"}));
    ASSERT_TRUE(XDo({"type", "--delay", "20", "Wash"}));
    ASSERT_TRUE(WaitForTitle("evening\\* - OrinSUB"));
    QTest::qWait(32000); // the copy is due 30 s after the change
    ASSERT_TRUE(Signal(SIGKILL));

    const QString copy = folder.filePath("state/OrinSUB/recovery-1.orin");
    ASSERT_TRUE(QFile::exists(copy));
    EXPECT_EQ(Dump(copy), Dump(expected));

    // Restored, the show is the modified one from before, saved under its own name.
    StartConsole({"--restore", "yes"});
    ASSERT_TRUE(FocusWindow("evening\\* - OrinSUB"));
    ASSERT_TRUE(XDo({"key", "ctrl+s"}));
    ASSERT_TRUE(WaitForTitle("evening - OrinSUB"));
    ASSERT_TRUE(Signal(SIGTERM));
    EXPECT_EQ(console.exitCode(), 0);
    EXPECT_EQ(Dump(show), Dump(expected));
    EXPECT_TRUE(QDir(folder.filePath("state/OrinSUB")).entryList({"*.orin"}).isEmpty());
}

} // namespace
