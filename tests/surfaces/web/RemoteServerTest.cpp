#include "RemoteFixture.h"
#include "app/PairingCodeBox.h"
#include "app/RemoteSettingsPage.h"
#include "app/SurfaceTexts.h"
#include "controls/FaderLabel.h"
#include "controls/MyEdit.h"
#include "support/PrivateSettings.h"
#include "surfaces/web/RemoteSettings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTimer>

#include <algorithm>

using namespace orinsub;
using orinsub::testing::RemoteTest;
using surfaces::web::PairingStore;

namespace {

QPushButton *Button(const QWidget &page, const QString &text)
{
    for (QPushButton *button : page.findChildren<QPushButton *>())
        if (button->text() == text)
            return button;
    ADD_FAILURE() << "no button " << text.toStdString();
    return nullptr;
}

class RemoteServerTest : public RemoteTest
{
protected:
    RemoteServerTest()
    {
        doc.GetSubMaster(1, 1)->m_levels[0] = 255; // sub-master 1 lights channel 1
    }
    /// Collects a page's messages; feedback by target ([value, caught]) and desk fields.
    struct Page
    {
        explicit Page(QWebSocket &socket)
        {
            QObject::connect(&socket, &QWebSocket::textMessageReceived, [this](const QString &t) {
                const QJsonObject message = QJsonDocument::fromJson(t.toUtf8()).object();
                for (const QJsonValue entry : message.value("f").toArray())
                    values[entry[0].toString()] = {entry[1].toInt(), entry[2].toInt() == 1};
                const QJsonObject d = message.value("d").toObject();
                for (auto it = d.begin(); it != d.end(); ++it)
                    desk[it.key()] = it.value();
            });
        }
        std::map<QString, std::pair<int, bool>> values;
        QJsonObject desk;
    };
    static void Send(QWebSocket &socket, const char *json)
    {
        socket.sendTextMessage(QString::fromUtf8(json));
        socket.flush();
    }
    /// The desk as the tests look at it: what the wire carries and every sub fader's level.
    std::vector<int> DeskLevels()
    {
        std::vector<int> levels{Wire(1)};
        for (int i = 1; i <= 20; ++i)
            levels.push_back(Sub(i).GetLevel());
        return levels;
    }
};

} // namespace

TEST_F(RemoteServerTest, APairedPagePlaysTheDeskAndHearsEveryChange)
{
    QWebSocket socket;
    Page page(socket);
    ASSERT_TRUE(Open(socket, Pair()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return page.values.count("sub/20") > 0; }));
    EXPECT_EQ(page.desk.value("page").toInt(), 1);
    EXPECT_EQ(page.desk.value("out").toArray().size(), 80);
    EXPECT_EQ(
        page.desk.value("sizes").toObject(),
        (QJsonObject{
            {"A", 80}, {"B", 80}, {"sub", 20}, {"flash", 20}, {"independent", 80}, {"chase", 99}}));
    const QJsonArray single = page.desk.value("targets").toArray();
    EXPECT_TRUE(single.contains("go") && single.contains("go/time") && single.contains("xfade/B"));
    EXPECT_FALSE(single.contains("A") || single.contains("bank/next"))
        << "numbered families come as sizes; a surface's bank steps are not the desk's";

    Send(socket, R"({"t":"touch","n":"sub/1","d":true})");
    Send(socket, R"({"t":"move","n":"sub/1","v":0})"); // on the console's level: caught
    Send(socket, R"({"t":"move","n":"sub/1","v":200})");
    ASSERT_TRUE(QTest::qWaitFor([&] { return Sub(1).GetLevel() == 200; }));
    EXPECT_EQ(Wire(1), 200);
    EXPECT_TRUE(QTest::qWaitFor([&] { return page.values["sub/1"].second; }))
        << "the page learns its finger caught the fader";

    master->MoveSubFaderTo(1, 90); // the mouse, say
    EXPECT_TRUE(QTest::qWaitFor([&] { return page.values["sub/2"].first == 90; }));
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return page.desk.value("out").toArray().at(0).toInt() == 200 &&
               page.desk.value("subStates").toArray().at(0).toInt() == 1;
    }));
    Send(socket, R"({"t":"press","n":"page/up","d":true})");
    EXPECT_TRUE(QTest::qWaitFor([&] { return page.desk.value("page").toInt() == 2; }));

    QTest::keyClicks(master->GetNameLabel(0)->GetEdit(), "Wash");
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return page.desk.value("subNames").toArray().at(0).toString() == "Wash";
    })) << "a typed name reaches the page";
}

