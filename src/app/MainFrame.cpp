#include "MainFrame.h"

#include "AppResources.h"
#include "ChaseWindow.h"
#include "CueWindow.h"
#include "DeskFit.h"
#include "DeskLockGuard.h"
#include "MainMenu.h"
#include "ModalDeskKeys.h"
#include "MySplitterWnd.h"
#include "PaneDesk.h"
#include "SectionDrag.h"
#include "controls/MyEdit.h"
#include "controls/QuestionBox.h"
#include "dmx/LinkTick.h"
#include "dmx/OrinZentra.h"
#include "model/CurveOutput.h"
#include "model/Mix.h"
#include "model/OrinGlobal.h"
#include "model/OrinSUBDoc.h"
#include "model/SettingsReader.h"
#include "model/ShowLimits.h"
#include "model/UndoRecord.h"
#include "patch/PatchFrame.h"
#include "surfaces/ControlLayer.h"
#include "views/ConsoleKeys.h"
#include "views/ConsoleOperations.h"
#include "views/CuePlayback.h"
#include "views/DanConsoleView.h"
#include "views/DeskWatch.h"
#include "views/GoFade.h"
#include "views/LampConsoleView.h"
#include "views/MasterConsoleView.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMimeData>
#include <QScreen>
#include <QSettings>
#include <QTableView>
#include <QTimer>
#include <QWindow>
#include <algorithm>

namespace orinsub::app {

using model::g_orin;
using views::CLampConsoleView;

namespace {

const QString kGeometryKey = QStringLiteral("window/geometry");
const QString kCueWindowGeometryKey = QStringLiteral("window/cueListGeometry");
const QString kChaseWindowGeometryKey = QStringLiteral("window/chaseGeometry");
const QString kMasterRowKey = QStringLiteral("window/masterRowHeight");
// What the settings may hold: a saved geometry is under a hundred bytes, and no screen is
// taller than an 8K one.
constexpr qsizetype kMaxGeometryBytes = 1024;
constexpr int kMaxMasterRowHeight = 4320;

/// The first local file among the dropped data's URLs, or empty.
QString DroppedFile(const QMimeData *data)
{
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile())
            return url.toLocalFile();
    }
    return {};
}

} // namespace

CMainFrame::CMainFrame(model::COrinSUBDoc *doc,
                       const std::optional<model::LiveState::Look> &heldLook, bool silent)
    : m_doc(doc), m_port(std::make_unique<dmx::COrinZentra>()),
      m_undo(std::make_unique<model::UndoRecord>())
{
    m_port->SilenceOutput(silent);
    g_orin.m_pZentra = m_port.get();
    g_orin.m_pUndo = m_undo.get();
    setWindowTitle(kAppTitle);
    setAcceptDrops(true);
    m_menu = std::make_unique<MainMenu>(*this);
    CreateClient(doc, heldLook);
    m_sectionDrag = std::make_unique<SectionDrag>(*this);
    SetUpCuePlayback();
    m_desk = std::make_unique<PaneDesk>();
    m_desk->SetCuePlayback(m_cuePlayback.get());
    m_controlLayer = std::make_unique<surfaces::ControlLayer>(*m_desk);
    KeepFadeTimeInShow();
    KeepBlackoutChecked();
    ConnectCommands();
    SetUpDeskLock();
    m_modalKeys = std::make_unique<ModalDeskKeys>(std::vector<QAction *>{
        Command(kIdGo), Command(kIdCut), Command(kIdCueBack), Command(kIdBlackout)});
}

