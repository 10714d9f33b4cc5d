#include "ConsoleKeys.h"

#include "DanConsoleView.h"
#include "MasterConsoleView.h"
#include "controls/KeyState.h"
#include "model/OrinGlobal.h"

#include <Qt>

namespace orinsub::views {

using model::g_orin;

namespace {

std::function<void(DeskKeyButton)> s_deskKeyHandler;

/// The keys that press a button of the desk, as a surface's button presses it.
struct DeskKey
{
    int key;
    DeskKeyButton button;
    bool repeats; // false: once per press (held down, Space must not complete the fade it started)
};

constexpr DeskKey kDeskKeys[] = {
    {Qt::Key_PageUp, DeskKeyButton::PageUp, true},
    {Qt::Key_Up, DeskKeyButton::PageUp, true},
    {Qt::Key_PageDown, DeskKeyButton::PageDown, true},
    {Qt::Key_Down, DeskKeyButton::PageDown, true},
    {Qt::Key_F1, DeskKeyButton::Link, false},
    {Qt::Key_Space, DeskKeyButton::Go, false},
};

} // namespace

void SetDeskKeyHandler(std::function<void(DeskKeyButton)> handler)
{
    s_deskKeyHandler = std::move(handler);
}

void DispatchConsoleKey(int key, bool autoRepeat)
{
    if (key == Qt::Key_Left || key == Qt::Key_Right) {
        if (CDanConsoleView *dan = g_orin.m_pDanView)
            dan->ScrollByFaders(key == Qt::Key_Left, controls::Keys().IsShiftDown());
        return;
    }
    for (const DeskKey &desk : kDeskKeys) {
        if (desk.key == key && (desk.repeats || !autoRepeat) && s_deskKeyHandler)
            s_deskKeyHandler(desk.button);
    }
}

void HandleFrameKey(int key, bool autoRepeat)
{
    if (key == Qt::Key_Tab && g_orin.m_pMasterView)
        g_orin.m_pMasterView->FocusFirstName();
    DispatchConsoleKey(key, autoRepeat);
}

} // namespace orinsub::views