TEST_F(RemoteServerTest, EveryDoorWithoutTheRightKeyStaysShutAndTheDeskUnchanged)
{
    const std::vector<int> before = DeskLevels();
    PairingStore::Clock::time_point now = PairingStore::Clock::now();
    pairing.SetClock([&] { return now; });

    EXPECT_EQ(Status(Http(Upgrade({}))), 403) << "no token";
    EXPECT_EQ(Status(Http(Upgrade("orinsub_token=" + QByteArray(32, 'f')))), 403) << "forged";
    const QByteArray cookie = Pair();
    ASSERT_FALSE(cookie.isEmpty());
    EXPECT_EQ(Status(Http(Upgrade(cookie, "http://evil.example"))), 403) << "cross-origin";
    EXPECT_EQ(Status(Http(Upgrade(cookie, "http://rebound.example:1",
                                  "rebound.example:" + QByteArray::number(server.Port())))),
              421)
        << "DNS-rebinding host";

    EXPECT_EQ(Status(Post("/pair/request")), 404) << "no device can make a code appear";
    EXPECT_EQ(Status(Post("/pair", "code=" + shownCodes.last().toLatin1())), 409) << "used up";
    pairing.Open();
    now += std::chrono::seconds(121);
    EXPECT_EQ(Status(Post("/pair", "code=" + shownCodes.last().toLatin1())), 409) << "expired";
    pairing.Open();
    const QByteArray right = "code=" + shownCodes.last().toLatin1();
    const QByteArray wrong =
        "code=" +
        QByteArray::number((shownCodes.last().toInt() + 1) % 1000000).rightJustified(6, '0');
    EXPECT_EQ(Status(Post("/pair", wrong)), 403);
    EXPECT_EQ(Status(Post("/pair", right)), 429) << "the guessing address waits";
    EXPECT_EQ(pairing.Devices().size(), 1u);
    EXPECT_EQ(Status(HttpAll({PostRequest("/pair", right)}, QHostAddress("127.0.0.2")).front()),
              204)
        << "another address is not hindered";

    QWebSocket socket;
    EXPECT_TRUE(Open(socket, cookie)) << "the paired device still gets in";
    EXPECT_EQ(DeskLevels(), before);
}

TEST_F(RemoteServerTest, ABadMessageClosesItsOwnConnectionOnly)
{
    const QByteArray cookie = Pair();
    QWebSocket good;
    ASSERT_TRUE(Open(good, cookie));
    const std::vector<int> before = DeskLevels();
    const QByteArray oversized =
        R"({"t":"move","n":"sub/1","v":200,"pad":")" + QByteArray(5000, 'x') + "\"}";
    for (const QByteArray &bad :
         {QByteArray("{\"t\":\"move\",\"n\":\"sub/1\""), QByteArray(R"({"t":"fly","n":"go"})"),
          QByteArray(R"({"t":"move","n":"sub/1","v":999})"), oversized}) {
        QWebSocket socket;
        ASSERT_TRUE(Open(socket, cookie));
        QSignalSpy closed(&socket, &QWebSocket::disconnected);
        socket.sendTextMessage(QString::fromLatin1(bad));
        EXPECT_TRUE(closed.wait(5000)) << bad.left(40).constData();
    }
    QWebSocket binary;
    ASSERT_TRUE(Open(binary, cookie));
    QSignalSpy closed(&binary, &QWebSocket::disconnected);
    binary.sendBinaryMessage("x");
    EXPECT_TRUE(closed.wait(5000));
    EXPECT_EQ(DeskLevels(), before);

    Send(good, R"({"t":"move","n":"sub/1","v":0})");
    Send(good, R"({"t":"move","n":"sub/1","v":120})");
    EXPECT_TRUE(QTest::qWaitFor([&] { return Sub(1).GetLevel() == 120; }));
}

