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
    /// The settings dialog ("Webリモート..."): it shows the remote as it runs now (a command
    /// line's address included); on OK the remote serves as the dialog says, and only what the
    /// operator changed there goes into the settings. Nothing changed, nothing happens.
    void OpenSettings();
    /// The settings as the remote runs now: the stored ones with the server's own state.
    RemoteSettings Running() const;
    /// Serves as serve says (stops when it has the remote off) and saves save; false with the
    /// reason, and nothing saved, when the address is malformed or cannot be served.
    bool Apply(const RemoteSettings &serve, const RemoteSettings &save, QString &error);

    RemoteServer &Server() { return m_server; }
    PairingStore &Pairing() { return m_pairing; }

private:
    bool Serve(const QString &endpoint, bool pairingAlways, QString &error);

    QWidget *m_window;
    PairingStore m_pairing;
    RemoteServer m_server;
    QPointer<PairingCodeBox> m_codeBox;
    bool m_pairingAlways = false; // as the server was last asked to listen
};

} // namespace orinsub::surfaces::web
