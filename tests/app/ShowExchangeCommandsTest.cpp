#include "app/ShowExchangeCommands.h"
#include "AppTestSupport.h"
#include "app/AppResources.h"
#include "app/MainMenu.h"
#include "app/PaperDlg.h"
#include "app/RecentFileList.h"
#include "app/ShowDocument.h"
#include "dmx/OrinZentra.h"
#include "model/ShowCsv.h"
#include "model/ShowExchange.h"
#include "model/UsittAscii.h"
#include "support/PdfText.h"
#include "support/ScriptedSeams.h"
#include "views/DeskLock.h"

#include <QAction>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QMenu>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>

using namespace orinsub;
using namespace orinsub::app;
namespace support = orinsub::testing;

namespace {

/// Answers the print, export and import dialogs from the test's fields.
class ScriptedExchanges : public ExchangeChooser
{
public:
    ScriptedExchanges() { SetExchangeChooser(this); }
    ~ScriptedExchanges() override { SetExchangeChooser(nullptr); }

    std::optional<PaperChoice> ChooseSheets(QWidget *, const QString &) override { return paper; }
    bool ChoosePrinter(QWidget *, QPrinter &printer) override
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printerFile);
        return !printerFile.isEmpty();
    }
    QString ChooseExportPath(QWidget *, const QString &suggested, const QString &) override
    {
        suggestions << suggested;
        return exportPath;
    }
    QString ChooseImportPath(QWidget *, const QString &) override
    {
        ++importsChosen;
        return importPath;
    }

    std::optional<PaperChoice> paper;
    QString printerFile; // empty: the printer dialog cancelled
    QString exportPath;
    QString importPath;
    QStringList suggestions;
    int importsChosen = 0;
};

// Another console's show: a comment, a record this console has no use for, percent levels, a
// dimmer beyond 512.
constexpr char kOtherConsole[] = R"(! Small hall
Ident 3:0
Patch 1 2 5@100 600@100
Group 1
Cue 1
Text 開幕
Up 2
Chan 2@FL 3@50
Cue 2.5
Chan 2@10
Enddata
)";

class ShowExchangeCommandsTest : public support::MainWindowTest
{
protected:
    ShowExchangeCommandsTest()
    {
        model::Cue cue;
        cue.label = QStringLiteral("前の幕");
        doc.m_extension.cues.Add(cue);
        doc.SetModifiedFlag(false);
    }
    ~ShowExchangeCommandsTest() override { views::SetDeskLocked(false); }

    void Run(int id) { frame->Command(id)->trigger(); }
    QByteArray Written(const QString &path) { return support::ReadFile(path); }

    support::PrivateSettings settings;
    CRecentFileList recent;
    CShowDocument show{doc, recent};
    ShowExchangeCommands commands{*frame, doc, show};
    support::ScriptedQuestions questions;
    ScriptedExchanges dialogs;
    support::TempFolder folder;
};

} // namespace

TEST_F(ShowExchangeCommandsTest, ImportsAndExportsStandInTheFileMenu)
{
    const auto submenu = [&](const QString &title) {
        for (QAction *action : frame->Menu().FileMenu()->actions()) {
            if (action->menu() && action->text() == title)
                return action->menu()->actions();
        }
        return QList<QAction *>();
    };
    EXPECT_TRUE(submenu(kExportMenu).contains(frame->Command(kIdExportAscii)));
    EXPECT_TRUE(submenu(kImportMenu).contains(frame->Command(kIdImportCuesCsv)));
    EXPECT_TRUE(frame->Menu().FileMenu()->actions().contains(frame->Command(kIdPrint)));
}

