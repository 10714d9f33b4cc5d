#pragma once

#include <QObject>
#include <QString>

#include <memory>

namespace orinsub::surfaces::midi {
class MidiSurfaceHost;
}

namespace orinsub::app {

class CMainFrame;
struct StartOptions;

/// The console's MIDI surface: opened at start from the command line (--midi, --midi-map),
/// ORINSUB_MIDI or the settings; its state on the master pane's status line; configured from
/// "外部操作卓(&S)..." in the Operation menu. Lives shorter than the frame's control layer.
class CMidiSurfaces : public QObject
{
    Q_OBJECT
public:
    CMidiSurfaces(CMainFrame &frame, const StartOptions &options);
    ~CMidiSurfaces() override;

    surfaces::midi::MidiSurfaceHost &Host() const { return *m_host; }

    /// The surfaces settings dialog, modal over the main window.
    void OnSurfaceSettings();

    /// Checks the MIDI part of the start options before anything starts (ORINSUB_MIDI taken in
    /// when --midi is not given): false with a one-line error for a malformed device or a
    /// mapping file that cannot be read.
    static bool CheckStartOptions(StartOptions &options, QString &error);

private:
    CMainFrame &m_frame;
    std::unique_ptr<surfaces::midi::MidiSurfaceHost> m_host;
};

} // namespace orinsub::app
