#pragma once

#include "InputTarget.h"
#include "model/ShowExtension.h"

#include <cstdint>

class QWidget;

namespace orinsub::views {

// Operations of the console as a whole, reaching the panes through g_orin. UI thread only.

/// Copies the channel-level table into the preset pane's 80 output readouts and repaints the
/// readouts whose level changed (the main window's 100 ms timer runs it too).
void UpdateOutputDisplays();

/// A crossfader handle (0 A, 1 B; others ignored) has moved to level: its row goes on air above
/// 0, off air at 0, in the row, in both lamp strips; then the output is recomputed.
void OnCrossfaderMoved(int handle, uint8_t level);

/// Keeps the three "IN" buttons exclusive: switches off the buttons of the targets other than
/// target (None switches off rows A and B). Every switch-on of an "IN" button must be followed by
/// it: it also wakes the panes' pick-up to its 10 ms tick.
void ExclusiveInputHook(InputTarget target);

/// What a click on an "IN" button does: switches target's button on or off; switched on, the
/// others go off (ExclusiveInputHook). None: nothing.
void ToggleInputHook(InputTarget target);

/// Whether target's "IN" button is on (never for None).
bool IsInputHookOn(InputTarget target);

/// What the flash buttons do from now on: the show keeps it (marked modified on a change), the
/// menu item's check mark, the buttons' captions and the output follow.
void SetFlashMode(model::FlashMode mode);
/// Whether the show's flash buttons solo their sub-master.
bool IsFlashSolo();

/// Channel 1..80 ignores the grand master and blackout from now on (or follows them again): the
/// show keeps it (marked modified), the output, the preset pane's mark and an open patch window
/// follow. Other channels, or no change: nothing.
void SetIndependentChannel(int channel, bool independent);
/// Whether the show has channel 1..80 independent.
bool IsIndependentChannel(int channel);

/// Before hooking every fader of a row or of the sub-masters to the DMX input: asks the operator
/// unless Shift is held. True to go ahead.
bool ConfirmHookAll(InputTarget target);

/// What every console pane does when it gets the focus: Cut, Copy, Paste and Select All grey,
/// Undo as the undo record says.
void OnConsolePaneFocus();
/// What a name box does when it gets the focus: the edit commands all apply to it.
void OnNameBoxFocus();

/// The window that owns message boxes (the main window), or none.
QWidget *MessageOwner();

} // namespace orinsub::views
