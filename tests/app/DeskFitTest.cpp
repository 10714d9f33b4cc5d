// The desk fits the window it is in: drawn smaller in a small window, more channels and longer
// row faders in a larger one, a draggable divider remembered across a restart. Off-screen; the
// pictures of every size are saved in the build folder for review.

#include "AppTestSupport.h"
#include "app/MySplitterWnd.h"
#include "controls/CrossFader.h"
#include "controls/Dan.h"
#include "controls/DanFader.h"
#include "controls/DanLamp.h"
#include "controls/RcLamp.h"
#include "controls/SubFader.h"
#include "views/LampConsoleView.h"

#include <QScrollBar>
#include <QSplitter>
#include <QSplitterHandle>

namespace {

using orinsub::testing::MainWindowTest;
using orinsub::views::CLampConsoleView;
using orinsub::views::ScrollPane;

/// The window's pixels that show a pane's client rectangle.
QRect InWindow(const QWidget &frame, QWidget *client, const QRect &shown)
{
    return QRect(client->mapTo(&frame, shown.topLeft()), shown.size());
}

class DeskFitTest : public MainWindowTest
{
protected:
    void ResizeTo(QSize size)
    {
        frame->resize(size);
        QCoreApplication::processEvents();
    }
    CLampConsoleView &Lamps() { return *frame->GetLampView(false); }
    /// Drags from the middle of a knob by dy client pixels of its pane, with real mouse events.
    static void DragKnob(ScrollPane &pane, const QRect &knob, int dy)
    {
        const QPoint from = pane.ClientToWidget(knob.center());
        const QPoint to = pane.ClientToWidget(knob.center() + QPoint(0, dy));
        QTest::mousePress(pane.viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(pane.viewport(), (from + to) / 2);
        QTest::mouseMove(pane.viewport(), to);
        QTest::mouseRelease(pane.viewport(), Qt::LeftButton, {}, to);
    }
    /// Every part of the desk the operator needs is drawn whole inside its pane and the window.
    void ExpectWholeDeskInSight()
    {
        const QRect window = frame->rect();
        auto expectShown = [&](QWidget *client, const QRect &widgetRect, const char *what) {
            EXPECT_TRUE(client->rect().contains(widgetRect)) << what << " inside its pane";
            EXPECT_TRUE(window.contains(InWindow(*frame, client, widgetRect)))
                << what << " inside the window";
        };
        for (int row = 0; row < 2; ++row) {
            expectShown(&Lamps(), Lamps().ClientToWidget(Lamps().GetRowLamp(row)->GetRect()),
                        "row lamp");
            expectShown(&Lamps(), Lamps().ClientToWidget(Lamps().GetInButton(row)->GetRect()),
                        "row IN button");
            CLampConsoleView &right = *frame->GetLampView(true);
            expectShown(&right, right.ClientToWidget(right.GetRowLamp(row)->GetRect()),
                        "right row lamp");
        }
        QWidget *master = Master().viewport();
        expectShown(master, Master().ClientToWidget(Master().GetPageUpLamp()->GetRect()), "▲");
        expectShown(master, Master().ClientToWidget(Master().GetPageDownLamp()->GetRect()), "▼");
        expectShown(master, Master().ClientToWidget(Master().GetInButton()->GetRect()), "IN");
        for (auto *handle :
             {Master().GetCrossFader()->GetHandleA(), Master().GetCrossFader()->GetHandleB()})
            expectShown(master, Master().ClientToWidget(handle->GetTrackRect()), "crossfader");
        expectShown(master, Master().ClientToWidget(Master().GetStatusRect()), "status line");
        expectShown(master, Master().ClientToWidget(Master().GetSubFader(19)->GetTrackRect()),
                    "sub-master 20");
        EXPECT_FALSE(Master().horizontalScrollBar()->isVisible()) << "the master pane fits";
        EXPECT_FALSE(Master().verticalScrollBar()->isVisible()) << "the master pane fits";
        EXPECT_FALSE(Dan().verticalScrollBar()->isVisible()) << "the rows fit their height";
        const QRect lastRowB = Dan().ClientToWidget(Dan().GetFader(80 + 79)->GetTrackRect());
        EXPECT_LE(lastRowB.bottom(), Dan().viewport()->height()) << "row B's faders in sight";
    }
};

class DeskFitAtScreenSize : public DeskFitTest, public ::testing::WithParamInterface<QSize>
{
};

TEST_P(DeskFitAtScreenSize, TheWholeDeskIsInSightAndTheMouseMovesTheFaderItGrabs)
{
    const QSize size = GetParam();
    ResizeTo(size);
    const double zoom = frame->GetDeskZoom();
    EXPECT_LE(zoom, 1.0);
    if (size.width() >= 1270 && size.height() >= 768)
        EXPECT_EQ(zoom, 1.0) << "a larger window never draws the desk larger or smaller";
    ExpectWholeDeskInSight();

    // Wider shows more channels, all 80 once they fit; taller gives the rows longer faders.
    const int rowsWidth = Dan().GetClientRect().width();
    EXPECT_GE(rowsWidth, std::min(3208, static_cast<int>((size.width() - 80) / zoom)));
    if (rowsWidth >= 3208)
        EXPECT_FALSE(Dan().horizontalScrollBar()->isVisible()) << "all 80 channels in sight";
    const int trackHeight = Dan().GetFader(0)->GetTrackRect().height();
    if (size.height() > 768)
        EXPECT_GT(trackHeight, 146 + (size.height() - 768) / 3);

    const QString name = QStringLiteral("desk-%1x%2.png").arg(size.width()).arg(size.height());
    EXPECT_TRUE(frame->grab().save(QStringLiteral(ORINSUB_TEST_OUTPUT_DIR "/") + name));

    DragKnob(Dan(), Dan().GetFader(0)->GetKnobRect(),
             -Dan().GetFader(0)->GetTrackRect().height() / 3);
    EXPECT_GT(Dan().GetFader(0)->GetLevel(), 60) << "row A channel 1 follows the mouse";
    EXPECT_EQ(Dan().GetFader(1)->GetLevel(), 0) << "its neighbour stays";
    EXPECT_EQ(Dan().GetFader(80)->GetLevel(), 0) << "row B's stays";

    orinsub::controls::CSubFader &sub = *Master().GetSubFader(9);
    DragKnob(Master(), sub.GetKnobRect(), -80);
    EXPECT_NEAR(sub.GetLevel(), 255 * 80 / 160, 4) << "sub-master 10, by its travel";
    EXPECT_EQ(Master().GetSubFader(8)->GetLevel(), 0);
    EXPECT_EQ(Master().GetSubFader(10)->GetLevel(), 0);

    orinsub::controls::CCross1Fader &handleB = *Master().GetCrossFader()->GetHandleB();
    const uint8_t before = handleB.GetLevel();
    DragKnob(Master(), handleB.GetKnobRect(), -80);
    EXPECT_NE(handleB.GetLevel(), before) << "the crossfader's B handle follows the mouse";
}

INSTANTIATE_TEST_SUITE_P(Screens, DeskFitAtScreenSize,
                         ::testing::Values(QSize(1024, 600), QSize(1270, 768), QSize(1366, 768),
                                           QSize(1920, 1080), QSize(3840, 2160)),
                         [](const auto &info) {
                             return std::to_string(info.param.width()) + "x" +
                                    std::to_string(info.param.height());
                         });

TEST_F(DeskFitTest, BackAtTheDefaultSizeTheDeskIsDrawnToThePixelAsAtStart)
{
    const QImage atStart = frame->grab().toImage();
    EXPECT_EQ(frame->GetDeskZoom(), 1.0);
    EXPECT_EQ(Dan().GetFader(0)->GetTrackRect().height(), 146);
    ResizeTo(QSize(3840, 2160));
    ResizeTo(QSize(900, 500));
    EXPECT_LT(frame->GetDeskZoom(), 1.0);
    ResizeTo(QSize(1270, 768));
    EXPECT_EQ(frame->grab().toImage(), atStart);
}

/// Two starts of the console on one settings store.
class DeskLayoutRestartTest : public ::testing::Test
{
protected:
    std::unique_ptr<orinsub::app::CMainFrame> Start()
    {
        orinsub::model::g_orin = orinsub::model::COrinGlobal{};
        orinsub::model::g_orin.m_pDoc = &doc;
        auto started = std::make_unique<orinsub::app::CMainFrame>(&doc);
        started->OnInitialUpdate();
        started->RestoreLayout();
        started->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(started.get()));
        return started;
    }
    ~DeskLayoutRestartTest() override { orinsub::model::g_orin = orinsub::model::COrinGlobal{}; }

