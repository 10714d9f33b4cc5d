#pragma once

#include "model/LiveState.h"
#include "patch/PatchFrame.h"
#include "views/ConsoleFrame.h"
#include "views/InputTarget.h"

#include <QBasicTimer>
#include <QMainWindow>
#include <QMargins>
#include <QPointer>
#include <array>
#include <functional>
#include <memory>
#include <optional>

namespace orinsub::dmx {
class COrinZentra;
class PeriodicTimer;
} // namespace orinsub::dmx
namespace orinsub::model {
class COrinSUBDoc;
class UndoRecord;
} // namespace orinsub::model
namespace orinsub::views {
class CMasterConsoleView;
class CuePlayback;
} // namespace orinsub::views
namespace orinsub::surfaces {
class ControlLayer;
} // namespace orinsub::surfaces

namespace orinsub::app {

class CMySplitterWnd;
class ChaseWindow;
class CueWindow;
class DeskFit;
class DeskLockGuard;
class ModalDeskKeys;
class MainMenu;
class PaneDesk;
class SectionDrag;

/// The console's main window: the two lamp strips framing the preset pane, above the master
/// pane; the menu bar with the console's commands; the 100 ms refresh of the
/// output readouts and the 20 ms DMX link tick. It owns the DMX port and the undo record and
/// registers them, itself and its splitter in g_orin (the panes register themselves).
///
/// The desk fits the window (DeskFit); the bar between the rows and the master pane can be
/// dragged. The command handlers live in MainFrameCommands.cpp.
///
/// Construction builds everything and starts both timers; the link tick works from then on on
/// its own thread. Destruction stops the link first (a running tick finishes, the timer stops,
/// the open device is closed, the port is freed), then the undo record, then the panes.
/// UI thread only.
class CMainFrame : public QMainWindow, public views::ConsoleFrame
{
    Q_OBJECT

public:
    /// The panes show doc, which must outlive the frame. The link timer comes from
    /// dmx::NewPeriodicTimer (tests install a manual one). With heldLook, the link sends that
    /// look from its first frame on until the port's output is released (a restart after a
    /// crash). silent: the link sends nothing until the port is told otherwise (a console of a
    /// backup pair, before it knows whether the other one plays the stage).
    explicit CMainFrame(model::COrinSUBDoc *doc,
                        const std::optional<model::LiveState::Look> &heldLook = std::nullopt,
                        bool silent = false);
    ~CMainFrame() override;

    // What the panes ask of the main window.
    void BeginRowDrag(controls::CDan *row, QPoint point) override;
    void BeginOutputDrag(views::CDanConsoleView *view, QPoint point) override;
    void BeginSubMasterDrag(controls::CSubFader *fader, QPoint point) override;
    views::CLampConsoleView *GetLampView(bool right) override;
    void SetEditCommandsEnabled(bool enabled) override;
    void SetCrossfaderLinkChecked(bool checked) override;
    void SetFlashSoloChecked(bool checked) override;
    void OnIndependentChannelsChanged() override;
    QWidget *GetWindow() override { return this; }

    views::CDanConsoleView *GetDanView() const { return m_pDanView; }
    views::CMasterConsoleView *GetMasterView() const { return m_pMasterView; }
    /// The outer splitter: the top row (the inner splitter) above the master pane.
    CMySplitterWnd *GetSplitter() const { return m_wndSplitter; }
    /// Screen position of the left lamp strip's top-left corner, the origin of the panes.
    QPoint GetPaneOrigin() const;
    /// The window's rectangle moved to (0, 0), as the layout made it.
    QRect GetWindowRect() const { return m_windowRect; }

    /// True while the patch window is open.
    bool IsPatchViewOpen() const;
    patch::CPatchFrame *GetPatchFrame() const { return m_pPatchFrame; }
    /// The cue window once opened (closing only hides it, so its undo lasts), else null.
    CueWindow *GetCueWindow() const { return m_cueWindow; }
    /// The chase window once opened (closing only hides it, so its undo lasts), else null.
    ChaseWindow *GetChaseWindow() const { return m_chaseWindow; }

    /// Input take-over: a row or the sub-masters light their "IN" button (a lit one stays lit)
    /// and switch off the others; None switches all off. Any other value: nothing.
    void SetInputHook(views::InputTarget target);
    /// Input match: lights the "IN" button of a row or of the sub-masters as SetInputHook does,
    /// then, after the operator's OK (none asked while Shift is held), hooks every fader of the
    /// target so that each takes its DMX input level from the next pick-up tick on. None or any
    /// other value: nothing.
    void MatchInput(views::InputTarget target);

    /// For every new or opened show: the panes take the show's names and restart their timers,
    /// the GO fade takes the show's fade time, an open patch window repaints its grid, the cue
    /// window shows the show's cues, and the output is recomputed from the desk.
    void OnInitialUpdate();
    /// The show's cue list and patch were replaced (an import): the patch window and the cue
    /// window show them, the cue list stands before its first cue, and the output follows the
    /// patch at once. The rows, the sub-masters and the fade stay as they are.
    void OnCuesAndPatchReplaced();

