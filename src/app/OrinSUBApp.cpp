#include "OrinSUBApp.h"

#include "AboutDlg.h"
#include "AppIcon.h"
#include "AppResources.h"
#include "BackupConsole.h"
#include "CommandLine.h"
#include "DeskLockGuard.h"
#include "LiveDesk.h"
#include "LiveStateJournal.h"
#include "MainFrame.h"
#include "MainMenu.h"
#include "MidiSurfaces.h"
#include "NetworkSurfaces.h"
#include "RecentFileList.h"
#include "RecoveryCopy.h"
#include "RecoverySlot.h"
#include "ShowDocument.h"
#include "ShowExchangeCommands.h"
#include "StateReport.h"
#include "controls/KeyState.h"
#include "controls/QuestionBox.h"
#include "dmx/OrinZentra.h"
#include "model/OrinGlobal.h"
#include "model/OrinSUBDoc.h"
#include "model/RegularFile.h"
#include "surfaces/midi/MidiSurfaceHost.h"
#include "views/ConsoleTexts.h"
#include "views/MasterConsoleView.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QTimer>
#include <cstdio>

namespace orinsub::app {

namespace {

// The screenshot waits this long at most for the status line to show the open interface; a poll
// every few milliseconds.
constexpr int kInterfaceWaitMs = 1000;
constexpr int kInterfacePollMs = 5;

} // namespace

COrinSUBApp::COrinSUBApp() = default;

COrinSUBApp::~COrinSUBApp()
{
    // Closed normally: the work is saved or was left unsaved on purpose, and the stage goes dark
    // on purpose.
    if (m_journal)
        m_journal->Discard();
    m_journal.reset();
    if (m_recovery)
        m_recovery->Discard();
    m_recovery.reset();
    m_report.reset();
    m_backup.reset();
    // They play through the frame's control layer.
    m_network.reset();
    m_midi.reset();
    // A print still being painted finishes first; its word would go to the frame.
    m_exchange.reset();
    m_frame.reset();
    if (model::g_orin.m_pDoc == m_doc.get())
        model::g_orin.m_pDoc = nullptr;
}

bool COrinSUBApp::InitInstance(const StartOptions &options)
{
    QCoreApplication::setOrganizationName(kSettingsOrganization);
    QCoreApplication::setApplicationName(kSettingsApplication);
    QGuiApplication::setWindowIcon(ApplicationIcon());
    m_recent = std::make_unique<CRecentFileList>();
    BackupStart backup;
    if (QString error; !BackupStart::Resolve(options, backup, error)) {
        controls::Questions().Warn(nullptr, error, kAppTitle);
        return false;
    }

    m_doc = std::make_unique<model::COrinSUBDoc>();
    model::g_orin.m_pDoc = m_doc.get();
    m_show = std::make_unique<CShowDocument>(*m_doc, *m_recent);
    // A picture of the desk shows it as it starts, without anything left behind.
    const bool recovers = options.screenshot.isEmpty();
    LeftWork left = recovers ? FindLeftWork() : LeftWork{};
    m_frame = std::make_unique<CMainFrame>(
        m_doc.get(), left.desk ? left.desk->look : std::optional<model::LiveState::Look>(),
        backup.IsOn()); // a console of a pair sends nothing until it knows whether it plays
    m_show->SetFrame(m_frame.get());
    ConnectCommands();
    CreateRecentFileMenu();
    m_midi = std::make_unique<CMidiSurfaces>(*m_frame, options);

    std::optional<model::LiveState> desk;
    const bool restored = recovers && RecoverLeftWork(options.restore, std::move(left), desk);
    bool onDesk = restored;
    if (!options.show.isEmpty()) {
        // With restored work on the desk the console goes on even when this one fails.
        if (m_show->OpenDocumentFile(options.show))
            onDesk = true;
        else if (!restored && !desk)
            return false;
    }
    // The faders play the sub-masters of the show they played before.
    if (!onDesk && desk && !desk->showPath.isEmpty())
        onDesk = m_show->OpenDocumentFile(desk->showPath);
    if (!onDesk)
        m_show->OnFileNew();
    if (desk)
        RestoreLiveState(*m_frame, *desk);

    if (options.screenshot.isEmpty()) // a picture of the desk shows it as it starts
        m_frame->RestoreLayout();
    if (!options.headless)
        m_frame->show();
    m_frame->SetDropHandler([this](const QString &path) { m_show->OpenDocumentFile(path); });

    if (options.show.isEmpty() && !restored && !desk && !controls::Keys().IsShiftDown() &&
        !m_recent->IsEmpty())
        m_show->OpenRecentFile(0);

    if (!m_liveStatePath.isEmpty())
        KeepLiveState(std::move(desk));
    m_network = std::make_unique<CNetworkSurfaces>(*m_frame, options);
    if (!options.screenshot.isEmpty())
        SaveScreenshotWhenReady(options.screenshot);
    StartBackup(std::move(backup));
    if (options.headless)
        ReportState();
    // Every question has been answered: from now on the desk plays the stage.
    if (dmx::COrinZentra *port = model::g_orin.m_pZentra)
        port->ReleaseOutput();
    return true;
}

COrinSUBApp::LeftWork COrinSUBApp::FindLeftWork()
{
    LeftWork left;
    left.slot = CRecoverySlot::Claim(CRecoverySlot::StateFolder(), left.slotError);
    if (!left.slot)
        return left;
    const model::RegularFileRead file =
        model::ReadRegularFile(left.slot->LiveStatePath(), model::LiveStateFile::kMaxFileBytes);
    if (file.problem == model::FileReadProblem::NotFound)
        return left;
    model::LiveStateRead read;
    if (file.IsOk())
        read = model::LiveStateFile::Decode(file.bytes);
    else
        read.problem = kDeskUnreadable;
    left.desk = std::move(read.state);
    left.deskProblem = read.problem;
    return left;
}

bool COrinSUBApp::RecoverLeftWork(RestoreAnswer answer, LeftWork found,
                                  std::optional<model::LiveState> &desk)
{
    std::unique_ptr<CRecoverySlot> slot = std::move(found.slot);
    if (!slot) {
        controls::Questions().Warn(m_frame.get(), found.slotError, kAppTitle);
        return false;
    }
    if (!found.deskProblem.isEmpty()) {
        controls::Questions().Warn(
            m_frame.get(),
            kDeskNotRestored.arg(QDir::toNativeSeparators(slot->LiveStatePath()),
                                 found.deskProblem),
            kAppTitle);
        QFile::remove(slot->LiveStatePath());
    }
    const std::optional<LeftRecoveryCopy> left = slot->Left();
    // A copy no newer than its show holds nothing the show lacks: it is set aside unasked.
    const bool offerCopy = left && left->IsNewerThanShow();
    std::optional<model::LiveState> &leftDesk = found.desk;
    bool restore = false;
    if (offerCopy || leftDesk) {
        const QString deskTime =
            QFileInfo(slot->LiveStatePath()).lastModified().toString(kRestoreTimeFormat);
        const QString title = left && !left->original.isEmpty()
                                  ? QFileInfo(left->original).completeBaseName()
                                  : kUntitledName;
        const QString copyTime = left ? left->written.toString(kRestoreTimeFormat) : QString();
        const QString aside = left ? QDir::toNativeSeparators(slot->AsidePath(*left)) : QString();
        controls::QuestionBox &questions = controls::Questions();
        if (answer != RestoreAnswer::Ask)
            restore = answer == RestoreAnswer::Yes;
        else if (!leftDesk)
            restore = questions.AskOkCancel(m_frame.get(),
                                            kAskToRestore.arg(title, copyTime, aside), kAppTitle);
        else // the stage the desk left stays unless the operator means to start afresh
            restore = questions.AskSafeChoice(
                m_frame.get(),
                offerCopy ? kAskToRestoreWithDesk.arg(title, copyTime, deskTime, aside)
                          : kAskToRestoreDesk.arg(deskTime),
                kAppTitle, kKeepDesk, kResetDesk);
    }
    if (restore)
        desk = std::move(leftDesk);
    else if (leftDesk)
        QFile::remove(slot->LiveStatePath());

    bool restored = false;
    if (left) {
        restored = offerCopy && restore && m_show->RestoreRecoveryCopy(left->copy, left->original);
        if (!restored && !slot->SetAside(*left)) {
            // Writing this console's copies would overwrite it.
            controls::Questions().Warn(
                m_frame.get(), kRecoveryNotSetAside.arg(QDir::toNativeSeparators(left->copy)),
                kAppTitle);
            return false;
        }
    }
    m_liveStatePath = slot->LiveStatePath();
    m_recovery = std::make_unique<CRecoveryCopy>(std::move(slot), *m_doc, *m_show);
    return restored;
}

void COrinSUBApp::KeepLiveState(std::optional<model::LiveState> onDisk)
{
    const bool restored = onDisk.has_value();
    m_journal = std::make_unique<CLiveStateJournal>(
        m_liveStatePath,
        [this] {
            model::LiveState state = CaptureLiveState(*m_frame);
            state.showPath = m_show->GetPathName();
            return state;
        },
        std::move(onDisk));
    // A new show path changes no pane.
    connect(m_show.get(), &CShowDocument::RecentFilesChanged, m_journal.get(),
            &CLiveStateJournal::Changed);
    // The desk as restored may differ from its file (another show, values kept in range).
    if (restored)
        m_journal->Changed();
}

void COrinSUBApp::ConnectCommands()
{
    auto on = [this](int id, auto handler) {
        connect(m_frame->Command(id), &QAction::triggered, this, handler);
    };
    on(kIdFileNew, [this] { m_show->OnFileNew(); });
    on(kIdFileOpen, [this] { m_show->OnFileOpen(); });
    on(kIdFileSave, [this] { m_show->OnFileSave(); });
    on(kIdFileSaveAs, [this] { m_show->OnFileSaveAs(); });
    on(kIdAppAbout, [this] { OnAppAbout(); });
    m_exchange = std::make_unique<ShowExchangeCommands>(*m_frame, *m_doc, *m_show);
    connect(m_show.get(), &CShowDocument::RecentFilesChanged, this,
            &COrinSUBApp::UpdateRecentFileMenu);
    m_frame->SetCloseGuard([this] { return m_show->SaveModified(); });
}

void COrinSUBApp::CreateRecentFileMenu()
{
    const MainMenu &menu = m_frame->Menu();
    for (int i = 0; i < kRecentFileCount; ++i) {
        auto *action = new QAction(this);
        connect(action, &QAction::triggered, this, [this, i] { m_show->OpenRecentFile(i); });
        m_frame->GetLockGuard().Guard(action);
        menu.FileMenu()->insertAction(menu.RecentFilePlaceholder(), action);
        m_recentActions.push_back(action);
    }
    UpdateRecentFileMenu();
}

// The items stay and only change their texts: one of them may be the item being chosen.
void COrinSUBApp::UpdateRecentFileMenu()
{
    const QStringList &files = m_recent->Files();
    m_frame->Menu().RecentFilePlaceholder()->setVisible(files.isEmpty());
    for (int i = 0; i < kRecentFileCount; ++i) {
        QAction *action = m_recentActions[i];
        action->setVisible(i < files.size());
        if (i >= files.size())
            continue;
        QString shown = QDir::toNativeSeparators(files[i]);
        shown.replace(u'&', QStringLiteral("&&"));
        action->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
    }
}

void COrinSUBApp::OnAppAbout()
{
    CAboutDlg about(m_frame.get());
    about.exec();
}

void COrinSUBApp::StartBackup(BackupStart start)
{
    if (!start.IsOn())
        return;
    m_backup = std::make_unique<CBackupConsole>(*m_frame, *m_show, *m_doc, std::move(start));
    if (QString error; !m_backup->Start(error)) {
        controls::Questions().Warn(m_frame.get(), error, kAppTitle);
        m_backup.reset(); // the console plays on its own
    }
}

void COrinSUBApp::ReportState()
{
    m_report = std::make_unique<CStateReport>([](const QString &line) {
        std::fprintf(stderr, "orinsub: %s\n", qUtf8Printable(line));
        std::fflush(stderr);
    });
    m_report->Watch([] {
        const dmx::COrinZentra *port = model::g_orin.m_pZentra;
        if (!port)
            return QString();
        const dmx::OutputHealth::Reading output = port->GetOutputHealth().Look();
        return output.lost      ? views::OutputLostStatus(output.fault, output.deviceId)
               : port->IsOpen() ? views::InterfaceStatus(port->GetDeviceId())
                                : views::kNoInterfaceStatus;
    });
    if (m_backup)
        m_report->Watch([this] { return m_backup->StatusText(); });
    m_report->Watch([this] { return m_midi->Host().StatusText(); });
    m_report->Watch([this] { return m_network->RemoteStatusText(); });
}

void COrinSUBApp::StopOnSignal()
{
    if (m_recovery)
        m_recovery->KeepForNextStart();
    if (m_journal)
        m_journal->KeepForNextStart();
    m_frame->CloseOnStopSignal();
    QCoreApplication::exit(0); // a box still open returns as cancelled
}

void COrinSUBApp::SaveScreenshotWhenReady(const QString &file)
{
    connect(m_frame.get(), &CMainFrame::FirstPainted, this, [this, file] {
        auto *poll = new QTimer(this);
        const QDeadlineTimer deadline(kInterfaceWaitMs);
        connect(poll, &QTimer::timeout, this, [this, poll, file, deadline] {
            if (!IsInterfaceShown() && !deadline.hasExpired())
                return;
            poll->deleteLater();
            const bool saved = m_frame->grab().save(file, "PNG");
            if (!saved)
                std::fprintf(stderr, "orinsub: %s\n",
                             qUtf8Printable(QStringLiteral("画像を保存できません: %1").arg(file)));
            QCoreApplication::exit(saved ? 0 : 1);
        });
        poll->start(kInterfacePollMs);
    });
}

bool COrinSUBApp::IsInterfaceShown() const
{
    const dmx::COrinZentra *port = model::g_orin.m_pZentra;
    return port && port->IsOpen() &&
           m_frame->GetMasterView()->GetStatusText() == views::InterfaceStatus(port->GetDeviceId());
}

} // namespace orinsub::app
