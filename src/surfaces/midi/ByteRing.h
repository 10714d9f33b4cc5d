#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace orinsub::surfaces::midi {

/// A fixed ring of bytes between one writing thread and one reading thread: no lock, no
/// allocation and no system call after construction, so a real-time thread may use either
/// end. Bytes are written whole or not at all.
class ByteRing
{
public:
    /// Holds capacity bytes, rounded up to a power of two.
    explicit ByteRing(size_t capacity);
    ByteRing(const ByteRing &) = delete;
    ByteRing &operator=(const ByteRing &) = delete;

    /// Writer: appends all bytes, or nothing (false) when they do not fit.
    bool Write(std::span<const uint8_t> bytes);

    /// Reader: copies up to out.size() waiting bytes into out, oldest first, and keeps them
    /// waiting; returns how many.
    size_t Peek(std::span<uint8_t> out) const;
    /// Reader: forgets count waiting bytes (at most as many as wait).
    void Skip(size_t count);
    /// Reader: Peek, then Skip what it copied.
    size_t Read(std::span<uint8_t> out);
    /// Reader: how many bytes wait.
    size_t Waiting() const;

private:
    std::unique_ptr<uint8_t[]> m_data;
    size_t m_capacity;
    // Running totals; their difference is what waits.
    std::atomic<size_t> m_written = 0;
    std::atomic<size_t> m_read = 0;
};

} // namespace orinsub::surfaces::midi
