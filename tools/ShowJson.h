#pragma once

#include "model/ShowFileContent.h"

#include <QByteArray>
#include <QString>

namespace orinsub::model {
class COrinSUBDoc;
}

namespace orinsub::tools {

/// The show as UTF-8 JSON, one channel or sub-master per line so that version control shows
/// what changed: {"channels": [{"number", "name", "dimmers"} x 81, the spare channel as
/// number 81], "submasters": [{"page", "number", "name", "levels"} x 400], "independent":
/// [channel numbers], "flashmode": "flash" or "solo", "fadetime": a time, "cues": [{"number",
/// "label", "up", "down", "delay", "follow", "look"} one per line], "chases": [{"number",
/// "name", "steptime", "crossfade", "direction", "restart", "submaster", "steps"} on a line,
/// then one step's 80 levels per line]}, cue numbers in tenths, times as numbers of tenths
/// below a minute (25 is 2.5 s) and as the console's text from a minute on ("10:00.0"), follow
/// null for none, look the 80 channel levels, a chase's step time in ms, crossfade in percent
/// of the step, direction "forward", "backward", "bounce" or "random", submaster null or
/// [page, number]. Lists exactly as stored; characters a JSON text cannot carry raw (lone
/// surrogates) are written as \u escapes.
QByteArray ShowToJson(const model::COrinSUBDoc &doc);

struct ShowFromJsonResult
{
    model::ShowFileContent content; // complete when error is empty
    QString error;                  // "where: what", in Japanese
};

/// Reads a show from JSON in the shape ShowToJson writes, checked as strictly as a show file:
/// every key present and no other, 81 channels numbered 1..81 in order, 400 sub-masters in page
/// and number order, dimmers 32-bit signed integers, levels 0..255, lists of any length.
/// "independent" (channels 1..80, each once), "flashmode", "fadetime" and "cues" may be left
/// out, as in JSON from before they existed: they then keep a new show's values. A time is a
/// number of tenths 0..35999 or a text as the console takes it typed, up to 59:59.9 ("90" is
/// 90 s, "1:30", "1:30.5"). Cues may come in any order, each number once, at most 999, with
/// numbers 10..9999, follow null or a time and labels of at most 255 characters. "chases" may
/// be left out too; chases may come in any order, each number (1..99) once, each sub-master
/// holding one at most, with the limits of the chase list (model/Chase.h), at most 99 steps of
/// exactly 80 levels.
ShowFromJsonResult ShowFromJson(const QByteArray &utf8);

} // namespace orinsub::tools
