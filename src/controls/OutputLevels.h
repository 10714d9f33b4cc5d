#pragma once

#include <cstdint>

namespace orinsub::controls {

/// The output levels as the preset pane's readouts show them, for copies from the output strip.
class OutputLevels
{
public:
    virtual ~OutputLevels() = default;
    /// Readout index 0..79; 0 for an index past the readouts.
    virtual uint8_t GetOutputDisplayLevel(int index) const = 0;
};

} // namespace orinsub::controls