void CMainFrame::CreateClient(model::COrinSUBDoc *doc,
                              const std::optional<model::LiveState::Look> &heldLook)
{
    using namespace layout;
    m_wndSplitter = new CMySplitterWnd(Qt::Vertical, CMySplitterWnd::Bars::Movable, this);
    m_wndSplitterTop = new CMySplitterWnd(Qt::Horizontal, CMySplitterWnd::Bars::Fixed);
    m_pLeftLamp = new CLampConsoleView(CLampConsoleView::Side::Left);
    m_pDanView = new views::CDanConsoleView(doc);
    m_pRightLamp = new CLampConsoleView(CLampConsoleView::Side::Right);
    m_pMasterView = new views::CMasterConsoleView(doc);
    m_wndSplitterTop->AddPane(m_pLeftLamp, kLampWidth);
    m_wndSplitterTop->AddPane(m_pDanView, kPresetWidth);
    m_wndSplitterTop->AddPane(m_pRightLamp, kLampWidth);
    m_wndSplitter->AddPane(m_wndSplitterTop, views::CDanConsoleView::kDefaultPaneHeight,
                           kRowMinimum);
    m_wndSplitter->AddPane(m_pMasterView, kMasterRowHeight, kRowMinimum);
    setCentralWidget(m_wndSplitter);
    m_deskFit = std::make_unique<DeskFit>(
        *this, *m_wndSplitter, *m_wndSplitterTop,
        DeskFit::Panes{m_pLeftLamp, m_pDanView, m_pRightLamp, m_pMasterView});
    m_wndSplitter->SetResizedHandler([this] { m_deskFit->Fit(); });
    connect(m_wndSplitter, &QSplitter::splitterMoved, this, [this] { m_deskFit->KeepMasterRow(); });
    m_pDanView->SetRowsMovedHandler([this] { m_deskFit->PlaceLampRows(); });
    m_deskFit->PlaceLampRows();

    move(kFrameX, kFrameY);
    resize(kFrameWidth, kFrameHeight);
    m_windowRect = QRect(0, 0, kFrameWidth, kFrameHeight);

    g_orin.m_pMainFrame = this;
    g_orin.m_pSplitter = m_wndSplitter;
    g_orin.m_pLampView = m_pLeftLamp;
    g_orin.m_pDanView = m_pDanView;
    g_orin.m_pMasterView = m_pMasterView;

    SetEditCommandsEnabled(false);
    Command(kIdEditUndo)->setEnabled(false);
    model::SetUndoCommandListener([undo = QPointer<QAction>(Command(kIdEditUndo))](bool enabled) {
        if (undo)
            undo->setEnabled(enabled);
    });

    // A show dropped on a name box opens like one dropped anywhere else, instead of its path
    // being typed into the name.
    for (controls::CMyEdit *edit : findChildren<controls::CMyEdit *>()) {
        edit->installEventFilter(this);
        edit->viewport()->installEventFilter(this);
    }
    m_pDanView->viewport()->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget *, QWidget *now) { OnFocusChanged(now); });

    // The window itself has the keys at start, as no pane has been chosen yet (otherwise the
    // first name box would take them and the arrow keys would edit its text).
    setFocus(Qt::OtherFocusReason);

    m_displayTimer.start(kDisplayRefreshMs, this);
    if (heldLook)
        m_port->HoldOutput(*heldLook);
    m_linkTimer = dmx::NewPeriodicTimer();
    dmx::StartLinkTick(*m_linkTimer, *m_port);
}

CMainFrame::~CMainFrame()
{
    // A drag in progress ends first, its preview worker finished, while the panes still stand.
    m_sectionDrag.reset();
    m_lockGuard.reset();
    m_modalKeys.reset();
    // Nothing may call back into a frame that is going: the panes' focus changes while they
    // are destroyed, and the undo record's menu item goes with the menu bar.
    disconnect(qApp, nullptr, this, nullptr);
    views::RemoveDeskListener(this);
    if (g_orin.m_pMainFrame == this)
        g_orin.m_pMainFrame = nullptr;
    if (g_orin.m_pSplitter == m_wndSplitter)
        g_orin.m_pSplitter = nullptr;
    delete m_pPatchFrame;

    dmx::ShutdownLink(m_linkTimer.get(), m_port);
    g_orin.m_pZentra = nullptr;
    m_linkTimer.reset();

    model::SetUndoCommandListener(nullptr);
    g_orin.m_pUndo = nullptr;
    m_undo.reset();
}

void CMainFrame::KeepFadeTimeInShow()
{
    m_pMasterView->GetGoFade().SetFadeTimeListener(
        [doc = m_doc](int tenths) { doc->SetFadeTime(tenths); });
}

