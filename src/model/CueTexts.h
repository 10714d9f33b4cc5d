#pragma once

#include <QStringView>

// What the cue list tells the operator when an edit cannot be made. Cue numbers are given as
// the operator reads them ("1.5").

namespace orinsub::model::texts {

inline constexpr QStringView kCueNumberRange =
    u"キュー番号は 1 から 999.9 まで（小数点以下 1 桁）で指定してください。";
inline constexpr QStringView kCueExists = u"キュー %1 はすでにあります。"; // %1 the number
inline constexpr QStringView kCueMissing = u"キュー %1 はありません。";    // %1 the number
inline constexpr QStringView kCueListFull =
    u"キューリストがいっぱいです（999 キューまで）。キューを削除してから記録してください。";
// %1 which time (below, or the dialog's own).
inline constexpr QStringView kTimeRange = u"%1は 0 から 59:59.9 まで（0.1 秒単位）です。"
                                          u"「90」「1:30」「1:30.5」のように入力してください。";
inline constexpr QStringView kOfUpTime = u"アップタイム";
inline constexpr QStringView kOfDownTime = u"ダウンタイム";
inline constexpr QStringView kOfDelay = u"ディレイ";
inline constexpr QStringView kCueFollowRange =
    u"フォローは 0 から 59:59.9 まで（0.1 秒単位）か、空欄（フォローなし）です。"
    u"「90」「1:30」「1:30.5」のように入力してください。";
// A time of seconds alone, as a readout shows it; %1 the seconds ("3.0").
inline constexpr QStringView kSecondsShown = u"%1 秒";
inline constexpr QStringView kCueLabelTooLong = u"ラベルは 255 文字までです。";
// A label cut inside a character (a lone UTF-16 surrogate) could not be shown or saved as text.
inline constexpr QStringView kCueLabelBroken = u"ラベルに文字として読めない部分があります。";
// %1 and %2 the neighbours' numbers.
inline constexpr QStringView kNoNumberBetween =
    u"キュー %1 と %2 の間に入る番号がありません。番号を振り直してから挿入してください。";
inline constexpr QStringView kNoNumberAfter = u"キュー %1 の後に入る番号がありません。";

} // namespace orinsub::model::texts
