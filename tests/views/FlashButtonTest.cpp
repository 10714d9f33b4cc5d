#include "controls/FlashButton.h"
#include "ConsoleFixture.h"
#include "controls/ConsoleLook.h"
#include "controls/FaderLabel.h"
#include "views/ConsoleOperations.h"

using namespace orinsub;
using model::FlashMode;
using orinsub::testing::ConsoleTest;

namespace {

/// Channel 1 and 2 on sub-master 1 of page 1, channel 4 on sub-master 2 raised to half, row B
/// on air with channel 5 at 90 and channel 6 (independent) at 60; page 2's sub-master 1 lights
/// channel 3.
class FlashButtonTest : public ConsoleTest, public ::testing::WithParamInterface<FlashMode>
{
protected:
    FlashButtonTest()
    {
        doc.GetSubMaster(1, 1)->m_levels[0] = 255;
        doc.GetSubMaster(1, 1)->m_levels[1] = 100;
        doc.GetSubMaster(1, 2)->m_levels[3] = 255;
        doc.GetSubMaster(2, 1)->m_levels[2] = 200;
        doc.GetSubMaster(2, 1)->m_name = QStringLiteral("page 2");
        doc.SetIndependent(6, true);
        doc.SetModifiedFlag(false);
        master->MoveCrossfader(0, 255);
        dan->MoveFaderTo(1, 4, 90);
        dan->MoveFaderTo(1, 5, 60);
        master->MoveSubFaderTo(1, 128);
    }

    QWidget *Client() { return master->viewport(); }
    QPoint FlashPoint(int number) { return Centre(master->GetFlashButton(number - 1)->GetRect()); }
    /// Slots 1..6 of the output frame (the one-to-one patch: slot n is channel n).
    std::vector<int> Slots() const
    {
        std::vector<int> levels;
        for (int slot = 1; slot <= 6; ++slot)
            levels.push_back(port.GetOutputSlot(slot));
        return levels;
    }
    QColor FillOfFlash(int number)
    {
        const QRect r = master->GetFlashButton(number - 1)->GetRect();
        return Client()->grab().toImage().pixelColor(r.topLeft() + QPoint(3, 3));
    }
};

} // namespace

TEST_P(FlashButtonTest, HeldItPlaysItsSubMasterAtFullAcrossAPageChangeUntilLetGo)
{
    const bool solo = GetParam() == FlashMode::Solo;
    views::SetFlashMode(GetParam());
    EXPECT_EQ(frame.flashSoloChecked, solo);
    EXPECT_EQ(doc.IsModified(), solo) << "the show keeps the mode";
    const std::vector<int> asSet{0, 0, 0, 128, 90, 60};
    EXPECT_EQ(Slots(), asSet);

    orinsub::testing::PaintSpy spy(Client());
    spy.Settle();
    Press(Client(), FlashPoint(1));
    const std::vector<int> held =
        solo ? std::vector<int>{255, 100, 0, 0, 0, 60} : std::vector<int>{255, 100, 0, 128, 90, 60};
    EXPECT_EQ(Slots(), held) << "independent channel 6 untouched";
    EXPECT_TRUE(master->GetFlashButton(0)->IsHeld());
    QCoreApplication::processEvents();
    EXPECT_EQ(spy.painted, QRegion(master->GetFlashButton(0)->GetRect()))
        << "only the button repaints";
    EXPECT_EQ(FillOfFlash(1), solo ? controls::kSoloLit : controls::kFlashLit);
    EXPECT_EQ(FillOfFlash(2), controls::kFlashButtonFree);

    Key(master, Qt::Key_PageUp);
    EXPECT_EQ(master->GetPage(), 2);
    EXPECT_EQ(Slots(), held) << "it keeps the sub-master it started on";
    EXPECT_EQ(Sub(1).GetPage(), 1);
    EXPECT_EQ(Sub(1).GetContentState(), controls::ContentState::HeldElsewhere);

    Release(Client(), QPoint(600, -40)); // let go over another pane
    EXPECT_EQ(Slots(), asSet);
    EXPECT_FALSE(master->GetFlashButton(0)->IsHeld());
    EXPECT_EQ(Sub(1).GetPage(), 2) << "back at 0, the fader plays the page shown";
    EXPECT_EQ(master->GetNameLabel(0)->GetText(), QStringLiteral("page 2"));
    EXPECT_EQ(FillOfFlash(1), controls::kFlashButtonFree);
}

INSTANTIATE_TEST_SUITE_P(Modes, FlashButtonTest,
                         ::testing::Values(FlashMode::Flash, FlashMode::Solo));
