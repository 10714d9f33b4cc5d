#include "DeskWatch.h"

namespace orinsub::views {

namespace {
std::function<void()> &Listener()
{
    static std::function<void()> listener;
    return listener;
}
} // namespace

void SetDeskListener(std::function<void()> listener)
{
    Listener() = std::move(listener);
}

void NotifyDeskChanged()
{
    if (const auto &listener = Listener())
        listener();
}

} // namespace orinsub::views
