#include "RecordingPane.h"
#include "controls/ConsoleLook.h"
#include "controls/Cross1Fader.h"
#include "controls/DanFader.h"
#include "controls/SubFader.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>
#include <vector>

using orinsub::testing::RecordingPane;
using namespace orinsub::controls;

namespace {

int KnobCentreY(const CFader &fader)
{
    const QRect r = fader.GetKnobRect();
    return (r.top() + r.top() + r.height()) / 2;
}

class ChannelFaderTest : public ::testing::Test
{
protected:
    ChannelFaderTest()
    {
        fader.SetView(&pane);
        fader.SetBitmap(kKnobChannel);
        fader.SetSelectedBitmap(kKnobChannelSelected);
        fader.SetGeometry(24, 103, 124, 40, 146);
    }
    RecordingPane pane;
    CDanFader fader;
};

} // namespace

TEST_F(ChannelFaderTest, KnobSitsAtTheEndsAndMiddleOfTheTravel)
{
    fader.SetLevel(0);
    EXPECT_EQ(KnobCentreY(fader), 103 + 62);
    fader.SetLevel(255);
    EXPECT_EQ(KnobCentreY(fader), 103 - 62);
    fader.SetLevel(128);
    EXPECT_EQ(KnobCentreY(fader), 103);
    EXPECT_EQ(fader.GetKnobRect(), QRect(24 - 14, 103 - 8, 28, 16));
}

TEST_F(ChannelFaderTest, RectanglesAreClientCoordinates)
{
    pane.scroll = QPoint(40, 5);
    fader.SetLevel(128);
    EXPECT_EQ(fader.GetKnobRect(), QRect(24 - 14 - 40, 103 - 8 - 5, 28, 16));
    EXPECT_EQ(fader.GetTrackRect(), QRect(4 - 40, 30 - 5, 40, 146));
}

TEST_F(ChannelFaderTest, AbsoluteDragJumpsToThePointerAndClamps)
{
    fader.DragTo(QPoint(24, 103));
    EXPECT_EQ(fader.GetLevel(), 127); // 62 * 255 / 124
    fader.DragTo(QPoint(24, 103 - 62));
    EXPECT_EQ(fader.GetLevel(), 255);
    fader.DragTo(QPoint(24, 0));
    EXPECT_EQ(fader.GetLevel(), 255);
    fader.DragTo(QPoint(24, 103 + 62));
    EXPECT_EQ(fader.GetLevel(), 0);
    fader.DragTo(QPoint(24, 400));
    EXPECT_EQ(fader.GetLevel(), 0);

    pane.scroll = QPoint(0, 10);
    fader.DragTo(QPoint(24, 93));
    EXPECT_EQ(fader.GetLevel(), 127) << "the pointer is made logical with the scroll position";
}

TEST_F(ChannelFaderTest, DragRepaintsTheOldAndNewKnob)
{
    fader.SetLevel(0);
    const QRect before = fader.GetKnobRect();
    fader.DragTo(QPoint(24, 103 - 62));
    EXPECT_TRUE(pane.WasInvalidated(before));
    EXPECT_TRUE(pane.WasInvalidated(fader.GetKnobRect()));
}

TEST_F(ChannelFaderTest, TickMarksTruncateTheWholeSum)
{
    QImage image(48, 180, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    fader.Draw(painter);
    painter.end();
    std::vector<int> rows; // column 5: on the marks, clear of the knob and the groove
    for (int y = 0; y < image.height(); ++y)
        if (image.pixelColor(5, y) == kTickColor)
            rows.push_back(y);
    // 103 + 12.4 * n truncated, n = -5..5; the ends and the middle 3 pixels high.
    const std::vector<int> expected{40,  41,  42,  53,  65,  78,  90,  102, 103,
                                    104, 115, 127, 140, 152, 164, 165, 166};
    EXPECT_EQ(rows, expected);
}

TEST_F(ChannelFaderTest, HitTestPrefersTheKnobOverTheTrack)
{
    fader.SetLevel(0);
    EXPECT_EQ(fader.HitTest(QPoint(24, 103 + 62)), FaderHit::Knob);
    EXPECT_EQ(fader.HitTest(QPoint(24, 40)), FaderHit::Track);
    EXPECT_EQ(fader.HitTest(QPoint(5, 40)), FaderHit::Track);
    EXPECT_EQ(fader.HitTest(QPoint(44, 40)), FaderHit::None) << "the right edge is outside";
    EXPECT_EQ(fader.HitTest(QPoint(24, 20)), FaderHit::None);
}

TEST(InvertedFader, KnobPositionsUseLevelPlusOne)
{
    RecordingPane pane;
    CCross1Fader handle;
    handle.SetView(&pane);
    handle.SetInverted(true);
    handle.SetBitmap(kKnobCrossB);
    handle.SetGeometry(100, 110, 160, 48, 180);

    handle.SetLevel(0);
    EXPECT_EQ(KnobCentreY(handle), 110 - 80);
    handle.SetLevel(255);
    EXPECT_EQ(KnobCentreY(handle), 110 + 80);
    handle.SetLevel(127);
    EXPECT_EQ(KnobCentreY(handle), 110);

    CCross1Fader normal;
    normal.SetBitmap(kKnobCrossA);
    normal.SetGeometry(100, 110, 160, 48, 180);
    normal.SetLevel(128);
    EXPECT_EQ(KnobCentreY(normal), 110);
}

TEST(RelativeDrag, MovesByTheMouseFromTheGrabLevel)
{
    RecordingPane pane;
    CSubFader fader;
    fader.SetView(&pane);
    fader.SetBitmap(kKnobSub);
    fader.SetGeometry(55, 110, 124, 50, 180);
    fader.SetLevel(200);

    fader.SetSelected(true, QPoint(55, 100));
    fader.DragTo(QPoint(70, 162)); // 62 pixels down
    EXPECT_EQ(fader.GetLevel(), 200 - 127);
    fader.DragTo(QPoint(55, 100));
    EXPECT_EQ(fader.GetLevel(), 200) << "the level follows the total movement since the grab";
    fader.DragTo(QPoint(55, -500));
    EXPECT_EQ(fader.GetLevel(), 255);

    CCross1Fader inverted;
    inverted.SetView(&pane);
    inverted.SetInverted(true);
    inverted.SetBitmap(kKnobCrossB);
    inverted.SetGeometry(100, 110, 124, 48, 180);
    inverted.SetLevel(200);
    inverted.SetSelected(true, QPoint(100, 100));
    inverted.DragTo(QPoint(100, 162));
    EXPECT_EQ(inverted.GetLevel(), 255) << "an inverted fader rises as the mouse goes down";
}

TEST(RelativeDrag, GrabbingOffCentreDoesNotJump)
{
    CSubFader fader;
    fader.SetBitmap(kKnobSub);
    fader.SetGeometry(55, 110, 160, 50, 180);
    fader.SetLevel(90);
    fader.SetSelected(true, QPoint(55, 20)); // on the track far from the knob
    fader.DragTo(QPoint(55, 20));
    EXPECT_EQ(fader.GetLevel(), 90);
}
