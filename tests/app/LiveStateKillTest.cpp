#include "ArtNetConsole.h"
#include "model/LiveState.h"
#include "model/OrinSUBDoc.h"
#include "model/ShowFile.h"

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
        QFile file(QDir(StateFolder()).filePath("recovery-1.live"));
        if (!file.open(QIODevice::ReadOnly))
            return std::nullopt;
        return model::LiveStateFile::Decode(file.readAll()).state;
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

} // namespace
