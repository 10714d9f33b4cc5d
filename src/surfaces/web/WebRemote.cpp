#include "WebRemote.h"

#include "PairingCodeBox.h"
#include "RemoteSettingsPage.h"
#include "WebTexts.h"
#include "controls/OkCancelButtons.h"
#include "controls/QuestionBox.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QVBoxLayout>

namespace orinsub::surfaces::web {

WebRemote::WebRemote(ControlLayer &layer, QWidget *window)
    : m_window(window), m_pairing(RemoteSettings::LoadDevices(), &RemoteSettings::SaveDevices),
      m_server(layer, m_pairing), m_codeBox(new PairingCodeBox(m_pairing, window))
{
}

WebRemote::~WebRemote()
{
    delete m_codeBox.data();
}

bool WebRemote::Start(const std::optional<QString> &endpoint, std::optional<bool> pairingAlways,
                      QString &error)
{
    const RemoteSettings settings = RemoteSettings::Load();
    if (!endpoint && !settings.enabled)
        return true;
    return Serve(endpoint.value_or(settings.endpoint),
                 pairingAlways.value_or(settings.pairingAlways), error);
}

bool WebRemote::Serve(const QString &endpoint, bool pairingAlways, QString &error)
{
    RemoteEndpoint where;
    if (!RemoteEndpoint::Parse(endpoint, where, error) ||
        !m_server.Listen(where, pairingAlways, error))
        return false;
    m_pairingAlways = pairingAlways;
    return true;
}

RemoteSettings WebRemote::Running() const
{
    RemoteSettings running = RemoteSettings::Load();
    running.enabled = m_server.IsListening();
    if (running.enabled) {
        running.endpoint = RemoteEndpoint{m_server.Address(), m_server.Port()}.ToString();
        running.pairingAlways = m_pairingAlways;
    }
    return running;
}

bool WebRemote::Apply(const RemoteSettings &settings, const RemoteSettings &save, QString &error)
{
    RemoteEndpoint where;
    if (!RemoteEndpoint::Parse(settings.endpoint, where, error))
        return false;
    // Pages already playing stay connected when nothing about the server changes.
    const bool unchanged =
        m_server.IsListening() && m_server.Address() == where.address &&
        m_server.Port() == where.port &&
        m_server.IsPairingRequired() == (settings.pairingAlways || !where.address.isLoopback());
    if (!settings.enabled)
        m_server.Stop();
    else if (!unchanged && !m_server.Listen(where, settings.pairingAlways, error))
        return false;
    m_pairingAlways = settings.pairingAlways;
    save.Save();
    return true;
}

void WebRemote::OpenSettings()
{
    QDialog dialog(m_window);
    dialog.setWindowTitle(kRemoteSettingsCaption);
    const RemoteSettings shown = Running();
    auto *page = new RemoteSettingsPage(
        m_pairing, shown, m_server.IsListening() && m_server.IsPairingRequired(), &dialog);
    QDialogButtonBox *buttons = controls::OkCancelButtons(&dialog);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(page);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        const RemoteSettings chosen = page->Settings();
        QString error;
        if (chosen == shown || Apply(chosen, RemoteSettings::Load().With(shown, chosen), error))
            dialog.accept();
        else
            controls::Questions().Warn(&dialog, error, kRemoteSettingsCaption);
    });
    dialog.exec();
}

} // namespace orinsub::surfaces::web
