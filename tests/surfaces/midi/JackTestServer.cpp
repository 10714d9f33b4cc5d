#include "JackTestServer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <jack/jack.h>
#include <rtmidi/RtMidi.h>

namespace orinsub::testing {

namespace {

bool ServerAnswers()
{
    jack_status_t status;
    jack_client_t *client = jack_client_open("probe", JackNoStartServer, &status);
    if (!client)
        return false;
    jack_client_close(client);
    return true;
}

void Silence(const char *) {}

} // namespace

JackTestServer::JackTestServer(int periodFrames)
{
    const QString jackd = QStandardPaths::findExecutable(QStringLiteral("jackd"));
    if (jackd.isEmpty()) {
        m_problem = QStringLiteral("jackd is not installed (Debian jackd2)");
        return;
    }
    m_name = QStringLiteral("orinsub-test-%1").arg(QCoreApplication::applicationPid());
    qputenv("JACK_DEFAULT_SERVER", m_name.toUtf8());
    jack_set_error_function(Silence);
    jack_set_info_function(Silence);
    m_process = std::make_unique<QProcess>();
    m_process->setStandardErrorFile(QProcess::nullDevice());
    m_process->setStandardOutputFile(QProcess::nullDevice());
    m_process->start(jackd, {QStringLiteral("--no-realtime"), QStringLiteral("-n"), m_name,
                             QStringLiteral("-d"), QStringLiteral("dummy"), QStringLiteral("-r"),
                             QStringLiteral("48000"), QStringLiteral("-p"),
                             QString::number(periodFrames)});
    if (!m_process->waitForStarted(5000)) {
        m_problem = QStringLiteral("jackd does not start: %1").arg(m_process->errorString());
        return;
    }
    const QDeadlineTimer deadline(10000);
    while (!ServerAnswers()) {
        if (deadline.hasExpired() || m_process->state() != QProcess::Running) {
            m_problem = QStringLiteral("the JACK server does not answer");
            return;
        }
        QThread::msleep(50);
    }
}

void JackTestServer::LetConnectionsSettle()
{
    const QDeadlineTimer deadline(150);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
}

JackTestServer::~JackTestServer()
{
    if (!m_process || m_process->state() == QProcess::NotRunning)
        return;
    m_process->terminate();
    if (!m_process->waitForFinished(5000)) {
        m_process->kill();
        m_process->waitForFinished(2000);
    }
}

JackTestBox::JackTestBox()
{
    // A server that has just started, or just lost a client, may refuse a port for a moment.
    const QDeadlineTimer deadline(3000);
    for (;;) {
        try {
            m_out = std::make_unique<RtMidiOut>(RtMidi::UNIX_JACK, "testbox");
            m_in = std::make_unique<RtMidiIn>(RtMidi::UNIX_JACK, "testbox");
            m_out->openVirtualPort("faders");
            m_in->ignoreTypes(false, false, false);
            m_in->openVirtualPort("lamps");
            return;
        } catch (const RtMidiError &) {
            m_in.reset();
            m_out.reset();
            if (deadline.hasExpired())
                throw;
            QThread::msleep(100);
        }
    }
}

JackTestBox::~JackTestBox() = default;

void JackTestBox::Send(const std::vector<uint8_t> &bytes)
{
    m_out->sendMessage(&bytes);
}

std::vector<std::vector<uint8_t>> JackTestBox::Received()
{
    std::vector<std::vector<uint8_t>> messages;
    std::vector<unsigned char> message;
    for (;;) {
        m_in->getMessage(&message);
        if (message.empty())
            return messages;
        messages.emplace_back(message.begin(), message.end());
    }
}

} // namespace orinsub::testing
