#include "MidiInbox.h"

#include <array>

#include <sys/eventfd.h>
#include <unistd.h>

namespace orinsub::surfaces::midi {

namespace {

constexpr int kControls = 4 * 16 * 128;

int ControlKey(const MidiMessage &message)
{
    return (static_cast<int>(message.type) * 16 + message.channel) * 128 + message.number;
}

} // namespace

MidiInbox::MidiInbox() : m_wake(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)), m_latest(kControls, -1) {}

MidiInbox::~MidiInbox()
{
    if (m_wake >= 0)
        close(m_wake);
}

bool MidiInbox::Post(std::span<const uint8_t> bytes)
{
    if (!m_ring.Write(bytes)) {
        m_dropped.fetch_add(1, std::memory_order_relaxed);
        return false;
    }
    // The UI thread clears the flag before it reads, so bytes written after its read wake it
    // again and bytes written before are read.
    if (!m_woken.exchange(true, std::memory_order_acq_rel))
        Wake();
    return true;
}

void MidiInbox::Alert()
{
    m_alerted.store(true, std::memory_order_release);
    Wake();
}

void MidiInbox::Wake()
{
    const uint64_t one = 1;
    // Non-blocking; the counter cannot overflow in practice, and a wake already pending does.
    [[maybe_unused]] const ssize_t written = write(m_wake, &one, sizeof one);
}

bool MidiInbox::AcknowledgeWake()
{
    uint64_t count = 0;
    [[maybe_unused]] const ssize_t read = ::read(m_wake, &count, sizeof count);
    m_woken.exchange(false, std::memory_order_acq_rel);
    return m_alerted.exchange(false, std::memory_order_acq_rel);
}

std::vector<MidiMessage> MidiInbox::Take()
{
    std::vector<MidiMessage> taken;
    std::array<uint8_t, 64> chunk;
    size_t bytes = 0;
    while (taken.size() < kSliceMessages && bytes < kSliceBytes) {
        const size_t count = m_ring.Read(chunk);
        if (count == 0)
            break;
        bytes += count;
        m_decoded.clear();
        m_decoder.Feed(std::span(chunk.data(), count), m_decoded);
        for (const MidiMessage &message : m_decoded)
            Queue(taken, message);
    }
    for (const MidiMessage &message : taken)
        m_latest[ControlKey(message)] = -1;
    return taken;
}

void MidiInbox::Queue(std::vector<MidiMessage> &taken, const MidiMessage &message)
{
    int &latest = m_latest[ControlKey(message)];
    // Only the control's latest waiting move may merge, so the order of values stays.
    if (message.type != MidiMessage::Type::Note && message.value > 0 && latest >= 0 &&
        taken[latest].value > 0) {
        taken[latest].value = message.value;
        return;
    }
    latest = static_cast<int>(taken.size());
    taken.push_back(message);
}

void MidiInbox::SetFineControllers(const std::vector<std::pair<int, int>> &controllers)
{
    m_decoder.ForgetFine();
    for (const auto &[channel, number] : controllers)
        m_decoder.DeclareFine(channel, number);
}

} // namespace orinsub::surfaces::midi
