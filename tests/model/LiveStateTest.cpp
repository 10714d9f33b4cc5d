#include "model/LiveState.h"
#include "model/Crc32.h"
#include "support/Corpus.h"

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
    state.cuePlaying = true;
    state.currentCue = 35;
    state.fade = {FadeProgress::Phase::Running,
                  0,
                  {40, 255},
                  FadeTimes{std::chrono::milliseconds(2500), std::chrono::milliseconds(4000),
                            std::chrono::milliseconds(500)},
                  std::chrono::milliseconds(1500)};
    state.followLeft = std::chrono::milliseconds(12300);
    state.locked = true;
    LiveState::Look look{};
    look[0] = 217;
    look[511] = 3;
    state.look = look;
    return state;
}

/// Where the payload's additions of version 2 begin in a file of PlayedDesk.
qsizetype PlaybackAt()
{
    return 18 + 210 + 4 + PlayedDesk().showPath.toUtf8().size();
}

/// Where the GO fade time stands in a file.
constexpr qsizetype kFadeTimeAt = 18 + 207;

/// Puts the checksum right again after a change to the payload or header.
void Reseal(QByteArray &file)
{
    const auto bytes = orinsub::testing::AsBytes(file);
    const uint32_t crc = Crc32().Add(bytes.subspan(8, 6)).Add(bytes.subspan(18)).Value();
    qToLittleEndian<uint32_t>(crc, file.data() + 14);
}

/// The file an older console wrote of state (version 1 or 2): the fade time in a byte, and no
/// playback before version 2.
QByteArray OlderFile(const LiveState &state, int version)
{
    QByteArray file = LiveStateFile::Encode(state);
    if (version < 2)
        file.truncate(PlaybackAt());
    file.remove(kFadeTimeAt + 1, 1);
    file[8] = static_cast<char>(version);
    qToLittleEndian<uint32_t>(static_cast<uint32_t>(file.size() - 18), file.data() + 10);
    Reseal(file);
    return file;
}

} // namespace

TEST(LiveStateFile, KeepsEveryPartOfAPlayedDesk)
{
    const LiveState played = PlayedDesk();
    const LiveStateRead read = LiveStateFile::Decode(LiveStateFile::Encode(played));
    ASSERT_TRUE(read.state) << read.problem.toStdString();
    EXPECT_EQ(*read.state, played);
    LiveState longest = played;
    longest.fadeTime = kMaxFadeTime;
    longest.fade.times.down = longest.fade.elapsed = std::chrono::milliseconds(kMaxFadeTime * 100);
    EXPECT_EQ(LiveStateFile::Decode(LiveStateFile::Encode(longest)).state, longest);
    EXPECT_FALSE(played.IsFresh());
    LiveState fresh;
    fresh.fadeTime = 12;
    fresh.showPath = QStringLiteral("x.orin");
    fresh.subFaders[0].page = 5; // a fader at 0 plays nothing
    EXPECT_TRUE(fresh.IsFresh()) << "the show and its fade time are not the desk";
}

// Consoles of the versions before wrote the fade time in a byte, the first of them no playback:
// what they wrote still comes back.
TEST(LiveStateFile, FilesOfTheVersionsBeforeRestoreWhatTheyHold)
{
    EXPECT_EQ(LiveStateFile::Decode(OlderFile(PlayedDesk(), 2)).state, PlayedDesk());
    const LiveStateRead read = LiveStateFile::Decode(OlderFile(PlayedDesk(), 1));
    ASSERT_TRUE(read.state) << read.problem.toStdString();
    LiveState expected = PlayedDesk();
    const LiveState fresh;
    expected.cuePlaying = fresh.cuePlaying;
    expected.currentCue = fresh.currentCue;
    expected.fade = fresh.fade;
    expected.followLeft = fresh.followLeft;
    expected.locked = fresh.locked;
    expected.look = fresh.look;
    EXPECT_EQ(*read.state, expected);
}

TEST(FadeTimes, WhatIsLeftAfterSomeOfTheFadeHasRun)
{
    using std::chrono::milliseconds;
    const FadeTimes times{milliseconds(2000), milliseconds(3000), milliseconds(1000)};
    const struct
    {
        int elapsed;
        FadeTimes left;
    } cases[] = {
        {0, times},
        {500, {milliseconds(1500), milliseconds(3000), milliseconds(500)}},
        {1500, {milliseconds(500), milliseconds(2500), milliseconds(0)}},
        {4000, {milliseconds(0), milliseconds(0), milliseconds(0)}},
        {9000, {milliseconds(0), milliseconds(0), milliseconds(0)}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(times.After(milliseconds(c.elapsed)), c.left) << c.elapsed;
    EXPECT_EQ(times.Total(), milliseconds(4000));
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
             f[8] = LiveStateFile::kVersion + 1;
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
        {"a cue numbered 0.5",
         [](QByteArray &f) {
             qToLittleEndian<uint16_t>(5, f.data() + PlaybackAt() + 1);
             Reseal(f);
         },
         u"壊れています"},
        {"a fade of phase 3",
         [](QByteArray &f) {
             f[PlaybackAt() + 3] = 3;
             Reseal(f);
         },
         u"壊れています"},
        {"a GO fade time of an hour",
         [](QByteArray &f) {
             qToLittleEndian<uint16_t>(kMaxFadeTime + 1, f.data() + kFadeTimeAt);
             Reseal(f);
         },
         u"壊れています"},
        {"a follow of two hours",
         [](QByteArray &f) {
             qToLittleEndian<uint32_t>(7'200'000, f.data() + PlaybackAt() + 24);
             Reseal(f);
         },
         u"壊れています"},
        {"the held look cut short",
         [](QByteArray &f) {
             f.chop(100);
             qToLittleEndian<uint32_t>(static_cast<uint32_t>(f.size() - 18), f.data() + 10);
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
