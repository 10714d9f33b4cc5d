#include "app/RecoveryCopy.h"
#include "AppTestSupport.h"
#include "app/RecentFileList.h"
#include "app/RecoverySlot.h"
#include "app/ShowDocument.h"
#include "model/OrinSUBDoc.h"
#include "model/ShowFile.h"
#include "support/ScriptedSeams.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace orinsub;
using namespace orinsub::app;
using namespace std::chrono_literals;

namespace {

// A show controller without a window, its copies kept every few milliseconds in a folder of
// the test's own.
class RecoveryCopyTest : public ::testing::Test
{
protected:
    std::unique_ptr<CRecoverySlot> Claim()
    {
        QString error;
        auto slot = CRecoverySlot::Claim(folder.path(), error);
        EXPECT_TRUE(slot) << error.toStdString();
        return slot;
    }
    void StartCopies() { copies = std::make_unique<CRecoveryCopy>(Claim(), doc, show, 10ms); }
    void Rename(const QString &name)
    {
        doc.Channel(0).SetName(name);
        doc.SetModifiedFlag(true);
    }
    /// Waits until channel 1 has this name in the copy.
    bool CopyHolds(const QString &name)
    {
        return QTest::qWaitFor([&] {
            const model::ShowFileRead read = model::ReadShowFile(CopyPath());
            return read.result.IsOk() && read.content.channels.at(0).name == name;
        });
    }
    QString CopyPath() const { return folder.filePath("recovery-1.orin"); }
    QString SideFile() const { return folder.filePath("recovery-1.path"); }

    orinsub::testing::PrivateSettings settings;
    orinsub::testing::ScriptedQuestions questions;
    QTemporaryDir folder;
    model::COrinSUBDoc doc;
    CRecentFileList recent;
    CShowDocument show{doc, recent};
    std::unique_ptr<CRecoveryCopy> copies;
};

TEST_F(RecoveryCopyTest, ModifiedShowIsCopiedWithItsPathUntilItIsSaved)
{
    const QString path = folder.filePath("show.orin");
    ASSERT_TRUE(model::SaveShowFile(doc, path).IsOk());
    ASSERT_TRUE(show.OpenDocumentFile(path));
    StartCopies();
    QTest::qWait(50);                        // five of the copy's 10 ms looks
    EXPECT_FALSE(QFile::exists(CopyPath())); // nothing unsaved, nothing to keep

    Rename("Wash");
    ASSERT_TRUE(CopyHolds("Wash"));
    QFile side(SideFile());
    ASSERT_TRUE(side.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(side.readAll()), QFileInfo(path).absoluteFilePath());

    Rename("Spot"); // still modified: the copy follows every later change
    ASSERT_TRUE(CopyHolds("Spot"));

    ASSERT_TRUE(show.OnFileSave());
    copies->WaitForDisk();
    EXPECT_FALSE(QFile::exists(CopyPath()));
    EXPECT_FALSE(QFile::exists(SideFile()));
}

TEST_F(RecoveryCopyTest, UntitledShowIsCopiedAndANormalCloseRemovesTheCopy)
{
    StartCopies();
    Rename("Wash");
    ASSERT_TRUE(CopyHolds("Wash"));
    EXPECT_EQ(QFileInfo(SideFile()).size(), 0);

    copies->Discard(); // closed with the show left unsaved on purpose
    EXPECT_FALSE(QFile::exists(CopyPath()));
    QTest::qWait(50); // five of the copy's 10 ms looks: none brings it back
    EXPECT_FALSE(QFile::exists(CopyPath()));
}

TEST_F(RecoveryCopyTest, ConsolesRunningAtOnceKeepTheirCopiesApart)
{
    auto first = Claim();
    auto second = Claim();
    ASSERT_TRUE(first && second);
    EXPECT_NE(first->CopyPath(), second->CopyPath());

    // Both consoles gone, the second one leaving a copy: the next console takes that slot.
    QFile copy(second->CopyPath());
    ASSERT_TRUE(copy.open(QIODevice::WriteOnly));
    copy.close();
    const QString left = second->CopyPath();
    first.reset();
    second.reset();
    const auto next = Claim();
    ASSERT_TRUE(next);
    EXPECT_EQ(next->CopyPath(), left);
    ASSERT_TRUE(next->Left());
    EXPECT_TRUE(next->Left()->original.isEmpty());
}

} // namespace
