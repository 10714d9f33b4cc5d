#pragma once

#include <array>
#include <cstdint>
#include <span>

// The serial protocol of "DMX USB Pro" widgets: messages framed as start byte 0x7E, label,
// data length (low byte first), data, end byte 0xE7.
namespace zentra::detail::usbpro {

inline constexpr uint8_t kStart = 0x7E;
inline constexpr uint8_t kEnd = 0xE7;
inline constexpr uint8_t kLabelReceivedDmx = 5; // widget to host: status byte, then the frame
inline constexpr uint8_t kLabelSendDmx = 6;     // host to widget: the frame to send
inline constexpr uint8_t kLabelReceiveMode = 8; // host to widget: 0 = report every frame
inline constexpr std::size_t kFraming = 5;      // start, label, two length bytes, end
/// Longer data than any message of the protocol carries: a length above it is noise.
inline constexpr std::size_t kMaxData = 600;

/// Frames data under label into out, which must hold data.size() + kFraming bytes; the size.
std::size_t Frame(uint8_t label, std::span<const uint8_t> data, std::span<uint8_t> out);

/// Takes the widget's byte stream in pieces of any size and hands out the whole messages in it,
/// skipping noise, torn messages and bytes lost in between. Never allocates.
class Reader
{
public:
    /// Free room for the next bytes; never empty.
    std::span<uint8_t> Space();
    /// count bytes were stored at the start of Space().
    void Added(std::size_t count);
    /// The next whole message: its label and data, valid until the next call to any member.
    bool Next(uint8_t &label, std::span<const uint8_t> &data);

private:
    void Compact();

    std::array<uint8_t, 2048> m_buffer{};
    std::size_t m_begin = 0;
    std::size_t m_end = 0;
};

} // namespace zentra::detail::usbpro
