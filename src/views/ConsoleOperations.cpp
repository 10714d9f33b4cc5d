#include "ConsoleOperations.h"

#include "ConsoleFrame.h"
#include "ConsoleTexts.h"
#include "DanConsoleView.h"
#include "DeskWatch.h"
#include "LampConsoleView.h"
#include "MasterConsoleView.h"
#include "controls/KeyState.h"
#include "controls/QuestionBox.h"
#include "controls/RcLamp.h"
#include "controls/RowState.h"
#include "model/Mix.h"
#include "model/OrinGlobal.h"
#include "model/OrinSUBDoc.h"
#include "model/UndoRecord.h"

namespace orinsub::views {

using model::g_orin;

void UpdateOutputDisplays()
{
    if (g_orin.m_pDanView)
        g_orin.m_pDanView->UpdateOutputDisplays();
}

void OnCrossfaderMoved(int handle, uint8_t level)
{
    if (handle < 0 || handle > 1)
        return;
    const controls::RowState state = controls::RowStateAt(level);
    CLampConsoleView *left =
        g_orin.m_pMainFrame ? g_orin.m_pMainFrame->GetLampView(false) : g_orin.m_pLampView;
    CLampConsoleView *right =
        g_orin.m_pMainFrame ? g_orin.m_pMainFrame->GetLampView(true) : nullptr;
    for (CLampConsoleView *strip : {left, right}) {
        if (strip)
            strip->SetRowLamp(handle, state);
    }
    if (g_orin.m_pDanView)
        g_orin.m_pDanView->SetRowState(handle, state);
    model::RecomputeAllChannels();
}

void ExclusiveInputHook(InputTarget target)
{
    CLampConsoleView *strip = g_orin.m_pLampView;
    CMasterConsoleView *master = g_orin.m_pMasterView;
    if (strip && target != InputTarget::RowA)
        strip->GetInButton(0)->SetOn(false);
    if (strip && target != InputTarget::RowB)
        strip->GetInButton(1)->SetOn(false);
    if (master && IsRowTarget(target))
        master->GetInButton()->SetOn(false);
    // Every switch-on of an "IN" button ends here: the pick-up goes back to its 10 ms tick.
    if (g_orin.m_pDanView)
        g_orin.m_pDanView->WakePickUp();
    if (master)
        master->WakePickUp();
}

namespace {
controls::CInButton *InButton(InputTarget target)
{
    if (target == InputTarget::SubMasters)
        return g_orin.m_pMasterView ? g_orin.m_pMasterView->GetInButton() : nullptr;
    if (IsRowTarget(target))
        return g_orin.m_pLampView ? g_orin.m_pLampView->GetInButton(TargetRow(target)) : nullptr;
    return nullptr;
}
} // namespace

void ToggleInputHook(InputTarget target)
{
    controls::CInButton *button = InButton(target);
    if (!button)
        return;
    button->SetOn(!button->IsOn());
    ExclusiveInputHook(target);
}

bool IsInputHookOn(InputTarget target)
{
    const controls::CInButton *button = InButton(target);
    return button && button->IsOn();
}

void SetFlashMode(model::FlashMode mode)
{
    model::COrinSUBDoc *doc = g_orin.m_pDoc;
    if (!doc)
        return;
    doc->SetFlashMode(mode);
    if (g_orin.m_pMainFrame)
        g_orin.m_pMainFrame->SetFlashSoloChecked(mode == model::FlashMode::Solo);
    if (g_orin.m_pMasterView)
        g_orin.m_pMasterView->InvalidateFlashButtons();
    model::RecomputeAllChannels(); // a button held now plays the other way
    UpdateOutputDisplays();
    NotifyDeskChanged();
}

bool IsFlashSolo()
{
    return g_orin.m_pDoc && g_orin.m_pDoc->m_extension.flashMode == model::FlashMode::Solo;
}

void SetIndependentChannel(int channel, bool independent)
{
    model::COrinSUBDoc *doc = g_orin.m_pDoc;
    if (!doc || channel < 1 || channel > doc->m_channelCount ||
        doc->m_extension.IsIndependent(channel) == independent)
        return;
    doc->SetIndependent(channel, independent);
    model::MixChannel(channel);
    UpdateOutputDisplays();
    if (g_orin.m_pDanView)
        g_orin.m_pDanView->InvalidateChannelMark(channel);
    if (g_orin.m_pMainFrame)
        g_orin.m_pMainFrame->OnIndependentChannelsChanged();
    NotifyDeskChanged();
}

bool IsIndependentChannel(int channel)
{
    return g_orin.m_pDoc && g_orin.m_pDoc->m_extension.IsIndependent(channel);
}

bool ConfirmHookAll(InputTarget target)
{
    if (controls::Keys().IsShiftDown())
        return true;
    if (target == InputTarget::SubMasters)
        return controls::Questions().AskOkCancel(MessageOwner(), kSubMatchQuestion,
                                                 kSubMatchCaption);
    const int row = TargetRow(target);
    return controls::Questions().AskOkCancel(MessageOwner(), RowMatchQuestion(row),
                                             RowMatchCaption(row));
}

void OnConsolePaneFocus()
{
    if (g_orin.m_pMainFrame)
        g_orin.m_pMainFrame->SetEditCommandsEnabled(false);
    model::SetUndoCommandEnabled(g_orin.m_pUndo && g_orin.m_pUndo->m_valid);
}

void OnNameBoxFocus()
{
    if (g_orin.m_pMainFrame)
        g_orin.m_pMainFrame->SetEditCommandsEnabled(true);
    model::SetUndoCommandEnabled(true);
}

QWidget *MessageOwner()
{
    return g_orin.m_pMainFrame ? g_orin.m_pMainFrame->GetWindow() : nullptr;
}

} // namespace orinsub::views
