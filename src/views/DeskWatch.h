#pragma once

#include <functional>

namespace orinsub::views {

/// The listeners told that something on the desk may have changed (a level, a lamp, the page,
/// the link, the GO). The panes call NotifyDeskChanged from the few places every visible change
/// passes through, scrolled out of sight or not; each listener works out what changed itself.
/// The panes never learn who listens. UI thread only.
///
/// owner identifies a listener: setting one replaces the one the same owner set before, and an
/// owner going away removes only its own.
void SetDeskListener(const void *owner, std::function<void()> listener);
void RemoveDeskListener(const void *owner);
void NotifyDeskChanged();

} // namespace orinsub::views
