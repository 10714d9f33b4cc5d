#include "AppTestSupport.h"
#include "app/AppResources.h"
#include "app/LiveDesk.h"
#include "app/LiveStateJournal.h"
#include "controls/FaderLabel.h"
#include "controls/SubFader.h"
#include "dmx/OrinZentra.h"
#include "views/DeskWatch.h"
#include "views/GoFade.h"

#include <QAction>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace orinsub;
using namespace orinsub::app;
using namespace std::chrono_literals;

namespace {

class LiveDeskTest : public orinsub::testing::MainWindowTest
{
protected:
    std::vector<uint8_t> Output() const
    {
        std::vector<uint8_t> frame;
        for (int slot = 1; slot < dmx::kFrameSize; ++slot)
            frame.push_back(model::g_orin.m_pZentra->GetOutputSlot(slot));
        return frame;
    }
};

// Everything an operator sets by hand, then a console started afresh.
TEST_F(LiveDeskTest, ARestoredDeskPlaysWhatTheCapturedOneDid)
{
    doc.GetSubMaster(2, 1)->m_name = QStringLiteral("Wash");
    doc.GetSubMaster(2, 1)->m_levels[4] = 250;
    Dan().MoveFaderTo(0, 0, 255);
    Dan().MoveFaderTo(1, 79, 40);
    Master().StepPage(true);
    Master().MoveSubFaderTo(0, 150); // plays page 2's first sub-master from now on
    Master().StepPage(false);
    Master().MoveCrossfader(180, 90);
    Master().SetCrossfaderLinked(true);
    Master().SetGrandMaster(200);
    Master().GetGoFade().SetFadeTime(12);
    frame->SetInputHook(views::InputTarget::RowB);
    const model::LiveState played = CaptureLiveState(*frame);
    const std::vector<uint8_t> output = Output();
    ASSERT_GT(output[4], 0);
    ASSERT_EQ(played.subFaders[0].page, 2);

    frame.reset();
    frame = std::make_unique<CMainFrame>(&doc);
    frame->OnInitialUpdate();
    ASSERT_TRUE(CaptureLiveState(*frame).IsFresh());
    RestoreLiveState(*frame, played);

    EXPECT_EQ(CaptureLiveState(*frame), played);
    EXPECT_EQ(Output(), output);
    EXPECT_EQ(Master().GetSubFader(0)->GetContentState(), controls::ContentState::HeldElsewhere);
    EXPECT_EQ(Master().GetNameLabel(0)->GetText(), QStringLiteral("Wash"));
    EXPECT_TRUE(frame->Command(kIdCrossfaderLink)->isChecked());
}

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
        QTest::qWait(10);
        journal->WaitForDisk();
    }
    std::optional<model::LiveState> OnDisk() const
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return std::nullopt;
        return model::LiveStateFile::Decode(file.readAll()).state;
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
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(model::LiveStateFile::Encode(desk));
    file.close();
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

} // namespace
