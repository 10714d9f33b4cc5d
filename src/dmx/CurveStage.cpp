#include "CurveStage.h"

namespace orinsub::dmx {

CurveStage::CurveStage()
{
    for (auto &table : m_tables) {
        for (int level = 0; level < 256; ++level)
            table[level].store(static_cast<uint8_t>(level), std::memory_order_relaxed);
    }
}

void CurveStage::SetTable(int slot, std::span<const uint8_t, 256> table)
{
    if (slot < 1 || slot > kSlots)
        return;
    for (int level = 0; level < 256; ++level)
        m_tables[slot - 1][level].store(table[level], std::memory_order_relaxed);
}

void CurveStage::Apply(std::span<uint8_t, kSlots + 1> frame) const
{
    for (int slot = 1; slot <= kSlots; ++slot)
        frame[slot] = m_tables[slot - 1][frame[slot]].load(std::memory_order_relaxed);
}

} // namespace orinsub::dmx
