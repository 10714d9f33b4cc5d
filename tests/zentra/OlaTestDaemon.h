#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

namespace ola::io {
class SelectServer;
}

// A private OLA daemon and clients of it, for tests and benchmarks. Nothing here ever starts the
// system's daemon or one with network plugins: the clients never start a daemon themselves.
namespace zentra::testing {

/// An olad of its own: a private configuration folder in which every plugin but the in-process
/// dummy is switched off, a free RPC port on 127.0.0.1, no web server, no service announcement,
/// run as the unprivileged olad user. Stopped by its process id.
class OlaTestDaemon
{
public:
    OlaTestDaemon();
    ~OlaTestDaemon();
    OlaTestDaemon(const OlaTestDaemon &) = delete;
    OlaTestDaemon &operator=(const OlaTestDaemon &) = delete;

    /// Whether a daemon can run on this machine at all; false, with the reason, without olad,
    /// without an olad user, or when not root to switch to it. Tests skip then.
    static bool CanRunHere(std::string &why);
    /// Starts it and waits until it takes connections; false, with the reason, when it cannot
    /// run here or did not come up within 15 s.
    bool Start(std::string &why);
    /// Ends it with SIGTERM (SIGKILL if it lingers) and waits for it.
    void Stop();
    /// Ends it with SIGKILL at once, as a crash would.
    void Kill();

    uint16_t Port() const { return m_port; }
    /// The daemon's process id while it runs, else -1.
    pid_t Pid() const { return m_pid; }
    /// Plugins whose configuration file in the folder switches them on: none but the dummy
    /// should be. A newer OLA with a plugin unknown here writes its file switched on and shows up
    /// in this list.
    std::vector<std::string> PluginsSwitchedOn() const;
    /// The daemon's own log, for failure messages.
    std::string Log() const;

private:
    void Reap(int signal);

    std::filesystem::path m_folder;
    uint16_t m_port = 0;
    pid_t m_pid = -1;
};

/// Whether something takes TCP connections on 127.0.0.1:port.
bool Listening(uint16_t port);

using Slots = std::array<uint8_t, 512>;
using Clock = std::chrono::steady_clock;

/// A client of the daemon on its own thread, registered for one universe: keeps the latest frame
/// and tells onFrame (on its thread) about each one as it arrives.
class OlaUniverseWatcher
{
public:
    using OnFrame = std::function<void(const Slots &, Clock::time_point)>;

    OlaUniverseWatcher(uint16_t port, unsigned universe, OnFrame onFrame = {});
    ~OlaUniverseWatcher();
    OlaUniverseWatcher(const OlaUniverseWatcher &) = delete;
    OlaUniverseWatcher &operator=(const OlaUniverseWatcher &) = delete;

    /// Waits until the daemon confirmed the registration.
    bool WaitRegistered(std::chrono::milliseconds timeout);
    /// Waits until the latest frame satisfies done.
    bool WaitFor(const std::function<bool(const Slots &)> &done, std::chrono::milliseconds timeout);

private:
    void Run(uint16_t port, unsigned universe);

    OnFrame m_onFrame;
    std::mutex m_mutex;
    bool m_registered = false;
    Slots m_latest{};
    ola::io::SelectServer *m_loop = nullptr;
    bool m_stopping = false;
    std::thread m_thread;
};

/// Sends frames to a universe as another program would: a streaming client that never starts a
/// daemon.
class OlaUniverseSender
{
public:
    explicit OlaUniverseSender(uint16_t port);
    ~OlaUniverseSender();
    bool Connected() const { return m_connected; }
    bool Send(unsigned universe, const Slots &slots);

private:
    struct Client;
    std::unique_ptr<Client> m_client;
    bool m_connected = false;
};

} // namespace zentra::testing
