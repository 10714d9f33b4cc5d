#include "MidiPort.h"
#include "MidiTexts.h"

#include <QSocketNotifier>

namespace orinsub::surfaces::midi {

QStringList ListMidiPorts(const MidiTransportFactory &makeTransport, const MidiPort *open)
{
    QStringList list;
    for (const MidiSystem &system : MidiSystems()) {
        const MidiDeviceName::Backend backend = system.backend;
        QStringList ports;
        if (open && open->Device().backend == backend) {
            ports = open->SendingPorts();
        } else {
            MidiInbox inbox;
            const std::unique_ptr<MidiTransport> transport = makeTransport(backend, inbox);
            if (transport->Reach())
                ports = transport->SendingPorts();
        }
        for (const QString &port : ports)
            list << MidiDeviceName{backend, port}.Text();
    }
    return list;
}

MidiPort::MidiPort(MidiDeviceName device, const MidiTransportFactory &makeTransport,
                   QObject *parent)
    : QObject(parent), m_device(std::move(device)),
      m_transport(makeTransport(m_device.backend, m_inbox))
{
    if (m_inbox.WakeDescriptor() >= 0) {
        m_wake = std::make_unique<QSocketNotifier>(m_inbox.WakeDescriptor(), QSocketNotifier::Read);
        connect(m_wake.get(), &QSocketNotifier::activated, this, &MidiPort::OnWake);
    }
    m_look.setInterval(kLookIntervalMs);
    m_look.setTimerType(Qt::VeryCoarseTimer);
    connect(&m_look, &QTimer::timeout, this, &MidiPort::LookForSurface);
    m_look.start();
    LookForSurface();
}

MidiPort::~MidiPort()
{
    m_wake.reset();
    m_transport.reset(); // its thread stops before the inbox goes
}

void MidiPort::LookForSurface()
{
    const QString status = StatusText();
    const bool wasConnected = IsConnected();
    m_reached = m_transport->Reach();
    bool inChanged = false;
    bool outChanged = false;
    if (m_reached) {
        outChanged = Follow(m_transport->ReceivingPorts(), m_talked, &MidiTransport::Talk);
        inChanged = Follow(m_transport->SendingPorts(), m_listened, &MidiTransport::Listen);
    } else {
        inChanged = !m_listened.isEmpty();
        outChanged = !m_talked.isEmpty();
        m_listened.clear();
        m_talked.clear();
    }
    if (inChanged) {
        if (wasConnected)
            emit ConnectionChanged(false);
        if (IsConnected())
            emit ConnectionChanged(true);
    } else if (outChanged && IsConnected() && HasFeedback()) {
        emit FeedbackOpened();
    }
    if (StatusText() != status)
        emit StatusChanged();
    Drain(); // without a wake descriptor, the look is what drains
}

QStringList MidiPort::SendingPorts() const
{
    return m_reached ? m_transport->SendingPorts() : QStringList();
}

bool MidiPort::Follow(const QStringList &ports, QString &current,
                      bool (MidiTransport::*connect)(const QString &))
{
    if (!current.isEmpty() && ports.contains(current))
        return false;
    QString wanted;
    for (const QString &port : ports) {
        if (port.contains(m_device.name, Qt::CaseInsensitive)) {
            wanted = port;
            break;
        }
    }
    if (wanted == current)
        return false;
    const QString before = current;
    current = (m_transport.get()->*connect)(wanted) ? wanted : QString();
    return current != before;
}

void MidiPort::Send(const MidiMessage &message)
{
    if (!HasFeedback())
        return;
    m_bytes.clear();
    AppendBytes(message, m_bytes);
    // One message at a time: a system carries one event for each.
    size_t start = 0;
    for (size_t i = 1; i <= m_bytes.size(); ++i) {
        if (i == m_bytes.size() || (m_bytes[i] & 0x80)) {
            m_transport->Send(std::span(m_bytes.data() + start, i - start));
            start = i;
        }
    }
}

QString MidiPort::StatusText() const
{
    if (IsConnected())
        return MidiStatus(m_device.name);
    if (const char *server = SystemOf(m_device.backend).server; !m_reached && server)
        return MidiServerStopped(QLatin1StringView(server));
    return kNoMidiStatus;
}

void MidiPort::OnWake()
{
    if (m_inbox.AcknowledgeWake())
        LookForSurface();
    else
        Drain();
}

void MidiPort::Drain()
{
    m_drainQueued = false;
    for (const MidiMessage &message : m_inbox.Take()) {
        if (m_receiver)
            m_receiver(message);
    }
    // The rest after the event loop's other work, so no stream holds it longer than a slice.
    if (m_inbox.HasMore() && !m_drainQueued) {
        m_drainQueued = true;
        QTimer::singleShot(0, this, &MidiPort::Drain);
    }
}

} // namespace orinsub::surfaces::midi
