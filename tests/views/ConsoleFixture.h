#pragma once

#include "app/PaneDesk.h"
#include "controls/CrossFader.h"
#include "controls/Dan.h"
#include "controls/DanFader.h"
#include "controls/SubFader.h"
#include "dmx/OrinZentra.h"
#include "model/Mix.h"
#include "model/OrinGlobal.h"
#include "model/OrinSUBDoc.h"
#include "model/UndoRecord.h"
#include "support/ScriptedSeams.h"
#include "views/ConsoleFrame.h"
#include "views/DanConsoleView.h"
#include "views/LampConsoleView.h"
#include "views/MasterConsoleView.h"
#include "zentra/SimulatedInterface.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace orinsub::testing {

/// Stands in for the main window: records what the panes ask of it.
class TestFrame : public QWidget, public views::ConsoleFrame
{
public:
    void BeginRowDrag(controls::CDan *row, QPoint point) override
    {
        rowDrags.push_back({row->GetIndex(), point});
    }
    void BeginOutputDrag(views::CDanConsoleView *, QPoint point) override
    {
        outputDrags.push_back(point);
    }
    void BeginSubMasterDrag(controls::CSubFader *fader, QPoint) override
    {
        subMasterDrags.push_back(fader->GetNumber());
    }
    views::CLampConsoleView *GetLampView(bool right) override
    {
        return right ? rightStrip : leftStrip;
    }
    void SetEditCommandsEnabled(bool enabled) override { editCommandsEnabled = enabled; }
    void SetCrossfaderLinkChecked(bool checked) override { linkChecked = checked; }
    void SetFlashSoloChecked(bool checked) override { flashSoloChecked = checked; }
    void OnIndependentChannelsChanged() override { ++independentChanges; }
    QWidget *GetWindow() override { return this; }

    std::vector<std::pair<int, QPoint>> rowDrags;
    std::vector<QPoint> outputDrags;
    std::vector<int> subMasterDrags;
    views::CLampConsoleView *leftStrip = nullptr;
    views::CLampConsoleView *rightStrip = nullptr;
    bool editCommandsEnabled = true;
    bool linkChecked = false;
    bool flashSoloChecked = false;
    int independentChanges = 0;
};

/// Records the regions a widget paints.
class PaintSpy : public QObject
{
public:
    explicit PaintSpy(QWidget *widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent *>(event)->region();
        return false;
    }
    /// Lets the pending repaints happen, then starts recording afresh.
    void Settle()
    {
        QCoreApplication::processEvents();
        painted = QRegion();
    }
    QRegion painted;
};

/// The whole console laid out as the main window lays it out, shown and active, with the show,
/// the undo record (its menu state in undoEnabled) and a DMX port on the simulated interface
/// (closed until OpenInterface).
class ConsoleTest : public ::testing::Test
{
protected:
    /// The master pane's whole content, flash buttons included, as on a laptop screen.
    static constexpr int kMasterHeight = 312;

    ConsoleTest()
    {
        model::g_orin = model::COrinGlobal{};
        model::s_channelLevels.fill(0);
        zentra::sim::Restore();
        model::g_orin.m_pUndo = &undo;
        model::g_orin.m_pZentra = &port;
        model::g_orin.m_pMainFrame = &frame;
        model::SetUndoCommandListener([this](bool enabled) { undoEnabled = enabled; });
        frame.resize(1270, 411 + kMasterHeight + 1);
        left = new views::CLampConsoleView(views::CLampConsoleView::Side::Left, &frame);
        dan = new views::CDanConsoleView(&doc, &frame);
        right = new views::CLampConsoleView(views::CLampConsoleView::Side::Right, &frame);
        master = new views::CMasterConsoleView(&doc, &frame);
        left->setGeometry(0, 0, 28, 410);
        dan->setGeometry(29, 0, 1192, 410);
        right->setGeometry(1222, 0, 28, 410);
        master->setGeometry(0, 411, 1250, kMasterHeight);
        frame.leftStrip = left;
        frame.rightStrip = right;
        dan->OnInitialUpdate();
        master->OnInitialUpdate();
        frame.show();
        QApplication::setActiveWindow(&frame);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&frame));
    }
    ~ConsoleTest() override
    {
        if (device)
            Zentra_Close(device);
        model::SetUndoCommandListener(nullptr);
        model::g_orin = model::COrinGlobal{};
    }

    // Interface ----------------------------------------------------------------------------
    void OpenInterface()
    {
        device = Zentra_OpenIDW(zentra::sim::kDeviceId);
        ASSERT_NE(device, nullptr);
        port.SetHandle(device);
        port.SetDeviceId(QString::fromUtf16(zentra::sim::kDeviceId));
    }
    /// The interface delivers the same level on input slots first..last (one successful read).
    void Input(int level, int first = 1, int last = 80)
    {
        for (int slot = first; slot <= last; ++slot)
            inputFrame[slot] = static_cast<uint8_t>(level);
        zentra::sim::SetInputFrame(inputFrame);
        ASSERT_NE(port.ReadFrame(), 0);
    }
    void FailReads(int count)
    {
        zentra::sim::FailNextReads(count);
        for (int i = 0; i < count; ++i)
            port.ReadFrame();
    }

    // Mouse and keys --------------------------------------------------------------------------
    static void Press(QWidget *w, QPoint p) { QTest::mousePress(w, Qt::LeftButton, {}, p); }
    static void Move(QWidget *w, QPoint p) { QTest::mouseMove(w, p); }
    static void Release(QWidget *w, QPoint p) { QTest::mouseRelease(w, Qt::LeftButton, {}, p); }
    static void DoubleClick(QWidget *w, QPoint p) { QTest::mouseDClick(w, Qt::LeftButton, {}, p); }
    static void Key(QWidget *w, int key, bool autoRepeat = false)
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(), autoRepeat);
        QApplication::sendEvent(w, &press);
    }

    // Faders -----------------------------------------------------------------------------------
    controls::CDanFader &Fader(int row, int channel)
    {
        return *dan->GetFader(row * 80 + channel - 1);
    }
    controls::CSubFader &Sub(int number) { return *master->GetSubFader(number - 1); }
    controls::CCross1Fader &HandleA() { return *master->GetCrossFader()->GetHandleA(); }
    controls::CCross1Fader &HandleB() { return *master->GetCrossFader()->GetHandleB(); }
    static QPoint Centre(const QRect &r)
    {
        return QPoint(r.x() + r.width() / 2, r.y() + r.height() / 2);
    }

    model::COrinSUBDoc doc;
    model::UndoRecord undo;
    dmx::COrinZentra port;
    ZENTRA_HANDLE device = nullptr;
    zentra::sim::Frame inputFrame{};
    bool undoEnabled = false;
    TestFrame frame;
    views::CLampConsoleView *left = nullptr;
    views::CDanConsoleView *dan = nullptr;
    views::CLampConsoleView *right = nullptr;
    views::CMasterConsoleView *master = nullptr;
    app::PaneDesk desk; // the keys press the desk's buttons through it, as in the console
};

} // namespace orinsub::testing
