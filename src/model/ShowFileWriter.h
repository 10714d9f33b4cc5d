#pragma once

#include <QByteArray>
#include <QStringView>
#include <cstdint>
#include <span>

namespace orinsub::model {

class COrinSUBDoc;

/// Builds show-file bytes: strings always in the wide form, counts and lengths with the
/// shortest escalation that holds them.
class ShowFileWriter
{
public:
    /// The whole document as a show file: header, 81 channel records, 400 sub-master records,
    /// then the extension block when the show has additions.
    static QByteArray Encode(const COrinSUBDoc &doc);

    /// FF FE FF, then the length in UTF-16 units (byte, or FF and 16-bit, ...), then UTF-16LE.
    void WriteString(QStringView text);
    /// 16-bit count, or FFFF and 32-bit, or FFFF FFFFFFFF and 64-bit.
    void WriteCount(uint64_t count);
    void WriteInt32(int32_t value);
    void WriteBytes(std::span<const uint8_t> bytes);
    QByteArray TakeBytes() { return std::move(m_bytes); }

private:
    template <typename T> void WriteLittleEndian(T value);
    /// 32-bit value, or 0xFFFFFFFF then 64-bit: the tail shared by counts and string lengths.
    void WriteEscalatedFrom32(uint64_t value);

    QByteArray m_bytes;
};

} // namespace orinsub::model
