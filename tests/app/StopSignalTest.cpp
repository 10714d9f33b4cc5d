#include "ArtNetConsole.h"
#include "model/LiveState.h"
#include "model/OrinSUBDoc.h"
#include "model/ShowFile.h"

#include <QDir>
#include <QFile>
#include <cstdio>

namespace {

using namespace orinsub;
using orinsub::testing::ArtNetFrames;
using orinsub::testing::LoopbackUdp;

struct StopCase
{
    int signal;
    bool boxOpen; // a box waits for the operator when the signal comes
};

class StopSignalTest : public orinsub::testing::ArtNetConsoleTest,
                       public ::testing::WithParamInterface<StopCase>
{
};

// A service manager stops the console with a changed show and a look on stage, long before the
// recovery copy would be due: nothing is asked, and the next start has both back. The time it
// takes is printed (no timing is asserted: a busy machine stretches it).
TEST_P(StopSignalTest, AStopAsksNothingAndTheNextStartOffersTheWorkAndTheLook)
{
    const std::unique_ptr<LoopbackUdp> socket = BindArtNet();
    ASSERT_TRUE(socket);
    ArtNetFrames artNet(*socket);
    const QString show = folder.filePath("evening.orin");
    ASSERT_TRUE(model::SaveShowFile(model::COrinSUBDoc{}, show).IsOk());
    StartPlayedConsole({show});
    ASSERT_TRUE(WaitForTitle("evening - OrinSUB"));
    Osc("A/1", 255);
    Osc("xfade/A", 200);
    Osc("go/time", 5); // seconds
    ASSERT_TRUE(WaitForTitle("evening\\* - OrinSUB"));
    ASSERT_FALSE(
        artNet.WaitFor([](const std::vector<uint8_t> &frame) { return frame[0] == 200; }).empty());
    if (GetParam().boxOpen) {
        QProcess second; // a show that cannot be opened: the console says so and waits
        second.setProcessEnvironment(Environment());
        second.start(QStringLiteral(ORINSUB_EXECUTABLE), {folder.filePath("none.orin")});
        ASSERT_TRUE(second.waitForFinished(30000));
        ASSERT_TRUE(WindowShown("OrinSUB"));
    }

    QElapsedTimer stopping;
    stopping.start();
    ::kill(static_cast<pid_t>(console.processId()), GetParam().signal);
    ASSERT_TRUE(console.waitForFinished(30000)) << "a question waits";
    std::printf("ended %lld ms after the signal\n", static_cast<long long>(stopping.elapsed()));
    EXPECT_EQ(console.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(console.exitCode(), 0);

    const QDir state(StateFolder());
    model::ShowFileRead copy = model::ReadShowFile(state.filePath("recovery-1.orin"));
    ASSERT_TRUE(copy.result.IsOk()) << copy.result.message.toStdString();
    model::COrinSUBDoc kept;
    std::move(copy.content).ApplyTo(kept);
    EXPECT_EQ(kept.m_extension.fadeTime, 50);
    QFile live(state.filePath("recovery-1.live"));
    ASSERT_TRUE(live.open(QIODevice::ReadOnly));
    const model::LiveStateRead look = model::LiveStateFile::Decode(live.readAll());
    ASSERT_TRUE(look.state);
    EXPECT_EQ(look.state->rows[0][0], 255);

    StartConsole({"--restore", "yes", "--dmx", "artnet:127.0.0.1"});
    EXPECT_TRUE(WaitForTitle("evening\\* - OrinSUB"));
    artNet.Drain();
    const std::vector<uint8_t> frame = artNet.Next();
    ASSERT_FALSE(frame.empty());
    EXPECT_EQ(frame[0], 200);
}

INSTANTIATE_TEST_SUITE_P(Signals, StopSignalTest,
                         ::testing::Values(StopCase{SIGTERM, false}, StopCase{SIGINT, true}),
                         [](const ::testing::TestParamInfo<StopCase> &info) {
                             return std::string(info.param.signal == SIGTERM ? "Term" : "Int") +
                                    (info.param.boxOpen ? "UnderABox" : "");
                         });

} // namespace
