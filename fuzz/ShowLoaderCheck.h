#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace orinsub::fuzz {

/// Reads any bytes as a show file and checks what must hold for every input: a rejected file
/// hands out nothing, not even the additions of its extension block; an accepted one is
/// complete, and once applied to a document and saved it reads back to the same show, additions
/// included. Returns what broke, or an empty string.
std::string CheckShowLoader(std::span<const uint8_t> bytes);

} // namespace orinsub::fuzz
