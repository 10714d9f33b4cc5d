#include "ConsoleKeys.h"

#include "DanConsoleView.h"
#include "GoFade.h"
#include "MasterConsoleView.h"
#include "controls/KeyState.h"
#include "model/OrinGlobal.h"

#include <Qt>

namespace orinsub::views {

using model::g_orin;

void DispatchConsoleKey(int key, bool autoRepeat)
{
    CMasterConsoleView *master = g_orin.m_pMasterView;
    CDanConsoleView *dan = g_orin.m_pDanView;
    switch (key) {
    case Qt::Key_PageUp:
    case Qt::Key_Up:
        if (master)
            master->StepPage(true);
        break;
    case Qt::Key_PageDown:
    case Qt::Key_Down:
        if (master)
            master->StepPage(false);
        break;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (dan)
            dan->ScrollByFaders(key == Qt::Key_Left, controls::Keys().IsShiftDown());
        break;
    case Qt::Key_F1:
        if (master && !autoRepeat)
            master->ToggleCrossfaderLink();
        break;
    case Qt::Key_Space: // held down, it must not complete the fade it started
        if (master && !autoRepeat)
            master->GetGoFade().Go();
        break;
    default:
        break;
    }
}

void HandleFrameKey(int key, bool autoRepeat)
{
    if (key == Qt::Key_Tab && g_orin.m_pMasterView)
        g_orin.m_pMasterView->FocusFirstName();
    DispatchConsoleKey(key, autoRepeat);
}

} // namespace orinsub::views
