#pragma once

#include "MidiDeviceName.h"

#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <span>

namespace orinsub::surfaces::midi {

class MidiInbox;

/// What the console's MIDI port needs of a MIDI system (the ALSA sequencer, a JACK server):
/// one input and one output of the console's own, connected to the surface's ports. The
/// system hands what the input receives to the inbox given at construction, on its own thread
/// and in real time; it calls the inbox's Alert when it has something to look at (a JACK
/// server gone, a port that came or went). Everything else: UI thread only.
class MidiTransport
{
public:
    virtual ~MidiTransport() = default;

    /// Joins the system, or finds it still joined: false while it cannot be reached (a JACK
    /// server not running or gone; a later call joins it again once it is back). Leaving a
    /// system that went away drops every connection.
    virtual bool Reach() = 0;
    /// The full names of the other programs' and devices' ports that send (a surface's faders)
    /// and that receive (its lamps and motors); the console's own are never listed.
    virtual QStringList SendingPorts() = 0;
    virtual QStringList ReceivingPorts() = 0;
    /// From now on the input takes the messages of port (empty: of none). False when the
    /// system refused; the input then hears nothing.
    virtual bool Listen(const QString &port) = 0;
    /// From now on the output sends to port (empty: to none). False when refused.
    virtual bool Talk(const QString &port) = 0;
    /// Sends one whole message to the port talked to; nothing without one.
    virtual void Send(std::span<const uint8_t> message) = 0;
};

using MidiTransportFactory =
    std::function<std::unique_ptr<MidiTransport>(MidiDeviceName::Backend, MidiInbox &)>;

/// A MIDI system the console reaches surfaces through.
struct MidiSystem
{
    MidiDeviceName::Backend backend;
    const char *prefix; // how a device name starts, before its colon ("alsa")
    /// The server the system needs, named in the status while it does not run; null when the
    /// system is always there.
    const char *server;
    std::unique_ptr<MidiTransport> (*make)(MidiInbox &inbox);
};

/// Every system, in the order ports are listed: the ALSA sequencer, then one JACK client with an
/// input and an output. A new system adds its Backend and a row.
std::span<const MidiSystem> MidiSystems();
const MidiSystem &SystemOf(MidiDeviceName::Backend backend);

/// The real system's transport.
std::unique_ptr<MidiTransport> MakeMidiTransport(MidiDeviceName::Backend backend, MidiInbox &inbox);

/// Whether a port is one of a console's own (ours, or another console's on the same system).
bool IsConsolePort(const QString &name);

} // namespace orinsub::surfaces::midi
