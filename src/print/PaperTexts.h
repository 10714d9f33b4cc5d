#pragma once

#include <QStringView>

// What the printed sheets say: their titles, column heads and page furniture.

namespace orinsub::print::texts {

inline constexpr QStringView kCueSheet = u"キューシート";
inline constexpr QStringView kPatchSheet = u"パッチシート";
inline constexpr QStringView kSubMasterSheet = u"サブマスターシート";
inline constexpr QStringView kPageHead = u"%1 — %2"; // %1 the show, %2 the sheet
inline constexpr QStringView kPageNumber = u"%1 / %2 ページ";
inline constexpr QStringView kDateFormat = u"yyyy/MM/dd HH:mm";

inline constexpr QStringView kNumber = u"番号";
inline constexpr QStringView kLabel = u"ラベル";
inline constexpr QStringView kUp = u"アップ";
inline constexpr QStringView kDown = u"ダウン";
inline constexpr QStringView kDelay = u"ディレイ";
inline constexpr QStringView kFollow = u"フォロー";
inline constexpr QStringView kLevels = u"レベル (チャンネル 名前 %)";
inline constexpr QStringView kAllAtZero = u"すべて 0";

inline constexpr QStringView kChannel = u"チャンネル";
inline constexpr QStringView kIndependent = u"独立";
inline constexpr QStringView kName = u"名前";
inline constexpr QStringView kDimmers = u"調光器";
inline constexpr QStringView kUnpatched = u"未パッチ";
inline constexpr QStringView kNoDimmer = u"—";
inline constexpr QStringView kCurveLimit = u" 上限 %1 %"; // after a dimmer curve's name

inline constexpr QStringView kPage = u"PAGE";
inline constexpr QStringView kSubMasterNumber = u"No.";

inline constexpr QStringView kNoCues = u"キューはありません。";
inline constexpr QStringView kNoSubMasters = u"レベルか名前のあるサブマスターはありません。";

} // namespace orinsub::print::texts
