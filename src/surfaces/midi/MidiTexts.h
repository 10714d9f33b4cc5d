#pragma once

#include "model/OneLine.h"

#include <QString>

namespace orinsub::surfaces::midi {

// Texts of the MIDI surfaces that the operator reads.

using model::OneLine;

inline QString MidiStatus(const QString &port)
{
    return QStringLiteral("MIDI : %1").arg(port);
}
inline const QString kNoMidiStatus = QStringLiteral("MIDI : 装置なし");
inline const QString kJackStoppedStatus = QStringLiteral("MIDI : JACK 停止中");

inline QString MappingFileError(const QString &file, const QString &what)
{
    return QStringLiteral("MIDI 対応表 %1: %2").arg(OneLine(file), what);
}
inline QString MappingEntryError(int entry, const QString &what)
{
    return QStringLiteral("controls の %1 番目: %2").arg(entry).arg(what);
}
inline const QString kMappingUnreadable = QStringLiteral("読めません (%1)");
inline const QString kMappingTooLarge = QStringLiteral("大きすぎます (1 MB まで)");
inline const QString kMappingNotJson = QStringLiteral("JSON として読めません (%1)");
inline const QString kMappingNotObject = QStringLiteral("JSON のオブジェクトではありません");
inline const QString kMappingUnknownKey = QStringLiteral("知らないキー \"%1\" があります");
inline const QString kMappingBadProfile =
    QStringLiteral("profile は \"generic\" か \"mackie-control\" です");
inline const QString kMappingBadMotorised = QStringLiteral("motorised は true か false です");
inline const QString kMappingBadControls = QStringLiteral("controls は配列です");
inline const QString kMappingBadMessage =
    QStringLiteral("message は \"note\", \"cc\", \"cc14\", \"pitchbend\" のどれかです");
inline const QString kMappingBadChannel = QStringLiteral("channel は 1～16 の整数です");
inline const QString kMappingBadNumber = QStringLiteral("number は 0～%1 の整数です");
inline const QString kMappingNoNumber = QStringLiteral("pitchbend に number はありません");
inline const QString kMappingBadTarget = QStringLiteral("target \"%1\" という操作先はありません");
inline const QString kMappingDuplicate = QStringLiteral("%1 番目と同じメッセージです");
inline const QString kMappingSharedController = QStringLiteral(
    "%1 番目とコントローラー番号が重なります (cc14 は number と number+32 を使います)");
inline const QString kMappingUnwritable = QStringLiteral("書き込めません (%1)");

inline QString DeviceError(const QString &device, const QString &what)
{
    return QStringLiteral("MIDI 装置 \"%1\": %2").arg(OneLine(device), what);
}
inline const QString kDeviceBadForm =
    QStringLiteral("alsa:名前 か jack:名前 の形で指定してください");
inline const QString kDeviceNoApi = QStringLiteral("この環境では %1 を使えません");

} // namespace orinsub::surfaces::midi
