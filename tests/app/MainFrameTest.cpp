#include "app/MainFrame.h"
#include "AppTestSupport.h"
#include "app/AppResources.h"
#include "app/CueGotoDlg.h"
#include "app/FadeTimeDlg.h"
#include "app/MySplitterWnd.h"
#include "controls/Dan.h"
#include "controls/DanFader.h"
#include "controls/FaderLabel.h"
#include "controls/MyEdit.h"
#include "controls/RcLamp.h"
#include "controls/SubFader.h"
#include "dmx/LinkTick.h"
#include "dmx/OrinZentra.h"
#include "model/CueTexts.h"
#include "model/Mix.h"
#include "model/OrinGlobal.h"
#include "model/OrinSUBDoc.h"
#include "model/UndoRecord.h"
#include "patch/OrinPatchView.h"
#include "patch/PatchFrame.h"
#include "patch/PatchInputView.h"
#include "patch/PatchLook.h"
#include "support/ScriptedSeams.h"
#include "surfaces/ControlLayer.h"
#include "surfaces/RecordingSurface.h"
#include "views/CuePlayback.h"
#include "views/DanConsoleView.h"
#include "views/GoFade.h"
#include "views/LampConsoleView.h"
#include "views/LiveControls.h"
#include "views/MasterConsoleView.h"
#include "zentra/SimulatedInterface.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSpinBox>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

using namespace orinsub;
using namespace orinsub::app;
using orinsub::testing::ManualLinkTimers;

namespace {

class MainFrameTest : public orinsub::testing::MainWindowTest
{
protected:
    views::CLampConsoleView &Left() { return *frame->GetLampView(false); }
    bool InA() { return Left().GetInButton(0)->IsOn(); }
    bool InB() { return Left().GetInButton(1)->IsOn(); }
    bool InSub() { return Master().GetInButton()->IsOn(); }

    /// Types keys where the operator's keys go now: the focused widget, or the window.
    void Type(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : frame.get();
        QTest::keyClick(target, key, modifiers);
    }
    /// The link tick delivers level on input slots 1..80 (the first tick opens the interface).
    void Input(uint8_t level)
    {
        zentra::sim::Frame input{};
        for (int slot = 1; slot <= 80; ++slot)
            input[slot] = level;
        zentra::sim::SetInputFrame(input);
        for (int i = 0; i < 2; ++i)
            ManualLinkTimers::current()->Fire();
        ASSERT_TRUE(model::g_orin.m_pZentra->IsOpen());
    }
    int HookedFadersOfRow(int row)
    {
        int hooked = 0;
        for (int i = 0; i < 80; ++i)
            hooked += Dan().GetRow(row)->GetFader(i)->IsHooked();
        return hooked;
    }
};

TEST_F(MainFrameTest, PanesStandInTheDefaultLayoutOnePixelApart)
{
    EXPECT_EQ(frame->pos(), QPoint(2, 2));
    EXPECT_EQ(frame->size(), QSize(1270, 768));
    auto inClient = [&](QWidget *pane) {
        return QRect(pane->mapTo(frame->centralWidget(), QPoint()), pane->size());
    };
    EXPECT_EQ(inClient(&Left()), QRect(0, 0, 28, 410));
    EXPECT_EQ(inClient(&Dan()), QRect(29, 0, 1192, 410));
    const QRect right = inClient(frame->GetLampView(true));
    EXPECT_EQ(right.topLeft(), QPoint(1222, 0));
    EXPECT_GE(right.width(), 28);
    EXPECT_EQ(right.height(), 410);
    const QRect master = inClient(&Master());
    EXPECT_EQ(master.topLeft(), QPoint(0, 411));
    EXPECT_GE(master.width(), 1250);
    EXPECT_GE(master.height(), 280);
    EXPECT_EQ(frame->GetPaneOrigin(), Left().mapToGlobal(QPoint()));

    // Dragging the bar beside a lamp strip moves nothing.
    QSplitterHandle *bar = static_cast<QSplitter *>(Dan().parentWidget())->handle(1);
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(5, 0));
    QTest::mouseMove(bar, QPoint(120, 5));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(120, 5));
    EXPECT_EQ(inClient(&Dan()), QRect(29, 0, 1192, 410));
    EXPECT_EQ(inClient(&Master()).topLeft(), QPoint(0, 411));
}

