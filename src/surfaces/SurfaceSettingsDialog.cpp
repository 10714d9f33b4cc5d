#include "SurfaceSettingsDialog.h"

#include "SurfaceTexts.h"
#include "controls/OkCancelButtons.h"
#include "controls/QuestionBox.h"
#include "surfaces/ControlLayer.h"
#include "surfaces/midi/MidiSurfaceHost.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace orinsub::surfaces {

using namespace midi;

namespace {

QString MessageText(MidiMessage::Type type)
{
    switch (type) {
    case MidiMessage::Type::Note:
        return QStringLiteral("note");
    case MidiMessage::Type::Control:
        return QStringLiteral("cc");
    case MidiMessage::Type::FineControl:
        return QStringLiteral("cc14");
    case MidiMessage::Type::PitchBend:
        return QStringLiteral("pitchbend");
    }
    return {};
}

/// "cc 1/7": the message as the table and the hint name it.
QString MessageName(const MidiBinding &binding)
{
    QString text = MessageText(binding.type) + QStringLiteral(" %1").arg(binding.channel + 1);
    if (binding.type != MidiMessage::Type::PitchBend)
        text += QStringLiteral("/%1").arg(binding.number);
    return text;
}

bool SameDevice(const std::optional<MidiDeviceName> &a, const std::optional<MidiDeviceName> &b)
{
    return a.has_value() == b.has_value() && (!a || a->Text() == b->Text());
}

/// Every target the MIDI surface can bind, its strips and banks as it steps through them.
QStringList TargetNames()
{
    QStringList names;
    for (const ControlTarget &target : ListTargets(TargetList::Everything, ShapeOf(DefaultBanks())))
        names << target.Name();
    return names;
}

} // namespace

SurfaceSettingsDialog::SurfaceSettingsDialog(MidiSurfaceHost &host, QWidget *parent)
    : QDialog(parent), m_host(host), m_startDevice(host.Device()), m_startMapping(host.Mapping()),
      m_mapping(host.Mapping())
{
    setWindowTitle(kSurfacesTitle);
    auto *layout = new QVBoxLayout(this);
    m_pages = new QTabWidget(this);
    m_pages->addTab(BuildMidiPage(), kMidiPage);
    layout->addWidget(m_pages);

    QDialogButtonBox *buttons = controls::OkCancelButtons(this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    ShowMapping();
}

SurfaceSettingsDialog::~SurfaceSettingsDialog()
{
    SetLearning(false);
}

QWidget *SurfaceSettingsDialog::BuildMidiPage()
{
    auto *page = new QWidget(this);
    auto *layout = new QVBoxLayout(page);
    auto *form = new QFormLayout;

    m_device = new QComboBox(page);
    m_device->setEditable(true);
    m_device->addItem(kNoMidiDevice);
    m_device->addItems(m_host.AvailableDevices());
    if (m_startDevice)
        m_device->setCurrentText(m_startDevice->Text());
    connect(m_device, &QComboBox::activated, this, &SurfaceSettingsDialog::ApplyDevice);
    connect(m_device->lineEdit(), &QLineEdit::editingFinished, this,
            &SurfaceSettingsDialog::ApplyDevice);
    form->addRow(kMidiDeviceLabel, m_device);

    m_profile = new QComboBox(page);
    m_profile->addItem(kGenericProfile);
    m_profile->addItem(kMackieProfile);
    connect(m_profile, &QComboBox::activated, this, &SurfaceSettingsDialog::OnProfileChosen);
    form->addRow(kProfileLabel, m_profile);

    m_motorised = new QCheckBox(kMotorisedBox, page);
    connect(m_motorised, &QCheckBox::toggled, this, [this](bool on) {
        m_mapping.motorised = on;
        ApplyMapping();
    });
    form->addRow(QString(), m_motorised);
    layout->addLayout(form);

    layout->addWidget(new QLabel(kControlsLabel, page));
    m_controls = new QTableWidget(0, 4, page);
    m_controls->setHorizontalHeaderLabels(
        {kMessageColumn, kChannelColumn, kNumberColumn, kTargetColumn});
    m_controls->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_controls->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_controls->verticalHeader()->hide();
    m_controls->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_controls);

    auto *fileRow = new QHBoxLayout;
    auto *remove = new QPushButton(kRemoveButton, page);
    connect(remove, &QPushButton::clicked, this, &SurfaceSettingsDialog::RemoveSelected);
    auto *import = new QPushButton(kImportButton, page);
    connect(import, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getOpenFileName(this, kImportTitle, {}, kMappingFilter);
        if (!path.isEmpty())
            Import(path);
    });
    auto *exportButton = new QPushButton(kExportButton, page);
    connect(exportButton, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getSaveFileName(this, kExportTitle, {}, kMappingFilter);
        if (!path.isEmpty())
            Export(path);
    });
    fileRow->addWidget(remove);
    fileRow->addStretch();
    fileRow->addWidget(import);
    fileRow->addWidget(exportButton);
    layout->addLayout(fileRow);

    auto *learnRow = new QHBoxLayout;
    learnRow->addWidget(new QLabel(kLearnTargetLabel, page));
    m_target = new QComboBox(page);
    m_target->setEditable(true);
    m_target->addItems(TargetNames());
    learnRow->addWidget(m_target, 1);
    m_learn = new QPushButton(kLearnButton, page);
    m_learn->setCheckable(true);
    connect(m_learn, &QPushButton::toggled, this, &SurfaceSettingsDialog::SetLearning);
    learnRow->addWidget(m_learn);
    layout->addLayout(learnRow);
    m_hint = new QLabel(page);
    m_hint->setWordWrap(true);
    layout->addWidget(m_hint);
    return page;
}