    /// The command's action (menu item or accelerator), or null.
    QAction *Command(int id) const;
    const MainMenu &Menu() const { return *m_menu; }
    /// The section drag-and-copy that the panes start.
    SectionDrag &GetSectionDrag() const { return *m_sectionDrag; }
    /// The cue list played through the crossfader ("キュー再生").
    views::CuePlayback &GetCuePlayback() const { return *m_cuePlayback; }
    /// The one road of every control surface to the desk; it lives as long as the panes.
    surfaces::ControlLayer &GetControlLayer() const { return *m_controlLayer; }
    /// What the desk lock holds back in this window; more commands may be put under it.
    DeskLockGuard &GetLockGuard() const { return *m_lockGuard; }

    /// Takes the window's size and state and the divider's place from the settings; from now on
    /// they are kept there whenever the window closes.
    void RestoreLayout();
    /// The zoom the panes are drawn at: 1, or less when the window is too small for the desk.
    double GetDeskZoom() const;

    /// Asked before the window closes; false keeps it open (the save question). Closing from
    /// the window or the menu while any output slot is above 0 asks the operator first.
    void SetCloseGuard(std::function<bool()> guard) { m_closeGuard = std::move(guard); }
    /// Closes as the window's close does, without asking anything (the close guard is not
    /// asked either): a stop signal (Ctrl+C in the terminal, SIGTERM) comes from someone who
    /// means it and may not be there to answer. True when closed.
    bool CloseOnStopSignal();
    /// Called with the path of a file dropped on the window.
    void SetDropHandler(std::function<void(const QString &)> handler)
    {
        m_dropHandler = std::move(handler);
    }

signals:
    /// Once, right after the panes were painted for the first time.
    void FirstPainted();

protected:
    void timerEvent(QTimerEvent *event) override;
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreateClient(model::COrinSUBDoc *doc,
                      const std::optional<model::LiveState::Look> &heldLook);
    void ConnectCommands();
    void OnPatch();
    /// A click on a channel's mark in the patch window switches its independence.
    void ToggleIndependentChannel(int channel);
    /// Shows the cue window, made on first use, in front.
    void OnCueList();
    /// Shows the chase window, made on first use, in front.
    void OnChases();
    /// Shows a list window (cues, chases) in front, restored if minimised.
    static void Raise(QWidget *window);
    /// Where a list window opens first: where the operator left it (under key), or where it
    /// hides nothing the operator plays.
    void PlaceListWindow(QWidget *window, const QString &key, QSize ideal);
    /// The fade-time dialog; the time chosen goes into the show.
    void OnFadeTime();
    /// Every change of the GO fade time goes into the show (which marks it modified).
    void KeepFadeTimeInShow();
    /// The blackout item's check mark follows blackout, whoever switched it.
    void KeepBlackoutChecked();
    /// The cue playback: its switch and commands on the menu, BACK's time from the settings.
    void SetUpCuePlayback();
    /// The lock holds back the mouse on the panes, the name boxes and every command that
    /// changes the show or the levels.
    void SetUpDeskLock();
    /// Asks for a cue number and fades to that cue.
    void OnCueGoto();
    /// The back-time dialog; the time chosen goes into the settings.
    void OnCueBackTime();
    void OnEditCommand(int id);
    void ActivateNextPane(bool backwards);
    /// The four panes in F6 order: left strip, preset pane, right strip, master pane.
    std::array<QWidget *, 4> Panes() const;
    void OnFocusChanged(QWidget *now);
    /// Once the window manager has framed the window: the frame included, the window takes the
    /// console's size, or the screen's available area where that is smaller.
    void FitFrameToScreen();
    void SaveLayout() const;
    /// Before a close: true when nothing is on the output or the operator wants to go on.
    bool ConfirmCloseWhileOutput();

    model::COrinSUBDoc *m_doc;
    std::unique_ptr<dmx::COrinZentra> m_port;
    std::unique_ptr<model::UndoRecord> m_undo;
    std::unique_ptr<dmx::PeriodicTimer> m_linkTimer;
    std::unique_ptr<MainMenu> m_menu;
    std::unique_ptr<SectionDrag> m_sectionDrag;
    std::unique_ptr<views::CuePlayback> m_cuePlayback;
    std::unique_ptr<PaneDesk> m_desk;
    std::unique_ptr<surfaces::ControlLayer> m_controlLayer;
    std::unique_ptr<DeskLockGuard> m_lockGuard;
    std::unique_ptr<ModalDeskKeys> m_modalKeys;
    std::unique_ptr<DeskFit> m_deskFit;
    CMySplitterWnd *m_wndSplitter = nullptr;
    CMySplitterWnd *m_wndSplitterTop = nullptr;
    views::CLampConsoleView *m_pLeftLamp = nullptr;
    views::CDanConsoleView *m_pDanView = nullptr;
    views::CLampConsoleView *m_pRightLamp = nullptr;
    views::CMasterConsoleView *m_pMasterView = nullptr;
    QPointer<QWidget> m_activePane; // the pane that last had the focus, or one inside it
    QPointer<patch::CPatchFrame> m_pPatchFrame; // never owned: it deletes itself when closed
    CueWindow *m_cueWindow = nullptr;           // a child window: it goes with the frame
    ChaseWindow *m_chaseWindow = nullptr;       // the same
    QRect m_windowRect;
    QMargins m_fittedFrame; // the window manager's frame the size was last fitted to
    bool m_keepsLayout = false;
    bool m_layoutRestored = false;
    QBasicTimer m_displayTimer;
    bool m_painted = false;
    bool m_closingOnSignal = false;
    std::function<bool()> m_closeGuard;
    std::function<void(const QString &)> m_dropHandler;
};

} // namespace orinsub::app
