#include "DeskLock.h"

#include "DeskWatch.h"

namespace orinsub::views {

namespace {
bool s_locked = false;
bool s_following = false;
} // namespace

bool IsDeskLocked()
{
    return s_locked;
}

void SetDeskLocked(bool locked)
{
    if (locked == s_locked)
        return;
    s_locked = locked;
    NotifyDeskChanged();
}

bool IsDeskFollowing()
{
    return s_following;
}

void SetDeskFollowing(bool following)
{
    if (following == s_following)
        return;
    s_following = following;
    NotifyDeskChanged();
}

} // namespace orinsub::views
