#include "ConsoleOperations.h"

#include "ConsoleFrame.h"
#include "ConsoleTexts.h"
#include "DanConsoleView.h"
#include "LampConsoleView.h"
#include "MasterConsoleView.h"
#include "controls/KeyState.h"
#include "controls/QuestionBox.h"
#include "controls/RcLamp.h"
#include "model/Mix.h"
#include "model/OrinGlobal.h"
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
    const int state = level > 0 ? 2 : 1;
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

void ExclusiveInputHook(int target)
{
    CLampConsoleView *strip = g_orin.m_pLampView;
    CMasterConsoleView *master = g_orin.m_pMasterView;
    if (strip && target != 0)
        strip->GetInButton(0)->SwitchOff();
    if (strip && target != 1)
        strip->GetInButton(1)->SwitchOff();
    if (master && (target == 0 || target == 1))
        master->GetInButton()->SwitchOff();
    // Every switch-on of an "IN" button ends here: the pick-up goes back to its 10 ms tick.
    if (g_orin.m_pDanView)
        g_orin.m_pDanView->WakePickUp();
    if (master)
        master->WakePickUp();
}

namespace {
controls::CInButton *InButton(int target)
{
    if (target == 2)
        return g_orin.m_pMasterView ? g_orin.m_pMasterView->GetInButton() : nullptr;
    if (target == 0 || target == 1)
        return g_orin.m_pLampView ? g_orin.m_pLampView->GetInButton(target) : nullptr;
    return nullptr;
}
} // namespace

void ToggleInputHook(int target)
{
    controls::CInButton *button = InButton(target);
    if (!button)
        return;
    button->m_on = !button->m_on;
    if (!button->m_on)
        button->m_hover = false;
    button->Invalidate();
    ExclusiveInputHook(target);
}

bool IsInputHookOn(int target)
{
    const controls::CInButton *button = InButton(target);
    return button && button->m_on;
}

bool ConfirmHookAll(int target)
{
    if (controls::Keys().IsShiftDown())
        return true;
    if (target == 2)
        return controls::Questions().AskOkCancel(MessageOwner(), kSubMatchQuestion,
                                                 kSubMatchCaption);
    return controls::Questions().AskOkCancel(MessageOwner(), RowMatchQuestion(target),
                                             RowMatchCaption(target));
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
