#include "app/LiveDesk.h"
#include "AppTestSupport.h"
#include "app/AppResources.h"
#include "controls/FaderLabel.h"
#include "controls/SubFader.h"
#include "dmx/OrinZentra.h"
#include "views/GoFade.h"

#include <QAction>
#include <QTest>
#include <gtest/gtest.h>

using namespace orinsub;
using namespace orinsub::app;

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

} // namespace
