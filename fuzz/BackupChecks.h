#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace orinsub::fuzz {

/// Feeds input to the listening end of a backup link as a peer would send it, and returns what
/// broke, or nothing. The first byte chooses: 0, the bytes as they are; otherwise a greeting and
/// messages sealed with the right key from the input's pieces, one byte of them then flipped
/// where the input says, so that the checks behind a valid seal are reached too.
std::string CheckBackupLink(std::span<const uint8_t> input);

} // namespace orinsub::fuzz