void CMainFrame::KeepBlackoutChecked()
{
    views::SetDeskListener(
        this, [this] { Command(kIdBlackout)->setChecked(m_pMasterView->IsBlackout()); });
}

void CMainFrame::SetUpDeskLock()
{
    std::vector<QWidget *> names;
    for (controls::CMyEdit *edit : findChildren<controls::CMyEdit *>())
        names.push_back(edit);
    const std::array<QWidget *, 4> panes = Panes();
    m_lockGuard = std::make_unique<DeskLockGuard>(
        Command(kIdLock), std::vector<QWidget *>(panes.begin(), panes.end()), std::move(names));
    for (int id : {kIdFileNew, kIdFileOpen, kIdEditUndo, kIdEditCut, kIdEditPaste, kIdPatch,
                   kIdFlashSolo, kIdFadeTime, kIdHookA, kIdHookB, kIdHookSub, kIdHookNone,
                   kIdMatchA, kIdMatchB, kIdMatchSub})
        m_lockGuard->Guard(Command(id));
}

void CMainFrame::SetUpCuePlayback()
{
    m_cuePlayback = std::make_unique<views::CuePlayback>(m_pMasterView->GetGoFade());
    m_cuePlayback->SetReadout(m_pMasterView->GetCueReadout());
    QSettings settings;
    settings.beginGroup(kCueSettingsGroup);
    m_cuePlayback->SetBackTime(model::SettingsReader(settings).Int(
        kCueBackTimeKey, 0, views::GoFade::kMaxFadeTime, views::CuePlayback::kDefaultBackTime));
    m_cuePlayback->SetPlayingListener([this](bool playing) {
        Command(kIdCuePlayback)->setChecked(playing);
        Command(kIdCueBack)->setEnabled(playing);
        Command(kIdCueGoto)->setEnabled(playing);
    });
}

void CMainFrame::BeginRowDrag(controls::CDan *row, QPoint point)
{
    m_sectionDrag->BeginRowDrag(row, point);
}

void CMainFrame::BeginOutputDrag(views::CDanConsoleView *view, QPoint point)
{
    m_sectionDrag->BeginOutputDrag(view, point);
}

void CMainFrame::BeginSubMasterDrag(controls::CSubFader *fader, QPoint point)
{
    m_sectionDrag->BeginSubMasterDrag(fader, point);
}

CLampConsoleView *CMainFrame::GetLampView(bool right)
{
    return right ? m_pRightLamp : m_pLeftLamp;
}

void CMainFrame::SetEditCommandsEnabled(bool enabled)
{
    for (int id : {kIdEditCut, kIdEditCopy, kIdEditPaste, kIdEditSelectAll})
        Command(id)->setEnabled(enabled);
}

void CMainFrame::SetCrossfaderLinkChecked(bool checked)
{
    Command(kIdCrossfaderLink)->setChecked(checked);
}

void CMainFrame::SetFlashSoloChecked(bool checked)
{
    Command(kIdFlashSolo)->setChecked(checked);
}

void CMainFrame::OnIndependentChannelsChanged()
{
    if (m_pPatchFrame)
        m_pPatchFrame->RefreshGrid();
}

QPoint CMainFrame::GetPaneOrigin() const
{
    return m_pLeftLamp->mapToGlobal(QPoint(0, 0));
}

double CMainFrame::GetDeskZoom() const
{
    return m_deskFit->GetZoom();
}

bool CMainFrame::IsPatchViewOpen() const
{
    return m_pPatchFrame && m_pPatchFrame->isVisible();
}

QAction *CMainFrame::Command(int id) const
{
    return m_menu->Command(id);
}

