#pragma once

#include "MidiDecoder.h"
#include "MidiMessage.h"

#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

namespace orinsub::surfaces::midi {

/// The hand-over of a surface's messages from the MIDI thread to the UI thread. Fader moves
/// coalesce: a move replaces the one of the same control still waiting (a value of 0, a
/// button's release, never merges), so a stream cannot flood the event loop; the queue holds at
/// most kCapacity messages and drops the rest.
class MidiInbox
{
public:
    static constexpr size_t kCapacity = 1024;

    /// MIDI thread: decodes bytes and queues their messages. True when the queue was empty
    /// before: the caller then wakes the UI thread once.
    bool Post(std::span<const uint8_t> bytes);

    /// UI thread: the waiting messages, oldest first, and an empty queue.
    std::vector<MidiMessage> Take();

    /// The decoder's 14-bit controllers from now on, as (channel, number) pairs (any thread).
    void SetFineControllers(const std::vector<std::pair<int, int>> &controllers);

    /// Messages dropped because the queue was full.
    size_t Dropped() const;

private:
    void Queue(const MidiMessage &message);

    mutable std::mutex m_mutex;
    MidiDecoder m_decoder;
    std::vector<MidiMessage> m_pending;
    std::vector<MidiMessage> m_decoded;
    size_t m_dropped = 0;
};

} // namespace orinsub::surfaces::midi
