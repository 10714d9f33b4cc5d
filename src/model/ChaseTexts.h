#pragma once

#include <QStringView>

// What the chase list tells the operator when an edit cannot be made.

namespace orinsub::model::texts {

inline constexpr QStringView kChaseNumberRange = u"チェイス番号は 1 から 99 までです。";
inline constexpr QStringView kChaseExists = u"チェイス %1 はすでにあります。"; // %1 the number
inline constexpr QStringView kChaseMissing = u"チェイス %1 はありません。";    // %1 the number
inline constexpr QStringView kChaseTooManySteps = u"チェイスのステップは 99 個までです。";
inline constexpr QStringView kChaseStepTimeRange =
    u"ステップの時間は 0.05 秒から 60 秒まで（1 から 1200 BPM）です。";
inline constexpr QStringView kChaseCrossfadeRange = u"クロスフェードは 0 から 100 % までです。";
inline constexpr QStringView kChaseDirectionUnknown = u"チェイスの方向が正しくありません。";
inline constexpr QStringView kChaseNameTooLong = u"チェイスの名前は 63 文字までです。";
inline constexpr QStringView kChaseNameBroken =
    u"チェイスの名前に文字として読めない部分か制御文字があります。";
inline constexpr QStringView kChasePlaceRange =
    u"割り付け先はページ 1 から 20、サブマスター 1 から 20 で指定してください。";
// %1 page, %2 sub-master number, %3 the chase already there.
inline constexpr QStringView kChasePlaceTaken =
    u"サブマスター %1-%2 にはチェイス %3 が割り付けられています。";

} // namespace orinsub::model::texts
