#pragma once

#include "surfaces/Surface.h"

#include <algorithm>
#include <optional>

namespace orinsub::testing {

/// A surface that shows the targets it is given and records every feedback message.
class RecordingSurface : public surfaces::Surface
{
public:
    struct Message
    {
        QString target;
        int value = 0;
        bool caught = false;
    };

    explicit RecordingSurface(std::initializer_list<const char *> names, bool motorised = false)
        : motorised(motorised)
    {
        for (const char *name : names)
            shown.push_back(*surfaces::ControlTarget::Parse(QString::fromUtf8(name)));
    }

    bool IsMotorised() const override { return motorised; }
    const std::vector<surfaces::ControlTarget> &ShownTargets() const override { return shown; }
    void OnFeedback(const surfaces::ControlTarget &target, int value, bool caught) override
    {
        messages.push_back({target.Name(), value, caught});
    }

    /// The last message for the target, if any came since the last Clear.
    std::optional<Message> Last(const QString &target) const
    {
        for (auto it = messages.rbegin(); it != messages.rend(); ++it) {
            if (it->target == target)
                return *it;
        }
        return std::nullopt;
    }
    int Count(const QString &target) const
    {
        return static_cast<int>(
            std::count_if(messages.begin(), messages.end(),
                          [&](const Message &m) { return m.target == target; }));
    }
    void Clear() { messages.clear(); }

    bool motorised;
    std::vector<surfaces::ControlTarget> shown;
    std::vector<Message> messages;
};

inline surfaces::ControlTarget T(const char *name)
{
    return *surfaces::ControlTarget::Parse(QString::fromUtf8(name));
}

} // namespace orinsub::testing
