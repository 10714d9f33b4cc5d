#include "DeskLock.h"

#include "DeskWatch.h"

namespace orinsub::views {

namespace {
bool s_locked = false;
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

} // namespace orinsub::views
