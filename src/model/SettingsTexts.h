#pragma once

#include <QStringView>

// What the console says on standard error about a value of the settings store it ignores.

namespace orinsub::model::texts {

// %1 the key ("Group/Key"), %2 the value as the file has it (shortened), %3 what it should be.
inline constexpr QStringView kSettingIgnored =
    u"orinsub: 設定 %1 の値「%2」は使えないため、既定の値を使います (%3)";
inline constexpr QStringView kSettingInt = u"%1～%2 の整数";
inline constexpr QStringView kSettingBool = u"true か false";
inline constexpr QStringView kSettingString = u"%1 文字までの文字列";
inline constexpr QStringView kSettingBytes = u"%1 バイトまでのデータ";
inline constexpr QStringView kSettingList = u"%1 文字までの文字列が %2 個まで";
inline constexpr QStringView kSettingDateTime = u"日時";
inline constexpr QStringView kSettingValueBytes = u"%1 バイトのデータ"; // how a binary value shows

} // namespace orinsub::model::texts
