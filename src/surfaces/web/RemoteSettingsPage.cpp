#include "RemoteSettingsPage.h"

#include "PairingStore.h"
#include "WebTexts.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace orinsub::surfaces::web {

RemoteSettingsPage::RemoteSettingsPage(PairingStore &pairing, const RemoteSettings &settings,
                                       bool pairingAsked, QWidget *parent)
    : QWidget(parent), m_pairing(pairing), m_enabled(new QCheckBox(kRemoteEnabledText, this)),
      m_endpoint(new QLineEdit(settings.endpoint, this)),
      m_pairingAlways(new QCheckBox(kRemotePairingAlwaysText, this)),
      m_devices(new QListWidget(this)), m_forget(new QPushButton(kForgetDeviceText, this)),
      m_openPairing(new QPushButton(kOpenPairingText, this))
{
    setWindowTitle(kRemoteSettingsCaption);
    m_enabled->setChecked(settings.enabled);
    m_pairingAlways->setChecked(settings.pairingAlways);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_enabled);
    auto *form = new QFormLayout;
    form->addRow(kRemoteAddressText, m_endpoint);
    layout->addLayout(form);
    layout->addWidget(m_pairingAlways);
    layout->addWidget(new QLabel(kPairedDevicesText, this));
    layout->addWidget(m_devices);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_openPairing);
    buttons->addStretch();
    buttons->addWidget(m_forget);
    layout->addLayout(buttons);
    m_openPairing->setEnabled(pairingAsked);
    connect(m_openPairing, &QPushButton::clicked, &m_pairing, &PairingStore::Open);
    connect(m_forget, &QPushButton::clicked, this, &RemoteSettingsPage::ForgetSelected);
    connect(m_devices, &QListWidget::currentRowChanged, this,
            [this](int row) { m_forget->setEnabled(row >= 0); });
    connect(&m_pairing, &PairingStore::DevicesChanged, this, &RemoteSettingsPage::FillDevices);
    FillDevices();
}

RemoteSettings RemoteSettingsPage::Settings() const
{
    return {m_enabled->isChecked(), m_endpoint->text().trimmed(), m_pairingAlways->isChecked()};
}

void RemoteSettingsPage::FillDevices()
{
    m_devices->clear();
    for (const PairedDevice &device : m_pairing.Devices()) {
        auto *item = new QListWidgetItem(
            QStringLiteral("%1  (%2)")
                .arg(device.name, device.pairedAt.toString(QStringLiteral("yyyy/MM/dd HH:mm"))),
            m_devices);
        item->setData(Qt::UserRole, device.tokenHash);
    }
    m_forget->setEnabled(m_devices->currentRow() >= 0);
}

void RemoteSettingsPage::ForgetSelected()
{
    if (const QListWidgetItem *item = m_devices->currentItem())
        m_pairing.Forget(item->data(Qt::UserRole).toByteArray());
}

} // namespace orinsub::surfaces::web
