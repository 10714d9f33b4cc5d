#include "AlsaMidiTransport.h"
#include "MidiInbox.h"

#include <QFileInfo>

#include <rtmidi/RtMidi.h>

namespace orinsub::surfaces::midi {

namespace {

// RtMidi tells what failed through this callback instead of printing or throwing; the port's
// state is all the console shows.
void IgnoreError(RtMidiError::Type, const std::string &, void *) {}

template <typename Ports> std::unique_ptr<Ports> Create()
{
    try {
        auto ports = std::make_unique<Ports>(RtMidi::LINUX_ALSA, "OrinSUB");
        ports->setErrorCallback(IgnoreError);
        return ports;
    } catch (const RtMidiError &) {
        return nullptr; // no sequencer, or no ALSA in this build
    }
}

QStringList Names(RtMidi &ports)
{
    QStringList names;
    const unsigned count = ports.getPortCount();
    for (unsigned i = 0; i < count; ++i) {
        const QString name = QString::fromStdString(ports.getPortName(i));
        if (!IsConsolePort(name))
            names << name;
    }
    return names;
}

/// Opens the port of that name in place of the open one; true for none.
bool OpenNamed(RtMidi &ports, const QString &name, const std::string &ownName)
{
    if (ports.isPortOpen())
        ports.closePort();
    if (name.isEmpty())
        return true;
    const unsigned count = ports.getPortCount();
    for (unsigned i = 0; i < count; ++i) {
        if (QString::fromStdString(ports.getPortName(i)) == name) {
            ports.openPort(i, ownName);
            return ports.isPortOpen();
        }
    }
    return false;
}

} // namespace

AlsaMidiTransport::AlsaMidiTransport(MidiInbox &inbox) : m_inbox(inbox) {}

AlsaMidiTransport::~AlsaMidiTransport()
{
    m_in.reset(); // RtMidi's thread stops before the inbox can go
}

bool AlsaMidiTransport::Reach()
{
    // RtMidi would print the sequencer's absence.
    if (!m_in && QFileInfo::exists(QStringLiteral("/dev/snd/seq"))) {
        m_in = Create<RtMidiIn>();
        m_out = Create<RtMidiOut>();
        if (!m_in || !m_out) {
            m_in.reset();
            m_out.reset();
            return false;
        }
        m_in->ignoreTypes(true, true, true);
        m_in->setCallback(&AlsaMidiTransport::OnMessage, this);
    }
    return static_cast<bool>(m_in);
}

QStringList AlsaMidiTransport::SendingPorts()
{
    return m_in ? Names(*m_in) : QStringList();
}

QStringList AlsaMidiTransport::ReceivingPorts()
{
    return m_out ? Names(*m_out) : QStringList();
}

bool AlsaMidiTransport::Listen(const QString &port)
{
    return m_in ? OpenNamed(*m_in, port, "in") : port.isEmpty();
}

bool AlsaMidiTransport::Talk(const QString &port)
{
    return m_out ? OpenNamed(*m_out, port, "out") : port.isEmpty();
}

void AlsaMidiTransport::Send(std::span<const uint8_t> message)
{
    if (m_out && m_out->isPortOpen())
        m_out->sendMessage(message.data(), message.size());
}

void AlsaMidiTransport::OnMessage(double, std::vector<unsigned char> *bytes, void *self)
{
    static_cast<AlsaMidiTransport *>(self)->m_inbox.Post(*bytes);
}

} // namespace orinsub::surfaces::midi
