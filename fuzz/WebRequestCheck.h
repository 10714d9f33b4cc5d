#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace orinsub::fuzz {

/// Reads any bytes as what the remote's network side meets: an HTTP request (read, then routed
/// with pairing asked and not asked), a WebSocket frame and a message. Checks what must hold for
/// every input: a request is either refused with an error status or read within its limits;
/// every answer is one well-formed response; no request opens pairing or pairs a device by
/// itself; the WebSocket door opens only for the page's own origin, with a proper handshake and,
/// with pairing asked, a paired device; a frame is read only when masked, within its bytes and
/// its limit, a control frame whole and short; an accepted message names a target the page has
/// and a level 0..255. Returns what broke, or an empty string.
std::string CheckWebRequest(std::span<const uint8_t> bytes);

} // namespace orinsub::fuzz
