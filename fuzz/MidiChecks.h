#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace orinsub::fuzz {

/// Decodes any bytes as a surface's MIDI stream, at once and byte by byte, and checks what must
/// hold for every input: both give the same messages, every field in its range, and each
/// message encodes and decodes back to itself. Returns what broke, or an empty string.
std::string CheckMidiDecoder(std::span<const uint8_t> bytes);

/// Reads any bytes as a MIDI mapping file: a refused file says why in one line; an accepted one
/// has every control in range, no two that one stream cannot tell apart, and writes out and
/// reads back unchanged.
std::string CheckMidiMapping(std::span<const uint8_t> bytes);

} // namespace orinsub::fuzz
