#include "backup/BackupWire.h"
#include "backup/BackupTexts.h"

#include <functional>
#include <gtest/gtest.h>

using namespace orinsub::backup;

namespace {

const QByteArray kKey(32, 'k');

/// A server and a client wire that have greeted each other.
struct OpenPair
{
    BackupWire server{kKey, true};
    BackupWire client{kKey, false};
    OpenPair()
    {
        server.Feed(client.Greeting(Role::Tracking));
        client.Feed(server.Greeting(Role::Live));
    }
};

TEST(BackupWire, MessagesArriveWholeInAnyPiecesAndBothWays)
{
    OpenPair pair;
    const QByteArray join = pair.client.Seal(MessageType::Join, {});
    const QByteArray show = pair.server.Seal(MessageType::Show, QByteArray(100000, 's'));
    EXPECT_EQ(pair.server.Feed(join).messages.size(), 1u);
    std::vector<Message> got;
    for (char byte : show) {
        BackupWire::Read read = pair.client.Feed(QByteArray(1, byte));
        ASSERT_TRUE(read.refusal.isEmpty());
        got.insert(got.end(), read.messages.begin(), read.messages.end());
    }
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].type, MessageType::Show);
    EXPECT_EQ(got[0].payload, QByteArray(100000, 's'));
}

// Each damage is refused with its reason, and the wire takes nothing after it.
TEST(BackupWire, RefusesReplayedReorderedForgedAndForeignBytes)
{
    const struct
    {
        const char *what;
        std::function<QByteArray(OpenPair &)> bytes; // what reaches the server
        QString why;
    } cases[] = {
        {"replayed",
         [](OpenPair &p) {
             const QByteArray once = p.client.Seal(MessageType::Beat, {});
             return once + once;
         },
         kRefusedOrder},
        {"reordered",
         [](OpenPair &p) {
             const QByteArray first = p.client.Seal(MessageType::Join, {});
             return p.client.Seal(MessageType::Beat, {}) + first;
         },
         kRefusedOrder},
        {"a bit flipped",
         [](OpenPair &p) {
             QByteArray sealed = p.client.Seal(MessageType::Live, QByteArray(40, 'L'));
             sealed[20] = static_cast<char>(sealed[20] ^ 1);
             return sealed;
         },
         kRefusedForged},
        {"another key",
         [](OpenPair &) {
             BackupWire stranger(QByteArray(32, 'x'), false);
             BackupWire server(kKey, true); // only for the stranger's session
             stranger.Feed(server.Greeting(Role::Live));
             return stranger.Seal(MessageType::Join, {});
         },
         kRefusedForged},
        {"sent the wrong way", [](OpenPair &p) { return p.server.Seal(MessageType::Join, {}); },
         kRefusedForged},
        {"an unknown type",
         [](OpenPair &p) {
             QByteArray sealed = p.client.Seal(MessageType::Beat, {});
             sealed[4] = 9; // the MAC fails first: a forged type is forged
             return sealed;
         },
         kRefusedForged},
        {"too large",
         [](OpenPair &) { return QByteArray::fromHex("ffffff7f") + QByteArray(60, '\0'); },
         kRefusedTooLarge},
    };
    for (const auto &c : cases) {
        OpenPair pair;
        const BackupWire::Read read = pair.server.Feed(c.bytes(pair));
        EXPECT_EQ(read.refusal, c.why) << c.what;
        EXPECT_TRUE(pair.server.IsRefused()) << c.what;
        EXPECT_FALSE(pair.server.Feed(pair.client.Seal(MessageType::Beat, {})).refusal.isEmpty())
            << c.what << ": nothing after a refusal";
    }
}

TEST(BackupWire, AGreetingOfAnotherProgramOrVersionIsRefused)
{
    BackupWire server(kKey, true);
    EXPECT_EQ(server.Feed("GET / HTTP/1.1\r\n").refusal, kRefusedNotLink);
    BackupWire other(kKey, true);
    QByteArray greeting = BackupWire(kKey, false).Greeting(Role::Tracking);
    greeting[8] = 2;
    EXPECT_EQ(other.Feed(greeting).refusal, kRefusedVersion);
    BackupWire cut(kKey, true);
    const BackupWire::Read half = cut.Feed(greeting.left(10));
    EXPECT_TRUE(half.refusal.isEmpty() && !half.peerRole) << "waits for the rest";
}

} // namespace
