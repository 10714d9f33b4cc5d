#include "UsbProFraming.h"

#include <algorithm>

namespace zentra::detail::usbpro {

std::size_t Frame(uint8_t label, std::span<const uint8_t> data, std::span<uint8_t> out)
{
    out[0] = kStart;
    out[1] = label;
    out[2] = static_cast<uint8_t>(data.size() & 0xFF);
    out[3] = static_cast<uint8_t>(data.size() >> 8);
    std::copy(data.begin(), data.end(), out.begin() + 4);
    out[4 + data.size()] = kEnd;
    return data.size() + kFraming;
}

std::span<uint8_t> Reader::Space()
{
    if (m_end == m_buffer.size())
        Compact();
    if (m_end == m_buffer.size())
        m_begin = m_end = 0; // cannot happen with messages below kMaxData; stay usable anyway
    return {m_buffer.data() + m_end, m_buffer.size() - m_end};
}

void Reader::Added(std::size_t count)
{
    m_end = std::min(m_end + count, m_buffer.size());
}

bool Reader::Next(uint8_t &label, std::span<const uint8_t> &data)
{
    for (;;) {
        const auto start = std::find(m_buffer.begin() + m_begin, m_buffer.begin() + m_end, kStart);
        m_begin = static_cast<std::size_t>(start - m_buffer.begin());
        if (m_end - m_begin < 4) {
            Compact();
            return false;
        }
        const uint8_t *message = m_buffer.data() + m_begin;
        const std::size_t length = message[2] | message[3] << 8;
        if (length > kMaxData) {
            ++m_begin; // not a real start: look for the next one
            continue;
        }
        if (m_end - m_begin < length + kFraming) {
            Compact();
            return false;
        }
        if (message[4 + length] != kEnd) {
            ++m_begin;
            continue;
        }
        label = message[1];
        data = {message + 4, length};
        m_begin += length + kFraming;
        return true;
    }
}

void Reader::Compact()
{
    std::copy(m_buffer.begin() + m_begin, m_buffer.begin() + m_end, m_buffer.begin());
    m_end -= m_begin;
    m_begin = 0;
}

} // namespace zentra::detail::usbpro
