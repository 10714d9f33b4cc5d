#pragma once

#include <cstdint>

namespace orinsub::controls {

/// A preset row's on-air state, which its lamp shows. The values are the lamp's colour indexes.
enum class RowState : int {
    OffAir = 1, ///< the row's crossfader handle is at 0: lamp green
    OnAir = 2,  ///< the handle is above 0: lamp red
};

/// The state of a row whose crossfader handle stands at level.
constexpr RowState RowStateAt(uint8_t level)
{
    return level > 0 ? RowState::OnAir : RowState::OffAir;
}

} // namespace orinsub::controls
