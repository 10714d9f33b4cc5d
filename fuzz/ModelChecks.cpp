#include "ModelChecks.h"

#include "model/Crc32.h"
#include "model/LiveState.h"
#include "model/ShowExtensionBlock.h"
#include "model/UsittAscii.h"

#include <QtEndian>

namespace orinsub::fuzz {

namespace {

using namespace orinsub::model;

// Both headers: magic 8 bytes, version u16, payload length u32, CRC-32 u32 of the version, the
// length and the payload.
constexpr qsizetype kVersionAt = 8;
constexpr qsizetype kCrcAt = kVersionAt + 2 + 4;

std::span<const uint8_t> AsBytes(const QByteArray &bytes)
{
    return {reinterpret_cast<const uint8_t *>(bytes.constData()),
            static_cast<size_t>(bytes.size())};
}

/// The file the input stands for: sample's magic and version in front of the payload when the
/// first byte asks for it.
QByteArray FileFrom(std::span<const uint8_t> input, const QByteArray &sample)
{
    if (input.empty())
        return {};
    const QByteArray rest(reinterpret_cast<const char *>(input.data()) + 1,
                          static_cast<qsizetype>(input.size() - 1));
    if (input[0] % 4 == 0)
        return rest;
    QByteArray file = sample.left(kCrcAt);
    qToLittleEndian<uint32_t>(static_cast<uint32_t>(rest.size()), file.data() + kVersionAt + 2);
    const uint32_t crc = Crc32().Add(AsBytes(file).subspan(kVersionAt)).Add(AsBytes(rest)).Value();
    file.resize(kCrcAt + 4);
    qToLittleEndian<uint32_t>(crc, file.data() + kCrcAt);
    return file + rest;
}

bool InRange(const LiveState &state)
{
    const auto isPage = [](int page) { return page >= 1 && page <= kPages; };
    if (state.lastOnAir > 1 || !isPage(state.page) ||
        state.takeOvers > (LiveState::kTakeOverA | LiveState::kTakeOverB | LiveState::kTakeOverSub))
        return false;
    for (const LiveState::SubFader &fader : state.subFaders) {
        if (!isPage(fader.page))
            return false;
    }
    return true;
}

} // namespace

std::string CheckLiveState(std::span<const uint8_t> bytes)
{
    static const QByteArray sample = LiveStateFile::Encode(LiveState{});
    const LiveStateRead read = LiveStateFile::Decode(FileFrom(bytes, sample));
    if (!read.state)
        return read.problem.isEmpty() ? "a refused live state says nothing" : "";
    if (!read.problem.isEmpty())
        return "an accepted live state came with a problem";
    if (!InRange(*read.state))
        return "an accepted live state has a value out of range";
    const LiveStateRead again = LiveStateFile::Decode(LiveStateFile::Encode(*read.state));
    if (!again.state || !(*again.state == *read.state))
        return "a live state does not read back as it was written";
    return {};
}

std::string CheckExtensionBlock(std::span<const uint8_t> bytes)
{
    static const QByteArray sample = [] {
        ShowExtension extension;
        extension.fadeTime = 12;
        return ShowExtensionBlock::Encode(extension);
    }();
    const QByteArray file = FileFrom(bytes, sample);
    const ShowExtensionParse parse = ShowExtensionBlock::Decode(AsBytes(file));
    if (parse.status != ShowFileStatus::Ok) {
        if (!parse.extension.IsDefault())
            return "a refused block handed out additions";
        if (parse.status == ShowFileStatus::Corrupt && parse.problem.isEmpty())
            return "a damaged block says nothing";
        return {};
    }
    int previous = 0;
    for (const Cue &cue : parse.extension.cues.Cues()) {
        if (cue.number <= previous || !CueList::Check(cue).isEmpty())
            return "an accepted block holds a cue the cue list refuses";
        previous = cue.number;
    }
    previous = 0;
    for (const Chase &chase : parse.extension.chases.Chases()) {
        if (chase.number <= previous || !ChaseList::Check(chase).isEmpty())
            return "an accepted block holds a chase the chase list refuses";
        previous = chase.number;
    }
    const QByteArray encoded = ShowExtensionBlock::Encode(parse.extension);
    const ShowExtensionParse again = ShowExtensionBlock::Decode(AsBytes(encoded));
    if (encoded.isEmpty()
            ? !parse.extension.IsDefault()
            : again.status != ShowFileStatus::Ok || !(again.extension == parse.extension))
        return "a block does not read back as it was written";
    return {};
}

std::string CheckUsittAscii(std::span<const uint8_t> bytes)
{
    const ExchangeRead read =
        UsittAscii::Read(QByteArray(reinterpret_cast<const char *>(bytes.data()), bytes.size()));
    if (!read.IsOk())
        return read.show == ExchangedShow{} ? std::string() : "a refused file handed out a show";
    for (const Cue &cue : read.show.cues.Cues()) {
        if (!CueList::Check(cue).isEmpty())
            return "an accepted file holds a cue the cue list refuses";
    }
    const ExchangeRead again = UsittAscii::Read(UsittAscii::Write(read.show));
    if (!again.IsOk() || !(again.show == read.show) || !again.leftOut.isEmpty())
        return "a file does not read back as it was written";
    return {};
}

} // namespace orinsub::fuzz