TEST_F(MainFrameTest, RegistersItselfThePanesAndTheSharedObjects)
{
    const model::COrinGlobal &g = model::g_orin;
    EXPECT_EQ(g.m_pMainFrame, frame.get());
    EXPECT_EQ(g.m_pSplitter, frame->GetSplitter());
    EXPECT_EQ(g.m_pDanView, &Dan());
    EXPECT_EQ(g.m_pMasterView, &Master());
    EXPECT_EQ(g.m_pLampView, &Left());
    ASSERT_NE(g.m_pZentra, nullptr);
    EXPECT_FALSE(g.m_pZentra->IsOpen());
    ASSERT_NE(g.m_pUndo, nullptr);
    EXPECT_FALSE(g.m_pUndo->m_valid);
    ASSERT_NE(ManualLinkTimers::current(), nullptr);
    EXPECT_TRUE(ManualLinkTimers::current()->IsRunning());
    EXPECT_EQ(ManualLinkTimers::current()->period, dmx::kLinkPeriod);
}

TEST_F(MainFrameTest, MenusShowTheirTextsAndShortcutsWithEditCommandsGreyedAtStart)
{
    QStringList shown;
    for (QAction *menu : frame->menuBar()->actions()) {
        shown << menu->text();
        for (QAction *item : menu->menu()->actions())
            shown << (item->isSeparator() ? QStringLiteral("-")
                                          : item->text() + (item->isEnabled() ? "" : " (grey)"));
    }
    const QStringList expected = {"ファイル(&F)",
                                  "新規作成(&N)\tCtrl+N",
                                  "開く(&O)...\tCtrl+O",
                                  "上書き保存(&S)\tCtrl+S",
                                  "名前を付けて保存(&A)...",
                                  "-",
                                  "書き出し(&E)",
                                  "読み込み(&I)",
                                  "-",
                                  "印刷(&P)...\tCtrl+P",
                                  "PDF に書き出す(&D)...",
                                  "-",
                                  "最近使ったファイル (grey)",
                                  "-",
                                  "アプリケーションの終了(&X)",
                                  "編集(&E)",
                                  "元に戻す(&U)\tCtrl+Z (grey)",
                                  "-",
                                  "切り取り(&T)\tCtrl+X (grey)",
                                  "コピー(&C)\tCtrl+C (grey)",
                                  "貼り付け(&P)\tCtrl+V (grey)",
                                  "-",
                                  "すべて選択(&A)\tCtrl+A (grey)",
                                  "操作(&T)",
                                  "パッチ(&P)...\tF11",
                                  "キューリスト(&L)...\tF9",
                                  "チェイス(&E)...\tF8",
                                  "-",
                                  "クロスフェーダーを連結(&C)\tF1",
                                  "フラッシュボタンをソロにする(&O)",
                                  "GO(&G)\tF12",
                                  "カット(&X)\tShift+F12",
                                  "フェード時間(&F)...",
                                  "ブラックアウト(&B)\tCtrl+B",
                                  "キュー再生(&Q)",
                                  "戻る(&B)\tCtrl+F12 (grey)",
                                  "キューへ移動(&J)...\tCtrl+G (grey)",
                                  "戻る時間(&K)...",
                                  "操作ロック(&R)\tCtrl+L",
                                  "本番を引き継ぐ(&T)... (grey)",
                                  "本番を渡す(&H)... (grey)",
                                  "外部操作卓(&S)...",
                                  "-",
                                  "入力引っかけ:A段\tCtrl+1",
                                  "入力引っかけ:B段\tCtrl+2",
                                  "入力引っかけ:サブマスター\tCtrl+3",
                                  "入力引っかけを解除\tCtrl+4",
                                  "-",
                                  "入力値に合わせる:A段\tCtrl+Alt+1",
                                  "入力値に合わせる:B段\tCtrl+Alt+2",
                                  "入力値に合わせる:サブマスター\tCtrl+Alt+3",
                                  "ヘルプ(&H)",
                                  "バージョン情報 OrinSUB(&A)..."};
    EXPECT_EQ(shown, expected);
    // F1 is the console's key, not an accelerator: an accelerator would also fire on auto-repeat.
    EXPECT_TRUE(frame->Command(kIdCrossfaderLink)->shortcuts().isEmpty());
}

