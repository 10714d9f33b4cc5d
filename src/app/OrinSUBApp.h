#pragma once

#include "model/LiveState.h"

#include <QObject>
#include <QString>
#include <memory>
#include <optional>

class QAction;

namespace orinsub::model {
class COrinSUBDoc;
}

namespace orinsub::app {

class CBackupConsole;
struct BackupStart;
class CLiveStateJournal;
class CMainFrame;
class CMidiSurfaces;
class CNetworkSurfaces;
class CRecentFileList;
class CRecoveryCopy;
class CRecoverySlot;
class CShowDocument;
class ShowExchangeCommands;
class CStateReport;
enum class RestoreAnswer;
struct StartOptions;

/// The application: the show, the main window and the show's controller, tied together at
/// start-up; the File and Help menus' commands and the recent-file list in the File menu.
/// One per process, after the QApplication.
class COrinSUBApp : public QObject
{
    Q_OBJECT

public:
    COrinSUBApp();
    ~COrinSUBApp() override;

    /// Start-up: the settings store's names, the show, the main window; a recovery copy and the
    /// desk's live state that a console left behind are offered for restoring in one question
    /// (a declined copy is set aside); then the show named on the command line, or else the
    /// restored desk's show, or else (unless Shift is held or something was restored) the most
    /// recent one; a restored desk is put back before the window shows. Then the window takes
    /// dropped shows, a modified show is kept in a recovery copy and the desk in its live state.
    /// With a screenshot file the window is saved as PNG after its first paint and the event
    /// loop ends, without recovery files. False when the command line's show cannot be opened
    /// and nothing was restored (the operator has read why): the program ends.
    bool InitInstance(const StartOptions &options);

    CMainFrame *GetMainFrame() const { return m_frame.get(); }
    CShowDocument *GetDocument() const { return m_show.get(); }
    model::COrinSUBDoc *GetShow() const { return m_doc.get(); }
    const CRecentFileList &GetRecentFiles() const { return *m_recent; }
    /// The OSC surface and the web remote (after InitInstance).
    const CNetworkSurfaces &GetNetworkSurfaces() const { return *m_network; }

    /// "バージョン情報 OrinSUB(&A)...": the About box, modal over the main window.
    void OnAppAbout();
    /// A stop signal: whoever sent it may not be there to answer. Nothing is asked; the
    /// recovery copy and the desk's live state stay on the disk as after a crash, for the next
    /// start to offer; the window closes and every event loop ends.
    void StopOnSignal();

private:
    /// What a console that did not close normally left in the slot this one claims.
    struct LeftWork
    {
        std::unique_ptr<CRecoverySlot> slot; // null when none could be claimed
        QString slotError;
        std::optional<model::LiveState> desk;
        QString deskProblem; // why a desk it left cannot be used; empty when none was left
    };
    /// Claims this console's slot and reads what was left there, before the window exists, so
    /// that the link's first frame can carry the look the left desk put on stage.
    static LeftWork FindLeftWork();
    /// Restores the copy a console left behind, or sets it aside, and hands back its desk when
    /// the operator keeps it (or forgets it); then keeps this console's copies. True when a
    /// copy was restored.
    bool RecoverLeftWork(RestoreAnswer answer, LeftWork left,
                         std::optional<model::LiveState> &desk);
    /// Keeps the desk's live state from now on (after RecoverLeftWork found a slot).
    void KeepLiveState(std::optional<model::LiveState> onDisk);
    void ConnectCommands();
    void CreateRecentFileMenu();
    void UpdateRecentFileMenu();
    void SaveScreenshotWhenReady(const QString &file);
    /// The master pane's status line names the open interface.
    bool IsInterfaceShown() const;
    /// Starts the backup link when one was set up; the console plays alone (after the message)
    /// when it cannot.
    void StartBackup(BackupStart start);
    /// --headless: a line on standard error for each change of the output, the backup link and
    /// the surfaces.
    void ReportState();

    std::unique_ptr<model::COrinSUBDoc> m_doc;
    std::unique_ptr<CRecentFileList> m_recent;
    std::unique_ptr<CShowDocument> m_show;
    std::unique_ptr<ShowExchangeCommands> m_exchange; // printing, exports and imports
    std::unique_ptr<CRecoveryCopy> m_recovery;
    QString m_liveStatePath; // empty: the desk is not kept
    std::unique_ptr<CLiveStateJournal> m_journal;
    std::unique_ptr<CMainFrame> m_frame; // goes first: it stops the link and frees the panes
    std::unique_ptr<CMidiSurfaces> m_midi;
    std::unique_ptr<CNetworkSurfaces> m_network; // OSC and the web remote
    std::unique_ptr<CBackupConsole> m_backup;    // none without a backup pair
    std::unique_ptr<CStateReport> m_report;      // --headless: the state on standard error
    std::vector<QAction *> m_recentActions;
};

} // namespace orinsub::app
