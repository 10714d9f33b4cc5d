#pragma once

#include "CueList.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace orinsub::model {

/// One dimmer of the patch as the exchange format carries it: the channel it follows and its
/// proportional level (percent of full the dimmer reaches at the channel's full).
struct PatchedDimmer
{
    int dimmer = 1;  // 1..kDimmers
    int channel = 1; // 1..kConsoleChannels
    int percent = 100;

    bool operator==(const PatchedDimmer &) const = default;
};

/// What a show exchanges with other consoles: its cues and its patch (dimmers in ascending
/// order, each once).
struct ExchangedShow
{
    CueList cues;
    std::vector<PatchedDimmer> patch;

    bool operator==(const ExchangedShow &) const = default;
};

/// Outcome of reading an exchange file. When error is empty, show holds what was read and
/// leftOut says, one line each in Japanese, what the file held that this console does not keep;
/// otherwise error names the line and what is wrong with it, and show is empty.
struct ExchangeRead
{
    QString error;
    ExchangedShow show;
    QStringList leftOut;

    bool IsOk() const { return error.isEmpty(); }
};

/// The USITT ASCII show exchange format ("Ident 3:0"): plain lines of keywords and numbers that
/// most consoles read and write. Levels are written in hexadecimal (H00..HFF) so that every
/// byte comes back as it was; labels as UTF-8.
class UsittAscii
{
public:
    /// Largest file read: far above a full show's cues and patch.
    static constexpr qsizetype kMaxFileSize = 16 * 1024 * 1024;

    static QByteArray Write(const ExchangedShow &show);
    /// Reads cues and patch. Comments, manufacturer records ($...) and records this console
    /// has no use for (groups, sub-masters, ...) are skipped and reported; levels of channels
    /// above 80, dimmers above 512 and cue numbers finer than a tenth are left out and reported.
    /// A record this console keeps that cannot be read refuses the whole file.
    static ExchangeRead Read(const QByteArray &bytes);
};

} // namespace orinsub::model
