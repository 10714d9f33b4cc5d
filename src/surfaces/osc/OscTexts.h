#pragma once

#include "OscServer.h"

#include <QString>

#include <cerrno>

namespace orinsub::surfaces::osc {

// Texts of the OSC surface that the operator reads.

inline QString BadEndpointText(const QString &text)
{
    return QStringLiteral("OSC のアドレスが読めません: %1 ([アドレス:]ポート、例 127.0.0.1:8000)")
        .arg(text);
}
inline QString BadReplyText(const QString &text)
{
    return QStringLiteral("OSC の返信先が読めません: %1 (アドレス:ポート、例 127.0.0.1:9000)")
        .arg(text);
}
inline QString ListenFailedText(const QString &endpoint, const QString &reason)
{
    return QStringLiteral("OSC を %1 で受信できません: %2\nOSC なしで続けます。")
        .arg(endpoint, reason);
}
/// Why a socket could not be bound, in the operator's words where the reason is a usual one.
inline QString SocketErrorText(int error, const char *systemText)
{
    switch (error) {
    case EADDRINUSE:
        return QStringLiteral("ポートはほかのプログラムが使っています");
    case EADDRNOTAVAIL:
        return QStringLiteral("このアドレスはこのコンピューターにありません");
    case EACCES:
        return QStringLiteral("このポートを使う権限がありません");
    default:
        return QString::fromLocal8Bit(systemText);
    }
}
/// What OSC brought in while the console ran, said when it closes.
inline QString OscSummaryText(const OscCounters &counted)
{
    const OscTally &ignored = counted.ignored;
    return QStringLiteral("OSC: 受信 %1 パケット、無視 %2 (OSC でない %3、知らないアドレス %4、"
                          "引数の合わない %5)、取りこぼし %6")
        .arg(counted.packets)
        .arg(ignored.malformed + ignored.unknownAddress + ignored.wrongType)
        .arg(ignored.malformed)
        .arg(ignored.unknownAddress)
        .arg(ignored.wrongType)
        .arg(counted.overflowed);
}
inline const QString kOscCaption = QStringLiteral("OSC");

} // namespace orinsub::surfaces::osc
