#include "model/LiveState.h"
#include "model/Crc32.h"

#include <QtEndian>
#include <functional>
#include <gtest/gtest.h>
#include <span>

using namespace orinsub::model;

namespace {

LiveState PlayedDesk()
{
    LiveState state;
    state.rows[0][0] = 255;
    state.rows[1][79] = 17;
    state.handles = {200, 60};
    state.linked = true;
    state.lastOnAir = 0;
    state.subFaders[3] = {128, 7};
    state.subFaders[19] = {1, 20};
    state.page = 20;
    state.grandMaster = 0;
    state.blackout = true;
    state.fadeTime = 255;
    state.takeOvers = LiveState::kTakeOverSub;
    state.showPath = QStringLiteral("/home/operator/公演/evening.orin");
    return state;
}

/// Puts the checksum right again after a change to the payload or header.
void Reseal(QByteArray &file)
{
    const auto bytes = std::span(reinterpret_cast<const uint8_t *>(file.constData()),
                                 static_cast<size_t>(file.size()));
    const uint32_t crc = Crc32().Add(bytes.subspan(8, 6)).Add(bytes.subspan(18)).Value();
    qToLittleEndian<uint32_t>(crc, file.data() + 14);
}

} // namespace

TEST(LiveStateFile, KeepsEveryPartOfAPlayedDesk)
{
    const LiveState played = PlayedDesk();
    const LiveStateRead read = LiveStateFile::Decode(LiveStateFile::Encode(played));
    ASSERT_TRUE(read.state) << read.problem.toStdString();
    EXPECT_EQ(*read.state, played);
    EXPECT_FALSE(played.IsFresh());
    LiveState fresh;
    fresh.fadeTime = 12;
    fresh.showPath = QStringLiteral("x.orin");
    fresh.subFaders[0].page = 5; // a fader at 0 plays nothing
    EXPECT_TRUE(fresh.IsFresh()) << "the show and its fade time are not the desk";
}

TEST(LiveStateFile, RefusesAnythingButAWholeUndamagedStateOfThisVersion)
{
    const QByteArray good = LiveStateFile::Encode(PlayedDesk());
    const qsizetype payload = 18;
    const struct
    {
        const char *what;
        std::function<void(QByteArray &)> damage;
        const char16_t *problem;
    } cases[] = {
        {"empty", [](QByteArray &f) { f.clear(); }, u"卓の状態のファイルではありません"},
        {"other magic", [](QByteArray &f) { f[0] = 'X'; }, u"卓の状態のファイルではありません"},
        {"cut in the header", [](QByteArray &f) { f.truncate(12); }, u"途中で切れています"},
        {"cut in the payload", [](QByteArray &f) { f.chop(3); }, u"途中で切れています"},
        {"a byte after it", [](QByteArray &f) { f.append('\0'); }, u"壊れています"},
        {"a flipped bit", [](QByteArray &f) { f[payload + 5] ^= 4; }, u"壊れています"},
        {"a newer version",
         [](QByteArray &f) {
             f[8] = 2;
             Reseal(f);
         },
         u"新しいバージョンの OrinSUB で書かれています"},
        {"page 21 under a good checksum",
         [](QByteArray &f) {
             f[payload + 164 + 2 * 20] = 21;
             Reseal(f);
         },
         u"壊れています"},
        {"a flag of 2 under a good checksum",
         [](QByteArray &f) {
             f[payload + 162] = 2;
             Reseal(f);
         },
         u"壊れています"},
    };
    for (const auto &c : cases) {
        QByteArray file = good;
        c.damage(file);
        const LiveStateRead read = LiveStateFile::Decode(file);
        EXPECT_FALSE(read.state) << c.what;
        EXPECT_EQ(read.problem, QString::fromUtf16(c.problem)) << c.what;
    }
}
