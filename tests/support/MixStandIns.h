#pragma once

#include "model/MixInputs.h"

namespace orinsub::testing {

/// The preset pane as the mix reads it: levels set by the test.
class FakeRows : public model::RowLevelSource
{
public:
    uint8_t GetRowLevel(int row, int channel) const override
    {
        return (row == 0 || row == 1) && channel >= 1 && channel <= 80 ? levels[row][channel - 1]
                                                                       : 0;
    }
    uint8_t levels[2][80] = {};
};

/// The master pane as the mix reads it: row A on air, the sub faders at 0 until the test raises
/// them (the test binds them to their sub-masters).
class FakeMaster : public model::MasterLevelSource
{
public:
    uint8_t GetCrossfaderLevel(int handle) const override
    {
        return handle == 0 ? xa : handle == 1 ? xb : 0;
    }
    int GetSubFaderCount() const override { return 20; }
    model::SubFaderReading GetSubFaderReading(int index) const override { return subs[index]; }
    uint8_t GetGrandMaster() const override { return gm; }
    bool IsBlackout() const override { return blackout; }
    uint8_t xa = 255, xb = 0;
    model::SubFaderReading subs[20] = {};
    uint8_t gm = 255;
    bool blackout = false;
};

} // namespace orinsub::testing