TEST_F(ShowExchangeCommandsTest, ARefusedFileSaysWhyInOneLineAndChangesNothing)
{
    const model::CueList before = doc.m_extension.cues;
    const struct
    {
        int command;
        QString file;
        QByteArray bytes;
        QString message;
    } kCases[] = {
        {kIdImportCuesCsv, QStringLiteral("broken.csv"),
         model::ShowCsv::Cues(before) + "3,x,3,3,0,\r\n",
         QStringLiteral(
             "broken.csv は読み込めません: 3 行目: 列が 6 個ありますが 86 個必要です。")},
        {kIdImportAscii, QStringLiteral("broken.asc"), "Ident 3:0\nCue 1\nChan 1@x\n",
         QStringLiteral("broken.asc は読み込めません: 3 行目: レベル「x」は読めません（0 から 100 "
                        "か H00 から HFF）。")},
        {kIdImportAscii, QStringLiteral("folder"), {}, QStringLiteral("folder は読み込めません: ")},
    };
    for (const auto &c : kCases) {
        questions.texts.clear();
        dialogs.importPath =
            c.bytes.isEmpty() ? folder.Path() + u'/' + c.file : folder.Write(c.file, c.bytes);
        if (c.bytes.isEmpty()) {
            ASSERT_TRUE(QDir(folder.Path()).mkdir(c.file));
        }
        Run(c.command);
        ASSERT_EQ(questions.texts.size(), 1) << c.file.toStdString();
        EXPECT_TRUE(questions.texts[0].startsWith(c.message)) << questions.texts[0].toStdString();
        EXPECT_FALSE(questions.texts[0].contains(u'\n'));
        EXPECT_EQ(doc.m_extension.cues, before);
        EXPECT_FALSE(doc.IsModified());
    }
}

TEST_F(ShowExchangeCommandsTest, AsciiImportReplacesCuesAndPatchAndReportsWhatItLeftOut)
{
    Dan().MoveFaderTo(1, 1, 200); // channel 2 on air on row B
    ASSERT_EQ(model::g_orin.m_pZentra->GetOutputSlot(2), 200);
    dialogs.importPath = folder.Write(QStringLiteral("hall.asc"), kOtherConsole);

    Run(kIdImportAscii); // keeping the show is the default answer
    EXPECT_EQ(doc.m_extension.cues.Cues()[0].label, QStringLiteral("前の幕"));
    EXPECT_FALSE(doc.IsModified());
    questions.Answer({-1});
    Run(kIdImportAscii);

    ASSERT_EQ(questions.texts.size(), 3);
    EXPECT_TRUE(questions.texts[1].startsWith(
        QStringLiteral("キューリストとパッチを hall.asc のキュー 2 個と調光器 1 個のパッチで")));
    EXPECT_EQ(questions.texts[2],
              QStringLiteral("キュー 2 個と調光器 1 個のパッチを読み込みました。\n\n"
                             "読み込まなかったもの:\n・調光器 513 以上のパッチ 1 件\n"
                             "・Group の記録 1 件（このコンソールにはありません）"));
    const model::ExchangedShow now = model::ExchangedShowOf(doc);
    ASSERT_EQ(now.cues.Count(), 2);
    EXPECT_EQ(now.cues.Cues()[0].label, QStringLiteral("開幕"));
    EXPECT_EQ(now.cues.Cues()[0].look[2], 128);
    EXPECT_EQ(now.patch, (std::vector<model::PatchedDimmer>{{5, 2, 100}}));
    EXPECT_TRUE(doc.IsModified());
    // The output follows the new patch at once: channel 2 drives dimmer 5 only.
    EXPECT_EQ(model::g_orin.m_pZentra->GetOutputSlot(5), 200);
    EXPECT_EQ(model::g_orin.m_pZentra->GetOutputSlot(2), 0);
}

TEST_F(ShowExchangeCommandsTest, CsvImportReplacesTheCueListAfterTheQuestion)
{
    model::CueList cues;
    model::Cue cue;
    cue.number = 15;
    cue.label = QStringLiteral("夕景");
    cue.look[79] = 255;
    cues.Add(cue);
    dialogs.importPath = folder.Write(QStringLiteral("cues.csv"), model::ShowCsv::Cues(cues));
    questions.Answer({-1});

    Run(kIdImportCuesCsv);
    EXPECT_EQ(doc.m_extension.cues, cues);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(questions.texts.last(), QStringLiteral("キュー 1 個を読み込みました。"));
}

TEST_F(ShowExchangeCommandsTest, ALockedOrFollowingDeskRefusesImportsBeforeAnyDialog)
{
    const struct
    {
        void (*set)(bool);
        QString message;
    } kCases[] = {{views::SetDeskLocked, kLockedImportRefused},
                  {views::SetDeskFollowing, kFollowingShowRefused}};
    for (const auto &c : kCases) {
        c.set(true);
        EXPECT_FALSE(frame->Command(kIdImportAscii)->isEnabled());
        EXPECT_TRUE(frame->Command(kIdExportAscii)->isEnabled());
        questions.texts.clear();
        commands.ImportAscii(); // as a menu item would if it were not greyed
        commands.ImportCuesCsv();
        EXPECT_EQ(questions.texts, QStringList({c.message, c.message}));
        EXPECT_EQ(dialogs.importsChosen, 0);
        c.set(false);
    }
}

