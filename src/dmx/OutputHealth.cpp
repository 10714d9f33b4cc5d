#include "OutputHealth.h"

#include <algorithm>

namespace orinsub::dmx {

OutputHealth::OutputHealth(Clock::time_point start) : m_lastSent(start.time_since_epoch().count())
{
}

void OutputHealth::FrameSent(Clock::time_point now)
{
    m_lastSent.store(now.time_since_epoch().count(), std::memory_order_relaxed);
    m_fault.store(OutputFault::None, std::memory_order_release);
}

void OutputHealth::Failed(OutputFault fault, QStringView deviceId)
{
    {
        std::lock_guard lock(m_idLock);
        m_idLength = std::min<std::size_t>(deviceId.size(), m_deviceId.size());
        std::copy_n(deviceId.utf16(), m_idLength, m_deviceId.begin());
    }
    m_fault.store(fault, std::memory_order_release);
}

OutputHealth::Reading OutputHealth::Look(Clock::time_point now) const
{
    Reading reading;
    reading.fault = m_fault.load(std::memory_order_acquire);
    if (reading.fault == OutputFault::None)
        return reading;
    const Clock::time_point lastSent{Clock::duration{m_lastSent.load(std::memory_order_relaxed)}};
    reading.lost = now - lastSent > kOutputLostAfter;
    std::lock_guard lock(m_idLock);
    reading.deviceId = QString::fromUtf16(m_deviceId.data(), static_cast<qsizetype>(m_idLength));
    return reading;
}

} // namespace orinsub::dmx
