#include "ShowExtensionBlock.h"

#include "ChaseRecord.h"
#include "Crc32.h"
#include "ShowFileTexts.h"

#include <QtEndian>
#include <algorithm>
#include <optional>

namespace orinsub::model {

namespace {

constexpr size_t kVersionAt = sizeof(kExtensionMagic);
constexpr size_t kLengthAt = kVersionAt + sizeof(uint16_t);
constexpr size_t kCrcAt = kLengthAt + sizeof(uint32_t);
constexpr size_t kIndependentBytes = (kConsoleChannels + 7) / 8;

std::span<const uint8_t> AsBytes(const QByteArray &bytes)
{
    return {reinterpret_cast<const uint8_t *>(bytes.constData()),
            static_cast<size_t>(bytes.size())};
}

template <typename T> void AppendLittleEndian(QByteArray &out, T value)
{
    char bytes[sizeof(T)];
    qToLittleEndian<T>(value, bytes);
    out.append(bytes, sizeof(T));
}

/// Writes a record's kind and a length to be set by EndRecord; returns where its data begins.
qsizetype BeginRecord(QByteArray &out, ExtensionRecord kind)
{
    AppendLittleEndian<uint16_t>(out, static_cast<uint16_t>(kind));
    AppendLittleEndian<uint32_t>(out, 0);
    return out.size();
}

void EndRecord(QByteArray &out, qsizetype dataAt)
{
    qToLittleEndian<uint32_t>(static_cast<uint32_t>(out.size() - dataAt),
                              out.data() + dataAt - sizeof(uint32_t));
}

void AppendRecord(QByteArray &out, ExtensionRecord kind, const QByteArray &data)
{
    const qsizetype at = BeginRecord(out, kind);
    out += data;
    EndRecord(out, at);
}

/// Whether a cue list needs LongCueList: a time that CueList cannot hold.
bool HasLongTimes(const CueList &cues)
{
    return std::any_of(cues.Cues().begin(), cues.Cues().end(), [](const Cue &cue) {
        return std::max({cue.upTime, cue.downTime, cue.delay}) > kMaxShortTime ||
               cue.follow.value_or(0) > kMaxShortFollow;
    });
}

/// How many bytes each of a cue's three times takes in a record of kind.
size_t TimeBytesOf(ExtensionRecord kind)
{
    return kind == ExtensionRecord::LongCueList ? sizeof(uint16_t) : sizeof(uint8_t);
}

/// A cue's fields before its label: number, three times, follow, look, label length.
constexpr size_t CueFixedBytes(size_t timeBytes)
{
    return 2 + 3 * timeBytes + 2 + kConsoleChannels + 2;
}

/// The bytes the cue list's record takes, its header included.
qsizetype CueRecordSize(const CueList &cues, size_t timeBytes)
{
    qsizetype size = kExtensionRecordHeaderSize + sizeof(uint16_t);
    for (const Cue &cue : cues.Cues())
        size += CueFixedBytes(timeBytes) + cue.label.size() * sizeof(char16_t);
    return size;
}

void PutTime(uint8_t *at, int tenths, size_t timeBytes)
{
    if (timeBytes == sizeof(uint8_t))
        *at = static_cast<uint8_t>(tenths);
    else
        qToLittleEndian<uint16_t>(static_cast<uint16_t>(tenths), at);
}

int TimeAt(const uint8_t *at, size_t timeBytes)
{
    return timeBytes == sizeof(uint8_t) ? *at : qFromLittleEndian<uint16_t>(at);
}

void AppendCues(QByteArray &out, const CueList &cues)
{
    const ExtensionRecord kind =
        HasLongTimes(cues) ? ExtensionRecord::LongCueList : ExtensionRecord::CueList;
    const size_t timeBytes = TimeBytesOf(kind);
    const qsizetype at = BeginRecord(out, kind);
    // Sized once and written in place: a full list is over a hundred kilobytes.
    out.resize(out.size() - kExtensionRecordHeaderSize + CueRecordSize(cues, timeBytes));
    uint8_t *p = reinterpret_cast<uint8_t *>(out.data()) + at;
    qToLittleEndian<uint16_t>(static_cast<uint16_t>(cues.Count()), p);
    p += sizeof(uint16_t);
    for (const Cue &cue : cues.Cues()) {
        qToLittleEndian<uint16_t>(static_cast<uint16_t>(cue.number), p);
        uint8_t *field = p + 2;
        for (int time : {cue.upTime, cue.downTime, cue.delay}) {
            PutTime(field, time, timeBytes);
            field += timeBytes;
        }
        qToLittleEndian<uint16_t>(cue.follow ? static_cast<uint16_t>(*cue.follow) : kNoFollow,
                                  field);
        std::copy(cue.look.begin(), cue.look.end(), field + 2);
        qToLittleEndian<uint16_t>(static_cast<uint16_t>(cue.label.size()),
                                  field + 2 + kConsoleChannels);
        p += CueFixedBytes(timeBytes);
        if (!cue.label.isEmpty())
            qToLittleEndian<char16_t>(cue.label.utf16(), cue.label.size(), p);
        p += cue.label.size() * sizeof(char16_t);
    }
    EndRecord(out, at);
}

/// Fills the empty list cues from the data of a record of kind; false when the data is not
/// exactly a list of valid cues in ascending order.
bool ReadCues(std::span<const uint8_t> data, ExtensionRecord kind, CueList &cues)
{
    const size_t timeBytes = TimeBytesOf(kind);
    if (data.size() < sizeof(uint16_t))
        return false;
    const int count = qFromLittleEndian<uint16_t>(data.data());
    data = data.subspan(sizeof(uint16_t));
    if (count > kMaxCues)
        return false;
    int previous = 0;
    for (int i = 0; i < count; ++i) {
        if (data.size() < CueFixedBytes(timeBytes))
            return false;
        Cue cue;
        cue.number = qFromLittleEndian<uint16_t>(data.data());
        const uint8_t *field = data.data() + 2;
        for (int *time : {&cue.upTime, &cue.downTime, &cue.delay}) {
            *time = TimeAt(field, timeBytes);
            field += timeBytes;
        }
        if (const uint16_t follow = qFromLittleEndian<uint16_t>(field); follow != kNoFollow) {
            if (kind == ExtensionRecord::CueList && follow > kMaxShortFollow)
                return false;
            cue.follow = follow;
        }
        std::copy_n(field + 2, kConsoleChannels, cue.look.begin());
        const size_t length = qFromLittleEndian<uint16_t>(field + 2 + kConsoleChannels);
        data = data.subspan(CueFixedBytes(timeBytes));
        if (data.size() < length * sizeof(char16_t))
            return false;
        cue.label = QString(static_cast<qsizetype>(length), Qt::Uninitialized);
        if (length > 0)
            qFromLittleEndian<char16_t>(data.data(), static_cast<qsizetype>(length),
                                        cue.label.data());
        data = data.subspan(length * sizeof(char16_t));
        const int number = cue.number;
        if (number <= previous || !cues.Add(std::move(cue)).IsOk())
            return false;
        previous = number;
    }
    return data.empty();
}

constexpr size_t kCurveBytes = 2 + 3;

QByteArray CurveRecord(const std::array<DimmerCurve, kDimmers> &curves)
{
    QByteArray data;
    AppendLittleEndian<uint16_t>(data, static_cast<uint16_t>(std::count_if(
                                           curves.begin(), curves.end(),
                                           [](const DimmerCurve &c) { return !c.IsLinear(); })));
    for (int d = 1; d <= kDimmers; ++d) {
        const DimmerCurve &curve = curves[d - 1];
        if (curve.IsLinear())
            continue;
        AppendLittleEndian<uint16_t>(data, static_cast<uint16_t>(d));
        data += static_cast<char>(curve.kind);
        data += static_cast<char>(curve.thresholdPercent);
        data += static_cast<char>(curve.limitPercent);
    }
    return data;
}

/// Fills curves from a record's data; false unless it is exactly a list of valid curves that
/// are not linear, on dimmers in ascending order.
bool ReadCurves(std::span<const uint8_t> data, std::array<DimmerCurve, kDimmers> &curves)
{
    if (data.size() < sizeof(uint16_t))
        return false;
    const size_t count = qFromLittleEndian<uint16_t>(data.data());
    data = data.subspan(sizeof(uint16_t));
    if (count < 1 || count > kDimmers || data.size() != count * kCurveBytes)
        return false;
    int previous = 0;
    for (size_t i = 0; i < count; ++i, data = data.subspan(kCurveBytes)) {
        const int dimmer = qFromLittleEndian<uint16_t>(data.data());
        const DimmerCurve curve{static_cast<CurveKind>(data[2]), data[3], data[4]};
        if (dimmer <= previous || dimmer > kDimmers || curve.IsLinear() ||
            !CheckCurve(curve).isEmpty())
            return false;
        curves[dimmer - 1] = curve;
        previous = dimmer;
    }
    return true;
}

ShowExtensionParse Corrupt(const QString &problem)
{
    return {ShowFileStatus::Corrupt, problem, {}};
}

ShowExtensionParse Bad(QStringView what)
{
    return Corrupt(texts::kExtensionBad.toString().arg(what));
}

/// Reads the records of a payload whose checksum is right.
class RecordReader
{
public:
    ShowExtensionParse Read(std::span<const uint8_t> payload)
    {
        ShowExtensionParse result;
        while (!payload.empty()) {
            if (payload.size() < kExtensionRecordHeaderSize)
                return Bad(texts::kOfRecordFraming);
            const auto kind =
                static_cast<ExtensionRecord>(qFromLittleEndian<uint16_t>(payload.data()));
            const uint32_t length = qFromLittleEndian<uint32_t>(payload.data() + sizeof(uint16_t));
            payload = payload.subspan(kExtensionRecordHeaderSize);
            if (length > payload.size())
                return Bad(texts::kOfRecordFraming);
            if (std::optional<ShowExtensionParse> failed =
                    ReadRecord(kind, payload.first(length), result.extension))
                return *failed;
            payload = payload.subspan(length);
        }
        return result;
    }

private:
    /// Stores one record's data in extension; what went wrong otherwise.
    std::optional<ShowExtensionParse>
    ReadRecord(ExtensionRecord kind, std::span<const uint8_t> data, ShowExtension &extension)
    {
        const QStringView name = NameOf(kind);
        if (name.isEmpty())
            return ShowExtensionParse{ShowFileStatus::TooNew, {}, {}};
        // A field comes once, in either of its forms.
        const ExtensionRecord field = FieldOf(kind);
        if (std::find(m_seen.begin(), m_seen.end(), field) != m_seen.end())
            return Corrupt(texts::kExtensionTwice.toString().arg(name));
        m_seen.push_back(field);

        switch (kind) {
        case ExtensionRecord::IndependentChannels:
            if (data.size() != kIndependentBytes)
                return Bad(name);
            for (int i = 0; i < kConsoleChannels; ++i)
                extension.independent[i] = (data[i / 8] >> (i % 8)) & 1;
            return std::nullopt;
        case ExtensionRecord::FlashMode:
            if (data.size() != 1 || data[0] > static_cast<uint8_t>(FlashMode::Solo))
                return Bad(name);
            extension.flashMode = static_cast<FlashMode>(data[0]);
            return std::nullopt;
        case ExtensionRecord::FadeTime:
            if (data.size() != 1)
                return Bad(name);
            extension.fadeTime = data[0];
            return std::nullopt;
        case ExtensionRecord::LongFadeTime:
            if (data.size() != sizeof(uint16_t) ||
                qFromLittleEndian<uint16_t>(data.data()) > kMaxFadeTime)
                return Bad(name);
            extension.fadeTime = qFromLittleEndian<uint16_t>(data.data());
            return std::nullopt;
        case ExtensionRecord::CueList:
        case ExtensionRecord::LongCueList:
            if (!ReadCues(data, kind, extension.cues))
                return Bad(name);
            return std::nullopt;
        case ExtensionRecord::DimmerCurves:
            if (!ReadCurves(data, extension.curves))
                return Bad(name);
            return std::nullopt;
        case ExtensionRecord::Chases:
            if (!ChaseRecord::Decode(data, extension.chases))
                return Bad(name);
            return std::nullopt;
        }
        return std::nullopt;
    }

