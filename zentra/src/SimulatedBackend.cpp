#include "Backends.h"
#include "zentra/SimulatedInterface.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>

namespace zentra::sim {
namespace {

struct SimHandle
{
    std::u16string id;
    uint64_t plugging; // the plug-in it was opened in; an unplug kills it for good
    int callsRunning = 0;
};

class Simulation final : public Backend
{
public:
    Simulation() : m_writeTimes(kWriteLogSize) { RestoreLocked(); }

    std::vector<std::u16string> EnumerateIds() override
    {
        std::lock_guard lock(m_mutex);
        ++m_counts.enumerations;
        std::vector<std::u16string> ids;
        if (m_present) {
            for (const Device &device : m_devices)
                ids.push_back(device.id);
        }
        return ids;
    }

    Handle Open(std::u16string_view id) override
    {
        std::lock_guard lock(m_mutex);
        ++m_counts.opens;
        m_counts.openedIds.emplace_back(id);
        const auto device = std::find_if(m_devices.begin(), m_devices.end(),
                                         [id](const Device &d) { return d.id == id; });
        if (!m_present || device == m_devices.end() || !device->opens)
            return nullptr;
        ++m_counts.openHandles;
        return new SimHandle{device->id, m_plugging};
    }

    bool Write(Handle device, std::span<const uint8_t> frame, std::chrono::milliseconds) override
    {
        auto *handle = static_cast<SimHandle *>(device);
        std::unique_lock lock(m_mutex);
        PassGate(lock, Call::Write, *handle);
        if (!IsAlive(*handle) || Consume(m_writesToFail)) {
            ++m_counts.failedWrites;
            return false;
        }
        ++m_counts.writes;
        std::copy_n(frame.begin(), std::min(frame.size(), m_lastWritten.size()),
                    m_lastWritten.begin());
        m_writeTimes[m_writeHead] = Clock::now();
        m_writeHead = (m_writeHead + 1) % m_writeTimes.size();
        m_writeTimesKept = std::min(m_writeTimesKept + 1, m_writeTimes.size());
        return true;
    }

    bool Read(Handle device, std::span<uint8_t> frame, std::chrono::milliseconds) override
    {
        auto *handle = static_cast<SimHandle *>(device);
        std::unique_lock lock(m_mutex);
        PassGate(lock, Call::Read, *handle);
        if (!IsAlive(*handle) || Consume(m_readsToFail)) {
            ++m_counts.failedReads;
            return false;
        }
        ++m_counts.reads;
        std::copy_n(m_input.begin(), std::min(frame.size(), m_input.size()), frame.begin());
        return true;
    }

    void Close(Handle device) override
    {
        auto *handle = static_cast<SimHandle *>(device);
        std::lock_guard lock(m_mutex);
        if (handle->callsRunning > 0)
            ++m_counts.closedWhileInUse; // the caller broke its promise; the handle leaks
        else
            delete handle;
        --m_counts.openHandles;
    }

    void Restore()
    {
        std::lock_guard lock(m_mutex);
        RestoreLocked();
        m_gate.notify_all();
    }

    void SetDevices(std::vector<Device> devices)
    {
        std::lock_guard lock(m_mutex);
        m_devices = std::move(devices);
    }

    void SetPresent(bool present)
    {
        std::lock_guard lock(m_mutex);
        if (m_present && !present)
            ++m_plugging;
        m_present = present;
    }

    void FailNextWrites(int count)
    {
        std::lock_guard lock(m_mutex);
        m_writesToFail = std::max(count, 0);
    }

    void FailNextReads(int count)
    {
        std::lock_guard lock(m_mutex);
        m_readsToFail = std::max(count, 0);
    }

    void SetInputFrame(const Frame &frame)
    {
        std::lock_guard lock(m_mutex);
        m_input = frame;
    }

    Frame LastWrittenFrame()
    {
        std::lock_guard lock(m_mutex);
        return m_lastWritten;
    }

    std::vector<Clock::time_point> TakeWriteTimes()
    {
        std::lock_guard lock(m_mutex);
        std::vector<Clock::time_point> times;
        times.reserve(m_writeTimesKept);
        const std::size_t size = m_writeTimes.size();
        for (std::size_t i = 0; i < m_writeTimesKept; ++i)
            times.push_back(m_writeTimes[(m_writeHead + size - m_writeTimesKept + i) % size]);
        m_writeTimesKept = 0;
        return times;
    }

