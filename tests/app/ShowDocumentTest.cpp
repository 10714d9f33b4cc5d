#include "app/ShowDocument.h"
#include "AppTestSupport.h"
#include "app/AboutDlg.h"
#include "app/AppResources.h"
#include "app/CommandLine.h"
#include "app/HandOverQueue.h"
#include "app/LiveDesk.h"
#include "app/MainFrame.h"
#include "app/MainMenu.h"
#include "app/OrinSUBApp.h"
#include "app/RecentFileList.h"
#include "app/RecoverySlot.h"
#include "app/RecoveryWriter.h"
#include "app/ShowFileChooser.h"
#include "controls/FaderLabel.h"
#include "controls/MyEdit.h"
#include "model/LiveState.h"
#include "model/OrinGlobal.h"
#include "model/OrinSUBDoc.h"
#include "model/ShowFile.h"
#include "model/ShowFileWriter.h"
#include "support/ScriptedSeams.h"
#include "support/TempFiles.h"
#include "views/DanConsoleView.h"
#include "zentra/SimulatedInterface.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <deque>
#include <gtest/gtest.h>

using namespace orinsub;
using namespace orinsub::app;

namespace {

class ScriptedFileChooser : public ShowFileChooser
{
public:
    QString ChooseOpenPath(QWidget *) override { return Next(); }
    QString ChooseSavePath(QWidget *, const QString &suggested) override
    {
        suggestions << suggested;
        return Next();
    }
    std::deque<QString> answers; // empty string: the operator cancelled
    QStringList suggestions;

private:
    QString Next()
    {
        if (answers.empty())
            return {};
        QString answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

class ShowDocumentTest : public ::testing::Test
{
protected:
    ShowDocumentTest()
    {
        model::g_orin = model::COrinGlobal{};
        zentra::sim::Restore();
        SetFileChooser(&chooser);
    }
    ~ShowDocumentTest() override
    {
        app.reset();
        SetFileChooser(nullptr);
        model::g_orin = model::COrinGlobal{};
    }

    bool Start(const StartOptions &options = {})
    {
        app = std::make_unique<COrinSUBApp>();
        return app->InitInstance(options);
    }
    void Restart(const StartOptions &options = {})
    {
        app.reset();
        ASSERT_TRUE(Start(options));
    }

    /// A show on disk whose channel 1 is called name.
    QString MakeShow(const QString &file, const QString &name)
    {
        model::COrinSUBDoc show;
        show.Channel(0).SetName(name);
        const QString path = folder.filePath(file);
        EXPECT_TRUE(model::SaveShowFile(show, path).IsOk());
        return path;
    }
    QString MakeFile(const QString &file, const QByteArray &bytes)
    {
        const QString path = folder.filePath(file);
        EXPECT_TRUE(orinsub::testing::WriteFile(path, bytes));
        return path;
    }

    /// What a console that was killed leaves behind: a copy of a show whose channel 1 is called
    /// name, made from the show at original, a minute newer than that show.
    void LeaveRecoveryCopy(const QString &name, const QString &original)
    {
        model::COrinSUBDoc work;
        work.Channel(0).SetName(name);
        QString error;
        const auto slot = CRecoverySlot::Claim(CRecoverySlot::StateFolder(), error);
        ASSERT_TRUE(slot) << error.toStdString();
        {
            CRecoveryWriter writer({slot->OriginalPathFile(), slot->CopyPath()});
            writer.Write({original.toUtf8(), model::ShowFileWriter::Encode(work)});
        }
        if (!original.isEmpty()) {
            QFile show(original);
            ASSERT_TRUE(show.open(QIODevice::ReadWrite));
            ASSERT_TRUE(show.setFileTime(QDateTime::currentDateTime().addSecs(-60),
                                         QFileDevice::FileModificationTime));
        }
    }
    /// What a console that was killed leaves of its desk: a live state.
    void LeaveDesk(const model::LiveState &desk)
    {
        QString error;
        const auto slot = CRecoverySlot::Claim(CRecoverySlot::StateFolder(), error);
        ASSERT_TRUE(slot) << error.toStdString();
        leftDesk = slot->LiveStatePath();
        ASSERT_TRUE(orinsub::testing::WriteFile(leftDesk, model::LiveStateFile::Encode(desk)));
    }
    QStringList StateFiles()
    {
        return QDir(settings.StateFolder()).entryList({"*.orin"}, QDir::Files, QDir::Name);
    }

    CShowDocument &Show() { return *app->GetDocument(); }
    model::COrinSUBDoc &Doc() { return *app->GetShow(); }
    CMainFrame &Frame() { return *app->GetMainFrame(); }
    QString Title() { return Frame().windowTitle(); }
    QString ChannelOneName() { return Doc().Channel(0).GetName(); }
    QString ChannelOneBox()
    {
        return Frame().GetDanView()->GetNameLabel(0)->GetEdit()->toPlainText();
    }
    QStringList RecentMenuTexts()
    {
        QStringList texts;
        for (QAction *action : Frame().Menu().FileMenu()->actions()) {
            if (action->text().startsWith(u'&') && action->isVisible())
                texts << action->text();
        }
        return texts;
    }

    orinsub::testing::PrivateSettings settings;
    orinsub::testing::ManualLinkTimers timers;
    orinsub::testing::ScriptedQuestions questions;
    orinsub::testing::HeldKeys keys{false};
    ScriptedFileChooser chooser;
    QTemporaryDir folder;
    QString leftDesk; // the live state's file
    std::unique_ptr<COrinSUBApp> app;
};

TEST_F(ShowDocumentTest, StartsUntitledWithAnEmptyRecentList)
{
    ASSERT_TRUE(Start());
    EXPECT_EQ(Title(), QStringLiteral("無題[*] - OrinSUB"));
    EXPECT_FALSE(Frame().isWindowModified());
    EXPECT_TRUE(Show().GetPathName().isEmpty());
    EXPECT_TRUE(Frame().isVisible());
    EXPECT_TRUE(Frame().Menu().RecentFilePlaceholder()->isVisible());
    EXPECT_FALSE(Frame().Menu().RecentFilePlaceholder()->isEnabled());
    EXPECT_TRUE(questions.texts.isEmpty());
}

TEST_F(ShowDocumentTest, ReopensTheMostRecentShowAtStartUnlessShiftIsHeld)
{
    const QString path = MakeShow("last.orin", "Front");
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Show().OpenDocumentFile(path));

    Restart();
    EXPECT_EQ(ChannelOneName(), QStringLiteral("Front"));
    EXPECT_EQ(ChannelOneBox(), QStringLiteral("Front"));
    EXPECT_EQ(Show().GetPathName(), QFileInfo(path).absoluteFilePath());
    EXPECT_EQ(Title(), QStringLiteral("last[*] - OrinSUB"));

    keys.shift = true;
    Restart();
    EXPECT_EQ(ChannelOneName(), QString());
    EXPECT_TRUE(Show().GetPathName().isEmpty());
    EXPECT_EQ(app->GetRecentFiles().Files().size(), 1); // still there for the next start
}

TEST_F(ShowDocumentTest, ShowOnTheCommandLineOpensAndOneThatCannotEndsTheStart)
{
    StartOptions options;
    options.show = MakeShow("given.orin", "Given");
    MakeShow("recent.orin", "Recent");
    {
        CRecentFileList recent;
        recent.Add(folder.filePath("recent.orin"));
    }
    ASSERT_TRUE(Start(options));
    EXPECT_EQ(ChannelOneName(), QStringLiteral("Given"));
    EXPECT_EQ(app->GetRecentFiles().Files().first(), QFileInfo(options.show).absoluteFilePath());

    app.reset();
    options.show = folder.filePath("missing.orin");
    EXPECT_FALSE(Start(options));
    ASSERT_EQ(questions.texts.size(), 1);
    EXPECT_TRUE(questions.texts[0].contains(QStringLiteral("missing.orin")));
    EXPECT_EQ(questions.captions[0], QStringLiteral("OrinSUB"));
}

TEST_F(ShowDocumentTest, FileThatCannotBeOpenedLeavesShowTitleAndPathAsTheyWere)
{
    ASSERT_TRUE(Start());
    const QString good = MakeShow("good.orin", "Good");
    ASSERT_TRUE(Show().OpenDocumentFile(good));
    const QByteArray valid = orinsub::testing::ReadFile(good);
    ASSERT_FALSE(valid.isEmpty());
    const QString wrongVersion =
        MakeFile("other.orin", QByteArray("OrinSUB version 1999\n") + valid);
    const QString truncated = MakeFile("cut.orin", valid.left(valid.size() / 2));

    for (const QString &bad : {wrongVersion, truncated, folder.filePath("gone.orin")}) {
        questions.texts.clear();
        questions.captions.clear();
        EXPECT_FALSE(Show().OpenDocumentFile(bad));
        ASSERT_EQ(questions.texts.size(), 1) << bad.toStdString();
        EXPECT_EQ(questions.captions[0], QStringLiteral("OrinSUB"));
        EXPECT_EQ(ChannelOneName(), QStringLiteral("Good"));
        EXPECT_EQ(Show().GetPathName(), QFileInfo(good).absoluteFilePath());
        EXPECT_EQ(Title(), QStringLiteral("good[*] - OrinSUB"));
    }
    EXPECT_TRUE(questions.texts[0].contains(QStringLiteral("gone.orin")));
    questions.texts.clear();
    Show().OpenDocumentFile(wrongVersion);
    EXPECT_EQ(questions.texts[0], QStringLiteral("バージョンが違います"));
    EXPECT_EQ(app->GetRecentFiles().Files(), QStringList{QFileInfo(good).absoluteFilePath()});
}

TEST_F(ShowDocumentTest, ModifiedShowIsOfferedForSavingBeforeNew)
{
    ASSERT_TRUE(Start());
    Doc().Channel(0).SetName(QStringLiteral("Wash"));
    Doc().SetModifiedFlag(true);
    EXPECT_TRUE(Frame().isWindowModified());

    questions.Answer({-1}); // Cancel: nothing happens
    Frame().Command(kIdFileNew)->trigger();
    ASSERT_EQ(questions.texts, QStringList{QStringLiteral("無題 への変更を保存しますか?")});
    EXPECT_EQ(questions.captions[0], QStringLiteral("OrinSUB"));
    EXPECT_EQ(ChannelOneName(), QStringLiteral("Wash"));

    questions.Answer({1}); // Yes: an untitled show is saved under a name first
    chooser.answers = {folder.filePath("wash")};
    Frame().Command(kIdFileNew)->trigger();
    EXPECT_EQ(chooser.suggestions, QStringList{QDir::home().filePath("無題.orin")});
    EXPECT_TRUE(QFile::exists(folder.filePath("wash.orin")));
    EXPECT_EQ(ChannelOneName(), QString());
    EXPECT_EQ(Title(), QStringLiteral("無題[*] - OrinSUB"));
    EXPECT_FALSE(Doc().IsModified());

    Doc().Channel(0).SetName(QStringLiteral("Lost"));
    Doc().SetModifiedFlag(true);
    questions.Answer({0}); // No: on without saving
    EXPECT_TRUE(Show().OnFileNew());
    EXPECT_EQ(ChannelOneName(), QString());
    EXPECT_EQ(ChannelOneBox(), QString());

    model::COrinSUBDoc saved;
    ASSERT_TRUE(model::OpenShowFile(saved, folder.filePath("wash.orin")).IsOk());
    EXPECT_EQ(saved.Channel(0).GetName(), QStringLiteral("Wash"));
}

TEST_F(ShowDocumentTest, OpenAndSaveAsGoThroughTheChooserAndTheSaveQuestion)
{
    ASSERT_TRUE(Start());
    const QString path = MakeShow("b.orin", "B");
    Doc().SetModifiedFlag(true);
    questions.Answer({0});
    chooser.answers = {path};
    Frame().Command(kIdFileOpen)->trigger();
    EXPECT_EQ(questions.texts.size(), 1);
    EXPECT_EQ(ChannelOneName(), QStringLiteral("B"));
    EXPECT_FALSE(Doc().IsModified());

    chooser.answers = {QString()}; // cancelled: nothing is saved
    EXPECT_FALSE(Show().OnFileSaveAs());
    chooser.answers = {folder.filePath("copy.show")};
    Frame().Command(kIdFileSaveAs)->trigger();
    EXPECT_EQ(chooser.suggestions.last(), QFileInfo(path).absoluteFilePath());
    EXPECT_TRUE(QFile::exists(folder.filePath("copy.show"))); // an extension of its own stays
    EXPECT_EQ(Title(), QStringLiteral("copy[*] - OrinSUB"));

    Doc().Channel(0).SetName(QStringLiteral("B2"));
    Doc().SetModifiedFlag(true);
    Frame().Command(kIdFileSave)->trigger();
    EXPECT_FALSE(Doc().IsModified());
    model::COrinSUBDoc saved;
    ASSERT_TRUE(model::OpenShowFile(saved, folder.filePath("copy.show")).IsOk());
    EXPECT_EQ(saved.Channel(0).GetName(), QStringLiteral("B2"));
}

TEST_F(ShowDocumentTest, FailedSaveTellsWhyAndKeepsTheShowModifiedAndTheWindowOpen)
{
    ASSERT_TRUE(Start());
    Doc().SetModifiedFlag(true);
    chooser.answers = {folder.filePath("no-such-folder/show.orin")};
    EXPECT_FALSE(Show().OnFileSave());
    ASSERT_EQ(questions.texts.size(), 1);
    EXPECT_TRUE(questions.texts[0].contains(QStringLiteral("show.orin")));
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_TRUE(Show().GetPathName().isEmpty());

    questions.Answer({1}); // Yes, but the save fails again: the window stays
    chooser.answers = {folder.filePath("no-such-folder/show.orin")};
    EXPECT_FALSE(Frame().close());
    EXPECT_TRUE(Frame().isVisible());

    questions.Answer({-1});
    EXPECT_FALSE(Frame().close());
    questions.Answer({0});
    EXPECT_TRUE(Frame().close());
}

TEST_F(ShowDocumentTest, RecentFilesKeepTheLastFourNewestFirstAndDropOneThatIsGone)
{
    ASSERT_TRUE(Start());
    QStringList paths;
    for (int i = 1; i <= 5; ++i) {
        paths << QFileInfo(MakeShow(QStringLiteral("s%1.orin").arg(i), QString::number(i)))
                     .absoluteFilePath();
        ASSERT_TRUE(Show().OpenDocumentFile(paths.last()));
    }
    ASSERT_TRUE(Show().OpenDocumentFile(paths[2]));
    const QStringList expected = {paths[2], paths[4], paths[3], paths[1]};
    EXPECT_EQ(app->GetRecentFiles().Files(), expected);
    EXPECT_FALSE(Frame().Menu().RecentFilePlaceholder()->isVisible());
    EXPECT_EQ(RecentMenuTexts(), (QStringList{"&1 " + paths[2], "&2 " + paths[4], "&3 " + paths[3],
                                              "&4 " + paths[1]}));
    EXPECT_EQ(CRecentFileList().Files(), expected); // already in the settings store

    QFile::remove(paths[4]);
    for (QAction *action : Frame().Menu().FileMenu()->actions()) {
        if (action->text().startsWith("&2 "))
            action->trigger();
    }
    ASSERT_EQ(questions.texts.size(), 1);
    EXPECT_TRUE(questions.texts[0].contains("s5.orin"));
    EXPECT_EQ(ChannelOneName(), QStringLiteral("3"));
    EXPECT_EQ(app->GetRecentFiles().Files(), (QStringList{paths[2], paths[3], paths[1]}));
    EXPECT_EQ(RecentMenuTexts().size(), 3);
}

TEST_F(ShowDocumentTest, ShowDroppedOnTheWindowOrANameBoxOpens)
{
    ASSERT_TRUE(Start());
    for (const auto &[file, name] :
         {std::pair{"dropped.orin", "Dropped"}, {"boxed.orin", "Boxed"}}) {
        const QString path = MakeShow(file, name);
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        data.setText(path);
        QWidget *target = QString(name) == "Dropped"
                              ? static_cast<QWidget *>(&Frame())
                              : Frame().GetDanView()->GetNameLabel(3)->GetEdit()->viewport();
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QApplication::sendEvent(target, &drop);
        EXPECT_TRUE(QTest::qWaitFor([&] { return ChannelOneName() == QString(name); })) << name;
    }
    EXPECT_EQ(Frame().GetDanView()->GetNameLabel(3)->GetEdit()->toPlainText(), QString());
}

TEST_F(ShowDocumentTest, AboutBoxShowsTheVersionAndClosesWithTheButtonEnterOrEscape)
{
    ASSERT_TRUE(Start());
    for (int way = 0; way < 3; ++way) {
        CAboutDlg about(&Frame());
        EXPECT_EQ(about.windowTitle(), QStringLiteral("バージョン情報 OrinSUB"));
        QStringList texts;
        for (QLabel *label : about.findChildren<QLabel *>())
            texts << label->text();
        EXPECT_TRUE(texts.contains(QStringLiteral("Orin SUB サブマスター卓 for Zentra")));
        EXPECT_TRUE(texts.contains(QStringLiteral("Version 1.0.0.1")));
        EXPECT_EQ(about.GetCloseButton()->text(), QStringLiteral("閉じる"));
        about.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
        if (way == 0)
            QTest::mouseClick(about.GetCloseButton(), Qt::LeftButton);
        else
            QTest::keyClick(&about, way == 1 ? Qt::Key_Return : Qt::Key_Escape);
        EXPECT_FALSE(about.isVisible()) << way;
    }
}

} // namespace

namespace {

TEST_F(ShowDocumentTest, LeftRecoveryCopyIsRestoredAsTheModifiedShowAfterTheQuestion)
{
    const QString path = QFileInfo(MakeShow("evening.orin", "Saved")).absoluteFilePath();
    LeaveRecoveryCopy("Unsaved", path);
    questions.Answer({1});
    ASSERT_TRUE(Start());
    ASSERT_EQ(questions.texts.size(), 1);
    EXPECT_TRUE(
        questions.texts[0].startsWith(QStringLiteral("evening は保存されないまま終了しました。\n")))
        << questions.texts[0].toStdString();
    EXPECT_EQ(questions.captions[0], QStringLiteral("OrinSUB"));
    EXPECT_EQ(ChannelOneName(), QStringLiteral("Unsaved"));
    EXPECT_EQ(ChannelOneBox(), QStringLiteral("Unsaved"));
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_EQ(Show().GetPathName(), path);
    EXPECT_EQ(Title(), QStringLiteral("evening[*] - OrinSUB"));
}

TEST_F(ShowDocumentTest, DeclinedOrStaleRecoveryCopyIsKeptAsideAndTheStartGoesOn)
{
    const QString recent = MakeShow("recent.orin", "Recent");
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Show().OpenDocumentFile(recent));
    app.reset();
    LeaveRecoveryCopy("Unsaved", {});
    questions.Answer({0});
    ASSERT_TRUE(Start());
    ASSERT_EQ(questions.texts.size(), 1);
    EXPECT_TRUE(questions.texts[0].startsWith(QStringLiteral("無題 は保存されないまま")));
    EXPECT_EQ(ChannelOneName(), QStringLiteral("Recent")); // the start went on as usual
    ASSERT_EQ(StateFiles().size(), 1);
    const QString aside = QDir(settings.StateFolder()).filePath(StateFiles()[0]);
    EXPECT_TRUE(StateFiles()[0].startsWith(QStringLiteral("無題 ")));
    EXPECT_TRUE(questions.texts[0].endsWith(aside)) << questions.texts[0].toStdString();
    model::COrinSUBDoc kept;
    ASSERT_TRUE(model::OpenShowFile(kept, aside).IsOk());
    EXPECT_EQ(kept.Channel(0).GetName(), QStringLiteral("Unsaved"));

