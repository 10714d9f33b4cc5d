#pragma once

#include <array>
#include <cstdint>
#include <filesystem>

namespace zentra::detail {

using Cid = std::array<uint8_t, 16>;

/// Where the installation keeps its sACN source id: $XDG_CONFIG_HOME/OrinSUB/sacn-cid, or
/// ~/.config/OrinSUB/sacn-cid.
std::filesystem::path SacnCidPath();

/// The sACN source id of this installation, so that receivers see the same source after every
/// restart: read from path, or made up (a random UUID) and stored there. When the file cannot be
/// read or written, a new id serves this run only.
Cid InstallationCid(const std::filesystem::path &path);

} // namespace zentra::detail
