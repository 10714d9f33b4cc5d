#include "BackupConsole.h"

#include "AppResources.h"
#include "CommandLine.h"
#include "LiveDesk.h"
#include "MainFrame.h"
#include "RecoverySlot.h"
#include "ShowDocument.h"
#include "backup/BackupKey.h"
#include "backup/BackupTexts.h"
#include "controls/QuestionBox.h"
#include "dmx/OrinZentra.h"
#include "model/AtomicSave.h"
#include "model/OrinGlobal.h"
#include "model/OrinSUBDoc.h"
#include "model/SettingsReader.h"
#include "model/ShowFileWriter.h"
#include "views/DeskLock.h"
#include "views/DeskWatch.h"
#include "views/MasterConsoleView.h"
#include "zentra/DeviceSelection.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace orinsub::app {

namespace {

// The link's clock: a frame, as the output's.
constexpr int kTickMs = 20;
constexpr qsizetype kLongestSetting = 1024;

// The received show is kept here, never over the operator's own files.
constexpr char kTrackedFolder[] = "backup";

std::optional<QString> Setting(const std::optional<QString> &given, const char *key)
{
    if (given)
        return given;
    QSettings settings;
    const QString value =
        model::SettingsReader(settings).String(QString::fromLatin1(key), kLongestSetting);
    return value.isEmpty() ? std::nullopt : std::optional<QString>(value);
}

dmx::COrinZentra *Port()
{
    return model::g_orin.m_pZentra;
}

} // namespace

bool BackupStart::Resolve(const StartOptions &options, BackupStart &start, QString &error)
{
    start.priority = options.sacnPriority;
    // The command line's role beats the settings' whole pair: a console is one or the other.
    const bool fromCommandLine = options.backupPort || options.backupOf;
    const std::optional<QString> port =
        fromCommandLine ? options.backupPort : Setting(std::nullopt, "backup/port");
    const std::optional<QString> of =
        fromCommandLine ? options.backupOf : Setting(std::nullopt, "backup/of");
    if (port && !(start.listen = backup::ListenPoint::Parse(*port, error)))
        return false;
    if (of && !(start.main = backup::MainPoint::Parse(*of, error)))
        return false;
    if (start.listen && start.main) {
        error = backup::kBothRoles;
        return false;
    }
    if (!start.IsOn())
        return true;
    const std::optional<QString> keyFile = Setting(options.backupKey, "backup/key");
    if (!keyFile) {
        error = backup::kNoKey;
        return false;
    }
    backup::BackupKeyRead key = backup::ReadBackupKey(*keyFile);
    if (key.key.isEmpty()) {
        error = key.error;
        return false;
    }
    start.key = std::move(key.key);
    return true;
}

CBackupConsole::CBackupConsole(CMainFrame &frame, CShowDocument &show, model::COrinSUBDoc &doc,
                               BackupStart start)
    : m_frame(frame), m_show(show), m_doc(doc), m_start(std::move(start)),
      m_link(m_start.key,
             backup::BackupDesk{
                 [this] { return model::ShowFileWriter::Encode(m_doc); },
                 [this] { return m_show.GetPathName(); },
                 [this] { return CurrentLiveState(); },
                 [this](const QString &path, const QByteArray &bytes) { TakeShow(path, bytes); },
                 [this](const QByteArray &bytes) { TakeLiveState(bytes); },
             },
             m_start.listen.has_value(),
             m_start.priority.value_or(backup::OutputPlan::kDefaultPriority)),
      m_network(m_link)
{
    connect(&m_link, &backup::BackupLink::RoleChanged, this, &CBackupConsole::ApplyRole);
    views::SetDeskListener(this, [this] { m_link.DeskChanged(); });
    connect(&m_tick, &QTimer::timeout, this, &CBackupConsole::Tick);
    m_frame.GetMasterView()->SetExtraStatus(this, [this] { return StatusText(); });
    connect(m_frame.Command(kIdTakeStage), &QAction::triggered, this, &CBackupConsole::OnTakeStage);
    connect(m_frame.Command(kIdGiveStage), &QAction::triggered, this, &CBackupConsole::OnGiveStage);
    m_tick.setTimerType(Qt::PreciseTimer);
    ApplyRole(m_link.GetRole());
}

CBackupConsole::~CBackupConsole()
{
    views::RemoveDeskListener(this);
    m_frame.GetMasterView()->SetExtraStatus(this, nullptr);
    views::SetDeskFollowing(false);
    if (dmx::COrinZentra *port = Port())
        port->SilenceOutput(false);
}

bool CBackupConsole::Start(QString &error)
{
    if (m_start.listen && !m_network.Listen(m_start.listen->address, m_start.listen->port, error)) {
        error = backup::kCannotListen.arg(QStringLiteral("%1:%2")
                                              .arg(m_start.listen->address.toString())
                                              .arg(m_start.listen->port),
                                          error);
        return false;
    }
    if (m_start.main)
        m_network.Follow(m_start.main->host, m_start.main->port);
    m_sentEdits = m_doc.GetEditCount();
    m_sentPath = m_show.GetPathName();
    m_tick.start(kTickMs);
    return true;
}

