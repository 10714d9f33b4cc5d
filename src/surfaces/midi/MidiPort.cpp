#include "MidiPort.h"
#include "MidiTexts.h"

#include <QFileInfo>

#include <jack/jack.h>
#include <rtmidi/RtMidi.h>

namespace orinsub::surfaces::midi {

namespace {

// The console's own ports carry this name; they are never taken for the surface's.
const std::string kClientName = "OrinSUB";

RtMidi::Api ApiOf(MidiDeviceName::Backend backend)
{
    return backend == MidiDeviceName::Backend::Jack ? RtMidi::UNIX_JACK : RtMidi::LINUX_ALSA;
}

// RtMidi tells what failed through this callback instead of printing or throwing; the port's
// state is all the console shows.
void IgnoreError(RtMidiError::Type, const std::string &, void *) {}

// libjack prints every failed connection attempt; a server that is not running is an ordinary
// state here.
void Silence(const char *) {}

/// Whether a JACK server answers, asked quietly.
bool JackServerRuns()
{
    jack_set_error_function(Silence);
    jack_set_info_function(Silence);
    jack_status_t status;
    jack_client_t *probe = jack_client_open("OrinSUB-probe", JackNoStartServer, &status);
    if (!probe)
        return false;
    jack_client_close(probe);
    return true;
}

/// Whether the backend is there to be asked: RtMidi would print its absence.
bool IsReachable(MidiDeviceName::Backend backend)
{
    return backend == MidiDeviceName::Backend::Jack
               ? JackServerRuns()
               : QFileInfo::exists(QStringLiteral("/dev/snd/seq"));
}

bool IsOwnPort(const std::string &name)
{
    return name.rfind(kClientName, 0) == 0;
}

/// The first of the api's ports whose name holds name, or -1.
template <typename Ports> int FindPort(Ports &ports, const QString &name, QString *found)
{
    const unsigned count = ports.getPortCount();
    for (unsigned i = 0; i < count; ++i) {
        const std::string portName = ports.getPortName(i);
        if (IsOwnPort(portName))
            continue;
        const QString text = QString::fromStdString(portName);
        if (text.contains(name, Qt::CaseInsensitive)) {
            if (found)
                *found = text;
            return static_cast<int>(i);
        }
    }
    return -1;
}

template <typename Ports> std::unique_ptr<Ports> Create(MidiDeviceName::Backend backend)
{
    if (!IsReachable(backend))
        return nullptr;
    try {
        auto ports = std::make_unique<Ports>(ApiOf(backend), kClientName);
        ports->setErrorCallback(IgnoreError);
        return ports;
    } catch (const RtMidiError &) {
        return nullptr; // no sequencer, no such backend in this build
    }
}

} // namespace

QString MidiDeviceName::Text() const
{
    return (backend == Backend::Jack ? QStringLiteral("jack:") : QStringLiteral("alsa:")) + name;
}

std::optional<MidiDeviceName> MidiDeviceName::Parse(const QString &text, QString &error)
{
    const qsizetype colon = text.indexOf(u':');
    const QString kind = text.left(colon);
    const QString name = text.mid(colon + 1);
    if (colon < 0 || name.trimmed().isEmpty() || (kind != u"alsa" && kind != u"jack")) {
        error = DeviceError(text, kDeviceBadForm);
        return std::nullopt;
    }
    return MidiDeviceName{kind == u"jack" ? Backend::Jack : Backend::Alsa, name};
}

QStringList ListMidiPorts()
{
    QStringList list;
    for (const auto backend : {MidiDeviceName::Backend::Alsa, MidiDeviceName::Backend::Jack}) {
        const auto ports = Create<RtMidiIn>(backend);
        if (!ports)
            continue;
        const unsigned count = ports->getPortCount();
        for (unsigned i = 0; i < count; ++i) {
            const std::string name = ports->getPortName(i);
            if (!IsOwnPort(name))
                list << MidiDeviceName{backend, QString::fromStdString(name)}.Text();
        }
    }
    return list;
}

MidiPort::MidiPort(MidiDeviceName device, QObject *parent)
    : QObject(parent), m_device(std::move(device))
{
    m_look.setInterval(kLookIntervalMs);
    m_look.setTimerType(Qt::VeryCoarseTimer);
    connect(&m_look, &QTimer::timeout, this, &MidiPort::LookForSurface);
    m_look.start();
    LookForSurface();
}

MidiPort::~MidiPort()
{
    // RtMidi's thread stops before the inbox goes.
    m_in.reset();
    m_out.reset();
}

void MidiPort::LookForSurface()
{
    if (!m_in) {
        m_in = Create<RtMidiIn>(m_device.backend);
        if (!m_in)
            return;
        m_in->ignoreTypes(true, true, true);
        m_in->setCallback(&MidiPort::OnMessage, this);
    }
    if (!m_out)
        m_out = Create<RtMidiOut>(m_device.backend);

    QString name;
    const int inPort = FindPort(*m_in, m_device.name, &name);
    if (m_connected && (inPort < 0 || name != m_inName))
        Close();
    if (!m_connected && inPort >= 0) {
        m_inName = name;
        Open(inPort);
    }
    if (m_connected)
        OpenOutput();
}

void MidiPort::Open(int inPort)
{
    m_in->openPort(static_cast<unsigned>(inPort), "in");
    if (!m_in->isPortOpen())
        return;
    m_connected = true;
    OpenOutput();
    emit ConnectionChanged(true);
}

void MidiPort::OpenOutput()
{
    if (!m_out)
        return;
    QString name;
    const int outPort = FindPort(*m_out, m_device.name, &name);
    if (m_outOpen && (outPort < 0 || name != m_outName)) {
        m_out->closePort();
        m_outOpen = false;
    }
    if (!m_outOpen && outPort >= 0) {
        m_out->openPort(static_cast<unsigned>(outPort), "out");
        m_outOpen = m_out->isPortOpen();
        m_outName = name;
    }
}

void MidiPort::Close()
{
    m_in->closePort();
    if (m_out && m_outOpen)
        m_out->closePort();
    m_outOpen = false;
    m_connected = false;
    emit ConnectionChanged(false);
}

void MidiPort::Send(const MidiMessage &message)
{
    if (!m_outOpen || !m_connected)
        return;
    m_bytes.clear();
    AppendBytes(message, m_bytes);
    // One message per send: the sequencer encodes one event from each.
    size_t start = 0;
    for (size_t i = 1; i <= m_bytes.size(); ++i) {
        if (i == m_bytes.size() || (m_bytes[i] & 0x80)) {
            m_out->sendMessage(m_bytes.data() + start, i - start);
            start = i;
        }
    }
}

QString MidiPort::StatusText() const
{
    return m_connected ? MidiStatus(m_device.name) : kNoMidiStatus;
}

void MidiPort::OnMessage(double, std::vector<unsigned char> *bytes, void *self)
{
    auto *port = static_cast<MidiPort *>(self);
    if (port->m_inbox.Post(*bytes))
        QMetaObject::invokeMethod(port, &MidiPort::Drain, Qt::QueuedConnection);
}

void MidiPort::Drain()
{
    for (const MidiMessage &message : m_inbox.Take()) {
        if (m_receiver)
            m_receiver(message);
    }
}

} // namespace orinsub::surfaces::midi
