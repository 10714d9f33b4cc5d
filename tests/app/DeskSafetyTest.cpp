// What keeps a stray hand off the stage: the desk lock, the desk's keys under a modal dialog,
// the safe answers of the questions that could end or darken the show.

#include "AppTestSupport.h"
#include "DeskChecks.h"
#include "app/AppResources.h"
#include "app/RecentFileList.h"
#include "app/ShowDocument.h"
#include "controls/MyEdit.h"
#include "controls/QuestionBox.h"
#include "support/ScriptedSeams.h"
#include "surfaces/ControlLayer.h"
#include "surfaces/ControlTarget.h"
#include "surfaces/Desk.h"
#include "views/GoFade.h"
#include "views/LiveControls.h"

#include <QAction>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

using namespace orinsub;
using namespace orinsub::app;

namespace {

class DeskSafetyTest : public orinsub::testing::MainWindowTest
{
protected:
    QString Status() { return Master().GetStatusText(); }
    /// The pane's tick, at once: the status line follows at the next one.
    void Tick() { Master().OnTick(); }
};

TEST_F(DeskSafetyTest, ALockedDeskTakesNoMouseAndChangesNothingOfTheShowYetPlaysOn)
{
    orinsub::testing::ScriptedQuestions questions;
    frame->Command(kIdLock)->trigger();
    Tick();
    EXPECT_TRUE(Status().contains(QStringLiteral("ロック中")));

    orinsub::testing::DragKnob(Dan(), Dan().GetFader(0)->GetKnobRect(), -60);
    EXPECT_EQ(Dan().GetFader(0)->GetLevel(), 0) << "a fader";
    controls::CCross1Fader &handleA = *Master().GetCrossFader()->GetHandleA();
    orinsub::testing::DragKnob(Master(), handleA.GetKnobRect(), -80);
    EXPECT_EQ(handleA.GetLevel(), 0) << "a handle";
    const QRect go = Master().GetLiveControls().GetGoButton().GetRect();
    QTest::mouseClick(Master().viewport(), Qt::LeftButton, {},
                      Master().ClientToWidget(go.center() - Master().GetScrollPosition()));
    EXPECT_FALSE(Master().GetGoFade().IsRunning()) << "the GO button on the screen";

    for (int id :
         {kIdFileNew, kIdFileOpen, kIdPatch, kIdFadeTime, kIdFlashSolo, kIdHookA, kIdMatchSub})
        EXPECT_FALSE(frame->Command(id)->isEnabled()) << id;
    auto *name = frame->findChildren<controls::CMyEdit *>().first();
    EXPECT_TRUE(name->isReadOnly());
    CRecentFileList recent;
    CShowDocument show(doc, recent);
    show.SetFrame(frame.get());
    EXPECT_FALSE(show.OpenDocumentFile(QStringLiteral("/nowhere/else.orin")));
    EXPECT_EQ(questions.texts.value(0), kLockedShowRefused) << "a show dropped or handed over";

    // The keys and every surface play on.
    QTest::keyClick(frame.get(), Qt::Key_F12);
    EXPECT_TRUE(Master().GetGoFade().IsRunning()) << "F12";
    QTest::keyClick(frame.get(), Qt::Key_B, Qt::ControlModifier);
    EXPECT_TRUE(Master().IsBlackout()) << "Ctrl+B";
    surfaces::ControlLayer &layer = frame->GetControlLayer();
    layer.GetDesk().Move(*surfaces::ControlTarget::Parse(QStringLiteral("A/1")), 200);
    EXPECT_EQ(Dan().GetFader(0)->GetLevel(), 200) << "a surface's fader";

    layer.GetDesk().Move(*surfaces::ControlTarget::Parse(QStringLiteral("lock")), 0);
    Tick();
    EXPECT_FALSE(frame->Command(kIdLock)->isChecked()) << "the lock target unlocks";
    EXPECT_FALSE(Status().contains(QStringLiteral("ロック中")));
    EXPECT_TRUE(frame->Command(kIdFileNew)->isEnabled());
    EXPECT_FALSE(name->isReadOnly());
    orinsub::testing::DragKnob(Dan(), Dan().GetFader(1)->GetKnobRect(), -60);
    EXPECT_GT(Dan().GetFader(1)->GetLevel(), 0);
}

TEST_F(DeskSafetyTest, UnlockingFromTheMenuTakesTheCodeWhenOneIsSet)
{
    orinsub::testing::ScriptedQuestions questions;
    QSettings().setValue(QStringLiteral("lock/code"), QStringLiteral("4711"));
    QAction *lock = frame->Command(kIdLock);
    lock->trigger();
    ASSERT_TRUE(lock->isChecked());

    lock->trigger(); // cancelled
    EXPECT_TRUE(lock->isChecked());
    questions.secrets = {QStringLiteral("1234")};
    lock->trigger();
    EXPECT_TRUE(lock->isChecked());
    EXPECT_EQ(questions.texts.last(), kWrongUnlockCode);
    questions.secrets = {QStringLiteral("4711")};
    lock->trigger();
    EXPECT_FALSE(lock->isChecked());
    EXPECT_TRUE(frame->Command(kIdFileOpen)->isEnabled());
}

// Qt holds a blocked window's shortcuts while a modal box is up; the desk's keys still play.
TEST_F(DeskSafetyTest, TheDesksKeysPlayWhileAModalDialogIsOpen)
{
    QDialog dialog(frame.get());
    dialog.setModal(true);
    bool blackoutSeen = false, goSeen = false;
    QTimer::singleShot(0, &dialog, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        ASSERT_EQ(modal, &dialog);
        QTest::keyClick(modal, Qt::Key_B, Qt::ControlModifier);
        blackoutSeen = Master().IsBlackout();
        QTest::keyClick(modal, Qt::Key_F12);
        goSeen = Master().GetGoFade().IsRunning();
        dialog.reject();
    });
    dialog.exec();
    EXPECT_TRUE(blackoutSeen) << "Ctrl+B";
    EXPECT_TRUE(goSeen) << "F12";
}

// The boxes themselves: Enter, Space and Escape never quit, never start afresh, never go on
// without saving.
TEST_F(DeskSafetyTest, EnterSpaceAndEscapeGiveTheSafeAnswer)
{
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Space, Qt::Key_Escape}) {
        const auto press = [key] {
            QWidget *box = QApplication::activeModalWidget();
            ASSERT_NE(box, nullptr);
            QTest::keyClick(box->focusWidget() ? box->focusWidget() : box, key);
        };
        QTimer::singleShot(0, frame.get(), press);
        EXPECT_TRUE(controls::Questions().AskSafeChoice(frame.get(), kAskToCloseWhileOutput,
                                                        kAppTitle, kStayOpen, kCloseAnyway))
            << key;
        QTimer::singleShot(0, frame.get(), press);
        EXPECT_EQ(controls::Questions().AskYesNoCancel(frame.get(), kAskToSave, kAppTitle), -1)
            << key;
    }
}

} // namespace
