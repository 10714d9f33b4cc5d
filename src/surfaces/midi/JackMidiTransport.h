#pragma once

#include "ByteRing.h"
#include "MidiTransport.h"

#include <jack/jack.h>

#include <atomic>
#include <string>

namespace orinsub::surfaces::midi {

/// A JACK server reached through one client, "OrinSUB", with one MIDI input "in" and one output
/// "out": JACK wakes one client every cycle, not one per direction. Its process callback only
/// moves bytes: received events into the inbox, waiting messages out of a ring the UI thread
/// fills, without a lock, an allocation or a wait. A server that shuts down tells the inbox;
/// the next Reach closes the dead client and joins the server again once it runs.
class JackMidiTransport : public MidiTransport
{
public:
    explicit JackMidiTransport(MidiInbox &inbox);
    ~JackMidiTransport() override;
    JackMidiTransport(const JackMidiTransport &) = delete;
    JackMidiTransport &operator=(const JackMidiTransport &) = delete;

    bool Reach() override;
    QStringList SendingPorts() override;
    QStringList ReceivingPorts() override;
    bool Listen(const QString &port) override;
    bool Talk(const QString &port) override;
    void Send(std::span<const uint8_t> message) override;

private:
    /// Joined, and the server has not said it went: a dead client is asked nothing.
    bool IsAlive() const { return m_client && !m_serverGone.load(std::memory_order_acquire); }
    bool Join();
    void Leave();
    QStringList Ports(unsigned long flags);
    /// Connects port (empty: none) to our input or from our output, instead of current.
    bool Reconnect(std::string &current, const QString &port, bool toOwnInput);
    void Process(jack_nframes_t frames);

    static int OnProcess(jack_nframes_t frames, void *self);
    static void OnShutdown(jack_status_t, const char *, void *self);
    static void OnPortRegistration(jack_port_id_t, int, void *self);

    MidiInbox &m_inbox;
    ByteRing m_outgoing{4096}; // records: length byte, then the message
    jack_client_t *m_client = nullptr;
    jack_port_t *m_in = nullptr;
    jack_port_t *m_out = nullptr;
    std::atomic<bool> m_serverGone = false;
    std::string m_listened; // the surface's port connected to our input
    std::string m_talked;   // the surface's port our output is connected to
};

} // namespace orinsub::surfaces::midi
