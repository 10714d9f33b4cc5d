#pragma once

#include <QString>
#include <cstdint>
#include <span>

namespace orinsub::model {

/// Decodes an 8-bit show-file string from Windows code page 932, the ANSI code page of the
/// systems older shows come from. Bytes that do not decode become U+FFFD; never fails.
/// Thread-safe.
QString DecodeCodePage932(std::span<const uint8_t> bytes);

} // namespace orinsub::model
