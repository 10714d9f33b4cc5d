#include "controls/CrossFader.h"
#include "RecordingPane.h"

#include <gtest/gtest.h>
#include <vector>

using namespace orinsub::controls;
using orinsub::testing::RecordingPane;

namespace {

// The crossfader as the master pane places it.
class CrossFaderTest : public ::testing::Test
{
protected:
    CrossFaderTest()
    {
        cross.SetView(&pane);
        cross.SetGeometry(1168, 110, 160, 96, 180);
        cross.SetMovedHandler([this](int handle, uint8_t level) {
            moves.push_back({handle, level});
        });
    }
    CCross1Fader &A() { return *cross.GetHandleA(); }
    CCross1Fader &B() { return *cross.GetHandleB(); }

    RecordingPane pane;
    CCrossFader cross;
    std::vector<std::pair<int, int>> moves;
};

int CentreX(const QRect &r)
{
    return (r.left() + r.left() + r.width()) / 2;
}

} // namespace

TEST_F(CrossFaderTest, StartsWithRowBOnAirAndKnobsBesideTheCentre)
{
    EXPECT_EQ(A().GetLevel(), 0);
    EXPECT_EQ(B().GetLevel(), 255);
    EXPECT_EQ(A().GetOnAirState(), RowState::OffAir);
    EXPECT_EQ(B().GetOnAirState(), RowState::OnAir);
    EXPECT_EQ(CentreX(A().GetKnobRect()), 1168 - 21);
    EXPECT_EQ(CentreX(B().GetKnobRect()), 1168 + 21);
    EXPECT_EQ(A().GetTrackRect(), QRect(1120, 20, 48, 180));
    EXPECT_EQ(B().GetTrackRect(), QRect(1168, 20, 48, 180));
    EXPECT_EQ(A().GetKnobRect().bottom() + 1, B().GetKnobRect().bottom() + 1)
        << "both knobs rest at the bottom";
}

TEST_F(CrossFaderTest, LinkedHandlesMoveTogetherInOppositeLevels)
{
    A().SetLevel(100);
    B().SetLevel(200);
    cross.SetLinked(true, QPoint());
    A().SetSelected(true, QPoint(1147, 150));
    EXPECT_TRUE(B().IsFollowing());
    cross.DragTo(QPoint(1147, 150 - 32));
    EXPECT_EQ(A().GetLevel(), 151);
    EXPECT_EQ(B().GetLevel(), 149);
    EXPECT_EQ(moves, (std::vector<std::pair<int, int>>{{0, 151}, {1, 149}}));
    A().SetSelected(false, QPoint());
    EXPECT_FALSE(B().IsFollowing());
    EXPECT_FALSE(cross.IsHandleGrabbed());
}

TEST_F(CrossFaderTest, LinkedHandlesClampEachByItself)
{
    A().SetLevel(250);
    B().SetLevel(5);
    cross.SetLinked(true, QPoint());
    A().SetSelected(true, QPoint(1147, 150));
    cross.DragTo(QPoint(1147, 118));
    EXPECT_EQ(A().GetLevel(), 255);
    EXPECT_EQ(B().GetLevel(), 0);
    cross.DragTo(QPoint(1147, 150));
    EXPECT_EQ(A().GetLevel(), 250);
    EXPECT_EQ(B().GetLevel(), 5);
}

TEST_F(CrossFaderTest, UnlinkedOnlyTheGrabbedHandleMoves)
{
    B().SetSelected(true, QPoint(1189, 190)); // B at 255 rests at the bottom
    cross.DragTo(QPoint(1189, 190 - 80));
    EXPECT_EQ(B().GetLevel(), 255 - 127);
    EXPECT_EQ(A().GetLevel(), 0);
    EXPECT_EQ(moves.size(), 1u);
}

TEST_F(CrossFaderTest, LinkingMidDragTakesTheOtherHandleAlongFromTheCursor)
{
    A().SetSelected(true, QPoint(1147, 190));
    cross.DragTo(QPoint(1147, 190 - 32));
    EXPECT_EQ(A().GetLevel(), 51);
    cross.SetLinked(true, QPoint(1147, 158));
    EXPECT_TRUE(B().IsFollowing());
    cross.DragTo(QPoint(1147, 158 - 32));
    EXPECT_EQ(A().GetLevel(), 102);
    EXPECT_EQ(B().GetLevel(), 255 - 51);

    cross.SetLinked(false, QPoint());
    EXPECT_FALSE(B().IsFollowing());
    cross.DragTo(QPoint(1147, 158 - 64));
    EXPECT_EQ(B().GetLevel(), 255 - 51) << "unlinked, B stays";
}

TEST_F(CrossFaderTest, LinkingSwapsToTheLargerKnobsAndDrawsTheBar)
{
    EXPECT_EQ(A().GetKnobRect().size(), QSize(40, 48));
    cross.ToggleLink(QPoint());
    EXPECT_TRUE(cross.IsLinked());
    EXPECT_EQ(A().GetKnobRect().size(), QSize(42, 52));
    EXPECT_EQ(B().GetKnobRect().size(), QSize(42, 52));
    EXPECT_EQ(A().GetKnobRect().right() + 1, B().GetKnobRect().left()) << "linked knobs touch";
    const QRect bar = cross.GetLinkRect();
    EXPECT_TRUE(pane.WasInvalidated(bar));
    cross.ToggleLink(QPoint());
    EXPECT_EQ(A().GetKnobRect().size(), QSize(40, 48));
}

TEST_F(CrossFaderTest, ClickOnTheTrackGrabsWithoutAJump)
{
    const QPoint onTrack(1130, 40); // beside A's knob, which rests at the bottom
    EXPECT_EQ(A().HitTest(onTrack), FaderHit::Track);
    A().SetSelected(true, onTrack);
    cross.DragTo(onTrack);
    EXPECT_EQ(A().GetLevel(), 0);
    cross.DragTo(QPoint(1130, 40 - 16));
    EXPECT_EQ(A().GetLevel(), 25);
    EXPECT_EQ(A().GetOnAirState(), RowState::OnAir);
}
