#pragma once

namespace orinsub::views {

/// The desk lock ("操作ロック"): while it is on, the mouse plays nothing of the desk, the menus
/// and dialogs change nothing of the show and the name boxes do not edit; the keys, the GO
/// commands, blackout and every surface play on. The desk's listeners are told of each switch.
/// UI thread only.
bool IsDeskLocked();
void SetDeskLocked(bool locked);

/// A desk that follows another console (a tracking backup, or a main waiting to learn whether
/// one plays): nothing local plays it, neither mouse, keys, menus nor surfaces; only what the
/// followed console sends. The desk's listeners are told of each switch. UI thread only.
bool IsDeskFollowing();
void SetDeskFollowing(bool following);

} // namespace orinsub::views
