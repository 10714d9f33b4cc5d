#pragma once

#include "backup/BackupLink.h"
#include "backup/BackupNetwork.h"
#include "backup/BackupSetup.h"
#include "model/LiveState.h"

#include <QObject>
#include <QTimer>
#include <optional>

namespace orinsub::model {
class COrinSUBDoc;
}

namespace orinsub::app {

class CMainFrame;
class CShowDocument;
struct StartOptions;

/// How this console takes part in a backup pair, from the command line, else the settings
/// (backup/port, backup/of, backup/key).
struct BackupStart
{
    std::optional<backup::ListenPoint> listen; // a main
    std::optional<backup::MainPoint> main;     // a backup
    QByteArray key;
    std::optional<uint8_t> priority; // the sACN priority set for this console

    bool IsOn() const { return listen || main; }
    /// False with a one-line message for a bad value or a key that cannot be used.
    static bool Resolve(const StartOptions &options, BackupStart &start, QString &error);
};

/// The console's side of the backup link: it streams the show and the desk to its trackers
/// while it plays, and while it tracks it plays the live console's show and look and lets no
/// local hand play the desk. Its role decides what the output does (see backup::OutputPlan).
/// UI thread only.
class CBackupConsole : public QObject
{
    Q_OBJECT

public:
    CBackupConsole(CMainFrame &frame, CShowDocument &show, model::COrinSUBDoc &doc,
                   BackupStart start);
    ~CBackupConsole() override;

    /// Listens for backups or starts following the main; false with the system's reason.
    bool Start(QString &error);
    backup::Role GetRole() const { return m_link.GetRole(); }
    /// For the status line: the role, the main followed and the refusals.
    QString StatusText() const;
    /// 「本番を引き継ぐ」 after the operator confirmed it.
    void TakeStage();
    /// Asks the operator first; nothing when this console plays already.
    void OnTakeStage();
    /// 「本番を渡す」: a live console hands the stage to the one that tracks it, after the
    /// operator confirmed it.
    void OnGiveStage();

private:
    void Tick();
    void ApplyRole(backup::Role role);
    void ApplyOutput();
    void TakeShow(const QString &path, const QByteArray &bytes);
    void TakeLiveState(const QByteArray &bytes);
    void PlayTracked();
    QByteArray CurrentLiveState() const;

    CMainFrame &m_frame;
    CShowDocument &m_show;
    model::COrinSUBDoc &m_doc;
    BackupStart m_start;
    backup::BackupLink m_link;
    backup::BackupNetwork m_network;
    QTimer m_tick;
    uint64_t m_sentEdits = 0;
    QString m_sentPath;
    std::optional<model::LiveState> m_tracked; // the live peer's desk as last received
    QString m_trackedTitle;
};

} // namespace orinsub::app
