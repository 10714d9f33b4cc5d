#include "dmx/OrinZentra.h"
#include "model/Mix.h"
#include "model/MixInputs.h"
#include "model/OrinGlobal.h"
#include "model/OrinSUBDoc.h"
#include "patch/DimmerCurveDialog.h"
#include "patch/OrinPatchView.h"
#include "patch/PatchFrame.h"
#include "patch/PatchHeaderView.h"
#include "patch/PatchInputView.h"
#include "support/ScriptedSeams.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

using namespace orinsub;
using namespace orinsub::patch;
using Dimmers = std::vector<int32_t>;

namespace {

class FakeRows : public model::RowLevelSource
{
public:
    uint8_t GetRowLevel(int row, int channel) const override
    {
        return row == 0 && channel >= 1 && channel <= 80 ? rowA[channel - 1] : 0;
    }
    uint8_t rowA[80] = {};
};

class RowAOnAir : public model::MasterLevelSource
{
public:
    uint8_t GetCrossfaderLevel(int handle) const override { return handle == 0 ? 255 : 0; }
    int GetSubFaderCount() const override { return 0; }
    model::SubFaderReading GetSubFaderReading(int) const override { return {}; }
    uint8_t GetGrandMaster() const override { return 255; }
    bool IsBlackout() const override { return false; }
};

class PatchWindowTest : public ::testing::Test
{
protected:
    PatchWindowTest()
    {
        model::g_orin.m_pDoc = &doc;
        model::g_orin.m_pZentra = &port;
        model::g_orin.m_pRowLevels = &rows;
        model::g_orin.m_pMasterLevels = &master;
        model::s_channelLevels.fill(0);
        CPatchFrame::OpenOrActivate(frame);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(frame));
    }
    ~PatchWindowTest() override
    {
        delete frame;
        model::g_orin = model::COrinGlobal{};
    }

    COrinPatchView &Grid() const { return *frame->PatchView(); }
    CPatchInputView &Bar() const { return *frame->InputView(); }
    QLineEdit &Dim() const { return *Bar().DimBox(); }
    QLineEdit &Ch() const { return *Bar().ChannelBox(); }

    void Type(QLineEdit &box, const QString &text)
    {
        box.clear();
        QTest::keyClicks(&box, text);
    }
    void PressPatch() { QTest::mouseClick(Bar().PatchButton(), Qt::LeftButton); }

    QAction *MenuAction(const QString &text) const
    {
        for (QAction *menu : frame->menuBar()->actions()) {
            for (QAction *item : menu->menu()->actions()) {
                if (item->text() == text)
                    return item;
            }
        }
        return nullptr;
    }

    // Whether any pixel of the grid in the box (grid coordinates) is drawn in green rather
    // than in grey or white.
    bool DrawnGreen(QRect box)
    {
        const QImage image = Grid().viewport()->grab().toImage();
        const QPoint scroll(Grid().horizontalScrollBar()->value(),
                            Grid().verticalScrollBar()->value());
        const QRect onScreen = box.translated(-scroll).intersected(image.rect());
        for (int y = onScreen.top(); y <= onScreen.bottom(); ++y) {
            for (int x = onScreen.left(); x <= onScreen.right(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.green() > c.red() + 40 && c.green() > c.blue() + 40)
                    return true;
            }
        }
        return false;
    }
    QRect DimmerBox(int channelIndex, int column) const
    {
        return QRect(40 * column + 80, Grid().RowTop(channelIndex), 30, 30);
    }

    model::COrinSUBDoc doc;
    dmx::COrinZentra port;
    FakeRows rows;
    RowAOnAir master;
    orinsub::testing::ScriptedQuestions questions;
    QPointer<CPatchFrame> frame;
};

} // namespace

