#pragma once

#include "CueList.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace orinsub::model {

class COrinSUBDoc;

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

/// The cues and the patch of doc, as they go to another console.
ExchangedShow ExchangedShowOf(const COrinSUBDoc &doc);
/// Replaces doc's cue list and patch with show's (dimmers show leaves out go to the spare
/// channel) and marks it modified. Returns what the show could not take, one line each.
QStringList ApplyExchangedShow(COrinSUBDoc &doc, const ExchangedShow &show);

} // namespace orinsub::model
