#pragma once

#include "app/MainFrame.h"
#include "controls/CrossFader.h"
#include "controls/DanFader.h"
#include "controls/DanLamp.h"
#include "controls/RcLamp.h"
#include "controls/SubFader.h"
#include "views/DanConsoleView.h"
#include "views/LampConsoleView.h"
#include "views/MasterConsoleView.h"

#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace orinsub::testing {

/// Drags from the middle of a knob by dy client pixels of its pane, with real mouse events.
inline void DragKnob(views::ScrollPane &pane, const QRect &knob, int dy)
{
    const QPoint from = pane.ClientToWidget(knob.center());
    const QPoint to = pane.ClientToWidget(knob.center() + QPoint(0, dy));
    QTest::mousePress(pane.viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(pane.viewport(), (from + to) / 2);
    QTest::mouseMove(pane.viewport(), to);
    QTest::mouseRelease(pane.viewport(), Qt::LeftButton, {}, to);
}

/// Every part of the desk the operator needs is drawn whole inside its pane and inside visible,
/// the window's rectangle in its own coordinates (the screen's part of it under a window
/// manager); nothing scrolls but the rows sideways.
inline void ExpectWholeDeskInSight(app::CMainFrame &frame, const QRect &visible)
{
    auto expectShown = [&](QWidget *client, const QRect &widgetRect, const char *what) {
        EXPECT_TRUE(client->rect().contains(widgetRect)) << what << " inside its pane";
        EXPECT_TRUE(
            visible.contains(QRect(client->mapTo(&frame, widgetRect.topLeft()), widgetRect.size())))
            << what << " inside the window";
    };
    for (bool right : {false, true}) {
        views::CLampConsoleView &lamps = *frame.GetLampView(right);
        for (int row = 0; row < 2; ++row) {
            expectShown(&lamps, lamps.ClientToWidget(lamps.GetRowLamp(row)->GetRect()), "row lamp");
            if (!right)
                expectShown(&lamps, lamps.ClientToWidget(lamps.GetInButton(row)->GetRect()),
                            "row IN button");
        }
    }
    views::CMasterConsoleView &master = *frame.GetMasterView();
    QWidget *client = master.viewport();
    expectShown(client, master.ClientToWidget(master.GetPageUpLamp()->GetRect()), "▲");
    expectShown(client, master.ClientToWidget(master.GetPageDownLamp()->GetRect()), "▼");
    expectShown(client, master.ClientToWidget(master.GetInButton()->GetRect()), "IN");
    for (auto *handle :
         {master.GetCrossFader()->GetHandleA(), master.GetCrossFader()->GetHandleB()})
        expectShown(client, master.ClientToWidget(handle->GetTrackRect()), "crossfader");
    expectShown(client, master.ClientToWidget(master.GetStatusRect()), "status line");
    expectShown(client, master.ClientToWidget(master.GetSubFader(19)->GetTrackRect()),
                "sub-master 20");
    EXPECT_FALSE(master.horizontalScrollBar()->isVisible()) << "the master pane fits";
    EXPECT_FALSE(master.verticalScrollBar()->isVisible()) << "the master pane fits";
    views::CDanConsoleView &dan = *frame.GetDanView();
    EXPECT_FALSE(dan.verticalScrollBar()->isVisible()) << "the rows fit their height";
    expectShown(dan.viewport(), dan.ClientToWidget(dan.GetFader(80)->GetTrackRect()), "row B");
}

/// A mouse drag at the desk's size moves the fader it grabs and no other: a channel of row A,
/// a sub-master, the crossfader's B handle.
inline void ExpectDragsMoveTheGrabbedFaders(app::CMainFrame &frame)
{
    views::CDanConsoleView &dan = *frame.GetDanView();
    DragKnob(dan, dan.GetFader(0)->GetKnobRect(), -dan.GetFader(0)->GetTrackRect().height() / 3);
    EXPECT_GT(dan.GetFader(0)->GetLevel(), 60) << "row A channel 1 follows the mouse";
    EXPECT_EQ(dan.GetFader(1)->GetLevel(), 0) << "its neighbour stays";
    EXPECT_EQ(dan.GetFader(80)->GetLevel(), 0) << "row B's stays";

    views::CMasterConsoleView &master = *frame.GetMasterView();
    controls::CSubFader &sub = *master.GetSubFader(9);
    DragKnob(master, sub.GetKnobRect(), -80);
    EXPECT_NEAR(sub.GetLevel(), 255 * 80 / 160, 4) << "sub-master 10, by its travel";
    EXPECT_EQ(master.GetSubFader(8)->GetLevel(), 0);
    EXPECT_EQ(master.GetSubFader(10)->GetLevel(), 0);

    controls::CCross1Fader &handleB = *master.GetCrossFader()->GetHandleB();
    const uint8_t before = handleB.GetLevel();
    DragKnob(master, handleB.GetKnobRect(), -80);
    EXPECT_NE(handleB.GetLevel(), before) << "the crossfader's B handle follows the mouse";
}

} // namespace orinsub::testing