TEST_F(RemoteServerTest, AThousandAttemptsAreRefusedAndSixteenPagesAtMostPlay)
{
    const std::vector<int> before = DeskLevels();
    int refused = 0;
    for (int batch = 0; batch < 125; ++batch) { // as many at once as one address may send
        QByteArrayList attempts;
        for (int i = 0; i < server.kMaxOpenRequestsPerAddress; ++i)
            attempts << Upgrade(i % 2 ? QByteArray() : "orinsub_token=" + QByteArray::number(i));
        for (const QByteArray &answer : HttpAll(attempts))
            refused += Status(answer) == 403;
    }
    EXPECT_EQ(refused, 1000);
    EXPECT_EQ(DeskLevels(), before);

    const QByteArray cookie = Pair();
    std::vector<std::unique_ptr<QWebSocket>> pages;
    for (int i = 0; i < server.kMaxConnections; ++i) {
        pages.push_back(std::make_unique<QWebSocket>());
        ASSERT_TRUE(Open(*pages.back(), cookie)) << i;
    }
    EXPECT_EQ(Status(Http(Upgrade(cookie))), 503);
    EXPECT_EQ(server.ConnectionCount(), 16);
    pages.pop_back();
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.ConnectionCount() == 15; }));
    QWebSocket again;
    EXPECT_TRUE(Open(again, cookie));
}

TEST_F(RemoteServerTest, HalfSentRequestsAndSilentPagesAreDropped)
{
    const QByteArray cookie = Pair();
    QWebSocket good;
    ASSERT_TRUE(Open(good, cookie)); // Qt's socket answers the pings by itself

    QTcpSocket halfSent;
    halfSent.connectToHost(QHostAddress::LocalHost, server.Port());
    halfSent.write("GET / HTTP/1.1\r\nHost: ");
    QTcpSocket silent; // a page that completed its handshake and then never answers a ping
    silent.connectToHost(QHostAddress::LocalHost, server.Port());
    silent.write(Upgrade(cookie));
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.ConnectionCount() == 2; }));

    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return halfSent.state() == QAbstractSocket::UnconnectedState; }, 5000));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return silent.state() == QAbstractSocket::UnconnectedState; }, 5000));
    EXPECT_EQ(server.ConnectionCount(), 1);
    EXPECT_EQ(good.state(), QAbstractSocket::ConnectedState);
}

TEST_F(RemoteServerTest, SlowRequestsFromOneAddressLeaveRoomForOthers)
{
    // Forty connections that send one byte of their head and then nothing.
    std::vector<std::unique_ptr<QTcpSocket>> slow;
    for (int i = 0; i < 40; ++i) {
        slow.push_back(std::make_unique<QTcpSocket>());
        slow.back()->connectToHost(QHostAddress::LocalHost, server.Port());
        slow.back()->write("G");
    }
    const auto held = [&] {
        return std::count_if(slow.begin(), slow.end(), [](const auto &socket) {
            return socket->state() == QAbstractSocket::ConnectedState;
        });
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return held() == server.kMaxOpenRequestsPerAddress; }, 3000));

    const QByteArray page = "GET / HTTP/1.1\r\nHost: " + origin.mid(7) + "\r\n\r\n";
    for (const QByteArray &answer : HttpAll(QByteArrayList(6, page), QHostAddress("127.0.0.2")))
        EXPECT_EQ(Status(answer), 200);
}

TEST_F(RemoteServerTest, ARefusedHandshakeFreesItsSlotAtOnce)
{
    const QByteArray cookie = Pair();
    QByteArrayList refused;
    for (int i = 0; i < server.kMaxConnections; ++i)
        refused << Upgrade(cookie).replace("Version: 13", "Version: 12");
    for (const QByteArray &answer : HttpAll(refused))
        EXPECT_NE(Status(answer), 101);
    QWebSocket socket;
    EXPECT_TRUE(Open(socket, cookie));
}

