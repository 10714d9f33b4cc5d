#include "MidiInbox.h"

namespace orinsub::surfaces::midi {

namespace {

bool SameControl(const MidiMessage &a, const MidiMessage &b)
{
    return a.type == b.type && a.channel == b.channel && a.number == b.number;
}

} // namespace

bool MidiInbox::Post(std::span<const uint8_t> bytes)
{
    std::lock_guard lock(m_mutex);
    const bool wasEmpty = m_pending.empty();
    m_decoded.clear();
    m_decoder.Feed(bytes, m_decoded);
    for (const MidiMessage &message : m_decoded)
        Queue(message);
    return wasEmpty && !m_pending.empty();
}

void MidiInbox::Queue(const MidiMessage &message)
{
    if (message.type != MidiMessage::Type::Note && message.value > 0) {
        // Only the control's latest waiting move may merge, so the order of values stays.
        for (auto waiting = m_pending.rbegin(); waiting != m_pending.rend(); ++waiting) {
            if (!SameControl(*waiting, message))
                continue;
            if (waiting->value > 0) {
                waiting->value = message.value;
                return;
            }
            break;
        }
    }
    if (m_pending.size() >= kCapacity) {
        ++m_dropped;
        return;
    }
    m_pending.push_back(message);
}

std::vector<MidiMessage> MidiInbox::Take()
{
    std::vector<MidiMessage> taken;
    std::lock_guard lock(m_mutex);
    taken.swap(m_pending);
    return taken;
}

void MidiInbox::SetFineControllers(const std::vector<std::pair<int, int>> &controllers)
{
    std::lock_guard lock(m_mutex);
    m_decoder.ForgetFine();
    for (const auto &[channel, number] : controllers)
        m_decoder.DeclareFine(channel, number);
}

size_t MidiInbox::Dropped() const
{
    std::lock_guard lock(m_mutex);
    return m_dropped;
}

} // namespace orinsub::surfaces::midi
