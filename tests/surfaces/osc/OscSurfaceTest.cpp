#include "OscTestClient.h"
#include "support/PrivateSettings.h"
#include "surfaces/RecordingSurface.h"
#include "surfaces/osc/OscStart.h"
#include "views/ConsoleOperations.h"
#include "views/GoFade.h"

#include <QSettings>

using namespace orinsub;
using namespace orinsub::surfaces::osc;
using orinsub::surfaces::osc::testing::FloodBundle;
using orinsub::surfaces::osc::testing::FloodLevel;
using orinsub::surfaces::osc::testing::kFloodMoves;
using orinsub::surfaces::osc::testing::OscTestClient;
using orinsub::surfaces::osc::testing::Received;

namespace {

/// The console with the OSC surface on its control layer, listening on 127.0.0.1.
class OscSurfaceTest : public orinsub::testing::LayerTest
{
protected:
    void Start(bool pickUp = false)
    {
        QString error;
        std::unique_ptr<OscServer> server = OscServer::Open({0x7f000001, 0}, error);
        ASSERT_TRUE(server) << error.toStdString();
        surface = std::make_unique<OscSurface>(*layer, std::move(server), pickUp);
        client = NewClient();
    }
    std::unique_ptr<OscTestClient> NewClient()
    {
        return std::make_unique<OscTestClient>(surface->Server().LocalEndpoint().port);
    }
    /// Runs the event loop until the console has read count datagrams (or 5 s).
    void ReadUntil(uint64_t count)
    {
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return surface->Server().Counters().packets >= count; }, 5000));
    }
    /// The last value a client heard for a target.
    static std::optional<float> Last(std::vector<Received> &heard, const char *target)
    {
        const std::string path = std::string(kAddressPrefix) + target;
        for (auto it = heard.rbegin(); it != heard.rend(); ++it) {
            if (it->path == path)
                return it->value;
        }
        return std::nullopt;
    }

    std::unique_ptr<OscSurface> surface;
    std::unique_ptr<OscTestClient> client;
};

} // namespace

TEST_F(OscSurfaceTest, AClientPlaysTheDeskToTheDmxFrameAndIsShownIt)
{
    dan->MoveFaderTo(1, 79, 51);
    Start();
    client->SendFloat("/orinsub/xfade/A", 1.0f);
    client->SendFloat("/orinsub/A/1", 0.5f);
    client->SendInt("/orinsub/sub/2", 255);
    client->SendFloat("/orinsub/go/time", 2.5f);
    client->SendEmpty("/orinsub/in/A");
    ReadUntil(5);

    EXPECT_EQ(HandleA().GetLevel(), 255);
    EXPECT_EQ(Fader(0, 1).GetLevel(), 128);
    EXPECT_EQ(port.GetOutputSlot(1), 128) << "row A on air: channel 1 patched to dimmer 1";
    EXPECT_EQ(Sub(2).GetLevel(), 255);
    EXPECT_EQ(master->GetGoFade().GetFadeTime(), 25);
    EXPECT_TRUE(views::IsInputHookOn(views::InputTarget::RowA));

    // Heard for the first time, the client was shown the whole desk, then what its button did.
    std::vector<Received> &heard = client->Hear(196);
    EXPECT_EQ(Last(heard, "B/80"), 0.2f);
    EXPECT_EQ(Last(heard, "sub/20"), 0.0f);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Last(client->HeardSoFar(), "in/A") == 1.0f; }, 2000));
}

TEST_F(OscSurfaceTest, OtherClientsSeeAMoveAndEveryClientSeesTheDesksChanges)
{
    Start();
    const std::unique_ptr<OscTestClient> other = NewClient();
    other->SendEmpty("/orinsub/page/down"); // page 1 has none below: only makes it known
    client->SendFloat("/orinsub/B/2", 1.0f);
    ReadUntil(2);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Last(other->HeardSoFar(), "B/2") == 1.0f; }, 2000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Last(client->HeardSoFar(), "B/2") == 1.0f; }, 2000))
        << "a new client is shown the desk as its first move left it";

    dan->MoveFaderTo(0, 4, 255); // the mouse
    for (OscTestClient *c : {client.get(), other.get()}) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return Last(c->HeardSoFar(), "A/5") == 1.0f; }, 2000));
    }

    // A burst over the whole row: the other client ends on every fader's last level.
    for (float level : {0.2f, 0.6f}) {
        for (int channel = 1; channel <= 80; ++channel)
            client->SendFloat(("/orinsub/B/" + std::to_string(channel)).c_str(), level);
    }
    ReadUntil(162);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Last(other->HeardSoFar(), "B/80") == 0.6f; }, 2000));
    for (int channel = 1; channel <= 80; ++channel) {
        const std::string target = "B/" + std::to_string(channel);
        EXPECT_EQ(Last(other->HeardSoFar(), target.c_str()), 0.6f) << target;
    }
}

