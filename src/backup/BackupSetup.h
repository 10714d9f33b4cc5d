#pragma once

#include "BackupWire.h"

#include <QHostAddress>
#include <QString>
#include <cstdint>
#include <optional>

namespace orinsub::backup {

/// Where a main console listens for its backups: "[ADDRESS:]PORT", 127.0.0.1 when no address
/// is given, so that a console reaches beyond its own machine only when told to.
struct ListenPoint
{
    QHostAddress address;
    quint16 port = 0;
    static std::optional<ListenPoint> Parse(const QString &text, QString &error);
};

/// The main a backup follows: "HOST:PORT", the host a name or an address.
struct MainPoint
{
    QString host;
    quint16 port = 0;
    static std::optional<MainPoint> Parse(const QString &text, QString &error);
    QString ToString() const { return QStringLiteral("%1:%2").arg(host).arg(port); }
};

/// What the console's output does in a role: a console that tracks never fights its live peer
/// for the receivers. On an interface with priority (sACN) it sends the live peer's look below
/// the peer's priority (the peer's less 10 unless its own is set); on any other it sends
/// nothing. Before it knows whether a peer is live it sends nothing either.
struct OutputPlan
{
    bool silent = false;
    uint8_t priority = kDefaultPriority;
    bool peerLook = false; // sends the live peer's look instead of its own desk's

    static constexpr uint8_t kDefaultPriority = 100;
    static constexpr uint8_t kBelowLivePeer = 10;

    /// own: the priority set for this console (none: the default, or below the peer).
    static OutputPlan For(Role role, bool prioritisedInterface, std::optional<uint8_t> own,
                          uint8_t livePeerPriority);
    bool operator==(const OutputPlan &) const = default;
};

} // namespace orinsub::backup
