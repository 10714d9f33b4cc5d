#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Pieces of a device string's argument, read strictly: no signs, spaces or leading junk.
namespace zentra::detail {

/// A decimal number within [lowest, highest]; nothing for anything else.
std::optional<uint32_t> ParseNumber(std::string_view text, uint32_t lowest, uint32_t highest);

/// A dotted IPv4 address in network byte order; nothing for anything else (no name look-ups:
/// they could hold up the link).
std::optional<uint32_t> ParseIpv4(std::string_view text);

/// True for 255.255.255.255 and for the broadcast address of a local network interface.
bool IsBroadcastAddress(uint32_t address);

/// An output universe and an optional input universe, written "OUT" or "OUT/IN".
struct UniversePair
{
    uint32_t output;
    std::optional<uint32_t> input;
};
std::optional<UniversePair> ParseUniverses(std::string_view text, uint32_t lowest,
                                           uint32_t highest);

/// The device id "NAME OUT/IN", or "NAME OUT" when there is no input or the pair does not fit
/// into an id.
std::u16string UniverseDeviceId(std::string_view name, const UniversePair &universes);

/// Printable ASCII as it is, anything else as '?'.
std::u16string Widen(std::string_view ascii);

} // namespace zentra::detail
