#include "Crc32.h"

#include <QtEndian>
#include <array>

namespace orinsub::model {

namespace {

// Slicing by sixteen: table k gives the CRC of a byte followed by k zero bytes, so that sixteen
// bytes take sixteen independent lookups instead of a chain of sixteen.
using Tables = std::array<std::array<uint32_t, 256>, 16>;

constexpr Tables MakeTables()
{
    Tables tables{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit)
            c = c & 1 ? 0xEDB88320 ^ (c >> 1) : c >> 1;
        tables[0][i] = c;
    }
    for (uint32_t i = 0; i < 256; ++i) {
        for (size_t k = 1; k < tables.size(); ++k)
            tables[k][i] = (tables[k - 1][i] >> 8) ^ tables[0][tables[k - 1][i] & 0xFF];
    }
    return tables;
}

constexpr Tables kTables = MakeTables();

} // namespace

Crc32 &Crc32::Add(std::span<const uint8_t> bytes)
{
    const auto &t = kTables;
    uint32_t crc = m_state;
    const uint8_t *p = bytes.data();
    size_t left = bytes.size();
    for (; left >= 16; left -= 16, p += 16) {
        const uint32_t a = crc ^ qFromLittleEndian<uint32_t>(p);
        const uint32_t b = qFromLittleEndian<uint32_t>(p + 4);
        const uint32_t c = qFromLittleEndian<uint32_t>(p + 8);
        const uint32_t d = qFromLittleEndian<uint32_t>(p + 12);
        crc = t[15][a & 0xFF] ^ t[14][(a >> 8) & 0xFF] ^ t[13][(a >> 16) & 0xFF] ^ t[12][a >> 24] ^
              t[11][b & 0xFF] ^ t[10][(b >> 8) & 0xFF] ^ t[9][(b >> 16) & 0xFF] ^ t[8][b >> 24] ^
              t[7][c & 0xFF] ^ t[6][(c >> 8) & 0xFF] ^ t[5][(c >> 16) & 0xFF] ^ t[4][c >> 24] ^
              t[3][d & 0xFF] ^ t[2][(d >> 8) & 0xFF] ^ t[1][(d >> 16) & 0xFF] ^ t[0][d >> 24];
    }
    for (; left > 0; --left, ++p)
        crc = t[0][(crc ^ *p) & 0xFF] ^ (crc >> 8);
    m_state = crc;
    return *this;
}

} // namespace orinsub::model
