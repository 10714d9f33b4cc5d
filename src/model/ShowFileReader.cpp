#include "ShowFileReader.h"

#include "ShowExtensionBlock.h"
#include "ShowFileAnsiText.h"
#include "ShowFileTexts.h"
#include "ShowLimits.h"

#include <QtEndian>

namespace orinsub::model {

namespace {

QString DecimalText(unsigned __int128 value)
{
    QString digits;
    do {
        digits.prepend(QChar(u'0' + static_cast<char16_t>(value % 10)));
        value /= 10;
    } while (value != 0);
    return digits;
}

} // namespace

ShowFileParse ShowFileReader::Parse(std::span<const uint8_t> bytes)
{
    ShowFileReader reader(bytes);
    ShowFileParse result;
    const auto fail = [&](ShowFileStatus status) {
        result.status = status;
        result.problem = status == ShowFileStatus::Corrupt ? reader.Problem() : QString();
        result.content = {};
        return result;
    };

    const std::optional<QString> header = reader.ReadString();
    if (!header)
        return fail(ShowFileStatus::Corrupt);
    if (*header != QStringView(kShowFileHeader))
        return fail(ShowFileStatus::WrongVersion);

    ShowFileContent &content = result.content;
    content.channels.resize(kChannelObjects);
    for (int i = 0; i < kChannelObjects; ++i) {
        if (!reader.ReadChannel(content.channels[i], i + 1))
            return fail(ShowFileStatus::Corrupt);
    }
    content.subMasters.resize(size_t{kPages} * kSubMastersPerPage);
    for (int p = 1; p <= kPages; ++p) {
        for (int n = 1; n <= kSubMastersPerPage; ++n) {
            auto &record = content.subMasters[(p - 1) * kSubMastersPerPage + (n - 1)];
            if (!reader.ReadSubMaster(record, p, n))
                return fail(ShowFileStatus::Corrupt);
        }
    }
    if (reader.Remaining() == 0)
        return result;
    const std::span<const uint8_t> rest = bytes.subspan(reader.m_pos);
    if (!ShowExtensionBlock::BeginsBlock(rest)) {
        reader.m_fault = Fault::Trailing;
        return fail(ShowFileStatus::Corrupt);
    }
    ShowExtensionParse block = ShowExtensionBlock::Decode(rest);
    if (block.status != ShowFileStatus::Ok)
        return {block.status, std::move(block.problem), {}};
    content.extension = std::move(block.extension);
    return result;
}

bool ShowFileReader::ReadChannel(ShowFileContent::ChannelRecord &record, int number)
{
    m_channel = number;
    m_field = Field::ChannelName;
    std::optional<QString> name = ReadString();
    if (!name)
        return false;
    record.name = std::move(*name);

    m_field = Field::DimmerCount;
    const std::optional<uint64_t> count = ReadCount();
    if (!count)
        return false;
    m_field = Field::Dimmers;
    if (!Fits(*count, sizeof(int32_t)))
        return false;
    const auto dimmers = static_cast<qsizetype>(*count);
    record.dimmers.resize(dimmers);
    if (dimmers > 0)
        qFromLittleEndian<int32_t>(m_bytes.data() + m_pos, dimmers, record.dimmers.data());
    m_pos += dimmers * sizeof(int32_t);
    return true;
}

bool ShowFileReader::ReadSubMaster(ShowFileContent::SubMasterRecord &record, int page, int number)
{
    m_page = page;
    m_subMaster = number;
    m_field = Field::SubName;
    std::optional<QString> name = ReadString();
    if (!name)
        return false;
    record.name = std::move(*name);

    m_field = Field::LevelCount;
    const std::optional<uint64_t> count = ReadCount();
    if (!count)
        return false;
    m_field = Field::Levels;
    if (!Fits(*count, 1))
        return false;
    const auto *levels = m_bytes.data() + m_pos;
    record.levels.assign(levels, levels + *count);
    m_pos += *count;
    return true;
}

std::optional<QString> ShowFileReader::ReadString()
{
    bool wide = false;
    const std::optional<uint64_t> length = ReadStringLength(wide);
    if (!length || !Fits(*length, wide ? sizeof(char16_t) : 1))
        return std::nullopt;
    const uint8_t *text = m_bytes.data() + m_pos;
    const auto units = static_cast<qsizetype>(*length);
    if (!wide) {
        m_pos += units;
        return DecodeCodePage932({text, static_cast<size_t>(units)});
    }
    QString result(units, Qt::Uninitialized);
    if (units > 0)
        qFromLittleEndian<char16_t>(text, units, result.data());
    m_pos += units * sizeof(char16_t);
    return result;
}

// One byte, escalating to 16, 32 and 64 bits; 0xFF then 0xFFFE marks UTF-16 text, after which
// the escalation starts again from one byte.
std::optional<uint64_t> ShowFileReader::ReadStringLength(bool &wide)
{
    wide = false;
    std::optional<uint8_t> length8 = ReadLittleEndian<uint8_t>();
    if (!length8 || *length8 < kLengthEscape8)
        return length8;
    std::optional<uint16_t> length16 = ReadLittleEndian<uint16_t>();
    if (length16 && *length16 == kWideStringTag) {
        wide = true;
        length8 = ReadLittleEndian<uint8_t>();
        if (!length8 || *length8 < kLengthEscape8)
            return length8;
        length16 = ReadLittleEndian<uint16_t>();
    }
    if (!length16)
        return std::nullopt;
    return EscalateFrom16(*length16);
}

std::optional<uint64_t> ShowFileReader::ReadCount()
{
    const std::optional<uint16_t> count16 = ReadLittleEndian<uint16_t>();
    if (!count16)
        return std::nullopt;
    return EscalateFrom16(*count16);
}

std::optional<uint64_t> ShowFileReader::EscalateFrom16(uint16_t value16)
{
    if (value16 < kLengthEscape16)
        return value16;
    const std::optional<uint32_t> value32 = ReadLittleEndian<uint32_t>();
    if (!value32 || *value32 < kLengthEscape32)
        return value32;
    return ReadLittleEndian<uint64_t>();
}

template <typename T> std::optional<T> ShowFileReader::ReadLittleEndian()
{
    if (Remaining() < sizeof(T)) {
        m_fault = Fault::EndsEarly;
        return std::nullopt;
    }
    const T value = qFromLittleEndian<T>(m_bytes.data() + m_pos);
    m_pos += sizeof(T);
    return value;
}

bool ShowFileReader::Fits(uint64_t count, size_t size)
{
    if (count <= Remaining() / size)
        return true;
    m_fault = Fault::BeyondEnd;
    // A forged count times the item size may not fit 64 bits.
    m_faultBytes = static_cast<unsigned __int128>(count) * size;
    return false;
}

QString ShowFileReader::Problem() const
{
    switch (m_fault) {
    case Fault::Trailing:
        return texts::kTrailingBytes.toString().arg(Remaining());
    case Fault::BeyondEnd:
        return texts::kBeyondEnd.toString()
            .arg(Place(), DecimalText(m_faultBytes))
            .arg(Remaining());
    default:
        return texts::kEndsEarly.toString().arg(Place());
    }
}

QString ShowFileReader::Place() const
{
    const auto channel = [&](QStringView text) { return text.toString().arg(m_channel); };
    const auto subMaster = [&](QStringView text) {
        return text.toString().arg(m_page).arg(m_subMaster);
    };
    switch (m_field) {
    case Field::Header:
        return texts::kAtHeader.toString();
    case Field::ChannelName:
        return channel(texts::kAtChannelName);
    case Field::DimmerCount:
        return channel(texts::kAtChannelDimmerCount);
    case Field::Dimmers:
        return channel(texts::kAtChannelDimmers);
    case Field::SubName:
        return subMaster(texts::kAtSubMasterName);
    case Field::LevelCount:
        return subMaster(texts::kAtSubMasterLevelCount);
    case Field::Levels:
        return subMaster(texts::kAtSubMasterLevels);
    }
    return {};
}

} // namespace orinsub::model
