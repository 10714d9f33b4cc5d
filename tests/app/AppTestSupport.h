#pragma once

#include "dmx/ManualTimer.h"
#include "dmx/PeriodicTimer.h"

#include <QSettings>
#include <QTemporaryDir>
#include <memory>

namespace orinsub::testing {

/// While it lives, the link timers the program creates are manual ones; current() is the last.
class ManualLinkTimers
{
public:
    ManualLinkTimers() { dmx::SetPeriodicTimerFactory(&Create); }
    ~ManualLinkTimers()
    {
        dmx::SetPeriodicTimerFactory(nullptr);
        s_current = nullptr;
    }
    /// The timer of the frame alive now; null once it has been freed.
    static ManualTimer *current() { return s_current; }

private:
    class Tracked : public ManualTimer
    {
    public:
        ~Tracked() override
        {
            if (s_current == this)
                s_current = nullptr;
        }
    };
    static std::unique_ptr<dmx::PeriodicTimer> Create()
    {
        auto timer = std::make_unique<Tracked>();
        s_current = timer.get();
        return timer;
    }
    static inline ManualTimer *s_current = nullptr;
};

/// A settings store of its own in a temporary folder, for the life of the object.
class PrivateSettings
{
public:
    PrivateSettings()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder.path());
    }
    QTemporaryDir folder;
};

} // namespace orinsub::testing
