#pragma once

#include "ByteRing.h"
#include "MidiDecoder.h"
#include "MidiMessage.h"

#include <atomic>
#include <cstdint>
#include <span>
#include <vector>

namespace orinsub::surfaces::midi {

/// The hand-over of a surface's bytes from the MIDI system's thread to the UI thread. The MIDI
/// side may be a real-time thread shared with audio, so it never waits on the console: Post
/// neither locks nor allocates, and wakes the UI thread with one non-blocking write to an
/// eventfd for each batch the UI thread has not yet started on. The UI thread decodes and takes
/// the messages in bounded slices; fader moves in a slice coalesce: a move replaces the one of
/// the same control still waiting (a value of 0, a button's release, never merges).
class MidiInbox
{
public:
    /// Bytes that may wait; a surface that sends more before the UI thread takes them loses
    /// whole events, counted.
    static constexpr size_t kRingBytes = 1 << 16;
    /// A slice: at most this many messages once coalesced (plus one read's worth), from at
    /// most kSliceBytes bytes.
    static constexpr size_t kSliceMessages = 128;
    static constexpr size_t kSliceBytes = 1 << 14;

    MidiInbox();
    ~MidiInbox();
    MidiInbox(const MidiInbox &) = delete;
    MidiInbox &operator=(const MidiInbox &) = delete;

    /// Readable while something waits (for a socket notifier); -1 if the system had none to
    /// give, and then the UI thread must look by itself.
    int WakeDescriptor() const { return m_wake; }

    /// The MIDI thread, one at a time: queues one event's bytes whole. False when they do not
    /// fit: the event is dropped and counted.
    bool Post(std::span<const uint8_t> bytes);
    /// Any thread: asks the UI thread to look at the MIDI system now (a server gone, a port
    /// that came or went).
    void Alert();

    /// UI thread, on a wake: empties the descriptor; true when an alert came since the last
    /// call.
    bool AcknowledgeWake();
    /// UI thread: the next slice of messages, oldest first.
    std::vector<MidiMessage> Take();
    /// UI thread: whether bytes still wait for the next Take.
    bool HasMore() const { return m_ring.Waiting() > 0; }

    /// UI thread: the decoder's 14-bit controllers from now on, as (channel, number) pairs.
    void SetFineControllers(const std::vector<std::pair<int, int>> &controllers);

    /// Events dropped because the ring was full (any thread).
    size_t Dropped() const { return m_dropped.load(std::memory_order_relaxed); }

private:
    void Wake();
    void Queue(std::vector<MidiMessage> &taken, const MidiMessage &message);

    ByteRing m_ring{kRingBytes};
    int m_wake = -1;
    std::atomic<bool> m_woken = false; // a wake is on its way that the UI thread has not begun
    std::atomic<bool> m_alerted = false;
    std::atomic<size_t> m_dropped = 0;

    // UI thread only.
    MidiDecoder m_decoder;
    std::vector<MidiMessage> m_decoded;
    std::vector<int> m_latest; // by control: its last message's place in the slice, -1 for none
};

} // namespace orinsub::surfaces::midi
