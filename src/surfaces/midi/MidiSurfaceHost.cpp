#include "MidiSurfaceHost.h"

#include "model/SettingsReader.h"

#include <QSettings>

namespace orinsub::surfaces::midi {

namespace {

const QString kGroup = QStringLiteral("MIDI");
const QString kDeviceKey = QStringLiteral("Device");
const QString kMappingKey = QStringLiteral("Mapping");
// "alsa:" or "jack:" and a part of a port's name.
constexpr qsizetype kMaxDeviceLength = 256;

std::vector<std::pair<int, int>> FineControllers(const MidiMapping &mapping)
{
    std::vector<std::pair<int, int>> controllers;
    for (const MidiBinding &binding : mapping.controls) {
        if (binding.type == MidiMessage::Type::FineControl)
            controllers.emplace_back(binding.channel, binding.number);
    }
    return controllers;
}

} // namespace

MidiSettings MidiSettings::Load(QSettings &settings)
{
    settings.beginGroup(kGroup);
    const model::SettingsReader read(settings);
    MidiSettings loaded;
    loaded.device = read.String(kDeviceKey, kMaxDeviceLength);
    QString error;
    if (!loaded.device.isEmpty() && !MidiDeviceName::Parse(loaded.device, error)) {
        read.Reject(kDeviceKey, error);
        loaded.device.clear();
    }
    const QByteArray json = read.String(kMappingKey, kMaxMappingBytes).toUtf8();
    if (!json.isEmpty()) {
        if (MappingReadResult parsed = ParseMapping(json, {}); parsed.mapping)
            loaded.mapping = std::move(*parsed.mapping);
        else
            read.Reject(kMappingKey, parsed.error);
    }
    settings.endGroup();
    return loaded;
}

void MidiSettings::Save(QSettings &settings) const
{
    settings.beginGroup(kGroup);
    settings.setValue(kDeviceKey, device);
    settings.setValue(kMappingKey, QString::fromUtf8(MappingToJson(mapping)));
    settings.endGroup();
}

MidiSurfaceHost::MidiSurfaceHost(ControlLayer &layer, MidiTransportFactory makeTransport,
                                 QObject *parent)
    : QObject(parent), m_layer(layer), m_makeTransport(std::move(makeTransport))
{
}

MidiSurfaceHost::~MidiSurfaceHost()
{
    m_surface.reset();
    m_port.reset();
}

void MidiSurfaceHost::Configure(const std::optional<MidiDeviceName> &device, MidiMapping mapping)
{
    m_surface.reset();
    m_port.reset();
    m_device = device;
    m_mapping = std::move(mapping);
    if (m_device) {
        m_port = std::make_unique<MidiPort>(*m_device, m_makeTransport);
        MidiPort *port = m_port.get();
        m_surface = std::make_unique<MidiSurface>(
            m_layer, m_mapping, [port](const MidiMessage &message) { port->Send(message); });
        port->SetFineControllers(FineControllers(m_mapping));
        port->SetReceiver([this](const MidiMessage &message) { m_surface->Play(message); });
        connect(port, &MidiPort::ConnectionChanged, this, &MidiSurfaceHost::OnConnectionChanged);
        connect(port, &MidiPort::FeedbackOpened, this, &MidiSurfaceHost::OnFeedbackOpened);
        connect(port, &MidiPort::StatusChanged, this, &MidiSurfaceHost::UpdateStatus);
        OnConnectionChanged(port->IsConnected());
    }
    UpdateStatus();
}

void MidiSurfaceHost::SetMapping(MidiMapping mapping)
{
    if (!m_surface) {
        m_mapping = std::move(mapping);
        return;
    }
    m_port->SetFineControllers(FineControllers(mapping));
    m_mapping = mapping;
    m_surface->SetMapping(std::move(mapping));
}

void MidiSurfaceHost::OnConnectionChanged(bool connected)
{
    if (connected)
        m_surface->Attach();
    else
        m_surface->Detach();
    UpdateStatus();
}

void MidiSurfaceHost::OnFeedbackOpened()
{
    // Attaching again is what tells a surface every value.
    m_surface->Detach();
    m_surface->Attach();
}

void MidiSurfaceHost::UpdateStatus()
{
    const QString status = m_port ? m_port->StatusText() : QString();
    if (status == m_status)
        return;
    m_status = status;
    emit StatusChanged();
}

} // namespace orinsub::surfaces::midi