void SurfaceSettingsDialog::AddPage(QWidget *page, const QString &title)
{
    m_pages->addTab(page, title);
}

void SurfaceSettingsDialog::ApplyDevice()
{
    const QString text = m_device->currentText().trimmed();
    std::optional<MidiDeviceName> device;
    if (!text.isEmpty() && text != kNoMidiDevice) {
        QString error;
        device = MidiDeviceName::Parse(text, error);
        if (!device) {
            m_hint->setText(error);
            return;
        }
    }
    if (SameDevice(device, m_host.Device()))
        return;
    m_learn->setChecked(false);
    m_host.Configure(device, m_mapping);
    m_hint->clear();
}

void SurfaceSettingsDialog::ApplyMapping()
{
    m_host.SetMapping(m_mapping);
}

void SurfaceSettingsDialog::ShowMapping()
{
    m_profile->setCurrentIndex(m_mapping.profile == MidiProfile::MackieControl ? 1 : 0);
    {
        const QSignalBlocker blocker(m_motorised);
        m_motorised->setChecked(m_mapping.motorised);
    }
    m_controls->setRowCount(static_cast<int>(m_mapping.controls.size()));
    for (int row = 0; row < m_controls->rowCount(); ++row) {
        const MidiBinding &binding = m_mapping.controls[row];
        const QString number = binding.type == MidiMessage::Type::PitchBend
                                   ? QString()
                                   : QString::number(binding.number);
        const QString target =
            binding.target.Name() + (binding.IsTouch() ? kTouchSuffix : QString());
        const QString cells[] = {MessageText(binding.type), QString::number(binding.channel + 1),
                                 number, target};
        for (int column = 0; column < 4; ++column)
            m_controls->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
}

void SurfaceSettingsDialog::OnProfileChosen(int index)
{
    const MidiProfile profile = index == 1 ? MidiProfile::MackieControl : MidiProfile::Generic;
    if (profile == m_mapping.profile)
        return;
    // Learned or imported controls are the operator's work: replaced only when confirmed.
    const bool ownControls = m_mapping.controls != BuiltInMapping(m_mapping.profile).controls;
    if (ownControls &&
        !controls::Questions().AskOkCancel(
            this, ReplaceControlsQuestion(m_profile->itemText(index)), kSurfacesTitle)) {
        ShowMapping();
        return;
    }
    m_mapping = BuiltInMapping(profile);
    ShowMapping();
    ApplyMapping();
}

void SurfaceSettingsDialog::SetLearning(bool on)
{
    MidiSurface *surface = m_host.Surface();
    if (!on) {
        if (surface && surface->IsLearning())
            surface->StopLearning();
        if (m_learn->isChecked()) {
            const QSignalBlocker blocker(m_learn);
            m_learn->setChecked(false);
        }
        return;
    }
    if (!surface || !surface->IsAttached()) {
        m_hint->setText(kLearnNeedsDevice);
        const QSignalBlocker blocker(m_learn);
        m_learn->setChecked(false);
        return;
    }
    m_hint->setText(kLearnHint);
    surface->StartLearning(
        [this](const MidiMessage &message) { Learn(message); },
        [this](const ControlTarget &target) { m_target->setCurrentText(target.Name()); });
}

void SurfaceSettingsDialog::Learn(const MidiMessage &message)
{
    const QString name = m_target->currentText().trimmed();
    const std::optional<ControlTarget> target = ControlTarget::Parse(name);
    if (!target) {
        m_hint->setText(kLearnNoTarget.arg(name));
        return;
    }
    const std::optional<MidiBinding> learned = LearnControl(m_mapping, message, *target);
    if (!learned)
        return;
    m_hint->setText(LearnedText(MessageName(*learned), target->Name()));
    ShowMapping();
    ApplyMapping();
}

void SurfaceSettingsDialog::RemoveSelected()
{
    const QModelIndexList rows = m_controls->selectionModel()->selectedRows();
    std::vector<int> indexes;
    for (const QModelIndex &index : rows)
        indexes.push_back(index.row());
    std::sort(indexes.rbegin(), indexes.rend());
    for (int row : indexes)
        m_mapping.controls.erase(m_mapping.controls.begin() + row);
    ShowMapping();
    ApplyMapping();
}

void SurfaceSettingsDialog::Import(const QString &path)
{
    MappingReadResult read = ReadMappingFile(path);
    if (!read.mapping) {
        controls::Questions().Warn(this, read.error, kSurfacesTitle);
        return;
    }
    m_mapping = std::move(*read.mapping);
    ShowMapping();
    ApplyMapping();
}

bool SurfaceSettingsDialog::Export(const QString &path)
{
    QString error;
    if (WriteMappingFile(path, m_mapping, error))
        return true;
    controls::Questions().Warn(this, error, kSurfacesTitle);
    return false;
}

void SurfaceSettingsDialog::done(int result)
{
    SetLearning(false);
    if (result == QDialog::Accepted) {
        QSettings settings;
        MidiSettings{m_host.Device() ? m_host.Device()->Text() : QString(), m_mapping}.Save(
            settings);
    } else if (SameDevice(m_startDevice, m_host.Device())) {
        m_host.SetMapping(m_startMapping);
    } else {
        m_host.Configure(m_startDevice, m_startMapping);
    }
    QDialog::done(result);
}

} // namespace orinsub::surfaces
