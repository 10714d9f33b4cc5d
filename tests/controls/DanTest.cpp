#include "controls/Dan.h"
#include "RecordingPane.h"
#include "controls/ConsoleLook.h"
#include "controls/DanFader.h"
#include "controls/OutputLevels.h"
#include "controls/SubFader.h"
#include "model/OrinGlobal.h"
#include "model/OrinSUBDoc.h"
#include "model/UndoRecord.h"

#include <gtest/gtest.h>
#include <memory>

using namespace orinsub::controls;
using orinsub::testing::RecordingPane;
namespace model = orinsub::model;

namespace {

// A row of 80 faders laid out as the preset pane lays out row A.
class RowTest : public ::testing::Test
{
protected:
    RowTest()
    {
        row.SetIndex(0);
        row.SetState(RowState::OffAir);
        for (int ch = 1; ch <= 80; ++ch) {
            auto fader = std::make_unique<CDanFader>();
            fader->SetRow(&row);
            fader->SetChannel(ch);
            fader->SetView(&pane);
            fader->SetReadoutAtTop(1);
            fader->SetBitmap(ch % 10 ? kKnobChannel : kKnobTenth);
            fader->SetSelectedBitmap(ch % 10 ? kKnobChannelSelected : kKnobTenthSelected);
            fader->SetGeometry(40 * ch - 16, 103, 124, 40, 146);
            row.AddFader(fader.get());
            faders.push_back(std::move(fader));
        }
        model::g_orin.m_pDoc = &doc;
    }
    ~RowTest() override { model::g_orin = model::COrinGlobal{}; }

    CDanFader &Fader(int ch) { return *faders[ch - 1]; }

    RecordingPane pane;
    CDan row;
    std::vector<std::unique_ptr<CDanFader>> faders;
    model::COrinSUBDoc doc;
};

class FixedOutput : public OutputLevels
{
public:
    uint8_t GetOutputDisplayLevel(int index) const override
    {
        return index < 80 ? static_cast<uint8_t>(index + 100) : 0;
    }
};

} // namespace

TEST_F(RowTest, ChannelLevelOutsideTheRowIsZero)
{
    Fader(1).SetLevel(9);
    Fader(80).SetLevel(7);
    EXPECT_EQ(row.GetChannelLevel(1), 9);
    EXPECT_EQ(row.GetChannelLevel(80), 7);
    EXPECT_EQ(row.GetChannelLevel(0), 0);
    EXPECT_EQ(row.GetChannelLevel(-3), 0);
    EXPECT_EQ(row.GetChannelLevel(81), 0);
}

TEST_F(RowTest, CopiesSetEveryFaderAndUnhookIt)
{
    for (auto &f : faders) {
        f->SetHooked(true);
        f->SetLevel(50);
    }
    row.CopyLevelsFromArray({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    EXPECT_EQ(Fader(10).GetLevel(), 10);
    EXPECT_EQ(Fader(11).GetLevel(), 0);
    EXPECT_EQ(Fader(80).GetLevel(), 0);
    for (auto &f : faders)
        EXPECT_FALSE(f->IsHooked());
    EXPECT_TRUE(pane.invalidated.empty()) << "the caller repaints the row";

    row.CopyLevelsFromOutput(FixedOutput());
    EXPECT_EQ(Fader(1).GetLevel(), 100);
    EXPECT_EQ(Fader(80).GetLevel(), 179);

    model::CSubMaster &sub = *doc.GetSubMaster(4, 2);
    sub.m_levels.assign(30, 0);
    sub.m_levels[29] = 77;
    CSubFader holder;
    holder.SetPageNumber(4, 2);
    row.CopyLevelsFromSubMaster(holder);
    EXPECT_EQ(Fader(30).GetLevel(), 77);
    EXPECT_EQ(Fader(31).GetLevel(), 0) << "past the end of a short table reads 0";
}

TEST_F(RowTest, RecordRowSavesTheLevelsForUndo)
{
    Fader(3).SetLevel(33);
    model::UndoRecord record;
    RecordRow(record, row);
    EXPECT_TRUE(record.m_valid);
    EXPECT_EQ(record.m_page, 0);
    EXPECT_EQ(record.m_index, 0);
    ASSERT_EQ(record.m_levels.size(), 80u);
    EXPECT_EQ(record.m_levels[2], 33);
}

TEST_F(RowTest, RectCoversTheTracksFromTheLeftEdgeClippedToTheClient)
{
    pane.client = QRect(0, 0, 1192, 392);
    EXPECT_EQ(row.GetRect(), QRect(0, 30, 1192, 146));
}

TEST_F(RowTest, ReadoutSitsAtTheTopOfTheTrackNarrowerThanTheKnob)
{
    CDanFader &f = Fader(1);
    f.SetLevel(0);
    EXPECT_EQ(f.GetReadoutRect(), QRect(24 - 14 + 6, 30 + 6 + 1, 28 - 12, 16 - 2));
    f.SetLevel(255);
    EXPECT_EQ(f.GetReadoutRect(), QRect(24 - 14 + 6, 30 + 6 + 1, 28 - 12, 16 - 2));
}

TEST_F(RowTest, HookedFaderActivityRestartsOnChangeAndRunsDown)
{
    CDanFader &f = Fader(5);
    f.SetHooked(true);
    f.SetLevelAndRedraw(40);
    EXPECT_EQ(f.m_activity, 15);
    for (int i = 0; i < 14; ++i)
        f.SetLevelAndRedraw(40);
    EXPECT_EQ(f.m_activity, 1);
    pane.invalidated.clear();
    f.SetLevelAndRedraw(40);
    EXPECT_EQ(f.m_activity, 0);
    EXPECT_TRUE(pane.WasInvalidated(f.GetReadoutRect())) << "the readout disappears";
    pane.invalidated.clear();
    f.SetLevelAndRedraw(40);
    EXPECT_EQ(f.m_activity, 0);
    EXPECT_TRUE(pane.invalidated.empty()) << "an unchanged input repaints nothing";
}

TEST_F(RowTest, GrabbingAFaderTheInputMovesUnhooksItAndEndsItsReadoutCountdown)
{
    CDanFader &f = Fader(5);
    f.SetHooked(true);
    f.SetLevelAndRedraw(40); // moved by the input: its readout shows
    f.DragTo(QPoint(f.GetX(), 50));
    EXPECT_FALSE(f.IsHooked());
    EXPECT_EQ(f.m_activity, 0) << "no tick counts it down any more: it would show for good";
    EXPECT_GT(f.GetLevel(), 40);
}

TEST_F(RowTest, SelectingAFaderSweepsTheRowUntilOneIsReleased)
{
    Fader(3).SetSelected(true, QPoint());
    EXPECT_TRUE(row.GetSweep());
    EXPECT_TRUE(pane.WasInvalidated(Fader(3).GetKnobRect()));
    EXPECT_TRUE(pane.WasInvalidated(Fader(3).GetReadoutRect()));
    Fader(3).SetSelected(false, QPoint());
    EXPECT_FALSE(row.GetSweep());
}

TEST_F(RowTest, ShowReadoutsRepaintsEveryTrack)
{
    row.SetShowReadouts(true);
    EXPECT_TRUE(row.GetShowReadouts());
    EXPECT_EQ(pane.invalidated.size(), 80u);
    EXPECT_TRUE(pane.WasInvalidated(Fader(80).GetTrackRect()));
}
