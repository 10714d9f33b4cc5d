#pragma once

#include <cstdint>

namespace orinsub::model {

/// What the preset console offers the output mix: the rows' fader levels.
class RowLevelSource
{
public:
    virtual ~RowLevelSource() = default;
    /// Level of row 0 (A) or 1 (B) for channel 1..80; 0 for any other channel or row.
    virtual uint8_t GetRowLevel(int row, int channel) const = 0;
};

/// One sub-master fader as the mix sees it: its level, the sub-master it plays and whether its
/// flash button is held.
struct SubFaderReading
{
    uint8_t level = 0;
    int page = 0;
    int number = 0;
    bool flashHeld = false;
};

/// What the master console offers the output mix: the crossfader, the sub-master faders with
/// their flash buttons, the grand master and blackout.
class MasterLevelSource
{
public:
    virtual ~MasterLevelSource() = default;
    /// Handle 0 (A) or 1 (B); 0 for any other handle.
    virtual uint8_t GetCrossfaderLevel(int handle) const = 0;
    virtual int GetSubFaderCount() const = 0;
    /// Sub fader index 0..count-1 in the console's order.
    virtual SubFaderReading GetSubFaderReading(int index) const = 0;
    /// 0..255; scales every channel that is not independent.
    virtual uint8_t GetGrandMaster() const = 0;
    /// True while blackout holds every channel that is not independent at 0.
    virtual bool IsBlackout() const = 0;
};

} // namespace orinsub::model
