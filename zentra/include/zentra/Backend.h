#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zentra {

/// Longest device id, without the terminator (the C API's buffers hold 16 characters).
inline constexpr std::size_t kMaxIdLength = 15;

/// One kind of DMX interface behind the C API: the simulation, a USB widget, a network node...
/// Enumerations and opens come from the link tick's thread. Calls on one handle never overlap
/// (the caller serialises them) but may come from different threads: the close at shutdown comes
/// from the user-interface thread. Write and Read must not allocate: they run every 20 ms.
class Backend
{
public:
    /// Opaque to the caller; null means no device.
    using Handle = void *;

    Backend() = default;
    virtual ~Backend() = default;
    Backend(const Backend &) = delete;
    Backend &operator=(const Backend &) = delete;

    /// Ids of the devices present now, each at most kMaxIdLength characters.
    virtual std::vector<std::u16string> EnumerateIds() = 0;
    /// Opens the device with this id; null when it did not open.
    virtual Handle Open(std::u16string_view id) = 0;
    /// Sends one frame (start code and slots), waiting at most timeout; true when sent.
    virtual bool Write(Handle device, std::span<const uint8_t> frame,
                       std::chrono::milliseconds timeout) = 0;
    /// Receives the latest frame into the buffer, waiting at most timeout; true when a frame was
    /// received. After a failure the buffer is as it was.
    virtual bool Read(Handle device, std::span<uint8_t> frame,
                      std::chrono::milliseconds timeout) = 0;
    /// Closes a handle from Open; it is not used again.
    virtual void Close(Handle device) = 0;
};

} // namespace zentra
