#include "surfaces/osc/OscServer.h"
#include "OscTestClient.h"

#include <QTimer>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <map>
#include <thread>

using namespace orinsub::surfaces;
using namespace orinsub::surfaces::osc;
using namespace orinsub::surfaces::osc::testing;

namespace {

ControlTarget Target(const char *name)
{
    return *ControlTarget::Parse(QString::fromLatin1(name));
}

class OscServerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QString error;
        server = OscServer::Open({0x7f000001, 0}, error);
        ASSERT_TRUE(server) << error.toStdString();
        server->OnActions([this](const std::vector<ReceivedAction> &turn) {
            turns.push_back(turn);
            for (const ReceivedAction &received : turn)
                actions.push_back(received);
        });
        server->OnNewClient([this](const OscEndpoint &client) { newClients.push_back(client); });
        client = std::make_unique<OscTestClient>(server->LocalEndpoint().port);
    }

    /// Runs the event loop until the server has read count datagrams (or 5 s).
    void ReadUntil(uint64_t count)
    {
        const QDeadlineTimer deadline(5000);
        while (server->Counters().packets + server->Counters().overflowed < count &&
               !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }

    /// Runs the event loop until done holds (or 10 s); whether it does.
    template <typename Done> bool RunUntil(Done done)
    {
        const QDeadlineTimer deadline(10000);
        while (!done() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return done();
    }

    std::unique_ptr<OscServer> server;
    std::unique_ptr<OscTestClient> client;
    std::vector<std::vector<ReceivedAction>> turns;
    std::vector<ReceivedAction> actions;
    std::vector<OscEndpoint> newClients;
};

} // namespace

TEST(OscEndpoint, ListenAddressDefaultsToLoopbackAndReplyAddressNeedsOne)
{
    QString error;
    EXPECT_EQ(OscEndpoint::ParseListen("8000", error), (OscEndpoint{0x7f000001, 8000}));
    EXPECT_EQ(OscEndpoint::ParseListen("0.0.0.0:9", error), (OscEndpoint{0, 9}));
    EXPECT_EQ(OscEndpoint::ParseReply("127.0.0.1:9000", error)->ToString(), "127.0.0.1:9000");
    for (const char *bad : {"", "abc", "0", "65536", "+80", "1.2.3:80", "127.0.0.1:", "::1:80"}) {
        error.clear();
        EXPECT_FALSE(OscEndpoint::ParseListen(bad, error)) << bad;
        EXPECT_TRUE(error.contains(QString::fromLatin1(bad))) << error.toStdString();
    }
    EXPECT_FALSE(OscEndpoint::ParseReply("9000", error));
}

TEST_F(OscServerTest, ABusyPortIsRefusedInTheOperatorsWords)
{
    QString error;
    EXPECT_FALSE(OscServer::Open(server->LocalEndpoint(), error));
    EXPECT_EQ(error, QStringLiteral("ポートはほかのプログラムが使っています"));
}

TEST_F(OscServerTest, ActsOnMessagesAndBundlesOfALibloClientAndKnowsTheSender)
{
    client->SendFloat("/orinsub/A/1", 1.0f);
    lo_bundle bundle = lo_bundle_new(LO_TT_IMMEDIATE);
    lo_message first = lo_message_new();
    lo_message_add_int32(first, 10);
    lo_bundle_add_message(bundle, "/orinsub/sub/2", first);
    lo_bundle_add_message(bundle, "/orinsub/go", lo_message_new());
    client->SendBundle(bundle);
    ReadUntil(2);

    ASSERT_EQ(actions.size(), 3u);
    EXPECT_EQ(actions[0].action, (OscAction{Target("A/1"), true, 255, false}));
    EXPECT_EQ(actions[1].action, (OscAction{Target("sub/2"), true, 10, false}));
    EXPECT_EQ(actions[2].action, (OscAction{Target("go"), false, 0, true}));
    EXPECT_EQ(actions[2].from, client->Endpoint());
    EXPECT_EQ(newClients, std::vector<OscEndpoint>{client->Endpoint()});
}

TEST_F(OscServerTest, BrokenPacketsAreCountedAndTheNextOneStillActs)
{
    OscTestClient stranger(server->LocalEndpoint().port);
    stranger.SendRaw("GET / HTTP/1.0\r\n\r\n");
    stranger.SendRaw(QByteArray(3, '\0'));
    client->SendFloat("/orinsub/A/99", 0.5f);
    client->SendEmpty("/orinsub/B/1");
    client->SendFloat("/orinsub/B/2", 0.0f);
    ReadUntil(5);

    EXPECT_EQ(server->Counters().ignored.malformed, 2u);
    EXPECT_EQ(server->Counters().ignored.unknownAddress, 1u);
    EXPECT_EQ(server->Counters().ignored.wrongType, 1u);
    ASSERT_EQ(actions.size(), 1u);
    EXPECT_EQ(actions[0].action.target, Target("B/2"));
    // Whoever sends no OSC gets no feedback.
    EXPECT_EQ(server->Recipients(), std::vector<OscEndpoint>{client->Endpoint()});
}

