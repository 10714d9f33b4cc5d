#include "OrinZentra.h"

namespace orinsub::dmx {

namespace {
constexpr int kReadFailureCeiling = 1000;
constexpr int kReadFailureFallback = 100;

std::array<uint8_t, kFrameSize> CopyFrame(const SharedFrame &frame)
{
    std::array<uint8_t, kFrameSize> copy;
    for (int i = 0; i < kFrameSize; ++i)
        copy[i] = frame[i].load(std::memory_order_relaxed);
    return copy;
}

void Clear(SharedFrame &frame)
{
    for (auto &slot : frame)
        slot.store(0, std::memory_order_relaxed);
}
} // namespace

COrinZentra::COrinZentra()
{
    Clear(m_outFrame);
    Clear(m_inFrame);
}

void COrinZentra::SetDeviceId(const QString &id)
{
    std::lock_guard lock(m_idLock);
    m_deviceId = id;
}

QString COrinZentra::GetDeviceId() const
{
    std::lock_guard lock(m_idLock);
    return m_deviceId;
}

void COrinZentra::SetHandle(ZENTRA_HANDLE handle)
{
    m_hDevice.store(handle, std::memory_order_release);
}

int COrinZentra::WriteFrame()
{
    if (IsOutputSilenced())
        return 1; // nothing asked of the device, nothing failed
    const bool held = IsOutputHeld();
    std::array<unsigned char, kFrameSize> frame = CopyFrame(held ? m_heldFrame : m_outFrame);
    if (!held)
        m_chases.ComposeOnTick(frame, m_chases.Now());
    // Curves come last, on the held look too: what the console keeps is the look before them.
    m_curves.Apply(frame);
    return Zentra_Write(GetHandle(), frame.data(), kFrameSize, kWriteTimeoutMs);
}

std::array<uint8_t, kFrameSize> COrinZentra::GetSentLook() const
{
    const bool held = IsOutputHeld();
    std::array<uint8_t, kFrameSize> frame = CopyFrame(held ? m_heldFrame : m_outFrame);
    if (!held)
        m_chases.Compose(frame, m_chases.Now());
    return frame;
}

int COrinZentra::ReadFrame()
{
    std::array<unsigned char, kFrameSize> frame = CopyFrame(m_inFrame);
    const int result = Zentra_Read(GetHandle(), frame.data(), kFrameSize, kReadTimeoutMs);
    for (int i = 0; i < kFrameSize; ++i)
        m_inFrame[i].store(frame[i], std::memory_order_relaxed);
    if (result != 0) {
        m_readFailures.store(0, std::memory_order_relaxed);
    } else {
        int failures = m_readFailures.load(std::memory_order_relaxed) + 1;
        if (failures > kReadFailureCeiling)
            failures = kReadFailureFallback;
        m_readFailures.store(failures, std::memory_order_relaxed);
    }
    return result;
}

void COrinZentra::Reset()
{
    // The handle goes first: the status line never shows an open device with an empty id.
    SetHandle(nullptr);
    m_readFailures.store(0, std::memory_order_relaxed);
    SetDeviceId(QString());
    Clear(m_inFrame);
}

void COrinZentra::HoldOutput(std::span<const uint8_t, kFrameSize - 1> look)
{
    m_heldFrame[0].store(0, std::memory_order_relaxed); // the start code
    for (int slot = 1; slot < kFrameSize; ++slot)
        m_heldFrame[slot].store(look[slot - 1], std::memory_order_relaxed);
    m_held.store(true, std::memory_order_release);
}

void COrinZentra::SetOutputSlot(int dimmer, uint8_t level)
{
    if (dimmer < 1 || dimmer >= kFrameSize)
        return;
    m_outFrame[dimmer].store(level, std::memory_order_relaxed);
}

} // namespace orinsub::dmx