TEST_F(PatchWindowTest, OpensAtTopLeftWithFixedPanesAndItsMenu)
{
    EXPECT_EQ(frame->pos(), QPoint(2, 2));
    EXPECT_EQ(frame->size(), QSize(580, 760));
    const QSplitter *splitter = qobject_cast<QSplitter *>(frame->centralWidget());
    ASSERT_NE(splitter, nullptr);
    EXPECT_EQ(frame->HeaderView()->height(), 30);
    EXPECT_EQ(Grid().height(), 610);
    EXPECT_EQ(Bar().y(), 30 + 1 + 610 + 1) << "1-pixel gaps";
    EXPECT_FALSE(splitter->handle(1)->isEnabled()) << "the bars cannot be dragged";
    EXPECT_GE(Bar().PatchButton()->geometry().bottom(), Ch().geometry().top());
    EXPECT_LE(Bar().PatchButton()->geometry().bottom(), Bar().height()) << "the bar fits";
    frame->resize(580, 900);
    QCoreApplication::processEvents();
    EXPECT_EQ(Grid().height(), 610) << "the entry bar takes what the grid leaves";
    EXPECT_EQ(frame->HeaderView()->height(), 30);
    EXPECT_EQ(frame->focusWidget(), &Dim()) << "ready for typing";

    ASSERT_NE(MenuAction(QStringLiteral("閉じる(&W)")), nullptr);
    EXPECT_EQ(MenuAction(QStringLiteral("閉じる(&W)"))->shortcut(), QKeySequence(Qt::Key_F11));
    ASSERT_NE(MenuAction(QStringLiteral("1対1パッチ(&D)...")), nullptr);
    EXPECT_EQ(frame->menuBar()->actions().front()->text(), QStringLiteral("パッチ(&P)"));
    EXPECT_EQ(Bar().PatchButton()->text(), QStringLiteral("パッチ"));
    EXPECT_FALSE(QFontDatabase::families(QFontDatabase::Japanese).isEmpty())
        << "a Japanese font must be installed for the captions";
}

TEST_F(PatchWindowTest, GridAndHeaderDrawTheirRulesAndRows)
{
    const QImage grid = Grid().viewport()->grab().toImage();
    EXPECT_EQ(Grid().RowTop(0), 6);
    EXPECT_EQ(Grid().RowTop(80), 2406);
    EXPECT_EQ(Grid().verticalScrollBar()->maximum(),
              Grid().ContentHeight() - Grid().viewport()->height());
    EXPECT_EQ(Grid().ContentHeight(), 2406 + 43 * 26 + 30) << "the spare channel's 44 lines";
    EXPECT_EQ(grid.pixelColor(100, 300), QColor(255, 255, 127));
    EXPECT_EQ(grid.pixelColor(101, 300), QColor(255, 255, 127));
    EXPECT_EQ(grid.pixelColor(300, 6 + 23), QColor(127, 127, 63)) << "separator under channel 1";
    EXPECT_EQ(grid.pixelColor(300, 6 + 22), QColor(0, 0, 0));

    const QImage header = frame->HeaderView()->grab().toImage();
    EXPECT_EQ(header.pixelColor(100, 10), QColor(255, 255, 127));
    EXPECT_EQ(header.pixelColor(300, 29), QColor(127, 127, 63));
    bool captionDrawn = false;
    for (int x = 50; x < 80; ++x) {
        for (int y = 5; y < 29; ++y)
            captionDrawn |= header.pixelColor(x, y).lightness() > 128;
    }
    EXPECT_TRUE(captionDrawn) << "\"CH\" in its box";
}

TEST_F(PatchWindowTest, TypingSelectsAndTheChannelBoxFollowsEachKey)
{
    QTest::keyClick(&Dim(), Qt::Key_1);
    EXPECT_EQ(doc.m_patchSelection, Dimmers{1});
    EXPECT_EQ(Ch().text(), QStringLiteral("1"));
    QTest::keyClick(&Dim(), Qt::Key_2);
    EXPECT_EQ(doc.m_patchSelection, Dimmers{12});
    EXPECT_EQ(Ch().text(), QStringLiteral("12"));

    Type(Dim(), QStringLiteral("1-5,8"));
    EXPECT_EQ(doc.m_patchSelection, (Dimmers{1, 2, 3, 4, 5, 8}));
    EXPECT_EQ(Ch().text(), QStringLiteral("8"));
    EXPECT_TRUE(DrawnGreen(DimmerBox(7, 1)));
    EXPECT_FALSE(DrawnGreen(DimmerBox(6, 1)));

    Type(Dim(), QStringLiteral("5-1"));
    EXPECT_EQ(Ch().text(), QStringLiteral("1"));
    Type(Dim(), QStringLiteral("200"));
    EXPECT_EQ(Ch().text(), QString()) << "the spare channel has no number";
    for (const char *nothing : {"0", "abc"}) {
        Type(Dim(), QString::fromLatin1(nothing));
        EXPECT_TRUE(doc.m_patchSelection.empty()) << nothing;
        EXPECT_EQ(Ch().text(), QString()) << nothing;
    }
}

