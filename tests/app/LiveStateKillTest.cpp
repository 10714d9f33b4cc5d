#include "ArtNetConsole.h"
#include "model/LiveState.h"
#include "model/OrinSUBDoc.h"
#include "model/ShowFile.h"
#include "support/TempFiles.h"

#include <QDir>
#include <QFile>

namespace {

using namespace orinsub;
using orinsub::testing::ArtNetFrames;
using orinsub::testing::LoopbackUdp;

class LiveStateKillTest : public orinsub::testing::ArtNetConsoleTest
{
protected:
    /// The live state the console keeps now, if any.
    std::optional<model::LiveState> Kept() const
    {
        return model::LiveStateFile::Decode(
                   orinsub::testing::ReadFile(QDir(StateFolder()).filePath("recovery-1.live")))
            .state;
    }
};

TEST_F(LiveStateKillTest, AKilledShowComesBackOnTheOutputByteForByte)
{
    const std::unique_ptr<LoopbackUdp> socket = BindArtNet();
    ASSERT_TRUE(socket);
    ArtNetFrames artNet(*socket);
    const QString show = folder.filePath("evening.orin");
    {
        model::COrinSUBDoc doc;
        doc.GetSubMaster(2, 1)->m_levels[2] = 255; // channel 3 on page 2's first sub-master
        ASSERT_TRUE(model::SaveShowFile(doc, show).IsOk());
    }
    StartPlayedConsole({show});

    // Both rows, the handles, and a sub fader raised on page 2 and kept while page 1 shows.
    Osc("A/1", 255);
    Osc("B/2", 100);
    Osc("xfade/A", 200);
    Osc("page/up");
    Osc("sub/1", 128);
    Osc("page/down");
    const std::vector<uint8_t> played = artNet.WaitFor([](const std::vector<uint8_t> &frame) {
        return frame[0] == 200 && frame[1] == 100 && frame[2] == 128;
    });
    ASSERT_FALSE(played.empty()) << "the look never reached the wire";
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const std::optional<model::LiveState> kept = Kept();
            return kept && kept->page == 1 && kept->subFaders[0].level == 128;
        },
        10000));

    ASSERT_TRUE(Signal(SIGKILL));
    const std::vector<uint8_t> beforeKill = artNet.Drain();
    ASSERT_EQ(beforeKill, played);

    StartConsole({"--restore", "yes", "--dmx", "artnet:127.0.0.1"});
    ASSERT_TRUE(WaitForTitle("evening - OrinSUB"));
    artNet.Drain();
    // The desk is back before the window shows: the first frame after it carries the look.
    EXPECT_EQ(artNet.Next(), beforeKill);

    // A stop signal asks nothing and leaves the look for the next start.
    ASSERT_TRUE(Signal(SIGTERM));
    EXPECT_EQ(console.exitCode(), 0);
    EXPECT_TRUE(Kept().has_value());
}

// キュー再生 on, killed 1.5 s into cue 2's 4 s fade, started again with nobody at hand for a
// while: the look the desk left is on every frame from the first while the question waits, Enter
// keeps the desk, the fade goes on from there to cue 2's look without a jump, and GO plays cue 3.
TEST_F(LiveStateKillTest, AKilledCueFadeHoldsItsLookWhileTheQuestionWaitsAndGoesOn)
{
    const std::unique_ptr<LoopbackUdp> socket = BindArtNet();
    ASSERT_TRUE(socket);
    ArtNetFrames artNet(*socket);
    const QString show = folder.filePath("drama.orin");
    ASSERT_TRUE(orinsub::testing::SaveThreeCueShow(show));
    StartPlayedConsole({show});
    Osc("cue/mode", 1);
    Osc("cue/go");
    ASSERT_FALSE(artNet.WaitFor([](const auto &f) { return f[0] == 255; }).empty());
    QTest::qWait(600); // past GO's bounce guard
    Osc("cue/go");
    ASSERT_FALSE(artNet.WaitFor([](const auto &f) { return f[1] > 0; }).empty());
    std::optional<model::LiveState> kept;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            kept = Kept();
            return kept && kept->look && kept->fade.elapsed >= std::chrono::milliseconds(1000);
        },
        10000));
    ASSERT_TRUE(Signal(SIGKILL));
    kept = Kept();
    ASSERT_TRUE(kept && kept->look);
    ASSERT_EQ(kept->fade.phase, model::FadeProgress::Phase::Running);
    const std::vector<uint8_t> look(kept->look->begin(), kept->look->end());
    artNet.Drain();

    StartConsole({"--dmx", "artnet:127.0.0.1", "--osc", QString::number(m_oscPort)});
    EXPECT_EQ(artNet.Next(std::chrono::seconds(30)), look) << "the first frame";
    for (int frame = 0; frame < 100; ++frame) // 2 s of nobody answering
        ASSERT_EQ(artNet.Next(), look) << "frame " << frame << " while the question waits";
    const std::optional<QString> question = WindowShown("OrinSUB");
    ASSERT_TRUE(question);
    ASSERT_TRUE(XDo({"windowfocus", "--sync", *question}));
    ASSERT_TRUE(XDo({"key", "Return"}));

    std::vector<uint8_t> last = look;
    std::vector<uint8_t> frame;
    auto lastAt = std::chrono::steady_clock::now();
    for (int i = 0; i < 300 && last[1] != 250; ++i) {
        frame = artNet.Next();
        ASSERT_FALSE(frame.empty());
        // 255 over 4 s is under 2 a frame; a busy machine's late step may catch up a few frames,
        // and as many more as the wait for this frame lasted (64 a second); a jump would be a
        // hundred.
        const auto at = std::chrono::steady_clock::now();
        const int allowed =
            10 + static_cast<int>(64 * std::chrono::duration<double>(at - lastAt).count());
        for (size_t slot = 0; slot < 3; ++slot)
            ASSERT_LE(std::abs(frame[slot] - last[slot]), allowed) << "slot " << slot + 1;
        last = frame;
        lastAt = at;
    }
    EXPECT_EQ(last[0], 0);
    EXPECT_EQ(last[1], 250) << "cue 2's look, where the fade ends";
    Osc("cue/go");
    EXPECT_FALSE(artNet.WaitFor([](const auto &f) { return f[2] == 100; }).empty()) << "cue 3";
}

} // namespace
