#include "OlaTestDaemon.h"
#include "support/Eventually.h"

#include <ola/Callback.h>
#include <ola/DmxBuffer.h>
#include <ola/client/ClientArgs.h>
#include <ola/client/ClientTypes.h>
#include <ola/client/OlaClient.h>
#include <ola/client/Result.h>
#include <ola/client/StreamingClient.h>
#include <ola/io/SelectServer.h>
#include <ola/network/IPV4Address.h>
#include <ola/network/SocketAddress.h>
#include <ola/network/TCPSocket.h>

#include <algorithm>
#include <arpa/inet.h>
#include <condition_variable>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <netinet/in.h>
#include <pwd.h>
#include <spawn.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace zentra::testing {
namespace {

using namespace std::chrono_literals;

// Every plugin of Debian's OLA 0.10 but the dummy, which stays in the daemon's own process.
constexpr const char *kPlugins[] = {
    "artnet",  "e131",    "espnet",           "ftdidmx", "gpio",     "karate",   "kinet",
    "milinst", "opendmx", "openpixelcontrol", "osc",     "pathport", "renard",   "sandnet",
    "shownet", "spi",     "stageprofi",       "uartdmx", "usbdmx",   "usbserial"};
constexpr const char *kNotPlugins[] = {"server", "port", "universe", "dummy"};

uint16_t FreeTcpPort()
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
    socklen_t size = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr *>(&address), &size);
    close(fd);
    return ntohs(address.sin_port);
}

} // namespace

bool Listening(uint16_t port)
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    const bool connected = connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    close(fd);
    return connected;
}

OlaTestDaemon::OlaTestDaemon()
{
    char pattern[] = "/tmp/orinsub-olad-XXXXXX";
    if (mkdtemp(pattern))
        m_folder = pattern;
    m_port = FreeTcpPort();
}

OlaTestDaemon::~OlaTestDaemon()
{
    Stop();
    std::error_code error;
    if (!m_folder.empty())
        std::filesystem::remove_all(m_folder, error);
}

bool OlaTestDaemon::CanRunHere(std::string &why)
{
    if (access("/usr/bin/olad", X_OK) != 0 || access("/usr/bin/setpriv", X_OK) != 0) {
        why = "olad or setpriv is not installed (scripts/deps installs them)";
        return false;
    }
    if (!getpwnam("olad")) {
        why = "there is no olad user to run the daemon as";
        return false;
    }
    if (geteuid() != 0) {
        why = "only root can start olad as the olad user (olad refuses to run as root)";
        return false;
    }
    return true;
}

bool OlaTestDaemon::Start(std::string &why)
{
    if (!CanRunHere(why))
        return false;
    const passwd *user = getpwnam("olad");
    if (m_folder.empty()) {
        why = "no private configuration folder";
        return false;
    }
    for (const char *plugin : kPlugins)
        std::ofstream(m_folder / ("ola-" + std::string(plugin) + ".conf")) << "enabled = false\n";
    for (const auto &entry : std::filesystem::directory_iterator(m_folder))
        chown(entry.path().c_str(), user->pw_uid, user->pw_gid);
    chown(m_folder.c_str(), user->pw_uid, user->pw_gid);

    const std::string uid = "--reuid=" + std::to_string(user->pw_uid);
    const std::string gid = "--regid=" + std::to_string(user->pw_gid);
    const std::string folder = m_folder.string();
    const std::string port = std::to_string(m_port);
    const std::string log = (m_folder / "log").string();
    // The parent-death signal ends the daemon also when a test crashes or is killed before it
    // stops it; SIGKILL, as a daemon busy shutting down would outlive a SIGTERM.
    std::vector<const char *> arguments = {"setpriv",
                                           uid.c_str(),
                                           gid.c_str(),
                                           "--clear-groups",
                                           "--pdeathsig",
                                           "KILL",
                                           "/usr/bin/olad",
                                           "--config-dir",
                                           folder.c_str(),
                                           "--rpc-port",
                                           port.c_str(),
                                           "--no-http",
                                           "--no-register-with-dns-sd",
                                           "--log-level",
                                           "3",
                                           nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    const int spawned = posix_spawn(&m_pid, "/usr/bin/setpriv", &actions, nullptr,
                                    const_cast<char *const *>(arguments.data()), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        m_pid = -1;
        why = "setpriv did not start";
        return false;
    }
    for (auto until = Clock::now() + 15s; Clock::now() < until; std::this_thread::sleep_for(20ms)) {
        if (Listening(m_port))
            return true;
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            why = "olad ended at start: " + Log();
            return false;
        }
    }
    why = "olad did not take connections within 15 s: " + Log();
    Stop();
    return false;
}

void OlaTestDaemon::Stop()
{
    Reap(SIGTERM);
}

void OlaTestDaemon::Kill()
{
    Reap(SIGKILL);
}