    // A copy older than its show (saved after the copy was made) is kept aside unasked.
    app.reset();
    questions.texts.clear();
    LeaveRecoveryCopy("Older", recent);
    QFile show(recent);
    ASSERT_TRUE(show.open(QIODevice::ReadWrite));
    ASSERT_TRUE(show.setFileTime(QDateTime::currentDateTime().addSecs(60),
                                 QFileDevice::FileModificationTime));
    ASSERT_TRUE(Start());
    EXPECT_TRUE(questions.texts.isEmpty());
    EXPECT_EQ(ChannelOneName(), QStringLiteral("Recent"));
    EXPECT_EQ(StateFiles().size(), 2);
}

TEST_F(ShowDocumentTest, ShowHandedOverWhileADialogIsOpenWaitsUntilItCloses)
{
    ASSERT_TRUE(Start());
    const QString path = MakeShow("handed.orin", "Handed");
    CHandOverQueue handOvers([this](const QString &show) { Show().OpenDocumentFile(show); });
    handOvers.Start();
    QDialog box(&Frame());
    box.setModal(true);
    QString nameUnderTheBox;
    QTimer::singleShot(0, &box, [&] {
        handOvers.HandOver(path);
        // The console goes on answering events while the box is open, and the queue looks
        // again every 100 ms: three looks find the box.
        QTest::qWait(300);
        nameUnderTheBox = ChannelOneName();
        box.accept();
    });
    box.exec();
    EXPECT_EQ(nameUnderTheBox, QString());
    EXPECT_EQ(handOvers.WaitingCount(), 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ChannelOneName() == QStringLiteral("Handed"); }));
    EXPECT_EQ(handOvers.WaitingCount(), 0);
}

