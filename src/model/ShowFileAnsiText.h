#pragma once

#include <QString>
#include <cstdint>
#include <span>

namespace orinsub::model {

/// Decodes an 8-bit show-file string from Windows code page 932, the ANSI code page of the
/// systems older shows come from, as Windows decodes it: the single bytes 0x80, 0xA0 and
/// 0xFD to 0xFF become U+0080, U+F8F0 and U+F8F1 to U+F8F3. Bytes that do not decode become
/// U+FFFD; never fails.
/// Thread-safe.
QString DecodeCodePage932(std::span<const uint8_t> bytes);

} // namespace orinsub::model