void CMainFrame::OnCueList()
{
    if (!m_cueWindow) {
        m_cueWindow = new CueWindow(*m_doc, this);
        m_cueWindow->SetPlayback(m_cuePlayback.get());
        // The show can be saved from the list as from the desk.
        m_cueWindow->addAction(Command(kIdFileSave));
        PlaceListWindow(m_cueWindow, kCueWindowGeometryKey,
                        {cuewindow::kWindowWidth, cuewindow::kWindowHeight});
        // Every edit shows in the table: the cue readout follows the same signals.
        const QAbstractItemModel *table = m_cueWindow->Table()->model();
        const auto refresh = [this] { m_cuePlayback->Refresh(); };
        connect(table, &QAbstractItemModel::modelReset, this, refresh);
        connect(table, &QAbstractItemModel::dataChanged, this, refresh);
    }
    Raise(m_cueWindow);
}

void CMainFrame::OnChases()
{
    if (!m_chaseWindow) {
        m_chaseWindow = new ChaseWindow(*m_doc, m_controlLayer->GetDesk(), this);
        m_chaseWindow->addAction(Command(kIdFileSave));
        // A chase put on a raised fader plays at once, and an edited one as it is now.
        m_chaseWindow->SetEditListener([] {
            model::RecomputeAllChannels();
            views::UpdateOutputDisplays();
            views::NotifyDeskChanged();
        });
        PlaceListWindow(m_chaseWindow, kChaseWindowGeometryKey,
                        {chasewindow::kWindowWidth, chasewindow::kWindowHeight});
    }
    Raise(m_chaseWindow);
}

void CMainFrame::Raise(QWidget *window)
{
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

void CMainFrame::PlaceListWindow(QWidget *window, const QString &key, QSize ideal)
{
    QSettings settings;
    if (window->restoreGeometry(model::SettingsReader(settings).Bytes(key, kMaxGeometryBytes)))
        return;
    // At first over the rows at the screen's right, so that the crossfader, the grand master and
    // GO stay in sight. Its frame is reckoned as large as the main window's.
    const QRect available = screen()->availableGeometry();
    const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    const int room = m_pMasterView->mapToGlobal(QPoint(0, 0)).y() - available.top() - frame.top() -
                     frame.bottom();
    const QSize size(ideal.width(), std::clamp(room, cuewindow::kMinimumHeight, ideal.height()));
    window->resize(size);
    window->move(std::max(available.left(),
                          available.right() + 1 - size.width() - frame.left() - frame.right()),
                 available.top());
}

void CMainFrame::OnInitialUpdate()
{
    m_pDanView->OnInitialUpdate();
    m_pMasterView->OnInitialUpdate();
    m_pMasterView->GetGoFade().SetFadeTime(m_doc->m_extension.fadeTime);
    m_pMasterView->GetGoFade().ResetLastOnAir();
    SetFlashSoloChecked(m_doc->m_extension.flashMode == model::FlashMode::Solo);
    OnCuesAndPatchReplaced();
}

void CMainFrame::OnCuesAndPatchReplaced()
{
    if (m_pPatchFrame)
        m_pPatchFrame->RefreshGrid();
    if (m_cueWindow)
        m_cueWindow->ShowChanged();
    if (m_chaseWindow)
        m_chaseWindow->ShowChanged();
    m_cuePlayback->ShowChanged();
    model::PublishDimmerCurves();
    // Another patch or other sub-masters: every slot, the unpatched ones too, follows the desk
    // at once rather than keeping a level that no fader controls any more.
    model::RecomputeAllChannels();
    model::MixChannel(model::kSpareChannelIndex + 1);
    views::UpdateOutputDisplays();
}

void CMainFrame::OnFocusChanged(QWidget *now)
{
    for (QWidget *pane : Panes()) {
        if (now && (now == pane || pane->isAncestorOf(now))) {
            m_activePane = pane;
            return;
        }
    }
}

std::array<QWidget *, 4> CMainFrame::Panes() const
{
    return {m_pLeftLamp, m_pDanView, m_pRightLamp, m_pMasterView};
}

void CMainFrame::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_displayTimer.timerId())
        views::UpdateOutputDisplays();
    else
        QMainWindow::timerEvent(event);
}

void CMainFrame::RestoreLayout()
{
    m_keepsLayout = true;
    QSettings settings;
    const model::SettingsReader read(settings);
    m_layoutRestored = restoreGeometry(read.Bytes(kGeometryKey, kMaxGeometryBytes));
    m_deskFit->SetMasterRowHeight(read.Int(kMasterRowKey, 0, kMaxMasterRowHeight, 0));
}