    orinsub::testing::PrivateSettings settings;
    orinsub::testing::ManualLinkTimers timers;
    orinsub::model::COrinSUBDoc doc;
};

TEST_F(DeskLayoutRestartTest, TheDividerDraggedStaysWhereTheOperatorLeftItAtTheNextStart)
{
    auto first = Start();
    QSplitterHandle *divider = first->GetSplitter()->handle(1);
    const int masterBefore = first->GetMasterView()->height();
    const int trackBefore = first->GetDanView()->GetFader(0)->GetTrackRect().height();
    QTest::mousePress(divider, Qt::LeftButton, {}, QPoint(5, 0));
    QTest::mouseMove(divider, QPoint(5, -60));
    QTest::mouseRelease(divider, Qt::LeftButton, {}, QPoint(5, -60));
    const int masterAfter = first->GetMasterView()->height();
    EXPECT_NEAR(masterAfter, masterBefore + 60, 3);
    EXPECT_NEAR(first->GetDanView()->GetFader(0)->GetTrackRect().height(),
                trackBefore - (masterAfter - masterBefore) / 2, 1)
        << "the rows' faders give up the room";
    EXPECT_TRUE(first->close());
    first.reset();

    auto second = Start();
    EXPECT_EQ(second->GetMasterView()->height(), masterAfter);
    EXPECT_NEAR(second->GetDanView()->GetFader(0)->GetTrackRect().height(),
                trackBefore - (masterAfter - masterBefore) / 2, 1);
}

} // namespace
