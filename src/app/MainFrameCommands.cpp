#include "MainFrame.h"

#include "AppResources.h"
#include "CueGotoDlg.h"
#include "DeskLockGuard.h"
#include "FadeTimeDlg.h"
#include "PaneDesk.h"
#include "controls/RcLamp.h"
#include "controls/SubFader.h"
#include "model/OrinSUBDoc.h"
#include "patch/OrinPatchView.h"
#include "patch/PatchFrame.h"
#include "views/ConsoleOperations.h"
#include "views/CuePlayback.h"
#include "views/DanConsoleView.h"
#include "views/GoFade.h"
#include "views/LampConsoleView.h"
#include "views/MasterConsoleView.h"
#include "views/UndoLastEdit.h"

#include <QAction>
#include <QSettings>

// The main window's command handlers: what its menu items and accelerators do.

namespace orinsub::app {

namespace {

/// An edit command on a pane with name boxes: on its focused box, Undo without one on the last
/// section copy.
template <class View> void RunEditCommand(View &view, int id)
{
    switch (id) {
    case kIdEditUndo:
        view.OnEditUndo();
        break;
    case kIdEditCut:
        view.OnEditCut();
        break;
    case kIdEditCopy:
        view.OnEditCopy();
        break;
    case kIdEditPaste:
        view.OnEditPaste();
        break;
    case kIdEditSelectAll:
        view.OnEditSelectAll();
        break;
    default:
        break;
    }
}

} // namespace

void CMainFrame::ConnectCommands()
{
    auto on = [this](int id, auto handler) {
        connect(Command(id), &QAction::triggered, this, handler);
    };
    // The commands on the desk's own controls play them as the surfaces do, under the same rules.
    using Kind = surfaces::ControlTarget::Kind;
    const auto press = [this](Kind button) {
        return [this, button] { m_desk->Press({.kind = button}, true); };
    };
    const auto set = [this](Kind latch) {
        return [this, latch](bool checked) { m_desk->Move({.kind = latch}, checked ? 1 : 0); };
    };
    on(kIdCrossfaderLink, press(Kind::Link));
    on(kIdFlashSolo, set(Kind::FlashMode));
    on(kIdGo, press(Kind::Go));
    on(kIdCut, press(Kind::Cut));
    on(kIdBlackout, press(Kind::Blackout));
    on(kIdCuePlayback, set(Kind::CueMode));
    on(kIdCueBack, press(Kind::CueBack));
    on(kIdPatch, [this] { OnPatch(); });
    on(kIdCueList, [this] { OnCueList(); });
    on(kIdChases, [this] { OnChases(); });
    on(kIdFadeTime, [this] { OnFadeTime(); });
    on(kIdCueGoto, [this] { OnCueGoto(); });
    on(kIdCueBackTime, [this] { OnCueBackTime(); });
    using views::InputTarget;
    on(kIdHookA, [this] { SetInputHook(InputTarget::RowA); });
    on(kIdHookB, [this] { SetInputHook(InputTarget::RowB); });
    on(kIdHookSub, [this] { SetInputHook(InputTarget::SubMasters); });
    on(kIdHookNone, [this] { SetInputHook(InputTarget::None); });
    on(kIdMatchA, [this] { MatchInput(InputTarget::RowA); });
    on(kIdMatchB, [this] { MatchInput(InputTarget::RowB); });
    on(kIdMatchSub, [this] { MatchInput(InputTarget::SubMasters); });
    for (int id : {kIdEditUndo, kIdEditCut, kIdEditCopy, kIdEditPaste, kIdEditSelectAll})
        on(id, [this, id] { OnEditCommand(id); });
    on(kIdNextPane, [this] { ActivateNextPane(false); });
    on(kIdPrevPane, [this] { ActivateNextPane(true); });
    on(kIdAppExit, [this] { close(); });
}

void CMainFrame::OnFadeTime()
{
    views::GoFade &go = m_pMasterView->GetGoFade();
    CFadeTimeDlg dialog(go.GetFadeTime(), this);
    if (dialog.exec() == QDialog::Accepted)
        m_desk->Move({.kind = surfaces::ControlTarget::Kind::GoTime}, dialog.GetTenths());
}

void CMainFrame::OnCueGoto()
{
    CueGotoDlg dialog(m_doc->m_extension.cues, this);
    if (dialog.exec() == QDialog::Accepted)
        m_desk->Move({.kind = surfaces::ControlTarget::Kind::CueGoto}, dialog.GetNumber());
}

void CMainFrame::OnCueBackTime()
{
    CFadeTimeDlg dialog(m_cuePlayback->GetBackTime(), kCueBackTimeTitle, kCueBackTimeLabel, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_cuePlayback->SetBackTime(dialog.GetTenths());
    QSettings settings;
    settings.beginGroup(kCueSettingsGroup);
    settings.setValue(kCueBackTimeKey, m_cuePlayback->GetBackTime());
}

void CMainFrame::ToggleIndependentChannel(int channel)
{
    views::SetIndependentChannel(channel, !views::IsIndependentChannel(channel));
}

void CMainFrame::OnPatch()
{
    patch::CPatchFrame *frame = patch::CPatchFrame::OpenOrActivate(m_pPatchFrame);
    m_lockGuard->Guard(frame);
    connect(frame->PatchView(), &patch::COrinPatchView::IndependentMarkClicked, this,
            &CMainFrame::ToggleIndependentChannel, Qt::UniqueConnection);
}

void CMainFrame::SetInputHook(views::InputTarget target)
{
    using views::InputTarget;
    switch (target) {
    case InputTarget::RowA:
    case InputTarget::RowB:
        m_pLeftLamp->GetInButton(views::TargetRow(target))->SetOn(true);
        break;
    case InputTarget::SubMasters:
        m_pMasterView->GetInButton()->SetOn(true);
        break;
    case InputTarget::None:
        m_pLeftLamp->GetInButton(0)->SetOn(false);
        m_pLeftLamp->GetInButton(1)->SetOn(false);
        m_pMasterView->GetInButton()->SetOn(false);
        break;
    default:
        return;
    }
    views::ExclusiveInputHook(target);
}

void CMainFrame::MatchInput(views::InputTarget target)
{
    const bool row = views::IsRowTarget(target);
    if (!row && target != views::InputTarget::SubMasters)
        return;
    // The lamp stays lit whatever the answer: the target remains under input take-over.
    SetInputHook(target);
    if (!views::ConfirmHookAll(target))
        return;
    if (row) {
        m_pDanView->HookRow(views::TargetRow(target));
    } else {
        for (int i = 0; i < m_pMasterView->GetSubFaderCount(); ++i)
            m_pMasterView->GetSubFader(i)->SetHooked(true);
    }
}

void CMainFrame::OnEditCommand(int id)
{
    if (m_activePane == m_pDanView)
        RunEditCommand(*m_pDanView, id);
    else if (m_activePane == m_pMasterView)
        RunEditCommand(*m_pMasterView, id);
    else if (id == kIdEditUndo)
        views::UndoLastEdit(); // a lamp strip, or no pane chosen yet
}

void CMainFrame::ActivateNextPane(bool backwards)
{
    const std::array<QWidget *, 4> panes = Panes();
    const int count = static_cast<int>(panes.size());
    int current = backwards ? 0 : count - 1; // no pane yet: F6 starts at the first
    for (int i = 0; i < count; ++i) {
        if (panes[i] == m_activePane)
            current = i;
    }
    panes[(current + (backwards ? count - 1 : 1)) % count]->setFocus(Qt::OtherFocusReason);
}

} // namespace orinsub::app