TEST_F(MainFrameTest, EveryAcceleratorReachesItsCommand)
{
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier, alt = Qt::AltModifier,
                                shift = Qt::ShiftModifier;
    const std::vector<std::pair<QKeyCombination, int>> table = {
        {ctrl | Qt::Key_C, kIdEditCopy},
        {ctrl | Qt::Key_Insert, kIdEditCopy},
        {shift | Qt::Key_Delete, kIdEditCut},
        {ctrl | Qt::Key_X, kIdEditCut},
        {ctrl | Qt::Key_V, kIdEditPaste},
        {shift | Qt::Key_Insert, kIdEditPaste},
        {alt | Qt::Key_Backspace, kIdEditUndo},
        {ctrl | Qt::Key_Z, kIdEditUndo},
        {ctrl | Qt::Key_N, kIdFileNew},
        {ctrl | Qt::Key_O, kIdFileOpen},
        {ctrl | Qt::Key_S, kIdFileSave},
        {QKeyCombination(Qt::Key_F6), kIdNextPane},
        {shift | Qt::Key_F6, kIdPrevPane},
        {ctrl | Qt::Key_A, kIdEditSelectAll},
        {QKeyCombination(Qt::Key_F11), kIdPatch},
        {ctrl | Qt::Key_1, kIdHookA},
        {ctrl | Qt::Key_2, kIdHookB},
        {ctrl | Qt::Key_3, kIdHookSub},
        {ctrl | Qt::Key_4, kIdHookNone},
        {ctrl | alt | Qt::Key_1, kIdMatchA},
        {ctrl | alt | Qt::Key_2, kIdMatchB},
        {ctrl | alt | Qt::Key_3, kIdMatchSub},
        {ctrl | alt | shift | Qt::Key_1, kIdMatchA},
        {ctrl | alt | shift | Qt::Key_2, kIdMatchB},
        {ctrl | alt | shift | Qt::Key_3, kIdMatchSub},
        {QKeyCombination(Qt::Key_F12), kIdGo},
        {shift | Qt::Key_F12, kIdCut},
        {ctrl | Qt::Key_B, kIdBlackout},
        {ctrl | Qt::Key_F12, kIdCueBack},
        {ctrl | Qt::Key_G, kIdCueGoto},
        {ctrl | Qt::Key_L, kIdLock},
        {QKeyCombination(Qt::Key_F9), kIdCueList},
        {QKeyCombination(Qt::Key_F8), kIdChases},
    };
    for (const auto &[keys, id] : table) {
        QAction *action = frame->Command(id);
        ASSERT_NE(action, nullptr) << id;
        EXPECT_TRUE(action->shortcuts().contains(QKeySequence(keys)))
            << id << " " << QKeySequence(keys).toString().toStdString();
    }
}

