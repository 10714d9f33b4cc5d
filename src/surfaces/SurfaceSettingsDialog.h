#pragma once

#include "surfaces/midi/MidiMapping.h"
#include "surfaces/midi/MidiPort.h"

#include <QDialog>

#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace orinsub::surfaces {

namespace midi {
class MidiSurfaceHost;
}

/// "外部操作卓": the MIDI surface's device, profile, motor faders and controls, with learning
/// (move a console control or pick a target, then move the surface's control) and mapping
/// files to import and export. Changes play at once, so a learned control can be tried while
/// the dialog is open; OK keeps them in the settings, Cancel puts back what was there.
class SurfaceSettingsDialog : public QDialog
{
    Q_OBJECT
public:
    SurfaceSettingsDialog(midi::MidiSurfaceHost &host, QWidget *parent = nullptr);
    ~SurfaceSettingsDialog() override;

    /// Another surface's page beside the MIDI one.
    void AddPage(QWidget *page, const QString &title);

    void done(int result) override;

    // What the operator works with, for tests.
    QComboBox *DeviceBox() const { return m_device; }
    QComboBox *ProfileBox() const { return m_profile; }
    QComboBox *TargetBox() const { return m_target; }
    QPushButton *LearnButton() const { return m_learn; }
    QTableWidget *ControlsTable() const { return m_controls; }
    QLabel *HintLabel() const { return m_hint; }
    /// Sets the mapping shown and played, as an import does.
    void Import(const QString &path);
    bool Export(const QString &path);

private:
    QWidget *BuildMidiPage();
    void ApplyDevice();
    void ApplyMapping();
    void ShowMapping();
    void OnProfileChosen(int index);
    void SetLearning(bool on);
    void Learn(const midi::MidiMessage &message);
    void RemoveSelected();

    midi::MidiSurfaceHost &m_host;
    std::optional<midi::MidiDeviceName> m_startDevice;
    midi::MidiMapping m_startMapping;
    midi::MidiMapping m_mapping;

    QTabWidget *m_pages = nullptr;
    QComboBox *m_device = nullptr;
    QComboBox *m_profile = nullptr;
    QCheckBox *m_motorised = nullptr;
    QTableWidget *m_controls = nullptr;
    QComboBox *m_target = nullptr;
    QPushButton *m_learn = nullptr;
    QLabel *m_hint = nullptr;
};

} // namespace orinsub::surfaces
