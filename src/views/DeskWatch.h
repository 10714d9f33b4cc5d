#pragma once

#include <functional>

namespace orinsub::views {

/// The one listener told that something on the desk may have changed (a level, a lamp, the
/// page, the link). The panes call NotifyDeskChanged from the few places every visible change
/// passes through, scrolled out of sight or not; the listener works out what changed itself.
/// The panes never learn who listens. UI thread only.
void SetDeskListener(std::function<void()> listener);
void NotifyDeskChanged();

} // namespace orinsub::views
