#pragma once

#include <cstdint>
#include <span>

namespace orinsub::model {

/// CRC-32 as zip and PNG compute it (reflected polynomial 0xEDB88320, initial value and final
/// XOR 0xFFFFFFFF), fed in pieces: Crc32().Add(a).Add(b).Value() is the CRC of a then b.
class Crc32
{
public:
    Crc32 &Add(std::span<const uint8_t> bytes);
    uint32_t Value() const { return ~m_state; }

private:
    uint32_t m_state = 0xFFFFFFFF;
};

} // namespace orinsub::model
