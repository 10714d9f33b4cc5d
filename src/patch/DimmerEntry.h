#pragma once

#include <QStringView>
#include <cstdint>
#include <vector>

namespace orinsub::patch {

/// What the DIM box asks for.
struct DimmerEntry
{
    std::vector<int32_t> selection; // in typing order, each of 1..512 at most once
    int last = 0;                   // the last number typed; may lie outside 1..512
};

/// The leading decimal integer of text: leading blanks, an optional sign, then digits; 0 when
/// there are no digits. Saturates at the int limits instead of overflowing.
int LeadingInteger(QStringView text);

/// Turns the DIM box's text into dimmers. "," "/" and "+" separate entries; "." "~" and "-"
/// make a range, walked in either direction (5-1 gives 5, 4, 3, 2, 1). An entry with one side
/// missing or 0 is the other side alone. Numbers outside 1..512 and repeats are skipped. A range
/// only visits its part inside 1..512, so any input costs time linear in its length.
/// Pure: no document, no widgets.
DimmerEntry ParseDimmerEntry(QStringView text);

/// The channel index (0..80) that the CH box names: channels 1..80 are indices 0..79; anything
/// else (empty, 0, negative, junk, 81 or more) names the spare channel, 80.
int PatchTargetIndex(QStringView chText);

} // namespace orinsub::patch
