#include "surfaces/web/RemoteRoutes.h"
#include "surfaces/web/PairingStore.h"
#include "surfaces/web/RemoteMessage.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace orinsub::surfaces::web;
using orinsub::surfaces::ControlTarget;

namespace {

const RemoteRoutes::Path kFrom{QStringLiteral("192.0.2.7"), QHostAddress(QHostAddress::LocalHost)};

class RemoteRoutesTest : public ::testing::Test
{
protected:
    HttpRequest Request(QByteArray method, QByteArray path, QByteArray host = "127.0.0.1:8080")
    {
        HttpRequest request;
        request.method = method;
        request.path = path;
        request.headers = {{"host", host}};
        return request;
    }
    HttpRequest Upgrade(QByteArray origin = "http://127.0.0.1:8080", QByteArray cookie = {})
    {
        HttpRequest request = Request("GET", "/ws");
        request.headers.push_back({"upgrade", "websocket"});
        request.headers.push_back({"connection", "keep-alive, Upgrade"});
        request.headers.push_back({"sec-websocket-version", "13"});
        request.headers.push_back({"sec-websocket-key", "dGhlIHNhbXBsZSBub25jZQ=="});
        request.headers.push_back({"origin", origin});
        if (!cookie.isEmpty())
            request.headers.push_back({"cookie", cookie});
        return request;
    }
    static void SetHeader(HttpRequest &request, const QByteArray &name, const QByteArray &value)
    {
        for (auto &header : request.headers)
            if (header.first == name)
                header.second = value;
    }
    static int Status(const RouteResult &result) { return result.reply.mid(9, 3).toInt(); }
    QByteArray PairedCookie()
    {
        QByteArray token;
        pairing.Open();
        pairing.TryCode(pairing.CurrentCode()->toLatin1(), {}, kFrom.from, token);
        return "orinsub_token=" + token;
    }

    PairingStore pairing;
    RemoteRoutes open{pairing, 8080, false};
    RemoteRoutes paired{pairing, 8080, true};
};

} // namespace

TEST_F(RemoteRoutesTest, ServesThePageByTheAddressItReachedOrLocalhostOnly)
{
    const RouteResult page = open.Route(Request("GET", "/"), kFrom);
    EXPECT_EQ(Status(page), 200);
    EXPECT_TRUE(page.reply.contains("data-target=\"go\""));
    EXPECT_EQ(Status(open.Route(Request("GET", "/remote.js", "localhost:8080"), kFrom)), 200);
    for (const char *elsewhere : {"/../etc/passwd", "/index.html", "/remote.qrc", "//remote.js"})
        EXPECT_EQ(Status(open.Route(Request("GET", elsewhere), kFrom)), 404) << elsewhere;

    const struct
    {
        QByteArray host;
        const char *to;
        int status;
    } cases[] = {
        {"[::1]:8080", "::1", 200},
        {"192.0.2.1:8080", "192.0.2.1", 200},
        {"192.0.2.1:8080", "::ffff:192.0.2.1", 200}, // reached through a dual-stack socket
        {"localhost:8080", "192.0.2.1", 421},
        {"10.9.8.7:8080", "127.0.0.1", 421},
        {"127.0.0.2:8080", "127.0.0.1", 421},
        {"evil.example:8080", "127.0.0.1", 421},
        {"127.0.0.1:8081", "127.0.0.1", 421},
        {"127.0.0.1", "127.0.0.1", 421},
        {"::1:8080", "::1", 421},
        {"[127.0.0.1]:8080", "127.0.0.1", 421},
        {"127.1:8080", "127.0.0.1", 421},
        {"127.0.0.1:+8080", "127.0.0.1", 421},
    };
    for (const auto &[host, to, status] : cases) {
        const RemoteRoutes::Path path{kFrom.from, QHostAddress(QString::fromLatin1(to))};
        EXPECT_EQ(Status(open.Route(Request("GET", "/", host), path)), status)
            << host.constData() << " reaching " << to;
    }
}

