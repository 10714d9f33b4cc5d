#include "RemoteMessage.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <limits>

namespace orinsub::surfaces::web {

namespace {

bool HasExactlyKeys(const QJsonObject &object, std::initializer_list<QLatin1StringView> keys)
{
    if (object.size() != static_cast<qsizetype>(keys.size()))
        return false;
    for (QLatin1StringView key : keys)
        if (!object.contains(key))
            return false;
    return true;
}

} // namespace

std::optional<RemoteMessage> ReadRemoteMessage(QByteArrayView text)
{
    if (text.size() > kMaxRemoteMessage)
        return std::nullopt;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text.toByteArray(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    const QJsonValue type = object.value(QLatin1StringView("t"));
    const QJsonValue name = object.value(QLatin1StringView("n"));
    if (!type.isString() || !name.isString())
        return std::nullopt;
    const std::optional<ControlTarget> target = ControlTarget::Parse(name.toString());
    if (!target || target->Family().scope != TargetScope::Desk)
        return std::nullopt;

    RemoteMessage message;
    message.target = *target;
    const QString kind = type.toString();
    if (kind == QLatin1StringView("move")) {
        const QJsonValue value = object.value(QLatin1StringView("v"));
        const double level = value.toDouble(-1);
        // A cue number out of range goes on, so that the desk says it is no cue, as it does for
        // every other route; any other value out of range is no message of the page.
        const TargetFamily &family = target->Family();
        const bool inRange = family.clamps ? level >= family.min && level <= family.max
                                           : std::abs(level) <= std::numeric_limits<int>::max();
        if (!HasExactlyKeys(
                object, {QLatin1StringView("t"), QLatin1StringView("n"), QLatin1StringView("v")}) ||
            !value.isDouble() || !inRange || std::floor(level) != level ||
            !target->IsContinuous())
            return std::nullopt;
        message.kind = RemoteMessage::Kind::Move;
        message.value = static_cast<int>(level);
        return message;
    }
    const bool isTouch = kind == QLatin1StringView("touch");
    if (!isTouch && kind != QLatin1StringView("press"))
        return std::nullopt;
    const QJsonValue down = object.value(QLatin1StringView("d"));
    if (!HasExactlyKeys(object,
                        {QLatin1StringView("t"), QLatin1StringView("n"), QLatin1StringView("d")}) ||
        !down.isBool() || target->IsContinuous() != isTouch)
        return std::nullopt;
    message.kind = isTouch ? RemoteMessage::Kind::Touch : RemoteMessage::Kind::Press;
    message.down = down.toBool();
    return message;
}

} // namespace orinsub::surfaces::web
