// The desk fits the window it is in: drawn smaller in a small window, more channels and longer
// row faders in a larger one, a draggable divider remembered across a restart. Off-screen; the
// pictures of every size are saved in the build folder for review.

#include "AppTestSupport.h"
#include "DeskChecks.h"
#include "app/MySplitterWnd.h"
#include "app/RecentFileList.h"
#include "model/SettingsReader.h"
#include "support/TempFiles.h"
#include "views/CuePlayback.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScrollBar>
#include <QSplitterHandle>

namespace {

using orinsub::testing::MainWindowTest;

class DeskFitTest : public MainWindowTest
{
protected:
    void ResizeTo(QSize size)
    {
        frame->resize(size);
        QCoreApplication::processEvents();
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
    orinsub::testing::ExpectWholeDeskInSight(*frame, frame->rect());

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

    orinsub::testing::ExpectDragsMoveTheGrabbedFaders(*frame);
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

TEST_F(DeskLayoutRestartTest, TheDividerAndTheMaximisedStateComeBackAtTheNextStart)
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
    first->showMaximized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return first->isMaximized(); }, 2000));
    EXPECT_TRUE(first->close());
    first.reset();

    auto second = Start();
    EXPECT_TRUE(second->isMaximized()) << "the window comes back maximised";
    second->showNormal();
    QCoreApplication::processEvents();
    EXPECT_EQ(second->GetMasterView()->height(), masterAfter);
    EXPECT_NEAR(second->GetDanView()->GetFader(0)->GetTrackRect().height(),
                trackBefore - (masterAfter - masterBefore) / 2, 1);
}

// Values of the layout and the cue playback damaged in the settings file: each is told in one
// line and the desk comes up as it does without them.
TEST_F(DeskLayoutRestartTest, DamagedValuesAreToldAndTheDeskComesUpAsWithoutThem)
{
    QStringList told;
    orinsub::model::SettingsReader::SetReport([&](const QString &line) { told << line; });
    const int masterAtFirst = Start()->GetMasterView()->height();
    const struct
    {
        QByteArray ini;
        const char *key;
    } cases[] = {
        {"[window]\nmasterRowHeight=2147483647", "window/masterRowHeight"},
        {"[window]\ngeometry=@ByteArray(" + QByteArray(2000, 'g') + ")", "window/geometry"},
        {"[Cues]\nBackTime=99999", "Cues/BackTime"},
        {"[Recent%20File%20List]\nFile1=/" + QByteArray(5000, 'p'), "Recent File List/File1"},
    };
    for (const auto &c : cases) {
        told.clear();
        QDir().mkpath(QFileInfo(QSettings().fileName()).path());
        ASSERT_TRUE(orinsub::testing::WriteFile(QSettings().fileName(), c.ini));
        const auto started = Start();
        EXPECT_EQ(started->GetMasterView()->height(), masterAtFirst) << c.key;
        EXPECT_EQ(started->GetCuePlayback().GetBackTime(),
                  orinsub::views::CuePlayback::kDefaultBackTime);
        EXPECT_TRUE(orinsub::app::CRecentFileList().IsEmpty()) << c.key;
        EXPECT_EQ(told.size(), 1) << c.key << ": " << told.join('\n').toStdString();
        EXPECT_TRUE(told.value(0).contains(c.key)) << told.value(0).toStdString();
    }
    orinsub::model::SettingsReader::SetReport(nullptr);
}

} // namespace
