#pragma once

#include "Chase.h"
#include "CueList.h"
#include "DimmerCurve.h"
#include "ShowLimits.h"

#include <array>
#include <bitset>
#include <cstdint>

namespace orinsub::model {

/// What a held flash button does: plays its sub-master at full on top of the desk, or alone,
/// holding the rows and the other sub-masters at 0 (solo).
enum class FlashMode : uint8_t { Flash = 0, Solo = 1 };

/// What a show holds beyond its channel and sub-master records. The show file keeps it in the
/// extension block, which is written only when something here differs from a new show, so a
/// show without additions stays byte for byte what it always was.
struct ShowExtension
{
    std::bitset<kConsoleChannels> independent; // bit n - 1: channel n ignores GM and blackout
    FlashMode flashMode = FlashMode::Flash;
    uint16_t fadeTime = kDefaultFadeTime; // the GO fade, tenths of a second
    CueList cues;
    ChaseList chases;
    std::array<DimmerCurve, kDimmers> curves{}; // dimmer d at d - 1

    /// The curve of dimmer 1..512; linear for any other number.
    DimmerCurve CurveOf(int dimmer) const
    {
        return dimmer >= 1 && dimmer <= kDimmers ? curves[dimmer - 1] : DimmerCurve{};
    }

    /// False for any number outside 1..80.
    bool IsIndependent(int channel) const
    {
        return channel >= 1 && channel <= kConsoleChannels && independent[channel - 1];
    }
    bool IsDefault() const { return *this == ShowExtension{}; }
    bool operator==(const ShowExtension &) const = default;
};

} // namespace orinsub::model