    Counts GetCounts()
    {
        std::lock_guard lock(m_mutex);
        return m_counts;
    }

    void HoldCalls(Call call)
    {
        std::lock_guard lock(m_mutex);
        m_held[static_cast<int>(call)] = true;
    }

    void ReleaseCalls()
    {
        std::lock_guard lock(m_mutex);
        m_held = {};
        m_gate.notify_all();
    }

    bool WaitForHeldCall(std::chrono::milliseconds timeout)
    {
        std::unique_lock lock(m_mutex);
        return m_gate.wait_for(lock, timeout, [this] { return m_callsHeld > 0; });
    }

private:
    void RestoreLocked()
    {
        m_devices = {Device{kDeviceId}};
        m_present = true;
        m_writesToFail = 0;
        m_readsToFail = 0;
        m_input = {};
        m_lastWritten = {};
        m_writeTimesKept = 0;
        const int openHandles = m_counts.openHandles;
        m_counts = {};
        m_counts.openHandles = openHandles;
        m_held = {};
    }

    // Blocks while calls of this kind are held, with the handle marked as in use throughout.
    void PassGate(std::unique_lock<std::mutex> &lock, Call call, SimHandle &handle)
    {
        ++handle.callsRunning;
        if (m_held[static_cast<int>(call)]) {
            ++m_callsHeld;
            m_gate.notify_all();
            m_gate.wait(lock, [&] { return !m_held[static_cast<int>(call)]; });
            --m_callsHeld;
        }
        --handle.callsRunning;
    }

    bool IsAlive(const SimHandle &handle) const
    {
        return m_present && handle.plugging == m_plugging;
    }

    static bool Consume(int &planned)
    {
        if (planned == 0)
            return false;
        --planned;
        return true;
    }

    std::mutex m_mutex;
    std::condition_variable m_gate;
    std::vector<Device> m_devices;
    bool m_present = true;
    uint64_t m_plugging = 0;
    int m_writesToFail = 0;
    int m_readsToFail = 0;
    Frame m_input{};
    Frame m_lastWritten{};
    std::vector<Clock::time_point> m_writeTimes; // a ring of kWriteLogSize, filled from m_writeHead
    std::size_t m_writeHead = 0;
    std::size_t m_writeTimesKept = 0;
    Counts m_counts;
    std::array<bool, 2> m_held{};
    int m_callsHeld = 0;
};

// Lives until the process ends: a link tick may still be running while statics are destroyed.
Simulation &Instance()
{
    static Simulation *const simulation = new Simulation;
    return *simulation;
}

} // namespace

void Restore()
{
    Instance().Restore();
}
void SetDevices(std::vector<Device> devices)
{
    Instance().SetDevices(std::move(devices));
}
void SetPresent(bool present)
{
    Instance().SetPresent(present);
}
void FailNextWrites(int count)
{
    Instance().FailNextWrites(count);
}
void FailNextReads(int count)
{
    Instance().FailNextReads(count);
}
void SetInputFrame(const Frame &frame)
{
    Instance().SetInputFrame(frame);
}
Frame LastWrittenFrame()
{
    return Instance().LastWrittenFrame();
}
std::vector<Clock::time_point> TakeWriteTimes()
{
    return Instance().TakeWriteTimes();
}
Counts GetCounts()
{
    return Instance().GetCounts();
}
void HoldCalls(Call call)
{
    Instance().HoldCalls(call);
}
void ReleaseCalls()
{
    Instance().ReleaseCalls();
}
bool WaitForHeldCall(std::chrono::milliseconds timeout)
{
    return Instance().WaitForHeldCall(timeout);
}

} // namespace zentra::sim

namespace zentra::detail {

std::shared_ptr<Backend> MakeSimulation(std::string_view, bool hasArgument, std::string &error)
{
    if (hasArgument) {
        error = "sim に引数は付けられません";
        return nullptr;
    }
    // The one simulation is shared by every selection of "sim" and never deleted.
    return std::shared_ptr<Backend>(&sim::Instance(), [](Backend *) {});
}

} // namespace zentra::detail