TEST_F(ShowExchangeCommandsTest, ExportsWriteTheirSheetBesideTheShowUnderTheNameChosen)
{
    doc.Channel(0).SetName(QStringLiteral("地明かり"));
    const struct
    {
        int command;
        QString suggested;
        QByteArray bytes;
    } kCases[] = {
        {kIdExportCuesCsv, QStringLiteral("無題 キューリスト.csv"),
         model::ShowCsv::Cues(doc.m_extension.cues)},
        {kIdExportPatchCsv, QStringLiteral("無題 パッチ.csv"), model::ShowCsv::Patch(doc)},
        {kIdExportSubMastersCsv, QStringLiteral("無題 サブマスター.csv"),
         model::ShowCsv::SubMasters(doc)},
        {kIdExportAscii, QStringLiteral("無題.asc"),
         model::UsittAscii::Write(model::ExchangedShowOf(doc))},
    };
    for (const auto &c : kCases) {
        dialogs.exportPath = folder.PathOf(QStringLiteral("sheet"));
        Run(c.command);
        EXPECT_EQ(dialogs.suggestions.last(), QDir::home().filePath(c.suggested));
        EXPECT_EQ(Written(dialogs.exportPath + u'.' + QFileInfo(c.suggested).suffix()), c.bytes)
            << c.suggested.toStdString();
    }
    EXPECT_TRUE(questions.texts.isEmpty());
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(ShowExchangeCommandsTest, PrintAndPdfPutTheChosenSheetsOnTheChosenPaper)
{
    dialogs.paper = PaperChoice{{print::Sheet::Cues}, QPageLayout::Landscape};
    dialogs.printerFile = folder.PathOf(QStringLiteral("printed.pdf"));
    dialogs.exportPath = folder.PathOf(QStringLiteral("show.pdf"));
    Run(kIdPrint);
    Run(kIdExportPdf);
    ASSERT_TRUE(commands.WaitForPaper(60000));
    QCoreApplication::processEvents();

    for (const QString &file : {dialogs.printerFile, dialogs.exportPath}) {
        const support::PdfText pdf = support::ReadPdfFile(file);
        ASSERT_EQ(pdf.pages.size(), 1) << file.toStdString();
        EXPECT_TRUE(pdf.pages[0].contains(QStringLiteral("無題 — キューシート")));
        EXPECT_TRUE(pdf.pages[0].contains(QStringLiteral("前の幕")));
        EXPECT_TRUE(pdf.info.contains(QStringLiteral("842 x 595 pts (A4)")));
    }
    EXPECT_TRUE(questions.texts.isEmpty());
}

TEST(PaperDlg, ChoosesTheSheetsTickedAndGreysOkWithoutOne)
{
    PaperDlg dialog(kPrintTitle, nullptr);
    auto boxes = dialog.findChildren<QCheckBox *>();
    ASSERT_EQ(boxes.size(), 3);
    boxes[1]->setChecked(false);
    dialog.findChildren<QRadioButton *>().last()->setChecked(true);
    const PaperChoice choice = dialog.GetChoice();
    EXPECT_EQ(choice.sheets, (std::vector{print::Sheet::Cues, print::Sheet::SubMasters}));
    EXPECT_EQ(choice.orientation, QPageLayout::Landscape);

    QPushButton *ok = dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
    boxes[0]->setChecked(false);
    boxes[2]->setChecked(false);
    EXPECT_FALSE(ok->isEnabled());
    boxes[2]->setChecked(true);
    EXPECT_TRUE(ok->isEnabled());
}

TEST_F(ShowExchangeCommandsTest, APdfThatCannotBeWrittenIsToldOnTheDesk)
{
    dialogs.paper = PaperChoice{{print::Sheet::Patch}};
    dialogs.exportPath = folder.PathOf(QStringLiteral("gone/show.pdf"));
    Run(kIdExportPdf);
    ASSERT_TRUE(commands.WaitForPaper(60000));
    EXPECT_TRUE(questions.texts.isEmpty()) << "told on the UI thread, not the painter's";
    QCoreApplication::processEvents();

    ASSERT_EQ(questions.texts.size(), 1);
    EXPECT_TRUE(questions.texts[0].contains(dialogs.exportPath))
        << questions.texts[0].toStdString();
    EXPECT_EQ(questions.captions[0], kExportPdfTitle);
    EXPECT_FALSE(QFileInfo::exists(dialogs.exportPath));
}
