#include "SubMaster.h"

#include <algorithm>

namespace orinsub::model {

bool CSubMaster::HasContent() const
{
    const auto end = m_levels.begin() + std::min<size_t>(m_levels.size(), kLevelsPerSubMaster);
    return std::any_of(m_levels.begin(), end, [](uint8_t v) { return v > 0; });
}

} // namespace orinsub::model
