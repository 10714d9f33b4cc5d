#pragma once

#include <QString>
#include <memory>
#include <string>
#include <vector>

class QProcess;
class RtMidiIn;
class RtMidiOut;

namespace orinsub::testing {

/// A private JACK server with the dummy driver (no sound card), started by the test and
/// stopped by its pid. Its name goes to JACK_DEFAULT_SERVER, so this process's JACK clients,
/// and programs it starts, find it.
class JackTestServer
{
public:
    /// periodFrames: the server's cycle at 48 kHz; the default 1024 (21 ms) keeps a busy test
    /// machine from missing cycles.
    explicit JackTestServer(int periodFrames = 1024);
    ~JackTestServer();

    /// Empty when the server runs; otherwise why not (for a skip).
    const QString &Problem() const { return m_problem; }
    const QString &Name() const { return m_name; }

    /// A new connection carries events from the server's next cycles on: waits a few of them
    /// (of the longest period the tests use) with the event loop running.
    static void LetConnectionsSettle();

private:
    std::unique_ptr<QProcess> m_process;
    QString m_name;
    QString m_problem;
};

/// A fader box on that server: client "testbox" with an output port "faders" (what the box
/// sends) and an input port "lamps" (the feedback it receives). Deleting it unplugs it.
class JackTestBox
{
public:
    JackTestBox();
    ~JackTestBox();

    void Send(const std::vector<uint8_t> &bytes);
    /// Every message received since the last call, each as its bytes.
    std::vector<std::vector<uint8_t>> Received();

private:
    std::unique_ptr<RtMidiOut> m_out;
    std::unique_ptr<RtMidiIn> m_in;
};

} // namespace orinsub::testing
