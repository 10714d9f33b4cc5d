#pragma once

#include <QString>

namespace orinsub::surfaces::web {

// Texts of the web remote that the operator reads, at the console and on the device.

inline const QString kNotFoundText = QStringLiteral("ページがありません");
inline const QString kBadRequestText = QStringLiteral("要求を読めません");
inline const QString kForeignHostText = QStringLiteral("この卓のアドレスではありません");
inline const QString kForeignOriginText = QStringLiteral("ほかのサイトからは操作できません");
inline const QString kNotWebSocketText = QStringLiteral("WebSocket の要求ではありません");
inline const QString kNotPairedText = QStringLiteral("ペアリングされていない端末です");
inline const QString kPairingClosedText = QStringLiteral("卓でペアリングが開始されていません");
inline const QString kBusyText = QStringLiteral("接続できる端末の数を超えています");
inline const QString kUnknownDeviceText = QStringLiteral("不明な端末");

// Serving the remote.
inline QString RemoteListenFailed(const QString &where, const QString &why)
{
    return QStringLiteral("Webリモートを %1 で開始できません: %2").arg(where, why);
}
inline QString RemoteAddressInvalid(const QString &text)
{
    return QStringLiteral("Webリモートのアドレスが正しくありません: %1").arg(text);
}

} // namespace orinsub::surfaces::web
