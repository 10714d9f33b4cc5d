#include "RemoteFixture.h"
#include "surfaces/web/RemoteRoutes.h"
#include "surfaces/web/WebSocketConnection.h"

#include <algorithm>

using namespace orinsub;
using orinsub::testing::RawPage;
using orinsub::testing::RemoteTest;

namespace {

constexpr int kFramesPerSecond = surfaces::web::WebSocketConnection::kMaxFramesPerSecond;

QHostAddress Loopback(int last)
{
    return QHostAddress(QStringLiteral("127.0.0.%1").arg(last));
}

QByteArray MoveMessage(const QByteArray &target, int value)
{
    return QStringLiteral(R"({"t":"move","n":"%1","v":%2})")
        .arg(QString::fromLatin1(target))
        .arg(value)
        .toLatin1();
}

// With the console's own patience: a flood's pages wait out their seconds far longer than the
// shared fixture lets a page stay silent.
class RemoteAttackTest : public RemoteTest
{
protected:
    RemoteAttackTest()
    {
        server.SetPatience({});
        QString error;
        EXPECT_TRUE(server.Listen({QHostAddress(QHostAddress::LocalHost), 0}, true, error));
        origin = QStringLiteral("http://127.0.0.1:%1").arg(server.Port()).toLatin1();
    }

    /// `each` connections from each of `addresses` loopback addresses (127.0.0.2 on), each
    /// sending one byte of a request head and then nothing; returns once the console has taken
    /// or turned away every one of them.
    void SlowRequests(int addresses, int each)
    {
        for (int i = 0; i < each; ++i) {
            for (int address = 0; address < addresses; ++address) {
                slow.push_back(std::make_unique<QTcpSocket>());
                slow.back()->bind(Loopback(2 + address));
                slow.back()->connectToHost(QHostAddress::LocalHost, server.Port());
                slow.back()->write("G");
            }
        }
        const auto count = [&](QAbstractSocket::SocketState state) {
            return std::count_if(slow.begin(), slow.end(),
                                 [&](const auto &socket) { return socket->state() == state; });
        };
        const auto held = std::min<qsizetype>(slow.size(), server.kMaxOpenRequests);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return count(QAbstractSocket::ConnectedState) == held &&
                       count(QAbstractSocket::UnconnectedState) == qsizetype(slow.size()) - held;
            },
            10000));
    }

    std::vector<std::unique_ptr<QTcpSocket>> slow;
};

} // namespace

TEST_F(RemoteAttackTest, SlowRequestsFromManyAddressesLetAFreshAddressAndAPairedDeviceThrough)
{
    const QByteArray cookie = Pair();
    for (const int addresses : {4, 19}) {
        SCOPED_TRACE(addresses);
        SlowRequests(addresses, server.kMaxOpenRequestsPerAddress + 1);
        // As a browser loads the page at the worst: the page, then all it loads together.
        const QByteArray host = "Host: " + origin.mid(7) + "\r\n\r\n";
        QByteArrayList files;
        for (const QByteArray &path : surfaces::web::RemoteRoutes::PagePaths().mid(1))
            files << "GET " + path + " HTTP/1.1\r\n" + host;
        const QByteArrayList loads[] = {{PageRequest()}, files};
        for (const QByteArrayList &load : loads)
            for (const QByteArray &answer : HttpAll(load, Loopback(40)))
                EXPECT_EQ(Status(answer), 200);
        RawPage device; // shares its address with slow requests
        EXPECT_EQ(device.Open(server.Port(), Upgrade(cookie), Loopback(2)), 101);
        slow.clear();
    }
}

TEST_F(RemoteAttackTest, OnlyTheConsolesOwnAddressNamesIt)
{
    const QByteArray port = ':' + QByteArray::number(server.Port());
    // The rest of what names the console is the routes' to tell apart.
    const struct
    {
        QByteArray host;
        int status;
    } cases[] = {{"127.0.0.1" + port, 200}, {"10.9.8.7" + port, 421}};
    for (const auto &[host, status] : cases) {
        const QByteArray request = "GET / HTTP/1.1\r\nHost: " + host + "\r\n\r\n";
        EXPECT_EQ(Status(Http(request)), status) << host.constData();
    }
}

TEST_F(RemoteAttackTest, AHandshakeKeyMustBeSixteenBytes)
{
    const QByteArray cookie = Pair();
    for (const QByteArray key : {"abc", "YWJj", "", "!!!!!!!!!!!!!!!!!!!!!!==",
                                 "dGhlIHNhbXBsZSBub25jZQ", "dGhlIHNhbXBsZSBub25jZSE="}) {
        QByteArray upgrade = Upgrade(cookie);
        upgrade.replace("dGhlIHNhbXBsZSBub25jZQ==", key);
        EXPECT_EQ(Status(Http(upgrade)), 400) << key.constData();
    }
    RawPage page;
    EXPECT_EQ(page.Open(server.Port(), Upgrade(cookie)), 101);
}

