#include "ShowFileWriter.h"

#include "OrinSUBDoc.h"
#include "ShowExtensionBlock.h"
#include "ShowFileFormat.h"

#include <QtEndian>

namespace orinsub::model {

QByteArray ShowFileWriter::Encode(const COrinSUBDoc &doc)
{
    const QByteArray extension = ShowExtensionBlock::Encode(doc.m_extension);
    ShowFileWriter writer;
    writer.m_bytes.reserve(kNewShowFileSize + extension.size());
    writer.WriteString(kShowFileHeader);
    for (const auto &channel : doc.m_channels) {
        writer.WriteString(channel->m_name);
        writer.WriteCount(channel->m_dimmers.size());
        for (int32_t dimmer : channel->m_dimmers)
            writer.WriteInt32(dimmer);
    }
    for (const auto &page : doc.m_pages) {
        for (const auto &subMaster : page->m_subMasters) {
            writer.WriteString(subMaster->m_name);
            writer.WriteCount(subMaster->m_levels.size());
            writer.WriteBytes(subMaster->m_levels);
        }
    }
    writer.m_bytes += extension;
    return writer.TakeBytes();
}

void ShowFileWriter::WriteString(QStringView text)
{
    const auto length = static_cast<uint64_t>(text.size());
    WriteLittleEndian<uint8_t>(kLengthEscape8);
    WriteLittleEndian<uint16_t>(kWideStringTag);
    if (length < kLengthEscape8) {
        WriteLittleEndian<uint8_t>(static_cast<uint8_t>(length));
    } else {
        WriteLittleEndian<uint8_t>(kLengthEscape8);
        // The wide tag itself is 0xFFFE, so a 16-bit length stops one below it.
        if (length < kWideStringTag)
            WriteLittleEndian<uint16_t>(static_cast<uint16_t>(length));
        else {
            WriteLittleEndian<uint16_t>(kLengthEscape16);
            WriteEscalatedFrom32(length);
        }
    }
    const qsizetype at = m_bytes.size();
    m_bytes.resize(at + text.size() * qsizetype{sizeof(char16_t)});
    if (!text.isEmpty())
        qToLittleEndian<char16_t>(text.utf16(), text.size(), m_bytes.data() + at);
}

void ShowFileWriter::WriteCount(uint64_t count)
{
    if (count < kLengthEscape16) {
        WriteLittleEndian<uint16_t>(static_cast<uint16_t>(count));
        return;
    }
    WriteLittleEndian<uint16_t>(kLengthEscape16);
    WriteEscalatedFrom32(count);
}

void ShowFileWriter::WriteInt32(int32_t value)
{
    WriteLittleEndian<int32_t>(value);
}

void ShowFileWriter::WriteBytes(std::span<const uint8_t> bytes)
{
    m_bytes.append(reinterpret_cast<const char *>(bytes.data()),
                   static_cast<qsizetype>(bytes.size()));
}

template <typename T> void ShowFileWriter::WriteLittleEndian(T value)
{
    char bytes[sizeof(T)];
    qToLittleEndian<T>(value, bytes);
    m_bytes.append(bytes, sizeof(T));
}

void ShowFileWriter::WriteEscalatedFrom32(uint64_t value)
{
    if (value < kLengthEscape32) {
        WriteLittleEndian<uint32_t>(static_cast<uint32_t>(value));
        return;
    }
    WriteLittleEndian<uint32_t>(kLengthEscape32);
    WriteLittleEndian<uint64_t>(value);
}

} // namespace orinsub::model
