#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace orinsub::fuzz {

// Both files carry a checksum that a mutated input almost never keeps. The first byte of an input
// chooses: 0 mod 4, the rest is the whole file as it is; otherwise the rest is the payload, put
// behind a header of this version with its length and checksum right, so that the fuzzer reaches
// the records themselves.

/// Reads any bytes as the desk's live state: a refused file says why; an accepted one has every
/// value in range, and encodes and decodes back to the same state. Returns what broke, or an
/// empty string.
std::string CheckLiveState(std::span<const uint8_t> bytes);

/// Reads any bytes as a show's extension block: a refused block hands out nothing and a damaged
/// one says why; an accepted one holds only cues the cue list would take, in ascending order, and
/// encodes and decodes back to the same additions.
std::string CheckExtensionBlock(std::span<const uint8_t> bytes);

/// Reads any bytes as a USITT ASCII file: a refused file says why and hands out nothing; an
/// accepted one holds only cues the cue list would take, and writes and reads back the same.
std::string CheckUsittAscii(std::span<const uint8_t> bytes);

} // namespace orinsub::fuzz
