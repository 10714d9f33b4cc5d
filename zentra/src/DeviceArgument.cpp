#include "DeviceArgument.h"

#include "zentra/Backend.h"

#include <arpa/inet.h>
#include <charconv>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

namespace zentra::detail {

std::optional<uint32_t> ParseNumber(std::string_view text, uint32_t lowest, uint32_t highest)
{
    if (text.empty() || text.size() > 10 || text.front() < '0' || text.front() > '9')
        return std::nullopt;
    uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < lowest ||
        value > highest)
        return std::nullopt;
    return value;
}

std::optional<uint32_t> ParseIpv4(std::string_view text)
{
    if (text.empty() || text.size() > 15)
        return std::nullopt;
    const std::string terminated(text);
    in_addr address{};
    if (inet_pton(AF_INET, terminated.c_str(), &address) != 1)
        return std::nullopt;
    return address.s_addr;
}

bool IsBroadcastAddress(uint32_t address)
{
    if (address == htonl(INADDR_BROADCAST))
        return true;
    ifaddrs *interfaces = nullptr;
    if (getifaddrs(&interfaces) != 0)
        return false;
    bool found = false;
    for (const ifaddrs *i = interfaces; i && !found; i = i->ifa_next) {
        if (i->ifa_addr && i->ifa_addr->sa_family == AF_INET && (i->ifa_flags & IFF_BROADCAST) &&
            i->ifa_broadaddr)
            found =
                reinterpret_cast<const sockaddr_in *>(i->ifa_broadaddr)->sin_addr.s_addr == address;
    }
    freeifaddrs(interfaces);
    return found;
}

std::optional<UniversePair> ParseUniverses(std::string_view text, uint32_t lowest, uint32_t highest)
{
    const std::size_t slash = text.find('/');
    const auto output = ParseNumber(text.substr(0, slash), lowest, highest);
    if (!output)
        return std::nullopt;
    if (slash == std::string_view::npos)
        return UniversePair{*output, std::nullopt};
    const auto input = ParseNumber(text.substr(slash + 1), lowest, highest);
    if (!input)
        return std::nullopt;
    return UniversePair{*output, *input};
}

std::u16string UniverseDeviceId(std::string_view name, const UniversePair &universes)
{
    std::string id = std::string(name) + " " + std::to_string(universes.output);
    if (universes.input) {
        const std::string pair = id + "/" + std::to_string(*universes.input);
        if (pair.size() <= kMaxIdLength)
            id = pair;
    }
    return Widen(id);
}

std::u16string Widen(std::string_view ascii)
{
    std::u16string wide;
    for (const char c : ascii)
        wide += c >= ' ' && c <= '~' ? static_cast<char16_t>(c) : u'?';
    return wide;
}

} // namespace zentra::detail
