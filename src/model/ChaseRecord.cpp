#include "ChaseRecord.h"

#include <QtEndian>
#include <algorithm>

namespace orinsub::model {

namespace {

constexpr uint8_t kRestartOnRaise = 0x01;
// A chase's fields before its name: number, step time u16, crossfade, direction, flags, page,
// sub-master, the name's length.
constexpr size_t kChaseFixedBytes = 1 + 2 + 1 + 1 + 1 + 1 + 1 + 1;

/// A reader that refuses to read past the data's end.
class Bytes
{
public:
    explicit Bytes(std::span<const uint8_t> data) : m_data(data) {}

    bool Has(size_t count) const { return m_data.size() >= count; }
    bool IsEmpty() const { return m_data.empty(); }
    uint8_t U8()
    {
        const uint8_t value = m_data[0];
        m_data = m_data.subspan(1);
        return value;
    }
    uint16_t U16()
    {
        const uint16_t value = qFromLittleEndian<uint16_t>(m_data.data());
        m_data = m_data.subspan(sizeof(uint16_t));
        return value;
    }
    std::span<const uint8_t> Take(size_t count)
    {
        const std::span<const uint8_t> taken = m_data.first(count);
        m_data = m_data.subspan(count);
        return taken;
    }

private:
    std::span<const uint8_t> m_data;
};

void AppendU16(QByteArray &out, uint16_t value)
{
    char bytes[sizeof(uint16_t)];
    qToLittleEndian<uint16_t>(value, bytes);
    out.append(bytes, sizeof(bytes));
}

} // namespace

QByteArray ChaseRecord::Encode(const ChaseList &chases)
{
    QByteArray out;
    AppendU16(out, static_cast<uint16_t>(chases.Count()));
    for (const Chase &chase : chases.Chases()) {
        out.append(static_cast<char>(chase.number));
        AppendU16(out, static_cast<uint16_t>(chase.stepMs));
        out.append(static_cast<char>(chase.crossfadePercent));
        out.append(static_cast<char>(chase.direction));
        out.append(static_cast<char>(chase.restartOnRaise ? kRestartOnRaise : 0));
        out.append(static_cast<char>(chase.place.page));
        out.append(static_cast<char>(chase.place.number));
        out.append(static_cast<char>(chase.name.size()));
        for (QChar unit : chase.name)
            AppendU16(out, unit.unicode());
        out.append(static_cast<char>(chase.steps.size()));
        for (const ChaseLook &look : chase.steps)
            out.append(reinterpret_cast<const char *>(look.data()), look.size());
    }
    return out;
}

bool ChaseRecord::Decode(std::span<const uint8_t> data, ChaseList &chases)
{
    Bytes bytes(data);
    if (!bytes.Has(sizeof(uint16_t)))
        return false;
    const int count = bytes.U16();
    if (count > kMaxChases)
        return false;
    int previous = 0;
    for (int i = 0; i < count; ++i) {
        if (!bytes.Has(kChaseFixedBytes))
            return false;
        Chase chase;
        chase.number = bytes.U8();
        chase.stepMs = bytes.U16();
        chase.crossfadePercent = bytes.U8();
        const uint8_t direction = bytes.U8();
        if (direction > static_cast<uint8_t>(ChaseDirection::Random))
            return false;
        chase.direction = static_cast<ChaseDirection>(direction);
        const uint8_t flags = bytes.U8();
        if (flags & ~kRestartOnRaise)
            return false;
        chase.restartOnRaise = flags & kRestartOnRaise;
        chase.place.page = bytes.U8();
        chase.place.number = bytes.U8();
        const size_t nameLength = bytes.U8();
        if (nameLength > static_cast<size_t>(kMaxChaseNameLength) ||
            !bytes.Has(nameLength * sizeof(char16_t) + 1))
            return false;
        chase.name = QString(static_cast<qsizetype>(nameLength), Qt::Uninitialized);
        for (size_t c = 0; c < nameLength; ++c)
            chase.name[c] = QChar(bytes.U16());
        const size_t stepCount = bytes.U8();
        if (stepCount > static_cast<size_t>(kMaxChaseSteps) ||
            !bytes.Has(stepCount * kConsoleChannels))
            return false;
        chase.steps.resize(stepCount);
        for (ChaseLook &look : chase.steps)
            std::ranges::copy(bytes.Take(look.size()), look.begin());
        const int number = chase.number;
        // Add checks the rest: ranges, the name's characters, one chase per sub-master.
        if (number <= previous || !chases.Add(std::move(chase)).IsOk())
            return false;
        previous = number;
    }
    return bytes.IsEmpty();
}

} // namespace orinsub::model