TEST_F(OscServerTest, MovesOfATargetInOneTurnBecomeTheLastOneWithButtonsKeptInOrder)
{
    std::vector<QByteArray> messages;
    for (int level = 1; level <= 10; ++level)
        messages.push_back(IntMessage("/orinsub/sub/1", level));
    messages.push_back(IntMessage("/orinsub/page/up", 1));
    for (int level = 11; level <= 20; ++level)
        messages.push_back(IntMessage("/orinsub/sub/1", level));
    messages.push_back(IntMessage("/orinsub/sub/2", 7));
    client->SendRaw(Bundle(messages)); // one datagram: a turn reads it whole
    ReadUntil(1);

    ASSERT_EQ(turns.size(), 1u);
    std::vector<OscAction> read;
    for (const ReceivedAction &received : turns[0])
        read.push_back(received.action);
    EXPECT_EQ(read, (std::vector<OscAction>{{Target("sub/1"), true, 10, false},
                                            {Target("page/up"), false, 0, true},
                                            {Target("sub/1"), true, 20, false},
                                            {Target("sub/2"), true, 7, false}}));
    EXPECT_EQ(server->Counters().coalesced, 18u);
}

TEST_F(OscServerTest, RecipientsAreClientsHeardWithinAMinuteAndTheReplyAddresses)
{
    auto now = std::chrono::steady_clock::now();
    server->SetClock([&now] { return now; });
    OscTestClient listener(server->LocalEndpoint().port); // never sends: a reply address
    server->SetReplyAddresses({listener.Endpoint()});
    client->SendFloat("/orinsub/A/1", 0.5f);
    ReadUntil(1);
    EXPECT_EQ(server->Recipients(),
              (std::vector<OscEndpoint>{listener.Endpoint(), client->Endpoint()}));
    server->Send(client->Endpoint(), EncodeOscFeedback(Target("B/3"), 0.25f));
    EXPECT_EQ(client->Hear(1).at(0).path, "/orinsub/B/3");
    EXPECT_FLOAT_EQ(client->Hear(1).at(0).value, 0.25f);

    now += std::chrono::seconds(61);
    EXPECT_EQ(server->Recipients(), std::vector<OscEndpoint>{listener.Endpoint()});
    client->SendFloat("/orinsub/A/1", 0.5f);
    ReadUntil(2);
    EXPECT_EQ(newClients.size(), 2u); // heard again: new again, so it gets the desk anew
}

// 10,000 messages a second for a second, over the 80 channels of row A: every datagram is read
// or counted as dropped by the system, the event loop turns between any two reads, and each
// fader ends on the last level sent to it.
TEST_F(OscServerTest, AFloodIsReadInBoundedTurnsWithOtherEventsBetween)
{
    constexpr int kMessages = 10000;
    QObject context; // ends the pending single shots with the test
    std::array<int, 80> levels{};
    int turnsWithoutEventsBetween = 0;
    bool otherEventRan = true;
    size_t largestTurn = 0;
    server->OnActions([&](const std::vector<ReceivedAction> &turn) {
        if (!otherEventRan)
            ++turnsWithoutEventsBetween;
        otherEventRan = false;
        QTimer::singleShot(0, &context, [&] { otherEventRan = true; });
        largestTurn = std::max(largestTurn, turn.size());
        for (const ReceivedAction &received : turn)
            levels[received.action.target.index] = received.action.level;
    });

    std::atomic<bool> sending{true};
    std::thread sender([this, &sending] {
        auto next = std::chrono::steady_clock::now();
        for (int i = 0; i < kMessages; ++i) {
            const std::string path = "/orinsub/A/" + std::to_string(i % 80 + 1);
            client->SendInt(path.c_str(), i % 256);
            if (i % 100 == 99) {
                next += std::chrono::milliseconds(10);
                std::this_thread::sleep_until(next);
            }
        }
        sending = false;
    });
    while (sending)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    sender.join();
    // The socket tells its drops with the next datagram read: one more after the flood tells
    // them all. A loaded machine may also drop on the way, before the socket, unseen.
    client->SendEmpty("/orinsub/none");
    ReadUntil(kMessages + 1);

    const OscCounters &counted = server->Counters();
    EXPECT_LE(counted.packets + counted.overflowed, uint64_t(kMessages + 1));
    EXPECT_EQ(turnsWithoutEventsBetween, 0);
    EXPECT_LE(largestTurn, size_t(OscServer::kActionsPerTurn));
    if (counted.packets == kMessages + 1) {
        for (int channel = 0; channel < 80; ++channel)
            EXPECT_EQ(levels[channel], (kMessages - 80 + channel) % 256) << channel + 1;
    }
}

