#include "app/LiveStateJournal.h"
#include "support/TempFiles.h"
#include "views/DeskWatch.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace orinsub;
using namespace orinsub::app;
using namespace std::chrono_literals;

namespace {

// The journal on a desk of its own, read as soon as the event loop turns.
class LiveStateJournalTest : public ::testing::Test
{
protected:
    void Start(std::optional<model::LiveState> onDisk = std::nullopt)
    {
        journal = std::make_unique<CLiveStateJournal>(
            path, [this] { return desk; }, std::move(onDisk), 0ms);
    }
    /// The desk changed: the journal reads it and the worker has done what it was asked.
    void ChangeAndSettle()
    {
        views::NotifyDeskChanged();
        QCoreApplication::processEvents(); // the journal's timer, due at once
        journal->WaitForDisk();
    }
    std::optional<model::LiveState> OnDisk() const
    {
        return model::LiveStateFile::Decode(orinsub::testing::ReadFile(path)).state;
    }

    QTemporaryDir folder;
    const QString path = folder.filePath("recovery-1.live");
    model::LiveState desk;
    std::unique_ptr<CLiveStateJournal> journal;
};

TEST_F(LiveStateJournalTest, WritesADeskThatChangedOnlyAndDropsTheFileForAFreshOne)
{
    Start();
    ChangeAndSettle();
    EXPECT_FALSE(QFile::exists(path)) << "a fresh desk has nothing to bring back";

    desk.rows[0][0] = 10;
    ChangeAndSettle();
    EXPECT_EQ(OnDisk(), desk);

    QFile::remove(path); // an unchanged desk is not written again
    ChangeAndSettle();
    EXPECT_FALSE(QFile::exists(path));

    desk.blackout = true;
    ChangeAndSettle();
    EXPECT_EQ(OnDisk(), desk);

    desk = {};
    ChangeAndSettle();
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(LiveStateJournalTest, ARestoredFileStaysUntilTheDeskDiffersAndANormalCloseRemovesIt)
{
    desk.handles = {255, 0};
    ASSERT_TRUE(orinsub::testing::WriteFile(path, model::LiveStateFile::Encode(desk)));
    Start(desk);
    ChangeAndSettle();
    EXPECT_EQ(OnDisk(), desk);

    desk.showPath = QStringLiteral("/shows/other.orin");
    ChangeAndSettle();
    EXPECT_EQ(OnDisk(), desk);

    journal->Discard();
    EXPECT_FALSE(QFile::exists(path));
    desk.rows[1][1] = 99;
    ChangeAndSettle();
    EXPECT_FALSE(QFile::exists(path)) << "nothing after the close";
}

// A stop signal within the delay: the desk as it is goes to the disk at once, and stays.
TEST_F(LiveStateJournalTest, AStopKeepsTheDeskAsItIsForTheNextStart)
{
    journal = std::make_unique<CLiveStateJournal>(
        path, [this] { return desk; }, std::nullopt, 1h);
    desk.rows[1][4] = 200;
    views::NotifyDeskChanged();
    journal->KeepForNextStart();
    EXPECT_EQ(OnDisk(), desk);
    const model::LiveState kept = desk;
    desk = {};
    views::NotifyDeskChanged();
    journal->Discard();
    EXPECT_EQ(OnDisk(), kept);
}

} // namespace
