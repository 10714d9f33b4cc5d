#include "RemoteSettings.h"

#include <QSettings>

namespace orinsub::surfaces::web {

namespace {

const QString kGroup = QStringLiteral("Remote");
const QString kDevices = QStringLiteral("RemoteDevices");

bool IsHash(const QByteArray &hash)
{
    return hash.size() == 64 && QByteArray::fromHex(hash).toHex() == hash;
}

} // namespace

RemoteSettings RemoteSettings::Load()
{
    QSettings settings;
    settings.beginGroup(kGroup);
    RemoteSettings loaded;
    loaded.enabled = settings.value(QStringLiteral("Enabled"), loaded.enabled).toBool();
    loaded.endpoint = settings.value(QStringLiteral("Endpoint"), loaded.endpoint).toString();
    loaded.pairingAlways =
        settings.value(QStringLiteral("PairingAlways"), loaded.pairingAlways).toBool();
    return loaded;
}

void RemoteSettings::Save() const
{
    QSettings settings;
    settings.beginGroup(kGroup);
    settings.setValue(QStringLiteral("Enabled"), enabled);
    settings.setValue(QStringLiteral("Endpoint"), endpoint);
    settings.setValue(QStringLiteral("PairingAlways"), pairingAlways);
}

std::vector<PairedDevice> RemoteSettings::LoadDevices()
{
    QSettings settings;
    std::vector<PairedDevice> devices;
    const int count = settings.beginReadArray(kDevices);
    for (int i = 0; i < count; ++i) {
        settings.setArrayIndex(i);
        PairedDevice device{settings.value(QStringLiteral("Hash")).toByteArray(),
                            settings.value(QStringLiteral("Name")).toString(),
                            settings.value(QStringLiteral("PairedAt")).toDateTime()};
        // A damaged entry lets nobody in.
        if (IsHash(device.tokenHash))
            devices.push_back(device);
    }
    settings.endArray();
    return devices;
}

void RemoteSettings::SaveDevices(const std::vector<PairedDevice> &devices)
{
    QSettings settings;
    settings.remove(kDevices);
    settings.beginWriteArray(kDevices, static_cast<int>(devices.size()));
    for (int i = 0; i < static_cast<int>(devices.size()); ++i) {
        settings.setArrayIndex(i);
        settings.setValue(QStringLiteral("Hash"), devices[i].tokenHash);
        settings.setValue(QStringLiteral("Name"), devices[i].name);
        settings.setValue(QStringLiteral("PairedAt"), devices[i].pairedAt);
    }
    settings.endArray();
}

} // namespace orinsub::surfaces::web