// Bundles of thousands of moves, as large as a datagram goes, waiting behind each other: while
// the clock allows, a turn reads the backlog until a button is read, which then plays at once,
// once and in its place: the GO inside the third bundle in the first turn, the cut another
// client sent after the fourth in the second; each fader ends on the last level sent to it.
TEST_F(OscServerTest, ABacklogOfHugeBundlesIsReadUntilAButtonWhichPlaysAtOnce)
{
    const auto frozen = std::chrono::steady_clock::now();
    server->SetClock([frozen] { return frozen; });
    OscTestClient other(server->LocalEndpoint().port);
    std::array<int, 80> levels{};
    std::vector<std::pair<std::string, size_t>> buttons; // name, turn
    std::vector<uint64_t> packetsAtTurn;
    server->OnActions([&](const std::vector<ReceivedAction> &turn) {
        for (const ReceivedAction &received : turn) {
            if (received.action.isMove)
                levels[received.action.target.index] = received.action.level;
            else
                buttons.emplace_back(received.action.target.Name().toStdString(), turns.size());
        }
        turns.push_back(turn);
        packetsAtTurn.push_back(server->Counters().packets);
    });
    const QByteArray go = IntMessage("/orinsub/go", 1);
    for (int bundle = 0; bundle < 6; ++bundle) {
        const QByteArray bytes =
            bundle == 2 ? FloodBundle(bundle, {{1000, go}}) : FloodBundle(bundle);
        ASSERT_LE(bytes.size(), 65507);
        client->SendRaw(bytes);
        if (bundle == 3)
            other.SendEmpty("/orinsub/cut");
    }
    ReadUntil(7);

    ASSERT_EQ(server->Counters().overflowed, 0u) << "the system's buffer held the whole flood";
    EXPECT_EQ(server->Counters().messages, 6u * kFloodMoves + 2);
    EXPECT_EQ(packetsAtTurn, (std::vector<uint64_t>{3, 5, 7}));
    using Button = std::pair<std::string, size_t>;
    EXPECT_EQ(buttons, (std::vector<Button>{{"go", 0}, {"cut", 1}}));
    for (const std::vector<ReceivedAction> &turn : turns)
        EXPECT_LE(turn.size(), size_t(OscServer::kActionsPerTurn));
    ASSERT_EQ(turns.size(), 3u);
    EXPECT_EQ(turns[0][79].action.target.Name(), "go") << "behind the moves before it";
    EXPECT_EQ(turns[1].back().action.target.Name(), "cut") << "behind the moves before it";
    std::array<int, 80> last{};
    for (int i = 0; i < kFloodMoves; ++i)
        last[1 + i % 79] = FloodLevel(5, i);
    EXPECT_EQ(levels, last);
}

// Once a turn's slice is spent it reads no further: with a clock that moves a whole slice each
// time it is read, every turn reads a single bundle, the event loop turns between any two
// turns, and the flood still plays whole.
TEST_F(OscServerTest, ATurnEndsWhenItsSliceIsSpent)
{
    auto now = std::chrono::steady_clock::now();
    server->SetClock([&now] { return now += OscServer::kTurnSlice; });
    QObject context; // ends the pending single shots with the test
    bool otherEventRan = true;
    int turnsWithoutEventsBetween = 0;
    std::vector<uint64_t> packetsAtTurn;
    std::array<int, 80> levels{};
    server->OnActions([&](const std::vector<ReceivedAction> &turn) {
        turnsWithoutEventsBetween += otherEventRan ? 0 : 1;
        otherEventRan = false;
        QTimer::singleShot(0, &context, [&] { otherEventRan = true; });
        packetsAtTurn.push_back(server->Counters().packets);
        for (const ReceivedAction &received : turn)
            levels[received.action.target.index] = received.action.level;
    });
    for (int bundle = 0; bundle < 4; ++bundle)
        client->SendRaw(FloodBundle(bundle));
    ReadUntil(4);

    EXPECT_EQ(packetsAtTurn, (std::vector<uint64_t>{1, 2, 3, 4}));
    EXPECT_EQ(turnsWithoutEventsBetween, 0);
    std::array<int, 80> last{};
    for (int i = 0; i < kFloodMoves; ++i)
        last[1 + i % 79] = FloodLevel(3, i);
    EXPECT_EQ(levels, last);
}

// A flood of presses is played whole, a turn's share at a time: none is dropped.
TEST_F(OscServerTest, AFloodOfPressesPlaysEveryOneInBoundedTurns)
{
    size_t presses = 0;
    int largestTurn = 0;
    server->OnActions([&](const std::vector<ReceivedAction> &turn) {
        presses += turn.size();
        largestTurn = std::max(largestTurn, static_cast<int>(turn.size()));
    });
    std::vector<QByteArray> pages(3000, IntMessage("/orinsub/page/up", 1));
    client->SendRaw(Bundle({pages.begin(), pages.begin() + 1500}));
    client->SendRaw(Bundle({pages.begin() + 1500, pages.end()}));
    ASSERT_TRUE(RunUntil([&] { return presses == 3000; })) << presses;
    EXPECT_EQ(largestTurn, OscServer::kActionsPerTurn);
}
