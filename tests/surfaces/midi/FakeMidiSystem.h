#pragma once

#include "surfaces/midi/MidiInbox.h"
#include "surfaces/midi/MidiTransport.h"

#include <QStringList>

#include <functional>

#include <vector>

namespace orinsub::testing {

/// A MIDI system in memory for the console's transports: a box's ports that come and go, a
/// server that stops and starts again, and what the console sent. Ports coming and going and
/// the server stopping alert the console as a JACK server does. UI thread only, except what
/// Sender gives.
class FakeMidiSystem
{
public:
    using Bytes = std::vector<uint8_t>;

    FakeMidiSystem() = default;
    FakeMidiSystem(const FakeMidiSystem &) = delete;
    FakeMidiSystem &operator=(const FakeMidiSystem &) = delete;

    /// Makes the console's transports, joined to this system.
    surfaces::midi::MidiTransportFactory Factory();

    void Plug(const QString &sending, const QString &receiving = {});
    void Unplug();
    /// The server goes, dropping the console's client; Start lets it join again on its next look.
    void Stop();
    void Start() { m_running = true; }

    /// One event from the box's sending port: the console hears it if it listens there.
    void Send(const Bytes &event);
    /// Posts an event as the system's own thread would; call it from one thread at a time,
    /// while the console listens and the transport stays.
    std::function<void(const Bytes &)> Sender();
    /// What reached the box's receiving port since the last call, a message each.
    std::vector<Bytes> Received() { return std::exchange(m_received, {}); }

private:
    class Transport;
    /// The inbox of the transport that listens to the box, if one does.
    surfaces::midi::MidiInbox *Listener() const;
    void Alert();

    bool m_running = true;
    QStringList m_sending;
    QStringList m_receiving;
    std::vector<Bytes> m_received;
    std::vector<Transport *> m_transports; // the console's, and any a device list makes
};

} // namespace orinsub::testing