void CMainFrame::SaveLayout() const
{
    if (!m_keepsLayout)
        return;
    QSettings settings;
    settings.setValue(kGeometryKey, saveGeometry());
    settings.setValue(kMasterRowKey, m_deskFit->GetMasterRowHeight());
    if (m_cueWindow)
        settings.setValue(kCueWindowGeometryKey, m_cueWindow->saveGeometry());
    if (m_chaseWindow)
        settings.setValue(kChaseWindowGeometryKey, m_chaseWindow->saveGeometry());
}

void CMainFrame::FitFrameToScreen()
{
    // Drawn off-screen (tests, screenshots) the window has no real screen or frame to fit.
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        return;
    const QWindow *window = windowHandle();
    // A size the operator chose last time was restored as it was, frame and screen included.
    if (!window || !isVisible() || isMaximized() || isFullScreen() || m_layoutRestored)
        return;
    const QMargins frame = window->frameMargins();
    // Without a window manager there is no frame and the window keeps the layout's size.
    if (frame == m_fittedFrame)
        return;
    m_fittedFrame = frame;
    using namespace layout;
    const QRect available = screen()->availableGeometry();
    const QSize outer = QSize(kFrameWidth, kFrameHeight).boundedTo(available.size());
    QPoint topLeft(kFrameX, kFrameY);
    topLeft.rx() = std::clamp(topLeft.x(), available.left(), available.right() + 1 - outer.width());
    topLeft.ry() =
        std::clamp(topLeft.y(), available.top(), available.bottom() + 1 - outer.height());
    resize(outer.shrunkBy(frame));
    move(topLeft);
}

bool CMainFrame::event(QEvent *event)
{
    // The window manager frames the window after it is shown, and says so by moving it.
    if (event->type() == QEvent::Show || event->type() == QEvent::Move)
        QTimer::singleShot(0, this, &CMainFrame::FitFrameToScreen);
    // Tab at the window itself goes to the console's keys, not along the focus chain.
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    return QMainWindow::event(event);
}

void CMainFrame::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key() == Qt::Key_Backtab ? Qt::Key_Tab : event->key();
    views::HandleFrameKey(key, event->isAutoRepeat());
    QMainWindow::keyPressEvent(event);
}

// The light first: that question is the one that stops an accidental close in a show.
void CMainFrame::closeEvent(QCloseEvent *event)
{
    if (!m_closingOnSignal && (!ConfirmCloseWhileOutput() || (m_closeGuard && !m_closeGuard()))) {
        event->ignore();
        return;
    }
    SaveLayout();
    QMainWindow::closeEvent(event);
}

bool CMainFrame::CloseOnStopSignal()
{
    m_closingOnSignal = true;
    const bool closed = close();
    m_closingOnSignal = false;
    return closed;
}

bool CMainFrame::ConfirmCloseWhileOutput()
{
    const std::array<uint8_t, dmx::kFrameSize> sent = m_port->GetSentLook();
    if (std::any_of(sent.begin() + 1, sent.end(), [](uint8_t level) { return level > 0; }))
        return !controls::Questions().AskSafeChoice(this, kAskToCloseWhileOutput, kAppTitle,
                                                    kStayOpen, kCloseAnyway);
    return true;
}

void CMainFrame::dragEnterEvent(QDragEnterEvent *event)
{
    if (!DroppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent *event)
{
    const QString path = DroppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    activateWindow();
    // After the drop has finished: opening may ask questions in modal boxes.
    QTimer::singleShot(0, this, [this, path] {
        if (m_dropHandler)
            m_dropHandler(path);
    });
}

bool CMainFrame::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Paint:
        if (!m_painted && watched == m_pDanView->viewport()) {
            m_painted = true;
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, &CMainFrame::FirstPainted);
        }
        break;
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        if (DroppedFile(drag->mimeData()).isEmpty())
            break;
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        if (DroppedFile(drop->mimeData()).isEmpty())
            break;
        dropEvent(drop);
        return true;
    }
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace orinsub::app
