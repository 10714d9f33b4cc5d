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
inline constexpr QStringView kTooNew =
    u"ショーファイル「%1」には、このコンソールより新しいバージョンで保存された内容があります。"
    u"このバージョンで開くとその内容が失われるため、開けません。";

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

// What is wrong there: %1 where (above), %2 the bytes a length or count from the file asks for,
// %3 bytes left.
inline constexpr QStringView kEndsEarly = u"%1の途中でファイルが終わっています";
inline constexpr QStringView kBeyondEnd =
    u"%1に %2 バイトのデータが必要ですが、ファイルの残りは %3 バイトしかありません";
// %1 the number of extra bytes.
inline constexpr QStringView kTrailingBytes =
    u"最後のサブマスターの後に余分なデータが %1 バイトあります";

// The extension block after the last sub-master: where (for kEndsEarly and kBeyondEnd) and what.
inline constexpr QStringView kAtExtensionHeader = u"拡張ブロックの見出し";
inline constexpr QStringView kAtExtension = u"拡張ブロック";
inline constexpr QStringView kTrailingAfterExtension = // %1 the number of extra bytes
    u"拡張ブロックの後に余分なデータが %1 バイトあります";
inline constexpr QStringView kExtensionChecksum = u"拡張ブロックのチェックサムが合いません";
inline constexpr QStringView kExtensionBad = u"拡張ブロックの%1が正しくありません"; // %1 below
inline constexpr QStringView kExtensionTwice = u"拡張ブロックに%1が二つあります";   // %1 below
inline constexpr QStringView kOfVersion = u"バージョン";
inline constexpr QStringView kOfRecordFraming = u"記録の区切り";
inline constexpr QStringView kOfIndependentChannels = u"インディペンデントチャンネル";
inline constexpr QStringView kOfFlashMode = u"フラッシュボタンの動作";
inline constexpr QStringView kOfFadeTime = u"フェード時間";
inline constexpr QStringView kOfCueList = u"キューリスト";
inline constexpr QStringView kOfDimmerCurves = u"調光カーブ";
inline constexpr QStringView kOfChases = u"チェイス";

} // namespace orinsub::model::texts