    /// The show's field a record of kind fills.
    static ExtensionRecord FieldOf(ExtensionRecord kind)
    {
        switch (kind) {
        case ExtensionRecord::LongFadeTime:
            return ExtensionRecord::FadeTime;
        case ExtensionRecord::LongCueList:
            return ExtensionRecord::CueList;
        default:
            return kind;
        }
    }

    /// The record's name for the operator, or empty for a kind this console does not know.
    static QStringView NameOf(ExtensionRecord kind)
    {
        switch (kind) {
        case ExtensionRecord::IndependentChannels:
            return texts::kOfIndependentChannels;
        case ExtensionRecord::FlashMode:
            return texts::kOfFlashMode;
        case ExtensionRecord::FadeTime:
        case ExtensionRecord::LongFadeTime:
            return texts::kOfFadeTime;
        case ExtensionRecord::CueList:
        case ExtensionRecord::LongCueList:
            return texts::kOfCueList;
        case ExtensionRecord::Chases:
            return texts::kOfChases;
        case ExtensionRecord::DimmerCurves:
            return texts::kOfDimmerCurves;
        }
        return {};
    }

    std::vector<ExtensionRecord> m_seen;
};

} // namespace

bool ShowExtensionBlock::BeginsBlock(std::span<const uint8_t> bytes)
{
    return bytes.size() >= sizeof(kExtensionMagic) &&
           std::equal(std::begin(kExtensionMagic), std::end(kExtensionMagic), bytes.begin(),
                      [](char magic, uint8_t byte) { return static_cast<uint8_t>(magic) == byte; });
}

QByteArray ShowExtensionBlock::Encode(const ShowExtension &extension)
{
    const ShowExtension defaults;
    // The header's version, length and CRC are written once the records are.
    QByteArray block(kExtensionMagic, sizeof(kExtensionMagic));
    block.resize(kExtensionHeaderSize);
    if (!extension.cues.IsEmpty())
        block.reserve(kExtensionHeaderSize + 64 +
                      CueRecordSize(extension.cues, TimeBytesOf(ExtensionRecord::LongCueList)));
    if (extension.independent != defaults.independent) {
        QByteArray bits(kIndependentBytes, '\0');
        for (int i = 0; i < kConsoleChannels; ++i) {
            if (extension.independent[i])
                bits[i / 8] = static_cast<char>(bits[i / 8] | 1 << (i % 8));
        }
        AppendRecord(block, ExtensionRecord::IndependentChannels, bits);
    }
    if (extension.flashMode != defaults.flashMode)
        AppendRecord(block, ExtensionRecord::FlashMode,
                     QByteArray(1, static_cast<char>(extension.flashMode)));
    if (extension.fadeTime > kMaxShortTime) {
        QByteArray time(sizeof(uint16_t), '\0');
        qToLittleEndian<uint16_t>(extension.fadeTime, time.data());
        AppendRecord(block, ExtensionRecord::LongFadeTime, time);
    } else if (extension.fadeTime != defaults.fadeTime) {
        AppendRecord(block, ExtensionRecord::FadeTime,
                     QByteArray(1, static_cast<char>(extension.fadeTime)));
    }
    if (!extension.cues.IsEmpty())
        AppendCues(block, extension.cues);
    if (!extension.chases.IsEmpty())
        AppendRecord(block, ExtensionRecord::Chases, ChaseRecord::Encode(extension.chases));
    if (extension.curves != defaults.curves)
        AppendRecord(block, ExtensionRecord::DimmerCurves, CurveRecord(extension.curves));
    if (block.size() == kExtensionHeaderSize)
        return {};

    qToLittleEndian<uint16_t>(kExtensionVersion, block.data() + kVersionAt);
    qToLittleEndian<uint32_t>(static_cast<uint32_t>(block.size() - kExtensionHeaderSize),
                              block.data() + kLengthAt);
    const std::span<const uint8_t> bytes = AsBytes(block);
    const uint32_t crc = Crc32()
                             .Add(bytes.subspan(kVersionAt, kCrcAt - kVersionAt))
                             .Add(bytes.subspan(kExtensionHeaderSize))
                             .Value();
    qToLittleEndian<uint32_t>(crc, block.data() + kCrcAt);
    return block;
}

ShowExtensionParse ShowExtensionBlock::Decode(std::span<const uint8_t> bytes)
{
    if (bytes.size() < kExtensionHeaderSize)
        return Corrupt(texts::kEndsEarly.toString().arg(texts::kAtExtensionHeader));
    const auto version = qFromLittleEndian<uint16_t>(bytes.data() + kVersionAt);
    const auto length = qFromLittleEndian<uint32_t>(bytes.data() + kLengthAt);
    const auto crc = qFromLittleEndian<uint32_t>(bytes.data() + kCrcAt);
    const std::span<const uint8_t> payload = bytes.subspan(kExtensionHeaderSize);
    if (length > payload.size())
        return Corrupt(
            texts::kBeyondEnd.toString().arg(texts::kAtExtension).arg(length).arg(payload.size()));
    if (length < payload.size())
        return Corrupt(texts::kTrailingAfterExtension.toString().arg(payload.size() - length));
    // The version and length are covered too, so a damaged version reads as damage.
    if (Crc32().Add(bytes.subspan(kVersionAt, kCrcAt - kVersionAt)).Add(payload).Value() != crc)
        return Corrupt(texts::kExtensionChecksum.toString());
    if (version > kExtensionVersion)
        return {ShowFileStatus::TooNew, {}, {}};
    if (version == 0)
        return Bad(texts::kOfVersion);
    return RecordReader().Read(payload);
}

} // namespace orinsub::model
