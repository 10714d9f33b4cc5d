#include "controls/SubFader.h"
#include "RecordingPane.h"
#include "controls/ConsoleLook.h"
#include "controls/Dan.h"
#include "controls/DanFader.h"
#include "controls/FaderLabel.h"
#include "controls/OutputLevels.h"
#include "model/OrinGlobal.h"
#include "model/OrinSUBDoc.h"
#include "model/UndoRecord.h"

#include <QWidget>
#include <gtest/gtest.h>

using namespace orinsub::controls;
using orinsub::testing::RecordingPane;
namespace model = orinsub::model;

namespace {

class Host : public SubFaderHost
{
public:
    int GetPage() const override { return page; }
    QPoint GetSavedScrollPos() const override { return saved; }
    int page = 1;
    QPoint saved;
};

class FullOutput : public OutputLevels
{
public:
    uint8_t GetOutputDisplayLevel(int) const override { return 200; }
};

// Sub fader 3 as the master pane sets it up, on page 1.
class SubFaderTest : public ::testing::Test
{
protected:
    SubFaderTest()
    {
        model::g_orin.m_pDoc = &doc;
        label.SetParent(&parent);
        label.Create(130, 230, 50, 60);
        fader.SetBitmap(kKnobSub);
        fader.SetSelectedBitmap(kKnobSubSelected);
        fader.SetView(&pane);
        fader.SetHost(&host);
        fader.SetGeometry(155, 110, 160, 50, 180);
        fader.SetTrackExtension(20, 90);
        fader.SetPageNumber(1, 3);
        fader.SetLabel(&label);
        doc.GetSubMaster(3, 3)->m_name = QStringLiteral("page 3 look");
        doc.GetSubMaster(2, 3)->m_levels[0] = 10;
    }
    ~SubFaderTest() override { model::g_orin = model::COrinGlobal{}; }

    void Raise(int level)
    {
        fader.SetSelected(true, QPoint(155, 100));
        fader.DragTo(QPoint(155, 100 - level * 160 / 255 - 1));
        fader.SetSelected(false, QPoint());
    }

    model::COrinSUBDoc doc;
    RecordingPane pane;
    Host host;
    QWidget parent;
    CFaderLabel label;
    CSubFader fader;
};

} // namespace

TEST_F(SubFaderTest, AtZeroItFollowsThePageShownWhenItRebinds)
{
    host.page = 3;
    fader.SetLevelAndRedraw(5);
    fader.SetLevelAndRedraw(0);
    int page = 0, number = 0;
    fader.GetPageNumber(page, number);
    EXPECT_EQ(page, 3);
    EXPECT_EQ(number, 3);
    EXPECT_EQ(label.GetText(), QStringLiteral("page 3 look"));
    EXPECT_EQ(fader.GetContentState(), ContentState::Empty);
}

TEST_F(SubFaderTest, RaisedItKeepsItsSubMasterUntilPulledDown)
{
    Raise(128);
    EXPECT_GT(fader.GetLevel(), 100);
    host.page = 2;
    // What the pane's page change does for a held fader.
    fader.SetContentState(ContentState::HeldElsewhere);
    EXPECT_EQ(fader.GetGrooveColor(), QColor(127, 0, 0));
    EXPECT_EQ(fader.GetPage(), 1);

    fader.SetSelected(true, QPoint(155, 100));
    fader.DragTo(QPoint(155, 400));
    EXPECT_EQ(fader.GetLevel(), 0);
    EXPECT_EQ(fader.GetPage(), 2);
    EXPECT_EQ(fader.GetContentState(), ContentState::HasLevels)
        << "page 2's sub-master 3 has a level";
    EXPECT_EQ(fader.GetGrooveColor(), QColor(0, 127, 0));
}

