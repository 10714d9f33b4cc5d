#include "OscStart.h"

#include "OscTexts.h"
#include "model/SettingsReader.h"

#include <QSettings>

namespace orinsub::surfaces::osc {

namespace {

// An IPv4 address and a port, with room to spare.
constexpr qsizetype kMaxReplyLength = 64;

} // namespace

std::unique_ptr<OscSurface> StartOscSurface(ControlLayer &layer, const QString &listen,
                                            QStringList &problems)
{
    QString error;
    const std::optional<OscEndpoint> endpoint = OscEndpoint::ParseListen(listen, error);
    if (!endpoint) {
        problems << error;
        return nullptr;
    }
    std::unique_ptr<OscServer> server = OscServer::Open(*endpoint, error);
    if (!server) {
        problems << ListenFailedText(endpoint->ToString(), error);
        return nullptr;
    }
    QSettings settings;
    settings.beginGroup(QStringLiteral("OSC"));
    const model::SettingsReader read(settings);
    std::vector<OscEndpoint> replies;
    for (const QString &entry :
         read.StringList(QStringLiteral("ReplyTo"), OscServer::kMaxClients, kMaxReplyLength)) {
        if (const std::optional<OscEndpoint> reply = OscEndpoint::ParseReply(entry, error))
            replies.push_back(*reply);
        else
            problems << error;
    }
    server->SetReplyAddresses(std::move(replies));
    const bool pickUp = read.Bool(QStringLiteral("PickUp"), false);
    return std::make_unique<OscSurface>(layer, std::move(server), pickUp);
}

} // namespace orinsub::surfaces::osc
