#include "Backends.h"
#include "DeviceArgument.h"

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
#include <array>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <optional>
#include <pthread.h>
#include <sched.h>
#include <thread>

// OLA: frames go to the daemon's output universe through a streaming client; a second client
// registered for the input universe keeps the latest frame. Both talk to the daemon on threads
// of their own, so that a daemon that stops answering holds up those threads, never the link:
// the link only hands a frame over and waits a bounded time for the answer. The daemon is never
// started from here.
namespace zentra::detail {
namespace {

using Clock = std::chrono::steady_clock;

constexpr uint16_t kDefaultRpcPort = 9010;
// The daemon is on this machine: connecting and sending take microseconds when it is well.
constexpr std::chrono::milliseconds kConnectWait{200};
constexpr std::chrono::milliseconds kLongestSendWait{20};
// How long a close waits for the client threads before leaving them to end by themselves.
constexpr std::chrono::milliseconds kStopWait{200};

struct OlaSettings
{
    std::u16string id;
    uint32_t output;
    std::optional<uint32_t> input;
    uint16_t port;
};

// What the link and the two client threads share; the threads keep it alive after a close that
// did not wait for them.
struct OlaShared
{
    explicit OlaShared(OlaSettings s) : settings(std::move(s)) {}

    enum class Output { Connecting, Ready, Sending, Down };

    const OlaSettings settings;
    std::mutex mutex;
    std::condition_variable changed;
    bool stopping = false;
    int threadsRunning = 0;

    Output output = Output::Connecting;
    std::array<uint8_t, 512> outSlots{};
    std::size_t outCount = 0;

