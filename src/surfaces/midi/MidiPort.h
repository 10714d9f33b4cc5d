#pragma once

#include "MidiInbox.h"
#include "MidiMessage.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class RtMidiIn;
class RtMidiOut;

namespace orinsub::surfaces::midi {

/// A surface's ports as the operator names them: "alsa:NAME" (the ALSA sequencer) or
/// "jack:NAME"; NAME matches any part of the surface's port names, ignoring case.
struct MidiDeviceName
{
    enum class Backend { Alsa, Jack };
    Backend backend = Backend::Alsa;
    QString name;

    QString Text() const;
    /// Nothing, with a one-line error, for any other form.
    static std::optional<MidiDeviceName> Parse(const QString &text, QString &error);
};

/// Every MIDI port that sends (a surface's fader side), as device strings "alsa:PORT" and
/// "jack:PORT". A backend that cannot be reached lists nothing.
QStringList ListMidiPorts();

/// The input and output ports of one surface through RtMidi. Messages arrive on RtMidi's
/// thread, go through the inbox and reach the receiver on the UI thread. Every second it looks
/// for the surface: a surface that goes away closes the ports (the status says so), one that
/// comes back is opened again. Nothing it meets is fatal: the console never notices more than
/// the status. UI thread only, apart from RtMidi's callback.
class MidiPort : public QObject
{
    Q_OBJECT
public:
    using Receiver = std::function<void(const MidiMessage &)>;

    static constexpr int kLookIntervalMs = 1000;

    /// Looks for the surface at once.
    explicit MidiPort(MidiDeviceName device, QObject *parent = nullptr);
    ~MidiPort() override;

    void SetReceiver(Receiver receiver) { m_receiver = std::move(receiver); }
    /// The 14-bit controller pairs of the surface's mapping, as (channel, number).
    void SetFineControllers(const std::vector<std::pair<int, int>> &controllers)
    {
        m_inbox.SetFineControllers(controllers);
    }

    /// Sends a message to the surface; nothing while its input port is missing.
    void Send(const MidiMessage &message);

    bool IsConnected() const { return m_connected; }
    const MidiDeviceName &Device() const { return m_device; }
    /// "MIDI : NAME" while connected, else "MIDI : 装置なし".
    QString StatusText() const;

    /// Looks for the surface now (the timer does it every second).
    void LookForSurface();

signals:
    /// Opened or lost.
    void ConnectionChanged(bool connected);

private:
    void Open(int inPort);
    void Close();
    void OpenOutput();
    void Drain();
    static void OnMessage(double, std::vector<unsigned char> *bytes, void *self);

    MidiDeviceName m_device;
    MidiInbox m_inbox;
    Receiver m_receiver;
    std::unique_ptr<RtMidiIn> m_in;
    std::unique_ptr<RtMidiOut> m_out;
    bool m_connected = false; // the surface's sending port is open
    QString m_inName;
    bool m_outOpen = false;
    QString m_outName;
    QTimer m_look;
    std::vector<uint8_t> m_bytes;
};

} // namespace orinsub::surfaces::midi
