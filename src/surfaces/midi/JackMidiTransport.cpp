#include "JackMidiTransport.h"
#include "MidiInbox.h"

#include <jack/midiport.h>

#include <array>
#include <cerrno>

namespace orinsub::surfaces::midi {

namespace {

// libjack prints every failed connection attempt; a server that is not running is an ordinary
// state here.
void Silence(const char *) {}

} // namespace

JackMidiTransport::JackMidiTransport(MidiInbox &inbox) : m_inbox(inbox)
{
    jack_set_error_function(Silence);
    jack_set_info_function(Silence);
}

JackMidiTransport::~JackMidiTransport()
{
    Leave();
}

bool JackMidiTransport::Reach()
{
    if (m_client && m_serverGone.load(std::memory_order_acquire))
        Leave();
    return m_client || Join();
}

bool JackMidiTransport::Join()
{
    jack_status_t status;
    m_client = jack_client_open("OrinSUB", JackNoStartServer, &status);
    if (!m_client)
        return false;
    m_serverGone.store(false, std::memory_order_relaxed);
    m_in = jack_port_register(m_client, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    m_out = jack_port_register(m_client, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    jack_on_info_shutdown(m_client, &JackMidiTransport::OnShutdown, this);
    const bool joined =
        m_in && m_out &&
        jack_set_process_callback(m_client, &JackMidiTransport::OnProcess, this) == 0 &&
        jack_set_port_registration_callback(m_client, &JackMidiTransport::OnPortRegistration,
                                            this) == 0 &&
        jack_activate(m_client) == 0;
    if (!joined)
        Leave();
    return joined;
}

void JackMidiTransport::Leave()
{
    if (m_client)
        jack_client_close(m_client); // stops its threads: nothing reads the ring after this
    m_client = nullptr;
    m_in = m_out = nullptr;
    m_listened.clear();
    m_talked.clear();
    m_outgoing.Skip(m_outgoing.Waiting());
}

QStringList JackMidiTransport::Ports(unsigned long flags)
{
    QStringList names;
    if (!IsAlive())
        return names;
    const char **ports = jack_get_ports(m_client, nullptr, JACK_DEFAULT_MIDI_TYPE, flags);
    for (const char **port = ports; port && *port; ++port) {
        const QString name = QString::fromUtf8(*port);
        if (!IsConsolePort(name))
            names << name;
    }
    jack_free(ports);
    return names;
}

QStringList JackMidiTransport::SendingPorts()
{
    return Ports(JackPortIsOutput);
}

QStringList JackMidiTransport::ReceivingPorts()
{
    return Ports(JackPortIsInput);
}

bool JackMidiTransport::Reconnect(std::string &current, const QString &port, bool toOwnInput)
{
    if (!IsAlive())
        return port.isEmpty();
    const std::string own = jack_port_name(toOwnInput ? m_in : m_out);
    // The surface's sending port feeds our input; our output feeds its receiving port.
    const auto link = [&](const std::string &other, bool connect) {
        const char *from = toOwnInput ? other.c_str() : own.c_str();
        const char *to = toOwnInput ? own.c_str() : other.c_str();
        return connect ? jack_connect(m_client, from, to) : jack_disconnect(m_client, from, to);
    };
    if (!current.empty()) {
        link(current, false); // fails harmlessly for a port that went away
        current.clear();
    }
    if (port.isEmpty())
        return true;
    const std::string wanted = port.toStdString();
    const int result = link(wanted, true);
    if (result != 0 && result != EEXIST)
        return false;
    current = wanted;
    return true;
}

bool JackMidiTransport::Listen(const QString &port)
{
    return Reconnect(m_listened, port, true);
}

bool JackMidiTransport::Talk(const QString &port)
{
    // The box's ports joined to ours make a loop. JACK orders the two clients by the connection
    // made first, and the other one reads what was written a cycle before. Our output comes
    // first: we run before the box and read its whole events of the cycle before, never a
    // buffer it may still be writing.
    const QString listened = QString::fromStdString(m_listened);
    if (!listened.isEmpty())
        Reconnect(m_listened, {}, true);
    const bool talking = Reconnect(m_talked, port, false);
    if (!listened.isEmpty())
        Reconnect(m_listened, listened, true);
    return talking;
}

void JackMidiTransport::Send(std::span<const uint8_t> message)
{
    if (!IsAlive() || m_talked.empty() || message.empty() || message.size() > 255)
        return;
    std::array<uint8_t, 256> record;
    record[0] = static_cast<uint8_t>(message.size());
    std::copy(message.begin(), message.end(), record.begin() + 1);
    m_outgoing.Write(std::span(record.data(), message.size() + 1)); // full: dropped
}

int JackMidiTransport::OnProcess(jack_nframes_t frames, void *self)
{
    static_cast<JackMidiTransport *>(self)->Process(frames);
    return 0;
}

void JackMidiTransport::Process(jack_nframes_t frames)
{
    void *in = jack_port_get_buffer(m_in, frames);
    const uint32_t count = jack_midi_get_event_count(in);
    for (uint32_t i = 0; i < count; ++i) {
        jack_midi_event_t event;
        if (jack_midi_event_get(&event, in, i) == 0)
            m_inbox.Post(std::span(event.buffer, event.size));
    }

    void *out = jack_port_get_buffer(m_out, frames);
    jack_midi_clear_buffer(out);
    std::array<uint8_t, 256> record;
    while (m_outgoing.Peek(std::span(record.data(), 1)) == 1) {
        const size_t size = record[0];
        if (m_outgoing.Peek(std::span(record.data(), size + 1)) != size + 1)
            break;
        jack_midi_data_t *data = jack_midi_event_reserve(out, 0, size);
        if (!data)
            break; // the cycle's buffer is full: the rest goes next cycle
        std::copy_n(record.begin() + 1, size, data);
        m_outgoing.Skip(size + 1);
    }
}

void JackMidiTransport::OnShutdown(jack_status_t, const char *, void *self)
{
    auto *transport = static_cast<JackMidiTransport *>(self);
    transport->m_serverGone.store(true, std::memory_order_release);
    transport->m_inbox.Alert();
}

void JackMidiTransport::OnPortRegistration(jack_port_id_t, int, void *self)
{
    static_cast<JackMidiTransport *>(self)->m_inbox.Alert();
}

} // namespace orinsub::surfaces::midi
