#pragma once

#include "dmx/OutputHealth.h"

#include <QString>

namespace orinsub::views {

// Texts of the console panes that the operator reads.

inline QString RowLetter(int row)
{
    return row == 0 ? QStringLiteral("A") : QStringLiteral("B");
}

/// The question before a whole row is hooked to the DMX input ("A" or "B" first).
inline QString RowMatchQuestion(int row)
{
    return RowLetter(row) +
           QStringLiteral("段のレベルをDMX入力のレベルに合わせます\nよろしいですか？");
}
inline QString RowMatchCaption(int row)
{
    return RowLetter(row) + QStringLiteral("段をすべて引っかけ");
}

inline const QString kSubMatchQuestion = QStringLiteral(
    "サブマスターのレベルをDMX入力チャンネル1～20のレベルに合わせます\nよろしいですか？");
inline const QString kSubMatchCaption = QStringLiteral("サブマスターをすべて引っかけ");

inline QString InterfaceStatus(const QString &deviceId)
{
    return QStringLiteral("Zentra : %1").arg(deviceId);
}
/// A running chase's speed on its sub-master's name box.
inline QString ChaseSpeedText(double bpm)
{
    return QStringLiteral("%1 BPM").arg(bpm, 0, 'f', 1);
}

inline const QString kNoInterfaceStatus = QStringLiteral("Zentra : 装置なし");
/// On the status line, in red, while frames do not reach the interface: why, with the device.
inline QString OutputLostStatus(dmx::OutputFault fault, const QString &deviceId)
{
    switch (fault) {
    case dmx::OutputFault::WriteFailed:
        return QStringLiteral("出力できません: %1 に送れません").arg(deviceId);
    case dmx::OutputFault::OpenFailed:
        return QStringLiteral("出力できません: %1 につながりません").arg(deviceId);
    default:
        return QStringLiteral("出力できません: 装置が見つかりません");
    }
}
/// On the status line while blackout holds the stage dark.
inline const QString kBlackoutStatus = QStringLiteral("ブラックアウト中");
/// On the status line while the desk is locked against the mouse.
inline const QString kLockedStatus = QStringLiteral("ロック中");
/// Beside GO while the cue list plays: the next cue's up and down times ("3.0", "1:30.0").
inline const QString kCueTimesShown = QStringLiteral("↑%1 ↓%2");
inline const QString kNoCueTimes = QStringLiteral("—");

inline const QString kInText = QStringLiteral("IN");
inline const QString kPageUpText = QStringLiteral("▲");
inline const QString kPageDownText = QStringLiteral("▼");
inline const QString kPageCaption = QStringLiteral("PAGE");

/// A channel's context menu item, checked while the grand master and blackout leave it alone.
inline const QString kIndependentItem = QStringLiteral("独立チャンネル");

} // namespace orinsub::views

namespace orinsub::views::cuetexts {

// Playing the cue list through the crossfader: what the cue readout tells the operator.
inline const QString kListEnd = QStringLiteral("最後のキューです。GO できません");
inline const QString kListStart = QStringLiteral("前のキューはありません");
inline const QString kListEmpty = QStringLiteral("キューがありません");
inline const QString kPlaybackOff = QStringLiteral("キュー再生がオフです");
/// A follow waiting to start the next cue: %1 the time left ("2.3 秒", "1:30.0").
inline const QString kFollowCountdown = QStringLiteral("フォロー %1");
/// What is left of a running fade: %1 the time ("2.3 秒", "1:30.0").
inline const QString kFadeRemaining = QStringLiteral("残り %1");
/// A hand stopped the cue's fade: %1 the cue.
inline const QString kFadeStopped =
    QStringLiteral("キュー %1 のフェードを止めました。GO で完了します");
/// The row a cue would be loaded into is on the stage: %1 its letter.
inline const QString kRowNotDown =
    QStringLiteral("%1段のクロスフェーダーが上がっています。GO かカットで完了してください");

} // namespace orinsub::views::cuetexts
