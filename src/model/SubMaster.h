#pragma once

#include "ShowLimits.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace orinsub::model {

/// A stored look: one level per channel (index = channel number - 1) and a name.
class CSubMaster
{
public:
    CSubMaster() : m_levels(kLevelsPerSubMaster, 0) {}

    /// Level for channel index i; entries past the end of a shortened table read as 0.
    uint8_t LevelAt(int i) const
    {
        return i >= 0 && i < static_cast<int>(m_levels.size()) ? m_levels[i] : 0;
    }
    /// True when any of the first 512 levels is above 0.
    bool HasContent() const;

    std::vector<uint8_t> m_levels; // 512 entries unless a loaded show gave another length
    QString m_name;
};

} // namespace orinsub::model
