#include "HttpRequest.h"

#include <QList>

#include <algorithm>
#include <array>

namespace orinsub::surfaces::web {

namespace {

constexpr int kMaxHeaders = 48;
constexpr qsizetype kMaxTarget = 512;

bool IsTokenChar(char c)
{
    static constexpr std::string_view kMarks = "!#$%&'*+-.^_`|~";
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
           kMarks.find(c) != std::string_view::npos;
}

bool IsVisible(char c)
{
    return c > ' ' && c < 0x7f;
}

bool IsFieldChar(char c)
{
    return IsVisible(c) || c == ' ' || c == '\t';
}

HttpReadResult Refuse(int status)
{
    HttpReadResult result;
    result.state = HttpReadResult::State::Refused;
    result.status = status;
    return result;
}

// Headers a request may carry once only: two of them could mean two things to two readers.
bool IsSingleton(QByteArrayView name)
{
    static constexpr std::array<std::string_view, 7> kSingletons = {"host",
                                                                    "origin",
                                                                    "cookie",
                                                                    "content-length",
                                                                    "upgrade",
                                                                    "sec-websocket-key",
                                                                    "sec-websocket-version"};
    return std::any_of(kSingletons.begin(), kSingletons.end(),
                       [&](std::string_view s) { return name == QByteArrayView(s); });
}

bool ReadRequestLine(QByteArrayView line, HttpRequest &request, int &status)
{
    const qsizetype firstSpace = line.indexOf(' ');
    const qsizetype lastSpace = line.lastIndexOf(' ');
    status = 400;
    if (firstSpace <= 0 || lastSpace <= firstSpace + 1)
        return false;
    const QByteArrayView method = line.first(firstSpace);
    const QByteArrayView target = line.sliced(firstSpace + 1, lastSpace - firstSpace - 1);
    const QByteArrayView version = line.sliced(lastSpace + 1);
    if (!std::all_of(method.begin(), method.end(), [](char c) { return c >= 'A' && c <= 'Z'; }))
        return false;
    if (version != QByteArrayView("HTTP/1.1")) {
        status = version.startsWith("HTTP/") ? 505 : 400;
        return false;
    }
    if (target.isEmpty() || target.front() != '/' || target.size() > kMaxTarget ||
        !std::all_of(target.begin(), target.end(), IsVisible))
        return false;
    if (method != QByteArrayView("GET") && method != QByteArrayView("POST")) {
        status = 405;
        return false;
    }
    request.method = method.toByteArray();
    const qsizetype question = target.indexOf('?');
    request.path = (question < 0 ? target : target.first(question)).toByteArray();
    request.query = question < 0 ? QByteArray() : target.sliced(question + 1).toByteArray();
    return true;
}

bool ReadHeaderLine(QByteArrayView line, HttpRequest &request)
{
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0)
        return false;
    const QByteArrayView name = line.first(colon);
    const QByteArrayView value = line.sliced(colon + 1);
    if (!std::all_of(name.begin(), name.end(), IsTokenChar) ||
        !std::all_of(value.begin(), value.end(), IsFieldChar))
        return false;
    const QByteArray lowerName = name.toByteArray().toLower();
    if (IsSingleton(lowerName) && request.HasHeader(lowerName))
        return false;
    request.headers.emplace_back(lowerName, value.toByteArray().trimmed());
    return true;
}

} // namespace

QByteArray HttpRequest::Header(QByteArrayView name) const
{
    for (const auto &[key, value] : headers)
        if (key == name)
            return value;
    return {};
}

bool HttpRequest::HasHeader(QByteArrayView name) const
{
    return std::any_of(headers.begin(), headers.end(),
                       [&](const auto &header) { return header.first == name; });
}

HttpReadResult ReadHttpRequest(QByteArrayView received)
{
    const qsizetype headEnd = received.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return received.size() > kMaxRequestHead ? Refuse(431) : HttpReadResult{};
    if (headEnd + 4 > kMaxRequestHead)
        return Refuse(431);

    HttpReadResult result;
    HttpRequest &request = result.request;
    const QByteArrayView head = received.first(headEnd);
    qsizetype lineStart = 0;
    bool firstLine = true;
    while (lineStart <= head.size()) {
        qsizetype lineEnd = head.indexOf("\r\n", lineStart);
        if (lineEnd < 0)
            lineEnd = head.size();
        const QByteArrayView line = head.sliced(lineStart, lineEnd - lineStart);
        if (line.contains('\r') || line.contains('\n'))
            return Refuse(400);
        if (firstLine) {
            int status = 400;
            if (!ReadRequestLine(line, request, status))
                return Refuse(status);
            firstLine = false;
        } else {
            if (static_cast<int>(request.headers.size()) >= kMaxHeaders)
                return Refuse(431);
            if (!ReadHeaderLine(line, request))
                return Refuse(400);
        }
        lineStart = lineEnd + 2;
    }
    if (!request.HasHeader("host"))
        return Refuse(400);
    if (request.HasHeader("transfer-encoding"))
        return Refuse(501);

    qsizetype bodyLength = 0;
    if (request.HasHeader("content-length")) {
        const QByteArray length = request.Header("content-length");
        if (length.isEmpty() || length.size() > 4 ||
            !std::all_of(length.begin(), length.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return Refuse(400);
        bodyLength = length.toInt();
        if (bodyLength > kMaxRequestBody)
            return Refuse(413);
    }
    const qsizetype bodyStart = headEnd + 4;
    if (received.size() < bodyStart + bodyLength)
        return {};
    if (received.size() > bodyStart + bodyLength)
        return Refuse(400); // one request per connection: nothing may follow it
    request.body = received.sliced(bodyStart, bodyLength).toByteArray();
    result.state = HttpReadResult::State::Complete;
    return result;
}

QByteArray ArrivedHeader(QByteArrayView received, QByteArrayView name)
{
    const QByteArrayView head =
        received.first(std::max<qsizetype>(received.lastIndexOf("\r\n"), 0));
    const qsizetype firstLineEnd = head.indexOf("\r\n");
    if (firstLineEnd < 0)
        return {};
    for (QByteArrayView line :
         QByteArray(head.sliced(firstLineEnd + 2).toByteArray()).split('\n')) {
        line = line.trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.first(colon).toByteArray().toLower() == name)
            return line.sliced(colon + 1).trimmed().toByteArray();
    }
    return {};
}

QByteArray CookieValue(QByteArrayView cookieHeader, QByteArrayView name)
{
    for (QByteArrayView pair : QByteArray(cookieHeader.toByteArray()).split(';')) {
        pair = pair.trimmed();
        const qsizetype equals = pair.indexOf('=');
        if (equals > 0 && pair.first(equals) == name)
            return pair.sliced(equals + 1).toByteArray();
    }
    return {};
}

} // namespace orinsub::surfaces::web
