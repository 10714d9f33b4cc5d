#pragma once

#include "CueList.h"

#include <QByteArray>
#include <QString>

namespace orinsub::model {

class COrinSUBDoc;

/// Outcome of reading a cue list from CSV: cues when error is empty; otherwise error names the
/// row and what is wrong with it, in Japanese, and cues is empty.
struct CsvCueRead
{
    QString error;
    CueList cues;

    bool IsOk() const { return error.isEmpty(); }
};

/// The show as spreadsheets read it: UTF-8 with a byte-order mark (so that a spreadsheet takes
/// the Japanese as Japanese), a header row, a row per cue, channel or sub-master, levels 0..255
/// as the show holds them.
class ShowCsv
{
public:
    /// Largest cue list file read: far above 999 cues.
    static constexpr qsizetype kMaxFileSize = 16 * 1024 * 1024;

    /// 番号, ラベル, アップ, ダウン, ディレイ, フォロー (empty: none), then channels 1..80.
    static QByteArray Cues(const CueList &cues);
    /// チャンネル, 名前, 調光器 (the dimmers separated by spaces), for channels 1..80.
    static QByteArray Patch(const COrinSUBDoc &doc);
    /// ページ, 番号, 名前, then channels 1..80, for every sub-master that has a name or a level.
    static QByteArray SubMasters(const COrinSUBDoc &doc);
    /// Reads what Cues writes, checking every row as the cue list does.
    static CsvCueRead ReadCues(const QByteArray &bytes);
};

} // namespace orinsub::model
