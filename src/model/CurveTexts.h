#pragma once

#include <QStringView>

// The dimmer curves' names and what is wrong with a curve.

namespace orinsub::model::texts {

inline constexpr QStringView kCurveLinear = u"直線";
inline constexpr QStringView kCurveSquare = u"二乗";
inline constexpr QStringView kCurveHallA = u"JATET A";
inline constexpr QStringView kCurveHallB = u"JATET B";
inline constexpr QStringView kCurveSwitch = u"非調光";
inline constexpr QStringView kCurveUnknown = u"不明なカーブです。";
inline constexpr QStringView kCurveThreshold = u"非調光のしきい値は 1 から 100 % までです。";
inline constexpr QStringView kCurveLimit = u"上限は 0 から 100 % までです。";

} // namespace orinsub::model::texts
