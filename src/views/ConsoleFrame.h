#pragma once

#include <QPoint>

class QWidget;

namespace orinsub::controls {
class CDan;
class CSubFader;
} // namespace orinsub::controls

namespace orinsub::views {

class CDanConsoleView;
class CLampConsoleView;

/// What the console panes need of the main window. The main window implements it and registers
/// itself as g_orin.m_pMainFrame; without one (tests, start-up) the panes skip these calls.
/// Every call comes on the user-interface thread.
class ConsoleFrame
{
public:
    virtual ~ConsoleFrame() = default;

    // Section drags. The pane calls these from its button-down handler, with the point in its
    // own client coordinates, and does nothing more with the gesture: the main window takes the
    // mouse (grabMouse) and handles the moves and the release.
    /// A press on a channel fader's track beside its knob: drag that row.
    virtual void BeginRowDrag(controls::CDan *row, QPoint point) = 0;
    /// A press on the output-level strip of the preset pane.
    virtual void BeginOutputDrag(CDanConsoleView *view, QPoint point) = 0;
    /// A press on a sub-master fader's track or caption area beside its knob.
    virtual void BeginSubMasterDrag(controls::CSubFader *fader, QPoint point) = 0;

    /// The right lamp strip (true) or the left one.
    virtual CLampConsoleView *GetLampView(bool right) = 0;
    /// Enables or greys Cut, Copy, Paste and Select All ("すべて選択").
    virtual void SetEditCommandsEnabled(bool enabled) = 0;
    /// Checks or unchecks "クロスフェーダーを連結(&C)".
    virtual void SetCrossfaderLinkChecked(bool checked) = 0;
    /// Checks or unchecks "フラッシュボタンをソロにする".
    virtual void SetFlashSoloChecked(bool checked) = 0;
    /// The show's independent channels changed: an open patch window shows them anew.
    virtual void OnIndependentChannelsChanged() = 0;
    /// The window that owns the console's message boxes.
    virtual QWidget *GetWindow() = 0;
};

} // namespace orinsub::views