TEST_F(PatchWindowTest, GridScrollsToTheChannelOfTheLastNumber)
{
    Grid().ScrollToChannel(-1);
    Grid().ScrollToChannel(81);
    EXPECT_EQ(Grid().verticalScrollBar()->value(), 0);
    Grid().ScrollToChannel(19); // y = 576, within the first 610 pixels
    EXPECT_EQ(Grid().verticalScrollBar()->value(), 0);

    Dim().setText(QStringLiteral("61"));
    EXPECT_EQ(Grid().verticalScrollBar()->value(), Grid().RowTop(60));
    Dim().setText(QStringLiteral("3,70"));
    EXPECT_EQ(Grid().verticalScrollBar()->value(), Grid().RowTop(60)) << "already in view";
    Dim().setText(QStringLiteral("3"));
    EXPECT_EQ(Grid().verticalScrollBar()->value(), Grid().RowTop(2));
}

TEST_F(PatchWindowTest, PatchMovesDimmersToTheChannelOrBackToTheSpare)
{
    Type(Dim(), QStringLiteral("20"));
    Type(Ch(), QStringLiteral("3"));
    PressPatch();
    EXPECT_EQ(doc.Channel(2).m_dimmers, (Dimmers{3, 20}));
    EXPECT_TRUE(doc.Channel(19).m_dimmers.empty());
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(Ch().text(), QStringLiteral("3"));
    EXPECT_EQ(doc.m_patchSelection, Dimmers{20}) << "selected again from the DIM box";
    EXPECT_TRUE(DrawnGreen(DimmerBox(2, 2))) << "dimmer 20 green in channel 3's line";

    Type(Dim(), QStringLiteral("200"));
    Type(Ch(), QStringLiteral("5"));
    QTest::keyClick(&Ch(), Qt::Key_Return); // Enter presses パッチ
    EXPECT_EQ(doc.Channel(4).m_dimmers, (Dimmers{5, 200}));
    Ch().clear();
    PressPatch();
    EXPECT_EQ(doc.Channel(4).m_dimmers, Dimmers{5});
    EXPECT_EQ(doc.FindChannelOfDimmer(200), 80);
    EXPECT_EQ(Ch().text(), QString());

    for (const char *spare : {"81", "x7"}) {
        Type(Dim(), QStringLiteral("20"));
        Type(Ch(), QString::fromLatin1(spare));
        PressPatch();
        EXPECT_EQ(doc.FindChannelOfDimmer(20), 80) << spare;
        EXPECT_EQ(doc.Channel(2).m_dimmers, Dimmers{3}) << spare;
    }
}

TEST_F(PatchWindowTest, EmptyDimBoxChangesNoPatchButRecomputesTheChannel)
{
    rows.rowA[2] = 150;
    Type(Ch(), QStringLiteral("3"));
    PressPatch();
    EXPECT_EQ(doc.Channel(2).m_dimmers, Dimmers{3});
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(port.GetOutputSlot(3), 150);
}

TEST_F(PatchWindowTest, OutputFollowsThePatchAtOnce)
{
    rows.rowA[2] = 200; // channel 3
    rows.rowA[19] = 50; // channel 20
    model::RecomputeAllChannels();
    ASSERT_EQ(port.GetOutputSlot(20), 50);

    Type(Dim(), QStringLiteral("20,300"));
    Type(Ch(), QStringLiteral("3"));
    PressPatch();
    EXPECT_EQ(port.GetOutputSlot(20), 200) << "dimmer 20 now carries channel 3";
    EXPECT_EQ(port.GetOutputSlot(300), 200);

    Ch().clear();
    PressPatch();
    EXPECT_EQ(port.GetOutputSlot(20), 0) << "unpatched dimmers go dark";
    EXPECT_EQ(port.GetOutputSlot(300), 0);
}