TEST_F(SubFaderTest, ContentStateRepaintsOnlyOnChange)
{
    fader.SetContentState(ContentState::HasLevels);
    EXPECT_TRUE(pane.WasInvalidated(fader.GetTrackRect()));
    pane.invalidated.clear();
    fader.SetContentState(ContentState::HasLevels);
    EXPECT_TRUE(pane.invalidated.empty());
    fader.SetContentState(static_cast<ContentState>(7));
    EXPECT_EQ(fader.GetContentState(), ContentState::Empty);
}

TEST_F(SubFaderTest, StoresGoToThePageShownAndMarkTheShowModified)
{
    Raise(128); // plays page 1
    host.page = 2;
    fader.SetContentState(ContentState::HeldElsewhere);
    fader.StoreLevelsFromOutput(FullOutput());
    EXPECT_EQ(doc.GetSubMaster(2, 3)->m_levels[79], 200);
    EXPECT_EQ(doc.GetSubMaster(2, 3)->m_levels[80], 0);
    EXPECT_EQ(doc.GetSubMaster(1, 3)->m_levels[0], 0) << "not the sub-master it plays";
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(fader.GetContentState(), ContentState::HeldElsewhere) << "a red fader stays red";
}

TEST_F(SubFaderTest, StoreFromARowLeavesTheRestOfTheTable)
{
    CDan row;
    CDanFader f1, f2;
    f1.SetLevel(11);
    f2.SetLevel(22);
    row.AddFader(&f1);
    row.AddFader(&f2);
    doc.GetSubMaster(1, 3)->m_levels[2] = 99;
    fader.StoreLevelsFromRow(row);
    const auto &levels = doc.GetSubMaster(1, 3)->m_levels;
    EXPECT_EQ(levels[0], 11);
    EXPECT_EQ(levels[1], 22);
    EXPECT_EQ(levels[2], 99);
    EXPECT_EQ(fader.GetContentState(), ContentState::HasLevels);
}

TEST_F(SubFaderTest, CopyTakesTheLevelsAndNameOfTheOtherFadersSubMaster)
{
    model::CSubMaster &source = *doc.GetSubMaster(1, 7);
    source.m_levels.assign(100, 5);
    source.m_name = QStringLiteral("wash");
    doc.GetSubMaster(1, 3)->m_levels[300] = 9;
    CSubFader other;
    other.SetPageNumber(1, 7);
    fader.CopyFromSubFader(other);
    const model::CSubMaster &target = *doc.GetSubMaster(1, 3);
    EXPECT_EQ(target.m_levels[99], 5);
    EXPECT_EQ(target.m_levels[300], 0) << "past the source's end counts as 0";
    EXPECT_EQ(target.m_name, QStringLiteral("wash"));
    EXPECT_EQ(label.GetText(), QStringLiteral("wash"));
}

TEST_F(SubFaderTest, RestoreBringsBackTheSavedLevelsAndName)
{
    model::UndoRecord record;
    doc.GetSubMaster(1, 3)->m_levels[4] = 44;
    doc.GetSubMaster(1, 3)->m_name = QStringLiteral("before");
    record.RecordSubMaster(1, 3);
    doc.GetSubMaster(1, 3)->m_levels.assign(512, 0);
    doc.GetSubMaster(1, 3)->m_name.clear();
    fader.RestoreFrom(record);
    EXPECT_EQ(doc.GetSubMaster(1, 3)->m_levels[4], 44);
    EXPECT_EQ(label.GetText(), QStringLiteral("before"));
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(SubFaderTest, CaptionBandsBelongToTheHitArea)
{
    // Track y 20..200; the hit area reaches 20 above and 90 below.
    EXPECT_EQ(fader.HitTest(QPoint(155, 1)), FaderHit::Track);
    EXPECT_EQ(fader.HitTest(QPoint(155, 289)), FaderHit::Track);
    EXPECT_EQ(fader.HitTest(QPoint(155, 290)), FaderHit::None);
    EXPECT_EQ(fader.HitTest(QPoint(155, 110 + 80)), FaderHit::Knob);
    host.saved = QPoint(0, 10);
    EXPECT_EQ(fader.GetTrackRect().top(), -10) << "made client with the remembered scroll";
}
