#include "OrinSUBApp.h"

#include "AboutDlg.h"
#include "AppIcon.h"
#include "AppResources.h"
#include "CommandLine.h"
#include "MainFrame.h"
#include "MainMenu.h"
#include "MidiSurfaces.h"
#include "NetworkSurfaces.h"
#include "RecentFileList.h"
#include "RecoveryCopy.h"
#include "RecoverySlot.h"
#include "ShowDocument.h"
#include "controls/KeyState.h"
#include "controls/QuestionBox.h"
#include "dmx/OrinZentra.h"
#include "model/OrinGlobal.h"
#include "model/OrinSUBDoc.h"
#include "views/ConsoleTexts.h"
#include "views/MasterConsoleView.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
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
    // Closed normally: the work is saved or was left unsaved on purpose.
    if (m_recovery)
        m_recovery->Discard();
    m_recovery.reset();
    // They play through the frame's control layer.
    m_network.reset();
    m_midi.reset();
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

    m_doc = std::make_unique<model::COrinSUBDoc>();
    model::g_orin.m_pDoc = m_doc.get();
    m_show = std::make_unique<CShowDocument>(*m_doc, *m_recent);
    m_frame = std::make_unique<CMainFrame>(m_doc.get());
    m_show->SetFrame(m_frame.get());
    ConnectCommands();
    CreateRecentFileMenu();
    m_midi = std::make_unique<CMidiSurfaces>(*m_frame, options);

    const bool restored = options.screenshot.isEmpty() && RecoverLeftShow(options.restore);
    if (!options.show.isEmpty()) {
        // With a restored show on the desk the console goes on even when this one fails.
        if (!m_show->OpenDocumentFile(options.show) && !restored)
            return false;
    } else if (!restored) {
        m_show->OnFileNew();
    }

    m_frame->show();
    m_frame->SetDropHandler([this](const QString &path) { m_show->OpenDocumentFile(path); });

    if (options.show.isEmpty() && !restored && !controls::Keys().IsShiftDown() &&
        !m_recent->IsEmpty())
        m_show->OpenRecentFile(0);

    m_network = std::make_unique<CNetworkSurfaces>(*m_frame, options);
    if (!options.screenshot.isEmpty())
        SaveScreenshotWhenReady(options.screenshot);
    return true;
}

bool COrinSUBApp::RecoverLeftShow(RestoreAnswer answer)
{
    QString error;
    std::unique_ptr<CRecoverySlot> slot = CRecoverySlot::Claim(CRecoverySlot::StateFolder(), error);
    if (!slot) {
        controls::Questions().Warn(m_frame.get(), error, kAppTitle);
        return false;
    }
    bool restored = false;
    if (const std::optional<LeftRecoveryCopy> left = slot->Left()) {
        // A copy no newer than its show holds nothing the show lacks: it is set aside unasked.
        if (left->IsNewerThanShow()) {
            const QString title = left->original.isEmpty()
                                      ? kUntitledName
                                      : QFileInfo(left->original).completeBaseName();
            const bool restore =
                answer == RestoreAnswer::Ask
                    ? controls::Questions().AskOkCancel(
                          m_frame.get(),
                          kAskToRestore.arg(title, left->written.toString(kRestoreTimeFormat),
                                            QDir::toNativeSeparators(slot->AsidePath(*left))),
                          kAppTitle)
                    : answer == RestoreAnswer::Yes;
            restored = restore && m_show->RestoreRecoveryCopy(left->copy, left->original);
        }
        if (!restored && !slot->SetAside(*left)) {
            // Writing this console's copies would overwrite it.
            controls::Questions().Warn(
                m_frame.get(), kRecoveryNotSetAside.arg(QDir::toNativeSeparators(left->copy)),
                kAppTitle);
            return false;
        }
    }
    m_recovery = std::make_unique<CRecoveryCopy>(std::move(slot), *m_doc, *m_show);
    return restored;
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
