#pragma once

#include "model/OneLine.h"

#include <QString>
#include <QStringList>

namespace orinsub::surfaces::midi {

// Texts of the MIDI surfaces that the operator reads.

using model::OneLine;

inline QString MidiStatus(const QString &port)
{
    return QStringLiteral("MIDI : %1").arg(port);
}
inline const QString kNoMidiStatus = QStringLiteral("MIDI : 装置なし");
inline QString MidiServerStopped(const QString &server)
{
    return QStringLiteral("MIDI : %1 停止中").arg(server);
}

inline QString MappingFileError(const QString &file, const QString &what)
{
    return QStringLiteral("MIDI 対応表 %1: %2").arg(OneLine(file), what);
}
inline QString MappingEntryError(int entry, const QString &what)
{
    return QStringLiteral("controls の %1 番目: %2").arg(entry).arg(what);
}
inline const QString kMappingUnreadable = QStringLiteral("読めません (%1)");
inline QString MappingTooLarge(qint64 maxBytes)
{
    return QStringLiteral("大きすぎます (%1 MB まで)").arg(maxBytes / (1024 * 1024));
}
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
/// prefixes: each system's ("alsa", "jack").
inline QString DeviceBadForm(const QStringList &prefixes)
{
    QStringList forms;
    for (const QString &prefix : prefixes)
        forms << prefix + QStringLiteral(":名前");
    return forms.join(QStringLiteral(" か ")) + QStringLiteral(" の形で指定してください");
}

} // namespace orinsub::surfaces::midi