// The console listens from its first moment, so that a second start never runs beside it.
TEST_F(ShowDocumentTest, ShowHandedOverWhileTheConsoleStartsWaitsUntilItHasStarted)
{
    CHandOverQueue handOvers([this](const QString &show) { Show().OpenDocumentFile(show); });
    ASSERT_TRUE(Start());
    handOvers.HandOver(MakeShow("handed.orin", "Handed"));
    QTest::qWait(300); // three of the queue's 100 ms looks: none opens before the start
    EXPECT_EQ(ChannelOneName(), QString());
    handOvers.Start();
    EXPECT_EQ(ChannelOneName(), QStringLiteral("Handed"));
}

} // namespace

namespace {

model::LiveState DeskPlaying(const QString &show)
{
    model::LiveState desk;
    desk.rows[0][4] = 200;
    desk.handles = {255, 0};
    desk.lastOnAir = 0;
    desk.subFaders[1] = {90, 3};
    desk.grandMaster = 180;
    desk.showPath = show;
    return desk;
}

TEST_F(ShowDocumentTest, LeftDeskComesBackWithItsShowAndANormalCloseRemovesIt)
{
    const QString path = QFileInfo(MakeShow("evening.orin", "Front")).absoluteFilePath();
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Show().OpenDocumentFile(MakeShow("recent.orin", "Recent")));
    app.reset(); // the most recent show is not the one the desk played
    const model::LiveState desk = DeskPlaying(path);
    LeaveDesk(desk);
    questions.Answer({1});
    ASSERT_TRUE(Start());
    ASSERT_EQ(questions.texts.size(), 1);
    EXPECT_TRUE(
        questions.texts[0].startsWith(QStringLiteral("卓は正しく閉じられないまま終了しました。\n")))
        << questions.texts[0].toStdString();
    EXPECT_EQ(Show().GetPathName(), path);
    EXPECT_FALSE(Doc().IsModified());
    model::LiveState shown = CaptureLiveState(Frame());
    shown.showPath = Show().GetPathName();
    shown.look.reset(); // what follows from the rest
    EXPECT_EQ(shown, desk);