TEST_F(OscSurfaceTest, WithPickUpEachClientTakesTheFaderOnlyOnceItReachesItsLevel)
{
    dan->MoveFaderTo(0, 0, 128);
    Start(true);
    const std::unique_ptr<OscTestClient> other = NewClient();
    client->SendFloat("/orinsub/A/1", 0.2f);
    ReadUntil(1);
    EXPECT_EQ(Fader(0, 1).GetLevel(), 128);
    client->SendFloat("/orinsub/A/1", 0.6f); // crosses 128
    ReadUntil(2);
    EXPECT_EQ(Fader(0, 1).GetLevel(), 153);
    other->SendFloat("/orinsub/A/1", 0.1f); // has not caught it: moves nothing
    ReadUntil(3);
    EXPECT_EQ(Fader(0, 1).GetLevel(), 153);
}

TEST_F(OscSurfaceTest, AStripFollowsItsFaderForEveryClientAndStripsPastTheBankAreRefused)
{
    Start();
    const std::unique_ptr<OscTestClient> other = NewClient();
    other->SendEmpty("/orinsub/page/down"); // only makes it known
    client->SendFloat("/orinsub/sub/1", 1.0f);
    client->SendFloat("/orinsub/strip/9", 1.0f);
    ReadUntil(3);
    for (OscTestClient *c : {client.get(), other.get()}) {
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return Last(c->HeardSoFar(), "strip/1") == 1.0f; }, 2000));
    }
    EXPECT_EQ(surface->Server().Counters().ignored.unknownAddress, 1u);
    EXPECT_FALSE(Last(client->HeardSoFar(), "strip/9"));
}

TEST_F(OscSurfaceTest, StartReadsTheReplyAddressesAndSaysWhatItCannotUse)
{
    const orinsub::testing::PrivateSettings config;
    OscTestClient listener(9); // never sends: it only listens where the settings point
    {
        QSettings settings;
        settings.setValue("OSC/ReplyTo",
                          QStringList{listener.Endpoint().ToString(), "nowhere", "10.0.0.1"});
    }
    QString error;
    const uint16_t free = OscServer::Open({0x7f000001, 0}, error)->LocalEndpoint().port;
    QStringList problems;
    const std::unique_ptr<OscSurface> started =
        StartOscSurface(*layer, QString::number(free), problems);
    ASSERT_TRUE(started);
    EXPECT_EQ(problems.size(), 2) << problems.join('\n').toStdString();
    EXPECT_TRUE(problems.value(0).contains("nowhere"));
    dan->MoveFaderTo(0, 2, 255);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Last(listener.HeardSoFar(), "A/3") == 1.0f; }, 2000));

    problems.clear();
    const QString taken = started->Server().LocalEndpoint().ToString();
    EXPECT_FALSE(StartOscSurface(*layer, taken, problems));
    EXPECT_EQ(problems, QStringList{QStringLiteral("OSC を %1 で受信できません: "
                                                   "ポートはほかのプログラムが使っています\n"
                                                   "OSC なしで続けます。")
                                        .arg(taken)});
}

TEST_F(OscSurfaceTest, ALatchTakesAStateOrTogglesAndAFlashButtonHoldsWhileOne)
{
    doc.GetSubMaster(1, 2)->m_levels[0] = 255;
    Start();
    client->SendInt("/orinsub/independent/4", 1);
    ReadUntil(1);
    EXPECT_TRUE(doc.m_extension.IsIndependent(4));
    EXPECT_TRUE(doc.IsModified());
    client->SendInt("/orinsub/independent/4", 1); // a state, not a toggle
    client->SendFloat("/orinsub/flash/mode", 1.0f);
    ReadUntil(3);
    EXPECT_TRUE(doc.m_extension.IsIndependent(4));
    EXPECT_EQ(doc.m_extension.flashMode, model::FlashMode::Solo);
    client->SendEmpty("/orinsub/independent/4");
    client->SendInt("/orinsub/flash/mode", 0);
    ReadUntil(5);
    EXPECT_FALSE(doc.m_extension.IsIndependent(4)) << "a bare message toggles";
    EXPECT_EQ(doc.m_extension.flashMode, model::FlashMode::Flash);

    client->SendInt("/orinsub/flash/2", 1);
    ReadUntil(6);
    EXPECT_EQ(port.GetOutputSlot(1), 255);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return Last(client->HeardSoFar(), "flash/2") == 1.0f; }, 2000))
        << "its lamp";
    client->SendInt("/orinsub/flash/2", 0);
    ReadUntil(7);
    EXPECT_EQ(port.GetOutputSlot(1), 0);
}

// A GO from one client while another floods bundles of thousands of moves: it starts, and the
// moves still reach the faders.
TEST_F(OscSurfaceTest, AGoSentDuringAFloodOfHugeBundlesStarts)
{
    Start();
    std::unique_ptr<OscTestClient> operatorClient = NewClient();
    for (int bundle = 0; bundle < 6; ++bundle) {
        client->SendRaw(FloodBundle(bundle));
        if (bundle == 2)
            operatorClient->SendEmpty("/orinsub/go");
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return master->GetGoFade().IsRunning(); }, 10000));
    ReadUntil(7);
    const int lastMoved = 2 + (kFloodMoves - 1) % 79;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return Fader(0, lastMoved).GetLevel() == FloodLevel(5, kFloodMoves - 1); }, 5000));
}