void OlaTestDaemon::Reap(int signal)
{
    if (m_pid <= 0)
        return;
    kill(m_pid, signal);
    for (int i = 0; i < 500; ++i) {
        if (waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
            m_pid = -1;
            return;
        }
        std::this_thread::sleep_for(10ms);
    }
    kill(m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
    m_pid = -1;
}

std::vector<std::string> OlaTestDaemon::PluginsSwitchedOn() const
{
    std::vector<std::string> on;
    for (const auto &entry : std::filesystem::directory_iterator(m_folder)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with("ola-") || !name.ends_with(".conf"))
            continue;
        const std::string plugin = name.substr(4, name.size() - 9);
        if (std::find(std::begin(kNotPlugins), std::end(kNotPlugins), plugin) !=
            std::end(kNotPlugins))
            continue;
        // The daemon rewrites these files on a thread of its own after it takes connections: a
        // file read halfway through that rewrite says nothing, only "enabled = true" counts.
        std::ifstream in(entry.path());
        std::string line;
        bool enabled = false;
        while (std::getline(in, line))
            enabled = enabled || line == "enabled = true";
        if (enabled)
            on.push_back(plugin);
    }
    return on;
}

std::string OlaTestDaemon::Log() const
{
    std::ifstream in(m_folder / "log");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

OlaUniverseWatcher::OlaUniverseWatcher(uint16_t port, unsigned universe, OnFrame onFrame)
    : m_onFrame(std::move(onFrame)), m_thread([this, port, universe] { Run(port, universe); })
{
}

OlaUniverseWatcher::~OlaUniverseWatcher()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        if (m_loop)
            m_loop->Execute(ola::NewSingleCallback(m_loop, &ola::io::SelectServer::Terminate));
    }
    m_thread.join();
}

void OlaUniverseWatcher::Run(uint16_t port, unsigned universe)
{
    std::unique_ptr<ola::network::TCPSocket> socket(ola::network::TCPSocket::Connect(
        ola::network::IPV4SocketAddress(ola::network::IPV4Address::Loopback(), port)));
    if (!socket)
        return;
    ola::io::SelectServer loop;
    ola::client::OlaClient client(socket.get());
    client.Setup();
    // A daemon that went away leaves the socket readable for good: the loop ends then, not spins.
    socket->SetOnClose(ola::NewSingleCallback(&loop, &ola::io::SelectServer::Terminate));
    loop.AddReadDescriptor(socket.get());
    struct Sink
    {
        OlaUniverseWatcher &watcher;
        unsigned universe;
        void Registered(const ola::client::Result &result)
        {
            std::lock_guard lock(watcher.m_mutex);
            watcher.m_registered = result.Success();
        }
        void Frame(const ola::client::DMXMetadata &metadata, const ola::DmxBuffer &data)
        {
            const auto when = Clock::now();
            if (metadata.universe != universe)
                return;
            Slots slots{};
            unsigned length = slots.size();
            data.Get(slots.data(), &length);
            {
                std::lock_guard lock(watcher.m_mutex);
                watcher.m_latest = slots;
            }
            if (watcher.m_onFrame)
                watcher.m_onFrame(slots, when);
        }
    } sink{*this, universe};
    client.SetDMXCallback(ola::NewCallback(&sink, &Sink::Frame));
    client.RegisterUniverse(universe, ola::client::REGISTER,
                            ola::NewSingleCallback(&sink, &Sink::Registered));
    {
        std::lock_guard lock(m_mutex);
        if (m_stopping)
            return;
        m_loop = &loop;
    }
    loop.Run();
    std::lock_guard lock(m_mutex);
    m_loop = nullptr;
    loop.RemoveReadDescriptor(socket.get());
    client.Stop();
}

bool OlaUniverseWatcher::WaitRegistered(std::chrono::milliseconds timeout)
{
    return orinsub::testing::Eventually(
        [&] {
            std::lock_guard lock(m_mutex);
            return m_registered;
        },
        timeout);
}

bool OlaUniverseWatcher::WaitFor(const std::function<bool(const Slots &)> &done,
                                 std::chrono::milliseconds timeout)
{
    return orinsub::testing::Eventually(
        [&] {
            std::lock_guard lock(m_mutex);
            return done(m_latest);
        },
        timeout);
}

struct OlaUniverseSender::Client
{
    explicit Client(const ola::client::StreamingClient::Options &options) : streaming(options) {}
    ola::client::StreamingClient streaming;
    ola::DmxBuffer buffer;
};

OlaUniverseSender::OlaUniverseSender(uint16_t port)
{
    ola::client::StreamingClient::Options options;
    options.auto_start = false;
    options.server_port = port;
    m_client = std::make_unique<Client>(options);
    m_connected = m_client->streaming.Setup();
}

OlaUniverseSender::~OlaUniverseSender() = default;

bool OlaUniverseSender::Send(unsigned universe, const Slots &slots)
{
    m_client->buffer.Set(slots.data(), static_cast<unsigned>(slots.size()));
    return m_client->streaming.SendDmx(universe, m_client->buffer);
}

} // namespace zentra::testing
