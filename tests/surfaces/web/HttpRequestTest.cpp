#include "surfaces/web/HttpRequest.h"

#include <gtest/gtest.h>

using namespace orinsub::surfaces::web;
using State = HttpReadResult::State;

namespace {

const QByteArray kGet = "GET /ws?x=1 HTTP/1.1\r\nHost: 127.0.0.1:8080\r\nCookie: a=1; "
                        "orinsub_token=abc\r\nUpgrade: websocket\r\n\r\n";

int RefusalOf(const QByteArray &bytes)
{
    const HttpReadResult result = ReadHttpRequest(bytes);
    return result.state == State::Refused ? result.status : 0;
}

} // namespace

TEST(HttpRequestReader, ReadsARequestOnlyOnceItIsComplete)
{
    EXPECT_EQ(ReadHttpRequest(kGet.left(kGet.size() - 2)).state, State::Incomplete);
    const HttpReadResult result = ReadHttpRequest(kGet);
    ASSERT_EQ(result.state, State::Complete);
    EXPECT_EQ(result.request.method, "GET");
    EXPECT_EQ(result.request.path, "/ws");
    EXPECT_EQ(result.request.query, "x=1");
    EXPECT_EQ(result.request.Header("upgrade"), "websocket");
    EXPECT_EQ(CookieValue(result.request.Header("cookie"), "orinsub_token"), "abc");
    EXPECT_EQ(CookieValue(result.request.Header("cookie"), "orinsub"), "");

    const QByteArray post =
        "POST /pair HTTP/1.1\r\nHost: h\r\nContent-Length: 11\r\n\r\ncode=123456";
    EXPECT_EQ(ReadHttpRequest(post.left(post.size() - 1)).state, State::Incomplete);
    EXPECT_EQ(ReadHttpRequest(post).request.body, "code=123456");
}

TEST(HttpRequestReader, RefusesWhatABrowserNeverSends)
{
    EXPECT_EQ(RefusalOf("GET / HTTP/1.0\r\nHost: h\r\n\r\n"), 505);
    EXPECT_EQ(RefusalOf("PUT / HTTP/1.1\r\nHost: h\r\n\r\n"), 405);
    EXPECT_EQ(RefusalOf("GET / HTTP/1.1\r\n\r\n"), 400);                       // no Host
    EXPECT_EQ(RefusalOf("GET / HTTP/1.1\r\nHost: a\r\nHost: b\r\n\r\n"), 400); // two Hosts
    EXPECT_EQ(RefusalOf("GET / HTTP/1.1\r\nHost: a\r\n folded\r\n\r\n"), 400);
    EXPECT_EQ(RefusalOf("GET / HTTP/1.1\r\nHost: a\nX: b\r\n\r\n"), 400); // bare LF
    EXPECT_EQ(RefusalOf("GET / HTTP/1.1\r\nHost: a\x01\r\n\r\n"), 400);
    EXPECT_EQ(RefusalOf("GET http://x/ HTTP/1.1\r\nHost: a\r\n\r\n"), 400);
    EXPECT_EQ(RefusalOf("POST / HTTP/1.1\r\nHost: a\r\nTransfer-Encoding: chunked\r\n\r\n"), 501);
    EXPECT_EQ(RefusalOf("POST / HTTP/1.1\r\nHost: a\r\nContent-Length: 257\r\n\r\n"), 413);
    EXPECT_EQ(RefusalOf("POST / HTTP/1.1\r\nHost: a\r\nContent-Length: -1\r\n\r\n"), 400);
    EXPECT_EQ(RefusalOf("GET / HTTP/1.1\r\nHost: a\r\n\r\nGET / HTTP/1.1\r\n"), 400);
    EXPECT_EQ(RefusalOf("GET / HTTP/1.1\r\nHost: a\r\nX: " + QByteArray(9000, 'x')), 431);
}
