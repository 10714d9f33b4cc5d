#pragma once

#include "MidiDeviceName.h"
#include "MidiInbox.h"
#include "MidiMessage.h"
#include "MidiTransport.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

class QSocketNotifier;

namespace orinsub::surfaces::midi {

class MidiPort;

/// Every port that sends (a surface's fader side), as device strings "alsa:PORT" and
/// "jack:PORT". A system that cannot be reached lists nothing. An open port is asked about its
/// own system instead of a second client: once a JACK server restarts, libjack frees every
/// client of the process as the first one joins again.
QStringList ListMidiPorts(const MidiTransportFactory &makeTransport = MakeMidiTransport,
                          const MidiPort *open = nullptr);

/// The console's connection to one surface through a MIDI system: the surface's sending port
/// feeds the console's input, the console's output feeds the surface's receiving port. Received
/// messages reach the receiver on the UI thread in bounded slices, as soon as the system hands
/// them over. It looks for the surface every second, and at once when the system says
/// something changed: a surface that goes away is let go (the status says so), one that comes
/// back is connected again, each direction on its own, whichever port appears first; a JACK
/// server that stops is named in the status and joined again once it runs. Nothing it meets is
/// fatal: the console never notices more than the status. UI thread only.
class MidiPort : public QObject
{
    Q_OBJECT
public:
    using Receiver = std::function<void(const MidiMessage &)>;

    static constexpr int kLookIntervalMs = 1000;

    /// Looks for the surface at once.
    explicit MidiPort(MidiDeviceName device,
                      const MidiTransportFactory &makeTransport = MakeMidiTransport,
                      QObject *parent = nullptr);
    ~MidiPort() override;

    void SetReceiver(Receiver receiver) { m_receiver = std::move(receiver); }
    /// The 14-bit controller pairs of the surface's mapping, as (channel, number).
    void SetFineControllers(const std::vector<std::pair<int, int>> &controllers)
    {
        m_inbox.SetFineControllers(controllers);
    }

    /// Sends a message to the surface; nothing while its receiving port is missing.
    void Send(const MidiMessage &message);

    /// Whether the surface's sending port is connected: the surface plays.
    bool IsConnected() const { return !m_listened.isEmpty(); }
    /// Whether its receiving port is connected: feedback reaches it.
    bool HasFeedback() const { return !m_talked.isEmpty(); }
    const MidiDeviceName &Device() const { return m_device; }
    /// "MIDI : NAME" while connected; "MIDI : JACK 停止中" while a JACK server is not running;
    /// else "MIDI : 装置なし".
    QString StatusText() const;

    /// Looks for the surface now (the timer does it every second).
    void LookForSurface();
    /// Every sending port of the system, the surface's or not.
    QStringList SendingPorts() const;

signals:
    /// The surface's sending port was connected or let go.
    void ConnectionChanged(bool connected);
    /// Its receiving port was connected while the surface already played: nothing it was told
    /// before reached it.
    void FeedbackOpened();
    void StatusChanged();

private:
    /// Connects the first port of ports that matches the device instead of current, unless
    /// current is still there; true when current changed.
    bool Follow(const QStringList &ports, QString &current,
                bool (MidiTransport::*connect)(const QString &));
    void OnWake();
    void Drain();

    MidiDeviceName m_device;
    MidiInbox m_inbox;
    std::unique_ptr<MidiTransport> m_transport; // goes before the inbox it hands bytes to
    std::unique_ptr<QSocketNotifier> m_wake;
    Receiver m_receiver;
    bool m_reached = false;
    QString m_listened;
    QString m_talked;
    bool m_drainQueued = false;
    QTimer m_look;
    std::vector<uint8_t> m_bytes;
};

} // namespace orinsub::surfaces::midi
