#pragma once

#include "ShowExchange.h"

#include <QByteArray>

namespace orinsub::model {

/// The USITT ASCII show exchange format ("Ident 3:0"): plain lines of keywords and numbers that
/// most consoles read and write. Levels are written in hexadecimal (H00..HFF) so that every
/// byte comes back as it was; labels as UTF-8, on one line.
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
