#include "RemoteSettings.h"

#include "model/SettingsReader.h"

#include <QSettings>

namespace orinsub::surfaces::web {

namespace {

const QString kGroup = QStringLiteral("Remote");
const QString kDevices = QStringLiteral("RemoteDevices");

// "[IPv6 address]:port" is at most 55 characters.
constexpr qsizetype kMaxEndpointLength = 64;
constexpr qsizetype kHashLength = 64;

bool IsHash(const QByteArray &hash)
{
    return hash.size() == kHashLength && QByteArray::fromHex(hash).toHex() == hash;
}

} // namespace

RemoteSettings RemoteSettings::Load()
{
    QSettings settings;
    settings.beginGroup(kGroup);
    const model::SettingsReader read(settings);
    RemoteSettings loaded;
    loaded.enabled = read.Bool(QStringLiteral("Enabled"), loaded.enabled);
    loaded.endpoint = read.String(QStringLiteral("Endpoint"), kMaxEndpointLength, loaded.endpoint);
    loaded.pairingAlways = read.Bool(QStringLiteral("PairingAlways"), loaded.pairingAlways);
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
    const model::SettingsReader read(settings);
    std::vector<PairedDevice> devices;
    const int count = read.ArraySize(kDevices, kMaxDevices);
    settings.beginReadArray(kDevices);
    for (int i = 0; i < count; ++i) {
        settings.setArrayIndex(i);
        PairedDevice device{read.Bytes(QStringLiteral("Hash"), kHashLength),
                            read.String(QStringLiteral("Name"), PairingStore::kMaxDeviceName),
                            read.DateTime(QStringLiteral("PairedAt"))};
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
