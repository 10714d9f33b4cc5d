#pragma once

#include "surfaces/midi/ByteRing.h"

#include <QString>
#include <jack/jack.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

class QProcess;

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

    /// Stops the server as `kill` does; Start starts it again under the same name.
    void Stop();
    void Start();

    /// Empty when the server runs; otherwise why not (for a skip).
    const QString &Problem() const { return m_problem; }
    const QString &Name() const { return m_name; }

    /// A new connection carries events from the server's next cycles on: waits a few of them
    /// (of the longest period the tests use) with the event loop running.
    static void LetConnectionsSettle();

private:
    std::unique_ptr<QProcess> m_process;
    int m_periodFrames;
    QString m_name;
    QString m_problem;
};

/// A fader box on that server: client "testbox" with an output port "faders" (what the box
/// sends) and an input port "lamps" (the feedback it receives). Deleting it unplugs it. It may
/// outlive its server, but only until another client of the process joins a server: libjack
/// then frees it.
class JackTestBox
{
public:
    JackTestBox();
    ~JackTestBox();
    JackTestBox(const JackTestBox &) = delete;
    JackTestBox &operator=(const JackTestBox &) = delete;

    /// Sends bytes as one event in the server's next cycle (one thread at a time).
    void Send(const std::vector<uint8_t> &bytes);
    /// Every event received since the last call, each as its bytes.
    std::vector<std::vector<uint8_t>> Received();
    /// The server's cycles the box has run so far.
    uint64_t Cycles() const { return m_cycles.load(std::memory_order_relaxed); }

private:
    static int OnProcess(jack_nframes_t frames, void *self);
    static void OnShutdown(jack_status_t, const char *, void *self);

    jack_client_t *m_client = nullptr;
    jack_port_t *m_faders = nullptr;
    jack_port_t *m_lamps = nullptr;
    std::atomic<bool> m_serverGone = false;
    std::atomic<uint64_t> m_cycles = 0;
    // Events as a two-byte length, then their bytes.
    surfaces::midi::ByteRing m_outgoing{1 << 16};
    surfaces::midi::ByteRing m_incoming{1 << 16};
};

} // namespace orinsub::testing