TEST_F(RemoteRoutesTest, EveryFileThePageLoadsIsServedAndTheWholeStaysSmall)
{
    const QByteArrayList paths = RemoteRoutes::PagePaths();
    ASSERT_EQ(paths.value(0), "/");
    qsizetype size = 0;
    QByteArrayList loaded;
    for (const QByteArray &path : paths) {
        const RouteResult file = open.Route(Request("GET", path), kFrom);
        EXPECT_EQ(Status(file), 200) << path.constData();
        EXPECT_TRUE(file.reply.contains("\r\nContent-Type: text/")) << path.constData();
        size += file.reply.size();
        // What the page and its scripts name: the style sheet, the script, the modules.
        static const QRegularExpression kNamed(
            QStringLiteral(R"re((?:src|href)="(/[^"]+)"|from '\.(/[^']+)')re"));
        for (const QRegularExpressionMatch &named :
             kNamed.globalMatch(QString::fromUtf8(file.reply)))
            loaded << (named.captured(1) + named.captured(2)).toUtf8();
    }
    EXPECT_LT(size, 150 * 1024)
        << "the page stays small enough for a phone on a busy venue network";
    EXPECT_GE(loaded.size(), 2);
    for (const QByteArray &path : loaded)
        EXPECT_TRUE(paths.contains(path)) << path.constData() << " is not served";
}

TEST_F(RemoteRoutesTest, WebSocketOpensOnlyFromTheOwnOriginAndAPairedDevice)
{
    EXPECT_EQ(Status(open.Route(Upgrade(), kFrom)), 101) << "127.0.0.1 without forced pairing";
    EXPECT_EQ(Status(open.Route(Upgrade("http://evil.example"), kFrom)), 403);
    EXPECT_EQ(Status(open.Route(Upgrade(""), kFrom)), 403);

    EXPECT_EQ(Status(paired.Route(Upgrade(), kFrom)), 403);
    EXPECT_EQ(Status(paired.Route(
                  Upgrade("http://127.0.0.1:8080", "orinsub_token=" + QByteArray(32, 'a')), kFrom)),
              403);
    const QByteArray cookie = PairedCookie();
    const RouteResult door = paired.Route(Upgrade("http://127.0.0.1:8080", cookie), kFrom);
    EXPECT_EQ(Status(door), 101);
    EXPECT_EQ(door.tokenHash, PairingStore::HashToken(cookie.mid(14)));
    EXPECT_EQ(Status(paired.Route(Upgrade("http://localhost:8080", cookie), kFrom)), 403);

    HttpRequest older = Upgrade("http://127.0.0.1:8080", cookie);
    SetHeader(older, "sec-websocket-version", "12");
    const RouteResult refused = paired.Route(older, kFrom);
    EXPECT_EQ(Status(refused), 426);
    EXPECT_TRUE(refused.reply.contains("Sec-WebSocket-Version: 13\r\n"));
    HttpRequest plain = Upgrade("http://127.0.0.1:8080", cookie);
    SetHeader(plain, "connection", "keep-alive");
    EXPECT_EQ(Status(paired.Route(plain, kFrom)), 400) << "Connection names no upgrade";
}

TEST_F(RemoteRoutesTest, PairingGivesAnHttpOnlyCookieToTheOwnOriginOnly)
{
    pairing.Open();
    HttpRequest pair = Request("POST", "/pair");
    pair.headers.push_back({"origin", "http://127.0.0.1:8080"});
    pair.body = "code=" + pairing.CurrentCode()->toLatin1();
    HttpRequest foreign = pair;
    foreign.headers.back().second = "http://evil.example";

    EXPECT_EQ(Status(paired.Route(foreign, kFrom)), 403);
    const RouteResult answer = paired.Route(pair, kFrom);
    EXPECT_EQ(Status(answer), 204);
    EXPECT_TRUE(answer.reply.contains("HttpOnly; SameSite=Strict"));
    EXPECT_EQ(Status(paired.Route(pair, kFrom)), 409) << "the code is used up";
}

TEST(RemoteMessageReader, AcceptsTheThreeMessagesExactly)
{
    const auto move = ReadRemoteMessage(R"({"t":"move","n":"sub/3","v":128})");
    ASSERT_TRUE(move);
    EXPECT_EQ(move->target, (ControlTarget{ControlTarget::Kind::SubFader, 0, 2}));
    EXPECT_EQ(move->value, 128);
    const auto press = ReadRemoteMessage(R"({"t":"press","n":"go","d":true})");
    ASSERT_TRUE(press);
    EXPECT_TRUE(press->down);
    EXPECT_TRUE(ReadRemoteMessage(R"({"t":"touch","n":"xfade/B","d":false})"));
    EXPECT_TRUE(ReadRemoteMessage(R"({"t":"press","n":"chase/12/tap","d":true})"));
    // A cue number that is no cue reaches the desk, which says so as it does on every route.
    const auto goTo = ReadRemoteMessage(R"({"t":"move","n":"cue/goto","v":50000})");
    ASSERT_TRUE(goTo);
    EXPECT_EQ(goTo->value, 50000);
}

TEST(RemoteMessageReader, RefusesEverythingElse)
{
    for (const char *bad : {
             R"({"t":"move","n":"sub/3","v":256})",
             R"({"t":"move","n":"cue/goto","v":1e30})",
             R"({"t":"move","n":"sub/3","v":1.5})",
             R"({"t":"move","n":"sub/3","v":"1"})",
             R"({"t":"move","n":"sub/21","v":1})",
             R"({"t":"move","n":"go","v":1})",
             R"({"t":"move","n":"chase/1/bpm","v":5})",
             R"({"t":"press","n":"chase/100/tap","d":true})",
             R"({"t":"move","n":"strip/1","v":1})",
             R"({"t":"move","n":"sub/3","v":1,"x":0})",
             R"({"t":"press","n":"sub/3","d":true})",
             R"({"t":"press","n":"go","d":1})",
             R"({"t":"blink","n":"go","d":true})",
             R"(["move","sub/3",1])",
             R"({"t":"move","n":"sub/3","v":1)",
             "",
         })
        EXPECT_FALSE(ReadRemoteMessage(bad)) << bad;
    const QByteArray padded = R"({"t":"press","n":"go","d":true})" + QByteArray(4096, ' ');
    EXPECT_FALSE(ReadRemoteMessage(padded));
}
