#include "Crc32.h"

#include <array>

namespace orinsub::model {

namespace {

constexpr std::array<uint32_t, 256> MakeTable()
{
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit)
            c = c & 1 ? 0xEDB88320 ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}

constexpr std::array<uint32_t, 256> kTable = MakeTable();

} // namespace

Crc32 &Crc32::Add(std::span<const uint8_t> bytes)
{
    for (uint8_t byte : bytes)
        m_state = kTable[(m_state ^ byte) & 0xFF] ^ (m_state >> 8);
    return *this;
}

} // namespace orinsub::model
