#pragma once

#include "RemoteSettings.h"

#include <QWidget>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace orinsub::surfaces::web {

class PairingStore;

/// The remote's page of the settings: on or off, where it listens, pairing on 127.0.0.1 too,
/// and the paired devices, any of which the operator can forget at once. While the remote asks
/// for pairing, the operator opens pairing here to let a new device in.
class RemoteSettingsPage : public QWidget
{
    Q_OBJECT
public:
    /// pairingAsked: the remote is serving and asks for pairing, so that opening it means
    /// something.
    RemoteSettingsPage(PairingStore &pairing, const RemoteSettings &settings,
                       bool pairingAsked = false, QWidget *parent = nullptr);

    /// The settings as the page shows them (not checked: RemoteEndpoint::Parse does that).
    RemoteSettings Settings() const;

private:
    void FillDevices();
    void ForgetSelected();

    PairingStore &m_pairing;
    QCheckBox *m_enabled;
    QLineEdit *m_endpoint;
    QCheckBox *m_pairingAlways;
    QListWidget *m_devices;
    QPushButton *m_forget;
    QPushButton *m_openPairing;
};

} // namespace orinsub::surfaces::web
