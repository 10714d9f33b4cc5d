#pragma once

#include <QStringView>

// What orinsub-show tells its user.

namespace orinsub::tools::texts {

inline constexpr QStringView kUsage =
    u"使い方: orinsub-show new FILE | dump FILE | build JSON FILE | check FILE | "
    u"export-csv FILE [cues|patch|submasters] | export-ascii FILE | import-csv CSV FILE | "
    u"import-ascii ASCII FILE";
// The manual pages (docs/man/orinsub-show.1, orinsub-show.ja.1) describe every command here.
inline constexpr QStringView kHelp =
    u"使い方: orinsub-show COMMAND ...\n"
    u"ショーファイルをコンソールの外で作り、確かめ、JSON・CSV・USITT ASCII で読み書きします\n"
    u"\n"
    u"  new FILE         新しい空のショーを作る\n"
    u"  dump FILE        ショーを JSON で標準出力に書く\n"
    u"  build JSON FILE  JSON からショーを作る (ショーファイルと同じ厳しさで確かめる)\n"
    u"  check FILE       ショーを確かめる (開けるショーなら終了ステータス 0)\n"
    u"  export-csv FILE [cues|patch|submasters]\n"
    u"                   キューリスト・パッチ・サブマスターを CSV (BOM 付き UTF-8) "
    u"で標準出力に書く\n"
    u"  export-ascii FILE\n"
    u"                   キューとパッチを USITT ASCII で標準出力に書く\n"
    u"  import-csv CSV FILE\n"
    u"                   CSV のキューリストでショーのキューリストを置き換える "
    u"(ショーがなければ作る)\n"
    u"  import-ascii ASCII FILE\n"
    u"                   USITT ASCII "
    u"のキューとパッチでショーのものを置き換え、取り込まなかったものを示す\n"
    u"  -h, --help       この説明を表示して終了\n"
    u"  --version        バージョンを表示して終了\n"
    u"\n"
    u"誤りがあればファイルと理由を 1 行で示し、終了ステータス 1 で何も書きません。\n";
inline constexpr QStringView kUnknownCommand = u"不明なコマンド「%1」です。";
inline constexpr QStringView kJsonFile = u"JSON ファイル「%1」: %2"; // %1 file, %2 what is wrong
inline constexpr QStringView kStdoutFailed = u"標準出力に書き込めません";
inline constexpr QStringView kUnknownSheet =
    u"不明な表「%1」です（cues、patch、submasters のどれか）。";
inline constexpr QStringView kImportFile = u"ファイル「%1」: %2"; // %1 file, %2 what is wrong
inline constexpr QStringView kImported = u"キュー %1 個を取り込みました。\n";
inline constexpr QStringView kLeftOutLine = u"取り込まなかったもの: %1\n";

// Reading the JSON file (the JSON itself: model/JsonTexts.h).
inline constexpr QStringView kJsonUnreadable = u"読み込めません（%1）";
inline constexpr QStringView kJsonTooLarge = u"ショーの JSON としては大きすぎます";

// Checking the show in the JSON: %1 is where (channels[3].name), the rest as noted.
inline constexpr QStringView kNeedObject = u"%1: オブジェクトが必要です";
inline constexpr QStringView kNeedArray = u"%1: 配列が必要です";
inline constexpr QStringView kNeedString = u"%1: 文字列が必要です";
inline constexpr QStringView kNeedIntegerIn = u"%1: %2 から %3 までの整数が必要です";
// %2 the longest time in tenths (35999), %3 as the console writes it (59:59.9).
inline constexpr QStringView kNeedTime =
    u"%1: 0 から %2 までの整数（0.1 秒単位）か、「90」「1:30」「1:30.5」の形で %3 "
    u"までの時間の文字列が必要です";
inline constexpr QStringView kNeedValue = u"%1: %2 でなければなりません";
inline constexpr QStringView kNeedCount = u"%1: %2 件必要ですが %3 件あります";
inline constexpr QStringView kMissingKey = u"%1: 項目「%2」がありません";
inline constexpr QStringView kUnknownKey = u"%1: 不明な項目「%2」があります";
inline constexpr QStringView kTwice = u"%1: %2 が二度あります";
inline constexpr QStringView kNeedEither = u"%1: 「%2」か「%3」でなければなりません";
inline constexpr QStringView kRoot = u"全体";
inline constexpr QStringView kRefused = u"%1: %2"; // %2 what the cue or chase list says
inline constexpr QStringView kNeedBool = u"%1: true か false が必要です";
inline constexpr QStringView kNeedOneOf = u"%1: %2のどれかでなければなりません"; // %2 「a」「b」…
inline constexpr QStringView kNeedAtMost = u"%1: %2 件までですが %3 件あります";

} // namespace orinsub::tools::texts
