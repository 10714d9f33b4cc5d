#pragma once

#include "MidiMapping.h"
#include "MidiPort.h"
#include "MidiSurface.h"

#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class QSettings;

namespace orinsub::surfaces {
class ControlLayer;
}

namespace orinsub::surfaces::midi {

/// The MIDI surface as the operator configured it: which device and which mapping. Kept in
/// the settings store, group "MIDI": "Device" ("alsa:NAME", "jack:NAME" or empty for none) and
/// "Mapping" (a mapping file's JSON).
struct MidiSettings
{
    QString device;
    MidiMapping mapping;

    /// What the store holds; a damaged mapping there falls back to the generic profile.
    static MidiSettings Load(QSettings &settings);
    void Save(QSettings &settings) const;
};

/// The one MIDI surface of the console: its port and its surface on the control layer. The
/// surface is attached while the port is connected and detached while it is gone; it is
/// attached again when its receiving port is connected late. Either way a surface that comes
/// back gets every value again. UI thread only.
class MidiSurfaceHost : public QObject
{
    Q_OBJECT
public:
    /// makeTransport reaches the MIDI systems (tests give a fake one).
    explicit MidiSurfaceHost(ControlLayer &layer,
                             MidiTransportFactory makeTransport = MakeMidiTransport,
                             QObject *parent = nullptr);
    ~MidiSurfaceHost() override;

    /// The devices that can be chosen now, as "alsa:PORT" and "jack:PORT".
    QStringList AvailableDevices() const { return ListMidiPorts(m_makeTransport, m_port.get()); }

    /// Opens device (none: closes) with mapping, replacing what was open.
    void Configure(const std::optional<MidiDeviceName> &device, MidiMapping mapping);
    /// Another mapping for the open device.
    void SetMapping(MidiMapping mapping);

    const std::optional<MidiDeviceName> &Device() const { return m_device; }
    const MidiMapping &Mapping() const { return m_mapping; }
    /// The surface and its port; null while no device is configured.
    MidiSurface *Surface() const { return m_surface.get(); }
    MidiPort *Port() const { return m_port.get(); }

    /// The status line's part: "MIDI : NAME" or "MIDI : 装置なし"; empty with no device.
    QString StatusText() const { return m_status; }

signals:
    void StatusChanged();

private:
    void OnConnectionChanged(bool connected);
    void OnFeedbackOpened();
    void UpdateStatus();

    ControlLayer &m_layer;
    MidiTransportFactory m_makeTransport;
    std::optional<MidiDeviceName> m_device;
    MidiMapping m_mapping;
    std::unique_ptr<MidiSurface> m_surface; // goes before the port it sends through
    std::unique_ptr<MidiPort> m_port;
    QString m_status;
};

} // namespace orinsub::surfaces::midi