    Frame().GetDanView()->MoveFaderTo(1, 0, 30);
    EXPECT_TRUE(QTest::qWaitFor([&] {
        QFile file(leftDesk);
        return file.open(QIODevice::ReadOnly) &&
               model::LiveStateFile::Decode(file.readAll()).state->rows[1][0] == 30;
    })) << "the changed desk is kept";
    app.reset();
    EXPECT_FALSE(QFile::exists(leftDesk));
}

TEST_F(ShowDocumentTest, LeftCopyAndDeskAreOfferedInOneQuestionAndDeclinedTogether)
{
    const QString path = QFileInfo(MakeShow("evening.orin", "Saved")).absoluteFilePath();
    LeaveRecoveryCopy("Unsaved", path);
    LeaveDesk(DeskPlaying(path));
    questions.Answer({0});
    ASSERT_TRUE(Start());
    ASSERT_EQ(questions.texts.size(), 1);
    EXPECT_TRUE(questions.texts[0].startsWith(
        QStringLiteral("evening は保存されないまま終了しました。\n")));
    EXPECT_TRUE(questions.texts[0].contains(QStringLiteral("時点の卓をそのまま続けますか?")));
    EXPECT_TRUE(CaptureLiveState(Frame()).IsFresh());
    EXPECT_EQ(StateFiles().size(), 1) << "the copy is kept aside";
    app.reset();

    // Answered on the command line, both come back and nothing is asked.
    LeaveRecoveryCopy("Unsaved", path);
    LeaveDesk(DeskPlaying(path));
    questions.texts.clear();
    StartOptions options;
    options.restore = RestoreAnswer::Yes;
    ASSERT_TRUE(Start(options));
    EXPECT_TRUE(questions.texts.isEmpty());
    EXPECT_EQ(ChannelOneName(), QStringLiteral("Unsaved"));
    EXPECT_EQ(CaptureLiveState(Frame()).grandMaster, 180);
}

TEST_F(ShowDocumentTest, AnUnusableLeftDeskIsReportedAndTheDeskStartsAfresh)
{
    LeaveDesk(DeskPlaying({}));
    QFile file(leftDesk);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.resize(30);
    file.close();
    ASSERT_TRUE(Start());
    ASSERT_EQ(questions.texts.size(), 1);
    EXPECT_EQ(questions.texts[0],
              kDeskNotRestored.arg(QDir::toNativeSeparators(leftDesk), "途中で切れています"));
    EXPECT_TRUE(CaptureLiveState(Frame()).IsFresh());
    EXPECT_FALSE(QFile::exists(leftDesk));
}

} // namespace
