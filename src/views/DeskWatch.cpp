#include "DeskWatch.h"

namespace orinsub::views {

namespace {
struct Registration
{
    const void *owner = nullptr;
    std::function<void()> listener;
};

Registration &Registered()
{
    static Registration registration;
    return registration;
}
} // namespace

void SetDeskListener(const void *owner, std::function<void()> listener)
{
    Registered() = {owner, std::move(listener)};
}

void RemoveDeskListener(const void *owner)
{
    if (Registered().owner == owner)
        Registered() = {};
}

void NotifyDeskChanged()
{
    if (const auto &listener = Registered().listener)
        listener();
}

} // namespace orinsub::views
