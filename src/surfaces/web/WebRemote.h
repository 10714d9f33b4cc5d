#pragma once

#include "PairingStore.h"
#include "RemoteServer.h"
#include "RemoteSettings.h"

#include <QObject>
#include <QPointer>

#include <optional>

class QWidget;

namespace orinsub::surfaces::web {

class PairingCodeBox;

/// The web remote as the console carries it: the paired devices from the settings store, the
/// server, the pairing code box over the main window and the settings dialog.
class WebRemote : public QObject
{
    Q_OBJECT
public:
    WebRemote(ControlLayer &layer, QWidget *window);
    ~WebRemote() override;

    /// Starts serving: at endpoint when given (the command line), else as the settings say (not
    /// at all when they have it off). pairingAlways overrides the setting when given. False with
    /// the reason in the operator's language.
    bool Start(const std::optional<QString> &endpoint, std::optional<bool> pairingAlways,
               QString &error);
    /// The settings dialog ("Webリモート..."): on OK saves them and serves as they say.
    void OpenSettings();
    /// Saves settings and serves as they say (stops when they have the remote off); false with
    /// the reason, and nothing saved, when the address is malformed or cannot be served. A
    /// settings dialog that carries RemoteSettingsPage calls it on OK.
    bool Apply(const RemoteSettings &settings, QString &error);

    RemoteServer &Server() { return m_server; }
    PairingStore &Pairing() { return m_pairing; }

private:
    bool Serve(const QString &endpoint, bool pairingAlways, QString &error);

    QWidget *m_window;
    PairingStore m_pairing;
    RemoteServer m_server;
    QPointer<PairingCodeBox> m_codeBox;
};

} // namespace orinsub::surfaces::web
