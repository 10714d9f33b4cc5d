#pragma once

#include <functional>

namespace orinsub::views {

/// The desk buttons the console's keys press.
enum class DeskKeyButton { PageUp, PageDown, Link, Go };

/// Where the keys' button presses go: the desk the menus and the surfaces play, so that every
/// route meets the same rules. Without one the keys press nothing. UI thread.
void SetDeskKeyHandler(std::function<void(DeskKeyButton)> handler);

/// The console's keyboard commands, whichever pane has the focus (Qt key codes); the desk's
/// buttons among them go to the desk key handler:
/// Page Up / Up: next sub-master page (at most 20); Page Down / Down: previous (at least 1);
/// Left / Right: scroll the preset rows by one column, 15 with Shift; F1: link or unlink the
/// crossfader, once per press (auto-repeats are ignored); Space: GO, once per press. Other keys
/// do nothing.
void DispatchConsoleKey(int key, bool autoRepeat);

/// The key handler the lamp strips share with the main window: Tab puts the focus into the
/// first sub-master name box; then every key goes to DispatchConsoleKey.
void HandleFrameKey(int key, bool autoRepeat);

} // namespace orinsub::views
