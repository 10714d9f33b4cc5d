#include "ByteRing.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace orinsub::surfaces::midi {

static_assert(std::atomic<size_t>::is_always_lock_free);

ByteRing::ByteRing(size_t capacity)
    : m_data(std::make_unique<uint8_t[]>(std::bit_ceil(std::max<size_t>(capacity, 1)))),
      m_capacity(std::bit_ceil(std::max<size_t>(capacity, 1)))
{
}

bool ByteRing::Write(std::span<const uint8_t> bytes)
{
    const size_t written = m_written.load(std::memory_order_relaxed);
    const size_t read = m_read.load(std::memory_order_acquire);
    if (bytes.size() > m_capacity - (written - read))
        return false;
    const size_t at = written & (m_capacity - 1);
    const size_t first = std::min(bytes.size(), m_capacity - at);
    std::memcpy(m_data.get() + at, bytes.data(), first);
    std::memcpy(m_data.get(), bytes.data() + first, bytes.size() - first);
    m_written.store(written + bytes.size(), std::memory_order_release);
    return true;
}

size_t ByteRing::Peek(std::span<uint8_t> out) const
{
    const size_t read = m_read.load(std::memory_order_relaxed);
    const size_t count = std::min(out.size(), m_written.load(std::memory_order_acquire) - read);
    const size_t at = read & (m_capacity - 1);
    const size_t first = std::min(count, m_capacity - at);
    std::memcpy(out.data(), m_data.get() + at, first);
    std::memcpy(out.data() + first, m_data.get(), count - first);
    return count;
}

void ByteRing::Skip(size_t count)
{
    const size_t read = m_read.load(std::memory_order_relaxed);
    count = std::min(count, m_written.load(std::memory_order_acquire) - read);
    m_read.store(read + count, std::memory_order_release);
}

size_t ByteRing::Read(std::span<uint8_t> out)
{
    const size_t count = Peek(out);
    Skip(count);
    return count;
}

size_t ByteRing::Waiting() const
{
    return m_written.load(std::memory_order_acquire) - m_read.load(std::memory_order_acquire);
}

} // namespace orinsub::surfaces::midi
