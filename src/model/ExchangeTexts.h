#pragma once

#include <QStringView>

// What reading a show exchanged with another console tells the operator.

namespace orinsub::model::texts {

inline constexpr QStringView kExchangeLine = u"%1 行目: %2"; // %1 line number, %2 what is wrong
inline constexpr QStringView kExchangeTooLarge = u"ファイルが大きすぎます（16 MB まで）。";
inline constexpr QStringView kExchangeLineTooLong = u"行が長すぎます。";
inline constexpr QStringView kExchangeNumber = u"「%1」は数として読めません。";
inline constexpr QStringView kExchangeLevel =
    u"レベル「%1」は読めません（0 から 100 か H00 から HFF）。";
inline constexpr QStringView kExchangeTime = u"時間「%1」は読めません（秒か 分:秒、59:59.9 まで）。";
inline constexpr QStringView kExchangeMissing = u"%1 に続く数がありません。"; // %1 the keyword
inline constexpr QStringView kExchangeUnpaired = u"チャンネルとレベルが組になっていません。";
inline constexpr QStringView kExchangeTwicePatched =
    u"調光器 %1 が二度パッチされています。"; // %1 the dimmer
inline constexpr QStringView kExchangeOutsideCue = u"%1 の前に Cue がありません。";

// What was left out, with how many times (%1) it came.
inline constexpr QStringView kLeftOutRecord = u"%2 の記録 %1 件（このコンソールにはありません）";
inline constexpr QStringView kLeftOutManufacturer = u"メーカー独自の記録 %1 件";
inline constexpr QStringView kLeftOutChannels = u"チャンネル 81 以上のレベル %1 件";
inline constexpr QStringView kLeftOutDimmers = u"調光器 513 以上のパッチ %1 件";
inline constexpr QStringView kLeftOutPatchChannels = u"チャンネル 81 以上へのパッチ %1 件";
inline constexpr QStringView kLeftOutCueNumbers =
    u"0.1 より細かい番号のキュー %1 件（レベルと時間も取り込みません）";
inline constexpr QStringView kLeftOutUpDelays = u"アップのディレイ %1 件";
inline constexpr QStringView kLeftOutProportional =
    u"100 % 未満の比例パッチ %1 件（100 % としてパッチしました）";

// The CSV sheets' headers, and what is wrong with a cue list read from CSV.
inline constexpr QStringView kCsvCueHeader = u"番号,ラベル,アップ,ダウン,ディレイ,フォロー";
inline constexpr QStringView kCsvPatchHeader = u"チャンネル,名前,調光器";
inline constexpr QStringView kCsvSubMasterHeader = u"ページ,番号,名前";
inline constexpr QStringView kCsvRow = u"%1 行目: %2"; // %1 row number, %2 what is wrong
inline constexpr QStringView kCsvHeader =
    u"見出しの行が違います。キューリストの CSV として書き出したものを読み込んでください。";
inline constexpr QStringView kCsvColumns = u"列が %1 個ありますが %2 個必要です。";
inline constexpr QStringView kCsvQuote = u"引用符 (\") が閉じていません。";
inline constexpr QStringView kCsvCueNumber = u"キュー番号「%1」は読めません。";
inline constexpr QStringView kCsvTime = u"%1「%2」は読めません。"; // %1 the column, %2 the text
inline constexpr QStringView kCsvLevel =
    u"チャンネル %1 のレベル「%2」は 0 から 255 の整数ではありません。";

} // namespace orinsub::model::texts
