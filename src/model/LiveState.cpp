#include "LiveState.h"

#include "Crc32.h"
#include "CueList.h"

#include <QDataStream>
#include <QIODevice>
#include <QtEndian>
#include <algorithm>
#include <span>

namespace orinsub::model {

namespace {

constexpr char kMagic[8] = {'O', 'R', 'I', 'N', '-', 'L', 'I', 'V'};
constexpr uint16_t kVersion = LiveStateFile::kVersion;
constexpr qsizetype kVersionAt = sizeof(kMagic);
constexpr qsizetype kLengthAt = kVersionAt + sizeof(uint16_t);
constexpr qsizetype kCrcAt = kLengthAt + sizeof(uint32_t);
constexpr qsizetype kHeaderSize = kCrcAt + sizeof(uint32_t);
// A path longer than any file system takes is damage, not a path.
constexpr uint32_t kMaxPathBytes = 4096;
// The longest fade of the console: a delay and a down time of the longest time each.
constexpr uint32_t kMaxTimeMs = 2 * kMaxFadeTime * 100;

// Why a left live state cannot be used.
constexpr QStringView kNotLiveState = u"卓の状態のファイルではありません";
constexpr QStringView kCutShort = u"途中で切れています";
constexpr QStringView kDamaged = u"壊れています";
constexpr QStringView kTooNew = u"新しいバージョンの OrinSUB で書かれています";

uint32_t ChecksumOf(const QByteArray &versionAndLength, const QByteArray &payload)
{
    const auto bytes = [](const QByteArray &b) {
        return std::span(reinterpret_cast<const uint8_t *>(b.constData()),
                         static_cast<size_t>(b.size()));
    };
    return Crc32().Add(bytes(versionAndLength)).Add(bytes(payload)).Value();
}

/// Reads a byte that stands for a flag; anything but 0 and 1 fails the stream.
void ReadFlag(QDataStream &in, bool &flag)
{
    quint8 byte = 0;
    in >> byte;
    if (byte > 1)
        in.setStatus(QDataStream::ReadCorruptData);
    flag = byte == 1;
}

/// Reads a byte that must lie in first..last; anything else fails the stream.
void ReadInRange(QDataStream &in, uint8_t &value, int first, int last)
{
    quint8 byte = 0;
    in >> byte;
    if (byte < first || byte > last)
        in.setStatus(QDataStream::ReadCorruptData);
    value = byte;
}

/// Reads the GO fade time: a byte before version 3, then u16 up to kMaxFadeTime.
void ReadFadeTime(QDataStream &in, uint16_t version, uint16_t &tenths)
{
    if (version < 3) {
        quint8 byte = 0;
        in >> byte;
        tenths = byte;
        return;
    }
    in >> tenths;
    if (tenths > kMaxFadeTime)
        in.setStatus(QDataStream::ReadCorruptData);
}

/// Reads milliseconds up to kMaxTimeMs; anything longer fails the stream.
void ReadTime(QDataStream &in, std::chrono::milliseconds &time)
{
    quint32 ms = 0;
    in >> ms;
    if (ms > kMaxTimeMs)
        in.setStatus(QDataStream::ReadCorruptData);
    time = std::chrono::milliseconds(ms);
}

void WriteTime(QDataStream &out, std::chrono::milliseconds time)
{
    out << static_cast<quint32>(std::clamp<int64_t>(time.count(), 0, kMaxTimeMs));
}

void WritePlayback(QDataStream &out, const LiveState &state)
{
    out << state.cuePlaying << static_cast<quint16>(state.currentCue);
    const FadeProgress &fade = state.fade;
    out << static_cast<quint8>(fade.phase) << fade.incoming << fade.from[0] << fade.from[1];
    for (auto time : {fade.times.up, fade.times.down, fade.times.delay, fade.elapsed})
        WriteTime(out, time);
    out << state.followLeft.has_value();
    WriteTime(out, state.followLeft.value_or(std::chrono::milliseconds(0)));
    out << state.locked << state.look.has_value();
    if (state.look)
        out.writeRawData(reinterpret_cast<const char *>(state.look->data()),
                         static_cast<int>(state.look->size()));
}

void ReadPlayback(QDataStream &in, LiveState &state)
{
    ReadFlag(in, state.cuePlaying);
    quint16 cue = 0;
    in >> cue;
    if (cue != 0 && (cue < kMinCueNumber || cue > kMaxCueNumber))
        in.setStatus(QDataStream::ReadCorruptData);
    state.currentCue = cue;
    FadeProgress &fade = state.fade;
    uint8_t phase = 0;
    ReadInRange(in, phase, 0, static_cast<int>(FadeProgress::Phase::Stopped));
    fade.phase = static_cast<FadeProgress::Phase>(phase);
    ReadInRange(in, fade.incoming, 0, 1);
    in >> fade.from[0] >> fade.from[1];
    for (auto *time : {&fade.times.up, &fade.times.down, &fade.times.delay, &fade.elapsed})
        ReadTime(in, *time);
    bool following = false;
    ReadFlag(in, following);
    std::chrono::milliseconds left{0};
    ReadTime(in, left);
    if (following)
        state.followLeft = left;
    ReadFlag(in, state.locked);
    bool held = false;
    ReadFlag(in, held);
    if (held) {
        LiveState::Look look{};
        const int size = static_cast<int>(look.size());
        if (in.readRawData(reinterpret_cast<char *>(look.data()), size) != size)
            in.setStatus(QDataStream::ReadPastEnd);
        state.look = look;
    }
}

} // namespace

bool LiveState::IsFresh() const
{
    const LiveState fresh;
    const bool anySub = std::any_of(subFaders.begin(), subFaders.end(),
                                    [](const SubFader &fader) { return fader.level > 0; });
    return rows == fresh.rows && handles == fresh.handles && linked == fresh.linked &&
           lastOnAir == fresh.lastOnAir && !anySub && page == fresh.page &&
           grandMaster == fresh.grandMaster && blackout == fresh.blackout &&
           takeOvers == fresh.takeOvers && cuePlaying == fresh.cuePlaying &&
           currentCue == fresh.currentCue && fade == fresh.fade && followLeft == fresh.followLeft &&
           locked == fresh.locked;
}

QByteArray LiveStateFile::Encode(const LiveState &state)
{
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    for (const auto &row : state.rows)
        out.writeRawData(reinterpret_cast<const char *>(row.data()), row.size());
    out << state.handles[0] << state.handles[1] << state.linked << state.lastOnAir;
    for (const LiveState::SubFader &fader : state.subFaders)
        out << fader.level << fader.page;
    out << state.page << state.grandMaster << state.blackout << state.fadeTime << state.takeOvers;
    const QByteArray path = state.showPath.toUtf8();
    out << static_cast<quint32>(path.size());
    out.writeRawData(path.constData(), static_cast<int>(path.size()));
    WritePlayback(out, state);

    QByteArray versionAndLength(kCrcAt - kVersionAt, '\0');
    qToLittleEndian<uint16_t>(kVersion, versionAndLength.data());
    qToLittleEndian<uint32_t>(static_cast<uint32_t>(payload.size()),
                              versionAndLength.data() + (kLengthAt - kVersionAt));
    QByteArray file(kMagic, sizeof(kMagic));
    file += versionAndLength;
    QByteArray crc(sizeof(uint32_t), '\0');
    qToLittleEndian<uint32_t>(ChecksumOf(versionAndLength, payload), crc.data());
    return file + crc + payload;
}

LiveStateRead LiveStateFile::Decode(const QByteArray &bytes)
{
    if (!bytes.startsWith(QByteArray(kMagic, sizeof(kMagic))))
        return {{}, kNotLiveState.toString()};
    if (bytes.size() < kHeaderSize)
        return {{}, kCutShort.toString()};
    const QByteArray versionAndLength = bytes.mid(kVersionAt, kCrcAt - kVersionAt);
    const auto version = qFromLittleEndian<uint16_t>(bytes.constData() + kVersionAt);
    const auto length = qFromLittleEndian<uint32_t>(bytes.constData() + kLengthAt);
    const auto crc = qFromLittleEndian<uint32_t>(bytes.constData() + kCrcAt);
    const QByteArray payload = bytes.mid(kHeaderSize);
    if (payload.size() < length)
        return {{}, kCutShort.toString()};
    if (payload.size() > length || ChecksumOf(versionAndLength, payload) != crc)
        return {{}, kDamaged.toString()};
    if (version > kVersion)
        return {{}, kTooNew.toString()};
    if (version < 1)
        return {{}, kDamaged.toString()};

    LiveState state;
    QDataStream in(payload);
    in.setByteOrder(QDataStream::LittleEndian);
    for (auto &row : state.rows)
        in.readRawData(reinterpret_cast<char *>(row.data()), row.size());
    in >> state.handles[0] >> state.handles[1];
    ReadFlag(in, state.linked);
    ReadInRange(in, state.lastOnAir, 0, 1);
    for (LiveState::SubFader &fader : state.subFaders) {
        in >> fader.level;
        ReadInRange(in, fader.page, 1, kPages);
    }
    ReadInRange(in, state.page, 1, kPages);
    in >> state.grandMaster;
    ReadFlag(in, state.blackout);
    ReadFadeTime(in, version, state.fadeTime);
    ReadInRange(in, state.takeOvers, 0,
                LiveState::kTakeOverA | LiveState::kTakeOverB | LiveState::kTakeOverSub);
    quint32 pathBytes = 0;
    in >> pathBytes;
    if (in.status() != QDataStream::Ok || pathBytes > kMaxPathBytes)
        return {{}, kDamaged.toString()};
    QByteArray path(static_cast<qsizetype>(pathBytes), '\0');
    if (in.readRawData(path.data(), static_cast<int>(pathBytes)) != static_cast<int>(pathBytes))
        return {{}, kDamaged.toString()};
    state.showPath = QString::fromUtf8(path);
    if (version >= 2)
        ReadPlayback(in, state);
    if (in.status() != QDataStream::Ok || !in.atEnd())
        return {{}, kDamaged.toString()};
    return {state, {}};
}

} // namespace orinsub::model
