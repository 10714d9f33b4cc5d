#include "DeskWatch.h"

#include <algorithm>
#include <vector>

namespace orinsub::views {

namespace {
struct Registration
{
    const void *owner = nullptr;
    std::function<void()> listener;
};

std::vector<Registration> &Registered()
{
    static std::vector<Registration> registrations;
    return registrations;
}
} // namespace

void SetDeskListener(const void *owner, std::function<void()> listener)
{
    auto &all = Registered();
    const auto found = std::find_if(all.begin(), all.end(),
                                    [owner](const Registration &r) { return r.owner == owner; });
    if (found != all.end())
        found->listener = std::move(listener);
    else
        all.push_back({owner, std::move(listener)});
}

void RemoveDeskListener(const void *owner)
{
    std::erase_if(Registered(), [owner](const Registration &r) { return r.owner == owner; });
}

void NotifyDeskChanged()
{
    // By index: a listener may come or go while the others are told.
    const auto &all = Registered();
    for (size_t i = 0; i < all.size(); ++i) {
        if (const auto listener = all[i].listener)
            listener();
    }
}

} // namespace orinsub::views
