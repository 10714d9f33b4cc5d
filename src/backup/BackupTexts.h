#pragma once

#include <QString>

namespace orinsub::backup {

// What the backup link tells the operator.

// The key file: %1 its path.
inline const QString kKeyUnreadable =
    QStringLiteral("バックアップの鍵ファイルを読めません: %1 (%2)");
inline const QString kKeyTooOpen = QStringLiteral(
    "バックアップの鍵ファイル %1 は所有者以外も読めます。chmod 600 で所有者だけにしてください。");
inline const QString kKeyNotHex = QStringLiteral(
    "バックアップの鍵ファイル %1 は 16 進数の鍵ではありません (64 文字以上の 0-9a-f)。");
inline const QString kKeyTooShort = QStringLiteral(
    "バックアップの鍵ファイル %1 の鍵が短すぎます (32 バイト = 16 進数 64 文字以上)。");

// Why a message of the link was refused (counted, and shown with the count).
inline const QString kRefusedNotLink = QStringLiteral("バックアップの相手ではありません");
inline const QString kRefusedVersion = QStringLiteral("バージョンの違う OrinSUB です");
inline const QString kRefusedForged = QStringLiteral("鍵が合わないか、改ざんされています");
inline const QString kRefusedOrder = QStringLiteral("順番が違います (再送か入れ替え)");
inline const QString kRefusedTooLarge = QStringLiteral("大きすぎます");
inline const QString kRefusedUnexpected = QStringLiteral("今は受け取れない内容です");

} // namespace orinsub::backup
