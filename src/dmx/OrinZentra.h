#pragma once

#include "ChaseStage.h"
#include "CurveStage.h"
#include "OutputHealth.h"
#include "ZentraLib.h"

#include <QString>
#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <span>

namespace orinsub::dmx {

inline constexpr int kFrameSize = 513; // start code + 512 slots
inline constexpr int kWriteTimeoutMs = 500;
inline constexpr int kReadTimeoutMs = 10;

/// A DMX frame shared between the UI thread and the link tick: every byte is a relaxed atomic,
/// so a frame may carry part of an update for one tick, but there is never a data race.
using SharedFrame = std::array<std::atomic<uint8_t>, kFrameSize>;

/// The program's one DMX port: the open device, its id, the output and input frames and whether
/// frames get out. The link tick (its own thread) reads, writes, opens and resets it; the UI
/// thread writes output slots and reads input slots, the device id, the failure count and the
/// output's health.
class COrinZentra
{
public:
    COrinZentra();
    virtual ~COrinZentra() = default;
    COrinZentra(const COrinZentra &) = delete;
    COrinZentra &operator=(const COrinZentra &) = delete;

    virtual void SetDeviceId(const QString &id);
    virtual void SetHandle(ZENTRA_HANDLE handle);
    /// Sends the output frame with the running chases laid over it (the held look alone while
    /// the output is held), through the dimmers' curves; the library's result, non-zero when
    /// sent. Tick thread.
    virtual int WriteFrame();
    /// Receives into the input frame and keeps the count of consecutive failed reads (capped:
    /// past 1000 it drops back to 100). The library's result. Tick thread.
    virtual int ReadFrame();
    /// Forgets the device (without closing it) and zeroes the input frame and the failure count.
    /// The output frame keeps the stage: the device that opens next sends it at once.
    virtual void Reset();

    /// Stores a level on dimmer slot 1..512; any other slot number is ignored.
    void SetOutputSlot(int dimmer, uint8_t level);
    /// From now on the link sends look (slots 1..512) instead of the output frame, which goes on
    /// following the desk unseen: a console restarted after a crash keeps the stage it left while
    /// it asks how to go on. UI thread.
    void HoldOutput(std::span<const uint8_t, kFrameSize - 1> look);
    /// The link sends the output frame again, from its next tick on. UI thread.
    void ReleaseOutput() { m_held.store(false, std::memory_order_release); }
    bool IsOutputHeld() const { return m_held.load(std::memory_order_acquire); }
    /// While silenced the link sends nothing, the device staying open: a backup that tracks its
    /// main on an interface without priority must not fight it for the receivers. Any thread.
    void SilenceOutput(bool silent) { m_silent.store(silent, std::memory_order_release); }
    bool IsOutputSilenced() const { return m_silent.load(std::memory_order_acquire); }
    uint8_t GetOutputSlot(int slot) const
    {
        return m_outFrame.at(slot).load(std::memory_order_relaxed);
    }
    /// Slots 1..512 as the link sends them now, before the dimmers' curves: the output frame
    /// with the running chases laid over it, or the held look. UI thread.
    std::array<uint8_t, kFrameSize> GetSentLook() const;
    /// The running chases the link lays over the output frame.
    ChaseStage &GetChaseStage() { return m_chases; }
    const ChaseStage &GetChaseStage() const { return m_chases; }
    uint8_t GetInputSlot(int slot) const
    {
        return m_inFrame.at(slot).load(std::memory_order_relaxed);
    }

    /// The dimmers' curves the link applies last.
    CurveStage &GetCurveStage() { return m_curves; }

    /// A copy of the id of the device last delivered by the enumeration; empty when none.
    QString GetDeviceId() const;
    ZENTRA_HANDLE GetHandle() const { return m_hDevice.load(std::memory_order_acquire); }
    bool IsOpen() const { return GetHandle() != nullptr; }
    int GetReadFailures() const { return m_readFailures.load(std::memory_order_relaxed); }
    OutputHealth &GetOutputHealth() { return m_outputHealth; }
    const OutputHealth &GetOutputHealth() const { return m_outputHealth; }

private:
    mutable std::mutex m_idLock;
    QString m_deviceId;
    std::atomic<ZENTRA_HANDLE> m_hDevice{nullptr};
    SharedFrame m_outFrame{};
    SharedFrame m_heldFrame{};
    std::atomic<bool> m_held{false};
    std::atomic<bool> m_silent{false};
    SharedFrame m_inFrame{};
    std::atomic<int32_t> m_readFailures{0};
    OutputHealth m_outputHealth;
    CurveStage m_curves;
    ChaseStage m_chases;
};

} // namespace orinsub::dmx
