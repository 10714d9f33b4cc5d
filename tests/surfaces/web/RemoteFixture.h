#pragma once

#include "surfaces/ControlLayer.h"
#include "surfaces/PaneDesk.h"
#include "surfaces/web/PairingStore.h"
#include "surfaces/web/RemoteServer.h"
#include "views/ConsoleFixture.h"

#include <QNetworkRequest>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QWebSocket>

#include <memory>

namespace orinsub::testing {

/// The console with a control layer and the web remote on 127.0.0.1 (a free port), pairing
/// forced on as on a shared machine. The pairing codes the console shows land in shownCodes.
class RemoteTest : public ConsoleTest
{
protected:
    RemoteTest()
    {
        OpenInterface();
        QObject::connect(&pairing, &surfaces::web::PairingStore::CodeShown,
                         [this](const QString &code) { shownCodes << code; });
        server.SetPatience({.requestMs = 2000, .answerMs = 2000, .pingMs = 200, .silentMs = 1000});
        QString error;
        EXPECT_TRUE(server.Listen({QHostAddress(QHostAddress::LocalHost), 0}, true, error))
            << error.toStdString();
        origin = QStringLiteral("http://127.0.0.1:%1").arg(server.Port()).toLatin1();
    }

    /// Sends each request on a connection of its own, all at once (from another loopback
    /// address when given), and returns the whole answers in order.
    QByteArrayList HttpAll(const QByteArrayList &requests, const QHostAddress &from = {})
    {
        std::vector<std::unique_ptr<QTcpSocket>> sockets;
        QByteArrayList answers;
        for (const QByteArray &bytes : requests) {
            sockets.push_back(std::make_unique<QTcpSocket>());
            if (!from.isNull())
                sockets.back()->bind(from);
            sockets.back()->connectToHost(QHostAddress::LocalHost, server.Port());
            sockets.back()->write(bytes);
            answers << QByteArray();
        }
        QTest::qWaitFor(
            [&] {
                bool done = true;
                for (std::size_t i = 0; i < sockets.size(); ++i) {
                    answers[i] += sockets[i]->readAll();
                    done &= sockets[i]->state() == QAbstractSocket::UnconnectedState;
                }
                return done;
            },
            5000);
        return answers;
    }
    QByteArray Http(const QByteArray &bytes) { return HttpAll({bytes}).front(); }
    static int Status(const QByteArray &answer) { return answer.mid(9, 3).toInt(); }
    QByteArray PostRequest(const QByteArray &path, const QByteArray &body = {})
    {
        return "POST " + path + " HTTP/1.1\r\nHost: " + origin.mid(7) + "\r\nOrigin: " + origin +
               "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
    }
    QByteArray Post(const QByteArray &path, const QByteArray &body = {})
    {
        return Http(PostRequest(path, body));
    }
    QByteArray PageRequest() const
    {
        return "GET / HTTP/1.1\r\nHost: " + origin.mid(7) + "\r\n\r\n";
    }
    /// A page's WebSocket upgrade as a browser sends it.
    QByteArray Upgrade(const QByteArray &cookie, QByteArray pageOrigin = {},
                       QByteArray host = {}) const
    {
        return "GET /ws HTTP/1.1\r\nHost: " + (host.isEmpty() ? origin.mid(7) : host) +
               "\r\nOrigin: " + (pageOrigin.isEmpty() ? origin : pageOrigin) +
               "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
               "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n" +
               (cookie.isEmpty() ? QByteArray() : "Cookie: " + cookie + "\r\n") + "\r\n";
    }
    /// The operator opens pairing and a device pairs through the network as the page does; the
    /// cookie it got.
    QByteArray Pair()
    {
        pairing.Open();
        const QByteArray answer = Post("/pair", "code=" + shownCodes.last().toLatin1());
        const qsizetype at = answer.indexOf("orinsub_token=");
        return answer.mid(at, answer.indexOf(';', at) - at);
    }

