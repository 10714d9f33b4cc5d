#pragma once

#include <QStringView>

// What orinsub-show tells its user.

namespace orinsub::tools::texts {

inline constexpr QStringView kUsage =
    u"使い方: orinsub-show new FILE | dump FILE | build JSON FILE | check FILE";
// The manual pages (docs/man/orinsub-show.1, orinsub-show.ja.1) describe every command here.
inline constexpr QStringView kHelp =
    u"使い方: orinsub-show new FILE | dump FILE | build JSON FILE | check FILE\n"
    u"ショーファイルをコンソールの外で作り、確かめ、JSON で読み書きします\n"
    u"\n"
    u"  new FILE         新しい空のショーを作る\n"
    u"  dump FILE        ショーを JSON で標準出力に書く\n"
    u"  build JSON FILE  JSON からショーを作る (ショーファイルと同じ厳しさで確かめる)\n"
    u"  check FILE       ショーを確かめる (開けるショーなら終了ステータス 0)\n"
    u"  -h, --help       この説明を表示して終了\n"
    u"  --version        バージョンを表示して終了\n"
    u"\n"
    u"誤りがあればファイルと理由を 1 行で示し、終了ステータス 1 で何も書きません。\n";
inline constexpr QStringView kUnknownCommand = u"不明なコマンド「%1」です。";
inline constexpr QStringView kJsonFile = u"JSON ファイル「%1」: %2"; // %1 file, %2 what is wrong
inline constexpr QStringView kStdoutFailed = u"標準出力に書き込めません";

// Reading the JSON file (the JSON itself: model/JsonTexts.h).
inline constexpr QStringView kJsonUnreadable = u"読み込めません（%1）";
inline constexpr QStringView kJsonTooLarge = u"ショーの JSON としては大きすぎます";

// Checking the show in the JSON: %1 is where (channels[3].name), the rest as noted.
inline constexpr QStringView kNeedObject = u"%1: オブジェクトが必要です";
inline constexpr QStringView kNeedArray = u"%1: 配列が必要です";
inline constexpr QStringView kNeedString = u"%1: 文字列が必要です";
inline constexpr QStringView kNeedIntegerIn = u"%1: %2 から %3 までの整数が必要です";
inline constexpr QStringView kNeedValue = u"%1: %2 でなければなりません";
inline constexpr QStringView kNeedCount = u"%1: %2 件必要ですが %3 件あります";
inline constexpr QStringView kMissingKey = u"%1: 項目「%2」がありません";
inline constexpr QStringView kUnknownKey = u"%1: 不明な項目「%2」があります";
inline constexpr QStringView kTwice = u"%1: %2 が二度あります";
inline constexpr QStringView kNeedEither = u"%1: 「%2」か「%3」でなければなりません";
inline constexpr QStringView kRoot = u"全体";
inline constexpr QStringView kRefused = u"%1: %2"; // %2 what the cue or chase list says
inline constexpr QStringView kNeedBool = u"%1: true か false が必要です";
inline constexpr QStringView kNeedOneOf =
    u"%1: 「%2」「%3」「%4」「%5」のどれかでなければなりません";
inline constexpr QStringView kNeedAtMost = u"%1: %2 件までですが %3 件あります";

} // namespace orinsub::tools::texts
