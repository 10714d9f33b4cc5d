#include "ShowExtensionBlock.h"

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

void AppendRecord(QByteArray &payload, ExtensionRecord kind, const QByteArray &data)
{
    AppendLittleEndian<uint16_t>(payload, static_cast<uint16_t>(kind));
    AppendLittleEndian<uint32_t>(payload, static_cast<uint32_t>(data.size()));
    payload += data;
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
        const auto seen = std::find(m_seen.begin(), m_seen.end(), kind);
        if (seen != m_seen.end())
            return Corrupt(texts::kExtensionTwice.toString().arg(name));
        m_seen.push_back(kind);

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
        }
        return std::nullopt;
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
            return texts::kOfFadeTime;
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
    QByteArray payload;
    if (extension.independent != defaults.independent) {
        QByteArray bits(kIndependentBytes, '\0');
        for (int i = 0; i < kConsoleChannels; ++i) {
            if (extension.independent[i])
                bits[i / 8] = static_cast<char>(bits[i / 8] | 1 << (i % 8));
        }
        AppendRecord(payload, ExtensionRecord::IndependentChannels, bits);
    }
    if (extension.flashMode != defaults.flashMode)
        AppendRecord(payload, ExtensionRecord::FlashMode,
                     QByteArray(1, static_cast<char>(extension.flashMode)));
    if (extension.fadeTime != defaults.fadeTime)
        AppendRecord(payload, ExtensionRecord::FadeTime,
                     QByteArray(1, static_cast<char>(extension.fadeTime)));
    if (payload.isEmpty())
        return {};

    QByteArray block(kExtensionMagic, sizeof(kExtensionMagic));
    AppendLittleEndian<uint16_t>(block, kExtensionVersion);
    AppendLittleEndian<uint32_t>(block, static_cast<uint32_t>(payload.size()));
    const uint32_t crc =
        Crc32().Add(AsBytes(block).subspan(kVersionAt)).Add(AsBytes(payload)).Value();
    AppendLittleEndian<uint32_t>(block, crc);
    return block + payload;
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