TEST_F(MainFrameTest, NameBoxEnablesEditCommandsAndThePaneGreysThemAgain)
{
    controls::CMyEdit *box = Dan().GetNameLabel(0)->GetEdit();
    QTest::mouseClick(box->viewport(), Qt::LeftButton);
    ASSERT_TRUE(box->hasFocus());
    for (int id : {kIdEditCut, kIdEditCopy, kIdEditPaste, kIdEditSelectAll, kIdEditUndo})
        EXPECT_TRUE(frame->Command(id)->isEnabled()) << id;

    QTest::keyClicks(box, QStringLiteral("Spot"));
    EXPECT_EQ(doc.Channel(0).GetName(), QStringLiteral("Spot"));
    Type(Qt::Key_A, Qt::ControlModifier);
    Type(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(doc.Channel(0).GetName(), QString());

    Type(Qt::Key_Escape); // back to the pane
    EXPECT_TRUE(Dan().hasFocus());
    for (int id : {kIdEditCut, kIdEditCopy, kIdEditPaste, kIdEditSelectAll, kIdEditUndo})
        EXPECT_FALSE(frame->Command(id)->isEnabled()) << id;
}

TEST_F(MainFrameTest, CtrlOneTwiceKeepsTheALampLitAndCtrlFourPutsEveryLampOut)
{
    Master().GetInButton()->SetOn(true);
    Type(Qt::Key_1, Qt::ControlModifier);
    EXPECT_TRUE(InA());
    EXPECT_FALSE(InB());
    EXPECT_FALSE(InSub());
    Type(Qt::Key_1, Qt::ControlModifier);
    EXPECT_TRUE(InA());

    Type(Qt::Key_2, Qt::ControlModifier);
    EXPECT_FALSE(InA());
    EXPECT_TRUE(InB());
    Type(Qt::Key_3, Qt::ControlModifier);
    EXPECT_FALSE(InB());
    EXPECT_TRUE(InSub());

    Left().GetInButton(0)->SetHover(true);
    Type(Qt::Key_4, Qt::ControlModifier);
    EXPECT_FALSE(InA() || InB() || InSub());
    EXPECT_FALSE(Left().GetInButton(0)->IsHovered());
    EXPECT_EQ(HookedFadersOfRow(0) + HookedFadersOfRow(1), 0); // take-over copies nothing

    frame->SetInputHook(static_cast<views::InputTarget>(4));
    frame->SetInputHook(static_cast<views::InputTarget>(-1));
    EXPECT_FALSE(InA() || InB() || InSub());
}

TEST_F(MainFrameTest, MatchAnsweredWithCancelLeavesTheLampLitAndNothingHooked)
{
    orinsub::testing::ScriptedQuestions questions;
    orinsub::testing::HeldKeys keys(false);
    questions.Answer({0});
    Dan().GetRow(0)->GetFader(4)->SetLevel(77);
    Type(Qt::Key_1, Qt::ControlModifier | Qt::AltModifier);

    ASSERT_EQ(questions.texts.size(), 1);
    EXPECT_EQ(questions.texts[0],
              QStringLiteral("A段のレベルをDMX入力のレベルに合わせます\nよろしいですか？"));
    EXPECT_EQ(questions.captions[0], QStringLiteral("A段をすべて引っかけ"));
    EXPECT_TRUE(InA());
    EXPECT_EQ(HookedFadersOfRow(0), 0);
    Input(200);
    Dan().PickUpInput();
    EXPECT_EQ(Dan().GetRow(0)->GetFader(4)->GetLevel(), 77);
}

TEST_F(MainFrameTest, MatchWithShiftAsksNothingAndTheRowTakesTheInputAtTheNextTick)
{
    orinsub::testing::ScriptedQuestions questions;
    orinsub::testing::HeldKeys shift(true);
    Input(150);
    Type(Qt::Key_1, Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);

    EXPECT_TRUE(questions.texts.isEmpty());
    EXPECT_TRUE(InA());
    EXPECT_EQ(HookedFadersOfRow(0), 80);
    EXPECT_EQ(HookedFadersOfRow(1), 0);
    Dan().PickUpInput();
    for (int i = 0; i < 80; ++i)
        ASSERT_EQ(Dan().GetRow(0)->GetFader(i)->GetLevel(), 150) << i;
}

TEST_F(MainFrameTest, SubMasterMatchConfirmedHooksAllTwentyFaders)
{
    orinsub::testing::ScriptedQuestions questions;
    orinsub::testing::HeldKeys keys(false);
    questions.Answer({1});
    Left().GetInButton(1)->SetOn(true);
    Type(Qt::Key_3, Qt::ControlModifier | Qt::AltModifier);

    ASSERT_EQ(questions.captions, QStringList{QStringLiteral("サブマスターをすべて引っかけ")});
    EXPECT_TRUE(InSub());
    EXPECT_FALSE(InA() || InB());
    for (int j = 0; j < 20; ++j)
        EXPECT_TRUE(Master().GetSubFader(j)->IsHooked()) << j;
}

TEST_F(MainFrameTest, F11OpensOnePatchWindowAndAnotherAfterItClosed)
{
    Type(Qt::Key_F11);
    QPointer<patch::CPatchFrame> first = frame->GetPatchFrame();
    ASSERT_TRUE(first);
    EXPECT_TRUE(frame->IsPatchViewOpen());
    QApplication::setActiveWindow(frame.get());
    frame->Command(kIdPatch)->trigger();
    EXPECT_EQ(frame->GetPatchFrame(), first);

    first->close();
    QApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(first);
    EXPECT_FALSE(frame->IsPatchViewOpen());
    frame->Command(kIdPatch)->trigger();
    EXPECT_TRUE(frame->IsPatchViewOpen());
    EXPECT_NE(frame->GetPatchFrame(), nullptr);
}

// Real key events where the operator's keys go: a name box, the patch window, a pane.
TEST_F(MainFrameTest, GoAndCutKeysWorkInEveryWindowAndSpaceWhereItTypesNoText)
{
    views::GoFade &go = Master().GetGoFade();
    auto now = std::chrono::steady_clock::now();
    go.SetClock([&now] { return now; });
    auto onAir = [this] { return Master().GetCrossfaderLevel(0) == 255 ? 'A' : 'B'; };

    controls::CMyEdit *name = Dan().GetNameLabel(0)->GetEdit();
    QTest::mouseClick(name->viewport(), Qt::LeftButton);
    ASSERT_TRUE(name->hasFocus());
    Type(Qt::Key_Space);
    EXPECT_EQ(name->toPlainText(), QStringLiteral(" ")) << "a name box takes the space";
    EXPECT_FALSE(go.IsRunning());
    Type(Qt::Key_F12);
    EXPECT_TRUE(go.IsRunning());
    Type(Qt::Key_F12, Qt::ShiftModifier);
    EXPECT_FALSE(go.IsRunning());
    EXPECT_EQ(onAir(), 'A');

    Type(Qt::Key_F11);
    patch::CPatchFrame *patch = frame->GetPatchFrame();
    ASSERT_NE(patch, nullptr);
    QApplication::setActiveWindow(patch);
    ASSERT_TRUE(QTest::qWaitForWindowActive(patch));
    patch->InputView()->DimBox()->setFocus();
    now += std::chrono::seconds(1);
    Type(Qt::Key_F12);
    EXPECT_TRUE(go.IsRunning());
    Type(Qt::Key_F12, Qt::ShiftModifier);
    EXPECT_EQ(onAir(), 'B');
    EXPECT_TRUE(patch->InputView()->DimBox()->text().isEmpty());

    patch->close();
    QApplication::setActiveWindow(frame.get());
    Dan().setFocus();
    now += std::chrono::seconds(1);
    Type(Qt::Key_Space);
    EXPECT_TRUE(go.IsRunning());
    frame->Command(kIdCut)->trigger();
    EXPECT_EQ(onAir(), 'A');
}

TEST_F(MainFrameTest, ClosingWhileTheOutputIsLitAsksBeforeTheSaveQuestionButAStopSignalDoesNot)
{
    orinsub::testing::ScriptedQuestions questions;
    QStringList asked;
    frame->SetCloseGuard([&] {
        asked << QStringLiteral("save");
        return true;
    });
    Dan().MoveFaderTo(1, 0, 200); // row B is on air
    ASSERT_EQ(model::g_orin.m_pZentra->GetOutputSlot(1), 200);

    frame->Command(kIdAppExit)->trigger(); // Enter, Space or Escape: the safe answer
    EXPECT_EQ(questions.texts, QStringList{kAskToCloseWhileOutput});
    EXPECT_TRUE(asked.isEmpty()) << "cancelled before the save question";
    EXPECT_TRUE(frame->isVisible());

    questions.Answer({-1}); // 終了する, chosen on purpose
    EXPECT_TRUE(frame->close());
    EXPECT_EQ(asked, QStringList{QStringLiteral("save")});
    frame->show();

    EXPECT_TRUE(frame->CloseOnStopSignal());
    EXPECT_EQ(questions.texts.size(), 2) << "a stop signal is not asked";
    frame->show();

    Dan().MoveFaderTo(1, 0, 0);
    EXPECT_TRUE(frame->close());
    EXPECT_EQ(questions.texts.size(), 2) << "nothing on the output, nothing to ask";
}

TEST_F(MainFrameTest, SurfacesOnTheWindowsLayerHearTheKeysAndMenus)
{
    orinsub::testing::RecordingSurface surface({"in/A", "link", "go", "page/down"});
    surfaces::ControlLayer &layer = frame->GetControlLayer();
    layer.Attach(&surface);
    Type(Qt::Key_1, Qt::ControlModifier);
    Type(Qt::Key_F1);
    Type(Qt::Key_Up);
    Type(Qt::Key_Space);
    layer.Flush();
    for (const char *lit : {"in/A", "link", "go", "page/down"})
        EXPECT_EQ(surface.Last(QString::fromLatin1(lit))->value, 1) << lit;
    frame->Command(kIdHookNone)->trigger();
    layer.Flush();
    EXPECT_EQ(surface.Last("in/A")->value, 0);
    layer.Detach(&surface);
}

TEST_F(MainFrameTest, TheFadeTimeBelongsToTheShowOnTheDesk)
{
    QTimer::singleShot(0, [] {
        auto *dialog = dynamic_cast<CFadeTimeDlg *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->GetSpinBox()->text(), QStringLiteral("3.0"));
        dialog->GetSpinBox()->setValue(12);
        dialog->accept();
    });
    frame->Command(kIdFadeTime)->trigger();
    EXPECT_EQ(Master().GetGoFade().GetFadeTime(), 12);
    EXPECT_EQ(doc.m_extension.fadeTime, 12);
    EXPECT_TRUE(doc.IsModified());

    // Typed in minutes; a text that is no time is told and keeps the dialog open.
    orinsub::testing::ScriptedQuestions questions;
    QTimer::singleShot(0, [] {
        auto *dialog = dynamic_cast<CFadeTimeDlg *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        for (const char *typed : {"1:5", "10:00"}) {
            dialog->GetSpinBox()->selectAll();
            QTest::keyClicks(dialog->GetSpinBox(), QString::fromLatin1(typed));
            dialog->accept();
        }
    });
    frame->Command(kIdFadeTime)->trigger();
    EXPECT_EQ(questions.texts,
              QStringList{model::texts::kTimeRange.toString().arg(QStringLiteral("フェード時間"))});
    EXPECT_EQ(Master().GetLiveControls().GetFadeTimeText(), QStringLiteral("10:00.0"));

    // The wheel over the time beside GO goes the same way.
    doc.SetModifiedFlag(false);
    views::LiveControls &live = Master().GetLiveControls();
    const QPoint over = live.GetFadeTimeRect().center() - Master().GetScrollPosition();
    QWheelEvent wheel(over, Master().viewport()->mapToGlobal(over), {}, QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(Master().viewport(), &wheel);
    EXPECT_EQ(doc.m_extension.fadeTime, 6001);
    EXPECT_TRUE(doc.IsModified());

    // Another show on the desk (opened, or New) brings its own fade time, unmodified.
    doc.m_extension.fadeTime = 75;
    doc.SetModifiedFlag(false);
    frame->OnInitialUpdate();
    EXPECT_EQ(Master().GetGoFade().GetFadeTime(), 75);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(MainFrameTest, CtrlBSwitchesBlackoutAtOnceFromEveryWindowAndTheCheckMarkFollows)
{
    Dan().MoveFaderTo(1, 0, 200); // row B on air
    QAction *item = frame->Command(kIdBlackout);
    EXPECT_EQ(item->shortcutContext(), Qt::ApplicationShortcut);
    Type(Qt::Key_B, Qt::ControlModifier);
    EXPECT_TRUE(Master().IsBlackout());
    EXPECT_TRUE(item->isChecked());
    EXPECT_EQ(model::s_channelLevels[0], 0);
    Master().SetBlackout(false); // a surface, or the button held
    EXPECT_FALSE(item->isChecked());
    EXPECT_EQ(model::s_channelLevels[0], 200);

    // Neither is the show's: another show on the desk leaves them as they stand.
    Master().SetGrandMaster(100);
    item->trigger();
    frame->OnInitialUpdate();
    EXPECT_EQ(Master().GetGrandMaster(), 100);
    EXPECT_TRUE(Master().IsBlackout());
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(MainFrameTest, TheFlashModeIsTheShowsAndItsMenuItemFollowsTheShowOnTheDesk)
{
    QAction *solo = frame->Command(kIdFlashSolo);
    EXPECT_TRUE(solo->isCheckable());
    solo->trigger();
    EXPECT_TRUE(solo->isChecked());
    EXPECT_EQ(doc.m_extension.flashMode, model::FlashMode::Solo);
    EXPECT_TRUE(doc.IsModified());

    doc.m_extension.flashMode = model::FlashMode::Flash; // another show opened
    frame->OnInitialUpdate();
    EXPECT_FALSE(solo->isChecked());
}

TEST_F(MainFrameTest, AClickOnAChannelsMarkInThePatchWindowSwitchesItsIndependence)
{
    Type(Qt::Key_F11);
    ASSERT_TRUE(frame->GetPatchFrame());
    patch::COrinPatchView *grid = frame->GetPatchFrame()->PatchView();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(grid));
    const QPoint mark = grid->MarkBox(4).center(); // channel 5, the grid at its top
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, mark);
    EXPECT_TRUE(doc.m_extension.IsIndependent(5));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(grid->viewport()->grab().toImage().pixelColor(mark), patch::kIndependentColour);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, mark + QPoint(9, 0));
    EXPECT_FALSE(doc.m_extension.IsIndependent(5)) << "near the box counts";
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, QPoint(300, mark.y()));
    EXPECT_FALSE(doc.m_extension.IsIndependent(5)) << "a dimmer is no mark";
}

