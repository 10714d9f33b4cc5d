#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>

namespace orinsub::dmx {

/// Why frames do not reach the interface, as the link tick last saw it.
enum class OutputFault : uint8_t {
    None,        // the last frame went out
    NoDevice,    // the enumeration found no device
    OpenFailed,  // devices were found, none opened
    WriteFailed, // the open device did not take the frame
};

/// Output counts as lost once no frame has gone out for this long while the tick sees why: a
/// frame dropped now and then raises no alarm, and the operator still knows within a second.
inline constexpr std::chrono::milliseconds kOutputLostAfter{500};

/// Whether the link's frames reach the interface, across closes and reopens of the device. The
/// link tick reports every frame sent and every failure; the UI thread looks. Allocates nothing.
class OutputHealth
{
public:
    using Clock = std::chrono::steady_clock;

    struct Reading
    {
        bool lost = false;
        OutputFault fault = OutputFault::None;
        QString deviceId; // the device that failed; empty for NoDevice
    };

    /// Counts from start as if a frame had gone out then: the link has kOutputLostAfter to open a
    /// device before anything is said.
    explicit OutputHealth(Clock::time_point start = Clock::now());
    OutputHealth(const OutputHealth &) = delete;
    OutputHealth &operator=(const OutputHealth &) = delete;

    /// A frame went out. Tick thread.
    void FrameSent(Clock::time_point now);
    /// A tick got no frame out, for that reason, on that device (its id cut to 16
    /// characters).
    /// Tick thread.
    void Failed(OutputFault fault, QStringView deviceId);

    /// Whether output is lost at now, and why. Any thread.
    Reading Look(Clock::time_point now = Clock::now()) const;

private:
    std::atomic<Clock::rep> m_lastSent;
    std::atomic<OutputFault> m_fault{OutputFault::None};
    // The id as characters, not a QString: no string is shared with the UI thread, whose copies
    // would be freed on the tick.
    mutable std::mutex m_idLock;
    std::array<char16_t, 16> m_deviceId{};
    std::size_t m_idLength = 0;
};

} // namespace orinsub::dmx