TEST_F(RemoteServerTest, AFloodIsPlayedASliceAtATimeAndItsLastMoveWins)
{
    QWebSocket flood;
    ASSERT_TRUE(Open(flood, Pair()));
    // Looked at on every turn of the event loop: the turns in which channel A/3 moved.
    int turnsMoved = 0;
    int seen = Fader(0, 3).GetLevel();
    QTimer turn;
    QObject::connect(&turn, &QTimer::timeout, [&] {
        turnsMoved += Fader(0, 3).GetLevel() != seen;
        seen = Fader(0, 3).GetLevel();
    });
    turn.start(0);
    constexpr int kMessages = 1500; // within the rate a page may send
    for (int i = 0; i < kMessages; ++i) {
        flood.sendTextMessage(
            QStringLiteral(R"({"t":"move","n":"A/3","v":%1})").arg(i * 255 / (kMessages - 1)));
        if (i == kMessages / 2)
            flood.sendTextMessage(QStringLiteral(R"({"t":"press","n":"page/up","d":true})"));
    }
    flood.flush();
    EXPECT_TRUE(QTest::qWaitFor([&] { return Fader(0, 3).GetLevel() == 255; }));
    EXPECT_GE(turnsMoved, 5) << "the desk takes its turns while a flood is read";
    EXPECT_EQ(master->GetPage(), 2) << "a press amid the moves is never gathered away";
    EXPECT_EQ(flood.state(), QAbstractSocket::ConnectedState);
}

TEST_F(RemoteServerTest, AForgottenDeviceIsShutOutAtOnce)
{
    const QByteArray cookie = Pair();
    QWebSocket socket;
    ASSERT_TRUE(Open(socket, cookie));
    QSignalSpy closed(&socket, &QWebSocket::disconnected);
    pairing.Forget(pairing.Devices().front().tokenHash);
    EXPECT_TRUE(closed.wait(5000));
    EXPECT_EQ(Status(Http(Upgrade(cookie))), 403);
}

TEST_F(RemoteServerTest, TheCodeBoxShowsWhileTheOperatorHasPairingOpen)
{
    app::PairingCodeBox box(pairing, &frame);
    app::RemoteSettingsPage idle(pairing, {}, false);
    EXPECT_FALSE(Button(idle, app::kOpenPairingText)->isEnabled())
        << "nothing to open while the remote asks for no pairing";
    app::RemoteSettingsPage page(pairing, {}, true);
    EXPECT_FALSE(box.isVisible());

    Button(page, app::kOpenPairingText)->click();
    EXPECT_TRUE(box.isVisible());
    EXPECT_EQ(box.ShownCode(), shownCodes.value(0));
    EXPECT_EQ(Status(Post("/pair", "code=" + shownCodes.value(0).toLatin1())), 204);
    EXPECT_FALSE(box.isVisible());

    Button(page, app::kOpenPairingText)->click();
    box.close();
    EXPECT_FALSE(pairing.IsOpen()) << "closing the box ends pairing";
}

TEST(RemotePairedDevices, AreRememberedAcrossRestartsAndForgottenFromTheSettingsPage)
{
    const orinsub::testing::PrivateSettings settings;
    QByteArray token;
    {
        PairingStore before({}, &surfaces::web::RemoteSettings::SaveDevices);
        before.Open();
        ASSERT_EQ(
            before.TryCode(before.CurrentCode()->toLatin1(), "iPad Safari", "10.0.0.2", token),
            PairingStore::Answer::Paired);
    }
    PairingStore after(surfaces::web::RemoteSettings::LoadDevices(),
                       &surfaces::web::RemoteSettings::SaveDevices);
    EXPECT_TRUE(after.IsPaired(token));

    app::RemoteSettingsPage page(after, {});
    auto *list = page.findChild<QListWidget *>();
    ASSERT_EQ(list->count(), 1);
    EXPECT_TRUE(list->item(0)->text().startsWith("iPad Safari"));
    list->setCurrentRow(0);
    Button(page, app::kForgetDeviceText)->click();
    EXPECT_EQ(list->count(), 0);
    EXPECT_FALSE(after.IsPaired(token));
    EXPECT_TRUE(surfaces::web::RemoteSettings::LoadDevices().empty());
}
