#include "MidiSurfaces.h"

#include "AppResources.h"
#include "CommandLine.h"
#include "MainFrame.h"
#include "SurfaceSettingsDialog.h"
#include "surfaces/midi/MidiSurfaceHost.h"
#include "views/MasterConsoleView.h"

#include <QAction>
#include <QSettings>

namespace orinsub::app {

using namespace surfaces::midi;

namespace {

const char kMidiVariable[] = "ORINSUB_MIDI";

} // namespace

bool CMidiSurfaces::CheckStartOptions(StartOptions &options, QString &error)
{
    if (options.midi.isEmpty())
        options.midi = qEnvironmentVariable(kMidiVariable);
    if (!options.midi.isEmpty() && !MidiDeviceName::Parse(options.midi, error))
        return false;
    if (!options.midiMap.isEmpty()) {
        const MappingReadResult read = ReadMappingFile(options.midiMap);
        if (!read.mapping) {
            error = read.error;
            return false;
        }
    }
    return true;
}

CMidiSurfaces::CMidiSurfaces(CMainFrame &frame, const StartOptions &options)
    : m_frame(frame), m_host(std::make_unique<MidiSurfaceHost>(frame.GetControlLayer()))
{
    QSettings settings;
    MidiSettings chosen = MidiSettings::Load(settings);
    if (!options.midi.isEmpty())
        chosen.device = options.midi;
    if (!options.midiMap.isEmpty()) {
        if (MappingReadResult read = ReadMappingFile(options.midiMap); read.mapping)
            chosen.mapping = std::move(*read.mapping);
    }
    QString error;
    std::optional<MidiDeviceName> device;
    if (!chosen.device.isEmpty())
        device = MidiDeviceName::Parse(chosen.device, error); // both checked before
    m_host->Configure(device, std::move(chosen.mapping));

    MidiSurfaceHost *host = m_host.get();
    frame.GetMasterView()->SetExtraStatus(this, [host] { return host->StatusText(); });
    connect(frame.Command(kIdSurfaces), &QAction::triggered, this,
            &CMidiSurfaces::OnSurfaceSettings);
}

CMidiSurfaces::~CMidiSurfaces()
{
    m_frame.GetMasterView()->SetExtraStatus(this, nullptr);
}

void CMidiSurfaces::OnSurfaceSettings()
{
    SurfaceSettingsDialog dialog(*m_host, &m_frame);
    dialog.exec();
}

} // namespace orinsub::app
