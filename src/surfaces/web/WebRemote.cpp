#include "WebRemote.h"

#include "PairingCodeBox.h"
#include "RemoteSettings.h"
#include "RemoteSettingsPage.h"
#include "WebTexts.h"
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
    if (!RemoteEndpoint::Parse(endpoint, where, error))
        return false;
    return m_server.Listen(where, pairingAlways, error);
}

void WebRemote::OpenSettings()
{
    QDialog dialog(m_window);
    dialog.setWindowTitle(kRemoteSettingsCaption);
    auto *page = new RemoteSettingsPage(m_pairing, RemoteSettings::Load(), &dialog);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(page);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        const RemoteSettings chosen = page->Settings();
        RemoteEndpoint where;
        QString error;
        if (!RemoteEndpoint::Parse(chosen.endpoint, where, error)) {
            controls::Questions().Warn(&dialog, error, kRemoteSettingsCaption);
            return;
        }
        chosen.Save();
        if (!chosen.enabled) {
            m_server.Stop();
        } else if (!m_server.Listen(where, chosen.pairingAlways, error)) {
            controls::Questions().Warn(&dialog, error, kRemoteSettingsCaption);
            return;
        }
        dialog.accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    dialog.exec();
}

} // namespace orinsub::surfaces::web