QByteArray CBackupConsole::CurrentLiveState() const
{
    model::LiveState state = CaptureLiveState(m_frame);
    state.showPath = m_show.GetPathName();
    return model::LiveStateFile::Encode(state);
}

void CBackupConsole::Tick()
{
    if (m_doc.GetEditCount() != m_sentEdits || m_show.GetPathName() != m_sentPath) {
        m_sentEdits = m_doc.GetEditCount();
        m_sentPath = m_show.GetPathName();
        if (m_link.GetRole() == backup::Role::Live)
            m_link.ShowChanged();
    }
    m_link.Tick();
}

QString CBackupConsole::StatusText() const
{
    QString text;
    switch (m_link.GetRole()) {
    case backup::Role::Starting:
        text = backup::kStatusStarting;
        break;
    case backup::Role::Tracking:
        text = m_link.IsTracking() ? backup::kStatusTracking : backup::kStatusWaiting;
        if (m_start.main)
            text += u' ' + m_start.main->ToString();
        if (!m_trackedTitle.isEmpty())
            text += QStringLiteral(" 「%1」").arg(m_trackedTitle);
        break;
    case backup::Role::Live:
        text = backup::kStatusLive;
        break;
    }
    if (m_link.GetRefusals() > 0)
        text +=
            u' ' + backup::kStatusRefusals.arg(m_link.GetRefusals()).arg(m_link.GetLastRefusal());
    return text;
}

void CBackupConsole::ApplyRole(backup::Role role)
{
    // Nothing local plays a desk that follows another console.
    views::SetDeskFollowing(role != backup::Role::Live);
    m_frame.Command(kIdTakeStage)->setEnabled(role != backup::Role::Live);
    m_frame.Command(kIdGiveStage)->setEnabled(role == backup::Role::Live);
    if (role == backup::Role::Live && m_tracked) {
        // The fade goes on from where the live peer left it: its last look is what went out.
        PlayTracked();
        m_tracked.reset();
    }
    ApplyOutput();
    if (role == backup::Role::Live) {
        if (dmx::COrinZentra *port = Port())
            port->ReleaseOutput();
    }
}

void CBackupConsole::ApplyOutput()
{
    const backup::OutputPlan plan =
        backup::OutputPlan::For(m_link.GetRole(), zentra::SelectedDeviceHasPriority(),
                                m_start.priority, m_link.GetLivePeerPriority());
    zentra::SetSacnPriority(plan.priority);
    if (dmx::COrinZentra *port = Port())
        // Until the live peer's look has come, there is none of its to send.
        port->SilenceOutput(plan.silent || (plan.peerLook && !m_tracked));
}

void CBackupConsole::TakeShow(const QString &path, const QByteArray &bytes)
{
    if (m_link.GetRole() != backup::Role::Tracking)
        return;
    const QString name = path.isEmpty() ? kUntitledName : QFileInfo(path).completeBaseName();
    const QDir folder(CRecoverySlot::StateFolder() + u'/' + QLatin1String(kTrackedFolder));
    if (!folder.mkpath(QStringLiteral(".")))
        return;
    // The main's file name, made safe for this file system: the title tells the operator which.
    QString safe = name;
    safe.replace(u'/', u'_');
    if (safe.startsWith(u'.'))
        safe.prepend(u'_');
    const QString copy = folder.filePath(safe + u'.' + kShowFileSuffix);
    if (!model::SaveBytesAtomically(copy, bytes).IsOk() || !m_show.ShowTrackedCopy(copy))
        return;
    m_trackedTitle = name;
    // Opening a show resets the desk: the live peer's desk goes back on it.
    if (m_tracked)
        PlayTracked();
}

void CBackupConsole::TakeLiveState(const QByteArray &bytes)
{
    if (m_link.GetRole() != backup::Role::Tracking)
        return;
    model::LiveStateRead read = model::LiveStateFile::Decode(bytes);
    if (!read.state)
        return;
    const bool first = !m_tracked;
    m_tracked = std::move(read.state);
    if (m_tracked->look) {
        if (dmx::COrinZentra *port = Port())
            port->HoldOutput(*m_tracked->look);
    }
    PlayTracked();
    if (first)
        ApplyOutput();
}

void CBackupConsole::PlayTracked()
{
    RestoreLiveState(m_frame, *m_tracked);
}

void CBackupConsole::TakeStage()
{
    m_link.TakeStage();
}

void CBackupConsole::OnTakeStage()
{
    if (m_link.GetRole() == backup::Role::Live)
        return;
    const QString main = m_start.main ? m_start.main->ToString() : QStringLiteral("相手の卓");
    if (controls::Questions().AskOkCancel(&m_frame, backup::kAskTakeStage.arg(main), kAppTitle))
        TakeStage();
}

void CBackupConsole::OnGiveStage()
{
    if (m_link.GetRole() != backup::Role::Live ||
        !controls::Questions().AskOkCancel(&m_frame, backup::kAskGiveStage, kAppTitle))
        return;
    if (!m_link.GiveStage())
        controls::Questions().Warn(&m_frame, backup::kNoTracker, kAppTitle);
}

} // namespace orinsub::app
