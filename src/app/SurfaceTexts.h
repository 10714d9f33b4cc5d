#pragma once

#include <QString>

namespace orinsub::app {

// Texts of the surfaces' settings dialogs that the operator reads.

inline const QString kSurfacesMenuItem = QStringLiteral("外部操作卓(&S)...");
inline const QString kSurfacesTitle = QStringLiteral("外部操作卓");
inline const QString kMidiPage = QStringLiteral("MIDI");
inline const QString kMidiDeviceLabel = QStringLiteral("MIDI 装置:");
inline const QString kNoMidiDevice = QStringLiteral("(なし)");
inline const QString kProfileLabel = QStringLiteral("プロファイル:");
inline const QString kGenericProfile = QStringLiteral("汎用");
inline const QString kMackieProfile = QStringLiteral("Mackie Control");
inline QString ReplaceControlsQuestion(const QString &profile)
{
    return QStringLiteral("いまの割り当てを %1 の割り当てに置き換えます\nよろしいですか？")
        .arg(profile);
}
inline const QString kMotorisedBox = QStringLiteral("モーター付きフェーダー");
inline const QString kControlsLabel = QStringLiteral("割り当て:");
inline const QString kMessageColumn = QStringLiteral("メッセージ");
inline const QString kChannelColumn = QStringLiteral("チャンネル");
inline const QString kNumberColumn = QStringLiteral("番号");
inline const QString kTargetColumn = QStringLiteral("操作先");
inline const QString kTouchSuffix = QStringLiteral(" (タッチ)");
inline const QString kRemoveButton = QStringLiteral("削除(&D)");
inline const QString kImportButton = QStringLiteral("読み込み(&I)...");
inline const QString kExportButton = QStringLiteral("書き出し(&E)...");
inline const QString kLearnTargetLabel = QStringLiteral("操作先:");
inline const QString kLearnButton = QStringLiteral("学習(&L)");
inline const QString kLearnHint = QStringLiteral(
    "操作卓のフェーダーやボタンを動かすか操作先を選び、装置の操作子を動かしてください");
inline const QString kLearnNeedsDevice = QStringLiteral("学習には装置の接続が必要です");
inline QString LearnedText(const QString &message, const QString &target)
{
    return QStringLiteral("%1 を %2 に割り当てました").arg(message, target);
}
inline const QString kLearnNoTarget = QStringLiteral("操作先 \"%1\" はありません");
inline const QString kMappingFilter = QStringLiteral("MIDI 対応表 (*.json)");
inline const QString kImportTitle = QStringLiteral("MIDI 対応表を読み込む");
inline const QString kExportTitle = QStringLiteral("MIDI 対応表を書き出す");

// The web remote: its pairing code box and its settings.
inline const QString kPairingCaption = QStringLiteral("ペアリングコード");
inline const QString kPairingPrompt = QStringLiteral("端末にこのコードを入力してください");
inline QString PairingSecondsLeft(int seconds)
{
    return QStringLiteral("残り %1 秒").arg(seconds);
}
inline const QString kRemoteSettingsCaption = QStringLiteral("Webリモート");
inline const QString kRemoteEnabledText = QStringLiteral("Webリモートを使う(&W)");
inline const QString kRemoteAddressText = QStringLiteral("アドレス(&A):");
inline const QString kRemotePairingAlwaysText =
    QStringLiteral("127.0.0.1 でもペアリングを求める(&R)");
inline const QString kPairedDevicesText = QStringLiteral("ペアリングした端末:");
inline const QString kForgetDeviceText = QStringLiteral("端末を削除(&D)");
inline const QString kOpenPairingText = QStringLiteral("ペアリングを開始(&P)");

} // namespace orinsub::app
