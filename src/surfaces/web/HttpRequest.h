#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <utility>
#include <vector>

namespace orinsub::surfaces::web {

/// One HTTP/1.1 request as a browser sends it to the remote: a GET or a POST with a small body.
struct HttpRequest
{
    QByteArray method;
    QByteArray path;                                        // origin form, without the query
    QByteArray query;                                       // after '?', not decoded
    std::vector<std::pair<QByteArray, QByteArray>> headers; // names lower-case, values trimmed
    QByteArray body;

    /// The value of a header (name lower-case), empty when absent.
    QByteArray Header(QByteArrayView name) const;
    bool HasHeader(QByteArrayView name) const;
};

/// Where reading a request stands.
struct HttpReadResult
{
    enum class State { Incomplete, Complete, Refused };
    State state = State::Incomplete;
    int status = 0; // for Refused: the status to answer (400, 405, 413, 431, 501, 505)
    HttpRequest request;
};

inline constexpr qsizetype kMaxRequestHead = 8 * 1024;
inline constexpr qsizetype kMaxRequestBody = 256;
inline constexpr qsizetype kMaxRequest = kMaxRequestHead + kMaxRequestBody;

/// Reads the bytes received so far on a connection, strictly: request line and headers in
/// visible ASCII, CRLF line ends, no folded or repeated headers that matter (Host, Origin, Cookie,
/// Content-Length), no chunked bodies, at most kMaxRequestHead bytes of head and kMaxRequestBody
/// of body. Incomplete until the whole request has arrived.
HttpReadResult ReadHttpRequest(QByteArrayView received);

/// The value of header name (lower-case) in the bytes of a request still arriving, once its
/// line has arrived whole; empty before, or when it is not there.
QByteArray ArrivedHeader(QByteArrayView received, QByteArrayView name);

/// The value of cookie name in a Cookie header, empty when absent or malformed.
QByteArray CookieValue(QByteArrayView cookieHeader, QByteArrayView name);

} // namespace orinsub::surfaces::web
