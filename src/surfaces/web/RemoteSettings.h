#pragma once

#include "PairingStore.h"

#include <QString>

#include <vector>

namespace orinsub::surfaces::web {

/// The remote's settings in the console's settings store, group [Remote]: whether it starts
/// with the console, where it listens, whether 127.0.0.1 asks for pairing too, and the paired
/// devices (their token hashes only) in [RemoteDevices].
struct RemoteSettings
{
    bool enabled = false;
    QString endpoint = QStringLiteral("127.0.0.1:8080");
    bool pairingAlways = false;
    /// Paired devices read at most: far more than any house pairs; a longer list is damaged.
    static constexpr int kMaxDevices = 256;

    bool operator==(const RemoteSettings &) const = default;
    /// These settings with what changed from before to after put in.
    RemoteSettings With(const RemoteSettings &before, const RemoteSettings &after) const
    {
        RemoteSettings changed = *this;
        if (after.enabled != before.enabled)
            changed.enabled = after.enabled;
        if (after.endpoint != before.endpoint)
            changed.endpoint = after.endpoint;
        if (after.pairingAlways != before.pairingAlways)
            changed.pairingAlways = after.pairingAlways;
        return changed;
    }

    static RemoteSettings Load();
    void Save() const;

    static std::vector<PairedDevice> LoadDevices();
    static void SaveDevices(const std::vector<PairedDevice> &devices);
};

} // namespace orinsub::surfaces::web