    /// A page's WebSocket: true once it is open (false when the door stayed shut).
    bool Open(QWebSocket &socket, const QByteArray &cookie, QByteArray pageOrigin = {},
              QByteArray host = {})
    {
        QNetworkRequest request(QUrl(QStringLiteral("ws://127.0.0.1:%1/ws").arg(server.Port())));
        request.setRawHeader("Origin", pageOrigin.isEmpty() ? origin : pageOrigin);
        if (!host.isEmpty())
            request.setRawHeader("Host", host);
        if (!cookie.isEmpty())
            request.setRawHeader("Cookie", cookie);
        QSignalSpy connected(&socket, &QWebSocket::connected);
        QSignalSpy failed(&socket, &QWebSocket::disconnected);
        socket.open(request);
        QTest::qWaitFor([&] { return connected.size() + failed.size() > 0; }, 5000);
        return connected.size() == 1 && socket.state() == QAbstractSocket::ConnectedState;
    }

    /// What the interface sends for slot (a frame written now).
    uint8_t Wire(int slot)
    {
        port.WriteFrame();
        return zentra::sim::LastWrittenFrame()[slot];
    }

    surfaces::PaneDesk desk;
    std::unique_ptr<surfaces::ControlLayer> layer = std::make_unique<surfaces::ControlLayer>(desk);
    surfaces::web::PairingStore pairing;
    surfaces::web::RemoteServer server{*layer, pairing};
    QStringList shownCodes;
    QByteArray origin;
};

/// A page's WebSocket spoken frame by frame, from any loopback address: whatever a browser
/// never sends (unmasked frames, floods of pings or empty fragments).
class RawPage
{
public:
    /// Sends the upgrade request; the status the console answered (101: open).
    int Open(quint16 port, const QByteArray &upgrade, const QHostAddress &from = {})
    {
        if (!from.isNull())
            m_socket.bind(from);
        m_socket.connectToHost(QHostAddress::LocalHost, port);
        m_socket.write(upgrade);
        (void)QTest::qWaitFor(
            [&] {
                return Read().contains("\r\n\r\n") ||
                       m_socket.state() == QAbstractSocket::UnconnectedState;
            },
            5000);
        const qsizetype headEnd = m_received.indexOf("\r\n\r\n");
        const int status = m_received.mid(9, 3).toInt();
        m_received.remove(0, headEnd < 0 ? m_received.size() : headEnd + 4);
        return status;
    }
    /// One frame; a client masks every frame it sends.
    void Send(quint8 opcode, const QByteArray &payload, bool final = true, bool masked = true)
    {
        m_socket.write(Frame(opcode, payload, final, masked));
    }
    static QByteArray Frame(quint8 opcode, const QByteArray &payload, bool final = true,
                            bool masked = true)
    {
        QByteArray frame(1, char((final ? 0x80 : 0) | opcode));
        const char maskBit = masked ? char(0x80) : char(0);
        if (payload.size() < 126) {
            frame += char(maskBit | payload.size());
        } else {
            frame += char(maskBit | 126);
            frame += char(payload.size() >> 8);
            frame += char(payload.size() & 0xff);
        }
        if (!masked)
            return frame + payload;
        const QByteArray mask("\x11\x22\x33\x44", 4);
        frame += mask;
        for (qsizetype i = 0; i < payload.size(); ++i)
            frame += char(payload[i] ^ mask[i % 4]);
        return frame;
    }
    /// The code of the console's close frame (0 until one came).
    int CloseCode()
    {
        Read();
        for (qsizetype at = 0; at + 2 <= m_received.size();) {
            const int opcode = m_received[at] & 0x0f;
            int length = m_received[at + 1] & 0x7f;
            qsizetype payload = at + 2;
            if (length == 126) {
                length = (uchar(m_received[at + 2]) << 8) | uchar(m_received[at + 3]);
                payload += 2;
            }
            if (opcode == 0x8 && length >= 2 && payload + 2 <= m_received.size())
                return (uchar(m_received[payload]) << 8) | uchar(m_received[payload + 1]);
            at = payload + length;
        }
        return 0;
    }
    /// Waits for the console's close frame; its code, 0 when none came.
    int WaitForClose()
    {
        (void)QTest::qWaitFor([&] { return CloseCode() != 0; }, 5000);
        return CloseCode();
    }
    bool IsOpen() const { return m_socket.state() == QAbstractSocket::ConnectedState; }
    QTcpSocket &Socket() { return m_socket; }

private:
    const QByteArray &Read() { return m_received += m_socket.readAll(); }

    QTcpSocket m_socket;
    QByteArray m_received;
};

} // namespace orinsub::testing
