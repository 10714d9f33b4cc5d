#include "JackTestServer.h"

#include "support/Processes.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <jack/midiport.h>

#include <array>

// libjack hands a port's buffer from the box's process thread to the console's through the
// server's own signals, which ThreadSanitizer cannot see. A real box runs in another process.
extern "C" const char *__tsan_default_suppressions()
{
    return "race:orinsub::testing::JackTestBox::OnProcess\n";
}

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

JackTestServer::JackTestServer(int periodFrames) : m_periodFrames(periodFrames)
{
    m_name = QStringLiteral("orinsub-test-%1").arg(QCoreApplication::applicationPid());
    qputenv("JACK_DEFAULT_SERVER", m_name.toUtf8());
    jack_set_error_function(Silence);
    jack_set_info_function(Silence);
    Start();
}

void JackTestServer::Start()
{
    const QString jackd = QStandardPaths::findExecutable(QStringLiteral("jackd"));
    if (jackd.isEmpty()) {
        m_problem = QStringLiteral("jackd is not installed (Debian jackd2)");
        return;
    }
    m_process = std::make_unique<QProcess>();
    m_process->setStandardErrorFile(QProcess::nullDevice());
    m_process->setStandardOutputFile(QProcess::nullDevice());
    m_process->start(jackd, {QStringLiteral("--no-realtime"), QStringLiteral("-n"), m_name,
                             QStringLiteral("-d"), QStringLiteral("dummy"), QStringLiteral("-r"),
                             QStringLiteral("48000"), QStringLiteral("-p"),
                             QString::number(m_periodFrames)});
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
    Stop();
}

void JackTestServer::Stop()
{
    if (m_process)
        orinsub::testing::StopProcess(*m_process);
}

JackTestBox::JackTestBox()
{
    // A server that has just started, or just lost a client, may refuse a port for a moment.
    const QDeadlineTimer deadline(3000);
    for (;;) {
        jack_status_t status;
        m_client = jack_client_open("testbox", JackNoStartServer, &status);
        if (m_client) {
            m_faders =
                jack_port_register(m_client, "faders", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
            m_lamps =
                jack_port_register(m_client, "lamps", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
            jack_on_info_shutdown(m_client, &JackTestBox::OnShutdown, this);
            if (m_faders && m_lamps &&
                jack_set_process_callback(m_client, &JackTestBox::OnProcess, this) == 0 &&
                jack_activate(m_client) == 0)
                return;
            jack_client_close(m_client);
            m_client = nullptr;
        }
        if (deadline.hasExpired())
            throw std::runtime_error("the test box cannot join the JACK server");
        QThread::msleep(100);
    }
}

JackTestBox::~JackTestBox()
{
    if (!m_serverGone)
        jack_client_close(m_client);
}

void JackTestBox::OnShutdown(jack_status_t, const char *, void *self)
{
    static_cast<JackTestBox *>(self)->m_serverGone = true;
}

void JackTestBox::Send(const std::vector<uint8_t> &bytes)
{
    std::vector<uint8_t> record = {static_cast<uint8_t>(bytes.size() >> 8),
                                   static_cast<uint8_t>(bytes.size())};
    record.insert(record.end(), bytes.begin(), bytes.end());
    m_outgoing.Write(record);
}

std::vector<std::vector<uint8_t>> JackTestBox::Received()
{
    std::vector<std::vector<uint8_t>> events;
    std::array<uint8_t, 2> length;
    while (m_incoming.Read(length) == 2) {
        std::vector<uint8_t> event(length[0] << 8 | length[1]);
        m_incoming.Read(event);
        events.push_back(std::move(event));
    }
    return events;
}

int JackTestBox::OnProcess(jack_nframes_t frames, void *self)
{
    auto *box = static_cast<JackTestBox *>(self);
    box->m_cycles.fetch_add(1, std::memory_order_relaxed);
    std::array<uint8_t, 2 + 4096> record;
    void *lamps = jack_port_get_buffer(box->m_lamps, frames);
    const uint32_t count = jack_midi_get_event_count(lamps);
    for (uint32_t i = 0; i < count; ++i) {
        jack_midi_event_t event;
        if (jack_midi_event_get(&event, lamps, i) != 0 || event.size > record.size() - 2)
            continue;
        record[0] = static_cast<uint8_t>(event.size >> 8);
        record[1] = static_cast<uint8_t>(event.size);
        std::copy_n(event.buffer, event.size, record.begin() + 2);
        box->m_incoming.Write(std::span(record.data(), event.size + 2));
    }
    void *faders = jack_port_get_buffer(box->m_faders, frames);
    jack_midi_clear_buffer(faders);
    while (box->m_outgoing.Peek(std::span(record.data(), 2)) == 2) {
        const size_t size = record[0] << 8 | record[1];
        jack_midi_data_t *data = jack_midi_event_reserve(faders, 0, size);
        if (size > record.size() - 2 || !data)
            break;
        box->m_outgoing.Peek(std::span(record.data(), size + 2));
        std::copy_n(record.begin() + 2, size, data);
        box->m_outgoing.Skip(size + 2);
    }
    return 0;
}

} // namespace orinsub::testing
