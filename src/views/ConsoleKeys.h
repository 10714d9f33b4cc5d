#pragma once

namespace orinsub::views {

/// The console's keyboard commands, whichever pane has the focus (Qt key codes); the desk's
/// buttons among them play as DeskTargets presses them:
/// Page Up / Up: next sub-master page (at most 20); Page Down / Down: previous (at least 1);
/// Left / Right: scroll the preset rows by one column, 15 with Shift; F1: link or unlink the
/// crossfader, once per press (auto-repeats are ignored); Space: GO, once per press. Other keys
/// do nothing.
void DispatchConsoleKey(int key, bool autoRepeat);

/// The key handler the lamp strips share with the main window: Tab puts the focus into the
/// first sub-master name box; then every key goes to DispatchConsoleKey.
void HandleFrameKey(int key, bool autoRepeat);

} // namespace orinsub::views
