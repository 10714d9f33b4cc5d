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

} // namespace orinsub::testing
