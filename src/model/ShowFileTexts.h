#pragma once

#include <QStringView>

// What the show file tells the operator. %1 is the file's name unless said otherwise.

namespace orinsub::model::texts {

inline constexpr QStringView kWrongVersion =
    u"「%1」はこのコンソールのショーファイルではないか、バージョンが違います。";
inline constexpr QStringView kCorrupt =
    u"ショーファイル「%1」は壊れているか途中で切れているため、開けません（%2）。";
inline constexpr QStringView kUnreadable = u"ショーファイル「%1」を読み込めません（%2）。";
inline constexpr QStringView kUnwritable = u"ショーファイル「%1」を保存できませんでした（%2）。";
inline constexpr QStringView kOldFileKept = u"元のファイルは変更されていません。";

// Why a file cannot be read or written.
inline constexpr QStringView kNotFound = u"ファイルが見つかりません";
inline constexpr QStringView kNotAFile = u"通常のファイルではありません";
inline constexpr QStringView kNoPermission = u"アクセスの権限がありません";
inline constexpr QStringView kTooLarge = u"ショーファイルとしては大きすぎます";
// %1 the size the show would have, %2 the largest show file that opens, both in bytes.
inline constexpr QStringView kTooLargeToOpen =
    u"保存すると %1 バイトになり、開ける大きさの上限 %2 バイトを超えます";
inline constexpr QStringView kNoSpace = u"ディスクの空きが足りません";
inline constexpr QStringView kReadOnly = u"読み取り専用の場所です";
inline constexpr QStringView kNoFolder = u"保存先のフォルダがありません";
inline constexpr QStringView kIsFolder = u"同じ名前のフォルダがあります";
inline constexpr QStringView kIoError = u"入出力エラー: %1"; // %1 the system's own wording

// Where a show file breaks: %1 channel number 1..81, or %1 page and %2 sub-master number.
inline constexpr QStringView kAtHeader = u"見出し";
inline constexpr QStringView kAtChannelName = u"チャンネル %1 の名前";
inline constexpr QStringView kAtChannelDimmerCount = u"チャンネル %1 のディマー数";
inline constexpr QStringView kAtChannelDimmers = u"チャンネル %1 のディマー";
inline constexpr QStringView kAtSubMasterName = u"サブマスター %1-%2 の名前";
inline constexpr QStringView kAtSubMasterLevelCount = u"サブマスター %1-%2 のレベル数";
inline constexpr QStringView kAtSubMasterLevels = u"サブマスター %1-%2 のレベル";

// What is wrong there: %1 where (above), %2 a length or count from the file, %3 bytes left.
inline constexpr QStringView kEndsEarly = u"%1の途中でファイルが終わっています";
inline constexpr QStringView kBeyondEnd =
    u"%1に %2 個分のデータが必要ですが、ファイルの残りは %3 バイトしかありません";
// %1 the number of extra bytes.
inline constexpr QStringView kTrailingBytes =
    u"最後のサブマスターの後に余分なデータが %1 バイトあります";

} // namespace orinsub::model::texts