    bool registered = false; // the input client holds the input universe
    bool haveInput = false;
    std::array<uint8_t, 513> input{};
    ola::io::SelectServer *inputLoop = nullptr; // while the input client runs
};

void BlockBrokenPipeSignals()
{
    // A write to a daemon that went away must fail, not end the program.
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

void ThreadEnded(OlaShared &shared)
{
    std::lock_guard lock(shared.mutex);
    --shared.threadsRunning;
    shared.changed.notify_all();
}

void RunSender(std::shared_ptr<OlaShared> shared)
{
    BlockBrokenPipeSignals();
    ola::client::StreamingClient::Options options;
    options.auto_start = false;
    options.server_port = shared->settings.port;
    ola::client::StreamingClient client(options);
    const bool connected = client.Setup();
    {
        std::lock_guard lock(shared->mutex);
        shared->output = connected ? OlaShared::Output::Ready : OlaShared::Output::Down;
        shared->changed.notify_all();
    }
    ola::DmxBuffer buffer;
    std::array<uint8_t, 512> slots{};
    while (connected) {
        std::size_t count = 0;
        {
            std::unique_lock lock(shared->mutex);
            shared->changed.wait(lock, [&] {
                return shared->stopping || shared->output == OlaShared::Output::Sending;
            });
            if (shared->stopping)
                break;
            slots = shared->outSlots;
            count = shared->outCount;
        }
        buffer.Set(slots.data(), static_cast<unsigned>(count));
        const bool sent = client.SendDmx(shared->settings.output, buffer);
        std::lock_guard lock(shared->mutex);
        shared->output = sent ? OlaShared::Output::Ready : OlaShared::Output::Down;
        shared->changed.notify_all();
        if (!sent)
            break;
    }
    client.Stop();
    ThreadEnded(*shared);
}

class InputSink
{
public:
    explicit InputSink(OlaShared &shared) : m_shared(shared) {}

    void Registered(const ola::client::Result &result)
    {
        std::lock_guard lock(m_shared.mutex);
        m_shared.registered = result.Success();
    }

    void Frame(const ola::client::DMXMetadata &metadata, const ola::DmxBuffer &data)
    {
        if (metadata.universe != m_shared.settings.input)
            return;
        std::lock_guard lock(m_shared.mutex);
        const std::size_t size = std::min<std::size_t>(data.Size(), 512);
        m_shared.input[0] = 0;
        std::copy_n(data.GetRaw(), size, m_shared.input.begin() + 1);
        std::fill(m_shared.input.begin() + 1 + size, m_shared.input.end(), 0);
        m_shared.haveInput = true;
    }

private:
    OlaShared &m_shared;
};

// The input client runs the library's loop, whose waits are not ours to bound. Opened on the
// link's thread, it would inherit its real-time priority, and a loop that spins would then hold a
// core the link needs: it runs as an ordinary thread.
void LeaveRealTime()
{
    const sched_param ordinary{};
    pthread_setschedparam(pthread_self(), SCHED_OTHER, &ordinary);
}

void RunReceiver(std::shared_ptr<OlaShared> shared)
{
    BlockBrokenPipeSignals();
    LeaveRealTime();
    std::unique_ptr<ola::network::TCPSocket> socket(
        ola::network::TCPSocket::Connect(ola::network::IPV4SocketAddress(
            ola::network::IPV4Address::Loopback(), shared->settings.port)));
    if (socket) {
        InputSink sink(*shared);
        ola::io::SelectServer loop;
        ola::client::OlaClient client(socket.get());
        if (client.Setup() && loop.AddReadDescriptor(socket.get())) {
            // A daemon that went away leaves the socket readable for good: unless the loop ends
            // then, it spins. This replaces the client's own handler, which would only pass the
            // close on to a handler of ours.
            socket->SetOnClose(ola::NewSingleCallback(&loop, &ola::io::SelectServer::Terminate));
            client.SetDMXCallback(ola::NewCallback(&sink, &InputSink::Frame));
            client.RegisterUniverse(*shared->settings.input, ola::client::REGISTER,
                                    ola::NewSingleCallback(&sink, &InputSink::Registered));
            bool run = false;
            {
                std::lock_guard lock(shared->mutex);
                run = !shared->stopping;
                if (run)
                    shared->inputLoop = &loop;
            }
            // Until the device closes or the daemon goes away.
            if (run)
                loop.Run();
            std::lock_guard lock(shared->mutex);
            shared->inputLoop = nullptr;
            shared->registered = false;
            loop.RemoveReadDescriptor(socket.get());
        }
        client.Stop();
    }
    ThreadEnded(*shared);
}

struct OlaDevice
{
    std::shared_ptr<OlaShared> shared;
    std::thread sender;
    std::thread receiver;
};

class OlaBackend final : public Backend
{
public:
    explicit OlaBackend(OlaSettings settings) : m_settings(std::move(settings)) {}

    std::vector<std::u16string> EnumerateIds() override { return {m_settings.id}; }

    Handle Open(std::u16string_view id) override
    {
        if (id != m_settings.id || StillLingering())
            return nullptr;
        auto device = std::make_unique<OlaDevice>();
        device->shared = std::make_shared<OlaShared>(m_settings);
        OlaShared &shared = *device->shared;
        shared.threadsRunning = 1;
        device->sender = std::thread(RunSender, device->shared);
        bool ready = false;
        {
            std::unique_lock lock(shared.mutex);
            shared.changed.wait_for(lock, kConnectWait,
                                    [&] { return shared.output != OlaShared::Output::Connecting; });
            ready = shared.output == OlaShared::Output::Ready;
            if (ready && m_settings.input)
                ++shared.threadsRunning;
        }
        if (ready && m_settings.input)
            device->receiver = std::thread(RunReceiver, device->shared);
        if (!ready) {
            Close(device.release());
            return nullptr;
        }
        return device.release();
    }

    bool Write(Handle handle, std::span<const uint8_t> frame,
               std::chrono::milliseconds timeout) override
    {
        OlaShared &shared = *static_cast<OlaDevice *>(handle)->shared;
        std::unique_lock lock(shared.mutex);
        if (shared.output != OlaShared::Output::Ready)
            return false; // the daemon went away, or still has the last frame
        // OLA carries no start code: the slots only.
        shared.outCount = std::min(frame.size() > 0 ? frame.size() - 1 : 0, shared.outSlots.size());
        std::copy_n(frame.begin() + (frame.empty() ? 0 : 1), shared.outCount,
                    shared.outSlots.begin());
        shared.output = OlaShared::Output::Sending;
        shared.changed.notify_all();
        shared.changed.wait_for(lock, std::min(timeout, kLongestSendWait),
                                [&] { return shared.output != OlaShared::Output::Sending; });
        return shared.output == OlaShared::Output::Ready;
    }

    bool Read(Handle handle, std::span<uint8_t> frame, std::chrono::milliseconds) override
    {
        OlaShared &shared = *static_cast<OlaDevice *>(handle)->shared;
        std::lock_guard lock(shared.mutex);
        if (!shared.registered || !shared.haveInput)
            return false;
        std::copy_n(shared.input.begin(), std::min(frame.size(), shared.input.size()),
                    frame.begin());
        return true;
    }

    void Close(Handle handle) override
    {
        std::unique_ptr<OlaDevice> device(static_cast<OlaDevice *>(handle));
        OlaShared &shared = *device->shared;
        bool ended = false;
        {
            std::unique_lock lock(shared.mutex);
            shared.stopping = true;
            if (shared.inputLoop) {
                shared.inputLoop->Execute(
                    ola::NewSingleCallback(shared.inputLoop, &ola::io::SelectServer::Terminate));
            }
            shared.changed.notify_all();
            ended = shared.changed.wait_for(lock, kStopWait,
                                            [&] { return shared.threadsRunning == 0; });
        }
        for (std::thread *thread : {&device->sender, &device->receiver}) {
            if (!thread->joinable())
                continue;
            if (ended)
                thread->join();
            else
                thread->detach(); // stuck on a daemon that does not answer; it ends on its own
        }
        if (!ended) {
            std::lock_guard lock(m_lingeringLock);
            m_lingering = device->shared;
        }
    }

private:
    // While the threads of an earlier device still hang on the daemon, a new device would only
    // hang as well: no new one opens until they have ended.
    bool StillLingering()
    {
        std::lock_guard lock(m_lingeringLock);
        if (!m_lingering)
            return false;
        std::lock_guard sharedLock(m_lingering->mutex);
        return m_lingering->threadsRunning > 0;
    }

    const OlaSettings m_settings;
    std::mutex m_lingeringLock;
    std::shared_ptr<OlaShared> m_lingering;
};

} // namespace

std::shared_ptr<Backend> MakeOla(std::string_view argument, bool hasArgument, std::string &error)
{
    const std::size_t at = argument.find('@');
    const auto universes = ParseUniverses(argument.substr(0, at), 0, UINT32_MAX);
    std::optional<uint32_t> port = kDefaultRpcPort;
    if (at != std::string_view::npos)
        port = ParseNumber(argument.substr(at + 1), 1, 65535);
    if (!hasArgument || !universes || !port) {
        error = "OLA のユニバースを ola:OUT[/IN][@PORT] の形で指定してください（例 ola:1/2）";
        return nullptr;
    }
    OlaSettings settings{UniverseDeviceId("OLA", *universes), universes->output, universes->input,
                         static_cast<uint16_t>(*port)};
    return std::make_shared<OlaBackend>(std::move(settings));
}

} // namespace zentra::detail
