#pragma once

#include <functional>

namespace orinsub::views {

/// The one listener told that something on the desk may have changed (a level, a lamp, the
/// page, the link, the GO). The panes call NotifyDeskChanged from the few places every visible
/// change passes through, scrolled out of sight or not; the listener works out what changed
/// itself. The panes never learn who listens. UI thread only.
///
/// Setting a listener replaces the previous one; owner identifies it, so that an owner going
/// away removes only its own listener.
void SetDeskListener(const void *owner, std::function<void()> listener);
void RemoveDeskListener(const void *owner);
void NotifyDeskChanged();

} // namespace orinsub::views
