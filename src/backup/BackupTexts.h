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

// The command line's and the settings' values; %1 as given.
inline const QString kBadListenPoint = QStringLiteral(
    "バックアップを待つ場所は [アドレス:]ポート で指定します (例 7070, 0.0.0.0:7070): %1");
inline const QString kBadMainPoint =
    QStringLiteral("追従する本番機は ホスト:ポート で指定します (例 192.168.1.10:7070): %1");
inline const QString kBadSacnPriority =
    QStringLiteral("sACN の優先度は 1～200 の整数です: %1");
inline const QString kNoKey = QStringLiteral(
    "バックアップには鍵ファイルが要ります (--backup-key FILE、作り方は README)");
inline const QString kBothRoles = QStringLiteral(
    "--backup-port と --backup-of は同時に使えません (本番機か予備機のどちらか)");
inline const QString kCannotListen =
    QStringLiteral("バックアップを %1 で待てません: %2");

// What the status line and the error stream say of the link.
inline const QString kStatusStarting = QStringLiteral("バックアップ: 確認中");
inline const QString kStatusWaiting = QStringLiteral("バックアップ: 本番機を待っています");
inline const QString kStatusTracking = QStringLiteral("バックアップ: 追従中");
inline const QString kStatusLive = QStringLiteral("バックアップ: 本番中");
inline const QString kStatusRefusals = QStringLiteral("拒否 %1 件 (%2)");
inline const QString kAskGiveStage = QStringLiteral(
    "追従している卓に本番を渡し、この卓は追従に回ります。\n本番を渡しますか?");
inline const QString kNoTracker = QStringLiteral("この卓に追従している卓がありません。");
inline const QString kAskTakeStage = QStringLiteral(
    "この卓が本番を引き継ぎ、%1 は追従に回ります。\n本番を引き継ぎますか?");

} // namespace orinsub::backup
