#pragma once

#include "MidiTransport.h"

#include <memory>

class RtMidiIn;
class RtMidiOut;

namespace orinsub::surfaces::midi {

/// The ALSA sequencer through RtMidi: an input and an output port of the console's, each
/// opened on the surface's port. Received messages reach the inbox on RtMidi's thread.
class AlsaMidiTransport : public MidiTransport
{
public:
    explicit AlsaMidiTransport(MidiInbox &inbox);
    ~AlsaMidiTransport() override;
    AlsaMidiTransport(const AlsaMidiTransport &) = delete;
    AlsaMidiTransport &operator=(const AlsaMidiTransport &) = delete;

    bool Reach() override;
    QStringList SendingPorts() override;
    QStringList ReceivingPorts() override;
    bool Listen(const QString &port) override;
    bool Talk(const QString &port) override;
    void Send(std::span<const uint8_t> message) override;

private:
    static void OnMessage(double, std::vector<unsigned char> *bytes, void *self);

    MidiInbox &m_inbox;
    std::unique_ptr<RtMidiIn> m_in;
    std::unique_ptr<RtMidiOut> m_out;
};

} // namespace orinsub::surfaces::midi