TEST_F(RemoteAttackTest, WhatNoPageMaySendClosesItsConnectionWithItsCodeAndPlaysNothing)
{
    const QByteArray cookie = Pair();
    const QByteArray press = R"({"t":"press","n":"page/up","d":true})";
    const struct
    {
        const char *what;
        QByteArray frames;
        int code;
    } cases[] = {
        {"unmasked", RawPage::Frame(0x1, press, true, false), 1002},
        {"a fragment without its start", RawPage::Frame(0x0, press), 1002},
        {"a message inside a message",
         RawPage::Frame(0x1, press.left(5), false) + RawPage::Frame(0x1, press), 1002},
        {"text not UTF-8", RawPage::Frame(0x1, press.left(20) + "\xff\xfe" + press.mid(20)), 1007},
        {"fragments past the largest message",
         RawPage::Frame(0x1, press.left(5), false) +
             RawPage::Frame(0x0, QByteArray(100, ' '), false).repeated(41),
         1009},
        {"binary", RawPage::Frame(0x2, press), 1003},
        {"the page's own close, answered", RawPage::Frame(0x8, QByteArray("\x03\xe8", 2)), 1000},
    };
    for (const auto &[what, frames, code] : cases) {
        RawPage page;
        ASSERT_EQ(page.Open(server.Port(), Upgrade(cookie)), 101);
        page.Socket().write(frames);
        EXPECT_EQ(page.WaitForClose(), code) << what;
        EXPECT_TRUE(QTest::qWaitFor([&] { return !page.IsOpen(); }, 5000)) << what;
    }
    EXPECT_EQ(master->GetPage(), 1);
}

TEST_F(RemoteAttackTest, EveryFrameCountsTowardAPagesRateAndAFloodWaitsWhileOthersPlay)
{
    const QByteArray cookie = Pair();
    // Each flood ends in a move of a fader of its own, to 200 from 0 (where the page catches it):
    // two seconds' worth of frames go first.
    const auto flood = [](quint8 opcode, bool final, const QByteArray &payload = {}) {
        return RawPage::Frame(opcode, payload, final).repeated(2 * kFramesPerSecond);
    };
    const QByteArray fragmented = MoveMessage("A/5", 200);
    const struct
    {
        int channel;
        QByteArray frames;
    } cases[] = {
        {3, flood(0x9, true) + RawPage::Frame(0x1, MoveMessage("A/3", 200))},
        {4, flood(0xa, true) + RawPage::Frame(0x1, MoveMessage("A/4", 200))},
        {5, RawPage::Frame(0x1, fragmented.left(12), false) + flood(0x0, false) +
                RawPage::Frame(0x0, fragmented.mid(12))},
        {6, flood(0x1, true, MoveMessage("A/6", 0)) + RawPage::Frame(0x1, MoveMessage("A/6", 200))},
    };
    for (const auto &[channel, frames] : cases) {
        SCOPED_TRACE(channel);
        RawPage page;
        ASSERT_EQ(page.Open(server.Port(), Upgrade(cookie)), 101);
        QWebSocket calm;
        ASSERT_TRUE(Open(calm, cookie));
        const QByteArray target = "A/" + QByteArray::number(channel);
        page.Socket().write(RawPage::Frame(0x1, MoveMessage(target, 0)) + frames);

        calm.sendTextMessage(QString::fromLatin1(MoveMessage("sub/1", 0)));
        calm.sendTextMessage(QString::fromLatin1(MoveMessage("sub/1", 120)));
        EXPECT_TRUE(QTest::qWaitFor([&] { return Sub(1).GetLevel() == 120; }));
        QTest::qWait(300); // the page's rate counts real seconds
        EXPECT_EQ(Fader(0, channel).GetLevel(), 0) << "the flood waits for its next seconds";
        EXPECT_TRUE(QTest::qWaitFor([&] { return Fader(0, channel).GetLevel() == 200; }, 10000))
            << "and plays on then";
        EXPECT_TRUE(page.IsOpen());
        calm.sendTextMessage(QString::fromLatin1(MoveMessage("sub/1", 0)));
        EXPECT_TRUE(QTest::qWaitFor([&] { return Sub(1).GetLevel() == 0; }));
    }
}

TEST_F(RemoteAttackTest, APageThatKeepsFloodingIsDropped)
{
    RawPage page;
    ASSERT_EQ(page.Open(server.Port(), Upgrade(Pair())), 101);
    const int seconds = surfaces::web::WebSocketConnection::kMaxFullSeconds + 1;
    page.Socket().write(RawPage::Frame(0x9, {}).repeated(seconds * kFramesPerSecond));
    EXPECT_TRUE(QTest::qWaitFor([&] { return page.CloseCode() == 1008; }, 15000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !page.IsOpen(); }, 5000));
}
