#pragma once

#include <QStringView>

// What the strict JSON reader says of a text that is not the JSON it takes.

namespace orinsub::model::texts {

inline constexpr QStringView kNotUtf8 = u"UTF-8 として読めない文字があります";
inline constexpr QStringView kAtLineColumn = u"行 %1、列 %2: %3";
inline constexpr QStringView kTrailingText = u"JSON の後に余分な文字があります";
inline constexpr QStringView kTooDeep = u"入れ子が深すぎます";
inline constexpr QStringView kExpectedKey = u"項目名（\"…\"）が必要です";
inline constexpr QStringView kDuplicateKey = u"項目「%1」が二度あります";
inline constexpr QStringView kExpectedChar = u"「%1」が必要です";
inline constexpr QStringView kExpectedEither = u"「%1」か「%2」が必要です";
inline constexpr QStringView kExpectedValue = u"値が必要です";
inline constexpr QStringView kUnterminatedString = u"文字列が閉じていません";
inline constexpr QStringView kControlInString =
    u"文字列に制御文字があります（\\n などで書いてください）";
inline constexpr QStringView kBadEscape = u"文字列のエスケープが正しくありません";
inline constexpr QStringView kBadNumber = u"数の書き方が正しくありません";
inline constexpr QStringView kNotInteger = u"数は整数で書いてください";
inline constexpr QStringView kNumberTooLarge = u"数が大きすぎます";

} // namespace orinsub::model::texts
