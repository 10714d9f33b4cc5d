#include "FakeMidiSystem.h"

namespace orinsub::testing {

using namespace surfaces::midi;

class FakeMidiSystem::Transport : public MidiTransport
{
public:
    Transport(FakeMidiSystem &system, MidiInbox &inbox) : system(system), inbox(inbox)
    {
        system.m_transports.push_back(this);
    }
    ~Transport() override { std::erase(system.m_transports, this); }

    bool Reach() override
    {
        joined = joined || system.m_running;
        return joined;
    }
    QStringList SendingPorts() override { return joined ? system.m_sending : QStringList(); }
    QStringList ReceivingPorts() override { return joined ? system.m_receiving : QStringList(); }
    bool Listen(const QString &port) override { return Connect(listened, port); }
    bool Talk(const QString &port) override { return Connect(talked, port); }
    void Send(std::span<const uint8_t> message) override
    {
        if (joined && !talked.isEmpty() && system.m_receiving.contains(talked))
            system.m_received.emplace_back(message.begin(), message.end());
    }

    bool Connect(QString &current, const QString &port)
    {
        if (!joined || (!port.isEmpty() && !system.m_sending.contains(port) &&
                        !system.m_receiving.contains(port)))
            return port.isEmpty();
        current = port;
        return true;
    }
    void Drop()
    {
        joined = false;
        listened.clear();
        talked.clear();
    }

    FakeMidiSystem &system;
    MidiInbox &inbox;
    bool joined = false;
    QString listened;
    QString talked;
};

MidiTransportFactory FakeMidiSystem::Factory()
{
    return [this](MidiDeviceName::Backend, MidiInbox &inbox) {
        return std::make_unique<Transport>(*this, inbox);
    };
}

void FakeMidiSystem::Plug(const QString &sending, const QString &receiving)
{
    if (!sending.isEmpty())
        m_sending << sending;
    if (!receiving.isEmpty())
        m_receiving << receiving;
    Alert();
}

void FakeMidiSystem::Unplug()
{
    m_sending.clear();
    m_receiving.clear();
    for (Transport *transport : m_transports) {
        transport->listened.clear();
        transport->talked.clear();
    }
    Alert();
}

void FakeMidiSystem::Stop()
{
    m_running = false;
    for (Transport *transport : m_transports) {
        if (transport->joined) {
            transport->Drop();
            transport->inbox.Alert();
        }
    }
}

void FakeMidiSystem::Send(const Bytes &event)
{
    if (MidiInbox *inbox = Listener())
        inbox->Post(event);
}

std::function<void(const FakeMidiSystem::Bytes &)> FakeMidiSystem::Sender()
{
    MidiInbox *inbox = Listener();
    return [inbox](const Bytes &event) {
        if (inbox)
            inbox->Post(event);
    };
}

MidiInbox *FakeMidiSystem::Listener() const
{
    for (Transport *transport : m_transports) {
        if (transport->joined && m_sending.contains(transport->listened))
            return &transport->inbox;
    }
    return nullptr;
}

void FakeMidiSystem::Alert()
{
    for (Transport *transport : m_transports) {
        if (transport->joined)
            transport->inbox.Alert();
    }
}

} // namespace orinsub::testing
