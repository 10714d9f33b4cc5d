#pragma once

#include <cstdint>

namespace orinsub::model {

/// A level as the operator reads it everywhere, on the desk and on paper: percent of full,
/// truncated, so that only 255 reads 100.
inline int LevelPercent(uint8_t level)
{
    return level * 100 / 255;
}

} // namespace orinsub::model
