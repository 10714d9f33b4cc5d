#include "BackupSetup.h"

#include "BackupTexts.h"

#include <algorithm>

namespace orinsub::backup {

namespace {

std::optional<quint16> PortNumber(const QString &text)
{
    bool ok = false;
    const uint port = text.toUInt(&ok);
    if (!ok || port == 0 || port > 65535)
        return std::nullopt;
    return static_cast<quint16>(port);
}

} // namespace

std::optional<ListenPoint> ListenPoint::Parse(const QString &text, QString &error)
{
    const QString trimmed = text.trimmed();
    const qsizetype colon = trimmed.lastIndexOf(u':');
    ListenPoint point{QHostAddress(QHostAddress::LocalHost), 0};
    if (colon >= 0 && !point.address.setAddress(trimmed.left(colon))) {
        error = kBadListenPoint.arg(text);
        return std::nullopt;
    }
    const std::optional<quint16> port = PortNumber(trimmed.mid(colon + 1));
    if (!port) {
        error = kBadListenPoint.arg(text);
        return std::nullopt;
    }
    point.port = *port;
    return point;
}

std::optional<MainPoint> MainPoint::Parse(const QString &text, QString &error)
{
    const QString trimmed = text.trimmed();
    const qsizetype colon = trimmed.lastIndexOf(u':');
    const QString host = colon > 0 ? trimmed.left(colon) : QString();
    const std::optional<quint16> port =
        colon > 0 ? PortNumber(trimmed.mid(colon + 1)) : std::nullopt;
    const bool hostOk = !host.isEmpty() && std::all_of(host.begin(), host.end(), [](QChar c) {
        return c.isLetterOrNumber() || c == u'.' || c == u'-';
    });
    if (!port || !hostOk) {
        error = kBadMainPoint.arg(text);
        return std::nullopt;
    }
    return MainPoint{host, *port};
}

OutputPlan OutputPlan::For(Role role, bool prioritisedInterface, std::optional<uint8_t> own,
                           uint8_t livePeerPriority)
{
    switch (role) {
    case Role::Live:
        return {false, own.value_or(kDefaultPriority), false};
    case Role::Tracking: {
        const int peer = livePeerPriority ? livePeerPriority : kDefaultPriority;
        const auto below = static_cast<uint8_t>(std::max(1, peer - kBelowLivePeer));
        return {!prioritisedInterface, own.value_or(below), true};
    }
    case Role::Starting:
        break;
    }
    return {true, own.value_or(kDefaultPriority), false};
}

} // namespace orinsub::backup
