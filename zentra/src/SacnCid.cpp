#include "SacnCid.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <unistd.h>

namespace zentra::detail {
namespace {

constexpr char kHex[] = "0123456789abcdef";

std::string Format(const Cid &cid)
{
    std::string text;
    for (std::size_t i = 0; i < cid.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            text += '-';
        text += kHex[cid[i] >> 4];
        text += kHex[cid[i] & 0xF];
    }
    return text;
}

std::optional<Cid> Parse(const std::string &text)
{
    Cid cid{};
    std::size_t nibbles = 0;
    for (char c : text) {
        if (c == '-')
            continue;
        const char *digit =
            std::char_traits<char>::find(kHex, 16, static_cast<char>(std::tolower(c)));
        if (!digit || nibbles >= 32)
            return std::nullopt;
        cid[nibbles / 2] |= static_cast<uint8_t>((digit - kHex) << (nibbles % 2 ? 0 : 4));
        ++nibbles;
    }
    if (nibbles != 32 || cid == Cid{})
        return std::nullopt;
    return cid;
}

Cid RandomUuid()
{
    std::random_device random;
    Cid cid;
    for (auto &byte : cid)
        byte = static_cast<uint8_t>(random());
    cid[6] = (cid[6] & 0x0F) | 0x40; // version 4
    cid[8] = (cid[8] & 0x3F) | 0x80; // RFC 4122 variant
    return cid;
}

// Written to a temporary file and renamed, so that a crash never leaves half an id behind.
void Store(const std::filesystem::path &path, const Cid &cid)
{
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    const std::filesystem::path temporary =
        path.string() + ".tmp" + std::to_string(static_cast<long>(getpid()));
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << Format(cid) << '\n';
        if (!out.flush())
            return;
    }
    std::filesystem::rename(temporary, path, error);
    if (error)
        std::filesystem::remove(temporary, error);
}

} // namespace

std::filesystem::path SacnCidPath()
{
    const char *config = std::getenv("XDG_CONFIG_HOME");
    std::filesystem::path base;
    if (config && *config) {
        base = config;
    } else {
        const char *home = std::getenv("HOME");
        base = std::filesystem::path(home && *home ? home : "/tmp") / ".config";
    }
    return base / "OrinSUB" / "sacn-cid";
}

Cid InstallationCid(const std::filesystem::path &path)
{
    std::ifstream in(path);
    std::string text;
    if (in && std::getline(in, text)) {
        if (const auto cid = Parse(text))
            return *cid;
    }
    const Cid cid = RandomUuid();
    Store(path, cid);
    return cid;
}

} // namespace zentra::detail