TEST_F(PatchWindowTest, OneToOneAsksAndCancelChangesNothing)
{
    doc.m_patchSelection = {20, 300};
    doc.PatchSelectionTo(2);
    doc.m_patchSelection = {20};
    doc.SetModifiedFlag(false);
    questions.Answer({-1});
    MenuAction(QStringLiteral("1対1パッチ(&D)..."))->trigger();
    ASSERT_EQ(questions.texts.size(), 1);
    EXPECT_EQ(questions.texts[0], QStringLiteral("パッチを1対1に初期化します。\nよろしいですか？"));
    EXPECT_EQ(questions.captions[0], QStringLiteral("パッチを1対1に初期化"));
    EXPECT_EQ(doc.Channel(2).m_dimmers, (Dimmers{3, 20, 300}));
    EXPECT_EQ(doc.m_patchSelection, Dimmers{20});
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(PatchWindowTest, OneToOneRestoresThePatchAndRewritesEverySlot)
{
    rows.rowA[2] = 200;
    rows.rowA[19] = 50;
    Type(Dim(), QStringLiteral("20,300"));
    Type(Ch(), QStringLiteral("3"));
    PressPatch();
    doc.SetModifiedFlag(false);
    ASSERT_EQ(port.GetOutputSlot(20), 200);

    questions.Answer({1});
    frame->OnPatchOneToOne();
    for (int k = 1; k <= 80; ++k)
        ASSERT_EQ(doc.Channel(k - 1).m_dimmers, Dimmers{k});
    EXPECT_EQ(doc.SpareChannel().m_dimmers.size(), 432u);
    EXPECT_TRUE(doc.m_patchSelection.empty());
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(port.GetOutputSlot(20), 50) << "back on channel 20, not left at channel 3's level";
    EXPECT_EQ(port.GetOutputSlot(300), 0);
    EXPECT_EQ(port.GetOutputSlot(3), 200);
    EXPECT_FALSE(DrawnGreen(DimmerBox(19, 1))) << "no green numbers";
}

TEST_F(PatchWindowTest, F11ClosesEmptiesTheSelectionAndReopeningStartsEmpty)
{
    CPatchFrame *first = frame;
    EXPECT_EQ(CPatchFrame::OpenOrActivate(frame), first) << "one patch window at a time";
    Type(Dim(), QStringLiteral("20"));
    Type(Ch(), QStringLiteral("5"));
    ASSERT_FALSE(doc.m_patchSelection.empty());

    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
    QTest::keyClick(frame, Qt::Key_F11);
    EXPECT_FALSE(frame->isVisible());
    EXPECT_TRUE(doc.m_patchSelection.empty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(frame.isNull()) << "the window deletes itself";

    CPatchFrame::OpenOrActivate(frame);
    ASSERT_FALSE(frame.isNull());
    EXPECT_TRUE(Dim().text().isEmpty());
    EXPECT_TRUE(Ch().text().isEmpty());

    Type(Dim(), QStringLiteral("7"));
    frame->close(); // the close box
    EXPECT_TRUE(doc.m_patchSelection.empty());
    EXPECT_NE(CPatchFrame::OpenOrActivate(frame), nullptr) << "a closing window is not reused";
    EXPECT_TRUE(Dim().text().isEmpty());
}

TEST_F(PatchWindowTest, CurveWindowGivesSelectedDimmersOneCurveAndShowsAOneDimmersCurve)
{
    MenuAction(QStringLiteral("調光カーブ(&C)..."))->trigger();
    DimmerCurveDialog *curves = frame->CurveDialog();
    ASSERT_NE(curves, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(curves));
    EXPECT_EQ(curves->Table()->model()->rowCount(), 512);
    EXPECT_FALSE(curves->ApplyToSelection()) << "nothing selected";

    QItemSelection rows(curves->Table()->model()->index(2, 0),
                        curves->Table()->model()->index(4, 0));
    curves->Table()->selectionModel()->select(rows, QItemSelectionModel::Select |
                                                        QItemSelectionModel::Rows);
    curves->KindBox()->setCurrentText(QStringLiteral("非調光"));
    EXPECT_TRUE(curves->ThresholdBox()->isEnabled());
    curves->ThresholdBox()->setValue(60);
    curves->LimitBox()->setValue(80);
    QTest::mouseClick(curves->ApplyButton(), Qt::LeftButton);
    const model::DimmerCurve switched{model::CurveKind::Switch, 60, 80};
    for (int dimmer : {3, 4, 5})
        EXPECT_EQ(doc.m_extension.CurveOf(dimmer), switched) << dimmer;
    EXPECT_TRUE(doc.m_extension.CurveOf(6).IsLinear());
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(curves->Table()->model()->index(3, 2).data().toString(), QStringLiteral("非調光"));
    EXPECT_EQ(curves->Table()->model()->index(3, 3).data().toString(), QStringLiteral("60 %"));

    curves->Table()->selectRow(0);
    EXPECT_EQ(curves->KindBox()->currentText(), QStringLiteral("直線"));
    EXPECT_FALSE(curves->ThresholdBox()->isEnabled()) << "a threshold is a switch's only";
    curves->Table()->selectRow(3);
    EXPECT_EQ(curves->ThresholdBox()->value(), 60);
    EXPECT_EQ(curves->LimitBox()->value(), 80);
}