TEST_F(MainFrameTest, CrossfaderLinkFollowsTheMenuAndF1WithItsCheckMark)
{
    QAction *link = frame->Command(kIdCrossfaderLink);
    link->trigger();
    EXPECT_TRUE(link->isChecked());
    Type(Qt::Key_F1);
    EXPECT_FALSE(link->isChecked());
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(frame.get(), &repeat);
    EXPECT_FALSE(link->isChecked());
}

TEST_F(MainFrameTest, TabAtTheWindowGoesToTheFirstSubMasterNameAndTabInANameBoxStaysOnThePanes)
{
    Type(Qt::Key_Tab);
    EXPECT_TRUE(Master().GetNameLabel(0)->GetEdit()->hasFocus());

    controls::CMyEdit *channelName = Dan().GetNameLabel(0)->GetEdit();
    channelName->setFocus();
    Type(Qt::Key_Tab);
    EXPECT_TRUE(Dan().GetNameLabel(1)->GetEdit()->hasFocus());
    EXPECT_EQ(channelName->toPlainText(), QString());
    Type(Qt::Key_Escape);
    EXPECT_TRUE(Dan().hasFocus());
}

TEST_F(MainFrameTest, F6AndShiftF6WalkThroughThePanes)
{
    Type(Qt::Key_F6);
    EXPECT_TRUE(Left().hasFocus());
    Type(Qt::Key_F6);
    EXPECT_TRUE(Dan().hasFocus());
    Type(Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_TRUE(Left().hasFocus());
    Type(Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_TRUE(Master().hasFocus());
}

TEST_F(MainFrameTest, OutputReadoutsFollowTheChannelLevelsWithinATenthOfASecond)
{
    model::s_channelLevels[0] = 128;
    model::s_channelLevels[79] = 255;
    EXPECT_TRUE(QTest::qWaitFor([&] { return Dan().GetOutputDisplayLevel(0) == 128; }, 1000));
    EXPECT_EQ(Dan().GetOutputDisplayLevel(79), 255);
}

TEST_F(MainFrameTest, ClosingFinishesTheLinkBeforeThePortGoesAndTicksNoMore)
{
    Input(0);
    ASSERT_EQ(zentra::sim::GetCounts().openHandles, 1);
    bool stoppedWithPortOpen = false;
    bool stoppedWhileHeld = false;
    ManualLinkTimers::current()->onStop = [&] {
        stoppedWithPortOpen = model::g_orin.m_pZentra && model::g_orin.m_pZentra->IsOpen() &&
                              zentra::sim::GetCounts().openHandles == 1;
        stoppedWhileHeld = dmx::s_tickBusy.test();
    };
    const uint64_t writes = zentra::sim::GetCounts().writes;
    frame.reset();

    EXPECT_TRUE(stoppedWithPortOpen);
    EXPECT_TRUE(stoppedWhileHeld); // a tick starting meanwhile would have returned at once
    EXPECT_FALSE(dmx::s_tickBusy.test());
    EXPECT_EQ(ManualLinkTimers::current(), nullptr);
    const zentra::sim::Counts counts = zentra::sim::GetCounts();
    EXPECT_EQ(counts.openHandles, 0);
    EXPECT_EQ(counts.closedWhileInUse, 0);
    EXPECT_EQ(counts.writes, writes);
    EXPECT_EQ(model::g_orin.m_pZentra, nullptr);
    EXPECT_EQ(model::g_orin.m_pUndo, nullptr);
    EXPECT_EQ(model::g_orin.m_pMainFrame, nullptr);
    EXPECT_EQ(model::g_orin.m_pDanView, nullptr);
}

} // namespace

TEST_F(MainFrameTest, TheCueListTakesTheCrossfaderFromTheMenuAndGotoAsksForAKnownCue)
{
    for (int number : {10, 20}) {
        model::Cue cue;
        cue.number = number;
        cue.look[0] = static_cast<uint8_t>(number);
        ASSERT_TRUE(doc.m_extension.cues.Add(cue).IsOk());
    }
    auto now = std::chrono::steady_clock::now();
    Master().GetGoFade().SetClock([&now] { return now; });
    views::CuePlayback &cues = frame->GetCuePlayback();
    frame->Command(kIdCuePlayback)->trigger();
    EXPECT_TRUE(cues.IsPlaying());
    EXPECT_TRUE(frame->Command(kIdCuePlayback)->isChecked());
    EXPECT_TRUE(frame->Command(kIdCueBack)->isEnabled());
    frame->Command(kIdGo)->trigger();
    EXPECT_EQ(Dan().GetRow(0)->GetFader(0)->GetLevel(), 10) << "cue 1 into row A";
    EXPECT_EQ(cues.GetCurrentCue(), 10);
    Master().GetGoFade().Cut();
    now += std::chrono::seconds(1);

    orinsub::testing::ScriptedQuestions questions;
    QTimer::singleShot(0, [] {
        auto *dialog = dynamic_cast<CueGotoDlg *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        for (const char *typed : {"2.5", "abc", "0", "２"}) {
            dialog->GetNumberBox()->setText(QString::fromUtf8(typed));
            dialog->accept();
        }
    });
    frame->Command(kIdCueGoto)->trigger();
    EXPECT_EQ(questions.texts,
              (QStringList{"キュー 2.5 はありません。", model::texts::kCueNumberRange.toString(),
                           model::texts::kCueNumberRange.toString()}));
    EXPECT_EQ(cues.GetCurrentCue(), 20);

    orinsub::testing::PrivateSettings settings;
    QTimer::singleShot(0, [] {
        auto *dialog = dynamic_cast<CFadeTimeDlg *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->GetSpinBox()->value(), 10);
        dialog->GetSpinBox()->setValue(25);
        dialog->accept();
    });
    frame->Command(kIdCueBackTime)->trigger();
    EXPECT_EQ(cues.GetBackTime(), 25);
    EXPECT_EQ(QSettings().value(QStringLiteral("Cues/BackTime")).toInt(), 25);

    frame->Command(kIdCuePlayback)->trigger();
    EXPECT_FALSE(frame->Command(kIdCueGoto)->isEnabled());
}
