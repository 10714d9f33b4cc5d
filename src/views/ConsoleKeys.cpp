#include "ConsoleKeys.h"

#include "DanConsoleView.h"
#include "DeskTargets.h"
#include "MasterConsoleView.h"
#include "controls/KeyState.h"
#include "model/OrinGlobal.h"

#include <Qt>

namespace orinsub::views {

using model::g_orin;

namespace {

using Kind = surfaces::ControlTarget::Kind;

/// The keys that press a button of the desk, as a surface's button presses it.
struct DeskKey
{
    int key;
    Kind button;
    bool repeats; // false: once per press (held down, Space must not complete the fade it started)
};

constexpr DeskKey kDeskKeys[] = {
    {Qt::Key_PageUp, Kind::PageUp, true},     {Qt::Key_Up, Kind::PageUp, true},
    {Qt::Key_PageDown, Kind::PageDown, true}, {Qt::Key_Down, Kind::PageDown, true},
    {Qt::Key_F1, Kind::Link, false},          {Qt::Key_Space, Kind::Go, false},
};

} // namespace

void DispatchConsoleKey(int key, bool autoRepeat)
{
    if (key == Qt::Key_Left || key == Qt::Key_Right) {
        if (CDanConsoleView *dan = g_orin.m_pDanView)
            dan->ScrollByFaders(key == Qt::Key_Left, controls::Keys().IsShiftDown());
        return;
    }
    for (const DeskKey &desk : kDeskKeys) {
        if (desk.key == key && (desk.repeats || !autoRepeat))
            DeskTargets().Press({.kind = desk.button}, true);
    }
}

void HandleFrameKey(int key, bool autoRepeat)
{
    if (key == Qt::Key_Tab && g_orin.m_pMasterView)
        g_orin.m_pMasterView->FocusFirstName();
    DispatchConsoleKey(key, autoRepeat);
}

} // namespace orinsub::views
